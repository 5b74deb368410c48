#include "objects/shape_paint.h"

#include <gtest/gtest.h>

#include <set>

#include "objects/button_paint.h"
#include "unit/objects/recording_canvas.h"

namespace vx::objects {
namespace {

using port::Rect;
using test::DrawOp;
using test::RecordingCanvas;

model::ShapeData shape(int style, int pen_width = 1, int w = 100, int h = 80) {
    model::ShapeData s;
    s.shape = style;
    s.pen.width = pen_width;
    s.bounds.width = w;
    s.bounds.height = h;
    return s;
}

// The left x of every distinct bevel ring drawn in `colour` (its vertical left line).
std::set<int> left_lines(const RecordingCanvas& c, port::Color colour) {
    std::set<int> xs;
    for (const auto& op : c.of(DrawOp::Line))
        if (op.pen.color == colour && op.rect.left == op.rect.right && op.rect.top < op.rect.bottom)
            xs.insert(op.rect.left);
    return xs;
}

TEST(ShapePaint, BodyBoxFollowsPenAllowance) {
    struct Case {
        int style, pen_width, pen_style;
        Rect body;
        int h;
    } cases[] = {
        {kxShape3dBorder, 1, 0, {0, 0, 100, 80}, 1},
        {kxShape3dBorder, 2, 0, {1, 1, 100, 80}, 1},  // w = Width - 1
        {kxShape3dBorder, 3, 0, {1, 1, 99, 79}, 2},
        {kxShape3dBorder, 0, 0, {0, 0, 101, 81}, 0},  // width 0 is a clear pen
        {kxShape3dBorder, 4, 5, {0, 0, 101, 81}, 0},
        {kxShapeClear, 4, 0, {0, 0, 101, 81}, 0},  // kxClear has no pen allowance
    };
    for (const auto& k : cases) {
        model::PenData pen{k.pen_width, k.pen_style};
        const ShapeGeometry g = shape_geometry(pen, k.style, 100, 80);
        EXPECT_EQ(g.body(), k.body) << k.style << " pw " << k.pen_width;
        EXPECT_EQ(g.h, k.h) << k.style << " pw " << k.pen_width;
    }
}

TEST(ShapePaint, BodyKindAndBrushPerStyle) {
    struct Case {
        int style;
        DrawOp::Kind body;
        port::BrushKind brush;
    } cases[] = {
        {kxShape3dBorder, DrawOp::Rectangle, port::BrushKind::Solid},
        {kxShapeEllipse, DrawOp::Ellipse, port::BrushKind::Solid},
        {kxShapeDoubleEllipse, DrawOp::Ellipse, port::BrushKind::Solid},
        {kxShapeRoundRect, DrawOp::RoundRect, port::BrushKind::Solid},
        {kxShapeGrad3DBorder, DrawOp::Rectangle, port::BrushKind::Hollow},
        {kxShapeGradDoubleEllipse, DrawOp::Ellipse, port::BrushKind::Hollow},
        {kxShapeDoubleDepressed, DrawOp::Rectangle, port::BrushKind::Solid},
    };
    for (const auto& k : cases) {
        RecordingCanvas c;
        paint_shape(c, shape(k.style), {});
        ASSERT_FALSE(c.ops.empty()) << k.style;
        EXPECT_EQ(c.ops.front().kind, k.body) << k.style;
        EXPECT_EQ(c.ops.front().brush.kind, k.brush) << k.style;
        EXPECT_EQ(c.ops.front().brush.kind == port::BrushKind::Solid ? c.ops.front().brush.color : 0xFF0000,
                  0xFF0000)
            << k.style;
    }
    RecordingCanvas round;
    paint_shape(round, shape(kxShapeRoundRect), {});
    EXPECT_EQ(round.ops.front().points[0], (port::Point{25, 20}));
}

TEST(ShapePaint, ClearDrawsOnlyAPatternRectangle) {
    RecordingCanvas plain;
    paint_shape(plain, shape(kxShapeClear), {});
    EXPECT_TRUE(plain.ops.empty());

    model::ShapeData s = shape(kxShapeClear, 3);
    s.pattern = 5;
    RecordingCanvas patterned;
    paint_shape(patterned, s, {});
    ASSERT_EQ(patterned.ops.size(), 1u);
    EXPECT_EQ(patterned.ops[0].kind, DrawOp::Rectangle);
    EXPECT_EQ(patterned.ops[0].brush.kind, port::BrushKind::Pattern);
    EXPECT_EQ(patterned.ops[0].rect, (Rect{0, 0, 101, 81}));
}

TEST(ShapePaint, FatBevelShowsFiveRingsWhereTheButtonShowsFour) {
    RecordingCanvas sc;
    paint_shape(sc, shape(kxShape3DFatBorder), {});
    EXPECT_EQ(left_lines(sc, kHighlight), (std::set<int>{1, 2, 3, 4, 5}));

    RecordingCanvas bc;
    model::ButtonData b;
    b.btn_style = kx3DFatBorder;
    b.bounds.width = 100;
    b.bounds.height = 80;
    ButtonState st;
    paint_button(bc, b, st, PaintEnv{});
    EXPECT_EQ(left_lines(bc, kHighlight).size(), 4u);

    // Swapped colours: the sunken rings light the bottom and right instead.
    RecordingCanvas dc;
    paint_shape(dc, shape(kxShapeDoubleDepressed), {});
    EXPECT_EQ(left_lines(dc, kShadow), (std::set<int>{1, 2, 3, 4, 5}));
}

TEST(ShapePaint, GradientRunsFromColorAtTheTopToColor2) {
    model::ShapeData s = shape(kxShapeGrad3DBorder);
    s.color = 0xFF0000;
    s.color2 = 0xFFFFFF;
    RecordingCanvas c;
    paint_shape(c, s, {});
    const auto fills = c.of(DrawOp::FillRect);
    ASSERT_GE(fills.size(), 2u);
    EXPECT_EQ(fills.front().rect.top, 1);
    EXPECT_EQ(port::blue_of(fills.front().color), 255);
    EXPECT_LT(port::red_of(fills.front().color), 16);
    EXPECT_GT(port::red_of(fills.back().color), 240);
    EXPECT_EQ(fills.back().rect.bottom, 79);
}

TEST(ShapePaint, InnerGradientsAreReversedAndEllipsesClipped) {
    struct Case {
        int style;
        int ellipse_clips;
    } cases[] = {{kxShapeGrad3DEllipse, 1}, {kxShapeGradDoubleEllipse, 2}, {kxShapeGradDoubleRectangle, 0}};
    for (const auto& k : cases) {
        model::ShapeData s = shape(k.style);
        s.color = 0x000000;
        s.color2 = 0xFFFFFF;
        RecordingCanvas c;
        paint_shape(c, s, {});
        EXPECT_EQ(static_cast<int>(c.of(DrawOp::ClipEllipse).size()), k.ellipse_clips) << k.style;
        if (k.style == kxShapeGrad3DEllipse) continue;
        // The inner gradient (inset 12 from the bevel box) starts dark at its bottom.
        const auto fills = c.of(DrawOp::FillRect);
        auto inner =
            std::find_if(fills.begin(), fills.end(), [](const DrawOp& op) { return op.rect.left == 13; });
        ASSERT_NE(inner, fills.end()) << k.style;
        EXPECT_EQ(inner->rect.bottom, 67) << k.style;
        EXPECT_LT(port::red_of(inner->color), 16) << k.style;
    }
}

TEST(ShapePaint, EdgesOfAShapeAreDrawnFromTheBevelBoxAndLeaveItWhereItWas) {
    // A gradient double rectangle: the outer bevel at the box, the inner one 12 further in.
    RecordingCanvas c;
    paint_shape(c, shape(kxShapeGradDoubleRectangle), {});
    EXPECT_EQ(left_lines(c, kHighlight), (std::set<int>{1, 13}));
}

TEST(FrameTypes, MapOntoTheRectangularShapeStyles) {
    for (int f = 0; f < kFrameTypeCount; ++f)
        EXPECT_STREQ(kFrameTypeNames[f], kShapeTypeNames[frame_to_shape_type(f)]) << f;
    EXPECT_EQ(frame_to_shape_type(21), kxShapeClear);
    EXPECT_EQ(frame_to_shape_type(-1), kxShapeClear);
}

model::LabelData label(int w = 120, int h = 60) {
    model::LabelData l;
    l.bounds.width = w;
    l.bounds.height = h;
    l.font.color = 0x000000;
    l.text = "Hello there";
    return l;
}

TEST(LabelPaint, NewLabelIsASunkenSilverDoubleBevelWithItsTextInset) {
    RecordingCanvas c;
    const Rect r = paint_label(c, label(), {});
    EXPECT_EQ(c.ops.front().kind, DrawOp::Rectangle);
    EXPECT_EQ(c.ops.front().brush.color, 0xC0C0C0);
    EXPECT_EQ(left_lines(c, kShadow), (std::set<int>{1, 2}));
    // Box (1, 1, 119, 59) after two bevels (3, 3, 117, 57), then pen width + 5.
    EXPECT_EQ(r, (Rect{9, 9, 111, 51}));
    const auto texts = c.of(DrawOp::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].rect, r);
    EXPECT_EQ(texts[0].color, 0x000000);
    EXPECT_EQ(texts[0].brush.kind, port::BrushKind::Hollow);
    // Cut at the text rectangle, not at the frame's inner edge.
    EXPECT_EQ(c.of(DrawOp::ClipRect).at(0).rect, r);
}

TEST(LabelPaint, FrameEdgesMoveTheTextRectangle) {
    struct Case {
        int shape, pen_width;
        Rect text;
    } cases[] = {
        {0, 1, {6, 6, 114, 54}},    // clear: no allowance, no edge
        {8, 1, {7, 7, 113, 53}},    // outlined rectangle only
        {2, 1, {12, 12, 108, 48}},  // fat rings move the box by 5
        {3, 3, {19, 19, 101, 41}},  // split bevel, 1 + 3 + 1 + 3
    };
    for (const auto& k : cases) {
        model::LabelData l = label();
        l.shape = k.shape;
        l.pen.width = k.pen_width;
        RecordingCanvas c;
        EXPECT_EQ(paint_label(c, l, {}), k.text) << k.shape;
    }
}

TEST(LabelPaint, TextAlwaysWrapsExpandsTabsAndTakesPrefixes) {
    struct FormatCanvas : RecordingCanvas {
        port::TextFormat last{};
        void draw_text(const Rect& r, std::string_view t, const port::TextFormat& f) override {
            last = f;
            RecordingCanvas::draw_text(r, t, f);
        }
    };
    const std::pair<int, port::TextAlign> aligns[] = {
        {0, port::TextAlign::Left}, {1, port::TextAlign::Right}, {2, port::TextAlign::Center}};
    for (const auto& [alignment, expected] : aligns) {
        model::LabelData l = label();
        l.alignment = alignment;
        FormatCanvas c;
        paint_label(c, l, {});
        EXPECT_EQ(c.last.align, expected);
        EXPECT_TRUE(c.last.word_wrap);
        EXPECT_TRUE(c.last.expand_tabs);
        EXPECT_TRUE(c.last.prefix);
    }
}

TEST(LabelPaint, AutoSizeFitsTheTextAndKeepsARightAlignedEdge) {
    model::LabelData l = label();
    l.bounds.left = 200;
    l.text = "abc\r\nabcdefghij\r\n";
    RecordingCanvas c;
    model::Bounds b = label_auto_size(c, l);
    // 10 characters of 6 pixels plus 9 on each side; two lines of 13 plus 9 on each side.
    EXPECT_EQ(b.width, 60 + 18);
    EXPECT_EQ(b.height, 26 + 18);
    EXPECT_EQ(b.left, 200);
    l.alignment = 1;
    b = label_auto_size(c, l);
    EXPECT_EQ(b.left + b.width, 200 + 120);
}

struct FakePicture : ImagePicture {
    port::Size sz{10, 10};
    bool bitmap = true;
    bool clear_pixels = false;
    bool keyed_ok = true;
    Color keyed_with = -1;
    std::vector<Rect> drawn;
    std::vector<port::Point> keyed_at;
    bool has_graphic() const override { return sz.width > 0; }
    port::Size size() const override { return sz; }
    bool is_bitmap() const override { return bitmap; }
    bool see_through() const override { return clear_pixels; }
    void draw(Canvas&, const Rect& target) override { drawn.push_back(target); }
    bool make_keyed(Color color, const port::Palette*) override {
        keyed_with = color;
        return keyed_ok;
    }
    void draw_keyed(Canvas&, port::Point at) override { keyed_at.push_back(at); }
};

model::ImageData image(int w = 50, int h = 40) {
    model::ImageData im;
    im.bounds.width = w;
    im.bounds.height = h;
    return im;
}

TEST(ImagePaint, TilesFromTheBoxAndClipsAtTheFramesInnerEdge) {
    model::ImageData im = image();
    im.tile = true;
    FakePicture pic;
    RecordingCanvas c;
    const ImagePaintResult r = paint_image(c, im, &pic, {});
    // Box (1, 1, 49, 39), two bevels (3, 3, 47, 37), shrunk by 1.
    EXPECT_EQ(r.box, (BevelBox{4, 4, 46, 36}));
    EXPECT_EQ(r.clip, (Rect{0, 0, 46, 36}));
    EXPECT_EQ(c.of(DrawOp::ClipRect).at(0).rect, r.clip);
    EXPECT_EQ(c.ops.back().kind, DrawOp::PopClip);
    ASSERT_EQ(pic.drawn.size(), 5u * 4u);
    EXPECT_EQ(pic.drawn.front(), (Rect{4, 4, 14, 14}));
    EXPECT_EQ(pic.drawn.back(), (Rect{44, 34, 54, 44}));  // cut by the clip
}

TEST(ImagePaint, PlacementCentreAndStretch) {
    struct Case {
        bool center, stretch;
        Rect target;
    } cases[] = {
        {false, false, {4, 4, 14, 14}},
        {true, false, {20, 15, 30, 25}},
        {false, true, {4, 4, 46, 36}},
    };
    for (const auto& k : cases) {
        model::ImageData im = image();
        im.center = k.center;
        im.stretch = k.stretch;
        FakePicture pic;
        RecordingCanvas c;
        paint_image(c, im, &pic, {});
        ASSERT_EQ(pic.drawn.size(), 1u);
        EXPECT_EQ(pic.drawn[0], k.target) << k.center << k.stretch;
    }
}

TEST(ImagePaint, TransparentBitmapUsesTheKeyedCopyUnscaledOrFallsBack) {
    model::ImageData im = image();
    im.transparent = true;
    im.stretch = true;
    im.color = 0x00FF00;
    FakePicture pic;
    RecordingCanvas c;
    paint_image(c, im, &pic, {});
    EXPECT_EQ(pic.keyed_with, 0x00FF00);
    EXPECT_EQ(pic.keyed_at, (std::vector<port::Point>{{4, 4}}));
    EXPECT_TRUE(pic.drawn.empty());

    FakePicture failing;
    failing.keyed_ok = false;
    paint_image(c, im, &failing, {});
    EXPECT_EQ(failing.drawn.size(), 1u);

    FakePicture icon;
    icon.bitmap = false;
    paint_image(c, im, &icon, {});
    EXPECT_EQ(icon.keyed_with, -1);
}

TEST(ImagePaint, MissingPictureDrawsTheFrameAlone) {
    RecordingCanvas c;
    const ImagePaintResult r = paint_image(c, image(), nullptr, {});
    EXPECT_FALSE(r.drew_picture);
    EXPECT_TRUE(c.of(DrawOp::ClipRect).empty());
    EXPECT_FALSE(c.of(DrawOp::Line).empty());
}

TEST(ImagePaint, PictureChangeResizesAndDecidesOpacity) {
    FakePicture pic;
    pic.sz = {50, 40};
    EXPECT_TRUE(image_picture_changed(image(), false, &pic).opaque);
    pic.bitmap = false;
    EXPECT_FALSE(image_picture_changed(image(), false, &pic).opaque);
    pic.bitmap = true;
    pic.clear_pixels = true;
    EXPECT_FALSE(image_picture_changed(image(), false, &pic).opaque) << "the page shows through";
    pic.clear_pixels = false;
    pic.sz = {30, 20};
    EXPECT_FALSE(image_picture_changed(image(), false, &pic).opaque);
    const PictureChange grown = image_picture_changed(image(), true, &pic);
    EXPECT_EQ(grown.bounds.width, 30);
    EXPECT_EQ(grown.bounds.height, 20);
    EXPECT_TRUE(grown.opaque);
}

TEST(ShapePaint, DamagedSizesAndPensPaintWithoutOverflow) {
    for (int style = -1; style <= kShapeTypeCount; ++style) {
        model::ShapeData s = shape(style, 1 << 30, 1 << 30, -5);
        s.pattern = 3;
        RecordingCanvas c;
        paint_shape(c, s, {});
        model::LabelData l = label(-1, 1 << 30);
        l.shape = style;
        l.pen.width = -7;
        paint_label(c, l, {});
    }
}

}  // namespace
}  // namespace vx::objects
