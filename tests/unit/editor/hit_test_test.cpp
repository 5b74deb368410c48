#include "editor/hit_test.h"

#include <gtest/gtest.h>

#include "objects/button_paint.h"
#include "objects/line_star_paint.h"
#include "objects/shape_paint.h"

namespace vx::editor {
namespace {

using namespace vx::model;
using port::Point;

template <typename T>
ObjectData at(T data, Bounds b) {
    data.bounds = b;
    return data;
}

ObjectData button(int style, Bounds b) {
    ButtonData d;
    d.btn_style = style;
    return at(d, b);
}

ObjectData shape(int style, Bounds b) {
    ShapeData d;
    d.shape = style;
    return at(d, b);
}

ObjectData line(int align, Bounds b, int width = 1, int style = 0) {
    LineData d;
    d.align = align;
    d.pen.width = width;
    d.pen.style = style;
    return at(d, b);
}

TEST(HitTest, EachKindAnswersInsideWhatItDraws) {
    const Bounds box{100, 100, 100, 60};
    struct Case {
        const char* what;
        ObjectData object;
        Point p;
        bool hit;
    } cases[] = {
        // Strict bounds: the edges themselves miss.
        {"rectangle button inside", button(objects::kxRectangle, box), {101, 101}, true},
        {"rectangle button on its left edge", button(objects::kxRectangle, box), {100, 130}, false},
        {"rectangle button on its top edge", button(objects::kxRectangle, box), {150, 100}, false},
        {"rectangle button last column", button(objects::kxRectangle, box), {199, 159}, true},
        {"rectangle button past its right edge", button(objects::kxRectangle, box), {200, 130}, false},
        {"round button centre", button(objects::kxEllipse, box), {150, 130}, true},
        {"round button corner", button(objects::kxGradDoubleEllipse, box), {103, 103}, false},
        {"round-rectangle button corner, as run mode presses it",
         button(objects::kxRoundRect, box),
         {101, 101},
         true},
        {"ellipse shape corner", shape(objects::kxShapeEllipse, box), {104, 104}, false},
        {"ellipse shape top middle", shape(objects::kxShapeGrad3DEllipse, box), {150, 101}, true},
        {"rounded shape corner", shape(objects::kxShapeRoundRect, box), {101, 101}, false},
        {"rounded shape beside the corner", shape(objects::kxShapeRoundRect, box), {114, 101}, true},
        {"rounded shape on the side", shape(objects::kxShapeRoundRect, box), {101, 130}, true},
        {"bevelled shape corner", shape(objects::kxShape3dBorder, box), {101, 101}, true},
        {"clear shape, still pickable", shape(objects::kxShapeClear, box), {150, 130}, true},
        {"label corner", at(LabelData{}, box), {101, 158}, true},
        {"label edge", at(LabelData{}, box), {130, 160}, false},
        {"image", at(ImageData{}, box), {199, 101}, true},
        {"empty box", at(ImageData{}, {10, 10, 0, 0}), {10, 10}, false},
        // Lines: the stroke and 3 pixels either side, also outside a box one pixel high.
        {"top line on its stroke", line(objects::kxLineTop, {10, 10, 100, 1}), {50, 10}, true},
        {"top line 3 below", line(objects::kxLineTop, {10, 10, 100, 1}), {50, 13}, true},
        {"top line 4 below", line(objects::kxLineTop, {10, 10, 100, 1}), {50, 14}, false},
        {"top line 3 above", line(objects::kxLineTop, {10, 10, 100, 1}), {50, 7}, true},
        {"top line beyond its end", line(objects::kxLineTop, {10, 10, 100, 1}), {114, 10}, false},
        {"thick left line", line(objects::kxLineLeft, {10, 10, 9, 100}, 9), {21, 50}, true},
        {"thick left line, far side", line(objects::kxLineLeft, {10, 10, 9, 100}, 9), {22, 50}, false},
        {"diagonal on its course", line(objects::kxLineTopBottom, {0, 0, 100, 100}), {50, 52}, true},
        {"diagonal, inside its box but off the line",
         line(objects::kxLineTopBottom, {0, 0, 100, 100}),
         {80, 20},
         false},
        {"rising diagonal", line(objects::kxLineBottomTop, {0, 0, 100, 100}), {80, 20}, true},
        {"dashed right line, 3 inside its inner column",
         line(objects::kxLineRight, {0, 0, 50, 50}, 3, 1),
         {44, 25},
         true},
        {"dashed right line, beyond the tolerance",
         line(objects::kxLineRight, {0, 0, 50, 50}, 3, 1),
         {43, 25},
         false},
        {"clear line, still pickable", line(objects::kxLineBottom, {0, 0, 50, 50}, 1, 5), {25, 49}, true},
    };
    for (const auto& c : cases) EXPECT_EQ(object_hit(c.object, c.p), c.hit) << c.what;
}

TEST(HitTest, TheFrontmostObjectHitWinsAndAMissedCornerFallsThrough) {
    Desktop d;
    Page& p = d.add_page("P");
    const ObjectId back = d.add_object(p, at(ShapeData{}, {0, 0, 100, 100})).id;
    const ObjectId front = d.add_object(p, shape(objects::kxShapeEllipse, {0, 0, 100, 100})).id;
    EXPECT_EQ(object_at(p, {50, 50}), front);
    EXPECT_EQ(object_at(p, {3, 3}), back);
    EXPECT_EQ(object_at(p, {0, 50}), kNoId);
}

TEST(HitTest, HandlesSitThreePixelsUpAndLeftOfTheirPoints) {
    const Bounds b{10, 20, 41, 31};  // centres 30 and 35, rounded toward zero
    struct Case {
        int handle;
        port::Rect rect;
        HandleCursor cursor;
    } cases[] = {
        {1, {7, 17, 12, 22}, HandleCursor::SizeNwse},  {2, {27, 17, 32, 22}, HandleCursor::SizeNs},
        {3, {48, 17, 53, 22}, HandleCursor::SizeNesw}, {4, {7, 32, 12, 37}, HandleCursor::SizeWe},
        {5, {48, 32, 53, 37}, HandleCursor::SizeWe},   {6, {7, 48, 12, 53}, HandleCursor::SizeNesw},
        {7, {27, 48, 32, 53}, HandleCursor::SizeNs},   {8, {48, 48, 53, 53}, HandleCursor::SizeNwse},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(handle_rect(b, c.handle), c.rect) << c.handle;
        EXPECT_EQ(handle_cursor(c.handle), c.cursor) << c.handle;
        EXPECT_EQ(handle_at(b, {c.rect.left, c.rect.top}), c.handle);
        EXPECT_EQ(handle_at(b, {c.rect.right - 1, c.rect.bottom - 1}), c.handle);
    }
    EXPECT_EQ(handle_at(b, {12, 22}), 0);
    EXPECT_EQ(handle_at(b, {30, 35}), 0);
    EXPECT_EQ(handle_at({10, 20, 2, 2}, {10, 20}), 8) << "on a tiny object the handle shown last is on top";
}

TEST(HitTest, TheLastSelectedObjectsHandlesAreOnTop) {
    Desktop d;
    Page& p = d.add_page("P");
    const ObjectId a = d.add_object(p, at(ShapeData{}, {0, 0, 50, 50})).id;
    const ObjectId b = d.add_object(p, at(ShapeData{}, {50, 0, 50, 50})).id;
    EXPECT_EQ(handle_at(d, {a, b}, {50, 0}), (HandleHit{b, 1}));
    EXPECT_EQ(handle_at(d, {b, a}, {50, 0}), (HandleHit{a, 3}));
    EXPECT_EQ(handle_at(d, {a, b}, {25, 25}), std::nullopt);
}

}  // namespace
}  // namespace vx::editor
