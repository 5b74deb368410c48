#include "objects/line_star_paint.h"

#include <gtest/gtest.h>

#include "unit/objects/recording_canvas.h"

namespace vx::objects {
namespace {

using port::PenStyle;
using test::DrawOp;
using test::RecordingCanvas;

model::LineData line(int align, int pen_width, int pen_style, int w = 40, int h = 30) {
    model::LineData l;
    l.align = align;
    l.pen.width = pen_width;
    l.pen.style = pen_style;
    l.bounds.width = w;
    l.bounds.height = h;
    return l;
}

TEST(LinePaint, EndPointsPerDirectionAndPenStyle) {
    constexpr int kDash = 1;
    constexpr int kDot = 2;
    struct Case {
        int align, pw, style;
        int pen_width;
        std::vector<LineSegment> segments;
    } cases[] = {
        // Solid: one line of the pen's width.
        {kxLineLeft, 1, 0, 1, {{{0, 0}, {0, 30}}}},
        {kxLineTop, 4, 0, 4, {{{2, 2}, {38, 2}}}},
        {kxLineRight, 4, 0, 4, {{{36, 2}, {36, 28}}}},
        {kxLineBottom, 3, 0, 3, {{{1, 27}, {39, 27}}}},
        {kxLineTopBottom, 2, 0, 2, {{{1, 1}, {39, 29}}}},
        {kxLineBottomTop, 1, 0, 1, {{{0, 30}, {40, 0}}}},
        // Other styles: parallel one-pixel lines.
        {kxLineLeft, 2, kDot, 1, {{{0, 0}, {0, 30}}, {{1, 0}, {1, 30}}}},
        {kxLineRight, 3, kDash, 1, {{{39, 0}, {39, 30}}, {{38, 0}, {38, 30}}, {{37, 0}, {37, 30}}}},
        {kxLineBottom, 2, kDash, 1, {{{0, 29}, {40, 29}}, {{0, 28}, {40, 28}}}},
        {kxLineTopBottom, 4, kDash, 1, {{{0, 2}, {38, 30}}, {{1, 1}, {39, 29}}, {{2, 0}, {40, 28}}}},
        {kxLineBottomTop, 2, kDot, 1, {{{39, 0}, {0, 29}}, {{40, 1}, {1, 30}}}},
        // Nothing to draw with a clear pen or an unknown direction.
        {kxLineLeft, 3, 5, 3, {}},
        {9, 3, 0, 3, {}},
    };
    for (const auto& k : cases) {
        const LineGeometry g = line_geometry(line(k.align, k.pw, k.style));
        EXPECT_EQ(g.segments, k.segments) << "align " << k.align << " pw " << k.pw << " style " << k.style;
        EXPECT_EQ(g.pen.width, k.pen_width) << "align " << k.align << " pw " << k.pw;
    }
}

TEST(LinePaint, DrawsWithThePenColourAndGivesTheOwnPenBack) {
    model::LineData l = line(kxLineRight, 3, 1);
    l.pen_color = 0x0000FF;
    RecordingCanvas c;
    paint_line(c, l, nullptr);
    const auto lines = c.of(DrawOp::Line);
    ASSERT_EQ(lines.size(), 3u);
    for (const auto& op : lines) {
        EXPECT_EQ(op.pen.width, 1);
        EXPECT_EQ(op.pen.style, PenStyle::Dash);
        EXPECT_EQ(op.pen.color, 0x0000FF);
    }
    // A later body drawn on the canvas sees the line's own pen.
    c.rectangle({});
    EXPECT_EQ(c.ops.back().pen.width, 3);
    EXPECT_EQ(c.ops.back().brush.color, 0xFFFFFF);
}

TEST(StarPress, ArmChosenByTheTwoDiagonals) {
    struct Case {
        int w, h, x, y, arm;
    } cases[] = {
        {64, 64, 32, 5, kStarTop},      // above both diagonals
        {64, 64, 32, 60, kStarBottom},  // below both
        {64, 64, 5, 32, kStarLeft},    {64, 64, 60, 32, kStarRight},
        {64, 64, 32, 32, kStarRight},                                // the exact centre
        {64, 64, 10, 10, kStarTop},                                  // on the falling diagonal, upper half
        {64, 64, 50, 50, kStarRight},                                // on the falling diagonal, lower half
        {64, 64, 60, 4, kStarRight},                                 // on the rising diagonal
        {64, 64, 4, 60, kStarBottom},  {130, 65, 64, 10, kStarTop},  // a wide star scales the diagonals
        {130, 65, 20, 32, kStarLeft},
    };
    for (const auto& k : cases)
        EXPECT_EQ(star_arm_at(k.w, k.h, k.x, k.y), k.arm) << k.x << "," << k.y << " in " << k.w << "x" << k.h;
    // Large controls must not overflow the products.
    EXPECT_EQ(star_arm_at(1 << 20, 1 << 20, 1 << 19, 3), kStarTop);
}

TEST(StarPress, PressDrawsTheArmSunkenAndRecordsIt) {
    StarState s;
    EXPECT_EQ(star_mouse_down(s, 65, 65, 32, 3), kStarTop);
    EXPECT_EQ(s.last_arm, kStarTop);

    RecordingCanvas pressed;
    paint_star(pressed, 65, 65, s, nullptr);
    RecordingCanvas up;
    StarState none;
    paint_star(up, 65, 65, none, nullptr);
    // The top arm's outer edge is painted third, grey when pressed, white when up.
    EXPECT_EQ(pressed.of(DrawOp::Line)[2].pen.color, kShadow);
    EXPECT_EQ(up.of(DrawOp::Line)[2].pen.color, kHighlight);
    // The other arms look the same either way.
    for (size_t i = 4; i < up.of(DrawOp::Line).size(); ++i)
        EXPECT_EQ(pressed.of(DrawOp::Line)[i].pen.color, up.of(DrawOp::Line)[i].pen.color) << i;

    const auto centre_up = up.of(DrawOp::Rectangle).at(0);
    EXPECT_EQ(centre_up.rect, (port::Rect{27, 27, 38, 38}));
    EXPECT_EQ(centre_up.brush.color, kLightGrey);
    const auto centre_pressed = pressed.of(DrawOp::Rectangle).at(0);
    EXPECT_EQ(centre_pressed.brush.color, kButtonFace);
    EXPECT_EQ(centre_pressed.pen.color, kShadow);

    EXPECT_TRUE(star_mouse_up(s));
    EXPECT_EQ(s.pressed, kStarNone);
    EXPECT_EQ(s.last_arm, kStarTop);
    EXPECT_FALSE(star_mouse_up(s));
}

}  // namespace
}  // namespace vx::objects
