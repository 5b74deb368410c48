// The alignment tool window under a person's mouse, with a test window as the designer that owns
// it: the window must report each press and never keep the activation from its owner.
#include "win/editor/align_form.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "win/editor/person.h"

namespace vx::win::editor {
namespace {

using namespace vx::win::test;
using vx::editor::Alignment;
using vx::editor::NudgeDirection;
using namespace std::chrono_literals;

class Designer final : public Window {
public:
    bool open() {
        WNDCLASSEXW wc{};
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
        wc.lpszClassName = L"VxAlignDesigner";
        if (!register_class(wc)) return false;
        return create(0, L"VxAlignDesigner", L"Designer", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 360,
                      300) &&
               bring_to_front(hwnd());
    }
};

struct Report {
    std::string what;
    bool relative = false;
    bool operator==(const Report&) const = default;
};

class AlignFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        VX_NEED_DISPLAY();
        ASSERT_TRUE(designer.open());
        ASSERT_TRUE(form.open(designer.hwnd(), "420,60",
                              {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}));
        form.show();
        settle(500ms);
    }

    POINT center(AlignPart part) const {
        const RECT r = form.part_rect(part);
        return on_screen(form.hwnd(), {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    }
    void click_part(AlignPart part) {
        const size_t before = reports.size();
        const bool was_relative = form.relative();
        const RECT r = form.part_rect(part);
        click(form.hwnd(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        pump_until([&] { return reports.size() > before || form.relative() != was_relative; }, 2s);
    }

    std::vector<Report> reports;
    std::vector<std::pair<NudgeDirection, int>> rounds;
    int ends = 0, hidden = 0;
    Designer designer;
    TAlignForm form{AlignCallbacks{
        [this](Alignment how, bool relative) {
            reports.push_back({"align " + std::to_string(int(how)), relative});
        },
        [this] { reports.push_back({"front"}); },
        [this] { reports.push_back({"back"}); },
        [this](NudgeDirection d, int round) { rounds.emplace_back(d, round); },
        [this] { ++ends; },
        [this] { ++hidden; },
    }};
};

struct AlignCase {
    AlignPart part;
    Alignment how;
};
constexpr AlignCase kAlignCases[] = {
    {AlignPart::Left, Alignment::Left},       {AlignPart::CenterH, Alignment::CenterH},
    {AlignPart::Right, Alignment::Right},     {AlignPart::Top, Alignment::Top},
    {AlignPart::CenterV, Alignment::CenterV}, {AlignPart::Bottom, Alignment::Bottom},
};

TEST_F(AlignFormTest, ButtonsReportTheirAlignmentWithTheRelativeBoxAndLeaveTheDesignerActive) {
    RECT r{};
    GetWindowRect(form.hwnd(), &r);
    screenshot(r, "AlignForm");
    // The hint of the first button.
    send_mouse(center(AlignPart::Left), 0);
    settle(1500ms);
    screenshot({r.left, r.top, r.right + 120, r.bottom + 30}, "AlignFormHint");

    std::vector<Report> expected;
    for (bool relative : {false, true}) {
        for (const AlignCase& c : kAlignCases) {
            click_part(c.part);
            expected.push_back({"align " + std::to_string(int(c.how)), relative});
        }
        click_part(AlignPart::Relative);
        EXPECT_EQ(form.relative(), !relative);
    }
    click_part(AlignPart::Front);
    click_part(AlignPart::Back);
    expected.push_back({"front"});
    expected.push_back({"back"});
    EXPECT_EQ(reports, expected);
    EXPECT_EQ(GetActiveWindow(), designer.hwnd()) << "the clicks leave the keyboard with the page";
    EXPECT_TRUE(rounds.empty());
}

TEST_F(AlignFormTest, AHeldArrowRepeatsWithRisingRoundsUntilItIsLetGo) {
    const std::pair<AlignPart, NudgeDirection> arrows[] = {{AlignPart::StarUp, NudgeDirection::Up},
                                                           {AlignPart::StarLeft, NudgeDirection::Left},
                                                           {AlignPart::StarRight, NudgeDirection::Right},
                                                           {AlignPart::StarDown, NudgeDirection::Down}};
    for (const auto& [part, direction] : arrows) {
        SCOPED_TRACE(int(direction));
        rounds.clear();
        const int ends_before = ends;
        const POINT at = center(part);
        send_mouse(at, 0);
        settle(150ms);
        send_mouse(at, MOUSEEVENTF_LEFTDOWN);
        // The repeats come from a timer: the loop keeps running meanwhile.
        ASSERT_TRUE(pump_until([&] { return rounds.size() >= 3; }, 5s));
        send_mouse(at, MOUSEEVENTF_LEFTUP);
        ASSERT_TRUE(pump_until([&] { return ends > ends_before; }, 2s));
        const size_t at_release = rounds.size();
        settle(400ms);
        EXPECT_EQ(rounds.size(), at_release) << "letting go stops the repeats";
        EXPECT_EQ(ends, ends_before + 1);
        for (size_t i = 0; i < rounds.size(); ++i) {
            EXPECT_EQ(rounds[i].first, direction);
            EXPECT_EQ(rounds[i].second, int(i) + 1);
        }
    }
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(GetActiveWindow(), designer.hwnd());
}

TEST_F(AlignFormTest, TheCloseBoxHidesTheWindowAndTellsTheOwner) {
    EXPECT_EQ(form.position_text(), "420,60");
    RECT r{};
    GetWindowRect(form.hwnd(), &r);
    std::optional<POINT> close;
    for (int x = r.right - 1; x > r.left && !close; --x)
        for (int y = r.top; y < r.top + 30 && !close; ++y)
            if (SendMessageW(form.hwnd(), WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE)
                close = POINT{x - 3, y + 3};
    ASSERT_TRUE(close);
    click_at(*close);
    ASSERT_TRUE(pump_until([&] { return hidden > 0; }, 3s));
    settle(200ms);
    EXPECT_FALSE(IsWindowVisible(form.hwnd()));
    EXPECT_TRUE(IsWindow(form.hwnd())) << "hidden, not destroyed: the menu shows it again";
    EXPECT_EQ(hidden, 1);
    EXPECT_EQ(GetActiveWindow(), designer.hwnd());
}

TEST(AlignFormPosition, TheStoredPlaceIsUsedFieldByFieldAndKeptOnTheScreen) {
    const SIZE screen{1024, 768};
    const POINT designed{800, 96};
    const struct {
        const char* stored;
        POINT expected;
    } cases[] = {
        {"200,300", {200, 300}},
        {"", designed},
        {"50", {50, 96}},  // a missing field keeps the designed place
        {",70", {800, 70}},
        {"x1,70", {800, 70}},  // so does one that is not a number
        {"15,7y", {15, 96}},
        {"994,738", {994, 738}},  // the last places still on the screen
        {"995,300", {0, 300}},    // beyond width - 30
        {"300,739", {300, 0}},    // beyond height - 30
        {"-20,-5", {0, 0}},       // above or left of the screen: the caption would be out of reach
        {"99999999999,5", {800, 5}},
    };
    for (const auto& c : cases) {
        const POINT at = TAlignForm::initial_position(c.stored, screen, designed);
        EXPECT_EQ(at.x, c.expected.x) << c.stored;
        EXPECT_EQ(at.y, c.expected.y) << c.stored;
    }
}

}  // namespace
}  // namespace vx::win::editor
