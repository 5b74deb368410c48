#include <gtest/gtest.h>

#include <functional>

#include "editor/alignment.h"
#include "editor/style_copy.h"

namespace vx::editor {
namespace {

using namespace vx::model;
using namespace style_bits;

TEST(Align, EachButtonRelativeAndAgainstTheSurface) {
    // Odd sizes everywhere, so that every half is truncated.
    const std::vector<Bounds> objects{{10, 20, 11, 13}, {30, 40, 11, 21}};
    AlignContext ctx{{10, 20, 31, 41}, {200, 101}, {5, 7}, false};
    struct Case {
        Alignment how;
        bool relative;
        int first, second;  // the changed coordinate of each object
    } cases[] = {
        {Alignment::Left, true, 10, 10},
        {Alignment::CenterH, true, 20, 20},  // 10 + 15 - 5
        {Alignment::Right, true, 30, 30},
        {Alignment::Top, true, 20, 20},
        {Alignment::CenterV, true, 34, 30},  // 20 + 20 - 6, 20 + 20 - 10
        {Alignment::Bottom, true, 48, 40},
        {Alignment::Left, false, 5, 25},       // the frame to the left margin
        {Alignment::CenterH, false, 85, 105},  // frame centre 25 to the surface's 100
        {Alignment::Right, false, 164, 184},   // frame right to 200 - 5
        {Alignment::Top, false, 7, 27},
        {Alignment::CenterV, false, 30, 50},  // frame centre 40 to the surface's 50
        {Alignment::Bottom, false, 53, 73},   // frame bottom to 101 - 7
    };
    for (const Case& c : cases) {
        ctx.relative = c.relative;
        const std::vector<Bounds> out = align(objects, c.how, ctx);
        ASSERT_EQ(out.size(), 2u);
        const bool horizontal =
            c.how == Alignment::Left || c.how == Alignment::CenterH || c.how == Alignment::Right;
        for (int i = 0; i < 2; ++i) {
            Bounds expected = objects[i];
            (horizontal ? expected.left : expected.top) = i == 0 ? c.first : c.second;
            EXPECT_EQ(out[i], expected)
                << static_cast<int>(c.how) << (c.relative ? " relative" : "") << " #" << i;
        }
    }
}

TEST(Align, NudgeStepIsTheGridWithSnapElseOnePixel) {
    const port::Point grid{8, 12};
    struct Case {
        NudgeDirection d;
        bool snap;
        port::Point step;
    } cases[] = {
        {NudgeDirection::Left, false, {-1, 0}}, {NudgeDirection::Right, false, {1, 0}},
        {NudgeDirection::Up, false, {0, -1}},   {NudgeDirection::Down, false, {0, 1}},
        {NudgeDirection::Left, true, {-8, 0}},  {NudgeDirection::Right, true, {8, 0}},
        {NudgeDirection::Up, true, {0, -12}},   {NudgeDirection::Down, true, {0, 12}},
    };
    for (const Case& c : cases) EXPECT_EQ(nudge_step(c.d, c.snap, grid), c.step) << static_cast<int>(c.d);
}

ImageData tiled_image(std::string name) {
    ImageData i;
    i.tile = true;
    i.image_name = std::move(name);
    return i;
}

ButtonData rich_button() {
    ButtonData b;
    b.bounds = {1, 2, 3, 4};
    b.caption = "Editor";
    b.font = {"Arial", 14, 0x111111, 1};
    b.color = 0x222222;
    b.color2 = 0x333333;
    b.pen_color = 0x444444;
    b.pattern = 5;
    b.dither = true;
    b.btn_style = 9;
    b.transparent = true;
    b.show_icon = true;
    b.text_align = 1;
    b.pen = {3, 2};
    b.icon = 42;
    b.ani_icon = "C:\\ICONS\\RUN.ANI";
    b.sound = "C:\\DING.WAV";
    b.sound_on = true;
    b.command = "C:\\X.EXE\r";
    return b;
}

TEST(StyleSample, EachKindGivesWhatItHas) {
    const ButtonData from_button = style_sample_of(rich_button());
    EXPECT_TRUE(from_button.caption.empty()) << "a button's caption is no image name";
    EXPECT_TRUE(from_button.command.empty());
    EXPECT_EQ(from_button.sound, "C:\\DING.WAV");
    EXPECT_EQ(from_button.ani_icon, "C:\\ICONS\\RUN.ANI");
    EXPECT_EQ(from_button.bounds, (Bounds{1, 2, 3, 4}));
    EXPECT_EQ(from_button.pen, (PenData{3, 2}));

    LineData line;
    line.pen_color = 0x0000AA;
    line.pen = {4, 1};
    line.bounds = {5, 6, 7, 8};
    const ButtonData from_line = style_sample_of(line);
    EXPECT_EQ(from_line.pen_color, 0x0000AA);
    EXPECT_EQ(from_line.pen, (PenData{4, 1}));
    EXPECT_EQ(from_line.bounds, (Bounds{5, 6, 7, 8}));
    EXPECT_EQ(from_line.color, ButtonData{}.color);

    // Label alignment (left 0, right 1, centre 2) becomes the button's (left 0, centre 1, right 2).
    const std::pair<int, int> label_aligns[] = {{0, 0}, {1, 2}, {2, 1}};
    for (auto [label_align, sample_align] : label_aligns) {
        LabelData label;
        label.alignment = label_align;
        label.shape = 4;
        EXPECT_EQ(style_sample_of(label).text_align, sample_align) << label_align;
        EXPECT_EQ(style_sample_of(label).btn_style, 4);
    }

    // Tiled left, stretched centre, centred right; the file name rides along.
    struct Layout {
        bool tile, stretch, center;
        int align;
    } layouts[] = {{true, false, false, 0}, {false, true, false, 1}, {false, false, true, 2}};
    for (const Layout& l : layouts) {
        ImageData image;
        image.tile = l.tile;
        image.stretch = l.stretch;
        image.center = l.center;
        image.image_name = "SKY.BMP";
        const ButtonData s = style_sample_of(image);
        EXPECT_EQ(s.text_align, l.align);
        EXPECT_EQ(s.caption, "SKY.BMP");
    }
}

TEST(PasteStyle, EachKindTakesItsGroupsOnly) {
    const ButtonData sample = style_sample_of(rich_button());
    struct Case {
        const char* what;
        ObjectData target;
        uint16_t mask;
        std::function<void(ObjectData&)> expect;  // the target's changes
    } cases[] = {
        {"select all alone copies nothing", ButtonData{}, kSelectAll, [](ObjectData&) {}},
        {"button sound and image", ButtonData{}, kSound | kImage,
         [](ObjectData& o) {
             auto& b = std::get<ButtonData>(o);
             b.sound = "C:\\DING.WAV";
             b.sound_on = true;
             b.icon = 42;
             b.ani_icon = "C:\\ICONS\\RUN.ANI";
         }},
        {"button alignment, fonts", ButtonData{}, kAlignment | kFontName | kFontColor,
         [](ObjectData& o) {
             auto& b = std::get<ButtonData>(o);
             b.text_align = 1;
             b.show_icon = true;
             b.font.name = "Arial";
             b.font.size = 14;
             b.font.color = 0x111111;  // the font style stays
         }},
        {"shape style and colour", ShapeData{}, kStyle | kColor | kSound,
         [](ObjectData& o) {
             auto& s = std::get<ShapeData>(o);
             s.shape = 9;
             s.pattern = 5;
             s.dither = true;
             s.transparent = true;
             s.color = 0x222222;
             s.color2 = 0x333333;
         }},
        {"line: only its pen and its box", LineData{},
         kStyle | kColor | kFontName | kLineStyle | kLineWidth | kLineColor | kLeft | kHeight,
         [](ObjectData& o) {
             auto& l = std::get<LineData>(o);
             l.pen = {3, 2};
             l.pen_color = 0x444444;
             l.bounds.left = 1;
             l.bounds.height = 4;
         }},
        {"label alignment centred, font name", LabelData{}, kAlignment | kFontName | kImage,
         [](ObjectData& o) {
             auto& l = std::get<LabelData>(o);
             l.alignment = 2;
             l.font.name = "Arial";
             l.font.size = 14;
         }},
        {"image alignment to stretched; no file to load", tiled_image("OLD.BMP"),
         kAlignment | kImage | kTop | kWidth,
         [](ObjectData& o) {
             auto& i = std::get<ImageData>(o);
             i.tile = false;
             i.stretch = true;
             i.bounds.top = 2;
             i.bounds.width = 3;
         }},
    };
    for (const Case& c : cases) {
        ObjectData expected = c.target;
        c.expect(expected);
        EXPECT_EQ(paste_style(sample, c.mask, c.target), expected) << c.what;
    }
}

TEST(PasteStyle, AnImagesFileGoesToAnImageOnlyWithTheImageGroup) {
    ImageData source;
    source.image_name = "SKY.BMP";
    source.center = true;
    const ButtonData sample = style_sample_of(source);
    ImageData target;
    target.image_name = "OLD.BMP";
    target.picture_path = "C:\\PICS\\OLD.BMP";
    target.tile = true;
    const auto pasted = std::get<ImageData>(paste_style(sample, kImage | kAlignment, target));
    EXPECT_EQ(pasted.image_name, "SKY.BMP");
    EXPECT_TRUE(pasted.picture_path.empty()) << "the window finds the new picture";
    EXPECT_TRUE(pasted.center);
    EXPECT_FALSE(pasted.tile);
    EXPECT_FALSE(pasted.stretch);
    EXPECT_EQ(std::get<ImageData>(paste_style(sample, kAlignment, target)).image_name, "OLD.BMP");
    // Pasted onto a button, the image group is the button's icon: the file name is not taken.
    EXPECT_TRUE(std::get<ButtonData>(paste_style(sample, kImage, ButtonData{})).caption.empty());
}

}  // namespace
}  // namespace vx::editor
