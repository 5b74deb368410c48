#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "objects/button_paint.h"
#include "objects/patterns.h"
#include "win/objects/gdi_canvas.h"
#include "win/objects/kx_button.h"
#include "win/support/dib_surface.h"
#include "win/support/gui_resources.h"
#include "win/util/text.h"

namespace vx::win::objects {
namespace {

namespace core = vx::objects;

constexpr COLORREF kPage = RGB(0, 128, 0);

// The page the buttons are painted on.
class Dib : public test::DibSurface {
public:
    Dib(int width, int height) : DibSurface(width, height, kPage) {}
};

model::ButtonData button(int style, int pen_width = 1) {
    model::ButtonData b;
    b.btn_style = style;
    b.pen.width = pen_width;
    b.font.color = 0x000000;
    return b;
}

void paint(Dib& dib, const model::ButtonData& b, bool pressed, PictureSource* pictures = nullptr,
           core::ButtonState state = {}) {
    GdiCanvas canvas(dib.dc(), pictures);
    state.pressed = pressed;
    core::paint_button(canvas, b, state, core::PaintEnv{});
}

constexpr COLORREF kBlueRef = RGB(0, 0, 255);

TEST(GdiButton, PenWidthZeroDrawsNoOutlineAndFillsToTheRightAndBottomEdges) {
    for (int pw : {0, 1}) {
        Dib dib(40, 30);
        auto b = button(core::kxRectangle, pw);
        b.bounds.width = 40;
        b.bounds.height = 30;
        paint(dib, b, false);
        const COLORREF edge = pw == 0 ? kBlueRef : RGB(0, 0, 0);
        for (auto [x, y] : {std::pair{0, 0}, {39, 29}, {39, 0}, {0, 29}})
            EXPECT_EQ(dib.at(x, y), edge) << pw << " at " << x << "," << y;
        EXPECT_EQ(dib.at(20, 15), kBlueRef);
    }
}

TEST(GdiButton, PressedRectangleFillsBlackWithAWhiteCaption) {
    Dib dib(80, 40);
    auto b = button(core::kxRectangle);
    b.bounds.width = 80;
    b.bounds.height = 40;
    b.caption = "MMMM";
    paint(dib, b, true);
    const RECT inside{1, 1, 79, 39};
    EXPECT_EQ(dib.count(kBlueRef, inside), 0);
    // The caption is whatever is not the black fill: light pixels only, however smoothed.
    EXPECT_GT(dib.ink(RGB(0, 0, 0), inside), 10);
    EXPECT_GT(dib.count(RGB(0, 0, 0), inside), 78 * 38 / 2);
    int dark_caption = 0;
    for (int y = inside.top; y < inside.bottom; ++y)
        for (int x = inside.left; x < inside.right; ++x) {
            const COLORREF c = dib.at(x, y);
            dark_caption += c != RGB(0, 0, 0) && GetRValue(c) < 64;
        }
    EXPECT_EQ(dark_caption, 0) << "a white caption, not a dark one";

    Dib up(80, 40);
    paint(up, b, false);
    EXPECT_EQ(up.count(RGB(255, 255, 255), inside), 0);
    EXPECT_GT(up.ink(kBlueRef, inside), 10) << "black caption on blue";
}

TEST(GdiButton, EqualGradientColoursGiveOneUniformColour) {
    for (int style : {core::kxGrad3DBorder, core::kxGradDoubleRectangle, core::kxGradDepressed}) {
        for (bool pressed : {false, true}) {
            Dib dib(65, 65);
            auto b = button(style);
            b.color = b.color2 = 0x336699;
            paint(dib, b, pressed);
            const RECT inner{14, 14, 50, 50};  // inside every edge of these styles
            EXPECT_EQ(dib.count(RGB(0x99, 0x66, 0x33), inner), 36 * 36)
                << core::kBtnStyleNames[style] << pressed;
        }
    }
}

TEST(GdiButton, GradientUpRunsFromColourAtTheTopToColour2AtTheBottom) {
    Dib dib(65, 65);
    paint(dib, button(core::kxGrad3DBorder), false);
    const COLORREF top = dib.at(32, 4), bottom = dib.at(32, 60);
    EXPECT_GT(GetBValue(top), 200);
    EXPECT_LT(GetRValue(top), 40);
    EXPECT_GT(GetRValue(bottom), 200);
}

TEST(GdiButton, FatBevelShowsFourRingsUpAndATwoPixelStripPressed) {
    Dib up(65, 65);
    paint(up, button(core::kx3DFatBorder), false);
    for (int i = 1; i <= 4; ++i) {
        EXPECT_EQ(up.at(i, 32), RGB(255, 255, 255)) << "left ring " << i;
        EXPECT_EQ(up.at(32, i), RGB(255, 255, 255)) << "top ring " << i;
        EXPECT_EQ(up.at(64 - i, 32), RGB(128, 128, 128)) << "right ring " << i;
        EXPECT_EQ(up.at(32, 64 - i), RGB(128, 128, 128)) << "bottom ring " << i;
    }
    EXPECT_EQ(up.at(5, 32), kBlueRef);
    EXPECT_EQ(up.at(0, 32), RGB(0, 0, 0));

    Dib down(65, 65);
    paint(down, button(core::kx3DFatBorder), true);
    EXPECT_EQ(down.at(1, 32), RGB(128, 128, 128));
    EXPECT_EQ(down.at(2, 32), RGB(128, 128, 128));
    EXPECT_EQ(down.at(3, 32), kBlueRef);
    EXPECT_EQ(down.at(60, 32), kBlueRef) << "no bevel on the lit side when pressed";
}

TEST(GdiButton, PressOutsideTheEllipseNeitherPressesNorPaints) {
    TKXButton b(button(core::kxEllipse));
    int refreshes = 0;
    b.on_refresh = [&](core::Refresh) { ++refreshes; };
    Dib dib(65, 65);
    {
        GdiCanvas canvas(dib.dc());
        b.Paint(canvas, nullptr);
    }
    // The corner is page, and a press there does nothing.
    EXPECT_EQ(dib.at(3, 3), kPage);
    EXPECT_FALSE(b.MouseDown(core::MouseButton::Left, false, 3, 3));
    EXPECT_FALSE(b.Pressed());
    EXPECT_EQ(b.MouseUp(true), core::Refresh::None);
    EXPECT_EQ(refreshes, 0);
    EXPECT_EQ(dib.at(32, 32), kBlueRef);
    EXPECT_TRUE(b.MouseDown(core::MouseButton::Left, false, 32, 32));
    EXPECT_TRUE(b.Pressed());
    EXPECT_EQ(b.MouseUp(true), core::Refresh::Repaint);
    EXPECT_EQ(refreshes, 2);

    // A hollow face asks for the page behind it on the press too, or the caption smears.
    b.SetPattern(7);
    std::vector<core::Refresh> asked;
    b.on_refresh = [&](core::Refresh how) { asked.push_back(how); };
    EXPECT_TRUE(b.MouseDown(core::MouseButton::Left, false, 32, 32));
    b.MouseUp(true);
    EXPECT_EQ(asked, (std::vector<core::Refresh>{core::Refresh::Invalidate, core::Refresh::Invalidate}));
}

TEST(GdiButton, NumGlyphsZeroReadsBackOneAfterAPaint) {
    TKXButton b;
    b.SetNumGlyphs(0);
    Dib dib(65, 65);
    GdiCanvas canvas(dib.dc());
    b.Paint(canvas, nullptr);
    EXPECT_EQ(b.NumGlyphs(), 1);
}

TEST(GdiButton, PropertySettersRepaintOnlyOnAChange) {
    TKXButton b;
    int refreshes = 0;
    b.on_refresh = [&](core::Refresh) { ++refreshes; };
    b.SetColor(model::kBlue);
    b.SetBtnStyle(1);
    EXPECT_EQ(refreshes, 0);
    b.SetColor(0x00FF00);
    b.SetBtnStyle(core::kxFrameBtn);
    EXPECT_EQ(refreshes, 2);
    EXPECT_TRUE(b.StyleAbove12());
    b.SetIcon(4);
    EXPECT_TRUE(b.data().show_icon);
}

TEST(GdiButton, AniIconTakesTheFirstIconOfAStaticFileAndLeavesAnimationsForThePress) {
    PictureTable pictures;
    TKXButton b;
    int refreshes = 0;
    b.on_refresh = [&](core::Refresh) { ++refreshes; };
    b.SetAniIcon(VX_SAMPLES_DIR "/icojs_basic.ico", pictures);
    EXPECT_NE(b.state().icon, port::kNoIcon);
    EXPECT_TRUE(b.data().show_icon);
    EXPECT_GT(pictures.size(b.state().icon).width, 0);
    const port::IconId icon = b.state().icon;
    b.SetAniIcon(VX_SAMPLES_DIR "/mini_busy.ANI", pictures);
    EXPECT_EQ(b.state().icon, icon) << "an animation is not loaded as the still icon";
    b.SetAniIcon(VX_SAMPLES_DIR "/missing.ico", pictures);
    EXPECT_EQ(b.state().icon, icon);
    EXPECT_EQ(refreshes, 3);
}

// What the table draws for a number, as a sum over the pixels, to tell two icons apart.
uint64_t drawn(PictureTable& pictures, port::IconId id) {
    Dib dib(32, 32);
    pictures.draw(dib.dc(), id, POINT{0, 0});
    uint64_t sum = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) sum = sum * 31 + dib.at(x, y);
    return sum;
}

TEST(GdiButton, AnIconFileAskedForOnEveryPageViewIsReadOnceUntilItChanges) {
    wchar_t tmp[MAX_PATH]{};
    GetTempPathW(MAX_PATH, tmp);
    const std::wstring file = std::wstring(tmp) + L"vxstill" + std::to_wstring(GetCurrentProcessId()) + L".ico";
    const std::string path = narrow(file);
    ASSERT_TRUE(CopyFileW(L"" VX_SAMPLES_DIR "/icojs_basic.ico", file.c_str(), FALSE));

    PictureTable pictures;
    const port::IconId first = pictures.load_first_icon(path);
    ASSERT_NE(first, port::kNoIcon);
    const uint64_t basic = drawn(pictures, first);
    const test::GuiCounts before = test::gui_counts();
    for (int view = 0; view < 200; ++view) {
        TKXButton b;
        b.SetAniIcon(path, pictures);
        ASSERT_EQ(b.state().icon, first);
    }
    const test::GuiCounts after = test::gui_counts();
    EXPECT_EQ(after.user, before.user) << "no icon made for a file already read";
    EXPECT_EQ(after.gdi, before.gdi);

    // The file replaced while the shell runs: the same number shows the new icon.
    FILETIME written{};
    {
        const unique_hfile f(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                         nullptr));
        GetFileTime(f.get(), nullptr, nullptr, &written);
    }
    ASSERT_TRUE(CopyFileW(L"" VX_SAMPLES_DIR "/icojs_palette.ico", file.c_str(), FALSE));
    ULARGE_INTEGER later{{written.dwLowDateTime, written.dwHighDateTime}};
    later.QuadPart += 36000000000ull;  // an hour on
    written = {later.LowPart, later.HighPart};
    {
        const unique_hfile f(CreateFileW(file.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(SetFileTime(f.get(), nullptr, nullptr, &written));
    }
    EXPECT_EQ(pictures.load_first_icon(path), first);
    PictureTable fresh;
    const uint64_t palette = drawn(fresh, fresh.load_first_icon(VX_SAMPLES_DIR "/icojs_palette.ico"));
    EXPECT_NE(palette, basic) << "the two sample icons differ";
    EXPECT_EQ(drawn(pictures, first), palette);
    DeleteFileW(file.c_str());
}

TEST(GdiButton, SeeThroughPatternKeepsThePageUnderClearPixels) {
    auto b = button(core::kxRectangle, 0);
    b.pattern = 26;  // large check: the top-left 4 x 4 of each tile is ink
    b.color = 0xFF0000;
    b.color2 = 0x0000FF;
    for (bool see_through : {false, true}) {
        b.transparent = see_through;
        Dib dib(32, 32);
        paint(dib, b, false);
        EXPECT_EQ(dib.at(9, 9), RGB(255, 0, 0)) << "ink pixel";
        EXPECT_EQ(dib.at(13, 9), see_through ? kPage : kBlueRef) << "clear pixel";
    }
}

TEST(GdiCanvasAdapter, ResolvesPaletteAndSystemColoursAndLeavesTheDcAsFound) {
    Dib dib(16, 16);
    const HGDIOBJ pen = GetCurrentObject(dib.dc(), OBJ_PEN), brush = GetCurrentObject(dib.dc(), OBJ_BRUSH);
    const HGDIOBJ font = GetCurrentObject(dib.dc(), OBJ_FONT);
    const int rop = GetROP2(dib.dc());
    {
        port::Palette pal;
        pal.entries[5] = 0x123456;
        GdiCanvas canvas(dib.dc());
        canvas.select_palette(&pal);
        canvas.fill_rect({0, 0, 4, 4}, port::palette_index(5));
        canvas.fill_rect({4, 0, 8, 4}, static_cast<port::Color>(0x80000000u | COLOR_WINDOWTEXT));
        canvas.set_pen({port::PenStyle::Dash, 1, 0x0000FF});
        canvas.set_brush(port::Brush::patterned(*core::fill_pattern(11), 0xFFFFFF, 0, true));
        canvas.set_font(port::Font{});
        canvas.set_mix_mode(port::MixMode::Xor);
        canvas.push_clip_ellipse({0, 0, 16, 16});
        canvas.push_clip_rect({0, 0, 8, 8});
        canvas.rectangle({8, 8, 16, 16});  // wholly clipped away
        canvas.pop_clip();
    }
    EXPECT_EQ(dib.at(1, 1), RGB(0x56, 0x34, 0x12));
    EXPECT_EQ(dib.at(5, 1), GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(dib.at(12, 12), kPage);
    EXPECT_EQ(GetCurrentObject(dib.dc(), OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(dib.dc(), OBJ_BRUSH), brush);
    EXPECT_EQ(GetCurrentObject(dib.dc(), OBJ_FONT), font);
    EXPECT_EQ(GetROP2(dib.dc()), rop);
    HRGN clip = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(dib.dc(), clip), 0) << "every clip undone";
    DeleteObject(clip);
}

// Every style up and pressed on one sheet, for a person to look at.
TEST(GdiButton, SheetOfAllStyles) {
    PictureTable pictures;
    pictures.add_icon(1, unique_hicon(CopyIcon(LoadIconW(nullptr, IDI_APPLICATION))));
    const int cell_w = 96, cell_h = 72, cols = 6;
    const int rows = (core::kBtnStyleCount + cols - 1) / cols;
    Dib dib(cols * cell_w * 2 + 8, rows * cell_h + 8);
    for (int style = 0; style < core::kBtnStyleCount; ++style) {
        for (int pressed = 0; pressed < 2; ++pressed) {
            auto b = button(style, style % 3 == 2 ? 2 : 1);
            b.bounds.width = 88;
            b.bounds.height = 64;
            b.caption = std::to_string(style) + "~&Go";
            b.color = style % 2 ? 0xFF0000 : 0x8080C0;
            b.pattern = static_cast<uint8_t>(style == 12 ? 22 : style == 11 ? 45 : 0);
            b.text_align = style % 3;
            b.show_icon = style % 4 == 1;
            core::ButtonState s;
            s.icon = b.show_icon ? 1 : port::kNoIcon;
            const int x = ((style % cols) * 2 + pressed) * cell_w + 4, y = (style / cols) * cell_h + 4;
            SetViewportOrgEx(dib.dc(), x, y, nullptr);
            paint(dib, b, pressed != 0, &pictures, s);
        }
    }
    SetViewportOrgEx(dib.dc(), 0, 0, nullptr);
    EXPECT_TRUE(dib.save_bmp("button_sheet.bmp"));
}

}  // namespace
}  // namespace vx::win::objects
