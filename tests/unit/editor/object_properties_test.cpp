#include "editor/object_properties.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "editor/object_commands.h"
#include "unit/editor/editor_fixture.h"

namespace vx::editor {
namespace {

using namespace vx::model;

ShapeData odd_shape() {
    ShapeData s;
    s.bounds = {3, 4, 50, 60};
    s.color = 0x123456;
    s.color2 = 0x654321;
    s.pen_color = 0x00FF00;
    s.pattern = 12;
    s.dither = true;
    s.shape = 17;
    s.transparent = true;
    s.pen = {3, 2};
    s.tag = 9;
    return s;
}

LineData odd_line() {
    LineData l;
    l.bounds = {10, 20, 30, 1};
    l.pen_color = 0x0000FF;
    l.pen = {4, 3};
    l.brush_style = kBrushClear;
    l.brush_color = 0x111111;
    l.align = 2;
    l.tag = 4;
    return l;
}

LabelData odd_label() {
    LabelData l;
    l.bounds = {1, 2, 120, 40};
    l.color = 0x202020;
    l.color2 = 0x303030;
    l.pattern = 3;
    l.shape = 12;
    l.alignment = 2;
    l.font = {"Arial", 12, 0x0000FF, 1};
    l.pen = {2, 0};
    l.text = "First line\r\nSecond\r\n";
    l.text_lines = 2;
    return l;
}

ImageData odd_image() {
    ImageData i;
    i.bounds = {5, 6, 70, 80};
    i.color = 0x404040;
    i.shape = 14;
    i.tile = true;
    i.pen = {1, 4};
    i.image_name = "LOGO.BMP";
    i.picture_path = "C:\\VX\\LOGO.BMP";
    return i;
}

TEST(ObjectProperties, OpeningAndPressingOkChangesNoObject) {
    const ShapeData shape = odd_shape();
    EXPECT_EQ(apply(properties_of(shape), shape), shape);
    const LineData line = odd_line();
    EXPECT_EQ(apply(properties_of(line), line), line);
    const LabelData label = odd_label();
    EXPECT_EQ(properties_of(label).text, "First line\r\nSecond")
        << "the memo shows no empty line after the last";
    EXPECT_EQ(apply(properties_of(label), label), label);
    const ImageData image = odd_image();
    EXPECT_EQ(apply(properties_of(image), image, image.picture_path), image);
    EXPECT_EQ(apply(properties_of(image), image, std::nullopt), image);
}

TEST(ObjectProperties, EveryEditedFieldReachesTheObject) {
    ShapeProperties shape;
    shape.shape = 22;
    shape.color = 1;
    shape.color2 = 2;
    shape.pen_color = 3;
    shape.pattern = 4;
    shape.dither = true;
    shape.transparent = true;
    shape.pen = {5, 1};
    shape.bounds = {"7", "8", "9", "10"};
    ShapeData before = odd_shape();
    ShapeData s = apply(shape, before);
    EXPECT_EQ(properties_of(s), shape);
    EXPECT_EQ(s.tag, before.tag) << "the group is not the editor's";

    LineProperties line{5, 0x10, 0x20, kBrushClear, {0, kPenClear}, {"1", "2", "3", "4"}};
    EXPECT_EQ(properties_of(apply(line, LineData{})), line);

    LabelProperties label = properties_of(odd_label());
    label.text = "one\r\n\r\nthree";
    label.font = {"Courier", 9, 0x0000FF, 2};
    label.alignment = 1;
    const LabelData l = apply(label, LabelData{});
    EXPECT_EQ(l.text, "one\r\n\r\nthree\r\n");
    EXPECT_EQ(l.text_lines, 3);
    EXPECT_EQ(properties_of(l), label);
}

TEST(ObjectProperties, TheMemoTextBecomesLinesEachEndingInABreak) {
    const struct {
        const char* memo;
        const char* text;
        int lines;
    } cases[] = {
        {"", "", 0},
        {"one", "one\r\n", 1},
        {"one\r\n", "one\r\n", 1},          // the memo's break after the last line opens none
        {"a\nb\rc", "a\r\nb\r\nc\r\n", 3},  // any break a pasted text brings
        {"\r\n\r\n", "\r\n\r\n", 2},
    };
    for (const auto& c : cases) {
        LabelProperties p;
        p.text = c.memo;
        const LabelData l = apply(p, LabelData{});
        EXPECT_EQ(l.text, c.text) << c.memo;
        EXPECT_EQ(l.text_lines, c.lines) << c.memo;
    }
}

TEST(ObjectProperties, BoundsThatDoNotReadFallBackAndNoSizeBecomesThirty) {
    const struct {
        TypedBounds typed;
        Bounds bounds;
    } cases[] = {
        {{"10", "20", "30", "40"}, {10, 20, 30, 40}},
        {{" 10", "+20 ", "-5", "40"}, {10, 20, kSizeForNoSize, 40}},
        {{"10", "20", "30", "0"}, {10, 20, 30, kSizeForNoSize}},
        {{"-7", "-8", "30", "40"}, {-7, -8, 30, 40}},
        {{"", "20", "30", "40"}, kFallbackBounds},
        {{"10", "2x", "30", "40"}, kFallbackBounds},
        {{"10", "20", "3.5", "40"}, kFallbackBounds},
        {{"10", "20", "30", "99999999999"}, kFallbackBounds},
        {{"10", "20", "30", "++4"}, kFallbackBounds},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(bounds_from(c.typed), c.bounds)
            << c.typed.x << "," << c.typed.y << "," << c.typed.w << "," << c.typed.h;
        ShapeProperties s;
        s.bounds = c.typed;
        EXPECT_EQ(apply(s, ShapeData{}).bounds, c.bounds);
        LineProperties l;
        l.bounds = c.typed;
        EXPECT_EQ(apply(l, LineData{}).bounds, c.bounds);
        LabelProperties t;
        t.bounds = c.typed;
        EXPECT_EQ(apply(t, LabelData{}).bounds, c.bounds);
        ImageProperties i;
        i.bounds = c.typed;
        EXPECT_EQ(apply(i, ImageData{}, std::nullopt).bounds, c.bounds);
    }
}

TEST(ObjectProperties, StylesOutsideTheScrollBarAreRefused) {
    const struct {
        ObjectKind kind;
        int low, high, gradient_first, gradient_last;
    } ranges[] = {
        {ObjectKind::Shape, 1, 26, 13, 24},
        {ObjectKind::Line, 0, 5, -1, -1},
        {ObjectKind::Label, 0, 20, 9, 18},
        {ObjectKind::Image, 0, 20, 9, 18},
    };
    auto check = [](ObjectKind kind, int style) {
        switch (kind) {
            case ObjectKind::Shape: {
                ShapeProperties p;
                p.shape = style;
                return validate(p);
            }
            case ObjectKind::Line: {
                LineProperties p;
                p.align = style;
                return validate(p);
            }
            case ObjectKind::Label: {
                LabelProperties p;
                p.shape = style;
                return validate(p);
            }
            default: {
                ImageProperties p;
                p.shape = style;
                return validate(p);
            }
        }
    };
    for (const auto& r : ranges) {
        const StyleRange range = style_range(r.kind);
        for (int style = r.low - 1; style <= r.high + 1; ++style) {
            const bool inside = style >= r.low && style <= r.high;
            const auto error = check(r.kind, style);
            EXPECT_EQ(error.has_value(), !inside) << int(r.kind) << " style " << style;
            if (error) {
                EXPECT_EQ(error->field, ObjectField::Style);
            }
            const bool gradient =
                style >= r.gradient_first && style <= r.gradient_last && r.gradient_first >= 0;
            EXPECT_EQ(range.gradient(style), gradient) << int(r.kind) << " style " << style;
        }
    }
    // Should an unchecked value come through, the object still gets a style its painter draws.
    ShapeProperties wild;
    wild.shape = 99;
    EXPECT_EQ(apply(wild, ShapeData{}).shape, 26);
}

TEST(ObjectProperties, TheImageFileIsFoundAsTypedThenBesideTheProgramThenBesideTheDesktop) {
    const struct {
        const char* typed;
        std::set<std::string> files;
        std::optional<std::string> found;
    } cases[] = {
        {"C:\\PICS\\A.BMP", {"C:\\PICS\\A.BMP", "C:\\VX\\A.BMP"}, "C:\\PICS\\A.BMP"},
        {"A.BMP", {"C:\\VX\\A.BMP", "D:\\DESK\\A.BMP"}, "C:\\VX\\A.BMP"},
        {"A.BMP", {"D:\\DESK\\A.BMP"}, "D:\\DESK\\A.BMP"},
        {"ART\\A.BMP", {"C:\\VX\\ART\\A.BMP", "C:\\VX\\A.BMP"}, "C:\\VX\\ART\\A.BMP"},
        {"ART\\A.BMP", {"D:\\DESK\\ART\\A.BMP"}, "D:\\DESK\\ART\\A.BMP"},
        // A name of another machine's folders is still found by its file name, as the loader finds it.
        {"E:\\GONE\\A.BMP", {"D:\\DESK\\A.BMP"}, "D:\\DESK\\A.BMP"},
        {"A.BMP", {}, std::nullopt},
        {"", {"C:\\VX\\"}, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto is_file = [&c](const std::string& path) { return c.files.count(path) > 0; };
        EXPECT_EQ(resolve_image_file(c.typed, "C:\\VX", "D:\\DESK", is_file), c.found) << c.typed;
    }
}

TEST(ObjectProperties, AnImageNotFoundKeepsItsPictureAndItsName) {
    const ImageData before = odd_image();
    ImageProperties p = properties_of(before);
    p.file = "MISSING.BMP";
    const ImageData missing = apply(p, before, std::nullopt);
    EXPECT_EQ(missing.image_name, "LOGO.BMP");
    EXPECT_EQ(missing.picture_path, "C:\\VX\\LOGO.BMP");

    p.file = "new.png";
    const ImageData found = apply(p, before, "D:\\DESK\\new.png");
    EXPECT_EQ(found.image_name, "new.png") << "the name as typed";
    EXPECT_EQ(found.picture_path, "D:\\DESK\\new.png");

    p.file.clear();
    const ImageData cleared = apply(p, before, std::nullopt);
    EXPECT_EQ(cleared.image_name, "");
    EXPECT_EQ(cleared.picture_path, "");
}

TEST(ObjectProperties, CenterTileAndStretchExcludeEachOther) {
    ImageProperties p;
    p.tile = true;
    check_layout(p, ImageLayout::Center);
    EXPECT_TRUE(p.center && !p.tile && !p.stretch);
    check_layout(p, ImageLayout::Stretch);
    EXPECT_TRUE(!p.center && !p.tile && p.stretch);
    check_layout(p, ImageLayout::Tile);
    EXPECT_TRUE(!p.center && p.tile && !p.stretch);
}

ButtonData palette_style() {
    ButtonData s;
    s.color = 0x0000FF;
    s.pattern = 5;
    s.transparent = true;
    s.pen_color = 0x00FF00;
    s.pen = {3, 2};
    s.font = {"Arial", 14, 0xFF00FF, 1};
    return s;
}

TEST(ObjectProperties, EachKindTakesTheAttributesItHas) {
    using namespace attribute_bits;
    const ButtonData s = palette_style();
    const ObjectData shape = with_attributes(ShapeData{}, s, kFillColor | kPattern | kFont | kFontColor);
    EXPECT_EQ(std::get<ShapeData>(shape).color, 0x0000FF);
    EXPECT_EQ(std::get<ShapeData>(shape).pattern, 5);
    EXPECT_TRUE(std::get<ShapeData>(shape).transparent);
    EXPECT_EQ(std::get<ShapeData>(shape).color2, ShapeData{}.color2);

    const ObjectData bottom = with_attributes(ShapeData{}, s, kFillColor, true);
    EXPECT_EQ(std::get<ShapeData>(bottom).color, ShapeData{}.color)
        << "Bottom Color sets only the second colour";
    EXPECT_EQ(std::get<ShapeData>(bottom).color2, 0x0000FF);

    const LineData line = std::get<LineData>(with_attributes(LineData{}, s, kFillColor | kPattern | kFont));
    EXPECT_EQ(line.brush_color, 0x0000FF);
    EXPECT_EQ(line.brush_style, kBrushClear);
    EXPECT_EQ(line.pen_color, LineData{}.pen_color);

    const LabelData label = std::get<LabelData>(with_attributes(LabelData{}, s, kFontColor));
    EXPECT_EQ(label.font.name, LabelData{}.font.name);
    EXPECT_EQ(label.font.color, 0xFF00FF);
    const ButtonData button = std::get<ButtonData>(with_attributes(ButtonData{}, s, kFont));
    EXPECT_EQ(button.font, s.font);

    const ImageData image = std::get<ImageData>(with_attributes(ImageData{}, s, kLineColor | kLineStyle));
    EXPECT_EQ(image.pen_color, 0x00FF00);
    EXPECT_EQ(image.pen.style, 2);
    EXPECT_EQ(image.pen.width, ImageData{}.pen.width);
}

// What the person set in the palette before drawing is what the new object's dialog opens
// with, whatever the kind (a shape drawn after "Main Color" is that colour).
TEST(ObjectProperties, ANewObjectOfEveryKindTakesThePalettesAttributes) {
    const ButtonData s = palette_style();
    const Bounds band{10, 20, 30, 40};
    for (Tool tool : {Tool::Button, Tool::Shape, Tool::Line, Tool::Label, Tool::Image}) {
        const ObjectData o = new_object(tool, s, band, 4242);
        EXPECT_EQ(bounds_of(o), band) << static_cast<int>(tool);
        EXPECT_EQ(attributes_of(o, ButtonData{}).pen_color, 0x00FF00) << static_cast<int>(tool);
        EXPECT_EQ(attributes_of(o, ButtonData{}).pen, s.pen) << static_cast<int>(tool);
        EXPECT_EQ(attributes_of(o, ButtonData{}).color, 0x0000FF) << static_cast<int>(tool);
        EXPECT_TRUE(attributes_of(o, ButtonData{}).transparent) << static_cast<int>(tool);
    }
    const auto button = std::get<ButtonData>(new_object(Tool::Button, s, band, 4242));
    EXPECT_EQ(button.kind, kKindProgram);
    EXPECT_EQ(button.launch_date, 4242);
    EXPECT_EQ(button.font, s.font);
    const auto label = std::get<LabelData>(new_object(Tool::Label, s, band, 0));
    EXPECT_EQ(label.font, s.font);
    EXPECT_EQ(label.text, "Text\r");
    EXPECT_EQ(label.text_lines, 1);
    EXPECT_THROW(new_object(Tool::Selector, s, band, 0), std::logic_error);
}

TEST(ObjectProperties, WidthNoneClearsThePenAndAWidthMakesAClearPenSolid) {
    const struct {
        PenData pen;
        int width;
        PenData after;
    } cases[] = {
        {{1, 2}, 0, {0, kPenClear}},
        {{0, kPenClear}, 3, {3, kPenSolid}},
        {{1, 3}, 5, {5, 3}},  // a dash stays a dash
    };
    for (const auto& c : cases) {
        ShapeData shape;
        shape.pen = c.pen;
        ButtonData s;
        s.pen.width = c.width;
        EXPECT_EQ(std::get<ShapeData>(with_attributes(shape, s, attribute_bits::kLineWidth)).pen, c.after)
            << c.width;
    }
}

TEST(ObjectProperties, AClickedObjectGivesThePaletteItsAttributes) {
    ButtonData start = palette_style();
    start.font = {"Courier", 9, 0x777777, 0};

    const ButtonData from_shape = attributes_of(odd_shape(), start);
    EXPECT_EQ(from_shape.color, 0x123456);
    EXPECT_EQ(from_shape.pattern, 12);
    EXPECT_TRUE(from_shape.transparent);
    EXPECT_EQ(from_shape.pen_color, 0x00FF00);
    EXPECT_EQ(from_shape.pen, (PenData{3, 2}));
    EXPECT_EQ(from_shape.font, start.font) << "a shape has no font";

    const ButtonData from_line = attributes_of(odd_line(), start);
    EXPECT_EQ(from_line.color, 0x111111);
    EXPECT_TRUE(from_line.transparent);
    EXPECT_EQ(from_line.pattern, start.pattern) << "a line has no pattern";
    EXPECT_EQ(from_line.pen, (PenData{4, 3}));

    EXPECT_EQ(attributes_of(odd_label(), start).font, odd_label().font);
}

TEST(ObjectProperties, RestyleGivesEverySelectedObjectTheColourInOneStep) {
    test::EditSession s;
    Page& page = s.desktop.add_page("One");
    const ObjectId a = s.desktop.add_object(page, ShapeData{}).id;
    const ObjectId b = s.desktop.add_object(page, odd_shape()).id;
    const ObjectId line = s.desktop.add_object(page, LineData{}).id;
    const ObjectId untouched = s.desktop.add_object(page, ShapeData{}).id;
    ShapeData already;
    already.color = 0x0000FF;
    const ObjectId same = s.desktop.add_object(page, already).id;

    auto edits =
        restyle(s.desktop, {a, b, line, same, 12345, a}, palette_style(), attribute_bits::kFillColor);
    std::map<ObjectId, ObjectData> by_id(edits.begin(), edits.end());
    EXPECT_EQ(edits.size(), 3u) << "neither the unchanged shape, a missing id nor a repeat";
    EXPECT_EQ(std::get<ShapeData>(by_id.at(a)).color, 0x0000FF);
    EXPECT_EQ(std::get<ShapeData>(by_id.at(b)).color, 0x0000FF);
    EXPECT_EQ(std::get<ShapeData>(by_id.at(b)).pattern, 12) << "only the colour";
    EXPECT_EQ(std::get<LineData>(by_id.at(line)).brush_color, 0x0000FF);

    s.stack.execute(make_edits(s.desktop, std::move(edits), labels::kEdit));
    EXPECT_EQ(s.data<ShapeData>(a).color, 0x0000FF);
    EXPECT_EQ(s.data<ShapeData>(untouched).color, ShapeData{}.color);
    s.stack.undo();
    EXPECT_EQ(s.data<ShapeData>(a).color, ShapeData{}.color);
    EXPECT_EQ(s.data<ShapeData>(b).color, odd_shape().color) << "one step takes back both";
    EXPECT_EQ(s.data<LineData>(line).brush_color, LineData{}.brush_color);
}

TEST(ObjectProperties, ThePalettePositionComesBackOnTheScreen) {
    const struct {
        std::map<std::string, std::string, std::less<>> values;
        ToolPaletteState state;
    } cases[] = {
        {{}, {false, 0, 0, true, false, true}},
        {{{"ToolPalWindow", "120,80"},
          {"ToolPalExpand", "0"},
          {"ToolPalRolledUp", "1"},
          {"ToolPalSize", "0"}},
         {true, 120, 80, false, true, false}},
        {{{"ToolPalWindow", "5000,10"}}, {true, 0, 10, true, false, true}},
        {{{"ToolPalWindow", "994,738"}}, {true, 994, 738, true, false, true}},
        {{{"ToolPalWindow", "995,739"}}, {true, 0, 0, true, false, true}},
        {{{"ToolPalWindow", "-40,-3"}}, {true, -40, -3, true, false, true}},
        {{{"ToolPalWindow", "12"}, {"ToolPalSize", "x"}}, {false, 0, 0, true, false, true}},
    };
    for (const auto& c : cases) {
        const auto read = [&c](std::string_view name) -> std::optional<std::string> {
            const auto it = c.values.find(name);
            return it == c.values.end() ? std::nullopt : std::optional<std::string>(it->second);
        };
        EXPECT_EQ(read_tool_palette_state(read, 1024, 768), c.state);
    }

    std::map<std::string, std::string, std::less<>> written;
    write_tool_palette_state(
        {true, 33, 44, false, true, false},
        [&](std::string_view name, const std::string& value) { written[std::string(name)] = value; });
    EXPECT_EQ(written, (std::map<std::string, std::string, std::less<>>{{"ToolPalWindow", "33,44"},
                                                                        {"ToolPalExpand", "0"},
                                                                        {"ToolPalRolledUp", "1"},
                                                                        {"ToolPalSize", "0"}}));
}

}  // namespace
}  // namespace vx::editor
