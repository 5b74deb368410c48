#include "objects/button_paint.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <vector>

#include "model/shortcut.h"

namespace vx::objects {

using port::Point;
using port::Rect;

namespace {

// A damaged file can carry any number; beyond these the geometry would overflow long before
// anything sensible could be drawn.
constexpr int kMaxPenWidth = 1000;
constexpr int kMaxExtent = 1 << 20;

int extent(int v) {
    return std::clamp(v, 0, kMaxExtent);
}

port::Pen button_pen(const model::ButtonData& b) {
    port::Pen pen{static_cast<port::PenStyle>(std::clamp(b.pen.style, 0, 6)),
                  std::clamp(b.pen.width, 0, kMaxPenWidth), b.pen_color};
    if (pen.width <= 0) pen.style = port::PenStyle::Clear;
    return pen;
}

BodyShape body_shape(int style) {
    if (style == kxClear) return BodyShape::None;
    if (style == kxRoundRect) return BodyShape::RoundRect;
    if (is_round_style(style)) return BodyShape::Ellipse;
    return BodyShape::Rectangle;
}

std::vector<std::string> split_lines(const std::string& text) {
    std::vector<std::string> lines(1);
    for (char ch : text) {
        if (ch == '~') {
            lines.emplace_back();
        } else {
            lines.back() += ch;
        }
    }
    return lines;
}

std::string without_first_prefix(std::string s) {
    if (auto at = s.find('&'); at != std::string::npos) s.erase(at, 1);
    return s;
}

void corner_marks(Canvas& c, int width, int height, int pw, Color color) {
    if (pw <= 0) return;
    const int n = pw + 5;
    const int r = width - 1, btm = height - 1;
    c.set_pen(port::Pen{port::PenStyle::Solid, 1, color});
    c.set_brush(port::Brush::solid(color));
    const Point corners[4][3] = {{{0, 0}, {n, 0}, {0, n}},
                                 {{r, 0}, {r - n, 0}, {r, n}},
                                 {{0, btm}, {n, btm}, {0, btm - n}},
                                 {{r, btm}, {r - n, btm}, {r, btm - n}}};
    for (const auto& tri : corners) c.polygon(tri, 3);
}

void drop_shadow(Canvas& c, int width, int height, bool pressed, Color color) {
    if (pressed) {
        c.fill_rect(Rect{0, 0, width, 2}, kLightGrey);
        c.fill_rect(Rect{0, 2, 2, height}, kLightGrey);
        return;
    }
    c.set_pen(port::Pen{port::PenStyle::Solid, 1, color});
    c.line({1, height - 2}, {width, height - 2});
    c.line({2, height - 1}, {width, height - 1});
    c.line({width - 2, 1}, {width - 2, height});
    c.line({width - 1, 2}, {width - 1, height});
}

}  // namespace

bool names_ani_file(const std::string& name) {
    if (name.size() < 4) return false;
    std::string ext = name.substr(name.size() - 4);
    for (char& ch : ext) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return ext == ".ANI";
}

PenAllowance pen_allowance(const model::ButtonData& b) {
    const port::Pen pen = button_pen(b);
    PenAllowance a;
    if (pen.style != port::PenStyle::Clear && b.btn_style != kxClear) {
        a.pw = pen.width;
        a.h = (a.pw + 1) / 2;
    }
    a.e = a.pw % 2 == 0 ? 1 : 0;
    return a;
}

BodyBox body_box(const model::ButtonData& b, bool pressed) {
    const auto [pw, h, e] = pen_allowance(b);
    (void)pw;
    const int width = extent(b.bounds.width), height = extent(b.bounds.height);
    BodyBox box;
    if (b.btn_style == kxFrameBtn) {
        box.x = e + h;
        box.w = width - 2 * h - e;
        box.ht = height - 2 * h - e;
    } else if (b.btn_style == kxPushBtn && pressed) {
        box.x = e + h + 1;
        box.w = width - 2 * box.x + 2 + e;
        box.ht = height - 2 * box.x + 2 + e;
    } else if (b.btn_style == kxPushBtn) {
        box.x = e + h - 1;
        box.w = width - 2 * (h - 1) - 2 - e;
        box.ht = height - 2 * (h - 1) - 2 - e;
    } else {
        box.x = e + h - 1;
        box.w = width - 2 * box.x + e;
        box.ht = height - 2 * box.x + e;
    }
    return box;
}

std::string caption_text(const model::ButtonData& b) {
    std::string text = b.caption;
    if (b.speed_key_shown) {
        const std::string key = model::shortcut_to_text(b.speed_key);
        if (!key.empty()) {
            // The speed key belongs to the first line.
            const auto tilde = text.find('~');
            text.insert(tilde == std::string::npos ? text.size() : tilde, " = " + key);
        }
    }
    return text;
}

ButtonPaintResult paint_button(Canvas& c, const model::ButtonData& b, ButtonState& state,
                               const PaintEnv& env) {
    state.num_glyphs = std::max(state.num_glyphs, 1);
    const int style = b.btn_style;
    const bool pressed = state.pressed;
    const int width = extent(b.bounds.width), height = extent(b.bounds.height);

    c.select_palette(env.palette);
    const port::Pen pen = button_pen(b);
    c.set_pen(pen);
    c.set_brush(port::Brush::solid(b.color));

    const PenAllowance allowance = pen_allowance(b);
    const BodyBox box = body_box(b, pressed);
    const Rect body{box.x, box.x, box.x + box.w, box.x + box.ht};
    const BodyShape shape = body_shape(style);

    if (pressed && b.pattern != kPatternHollow && style >= kxEllipse && style <= kxFrameBtn) {
        // Flat buttons show a press by turning black.
        c.set_brush(port::Brush::solid(kBlackColor));
    } else if (b.pattern == kPatternHollow || is_gradient_style(style)) {
        c.set_brush(port::Brush::hollow());
    } else if (b.pattern != kPatternSolid) {
        pattern_fill(c, shape, body, b.pattern, b.color2, b.color, b.transparent, pen);
    }
    draw_body(c, shape, body);

    BevelBox bb{box.x + allowance.h, box.x + allowance.h, box.w - 1, box.ht - 1};
    const Color first = pressed ? kShadow : kHighlight;
    const Color second = pressed ? kHighlight : kShadow;

    // A button's gradient runs from its second colour to its first.
    const Gradient grad{.from = b.color2,
                        .to = b.color,
                        .control_width = width,
                        .control_height = height,
                        .dither = b.dither,
                        .palette = env.palette};
    auto gradient = [&](const BevelBox& over, bool reverse, bool clip) {
        gradient_band_fill(c, over, grad, reverse, clip);
    };

    if (style >= kxGrad3DBorder && style <= kxGradHiBeveled) gradient(bb, !pressed, false);
    switch (style) {
        case kx3DBorder:
        case kxGrad3DBorder:
            double_bevel(c, bb, first, second);
            break;
        case kx3DFatBorder:
        case kxGrad3DFatBorder:
            fat_bevel(c, bb, first, second, pressed);
            break;
        case kxDoubleBorder:
        case kxGradDoubleBorder:
            split_bevel(c, bb, first, second);
            break;
        case kx3DFrame:
        case kxGradChiseled:
            frame_bevel(c, bb, !pressed);
            break;
        case kxChiseled:
        case kxGrad3DFrame:
            frame_bevel(c, bb, pressed);
            break;
        case kxLowBeveled:
        case kxGradHiBeveled:
            low_high_bevel(c, bb, pressed);
            break;
        case kxHiBeveled:
        case kxGradLowBeveled:
            low_high_bevel(c, bb, !pressed);
            break;
        case kx3DEllipse:
            ellipse_bevel(c, bb, first, second);
            break;
        case kxDoubleEllipse:
            double_ellipse_bevel(c, bb, first, second);
            break;
        case kxFrameBtn:
            corner_marks(c, width, height, allowance.pw, b.pen_color);
            break;
        case kxPushBtn:
            drop_shadow(c, width, height, pressed, b.pen_color);
            break;
        case kxGrad3DEllipse:
            gradient(bb, !pressed, true);
            ellipse_bevel(c, bb, kHighlight, kLightGrey);
            break;
        case kxGradDoubleEllipse:
            gradient(bb, !pressed, true);
            gradient(inner_gradient_box(bb), pressed, true);
            double_ellipse_bevel(c, bb, first, second);
            break;
        case kxGradDoubleRectangle:
            gradient(bb, !pressed, false);
            gradient(inner_gradient_box(bb), pressed, false);
            bevel(c, bb, first, second);
            bb.inset(12);
            bevel(c, bb, first, second);
            break;
        case kxGradDepressed:
            gradient(bb, true, false);
            double_bevel(c, bb, second, first);
            break;
        case kxGradDoubleDepressed:
            gradient(bb, true, false);
            fat_bevel(c, bb, second, first, pressed);
            break;
        case kxDepressed:
            double_bevel(c, bb, second, first);
            break;
        case kxDoubleDepressed:
            fat_bevel(c, bb, second, first, pressed);
            break;
        case kxBitMap: {
            const port::IconId face = pressed ? state.bitmap_down : state.bitmap_up;
            if (face != port::kNoIcon) {
                c.push_clip_rect(Rect{bb.l, bb.t, bb.r, bb.b});
                c.draw_icon(face, {bb.l, bb.t});
                c.pop_clip();
            }
            break;
        }
        default:
            break;
    }

    if (pressed && ((style >= kx3DBorder && style <= kxDoubleEllipse) ||
                    (style >= kxPushBtn && style <= kxGradDoubleRectangle))) {
        bb.l += 2;
        bb.t += 2;
    }

    // Icon.
    ButtonPaintResult result;
    const int margin = is_round_style(style) ? 12 : 6;
    port::Font font{b.font.name, b.font.size, b.font.style};
    c.set_font(font);
    const std::vector<std::string> lines = split_lines(caption_text(b));
    const int n = static_cast<int>(lines.size());
    const int lh = c.text_height();
    const bool show_icon = b.show_icon || state.icon_from_file;
    const bool icon_shown = show_icon && state.icon != port::kNoIcon;

    if (show_icon && (state.icon != port::kNoIcon || state.has_animation_stream)) {
        const port::Size isz = state.icon != port::kNoIcon ? c.icon_size(state.icon) : port::Size{32, 32};
        Point at;
        switch (b.text_align) {
            case kxCenter:
                at = {(bb.l + bb.r) / 2 - isz.width / 2, (bb.t + bb.b) / 2 - (isz.height + lh * n) / 2};
                bb.t = at.y + isz.height;
                break;
            case kxRight:
                at = {bb.r - isz.width - margin, (bb.t + bb.b) / 2 - isz.height / 2};
                bb.r = at.x;
                break;
            default:
                at = {bb.l + margin, (bb.t + bb.b) / 2 - isz.height / 2};
                bb.l = at.x + isz.width;
                break;
        }
        result.icon.at = at;
        result.icon.size = isz;
        using A = IconPlacement::Action;
        if (pressed && state.animate && names_ani_file(b.ani_icon)) {
            result.icon.action = A::PlayFile;
        } else if (pressed && state.animate && state.has_animation_stream) {
            result.icon.action = A::PlayStream;
        } else if (state.icon != port::kNoIcon) {
            result.icon.action = A::Static;
            c.draw_icon(state.icon, at);
        }
    }

    // Caption.
    c.set_brush(port::Brush::hollow());
    const bool white_text = pressed && (style == kxClear || (style >= kxEllipse && style <= kxFrameBtn));
    c.set_text_color(white_text ? kHighlight : b.font.color);
    const bool fill_behind = b.fill_behind_text || (style == kxClear && pressed);
    const Color fill_colour = pressed ? kBlackColor : b.color;
    port::TextFormat measure_format;
    measure_format.prefix = false;
    port::TextFormat draw_format;
    int y = (bb.t + bb.b) / 2 - (lh * n) / 2;
    if (b.text_align == kxCenter && icon_shown) y = bb.t + 3;
    for (const std::string& text : lines) {
        const port::Size size = c.measure_text(without_first_prefix(text), measure_format);
        int x;
        switch (b.text_align) {
            case kxCenter:
                x = (bb.l + bb.r) / 2 - size.width / 2;
                break;
            case kxRight:
                x = bb.r - margin - size.width;
                break;
            default:
                x = bb.l + margin;
                break;
        }
        if (!text.empty()) {
            Rect r{x, y, x + size.width, y + size.height};
            if (fill_behind) c.fill_rect(Rect{r.left - 2, r.top, r.right + 2, r.bottom}, fill_colour);
            if (style == kxBitMap && pressed) r = Rect{r.left - 3, r.top + 2, r.right - 3, r.bottom + 2};
            c.draw_text(r, text, draw_format);
        }
        y += lh;
    }

    c.set_brush(port::Brush::solid(b.color));
    c.set_pen(pen);
    result.content = bb;
    return result;
}

bool in_inscribed_ellipse(int64_t w, int64_t h, int x, int y) {
    if (w <= 0 || h <= 0) return false;
    const double dx = (2.0 * x + 1 - static_cast<double>(w)) / static_cast<double>(w);
    const double dy = (2.0 * y + 1 - static_cast<double>(h)) / static_cast<double>(h);
    return dx * dx + dy * dy <= 1.0;
}

bool button_hit(const model::ButtonData& b, int x, int y) {
    const int64_t w = b.bounds.width, h = b.bounds.height;
    if (x < 0 || y < 0 || x >= w || y >= h) return false;
    return !is_round_style(b.btn_style) || in_inscribed_ellipse(w, h, x, y);
}

bool button_mouse_down(const model::ButtonData& b, ButtonState& s, MouseButton which, bool double_click,
                       int x, int y) {
    if (which != MouseButton::Left || double_click || !button_hit(b, x, y)) return false;
    s.pressed = true;
    return true;
}

Refresh button_mouse_up(const model::ButtonData& b, ButtonState& s, bool visible) {
    if (!s.pressed) return Refresh::None;
    s.pressed = false;
    if (!visible) return Refresh::None;
    return face_refresh(b);
}

Refresh face_refresh(const model::ButtonData& b) {
    // A hollow face keeps whatever was drawn before (a press moves the caption two pixels
    // down-right), so it needs the page behind it repainted just as clear and see-through
    // faces do.
    if (b.btn_style == kxClear || b.transparent || b.pattern == 1 || b.pattern == kPatternHollow)
        return Refresh::Invalidate;
    return Refresh::Repaint;
}

}  // namespace vx::objects
