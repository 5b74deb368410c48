#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "objects/button_paint.h"
#include "objects/shape_paint.h"
#include "win/objects/gdi_canvas.h"
#include "win/objects/kx_shapes.h"
#include "win/support/dib_surface.h"

namespace vx::win::objects {
namespace {

namespace core = vx::objects;

constexpr COLORREF kPage = RGB(0, 128, 0);

// The page the objects are painted on.
class Surface : public test::DibSurface {
public:
    Surface(int width, int height) : DibSurface(width, height, kPage) {}
};

model::LineData line(int align, int pen_width, int pen_style, int w, int h) {
    model::LineData l;
    l.align = align;
    l.pen.width = pen_width;
    l.pen.style = pen_style;
    l.bounds.width = w;
    l.bounds.height = h;
    return l;
}

TEST(GdiLine, SolidWidthOneLeftLineFillsColumnZeroOverTheFullHeight) {
    Surface s(20, 30);
    {
        GdiCanvas c(s.dc());
        TKXLine(line(core::kxLineLeft, 1, 0, 20, 30)).Paint(c, nullptr);
    }
    EXPECT_EQ(s.count(RGB(0, 0, 0), RECT{0, 0, 1, 30}), 30);
    EXPECT_EQ(s.count(RGB(0, 0, 0), RECT{1, 0, 20, 30}), 0);
}

TEST(GdiLine, DashedLinesAreParallelOnePixelLines) {
    Surface s(20, 60);
    {
        GdiCanvas c(s.dc());
        TKXLine(line(core::kxLineRight, 3, 1, 20, 60)).Paint(c, nullptr);
    }
    for (int x = 17; x < 20; ++x) {
        const int ink = s.count(RGB(0, 0, 0), RECT{x, 0, x + 1, 60});
        EXPECT_GT(ink, 10) << x;
        EXPECT_LT(ink, 60) << x;  // dashed, not solid
    }
    EXPECT_EQ(s.count(RGB(0, 0, 0), RECT{0, 0, 17, 60}), 0);

    // Width 4 on the diagonal: three diagonals (i = 0, 1, 2), one pixel each per row.
    Surface d(40, 40);
    {
        GdiCanvas c(d.dc());
        TKXLine(line(core::kxLineTopBottom, 4, 2, 40, 40)).Paint(c, nullptr);
    }
    int rows_with_three = 0;
    for (int y = 2; y < 38; ++y) rows_with_three += d.count(RGB(0, 0, 0), RECT{0, y, 40, y + 1}) == 3;
    EXPECT_GT(rows_with_three, 0);
    for (int y = 2; y < 38; ++y) EXPECT_LE(d.count(RGB(0, 0, 0), RECT{0, y, 40, y + 1}), 3) << y;
}

int white_rings_at_left(const Surface& s, int y, int max_x) {
    int rings = 0;
    for (int x = 0; x < max_x; ++x) rings += s.at(x, y) == RGB(255, 255, 255);
    return rings;
}

TEST(GdiShape, FatBevelShowsFiveRingsAgainstFourForTheButton) {
    model::ShapeData sd;
    sd.shape = core::kxShape3DFatBorder;
    sd.bounds.width = 60;
    sd.bounds.height = 40;
    sd.color = 0x00FFFF;
    Surface s(60, 40);
    {
        GdiCanvas c(s.dc());
        TKXShape(sd).Paint(c, nullptr);
    }
    EXPECT_EQ(white_rings_at_left(s, 20, 20), 5);

    model::ButtonData bd;
    bd.btn_style = core::kx3DFatBorder;
    bd.bounds.width = 60;
    bd.bounds.height = 40;
    bd.color = 0x00FFFF;
    Surface b(60, 40);
    {
        GdiCanvas c(b.dc());
        core::ButtonState st;
        core::paint_button(c, bd, st, core::PaintEnv{});
    }
    EXPECT_EQ(white_rings_at_left(b, 20, 20), 4);
}

TEST(GdiShape, BlueToWhiteGradientIsBlueAtTheTop) {
    model::ShapeData sd;
    sd.shape = core::kxShapeGrad3DBorder;
    sd.bounds.width = 60;
    sd.bounds.height = 100;
    sd.color = 0xFF0000;
    sd.color2 = 0xFFFFFF;
    Surface s(60, 100);
    {
        GdiCanvas c(s.dc());
        TKXShape(sd).Paint(c, nullptr);
    }
    const COLORREF top = s.at(30, 3), bottom = s.at(30, 96);
    EXPECT_EQ(GetBValue(top), 255);
    EXPECT_LT(GetRValue(top), 20);
    EXPECT_GT(GetRValue(bottom), 230);
}

TEST(GdiLabel, NewLabelIsASunkenSilverDoubleBevelWithBlackText) {
    model::LabelData ld;
    ld.bounds.width = 120;
    ld.bounds.height = 40;
    ld.font.color = 0x000000;
    ld.text = "Label";
    Surface s(120, 40);
    {
        GdiCanvas c(s.dc());
        TKXLabel(ld).Paint(c, nullptr);
    }
    EXPECT_EQ(s.at(1, 20), RGB(128, 128, 128));    // sunken: grey at the top-left
    EXPECT_EQ(s.at(118, 20), RGB(255, 255, 255));  // and white at the bottom-right
    EXPECT_EQ(s.at(100, 30), RGB(192, 192, 192));
    EXPECT_GT(s.ink(RGB(192, 192, 192), RECT{9, 9, 111, 31}), 0) << "the text";
}

TEST(GdiLabel, LongTextWrapsInsideTheInsetRectangle) {
    model::LabelData ld;
    ld.bounds.width = 100;
    ld.bounds.height = 120;
    ld.font.color = 0x000000;
    ld.text = "the quick brown fox jumps over the lazy dog again and again";
    Surface s(100, 120);
    port::Rect text{};
    {
        GdiCanvas c(s.dc());
        text = TKXLabel(ld).Paint(c, nullptr);
    }
    ASSERT_EQ(text.left, 9);
    ASSERT_EQ(text.right, 91);
    // Ink on several lines, none beside the text rectangle inside the black outline (a glyph
    // such as "j" may overhang its cell by a pixel).
    EXPECT_GT(s.ink(RGB(192, 192, 192), RECT{9, 40, 91, 111}), 0);
    EXPECT_EQ(s.count(RGB(0, 0, 0), RECT{1, 1, 8, 119}), 0);
    EXPECT_EQ(s.count(RGB(0, 0, 0), RECT{92, 1, 99, 119}), 0);
}

unique_hbitmap checker_bitmap(HDC like, int size, COLORREF a, COLORREF b) {
    unique_hbitmap bitmap(CreateCompatibleBitmap(like, size, size));
    unique_memory_dc dc(CreateCompatibleDC(like));
    const HGDIOBJ old = SelectObject(dc.get(), bitmap.get());
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) SetPixel(dc.get(), x, y, ((x / 2 + y / 2) & 1) ? b : a);
    SelectObject(dc.get(), old);
    return bitmap;
}

TEST(GdiImage, TiledPictureIsCutAtTheFramesInnerEdge) {
    Surface s(50, 40);
    model::ImageData im;
    im.bounds.width = 50;
    im.bounds.height = 40;
    im.tile = true;
    TKXImage image(im);
    image.SetPicture(
        std::make_unique<BitmapPicture>(checker_bitmap(s.dc(), 10, RGB(255, 0, 0), RGB(0, 0, 255))));
    {
        GdiCanvas c(s.dc());
        image.Paint(c, nullptr);
    }
    // Picture inside (4, 4)-(46, 36); the frame's right and bottom edges untouched.
    EXPECT_EQ(s.count(RGB(255, 0, 0), RECT{4, 4, 46, 36}) + s.count(RGB(0, 0, 255), RECT{4, 4, 46, 36}),
              42 * 32);
    EXPECT_EQ(s.at(48, 20), RGB(255, 255, 255));
    EXPECT_EQ(s.at(20, 38), RGB(255, 255, 255));
}

TEST(GdiImage, TransparentBitmapShowsItsKeyColourAsColor) {
    Surface s(40, 40);
    model::ImageData im;
    im.bounds.width = 40;
    im.bounds.height = 40;
    im.transparent = true;
    im.color = 0x00FF00;  // green
    TKXImage image(im);
    image.SetPicture(
        std::make_unique<BitmapPicture>(checker_bitmap(s.dc(), 20, RGB(255, 255, 255), RGB(0, 0, 0))));
    {
        GdiCanvas c(s.dc());
        image.Paint(c, nullptr);
    }
    EXPECT_EQ(s.at(4, 4), RGB(0, 255, 0));
    EXPECT_EQ(s.at(6, 4), RGB(0, 0, 0));
    EXPECT_EQ(s.count(RGB(255, 255, 255), RECT{4, 4, 24, 24}), 0);
}

// Every shape style on one sheet, for a person to look at.
TEST(GdiShape, SheetOfEveryStyle) {
    constexpr int kCell = 90, kCols = 7;
    Surface s(kCell * kCols, kCell * 4);
    for (int style = 0; style < core::kShapeTypeCount; ++style) {
        model::ShapeData sd;
        sd.shape = style;
        sd.bounds.width = kCell - 10;
        sd.bounds.height = kCell - 10;
        sd.pattern = style == 0 ? 5 : 0;
        const int x = (style % kCols) * kCell + 5, y = (style / kCols) * kCell + 5;
        SetViewportOrgEx(s.dc(), x, y, nullptr);
        GdiCanvas c(s.dc());
        core::paint_shape(c, sd, {});
    }
    SetViewportOrgEx(s.dc(), 0, 0, nullptr);
    EXPECT_TRUE(s.save_bmp("shape_sheet.bmp"));
}

}  // namespace
}  // namespace vx::win::objects
