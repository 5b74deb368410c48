#include "objects/button_paint.h"

#include <gtest/gtest.h>

#include <limits>
#include <set>

#include "model/shortcut.h"

#include "objects/patterns.h"
#include "unit/objects/recording_canvas.h"

namespace vx::objects {
namespace {

using port::Rect;
using test::DrawOp;
using test::RecordingCanvas;

model::ButtonData button(int style, int pen_width = 1) {
    model::ButtonData b;
    b.btn_style = style;
    b.pen.width = pen_width;
    return b;
}

struct Painted {
    RecordingCanvas canvas;
    ButtonPaintResult result;
};

Painted paint(const model::ButtonData& b, bool pressed = false, ButtonState state = {}) {
    Painted p;
    state.pressed = pressed;
    p.result = paint_button(p.canvas, b, state, PaintEnv{});
    return p;
}

TEST(FillPatterns, FortySevenDistinctPicturesWithNoneFor0And7AndBeyond48) {
    std::set<int> numbers;
    std::set<std::array<uint8_t, 8>> pictures;
    for (auto* p = fill_patterns_begin(); p != fill_patterns_end(); ++p) {
        numbers.insert(p->number);
        pictures.insert(p->bits.rows);
        int set = 0;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) set += p->bits.bit(x, y);
        EXPECT_GT(set, 0) << p->name;
        EXPECT_LT(set, 64) << p->name;
    }
    EXPECT_EQ(pictures.size(), 47u);
    for (int n = 0; n <= 49; ++n) {
        const bool expected = n >= 1 && n <= 48 && n != 7;
        EXPECT_EQ(numbers.count(n) == 1, expected) << n;
        EXPECT_EQ(fill_pattern(n).has_value(), expected) << n;
    }
}

TEST(ButtonPaint, BodyFollowsPenAllowanceAndStyle) {
    struct Case {
        int style, pen_width;
        bool pressed;
        DrawOp::Kind kind;
        Rect body;
    };
    const Case cases[] = {
        {kx3DBorder, 1, false, DrawOp::Rectangle, {0, 0, 65, 65}},
        // A clear pen: the body grows by one so the fill still reaches the right and bottom.
        {kx3DBorder, 0, false, DrawOp::Rectangle, {0, 0, 66, 66}},
        {kx3DBorder, 2, false, DrawOp::Rectangle, {1, 1, 65, 65}},
        {kx3DBorder, 3, false, DrawOp::Rectangle, {1, 1, 64, 64}},
        {kxFrameBtn, 1, false, DrawOp::Rectangle, {1, 1, 64, 64}},
        {kxPushBtn, 1, false, DrawOp::Rectangle, {0, 0, 63, 63}},
        {kxPushBtn, 1, true, DrawOp::Rectangle, {2, 2, 65, 65}},
        {kxEllipse, 1, false, DrawOp::Ellipse, {0, 0, 65, 65}},
        {kx3DEllipse, 4, true, DrawOp::Ellipse, {2, 2, 64, 64}},
        {kxRoundRect, 1, false, DrawOp::RoundRect, {0, 0, 65, 65}},
        {kxBitMap, 1, false, DrawOp::Rectangle, {0, 0, 65, 65}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(kBtnStyleNames[c.style]) + " pen " + std::to_string(c.pen_width));
        auto p = paint(button(c.style, c.pen_width), c.pressed);
        const auto bodies = p.canvas.of(c.kind);
        ASSERT_FALSE(bodies.empty());
        EXPECT_EQ(bodies.front().rect, c.body);
        EXPECT_EQ(bodies.front().pen.style, c.pen_width == 0 ? port::PenStyle::Clear : port::PenStyle::Solid);
        if (c.kind == DrawOp::RoundRect) {
            EXPECT_EQ(bodies.front().points[0], (port::Point{16, 16}));
        }
    }
    auto clear = paint(button(kxClear));
    EXPECT_TRUE(clear.canvas.of(DrawOp::Rectangle).empty());
    EXPECT_TRUE(clear.canvas.of(DrawOp::Line).empty());
}

TEST(ButtonPaint, EdgesLeaveTheContentBoxWhereTheyEnd) {
    struct Case {
        int style;
        BevelBox up, pressed;
    };
    // A 65 x 65 button with a 1-pixel pen starts from the bevel box (1, 1, 64, 64).
    const Case cases[] = {
        {kx3DBorder, {3, 3, 62, 62}, {5, 5, 62, 62}},
        {kx3DFatBorder, {5, 5, 60, 60}, {5, 5, 62, 62}},
        {kxDoubleBorder, {9, 9, 56, 56}, {11, 11, 56, 56}},
        {kx3DFrame, {11, 11, 54, 54}, {13, 13, 54, 54}},
        {kxLowBeveled, {5, 5, 59, 59}, {7, 7, 59, 59}},
        {kx3DEllipse, {1, 1, 64, 64}, {3, 3, 64, 64}},
        {kxDoubleEllipse, {13, 13, 52, 52}, {15, 15, 52, 52}},
        {kxEllipse, {1, 1, 64, 64}, {1, 1, 64, 64}},
        {kxRectangle, {1, 1, 64, 64}, {1, 1, 64, 64}},
        {kxGradDoubleRectangle, {13, 13, 52, 52}, {15, 15, 52, 52}},
        {kxGradDoubleDepressed, {5, 5, 60, 60}, {3, 3, 62, 62}},
        {kxDepressed, {3, 3, 62, 62}, {3, 3, 62, 62}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(kBtnStyleNames[c.style]);
        EXPECT_EQ(paint(button(c.style)).result.content, c.up);
        EXPECT_EQ(paint(button(c.style), true).result.content, c.pressed);
    }
}

std::vector<DrawOp> lines_of(const Painted& p) {
    return p.canvas.of(DrawOp::Line);
}

TEST(ButtonPaint, BevelsAreRaisedUpAndSunkenPressed) {
    auto up = lines_of(paint(button(kx3DBorder)));
    ASSERT_EQ(up.size(), 8u);
    // Bottom and right in grey first, then left and top in white, on the outer ring.
    EXPECT_EQ(up[0].rect, (Rect{1, 63, 64, 63}));
    EXPECT_EQ(up[0].pen.color, kShadow);
    EXPECT_EQ(up[1].rect, (Rect{63, 1, 63, 63}));
    EXPECT_EQ(up[2].rect, (Rect{1, 1, 1, 64}));
    EXPECT_EQ(up[3].rect, (Rect{1, 1, 64, 1}));
    EXPECT_EQ(up[3].pen.color, kHighlight);
    EXPECT_EQ(up[4].rect, (Rect{2, 62, 63, 62}));
    auto down = lines_of(paint(button(kx3DBorder), true));
    EXPECT_EQ(down[0].pen.color, kHighlight);
    EXPECT_EQ(down[3].pen.color, kShadow);
}

TEST(ButtonPaint, GradientFrameAndLowHighStylesUseTheOppositeFlag) {
    const std::pair<int, int> twins[] = {{kx3DFrame, kxGradChiseled},
                                         {kxChiseled, kxGrad3DFrame},
                                         {kxLowBeveled, kxGradHiBeveled},
                                         {kxHiBeveled, kxGradLowBeveled}};
    for (auto [plain, grad] : twins) {
        for (bool pressed : {false, true}) {
            SCOPED_TRACE(std::string(kBtnStyleNames[plain]) + (pressed ? " pressed" : " up"));
            auto a = lines_of(paint(button(plain), pressed));
            auto b = lines_of(paint(button(grad), pressed));
            ASSERT_EQ(a.size(), b.size());
            for (size_t i = 0; i < a.size(); ++i) {
                EXPECT_EQ(a[i].rect, b[i].rect);
                EXPECT_EQ(a[i].pen.color, b[i].pen.color);
            }
        }
    }
}

TEST(ButtonPaint, FatBevelHasFourRingsUpAndTwoStripsPressed) {
    auto up = paint(button(kx3DFatBorder));
    EXPECT_EQ(lines_of(up).size(), 16u);
    auto down = paint(button(kx3DFatBorder), true);
    EXPECT_TRUE(lines_of(down).empty());
    const auto strips = down.canvas.of(DrawOp::FillRect);
    ASSERT_EQ(strips.size(), 2u);
    EXPECT_EQ(strips[0].rect, (Rect{1, 1, 64, 3}));
    EXPECT_EQ(strips[1].rect, (Rect{1, 1, 3, 64}));
    EXPECT_EQ(strips[0].color, kShadow);
}

TEST(ButtonPaint, FillModes) {
    struct Case {
        int style, pattern;
        bool pressed;
        port::BrushKind body_brush;
        port::Color body_colour;
    };
    const Case cases[] = {
        {kxRectangle, 0, false, port::BrushKind::Solid, model::kBlue},
        {kxRectangle, 0, true, port::BrushKind::Solid, 0x000000},
        {kxEllipse, 12, true, port::BrushKind::Solid, 0x000000},
        {kxRectangle, 7, true, port::BrushKind::Hollow, 0},
        {kx3DBorder, 0, true, port::BrushKind::Solid, model::kBlue},
        {kx3DBorder, 7, false, port::BrushKind::Hollow, 0},
        {kxGrad3DBorder, 0, false, port::BrushKind::Hollow, 0},
        {kx3DBorder, 5, false, port::BrushKind::Hollow, 0},  // the pattern was drawn before
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(kBtnStyleNames[c.style]) + " pattern " + std::to_string(c.pattern));
        auto b = button(c.style);
        b.pattern = static_cast<uint8_t>(c.pattern);
        auto p = paint(b, c.pressed);
        const auto kind = c.style == kxEllipse ? DrawOp::Ellipse : DrawOp::Rectangle;
        const auto bodies = p.canvas.of(kind);
        ASSERT_FALSE(bodies.empty());
        EXPECT_EQ(bodies.back().brush.kind, c.body_brush);
        if (c.body_brush == port::BrushKind::Solid) {
            EXPECT_EQ(bodies.back().brush.color, c.body_colour);
        }
    }
}

TEST(ButtonPaint, PatternFillDrawsTheBodyOnceWithoutOutlineThenOutlinesIt) {
    auto b = button(kxRoundRect, 3);
    b.pattern = 22;
    b.color = 0x0000FF;
    b.color2 = 0x00FF00;
    b.transparent = true;
    auto p = paint(b);
    const auto bodies = p.canvas.of(DrawOp::RoundRect);
    ASSERT_EQ(bodies.size(), 2u);
    EXPECT_EQ(bodies[0].rect, bodies[1].rect);
    EXPECT_EQ(bodies[0].pen.style, port::PenStyle::Clear);
    EXPECT_EQ(bodies[0].brush, port::Brush::patterned(*fill_pattern(22), 0x00FF00, 0x0000FF, true));
    EXPECT_EQ(bodies[1].brush.kind, port::BrushKind::Hollow);
    EXPECT_EQ(bodies[1].pen.width, 3);

    // kxClear has no body but its pattern still fills the rectangle.
    auto clear = button(kxClear);
    clear.pattern = 3;
    auto pc = paint(clear);
    ASSERT_EQ(pc.canvas.of(DrawOp::Rectangle).size(), 1u);
    EXPECT_EQ(pc.canvas.of(DrawOp::Rectangle)[0].brush.kind, port::BrushKind::Pattern);
}

// Runs the band fill alone over one box and returns its bands.
std::vector<DrawOp> bands(port::Color from, port::Color to, bool reverse, BevelBox box, int bpp = 32,
                          const port::Palette* palette = nullptr, bool dither = false) {
    RecordingCanvas c;
    c.bpp = bpp;
    Gradient g{from, to, reverse, false, 65, 65, dither, palette};
    gradient_band_fill(c, box, g);
    return c.of(DrawOp::FillRect);
}

TEST(GradientBandFill, BandsCoverTheBoxExactlyInEitherDirection) {
    const port::Color pairs[][2] = {
        {0xFFFFFF, 0xFF0000}, {0x102030, 0x112233}, {0, 0x0A0000}, {0x808080, 0x808080}};
    const BevelBox boxes[] = {{3, 3, 62, 62}, {5, 7, 40, 100}, {1, 1, 10, 2}};
    for (const auto& pair : pairs) {
        for (const auto& box : boxes) {
            for (bool reverse : {false, true}) {
                SCOPED_TRACE(testing::Message() << std::hex << pair[0] << "->" << pair[1] << " rev "
                                                << reverse << std::dec << " box " << box.t << ".." << box.b);
                std::vector<int> cover(static_cast<size_t>(box.b), 0);
                for (const auto& band : bands(pair[0], pair[1], reverse, box)) {
                    EXPECT_EQ(band.rect.left, box.l);
                    EXPECT_EQ(band.rect.right, box.r);
                    for (int y = band.rect.top; y < band.rect.bottom; ++y) ++cover[static_cast<size_t>(y)];
                }
                for (int y = 0; y < box.b; ++y)
                    EXPECT_EQ(cover[static_cast<size_t>(y)], y >= box.t ? 1 : 0) << y;
            }
        }
    }
}

TEST(GradientBandFill, StepsFromTheStartColourTowardsTheEnd) {
    // White to blue over 59 rows: the red and green channels fall by 255 / 62 + 1 = 5 a band.
    auto b = bands(0xFFFFFF, 0xFF0000, false, {3, 3, 62, 62});
    ASSERT_EQ(b.size(), 59u);
    EXPECT_EQ(b.front().rect, (Rect{3, 3, 62, 4}));
    EXPECT_EQ(b.front().color, 0xFFFAFA);  // one step along already
    EXPECT_EQ(b.back().color, 0xFF0505);   // within one step of the end, so it stays
    // Reversed: the same steps laid from the bottom up.
    auto r = bands(0xFFFFFF, 0xFF0000, true, {3, 3, 62, 62});
    EXPECT_EQ(r.front().rect, (Rect{3, 61, 62, 62}));
    EXPECT_EQ(r.front().color, 0xFFFAFA);

    // Equal colours: one band of one colour.
    auto same = bands(0x336699, 0x336699, false, {3, 3, 62, 62});
    ASSERT_EQ(same.size(), 1u);
    EXPECT_EQ(same[0].rect, (Rect{3, 3, 62, 62}));
    EXPECT_EQ(same[0].color, 0x336699);
}

TEST(GradientBandFill, PaletteDisplaysReadEndsFromThePaletteAndPaintNearestEntries) {
    port::Palette pal;
    for (int i = 0; i < 256; ++i) pal.entries[static_cast<size_t>(i)] = port::rgb(i, i, i);
    pal.entries[7] = 0x000000;
    pal.entries[9] = 0xFFFFFF;
    auto b = bands(port::palette_index(9), port::palette_index(7), false, {0, 0, 10, 40}, 8, &pal);
    ASSERT_FALSE(b.empty());
    for (const auto& band : b) EXPECT_TRUE(port::is_palette_index(band.color));
    auto dithered =
        bands(port::palette_index(9), port::palette_index(7), false, {0, 0, 10, 40}, 8, &pal, true);
    EXPECT_EQ(dithered.front().color, port::rgb(248, 248, 248));  // step 255 / 40 + 1
}

TEST(ButtonPaint, GradientStylesFillBeforeTheirEdgesAndClipRoundOnes) {
    auto p = paint(button(kxGradDoubleEllipse));
    const auto clips = p.canvas.of(DrawOp::ClipEllipse);
    ASSERT_EQ(clips.size(), 2u);
    EXPECT_EQ(clips[0].rect, (Rect{1, 1, 64, 64}));
    EXPECT_EQ(clips[1].rect, (Rect{13, 13, 52, 52}));
    EXPECT_EQ(p.canvas.of(DrawOp::PopClip).size(), 2u);
    // Up: the outer gradient is reversed (its first band at the bottom), the inner is not.
    const auto fills = p.canvas.of(DrawOp::FillRect);
    EXPECT_EQ(fills.front().rect.bottom, 64);
    // The bevel arcs come after every band.
    size_t last_fill = 0, first_arc = p.canvas.ops.size();
    for (size_t i = 0; i < p.canvas.ops.size(); ++i) {
        if (p.canvas.ops[i].kind == DrawOp::FillRect) last_fill = i;
        if (p.canvas.ops[i].kind == DrawOp::Arc) first_arc = std::min(first_arc, i);
    }
    EXPECT_LT(last_fill, first_arc);

    auto arcs = paint(button(kxGrad3DEllipse), true).canvas.of(DrawOp::Arc);
    ASSERT_EQ(arcs.size(), 2u);
    EXPECT_EQ(arcs[0].pen.color, kHighlight);  // fixed colours, even pressed
    EXPECT_EQ(arcs[1].pen.color, kLightGrey);
    EXPECT_EQ(arcs[0].points[0], (port::Point{64, 32 - 16}));
    EXPECT_EQ(arcs[0].points[1], (port::Point{1, 32 + 16}));
}

TEST(ButtonPaint, FrameAndPushButtonMarks) {
    auto marks = paint(button(kxFrameBtn, 2)).canvas.of(DrawOp::Polygon);
    ASSERT_EQ(marks.size(), 4u);
    EXPECT_EQ(marks[0].points, (std::vector<port::Point>{{0, 0}, {7, 0}, {0, 7}}));
    EXPECT_EQ(marks[3].points, (std::vector<port::Point>{{64, 64}, {57, 64}, {64, 57}}));
    EXPECT_EQ(marks[0].brush, port::Brush::solid(model::kBlack));
    EXPECT_TRUE(paint(button(kxFrameBtn, 0)).canvas.of(DrawOp::Polygon).empty());

    auto shadow = lines_of(paint(button(kxPushBtn)));
    ASSERT_EQ(shadow.size(), 4u);
    EXPECT_EQ(shadow[0].rect, (Rect{1, 63, 65, 63}));
    EXPECT_EQ(shadow[3].rect, (Rect{64, 2, 64, 65}));
    auto pressed = paint(button(kxPushBtn), true).canvas.of(DrawOp::FillRect);
    ASSERT_EQ(pressed.size(), 2u);
    EXPECT_EQ(pressed[0].rect, (Rect{0, 0, 65, 2}));
    EXPECT_EQ(pressed[1].rect, (Rect{0, 2, 2, 65}));
}

TEST(ButtonPaint, IconAndCaptionPlacement) {
    struct Case {
        int style, align;
        bool icon;
        std::string caption;
        port::Point icon_at;
        std::vector<Rect> lines;
    };
    // Content box of an up kx3DBorder (3, 3, 62, 62) and kxEllipse (1, 1, 64, 64); text is
    // 6 pixels a character and 13 a line.
    const Case cases[] = {
        {kx3DBorder, kxLeft, false, "Go", {}, {{9, 26, 21, 39}}},
        {kx3DBorder, kxLeft, true, "Go", {9, 16}, {{47, 26, 59, 39}}},
        {kx3DBorder, kxRight, true, "Go", {24, 16}, {{6, 26, 18, 39}}},
        {kx3DBorder, kxCenter, false, "A~BCD", {}, {{29, 19, 35, 32}, {23, 32, 41, 45}}},
        // The first line starts 3 pixels under the icon.
        {kx3DBorder, kxCenter, true, "A~BCD", {16, 3}, {{29, 38, 35, 51}, {23, 51, 41, 64}}},
        // Round styles keep 12 pixels off the edge; "&" takes no room.
        {kxEllipse, kxLeft, false, "&Go", {}, {{13, 26, 25, 39}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(kBtnStyleNames[c.style]) + " " + c.caption + " align " +
                     std::to_string(c.align));
        auto b = button(c.style);
        b.caption = c.caption;
        b.text_align = c.align;
        b.show_icon = c.icon;
        ButtonState s;
        s.icon = c.icon ? 5 : port::kNoIcon;
        auto p = paint(b, false, s);
        const auto icons = p.canvas.of(DrawOp::Icon);
        ASSERT_EQ(icons.size(), c.icon ? 1u : 0u);
        if (c.icon) {
            EXPECT_EQ((port::Point{icons[0].rect.left, icons[0].rect.top}), c.icon_at);
            EXPECT_EQ(p.result.icon.action, IconPlacement::Action::Static);
        }
        const auto texts = p.canvas.of(DrawOp::Text);
        ASSERT_EQ(texts.size(), c.lines.size());
        for (size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(texts[i].rect, c.lines[i]) << i;
    }
}

TEST(ButtonPaint, CaptionColoursFillsAndSpeedKey) {
    auto b = button(kxRectangle);
    b.caption = "Mail";
    b.font.color = 0x0000FF;
    auto pressed = paint(b, true);
    EXPECT_EQ(pressed.canvas.of(DrawOp::Text)[0].color, kHighlight);
    EXPECT_EQ(paint(b).canvas.of(DrawOp::Text)[0].color, 0x0000FF);
    b.btn_style = kx3DBorder;
    EXPECT_EQ(paint(b, true).canvas.of(DrawOp::Text)[0].color, 0x0000FF);

    // A pressed kxClear button fills behind its text in black; the flag fills in Color when up.
    b.btn_style = kxClear;
    auto fills = paint(b, true).canvas.of(DrawOp::FillRect);
    ASSERT_EQ(fills.size(), 1u);
    const Rect text = paint(b, true).canvas.of(DrawOp::Text)[0].rect;
    EXPECT_EQ(fills[0].rect, (Rect{text.left - 2, text.top, text.right + 2, text.bottom}));
    EXPECT_EQ(fills[0].color, 0);
    b.fill_behind_text = true;
    EXPECT_EQ(paint(b).canvas.of(DrawOp::FillRect)[0].color, model::kBlue);

    b.caption = "Mail~Box";
    b.speed_key_shown = true;
    b.speed_key = static_cast<uint16_t>(model::kShortcutCtrl | 'M');
    EXPECT_EQ(caption_text(b), "Mail = Ctrl+M~Box");
    b.speed_key = 0;
    EXPECT_EQ(caption_text(b), "Mail~Box");

    b.btn_style = kxBitMap;
    b.fill_behind_text = false;
    const Rect up = paint(b).canvas.of(DrawOp::Text)[0].rect;
    const Rect down = paint(b, true).canvas.of(DrawOp::Text)[0].rect;
    EXPECT_EQ(down.left, up.left - 3);
    EXPECT_EQ(down.top, up.top + 2);
}

TEST(ButtonPaint, AStillIconFileShowsItsIconWhateverShowIconSays) {
    auto b = button(kx3DBorder);
    b.caption = "A~BCD";
    b.text_align = kxCenter;
    b.show_icon = false;
    ButtonState s;
    s.icon = 5;
    EXPECT_TRUE(paint(b, false, s).canvas.of(DrawOp::Icon).empty());
    s.icon_from_file = true;
    auto p = paint(b, false, s);
    ASSERT_EQ(p.canvas.of(DrawOp::Icon).size(), 1u);
    // Laid out as any shown icon: the caption starts under it.
    EXPECT_EQ(p.canvas.of(DrawOp::Text)[0].rect, (Rect{29, 38, 35, 51}));
}

TEST(ButtonPaint, PressedIconPlaysItsAnimationWhenAllowed) {
    auto b = button(kx3DBorder);
    b.show_icon = true;
    ButtonState s;
    s.icon = 3;
    b.ani_icon = "C:\\CURSORS\\globe.ani";
    EXPECT_EQ(paint(b, true, s).result.icon.action, IconPlacement::Action::PlayFile);
    EXPECT_EQ(paint(b, false, s).result.icon.action, IconPlacement::Action::Static);
    s.animate = false;
    EXPECT_EQ(paint(b, true, s).result.icon.action, IconPlacement::Action::Static);
    s.animate = true;
    b.ani_icon = "globe.ico";
    s.has_animation_stream = true;
    EXPECT_EQ(paint(b, true, s).result.icon.action, IconPlacement::Action::PlayStream);
    EXPECT_TRUE(paint(b, true, s).canvas.of(DrawOp::Icon).empty());
}

TEST(ButtonPaint, NumGlyphsBelowOneIsRaisedToOne) {
    ButtonState s;
    s.num_glyphs = 0;
    RecordingCanvas c;
    paint_button(c, button(kx3DBorder), s, PaintEnv{});
    EXPECT_EQ(s.num_glyphs, 1);
}

TEST(ButtonMouse, RoundStylesHitOnlyInsideTheEllipse) {
    struct Case {
        int style, x, y;
        bool hit;
    };
    const Case cases[] = {
        {kxEllipse, 2, 2, false},  {kxEllipse, 32, 32, true},  {kxEllipse, 0, 32, true},
        {kxEllipse, 64, 32, true}, {kxEllipse, 60, 60, false}, {kxGrad3DEllipse, 3, 61, false},
        {kx3DBorder, 0, 0, true},  {kx3DBorder, 64, 64, true}, {kx3DBorder, 65, 10, false},
    };
    for (const auto& c : cases) {
        ButtonState s;
        EXPECT_EQ(button_mouse_down(button(c.style), s, MouseButton::Left, false, c.x, c.y), c.hit)
            << kBtnStyleNames[c.style] << " " << c.x << "," << c.y;
        EXPECT_EQ(s.pressed, c.hit);
    }
    ButtonState s;
    EXPECT_FALSE(button_mouse_down(button(kx3DBorder), s, MouseButton::Right, false, 5, 5));
    EXPECT_FALSE(button_mouse_down(button(kx3DBorder), s, MouseButton::Left, true, 5, 5));
    EXPECT_FALSE(s.pressed);
}

TEST(ButtonMouse, ReleaseRedrawsFacesThatShowThePageWithAFullRefresh) {
    struct Case {
        int style, pattern;
        bool transparent, visible;
        Refresh expected;
    };
    const Case cases[] = {
        {kx3DBorder, 0, false, true, Refresh::Repaint},    {kxClear, 0, false, true, Refresh::Invalidate},
        {kx3DBorder, 4, true, true, Refresh::Invalidate},  {kx3DBorder, 1, false, true, Refresh::Invalidate},
        {kx3DBorder, 7, false, true, Refresh::Invalidate}, {kx3DBorder, 0, false, false, Refresh::None},
    };
    for (const auto& c : cases) {
        auto b = button(c.style);
        b.pattern = static_cast<uint8_t>(c.pattern);
        b.transparent = c.transparent;
        ButtonState s;
        s.pressed = true;
        EXPECT_EQ(button_mouse_up(b, s, c.visible), c.expected)
            << kBtnStyleNames[c.style] << " " << c.pattern;
        EXPECT_FALSE(s.pressed);
        EXPECT_EQ(button_mouse_up(b, s, c.visible), Refresh::None);
    }
}

TEST(ButtonPaint, EveryStyleUpAndPressedRestoresPenAndBrush) {
    for (int style = 0; style < kBtnStyleCount; ++style) {
        for (bool pressed : {false, true}) {
            auto b = button(style, 2);
            b.caption = "A";
            auto p = paint(b, pressed);
            // Whatever a style drew last, the canvas ends with the button's own pen and brush.
            p.canvas.rectangle({0, 0, 1, 1});
            const auto& last = p.canvas.ops.back();
            EXPECT_EQ(last.pen, (port::Pen{port::PenStyle::Solid, 2, 0})) << kBtnStyleNames[style];
            EXPECT_EQ(last.brush, port::Brush::solid(model::kBlue)) << kBtnStyleNames[style];
        }
    }
}

}  // namespace
}  // namespace vx::objects

namespace vx::objects {
namespace {

// Values a damaged desktop file can carry: the face paints something or nothing, but always
// returns, without overflow, and hit-tests sanely.
TEST(ButtonPaint, DamagedValuesPaintWithoutFault) {
    const int styles[] = {-1, 0, 8, 14, 23, 29, 30, 1000};
    const int pens[] = {-5, 0, 3, 200, std::numeric_limits<int>::max()};
    const model::Bounds sizes[] = {{0, 0, 0, 0},
                                   {0, 0, -20, 7},
                                   {0, 0, 3, 3},
                                   {0, 0, 1 << 30, 1 << 30},
                                   {0, 0, std::numeric_limits<int>::max(), 40}};
    for (int style : styles) {
        for (int pen : pens) {
            for (const auto& size : sizes) {
                auto b = button(style, pen);
                b.bounds = size;
                b.text_align = 7;
                b.pattern = 200;
                b.pen.style = 99;
                b.caption = "~~&";
                b.show_icon = true;
                ButtonState s;
                s.icon = 2;
                for (bool pressed : {false, true}) {
                    s.pressed = pressed;
                    RecordingCanvas c;
                    paint_button(c, b, s, PaintEnv{});
                }
                button_hit(b, size.width / 2, size.height / 2);
                button_hit(b, std::numeric_limits<int>::max(), -1);
            }
        }
    }
}

}  // namespace
}  // namespace vx::objects
