#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "objects/button_paint.h"
#include "objects/shape_paint.h"
#include "win/objects/gdi_canvas.h"
#include "win/objects/kx_shapes.h"
#include "iconlib/icon_file.h"
#include "util/file_io.h"
#include "win/imaging/picture.h"
#include "win/support/dib_surface.h"
#include "win/util/text.h"

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

// A new label as large as the surface, with black text, painted; answers its text rectangle.
port::Rect paint_new_label(Surface& s, const std::string& text) {
    model::LabelData ld;
    ld.bounds.width = s.width();
    ld.bounds.height = s.height();
    ld.font.color = 0x000000;
    ld.text = text;
    GdiCanvas c(s.dc());
    return TKXLabel(ld).Paint(c, nullptr);
}

TEST(GdiLabel, NewLabelIsASunkenSilverDoubleBevelWithBlackText) {
    Surface s(120, 40);
    paint_new_label(s, "Label");
    EXPECT_EQ(s.at(1, 20), RGB(128, 128, 128));    // sunken: grey at the top-left
    EXPECT_EQ(s.at(118, 20), RGB(255, 255, 255));  // and white at the bottom-right
    EXPECT_EQ(s.at(100, 30), RGB(192, 192, 192));
    EXPECT_GT(s.ink(RGB(192, 192, 192), RECT{9, 9, 111, 31}), 0) << "the text";
}

TEST(GdiLabel, LongTextWrapsInsideTheInsetRectangle) {
    Surface s(100, 120);
    const port::Rect text = paint_new_label(s, "the quick brown fox jumps over the lazy dog again and again");
    ASSERT_EQ(text.left, 9);
    ASSERT_EQ(text.right, 91);
    // Ink on several lines, none beside the text rectangle inside the black outline (a glyph
    // such as "j" may overhang its cell by a pixel).
    EXPECT_GT(s.ink(RGB(192, 192, 192), RECT{9, 40, 91, 111}), 0);
    EXPECT_EQ(s.count(RGB(0, 0, 0), RECT{1, 1, 8, 119}), 0);
    EXPECT_EQ(s.count(RGB(0, 0, 0), RECT{92, 1, 99, 119}), 0);
}

TEST(GdiLabel, TextThatDoesNotFitIsCutAtTheTextRectangle) {
    // Four lines and a word too long for the width, in a frame with room for about two lines.
    Surface s(100, 40);
    const port::Rect text =
        paint_new_label(s, "one two three four five six seven eight nine ten Unbreakablewordwiderthanthelabel");
    ASSERT_EQ(text, (port::Rect{9, 9, 91, 31}));
    EXPECT_GT(s.count(RGB(0, 0, 0), RECT{9, 9, 91, 31}), 0);
    // Between the text rectangle and the frame's inner edge (3, 3, 97, 37): no ink.
    EXPECT_EQ(s.count(RGB(0, 0, 0), RECT{3, 31, 97, 37}), 0) << "below";
    EXPECT_EQ(s.count(RGB(0, 0, 0), RECT{91, 3, 97, 37}), 0) << "right";
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

// Files the image tests read, in a folder of their own.
class ScratchFiles {
public:
    ~ScratchFiles() {
        for (const std::wstring& f : files_) DeleteFileW(f.c_str());
    }
    std::string write(const std::string& name, const Bytes& data) {
        wchar_t tmp[MAX_PATH]{};
        GetTempPathW(MAX_PATH, tmp);
        const std::string path = narrow(tmp) + "vxpic" + std::to_string(GetCurrentProcessId()) + name;
        write_file_atomic(path, data);
        files_.push_back(widen(path));
        return path;
    }

private:
    std::vector<std::wstring> files_;
};

// An 8 x 8 icon of 24 bits: the left half red, the right half left out by its mask.
Bytes half_masked_icon() {
    constexpr int n = 8, xor_row = n * 3, and_row = 4;
    Bytes dib(sizeof(BITMAPINFOHEADER) + n * xor_row + n * and_row, 0);
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biWidth = n;
    h.biHeight = 2 * n;  // colour and mask
    h.biPlanes = 1;
    h.biBitCount = 24;
    std::memcpy(dib.data(), &h, sizeof h);
    uint8_t* colour = dib.data() + sizeof h;
    uint8_t* mask = colour + n * xor_row;
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n / 2; ++x) colour[y * xor_row + x * 3 + 2] = 0xFF;
        mask[y * and_row] = 0x0F;
    }
    return vx::iconlib::write_icon_file({dib});
}

// An enhanced metafile made for 10 x 10 pixels: red over its left half, a one-pixel (cosmetic)
// black line down x = 7, nothing else.
Bytes small_metafile() {
    const HDC ref = GetDC(nullptr);
    const int dpi = GetDeviceCaps(ref, LOGPIXELSX);
    const RECT frame{0, 0, MulDiv(10, 2540, dpi), MulDiv(10, 2540, dpi)};
    const HDC mf = CreateEnhMetaFileW(ref, nullptr, &frame, nullptr);
    ReleaseDC(nullptr, ref);
    const unique_hbrush red(CreateSolidBrush(RGB(255, 0, 0)));
    const RECT left{0, 0, 5, 10};
    FillRect(mf, &left, red.get());
    const unique_hpen pen(CreatePen(PS_SOLID, 0, RGB(0, 0, 0)));
    const HGDIOBJ old = SelectObject(mf, pen.get());
    MoveToEx(mf, 7, 0, nullptr);
    LineTo(mf, 7, 10);
    SelectObject(mf, old);
    const HENHMETAFILE h = CloseEnhMetaFile(mf);
    Bytes out(GetEnhMetaFileBits(h, 0, nullptr));
    GetEnhMetaFileBits(h, static_cast<UINT>(out.size()), out.data());
    DeleteEnhMetaFile(h);
    return out;
}

// A frameless image object stretched over (0, 0, w, h) of the surface.
void paint_picture_file(Surface& s, const std::string& path) {
    model::ImageData im;
    im.shape = 0;
    im.bounds.width = s.width();
    im.bounds.height = s.height();
    im.stretch = true;
    TKXImage image(im);
    std::string error;
    auto picture = make_image_picture(imaging::decode_picture(path, &error));
    ASSERT_NE(picture, nullptr) << error;
    image.SetPicture(std::move(picture));
    EXPECT_FALSE(image.Opaque()) << "the page shows through it";
    GdiCanvas c(s.dc());
    image.Paint(c, nullptr);
}

TEST(GdiImage, SeeThroughPartsOfAPictureShowThePageBeneath) {
    // Each picture: red on its left half, see-through on its right (by alpha, by the icon's
    // mask, or where the metafile draws nothing).
    ScratchFiles files;
    const std::string fixtures = std::string(VX_FIXTURES_DIR) + "/imaging/";
    const struct Row {
        const char* what;
        std::string path;
    } rows[] = {
        {"PNG with alpha", fixtures + "alpha.png"},
        {"GIF with a transparent colour", fixtures + "gif_anim.gif"},
        {"icon with a mask", files.write("half.ico", half_masked_icon())},
        {"metafile", files.write("half.emf", small_metafile())},
    };
    for (const Row& r : rows) {
        Surface s(60, 40);
        paint_picture_file(s, r.path);
        EXPECT_EQ(s.at(12, 20), RGB(255, 0, 0)) << r.what;
        EXPECT_EQ(s.at(52, 20), kPage) << r.what << ": the page, not a colour laid under the picture";
        EXPECT_EQ(s.count(imaging::kPictureBackground, RECT{0, 0, 60, 40}), 0) << r.what;
    }
}

TEST(GdiImage, MetafileIsPlayedIntoItsTargetNotStretchedFromItsNaturalSize) {
    ScratchFiles files;
    Surface s(100, 100);
    paint_picture_file(s, files.write("line.emf", small_metafile()));
    // Played at ten times its size, the cosmetic line stays one pixel wide: a bitmap of the
    // natural size, stretched, would make it ten.
    for (int y : {20, 50, 80}) {
        const int ink = s.count(RGB(0, 0, 0), RECT{50, y, 100, y + 1});
        EXPECT_GE(ink, 1) << y;
        EXPECT_LE(ink, 2) << y;
    }
    EXPECT_EQ(s.at(25, 50), RGB(255, 0, 0));
    EXPECT_EQ(s.at(90, 50), kPage);
}

TEST(GdiImage, HalfTransparentPixelsAreBlendedWithThePage) {
    // One pixel, pure red at half opacity, as the imaging layer hands it over (not premultiplied).
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 1, -1, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    unique_hbitmap straight(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(straight && bits);
    *static_cast<uint32_t*>(bits) = 0x80FF0000u;
    AlphaPicture picture(std::move(straight), {1, 1});
    Surface s(8, 8);
    {
        GdiCanvas c(s.dc());
        picture.draw(c, {0, 0, 8, 8});
    }
    const COLORREF p = s.at(4, 4);
    EXPECT_NEAR(GetRValue(p), 128, 2);
    EXPECT_NEAR(GetGValue(p), 64, 2);  // half of the page's green
    EXPECT_EQ(GetBValue(p), 0);
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
