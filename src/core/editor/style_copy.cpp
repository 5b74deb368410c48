#include "editor/style_copy.h"

#include <type_traits>

namespace vx::editor {
namespace {

using namespace style_bits;

// A button's text alignment is kxLeft 0, kxCenter 1, kxRight 2; a label numbers its
// alignments left 0, right 1, centre 2: the same swap turns either into the other.
int32_t swap_centre_right(int32_t a) {
    return a == 1 ? 2 : a == 2 ? 1 : 0;
}

// The groups every kind takes: pen style and width, pen colour, position and size.
template <typename T>
void paste_common(const model::ButtonData& s, uint16_t mask, T& t) {
    if (mask & kLineStyle) t.pen.style = s.pen.style;
    if (mask & kLineWidth) t.pen.width = s.pen.width;
    if (mask & kLineColor) t.pen_color = s.pen_color;
    if (mask & kLeft) t.bounds.left = s.bounds.left;
    if (mask & kTop) t.bounds.top = s.bounds.top;
    if (mask & kWidth) t.bounds.width = s.bounds.width;
    if (mask & kHeight) t.bounds.height = s.bounds.height;
}

// The filled kinds: the style group (their shape with pattern, dither, transparency) and the
// colour group.
template <typename T>
void paste_fill(const model::ButtonData& s, uint16_t mask, T& t) {
    if (mask & kStyle) {
        t.shape = s.btn_style;
        t.pattern = s.pattern;
        t.dither = s.dither;
        t.transparent = s.transparent;
    }
    if (mask & kColor) {
        t.color = s.color;
        t.color2 = s.color2;
    }
}

template <typename T>
void copy_fill(const T& o, model::ButtonData& s) {
    s.btn_style = o.shape;
    s.color = o.color;
    s.color2 = o.color2;
    s.pen_color = o.pen_color;
    s.pattern = o.pattern;
    s.dither = o.dither;
    s.transparent = o.transparent;
}

}  // namespace

model::ButtonData style_sample_of(const model::ObjectData& object) {
    model::ButtonData s;
    std::visit(
        [&s](const auto& o) {
            using T = std::decay_t<decltype(o)>;
            s.bounds = o.bounds;
            s.pen = o.pen;
            if constexpr (std::is_same_v<T, model::ButtonData>) {
                s.font = o.font;
                s.btn_style = o.btn_style;
                s.color = o.color;
                s.color2 = o.color2;
                s.text_align = o.text_align;
                s.show_icon = o.show_icon;
                s.icon = o.icon;
                s.ani_icon = o.ani_icon;
                s.pattern = o.pattern;
                s.transparent = o.transparent;
                s.pen_color = o.pen_color;
                s.dither = o.dither;
                // The sound group pastes from the sample, so the sample carries the sound.
                s.sound = o.sound;
                s.sound_on = o.sound_on;
            } else if constexpr (std::is_same_v<T, model::ShapeData>) {
                copy_fill(o, s);
            } else if constexpr (std::is_same_v<T, model::LineData>) {
                s.pen_color = o.pen_color;
            } else if constexpr (std::is_same_v<T, model::LabelData>) {
                copy_fill(o, s);
                s.font = o.font;
                s.text_align = swap_centre_right(o.alignment);
            } else if constexpr (std::is_same_v<T, model::ImageData>) {
                copy_fill(o, s);
                s.text_align = o.tile ? 0 : o.stretch ? 1 : o.center ? 2 : 0;
                s.caption = o.image_name;
            }
        },
        object);
    return s;
}

model::ObjectData paste_style(const model::ButtonData& s, uint16_t mask, const model::ObjectData& target) {
    model::ObjectData out = target;
    std::visit(
        [&](auto& t) {
            using T = std::decay_t<decltype(t)>;
            paste_common(s, mask, t);
            if constexpr (std::is_same_v<T, model::ButtonData>) {
                if (mask & kStyle) {
                    t.btn_style = s.btn_style;
                    t.pattern = s.pattern;
                    t.dither = s.dither;
                    t.transparent = s.transparent;
                }
                if (mask & kColor) {
                    t.color = s.color;
                    t.color2 = s.color2;
                }
                if (mask & kAlignment) {
                    t.text_align = s.text_align;
                    t.show_icon = s.show_icon;
                }
                if (mask & kImage) {
                    t.icon = s.icon;
                    t.ani_icon = s.ani_icon;
                }
                if (mask & kSound) {
                    t.sound = s.sound;
                    t.sound_on = s.sound_on;
                }
                if (mask & kFontName) {
                    t.font.name = s.font.name;
                    t.font.size = s.font.size;
                }
                if (mask & kFontColor) t.font.color = s.font.color;
            } else if constexpr (std::is_same_v<T, model::ShapeData>) {
                paste_fill(s, mask, t);
            } else if constexpr (std::is_same_v<T, model::LabelData>) {
                paste_fill(s, mask, t);
                if (mask & kAlignment) t.alignment = swap_centre_right(s.text_align);
                if (mask & kFontName) {
                    t.font.name = s.font.name;
                    t.font.size = s.font.size;
                }
                if (mask & kFontColor) t.font.color = s.font.color;
            } else if constexpr (std::is_same_v<T, model::ImageData>) {
                paste_fill(s, mask, t);
                if (mask & kAlignment) {
                    t.tile = s.text_align == 0;
                    t.stretch = s.text_align == 1;
                    t.center = s.text_align == 2;
                }
                if ((mask & kImage) && !s.caption.empty()) {
                    t.image_name = s.caption;
                    t.picture_path.clear();
                }
            }
        },
        out);
    return out;
}

}  // namespace vx::editor
