// "Set Grid" and "Copy Styles" under a person's mouse and keys.
#include "win/editor/designer_dialogs.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "editor/style_copy.h"
#include "win/editor/designer_dialog_ids.h"
#include "win/editor/person.h"
#include "win/util/text.h"

namespace vx::win::editor {
namespace {

using namespace vx::win::test;
namespace bits = vx::editor::style_bits;

// Runs `show` (which opens the dialog titled `title`) while a person does `steps` on it.
template <typename Show>
auto with_person(const wchar_t* title, std::function<void(HWND)> steps, Show show, bool* closed) {
    Person person(
        [&] {
            if (const HWND dialog = find_dialog(title)) {
                pause(200);
                steps(dialog);
            }
        },
        [title] {
            if (const HWND dialog = FindWindowW(L"#32770", title))
                PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
    auto result = show();
    *closed = person.finish();
    return result;
}

void click_item(HWND dialog, int id) {
    click_at(center_of(GetDlgItem(dialog, id)));
}

std::string text_of(HWND dialog, int id) {
    wchar_t text[64] = {};
    GetWindowTextW(GetDlgItem(dialog, id), text, 64);
    return narrow(text);
}

bool checked(HWND dialog, int id) {
    return SendMessageW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Replaces what an edit box holds with `typed`.
void retype(HWND dialog, int id, const std::wstring& typed) {
    click_item(dialog, id);
    tap(VK_END);
    tap(VK_HOME, {VK_SHIFT});
    tap(VK_DELETE);
    if (!typed.empty()) type_slowly(typed);
}

TEST(SetGridTest, ShowsTheCurrentGridAndHandsBackTheEditedOne) {
    VX_NEED_DISPLAY();
    std::vector<int> help;
    std::string width_shown, height_shown;
    bool show_shown = false, snap_shown = true, closed = false;
    const auto choice = with_person(
        L"Set Grid",
        [&](HWND dialog) {
            RECT r{};
            GetWindowRect(dialog, &r);
            pause(500);
            screenshot(r, "SetGrid");
            width_shown = text_of(dialog, IDC_GRID_WIDTH);
            height_shown = text_of(dialog, IDC_GRID_HEIGHT);
            show_shown = checked(dialog, IDC_GRID_SHOW);
            snap_shown = checked(dialog, IDC_GRID_SNAP);
            retype(dialog, IDC_GRID_WIDTH, L"25");
            // The upper half of the vertical spin: one step up.
            RECT spin{};
            GetWindowRect(GetDlgItem(dialog, IDC_GRID_HEIGHT_SPIN), &spin);
            click_at({(spin.left + spin.right) / 2, spin.top + (spin.bottom - spin.top) / 4});
            tap('W', {VK_MENU});  // Show Grid off
            tap('N', {VK_MENU});  // Snap to Grid on
            tap(VK_F1);
            click_item(dialog, IDHELP);
            click_item(dialog, IDOK);
        },
        [&] {
            return show_set_grid(nullptr, {12, 20, true, false}, [&](int topic) { help.push_back(topic); });
        },
        &closed);
    EXPECT_TRUE(closed);
    EXPECT_EQ(width_shown, "12");
    EXPECT_EQ(height_shown, "20");
    EXPECT_TRUE(show_shown);
    EXPECT_FALSE(snap_shown);
    ASSERT_TRUE(choice);
    EXPECT_EQ(*choice, (GridChoice{25, 21, false, true}));
    EXPECT_EQ(help, (std::vector<int>{kSetGridHelpContext, kSetGridHelpContext}));
}

TEST(SetGridTest, SpacingsOutsideTheRangeAreBroughtIntoIt) {
    VX_NEED_DISPLAY();
    const struct {
        const wchar_t* typed;
        int expected;  // also what the box shows once it is left
    } cases[] = {{L"2", 4}, {L"4", 4}, {L"100", 100}, {L"999", 100}, {L"0", 4}, {L"", 30}};
    for (const auto& c : cases) {
        SCOPED_TRACE(narrow(c.typed));
        std::string shown;
        bool closed = false;
        const auto choice = with_person(
            L"Set Grid",
            [&](HWND dialog) {
                retype(dialog, IDC_GRID_WIDTH, c.typed);
                tap(VK_TAB);
                wait_until([&] { return text_of(dialog, IDC_GRID_WIDTH) == std::to_string(c.expected); },
                           1000);
                shown = text_of(dialog, IDC_GRID_WIDTH);
                tap(VK_RETURN);
            },
            [&] {
                return show_set_grid(nullptr, {30, 30, false, false}, {});
            },
            &closed);
        EXPECT_TRUE(closed);
        EXPECT_EQ(shown, std::to_string(c.expected));
        ASSERT_TRUE(choice);
        EXPECT_EQ(choice->width, c.expected);
        EXPECT_EQ(choice->height, 30);
    }
}

TEST(SetGridTest, AStoredSpacingOutOfRangeOpensInRangeAndCancelGivesNothing) {
    VX_NEED_DISPLAY();
    std::string width_shown, height_shown, after_down;
    bool closed = false;
    const auto choice = with_person(
        L"Set Grid",
        [&](HWND dialog) {
            width_shown = text_of(dialog, IDC_GRID_WIDTH);
            height_shown = text_of(dialog, IDC_GRID_HEIGHT);
            // At the bottom of the range the spin goes no lower.
            RECT spin{};
            GetWindowRect(GetDlgItem(dialog, IDC_GRID_WIDTH_SPIN), &spin);
            click_at({(spin.left + spin.right) / 2, spin.bottom - (spin.bottom - spin.top) / 4});
            after_down = text_of(dialog, IDC_GRID_WIDTH);
            click_item(dialog, IDCANCEL);
        },
        [&] {
            return show_set_grid(nullptr, {0, 500, false, false}, {});
        },
        &closed);
    EXPECT_TRUE(closed);
    EXPECT_EQ(width_shown, "4") << "a spacing of 0 would leave snapping nothing to divide by";
    EXPECT_EQ(height_shown, "100");
    EXPECT_EQ(after_down, "4");
    EXPECT_FALSE(choice);
}

struct StyleBoxCase {
    int id;
    const char* caption;
    uint16_t bit;
};
constexpr StyleBoxCase kBoxes[] = {
    {IDC_STYLE_WIDTH, "&Width", bits::kWidth},
    {IDC_STYLE_HEIGHT, "&Height", bits::kHeight},
    {IDC_STYLE_FONT_COLOR, "C&olor", bits::kFontColor},
    {IDC_STYLE_FONT_NAME, "&Name", bits::kFontName},
    {IDC_STYLE_LEFT, "&Left", bits::kLeft},
    {IDC_STYLE_TOP, "&Top", bits::kTop},
    {IDC_STYLE_LINE_COLOR, "Colo&r", bits::kLineColor},
    {IDC_STYLE_LINE_WIDTH, "Wi&dth", bits::kLineWidth},
    {IDC_STYLE_BUTTON_COLOR, "&Color", bits::kColor},
    {IDC_STYLE_SOUND, "&Sound", bits::kSound},
    {IDC_STYLE_IMAGE, "&Image", bits::kImage},
    {IDC_STYLE_ALIGNMENT, "Align&ment", bits::kAlignment},
    {IDC_STYLE_BUTTON_STYLE, "St&yle", bits::kStyle},
    {IDC_STYLE_SELECT_ALL, "Select &All", bits::kSelectAll},
    {IDC_STYLE_LINE_STYLE, "Styl&e", bits::kLineStyle},
};

TEST(CopyStyleTest, EachBoxShowsItsOwnBitOfTheMask) {
    VX_NEED_DISPLAY();
    // Four masks: a box's four states spell the number of its bit.
    std::vector<int> spelled(std::size(kBoxes), 0);
    for (int k = 0; k < 4; ++k) {
        uint16_t mask = 0;
        for (int bit = 0; bit < 15; ++bit)
            if (bit & (1 << k)) mask = static_cast<uint16_t>(mask | (1u << bit));
        std::vector<std::string> captions;
        bool closed = false;
        const auto result = with_person(
            L"Copy Styles",
            [&](HWND dialog) {
                if (k == 0) {
                    RECT r{};
                    GetWindowRect(dialog, &r);
                    pause(500);
                    screenshot(r, "CopyStyles");
                }
                for (size_t i = 0; i < std::size(kBoxes); ++i) {
                    captions.push_back(text_of(dialog, kBoxes[i].id));
                    if (checked(dialog, kBoxes[i].id)) spelled[i] |= 1 << k;
                }
                click_item(dialog, IDCANCEL);
            },
            [&] { return show_copy_style(nullptr, mask, {}); }, &closed);
        EXPECT_TRUE(closed);
        EXPECT_FALSE(result) << "Cancel";
        ASSERT_EQ(captions.size(), std::size(kBoxes));
        for (size_t i = 0; i < std::size(kBoxes); ++i) EXPECT_EQ(captions[i], kBoxes[i].caption);
    }
    for (size_t i = 0; i < std::size(kBoxes); ++i)
        EXPECT_EQ(1u << spelled[i], kBoxes[i].bit) << kBoxes[i].caption;
}

TEST(CopyStyleTest, OkGivesTheMaskOfTheBoxesAndSelectAllSetsEveryBox) {
    VX_NEED_DISPLAY();
    std::vector<int> help;
    bool all_on = false, all_off = false, closed = false;
    const auto result = with_person(
        L"Copy Styles",
        [&](HWND dialog) {
            const auto every = [&](bool state) {
                for (const auto& box : kBoxes)
                    if (checked(dialog, box.id) != state) return false;
                return true;
            };
            click_item(dialog, IDC_STYLE_SELECT_ALL);
            all_on = wait_until([&] { return every(true); }, 1000);
            click_item(dialog, IDC_STYLE_SELECT_ALL);
            all_off = wait_until([&] { return every(false); }, 1000);
            click_item(dialog, IDC_STYLE_TOP);
            click_item(dialog, IDC_STYLE_SOUND);
            tap('E', {VK_MENU});  // "Styl&e" of the line
            tap('Y', {VK_MENU});  // "St&yle" of the button
            click_item(dialog, IDHELP);
            click_item(dialog, IDOK);
        },
        [&] {
            return show_copy_style(nullptr, bits::kWidth | bits::kFontName,
                                   [&](int t) { help.push_back(t); });
        },
        &closed);
    EXPECT_TRUE(closed);
    EXPECT_TRUE(all_on);
    EXPECT_TRUE(all_off);
    ASSERT_TRUE(result);
    EXPECT_EQ(*result, bits::kTop | bits::kSound | bits::kLineStyle | bits::kStyle);
    EXPECT_EQ(help, (std::vector<int>{kCopyStyleHelpContext}));
}

}  // namespace
}  // namespace vx::win::editor
