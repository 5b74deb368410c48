#include "win/surface/scroll_box.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win/support/real_input.h"

namespace vx::win::surface {
namespace {

class Box final : public HostedObject {
public:
    Box(RECT r, std::vector<std::string>& log, std::string name) : r_(r), log_(log), name_(std::move(name)) {}
    RECT bounds() const override { return r_; }
    bool visible() const override { return shown; }
    void paint(HDC) override { log_.push_back("paint " + name_); }
    void mouse_down(POINT, UINT) override { log_.push_back("down " + name_); }
    void mouse_up(POINT, UINT) override { log_.push_back("up " + name_); }
    RECT r_;
    bool shown = true;

private:
    std::vector<std::string>& log_;
    std::string name_;
};

class ScrollBoxTest : public ::testing::Test {
protected:
    HWND parent = nullptr;
    TKXScrollBox box;
    std::vector<std::string> log;

    void SetUp() override {
        parent = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(parent, nullptr);
        ASSERT_NE(box.create(parent, GetModuleHandleW(nullptr), 1), nullptr);
        MoveWindow(box.hwnd(), 0, 0, 200, 150, FALSE);
    }
    void TearDown() override { DestroyWindow(parent); }
    bool bar_shown(int bar) const {
        SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
        GetScrollInfo(box.hwnd(), bar, &si);
        return si.nMax > 0 && si.nPage > 0 && static_cast<int>(si.nPage) <= si.nMax;
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
    log.clear();
    RedrawWindow(box.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(log, (std::vector<std::string>{"paint bottom", "paint top"}));

    log.clear();
    ASSERT_TRUE(test::bring_to_front(parent));
    test::drag(box.hwnd(), {60, 60}, {5, 5});
    test::pump_until([&] { return log.size() >= 2; });
    EXPECT_EQ(log, (std::vector<std::string>{"down top", "up top"})) << "the pressed object gets the release";
}

}  // namespace
}  // namespace vx::win::surface
