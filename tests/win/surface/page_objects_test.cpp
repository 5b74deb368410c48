#include "win/surface/page_objects.h"

#include <gtest/gtest.h>

#include <variant>
#include <vector>

#include "objects/button_paint.h"
#include "win/support/dib_surface.h"

namespace vx::win::surface {
namespace {

// A white page.
class Dib : public test::DibSurface {
public:
    Dib(int width, int height) : DibSurface(width, height, RGB(255, 255, 255)) {}
};

model::ObjectData button_at(int left, int top, int width, int height, int style, model::Color color) {
    model::ButtonData b;
    b.bounds = {left, top, width, height};
    b.btn_style = style;
    b.color = color;
    b.color2 = color;
    return b;
}

TEST(PageObjectOrder, MasterItemsLieUnderThePageAndEachPagesNewestIsOnTop) {
    model::Desktop desktop;
    model::Page& master = desktop.create_master_page();
    model::Page& page = desktop.add_page("Page 1");
    model::ObjectEntry& m_old = desktop.add_object(master, model::ShapeData{});
    model::ObjectEntry& m_new = desktop.add_object(master, model::LineData{});
    model::ObjectEntry& p_old = desktop.add_object(page, model::LabelData{});
    model::ObjectEntry& p_new = desktop.add_object(page, model::ButtonData{});

    EXPECT_EQ(stacking_order(&master, &page),
              (std::vector<model::ObjectEntry*>{&m_old, &m_new, &p_old, &p_new}));
    page.show_master_items = false;
    EXPECT_EQ(stacking_order(&master, &page), (std::vector<model::ObjectEntry*>{&p_old, &p_new}));
    // The master page shown on its own does not carry its items twice.
    EXPECT_EQ(stacking_order(&master, &master), (std::vector<model::ObjectEntry*>{&m_old, &m_new}));
    EXPECT_TRUE(stacking_order(&master, nullptr).empty());
}

TEST(PageObjectPaint, DrawsAtItsPlaceOnThePageAndNowhereElse) {
    model::ObjectEntry entry{button_at(30, 20, 40, 30, vx::objects::kxRectangle, model::kBlue)};
    PageObjectEnv env;
    PageObject object(entry, env);
    Dib dib(120, 80);
    object.paint(dib.dc());
    EXPECT_EQ(dib.at(50, 35), RGB(0, 0, 255)) << "the body inside its bounds";
    EXPECT_EQ(dib.at(29, 35), RGB(255, 255, 255)) << "left of the bounds untouched";
    EXPECT_EQ(dib.at(70, 35), RGB(255, 255, 255)) << "right of the bounds untouched";
    EXPECT_EQ(dib.at(50, 19), RGB(255, 255, 255)) << "above the bounds untouched";
    EXPECT_EQ(dib.at(5, 5), RGB(255, 255, 255));
    POINT origin{};
    GetViewportOrgEx(dib.dc(), &origin);
    EXPECT_EQ(origin.x, 0) << "the DC is handed back as it came";
    EXPECT_EQ(origin.y, 0);
}

TEST(PageObjectPaint, ShowsTheEntryAsItIsNowNotAsItWasWhenWrapped) {
    model::ObjectEntry entry{button_at(10, 20, 40, 30, vx::objects::kxRectangle, model::kBlue)};
    PageObjectEnv env;
    PageObject object(entry, env);
    auto& data = std::get<model::ButtonData>(entry.data);
    data.color = data.color2 = 0x0000FF;  // red
    data.bounds.left = 60;
    Dib dib(120, 80);
    object.paint(dib.dc());
    EXPECT_EQ(dib.at(80, 35), RGB(255, 0, 0)) << "the entry's colour at the entry's place";
    EXPECT_EQ(dib.at(30, 35), RGB(255, 255, 255)) << "nothing where it was";
    EXPECT_TRUE(object.hit_test({80, 35}));
    EXPECT_FALSE(object.hit_test({30, 35}));
}

TEST(PageObjectMouse, ClickNeedsPressAndReleaseOnTheButtonAndRoundStylesAnswerInTheirEllipse) {
    model::ObjectEntry entry{button_at(100, 100, 80, 40, vx::objects::kxEllipse, model::kBlue)};
    std::vector<model::ObjectEntry*> clicks;
    std::vector<RECT> repaints;
    PageObjectEnv env;
    env.button_click = [&](model::ObjectEntry& e) { clicks.push_back(&e); };
    env.invalidate = [&](const RECT& r) { repaints.push_back(r); };
    PageObject object(entry, env);

    EXPECT_FALSE(object.hit_test({101, 101})) << "corner of the box, outside the ellipse";
    EXPECT_TRUE(object.hit_test({140, 120})) << "centre";
    EXPECT_FALSE(object.hit_test({90, 120})) << "outside the box";

    object.mouse_down({140, 120}, MK_LBUTTON);
    ASSERT_FALSE(repaints.empty()) << "the press is shown at once";
    EXPECT_EQ(repaints.back().left, 100);
    EXPECT_EQ(repaints.back().bottom, 140);
    object.mouse_up({141, 121}, MK_LBUTTON);
    EXPECT_EQ(clicks, std::vector<model::ObjectEntry*>{&entry});

    // Released away from the button: the press is taken back.
    object.mouse_down({140, 120}, MK_LBUTTON);
    object.mouse_up({300, 300}, MK_LBUTTON);
    EXPECT_EQ(clicks.size(), 1u);
    // The right button never carries a button out.
    object.mouse_down({140, 120}, MK_RBUTTON);
    object.mouse_up({140, 120}, MK_RBUTTON);
    EXPECT_EQ(clicks.size(), 1u);
}

// A quick click, as a person makes one: press and release reach the queue together, so the
// release is handled before any paint the press merely asked for. The command (here the click
// handler) must find the pressed face already on the screen.
TEST(PageObjectMouse, AQuickClickShowsThePressedFaceBeforeTheCommandRuns) {
    HWND frame = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP, 100, 100, 240, 160, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(frame, nullptr);
    TKXScrollBox surface;
    ASSERT_NE(surface.create(frame, GetModuleHandleW(nullptr), 1), nullptr);
    MoveWindow(surface.hwnd(), 0, 0, 240, 160, FALSE);
    // Flat styles fill black while pressed; blue is the face at rest.
    model::ObjectEntry entry{button_at(40, 40, 120, 60, vx::objects::kxRectangle, model::kBlue)};
    std::vector<COLORREF> seen;
    PageObjectEnv env;
    env.invalidate = [&](const RECT& r) { InvalidateRect(surface.hwnd(), &r, FALSE); };
    env.button_click = [&](model::ObjectEntry&) {
        const HDC dc = GetDC(surface.hwnd());
        seen.push_back(GetPixel(dc, 100, 70));
        ReleaseDC(surface.hwnd(), dc);
    };
    PageObject object(entry, env);
    surface.set_objects({&object});
    ShowWindow(frame, SW_SHOW);
    SetForegroundWindow(frame);
    UpdateWindow(surface.hwnd());
    const auto pump = [] {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
    };
    pump();
    {
        const HDC dc = GetDC(surface.hwnd());
        const COLORREF rest = GetPixel(dc, 100, 70);
        ReleaseDC(surface.hwnd(), dc);
        ASSERT_EQ(rest, RGB(0, 0, 255)) << "the button at rest before the click";
    }

    POINT target{100, 70};
    ClientToScreen(surface.hwnd(), &target);
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    INPUT click[3] = {};
    for (INPUT& i : click) {
        i.type = INPUT_MOUSE;
        i.mi.dx = MulDiv(target.x, 65535, sw - 1);
        i.mi.dy = MulDiv(target.y, 65535, sh - 1);
    }
    click[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    click[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    click[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ASSERT_EQ(SendInput(3, click, sizeof(INPUT)), 3u);
    for (int i = 0; i < 100 && seen.empty(); ++i) {
        // Wait for the input to arrive, then handle it in one go, as a busy shell would.
        Sleep(20);
        pump();
    }
    DestroyWindow(frame);
    if (seen.empty()) GTEST_SKIP() << "the click never reached the window (no display?)";
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], RGB(0, 0, 0)) << "the pressed face was on the screen when the command ran";
}

}  // namespace
}  // namespace vx::win::surface
