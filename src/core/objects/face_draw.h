#pragma once
// The drawing vocabulary the desktop objects share: bodies, the bevel edge routines, the
// gradient band fill and the pattern fill. Buttons, shapes, labels and images differ only in
// how they pick colours, flags and insets, so those are parameters here.
#include "port/canvas.h"

namespace vx::objects {

using port::Canvas;
using port::Color;

inline constexpr Color kHighlight = 0xFFFFFF;
inline constexpr Color kShadow = 0x808080;
inline constexpr Color kLightGrey = 0xC0C0C0;
inline constexpr Color kBlackColor = 0x000000;

// The area inside the outline that edges and content are placed in. Right and bottom are
// exclusive; each edge routine moves the box inwards by what it drew.
struct BevelBox {
    int l = 0;
    int t = 0;
    int r = 0;
    int b = 0;
    void inset(int n) {
        l += n;
        t += n;
        r -= n;
        b -= n;
    }
    friend bool operator==(const BevelBox&, const BevelBox&) = default;
};

enum class BodyShape { None, Rectangle, RoundRect, Ellipse };

// Outline with the current pen, fill with the current brush; a rounded rectangle's corner
// ellipse is a quarter of the width by a quarter of the height.
void draw_body(Canvas& c, BodyShape shape, const port::Rect& r);

// One bevel: bottom and right lines in `second`, left and top lines in `first`.
void bevel(Canvas& c, const BevelBox& b, Color first, Color second);
// bevel, inset 1, bevel, inset 1
void double_bevel(Canvas& c, BevelBox& b, Color first, Color second);
// The button's fat bevel: four rings when up; when pressed a 2-pixel strip along the top and
// the left in `first`, then inset 2.
void fat_bevel(Canvas& c, BevelBox& b, Color first, Color second, bool pressed);
// The shape's fat bevel: rings 0 to 4 of the box (1 to 3 drawn twice); the box does not move.
void fat_bevel_rings(Canvas& c, const BevelBox& b, Color first, Color second);
// Four bevels with insets 1, 3, 1, 3 after them.
void split_bevel(Canvas& c, BevelBox& b, Color first, Color second);
// Four bevels with insets 1, 4, 1, 4; the outer two raised and the inner two sunken when
// `flag`, the other way round otherwise.
void frame_bevel(Canvas& c, BevelBox& b, bool flag);
// Inset 2 at left and top and 3 at right and bottom, then a raised (flag) or sunken bevel,
// inset 1, the opposite bevel, inset 1.
void low_high_bevel(Canvas& c, BevelBox& b, bool flag);
// The upper-left half of the ellipse in `first`, the lower-right half in `second`.
void ellipse_bevel(Canvas& c, const BevelBox& b, Color first, Color second);
// ellipse bevel, inset 12, ellipse bevel with a grey second colour lightened to silver.
void double_ellipse_bevel(Canvas& c, BevelBox& b, Color first, Color second);

struct Gradient {
    Color from = 0;  // the running colour starts here (one step along before the first band)
    Color to = 0;
    bool reverse = false;  // bands run from the bottom up
    // Clip to the ellipse inscribed in the control inset by the box's left and top.
    bool ellipse_clip = false;
    int control_width = 0;
    int control_height = 0;
    // Give band colours as RGB even on a palette display.
    bool dither = false;
    const port::Palette* palette = nullptr;
};

// Fills the box in horizontal bands stepping from `from` towards `to`.
void gradient_band_fill(Canvas& c, const BevelBox& b, const Gradient& g);

// One face fills several boxes from one gradient, each with its own direction and clip.
inline void gradient_band_fill(Canvas& c, const BevelBox& b, Gradient g, bool reverse, bool ellipse_clip) {
    g.reverse = reverse;
    g.ellipse_clip = ellipse_clip;
    gradient_band_fill(c, b, g);
}

// The inner gradient of the double styles lies 12 pixels inside the outer one.
inline BevelBox inner_gradient_box(BevelBox b) {
    b.inset(12);
    return b;
}

// The body drawn once with pattern `number` (set pixels in `ink`, clear pixels in `back`, or
// showing the page when `see_through`), with no outline. Afterwards the brush is hollow and
// `pen` is back, so that drawing the body again adds only the outline. An unknown pattern
// number draws nothing. Returns whether the pattern was drawn.
bool pattern_fill(Canvas& c, BodyShape shape, const port::Rect& r, int number, Color ink, Color back,
                  bool see_through, const port::Pen& pen);

}  // namespace vx::objects
