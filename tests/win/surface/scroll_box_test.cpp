#include "win/surface/scroll_box.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win/support/gui_resources.h"
#include "win/support/real_input.h"
#include "win/util/handle.h"

namespace vx::win::surface {
namespace {

class Box final : public HostedObject {
public:
    Box(RECT r, std::vector<std::string>& log, std::string name) : r_(r), log_(log), name_(std::move(name)) {}
    RECT bounds() const override { return r_; }
    bool visible() const override { return shown; }
    void paint(HDC dc) override {
        log_.push_back("paint " + name_);
        if (fill != CLR_INVALID) {
            const unique_hbrush brush(CreateSolidBrush(fill));
            FillRect(dc, &r_, brush.get());
        }
    }
    void mouse_down(POINT, UINT) override { log_.push_back("down " + name_); }
    void mouse_up(POINT, UINT) override { log_.push_back("up " + name_); }
    RECT r_;
    bool shown = true;
    COLORREF fill = CLR_INVALID;

private:
    std::vector<std::string>& log_;
    std::string name_;
};

std::string at(const char* what, POINT p) {
    return std::string(what) + " " + std::to_string(p.x) + "," + std::to_string(p.y);
}

// A tool that takes every press and release and draws its mark over the objects.
class RecordingTool final : public SurfaceTool {
public:
    explicit RecordingTool(std::vector<std::string>& log) : log_(log) {}
    bool mouse_down(TKXScrollBox&, POINT page, UINT, UINT) override {
        log_.push_back(at("tool down", page));
        return true;
    }
    bool mouse_up(TKXScrollBox&, POINT page, UINT, UINT) override {
        log_.push_back(at("tool up", page));
        return true;
    }
    void mouse_move(TKXScrollBox&, POINT, UINT) override {}
    HCURSOR cursor(const TKXScrollBox&, POINT) const override { return nullptr; }
    void release(TKXScrollBox&) override { released = true; }
    void paint_overlay(TKXScrollBox&, HDC, const RECT&) override { log_.push_back("overlay"); }
    bool released = false;

private:
    std::vector<std::string>& log_;
};

// The owner of the surface: records the context menus the surface passes up.
LRESULT CALLBACK owner_proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_CONTEXTMENU) {
        if (auto* menus = reinterpret_cast<std::vector<POINT>*>(GetWindowLongPtrW(w, GWLP_USERDATA)))
            menus->push_back({static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))});
        return 0;
    }
    return DefWindowProcW(w, m, wp, lp);
}

class ScrollBoxTest : public ::testing::Test {
protected:
    HWND parent = nullptr;
    TKXScrollBox box;
    std::vector<std::string> log;
    std::vector<POINT> context_menus;

    void SetUp() override {
        WNDCLASSW wc{};
        wc.lpfnWndProc = owner_proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VxSurfaceOwner";
        RegisterClassW(&wc);
        parent = CreateWindowExW(WS_EX_TOPMOST, L"VxSurfaceOwner", L"", WS_POPUP, 50, 50, 400, 300, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(parent, nullptr);
        SetWindowLongPtrW(parent, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&context_menus));
        ASSERT_NE(box.create(parent, GetModuleHandleW(nullptr), 1), nullptr);
        MoveWindow(box.hwnd(), 0, 0, 200, 150, FALSE);
    }
    void TearDown() override { DestroyWindow(parent); }
    bool bar_shown(int bar) const {
        SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
        GetScrollInfo(box.hwnd(), bar, &si);
        return si.nMax > 0 && si.nPage > 0 && static_cast<int>(si.nPage) <= si.nMax;
    }
    // Shown, painted once, with the input going to it.
    bool show() {
        ShowWindow(parent, SW_SHOWNA);
        UpdateWindow(box.hwnd());
        return test::bring_to_front(parent);
    }
    void repaint(const RECT* client_rect = nullptr) {
        log.clear();
        RedrawWindow(box.hwnd(), client_rect, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    // One click on the right arrow of the horizontal bar, as a person scrolls a line.
    bool scroll_right_a_line() {
        SCROLLBARINFO info{};
        info.cbSize = sizeof info;
        if (!GetScrollBarInfo(box.hwnd(), OBJID_HSCROLL, &info)) return false;
        const POINT arrow{info.rcScrollBar.right - GetSystemMetrics(SM_CXHSCROLL) / 2,
                          (info.rcScrollBar.top + info.rcScrollBar.bottom) / 2};
        POINT client = arrow;
        ScreenToClient(box.hwnd(), &client);
        const int before = box.scroll_pos().x;
        test::click(box.hwnd(), client.x, client.y);
        return test::pump_until([&] { return box.scroll_pos().x > before; }) &&
               box.scroll_pos().x == before + 16;
    }
    COLORREF pixel(int x, int y) const {
        const HDC dc = GetDC(box.hwnd());
        const COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(box.hwnd(), dc);
        return c;
    }
};

TEST_F(ScrollBoxTest, BarsAppearOnlyWhenObjectsExtendBeyondTheWindow) {
    Box a({10, 10, 60, 40}, log, "a");
    box.set_objects({&a});
    EXPECT_FALSE(bar_shown(SB_HORZ));
    EXPECT_FALSE(bar_shown(SB_VERT));

    a.r_ = {300, 10, 360, 40};  // moved beyond the right edge
    box.update_ranges();
    EXPECT_TRUE(bar_shown(SB_HORZ));
    EXPECT_FALSE(bar_shown(SB_VERT));

    box.set_auto_scroll(false);
    EXPECT_FALSE(bar_shown(SB_HORZ)) << "no auto-scroll, no bars";
}

TEST_F(ScrollBoxTest, PaintsBottomToTopAndHitsTopFirst) {
    Box bottom({0, 0, 100, 100}, log, "bottom");
    Box top({50, 50, 150, 150}, log, "top");
    Box hidden({0, 0, 200, 200}, log, "hidden");
    hidden.shown = false;
    box.set_objects({&bottom, &top, &hidden});

    EXPECT_EQ(box.object_at({60, 60}), &top);
    EXPECT_EQ(box.object_at({10, 10}), &bottom);
    EXPECT_EQ(box.object_at({180, 180}), nullptr) << "hidden objects are not hit";

    ShowWindow(parent, SW_SHOWNA);
    repaint();
    EXPECT_EQ(log, (std::vector<std::string>{"paint bottom", "paint top"}));

    log.clear();
    ASSERT_TRUE(test::bring_to_front(parent));
    test::drag(box.hwnd(), {60, 60}, {5, 5});
    test::pump_until([&] { return log.size() >= 2; });
    EXPECT_EQ(log, (std::vector<std::string>{"down top", "up top"})) << "the pressed object gets the release";
}

TEST_F(ScrollBoxTest, PaintsOnlyWhatTheInvalidRectangleTouchesWhereverThePageIsScrolled) {
    Box a({10, 10, 60, 40}, log, "a");
    Box b({100, 10, 150, 40}, log, "b");
    Box beyond({300, 10, 360, 40}, log, "beyond");  // gives the page a horizontal bar
    box.set_objects({&a, &b, &beyond});
    ASSERT_TRUE(show());

    RECT over_b{110, 15, 120, 25};
    repaint(&over_b);
    EXPECT_EQ(log, std::vector<std::string>{"paint b"});

    ASSERT_TRUE(scroll_right_a_line());
    const int dx = box.scroll_pos().x;
    // The same part of the page now lies further left in the window.
    RECT moved = over_b;
    OffsetRect(&moved, -dx, 0);
    repaint(&moved);
    EXPECT_EQ(log, std::vector<std::string>{"paint b"}) << "scrolled by " << dx;
    repaint();
    EXPECT_EQ(log, (std::vector<std::string>{"paint a", "paint b"})) << "what lies outside the window is skipped";
}

TEST_F(ScrollBoxTest, TheBufferFollowsTheWindowsSizeAndHoldsNoHandlesOver) {
    box.set_color(RGB(0, 128, 0));
    box.set_auto_scroll(false);
    Box red({250, 20, 290, 60}, log, "red");  // beyond the window until it grows
    red.fill = RGB(255, 0, 0);
    box.set_objects({&red});
    ASSERT_TRUE(show());
    repaint();
    const test::GuiCounts first = test::gui_counts();
    for (int i = 0; i < 50; ++i) repaint();
    if (first.counted) {
        EXPECT_EQ(test::gui_counts().gdi, first.gdi) << "repaints of one size";
    }

    MoveWindow(box.hwnd(), 0, 0, 320, 150, TRUE);
    UpdateWindow(box.hwnd());
    EXPECT_EQ(pixel(270, 40), RGB(255, 0, 0)) << "the object in the part the window grew by";
    EXPECT_EQ(pixel(300, 100), RGB(0, 128, 0));
    EXPECT_EQ(pixel(20, 100), RGB(0, 128, 0));
    MoveWindow(box.hwnd(), 0, 0, 200, 150, TRUE);
    UpdateWindow(box.hwnd());
    if (first.counted) {
        EXPECT_EQ(test::gui_counts().gdi, first.gdi) << "the buffer of the old size is gone";
    }
}

TEST_F(ScrollBoxTest, AToolTakesTheInputInPageCoordinatesAndDrawsOverTheObjects) {
    Box a({0, 0, 100, 100}, log, "a");
    Box beyond({300, 10, 360, 40}, log, "beyond");
    box.set_objects({&a, &beyond});
    ASSERT_TRUE(show());
    ASSERT_TRUE(scroll_right_a_line());
    const int dx = box.scroll_pos().x;

    RecordingTool tool(log);
    box.set_tool(&tool);
    repaint();
    EXPECT_EQ(log, (std::vector<std::string>{"paint a", "overlay"}));
    log.clear();
    test::click(box.hwnd(), 30, 40);
    test::pump_until([&] { return log.size() >= 2; });
    EXPECT_EQ(log, (std::vector<std::string>{at("tool down", {30 + dx, 40}), at("tool up", {30 + dx, 40})}))
        << "the objects hear nothing while a tool serves";

    box.set_tool(nullptr);
    EXPECT_TRUE(tool.released);
    repaint();
    EXPECT_EQ(log, std::vector<std::string>{"paint a"}) << "the overlay goes with its tool";
    log.clear();
    // Away from the last click, which a second one at its place would make a double click.
    test::click(box.hwnd(), 70, 80);
    test::pump_until([&] { return log.size() >= 2; });
    EXPECT_EQ(log, (std::vector<std::string>{"down a", "up a"}));
}

TEST_F(ScrollBoxTest, ARightClickOnTheBarePageIsTheOwnersContextMenu) {
    Box a({0, 0, 50, 50}, log, "a");
    box.set_objects({&a});
    ASSERT_TRUE(show());
    test::click(box.hwnd(), 120, 80, true);
    test::pump_until([&] { return !context_menus.empty(); });
    const POINT screen = test::to_screen(box.hwnd(), 120, 80);
    ASSERT_EQ(context_menus.size(), 1u);
    EXPECT_EQ(context_menus[0].x, screen.x);
    EXPECT_EQ(context_menus[0].y, screen.y);

    log.clear();
    test::click(box.hwnd(), 20, 20, true);
    test::pump_until([&] { return log.size() >= 2; });
    EXPECT_EQ(log, (std::vector<std::string>{"down a", "up a"}));
    EXPECT_EQ(context_menus.size(), 1u) << "an object's own right click is no context menu";
}

}  // namespace
}  // namespace vx::win::surface
