#include "objects/shape_paint.h"

#include <algorithm>

#include "objects/patterns.h"

namespace vx::objects {

using port::Point;
using port::Rect;

const char* const kShapeTypeNames[kShapeTypeCount] = {"kxClear",
                                                      "kx3dBorder",
                                                      "kx3DFatBorder",
                                                      "kxDoubleBorder",
                                                      "kx3DFrame",
                                                      "kxChiseled",
                                                      "kxLowBeveled",
                                                      "kxHiBeveled",
                                                      "kx3DEllipse",
                                                      "kxDoubleEllipse",
                                                      "kxEllipse",
                                                      "kxRoundRect",
                                                      "kxRectangle",
                                                      "kxGrad3DBorder",
                                                      "kxGrad3DFatBorder",
                                                      "kxGradDoubleBorder",
                                                      "kxGrad3DFrame",
                                                      "kxGradChiseled",
                                                      "kxGradLowBeveled",
                                                      "kxGradHiBeveled",
                                                      "kxGrad3DEllipse",
                                                      "kxGradDoubleEllipse",
                                                      "kxGradDoubleRectangle",
                                                      "kxGradDepressed",
                                                      "kxGradDoubleDepressed",
                                                      "kxDepressed",
                                                      "kxDoubleDepressed"};

const char* const kFrameTypeNames[kFrameTypeCount] = {"kxClear",
                                                      "kx3dBorder",
                                                      "kx3DFatBorder",
                                                      "kxDoubleBorder",
                                                      "kx3DFrame",
                                                      "kxChiseled",
                                                      "kxLowBeveled",
                                                      "kxHiBeveled",
                                                      "kxRectangle",
                                                      "kxGrad3DBorder",
                                                      "kxGrad3DFatBorder",
                                                      "kxGradDoubleBorder",
                                                      "kxGrad3DFrame",
                                                      "kxGradChiseled",
                                                      "kxGradLowBeveled",
                                                      "kxGradHiBeveled",
                                                      "kxGradDoubleRectangle",
                                                      "kxGradDepressed",
                                                      "kxGradDoubleDepressed",
                                                      "kxDepressed",
                                                      "kxDoubleDepressed"};

int frame_to_shape_type(int frame_style) {
    if (frame_style < 0 || frame_style >= kFrameTypeCount) return kxShapeClear;
    if (frame_style <= kxShapeHiBeveled) return frame_style;
    if (frame_style == 8) return kxShapeRectangle;
    if (frame_style <= 15) return frame_style + (kxShapeGrad3DBorder - 9);
    return frame_style + (kxShapeGradDoubleRectangle - 16);
}

BodyShape shape_body(int style) {
    switch (style) {
        case kxShapeClear:
            return BodyShape::None;
        case kxShapeRoundRect:
            return BodyShape::RoundRect;
        case kxShape3DEllipse:
        case kxShapeDoubleEllipse:
        case kxShapeEllipse:
        case kxShapeGrad3DEllipse:
        case kxShapeGradDoubleEllipse:
            return BodyShape::Ellipse;
        default:
            return BodyShape::Rectangle;
    }
}

namespace {

// A damaged file can carry any number; beyond these the geometry would overflow long before
// anything sensible could be drawn.
constexpr int kMaxPenWidth = 1000;
constexpr int kMaxExtent = 1 << 20;

int extent(int v) {
    return std::clamp(v, 0, kMaxExtent);
}

port::Pen object_pen(const model::PenData& p, Color color) {
    port::Pen pen{static_cast<port::PenStyle>(std::clamp(p.style, 0, 6)),
                  std::clamp(p.width, 0, kMaxPenWidth), color};
    if (pen.width <= 0) pen.style = port::PenStyle::Clear;
    return pen;
}

struct FaceParams {
    int style = 0;
    int width = 0;
    int height = 0;
    Color color = 0;
    Color color2 = 0;
    Color pen_color = 0;
    int pattern = 0;
    bool transparent = false;
    bool dither = false;
    model::PenData pen{};
    // Frames move their box as each edge is drawn; shapes compute every edge from the box.
    bool edges_move_box = false;
};

BevelBox paint_face(Canvas& c, const FaceParams& f, const ShapeEnv& env) {
    const int style = f.style >= 0 && f.style < kShapeTypeCount ? f.style : kxShapeClear;
    const int width = extent(f.width), height = extent(f.height);
    c.select_palette(env.palette);
    const port::Pen pen = object_pen(f.pen, f.pen_color);
    c.set_pen(pen);
    c.set_brush(port::Brush::solid(f.color));

    const ShapeGeometry g = shape_geometry(f.pen, style, width, height);
    const BodyShape shape = shape_body(style);
    if (f.pattern == kPatternHollow || is_shape_gradient(style)) {
        c.set_brush(port::Brush::hollow());
    } else if (f.pattern != kPatternSolid) {
        pattern_fill(c, shape, g.body(), f.pattern, f.color2, f.color, f.transparent, pen);
    }
    draw_body(c, shape, g.body());

    const BevelBox box = g.bevel_box();
    BevelBox moving = box;
    // The box an edge starts from: the moving one for frames, a fresh copy for shapes.
    auto edge_box = [&]() -> BevelBox& {
        if (!f.edges_move_box) moving = box;
        return moving;
    };

    const Gradient grad{.from = f.color,
                        .to = f.color2,
                        .control_width = width,
                        .control_height = height,
                        .dither = f.dither,
                        .palette = env.palette};
    auto gradient = [&](const BevelBox& over, bool reverse, bool clip) {
        gradient_band_fill(c, over, grad, reverse, clip);
    };
    auto rings = [&](Color first, Color second) {
        BevelBox& b = edge_box();
        fat_bevel_rings(c, b, first, second);
        if (f.edges_move_box) b.inset(5);
    };

    if (style >= kxShapeGrad3DBorder && style <= kxShapeGradHiBeveled) gradient(box, false, false);
    switch (style) {
        case kxShape3dBorder:
        case kxShapeGrad3DBorder:
            double_bevel(c, edge_box(), kHighlight, kShadow);
            break;
        case kxShape3DFatBorder:
        case kxShapeGrad3DFatBorder:
            rings(kHighlight, kShadow);
            break;
        case kxShapeDoubleBorder:
        case kxShapeGradDoubleBorder:
            split_bevel(c, edge_box(), kHighlight, kShadow);
            break;
        case kxShape3DFrame:
        case kxShapeGrad3DFrame:
            frame_bevel(c, edge_box(), true);
            break;
        case kxShapeChiseled:
        case kxShapeGradChiseled:
            frame_bevel(c, edge_box(), false);
            break;
        case kxShapeLowBeveled:
        case kxShapeGradLowBeveled:
            low_high_bevel(c, edge_box(), false);
            break;
        case kxShapeHiBeveled:
        case kxShapeGradHiBeveled:
            low_high_bevel(c, edge_box(), true);
            break;
        case kxShape3DEllipse:
            ellipse_bevel(c, edge_box(), kHighlight, kShadow);
            break;
        case kxShapeDoubleEllipse:
            double_ellipse_bevel(c, edge_box(), kHighlight, kShadow);
            break;
        case kxShapeGrad3DEllipse:
            gradient(box, false, true);
            ellipse_bevel(c, edge_box(), kHighlight, kLightGrey);
            break;
        case kxShapeGradDoubleEllipse:
            gradient(box, false, true);
            gradient(inner_gradient_box(box), true, true);
            double_ellipse_bevel(c, edge_box(), kHighlight, kShadow);
            break;
        case kxShapeGradDoubleRectangle: {
            gradient(box, false, false);
            gradient(inner_gradient_box(box), true, false);
            BevelBox& b = edge_box();
            bevel(c, b, kHighlight, kShadow);
            b.inset(12);
            bevel(c, b, kHighlight, kShadow);
            break;
        }
        case kxShapeGradDepressed:
            gradient(box, false, false);
            double_bevel(c, edge_box(), kShadow, kHighlight);
            break;
        case kxShapeGradDoubleDepressed:
            gradient(box, false, false);
            rings(kShadow, kHighlight);
            break;
        case kxShapeDepressed:
            double_bevel(c, edge_box(), kShadow, kHighlight);
            break;
        case kxShapeDoubleDepressed:
            rings(kShadow, kHighlight);
            break;
        default:
            break;
    }
    c.set_brush(port::Brush::solid(f.color));
    c.set_pen(pen);
    return f.edges_move_box ? moving : box;
}

FaceParams params_of(const FrameFace& f) {
    FaceParams p;
    p.style = frame_to_shape_type(f.shape);
    p.width = f.width;
    p.height = f.height;
    p.color = f.color;
    p.color2 = f.color2;
    p.pen_color = f.pen_color;
    p.pattern = f.pattern;
    p.transparent = f.transparent;
    p.dither = f.dither;
    p.pen = f.pen;
    p.edges_move_box = true;
    return p;
}

template <typename D>
FrameFace frame_face_of(const D& d) {
    FrameFace f;
    f.width = d.bounds.width;
    f.height = d.bounds.height;
    f.shape = d.shape;
    f.color = d.color;
    f.color2 = d.color2;
    f.pen_color = d.pen_color;
    f.pattern = d.pattern;
    f.transparent = d.transparent;
    f.dither = d.dither;
    f.pen = d.pen;
    return f;
}

}  // namespace

ShapeGeometry shape_geometry(const model::PenData& pen_data, int shape_style, int width, int height) {
    const port::Pen pen = object_pen(pen_data, 0);
    ShapeGeometry g;
    if (pen.style != port::PenStyle::Clear && shape_style != kxShapeClear) {
        g.pw = pen.width;
        g.h = (g.pw + 1) / 2;
    }
    const int odd = g.pw & 1;
    g.x = g.h - odd;
    g.w = extent(width) + (1 - odd) - 2 * g.x;
    g.ht = extent(height) + (1 - odd) - 2 * g.x;
    return g;
}

void paint_shape(Canvas& c, const model::ShapeData& s, const ShapeEnv& env) {
    FaceParams p;
    p.style = s.shape;
    p.width = s.bounds.width;
    p.height = s.bounds.height;
    p.color = s.color;
    p.color2 = s.color2;
    p.pen_color = s.pen_color;
    p.pattern = s.pattern;
    p.transparent = s.transparent;
    p.dither = s.dither;
    p.pen = s.pen;
    paint_face(c, p, env);
}

FrameFace frame_face(const model::LabelData& l) {
    return frame_face_of(l);
}

FrameFace frame_face(const model::ImageData& i) {
    return frame_face_of(i);
}

BevelBox paint_frame(Canvas& c, const FrameFace& f, const ShapeEnv& env) {
    return paint_face(c, params_of(f), env);
}

Rect label_text_rect(const BevelBox& b, const model::PenData& pen) {
    const int n = std::clamp(pen.width, 0, kMaxPenWidth) + 5;
    return Rect{b.l + n, b.t + n, b.r - n, b.b - n};
}

namespace {

port::TextFormat label_format(int alignment) {
    port::TextFormat format;
    format.align = alignment == 1   ? port::TextAlign::Right
                   : alignment == 2 ? port::TextAlign::Center
                                    : port::TextAlign::Left;
    // The label always wraps, whatever WordWrap says.
    format.word_wrap = true;
    format.expand_tabs = true;
    format.prefix = true;
    format.no_clip = true;
    return format;
}

}  // namespace

Rect paint_label(Canvas& c, const model::LabelData& l, const ShapeEnv& env) {
    const BevelBox after = paint_frame(c, frame_face(l), env);
    c.set_brush(port::Brush::hollow());
    const Rect r = label_text_rect(after, l.pen);
    c.set_font(port::Font{l.font.name, l.font.size, l.font.style});
    c.set_text_color(l.font.color);
    // Text that does not fit is cut at the text rectangle: it would otherwise run over the
    // margin and the frame, and out of a short label altogether.
    if (!l.text.empty() && r.right > r.left && r.bottom > r.top) {
        c.push_clip_rect(r);
        c.draw_text(r, l.text, label_format(l.alignment));
        c.pop_clip();
    }
    c.set_brush(port::Brush::solid(l.color));
    return r;
}

namespace {

// Walks the frame's edges to learn how far they move the box, keeping nothing drawn.
class DiscardCanvas final : public Canvas {
public:
    int bits_per_pixel() const override { return 32; }
    void select_palette(const port::Palette*) override {}
    void set_pen(const port::Pen&) override {}
    void set_brush(const port::Brush&) override {}
    void set_mix_mode(port::MixMode) override {}
    void push_clip_rect(const Rect&) override {}
    void push_clip_ellipse(const Rect&) override {}
    void pop_clip() override {}
    void rectangle(const Rect&) override {}
    void round_rect(const Rect&, int, int) override {}
    void ellipse(const Rect&) override {}
    void polygon(const Point*, int) override {}
    void arc(const Rect&, Point, Point) override {}
    void line(Point, Point) override {}
    void polyline(const Point*, int) override {}
    void fill_rect(const Rect&, Color) override {}
    void set_pixel(Point, Color) override {}
    void set_font(const port::Font&) override {}
    void set_text_color(Color) override {}
    int text_height() override { return 0; }
    port::Size measure_text(std::string_view, const port::TextFormat&) override { return {}; }
    void draw_text(const Rect&, std::string_view, const port::TextFormat&) override {}
    port::Size icon_size(port::IconId) override { return {}; }
    void draw_icon(port::IconId, Point) override {}
};

}  // namespace

model::Bounds label_auto_size(Canvas& c, const model::LabelData& l) {
    c.set_font(port::Font{l.font.name, l.font.size, l.font.style});
    port::TextFormat measure;
    int widest = 0, lines = 0;
    std::string_view rest = l.text;
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        widest = std::max(widest, c.measure_text(line, measure).width);
        ++lines;
        if (end == std::string_view::npos) break;
        rest.remove_prefix(end + 1);
    }
    lines = std::max(lines, 1);

    constexpr int kProbe = 1000;
    DiscardCanvas discard;
    FrameFace face = frame_face(l);
    face.width = kProbe;
    face.height = kProbe;
    const Rect text = label_text_rect(paint_frame(discard, face, {}), l.pen);
    model::Bounds b = l.bounds;
    b.width = widest + (kProbe - text.width());
    b.height = lines * c.text_height() + (kProbe - text.height());
    if (l.alignment == 1) b.left = l.bounds.left + l.bounds.width - b.width;
    return b;
}

ImagePaintResult paint_image(Canvas& c, const model::ImageData& im, ImagePicture* picture,
                             const ShapeEnv& env) {
    ImagePaintResult result;
    BevelBox b = paint_frame(c, frame_face(im), env);
    b.inset(1);
    result.box = b;
    const int width = extent(im.bounds.width), height = extent(im.bounds.height);
    result.clip = Rect{0, 0, width - b.l, height - b.t};
    if (!picture || !picture->has_graphic()) return result;
    const port::Size size = picture->size();
    if (size.width <= 0 || size.height <= 0) return result;

    c.push_clip_rect(result.clip);
    const bool keyed = im.transparent && picture->is_bitmap() && picture->make_keyed(im.color, env.palette);
    auto draw_at = [&](Point at, const Rect& target) {
        if (keyed) {
            picture->draw_keyed(c, at);
        } else {
            picture->draw(c, target);
        }
    };
    if (im.tile) {
        for (int y = b.t; y < b.b; y += size.height)
            for (int x = b.l; x < b.r; x += size.width)
                draw_at({x, y}, Rect{x, y, x + size.width, y + size.height});
    } else {
        Point at{b.l, b.t};
        if (im.center) at = {(b.l + b.r) / 2 - size.width / 2, (b.t + b.b) / 2 - size.height / 2};
        const Rect target =
            im.stretch ? Rect{b.l, b.t, b.r, b.b} : Rect{at.x, at.y, at.x + size.width, at.y + size.height};
        draw_at(at, target);
    }
    c.pop_clip();
    result.drew_picture = true;
    return result;
}

PictureChange image_picture_changed(const model::ImageData& im, bool auto_size, const ImagePicture* picture) {
    PictureChange change;
    change.bounds = im.bounds;
    if (!picture || !picture->has_graphic()) return change;
    const port::Size size = picture->size();
    if (auto_size && size.width > 0 && size.height > 0) {
        change.bounds.width = size.width;
        change.bounds.height = size.height;
    }
    change.opaque = picture->is_bitmap() && !picture->see_through() && size.width == change.bounds.width &&
                    size.height == change.bounds.height;
    return change;
}

}  // namespace vx::objects
