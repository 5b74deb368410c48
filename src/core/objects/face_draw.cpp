#include "objects/face_draw.h"

#include <algorithm>
#include <cstdlib>

#include "objects/patterns.h"

namespace vx::objects {

using port::Point;
using port::Rect;

void draw_body(Canvas& c, BodyShape shape, const Rect& r) {
    switch (shape) {
        case BodyShape::None:
            break;
        case BodyShape::Rectangle:
            c.rectangle(r);
            break;
        case BodyShape::RoundRect:
            c.round_rect(r, r.width() / 4, r.height() / 4);
            break;
        case BodyShape::Ellipse:
            c.ellipse(r);
            break;
    }
}

namespace {

void thin_pen(Canvas& c, Color color) {
    c.set_pen(port::Pen{port::PenStyle::Solid, 1, color});
}

}  // namespace

void bevel(Canvas& c, const BevelBox& b, Color first, Color second) {
    thin_pen(c, second);
    c.line({b.l, b.b - 1}, {b.r, b.b - 1});
    c.line({b.r - 1, b.t}, {b.r - 1, b.b - 1});
    thin_pen(c, first);
    c.line({b.l, b.t}, {b.l, b.b});
    c.line({b.l, b.t}, {b.r, b.t});
}

void double_bevel(Canvas& c, BevelBox& b, Color first, Color second) {
    bevel(c, b, first, second);
    b.inset(1);
    bevel(c, b, first, second);
    b.inset(1);
}

void fat_bevel(Canvas& c, BevelBox& b, Color first, Color second, bool pressed) {
    if (pressed) {
        c.fill_rect(Rect{b.l, b.t, b.r, b.t + 2}, first);
        c.fill_rect(Rect{b.l, b.t, b.l + 2, b.b}, first);
        b.inset(2);
        return;
    }
    for (int i = 0; i < 4; ++i) {
        bevel(c, b, first, second);
        b.inset(1);
    }
}

void fat_bevel_rings(Canvas& c, const BevelBox& b, Color first, Color second) {
    for (int i = 0; i < 4; ++i) {
        BevelBox ring = b;
        ring.inset(i);
        bevel(c, ring, first, second);
        ring.inset(1);
        bevel(c, ring, first, second);
    }
}

void split_bevel(Canvas& c, BevelBox& b, Color first, Color second) {
    for (int inset : {1, 3, 1, 3}) {
        bevel(c, b, first, second);
        b.inset(inset);
    }
}

void frame_bevel(Canvas& c, BevelBox& b, bool flag) {
    const Color raised_first = flag ? kHighlight : kShadow;
    const Color raised_second = flag ? kShadow : kHighlight;
    const int insets[4] = {1, 4, 1, 4};
    for (int i = 0; i < 4; ++i) {
        if (i < 2) {
            bevel(c, b, raised_first, raised_second);
        } else {
            bevel(c, b, raised_second, raised_first);
        }
        b.inset(insets[i]);
    }
}

void low_high_bevel(Canvas& c, BevelBox& b, bool flag) {
    b.l += 2;
    b.t += 2;
    b.r -= 3;
    b.b -= 3;
    const Color first = flag ? kHighlight : kShadow;
    const Color second = flag ? kShadow : kHighlight;
    bevel(c, b, first, second);
    b.inset(1);
    bevel(c, b, second, first);
    b.inset(1);
}

void ellipse_bevel(Canvas& c, const BevelBox& b, Color first, Color second) {
    const int m = b.b / 2;
    const int q = m / 2;
    const Rect box{b.l, b.t, b.r, b.b};
    const Point right{b.r, m - q};
    const Point left{b.l, m + q};
    thin_pen(c, first);
    c.arc(box, right, left);
    thin_pen(c, second);
    c.arc(box, left, right);
}

void double_ellipse_bevel(Canvas& c, BevelBox& b, Color first, Color second) {
    ellipse_bevel(c, b, first, second);
    b.inset(12);
    ellipse_bevel(c, b, first, second == kShadow ? kLightGrey : second);
}

namespace {

struct Rgb {
    int r, g, b;
};

Rgb rgb_of(Color c, const Gradient& g, bool palette_display) {
    if (palette_display && g.palette) c = g.palette->entries[static_cast<size_t>(c & 0xFF)];
    return {port::red_of(c), port::green_of(c), port::blue_of(c)};
}

int step_towards(int value, int end, int step) {
    if (value < end - step) return std::min(value + step, 255);
    if (value > end + step) return std::max(value - step, 0);
    return value;
}

}  // namespace

void gradient_band_fill(Canvas& c, const BevelBox& b, const Gradient& g) {
    const bool palette_display = c.bits_per_pixel() <= 8;
    if (g.ellipse_clip) c.push_clip_ellipse(Rect{b.l, b.t, g.control_width - b.l, g.control_height - b.t});

    Rgb run = rgb_of(g.from, g, palette_display);
    const Rgb end = rgb_of(g.to, g, palette_display);
    const int d = std::max({std::abs(run.r - end.r), std::abs(run.g - end.g), std::abs(run.b - end.b)});
    const int step = b.b > 0 ? d / b.b + 1 : 0;
    // Equal colours make one band over the whole box.
    const int band = d > 0 ? b.b / d + 1 : b.b + 1;
    const bool as_rgb = !palette_display || g.dither || !g.palette;

    auto fill_band = [&](int top, int bottom) {
        run = {step_towards(run.r, end.r, step), step_towards(run.g, end.g, step),
               step_towards(run.b, end.b, step)};
        const Color rgb = port::rgb(run.r, run.g, run.b);
        const Color colour = as_rgb ? rgb : port::palette_index(g.palette->nearest(rgb));
        if (bottom > top && b.r > b.l) c.fill_rect(Rect{b.l, top, b.r, bottom}, colour);
    };

    if (band > 0) {
        if (!g.reverse) {
            for (int y = b.t; y < b.b; y += band) fill_band(y, std::min(y + band, b.b));
        } else {
            // Bands are laid from the bottom; the last one is cut at the top of the box rather
            // than dropped, so no strip of the box is left unpainted under a hollow body.
            for (int y = b.b - band; y + band > b.t && y < b.b; y -= band)
                fill_band(std::max(y, b.t), y + band);
        }
    }

    if (g.ellipse_clip) c.pop_clip();
}

bool pattern_fill(Canvas& c, BodyShape shape, const Rect& r, int number, Color ink, Color back,
                  bool see_through, const port::Pen& pen) {
    const auto bits = fill_pattern(number);
    if (bits) {
        c.set_pen(port::Pen{port::PenStyle::Clear, 1, pen.color});
        c.set_brush(port::Brush::patterned(*bits, ink, back, see_through));
        draw_body(c, shape == BodyShape::None ? BodyShape::Rectangle : shape, r);
    }
    c.set_brush(port::Brush::hollow());
    c.set_pen(pen);
    return bits.has_value();
}

}  // namespace vx::objects
