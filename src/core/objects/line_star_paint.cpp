#include "objects/line_star_paint.h"

#include <algorithm>
#include <cstdint>

namespace vx::objects {

using port::Point;
using port::Rect;

namespace {

constexpr int kMaxPenWidth = 1000;
constexpr int kMaxExtent = 1 << 20;

}  // namespace

LineGeometry line_geometry(const model::LineData& l) {
    LineGeometry g;
    const int w = std::clamp(l.bounds.width, 0, kMaxExtent);
    const int ht = std::clamp(l.bounds.height, 0, kMaxExtent);
    // A zero width still draws the thinnest line, as the system does with such a pen.
    const int pw = std::clamp(l.pen.width, 1, kMaxPenWidth);
    const int h = pw / 2;
    const auto style = static_cast<port::PenStyle>(std::clamp(l.pen.style, 0, 6));
    g.pen = port::Pen{style, pw, l.pen_color};
    auto& s = g.segments;
    if (style == port::PenStyle::Clear) return g;
    if (style == port::PenStyle::Solid || style == port::PenStyle::InsideFrame) {
        switch (l.align) {
            case kxLineLeft:
                s.push_back({{h, h}, {h, ht - h}});
                break;
            case kxLineTop:
                s.push_back({{h, h}, {w - h, h}});
                break;
            case kxLineRight:
                s.push_back({{w - pw, h}, {w - pw, ht - h}});
                break;
            case kxLineBottom:
                s.push_back({{h, ht - pw}, {w - h, ht - pw}});
                break;
            case kxLineTopBottom:
                s.push_back({{h, h}, {w - h, ht - h}});
                break;
            case kxLineBottomTop:
                s.push_back({{h, ht - h}, {w - h, h}});
                break;
            default:
                break;
        }
        return g;
    }
    g.pen.width = 1;
    switch (l.align) {
        case kxLineLeft:
            for (int i = 0; i < pw; ++i) s.push_back({{i, 0}, {i, ht}});
            break;
        case kxLineTop:
            for (int i = 0; i < pw; ++i) s.push_back({{0, i}, {w, i}});
            break;
        case kxLineRight:
            for (int i = 0; i < pw; ++i) s.push_back({{w - 1 - i, 0}, {w - 1 - i, ht}});
            break;
        case kxLineBottom:
            for (int i = 0; i < pw; ++i) s.push_back({{0, ht - 1 - i}, {w, ht - 1 - i}});
            break;
        case kxLineTopBottom:
            for (int i = 0; i <= h; ++i) s.push_back({{i, h - i}, {w + i - h, ht - i}});
            break;
        case kxLineBottomTop:
            for (int i = 0; i <= h; ++i) s.push_back({{w + i - h, i}, {i, ht + i - h}});
            break;
        default:
            break;
    }
    return g;
}

void paint_line(Canvas& c, const model::LineData& l, const port::Palette* palette) {
    c.select_palette(palette);
    const LineGeometry g = line_geometry(l);
    const port::Brush brush =
        l.brush_style == model::kBrushSolid ? port::Brush::solid(l.brush_color) : port::Brush::hollow();
    c.set_brush(brush);
    c.set_pen(g.pen);
    for (const auto& seg : g.segments) c.line(seg.from, seg.to);
    // The canvas gets the line's own pen back.
    port::Pen own = g.pen;
    own.width = std::clamp(l.pen.width, 1, kMaxPenWidth);
    c.set_pen(own);
    c.set_brush(brush);
}

int star_arm_at(int width, int height, int x, int y) {
    const int64_t w = width, h = height;
    const int64_t down = w * y, across = h * x, both = w * y + h * x, area = w * h;
    if (down <= across) return both >= area ? kStarRight : kStarTop;
    return both >= area ? kStarBottom : kStarLeft;
}

void paint_star(Canvas& c, int width, int height, const StarState& s, const port::Palette* palette) {
    c.select_palette(palette);
    const int w = std::clamp(width, 0, kMaxExtent), ht = std::clamp(height, 0, kMaxExtent);
    const int cx = w / 2, cy = ht / 2;
    const int r = w - 1, b = ht - 1;
    auto pen = [&](Color col) { c.set_pen(port::Pen{port::PenStyle::Solid, 1, col}); };
    struct Arm {
        int index;
        Point outer_a, outer_b;  // the outer edge, from the lit end
        bool outer_lit;          // the outer edge faces up or left
        bool a_side_lit;         // the side from outer_a to the centre faces up or left
        Point inner_from, inner_to;
    };
    // Painted top, left, bottom, right.
    const Arm arms[4] = {
        {kStarTop, {0, 0}, {r, 0}, true, true, {cx, 2}, {cx, cy - 5}},
        {kStarLeft, {0, 0}, {0, b}, true, true, {2, cy}, {cx - 5, cy}},
        {kStarBottom, {0, b}, {r, b}, false, true, {cx, b - 2}, {cx, cy + 5}},
        {kStarRight, {r, 0}, {r, b}, false, true, {r - 2, cy}, {cx + 5, cy}},
    };
    const Point centre{cx, cy};
    for (const Arm& arm : arms) {
        const bool pressed = s.pressed == arm.index;
        const Color lit = pressed ? kShadow : kHighlight;
        const Color dark = pressed ? kHighlight : kShadow;
        pen(arm.a_side_lit ? lit : dark);
        c.line(arm.outer_a, centre);
        pen(arm.a_side_lit ? dark : lit);
        c.line(arm.outer_b, centre);
        pen(arm.outer_lit ? lit : dark);
        c.line(arm.outer_a, arm.outer_b);
        pen(dark);
        c.line(arm.inner_from, arm.inner_to);
    }
    const Rect square{cx - 5, cy - 5, cx + 6, cy + 6};
    if (s.pressed != kStarNone) {
        pen(kShadow);
        c.set_brush(port::Brush::solid(kButtonFace));
    } else {
        c.set_pen(port::Pen{port::PenStyle::Solid, 1, kBlackColor});
        c.set_brush(port::Brush::solid(kLightGrey));
    }
    c.rectangle(square);
}

int star_mouse_down(StarState& s, int width, int height, int x, int y) {
    s.last_arm = star_arm_at(width, height, x, y);
    s.pressed = s.last_arm;
    return s.last_arm;
}

bool star_mouse_up(StarState& s) {
    const bool was = s.pressed != kStarNone;
    s.pressed = kStarNone;
    return was;
}

}  // namespace vx::objects
