#pragma once
// How shapes, labels and images paint themselves. The three share the button's edges, gradient
// band fill and pattern fill (face_draw); what differs is decided here: which way the gradient
// runs, that a shape's edges never move its box while a frame's do, and what each draws inside.
#include <string>

#include "model/objects.h"
#include "objects/face_draw.h"

namespace vx::objects {

enum TKXShapeType : int {
    kxShapeClear = 0,
    kxShape3dBorder = 1,
    kxShape3DFatBorder = 2,
    kxShapeDoubleBorder = 3,
    kxShape3DFrame = 4,
    kxShapeChiseled = 5,
    kxShapeLowBeveled = 6,
    kxShapeHiBeveled = 7,
    kxShape3DEllipse = 8,
    kxShapeDoubleEllipse = 9,
    kxShapeEllipse = 10,
    kxShapeRoundRect = 11,
    kxShapeRectangle = 12,
    kxShapeGrad3DBorder = 13,
    kxShapeGrad3DFatBorder = 14,
    kxShapeGradDoubleBorder = 15,
    kxShapeGrad3DFrame = 16,
    kxShapeGradChiseled = 17,
    kxShapeGradLowBeveled = 18,
    kxShapeGradHiBeveled = 19,
    kxShapeGrad3DEllipse = 20,
    kxShapeGradDoubleEllipse = 21,
    kxShapeGradDoubleRectangle = 22,
    kxShapeGradDepressed = 23,
    kxShapeGradDoubleDepressed = 24,
    kxShapeDepressed = 25,
    kxShapeDoubleDepressed = 26,
};
inline constexpr int kShapeTypeCount = 27;
extern const char* const kShapeTypeNames[kShapeTypeCount];

// Labels and images use the rectangular subset of the shape styles.
inline constexpr int kFrameTypeCount = 21;
extern const char* const kFrameTypeNames[kFrameTypeCount];
// The shape style a label or image frame style draws like; out-of-range values draw as clear.
int frame_to_shape_type(int frame_style);

inline bool is_shape_gradient(int style) {
    return style >= kxShapeGrad3DBorder && style <= kxShapeGradDoubleDepressed;
}
// The body a shape style draws: none, a rectangle, a rounded rectangle or an ellipse.
BodyShape shape_body(int style);

// Pen allowance and body box of a shape or frame: the body is (x, x) to (x + w, x + ht) and
// the bevel box (x + h, x + h) to (w - 1, ht - 1).
struct ShapeGeometry {
    int pw = 0;
    int h = 0;
    int x = 0;
    int w = 0;
    int ht = 0;
    port::Rect body() const { return {x, x, x + w, x + ht}; }
    BevelBox bevel_box() const { return {x + h, x + h, w - 1, ht - 1}; }
};
ShapeGeometry shape_geometry(const model::PenData& pen, int shape_style, int width, int height);

struct ShapeEnv {
    const port::Palette* palette = nullptr;  // the shared desktop palette
};

void paint_shape(Canvas& c, const model::ShapeData& s, const ShapeEnv& env);

// The fields a label and an image frame share.
struct FrameFace {
    int width = 0;
    int height = 0;
    int shape = 19;
    Color color = 0;
    Color color2 = 0;
    Color pen_color = 0;
    int pattern = 0;
    bool transparent = false;
    bool dither = false;
    model::PenData pen{};
};
FrameFace frame_face(const model::LabelData& l);
FrameFace frame_face(const model::ImageData& i);

// Draws the frame and answers the bevel box as the edges left it.
BevelBox paint_frame(Canvas& c, const FrameFace& f, const ShapeEnv& env);

// Where the label's text goes: the box after the edges inset by pen width + 5.
port::Rect label_text_rect(const BevelBox& after_edges, const model::PenData& pen);
// Returns the text rectangle used.
port::Rect paint_label(Canvas& c, const model::LabelData& l, const ShapeEnv& env);
// The size AutoSize gives a label: its text on one line per stored line plus the frame
// allowance; a right-aligned label keeps its right edge.
model::Bounds label_auto_size(Canvas& c, const model::LabelData& l);

// The picture an image shows; decoding is the imaging layer's business.
class ImagePicture {
public:
    virtual ~ImagePicture() = default;
    virtual bool has_graphic() const = 0;
    virtual port::Size size() const = 0;
    virtual bool is_bitmap() const = 0;
    // Parts of it let the page show through (alpha, an icon's mask, a metafile's gaps).
    virtual bool see_through() const { return false; }
    // Scaled into `target`.
    virtual void draw(Canvas& c, const port::Rect& target) = 0;
    // Builds a working copy with the top-left pixel's colour replaced by `color`; false when
    // that failed (the picture is then drawn unchanged).
    virtual bool make_keyed(Color color, const port::Palette* palette) = 0;
    // The working copy, unscaled, its top-left at `at`.
    virtual void draw_keyed(Canvas& c, port::Point at) = 0;
};

struct ImagePaintResult {
    BevelBox box{};     // the box the picture is placed in
    port::Rect clip{};  // spares the right and bottom frame edges
    bool drew_picture = false;
};
ImagePaintResult paint_image(Canvas& c, const model::ImageData& im, ImagePicture* picture,
                             const ShapeEnv& env);

// A picture change: the bounds AutoSize gives and whether the control is now opaque: a bitmap
// with no see-through pixels that covers it exactly.
struct PictureChange {
    model::Bounds bounds{};
    bool opaque = false;
};
PictureChange image_picture_changed(const model::ImageData& im, bool auto_size, const ImagePicture* picture);

}  // namespace vx::objects
