// The page dialogs under a person's mouse and keys: the page title, "Move Page" and
// "Page Settings".
#include "win/editor/page_forms.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "win/editor/page_form_ids.h"
#include "win/editor/dialog_person.h"
#include "win/util/text.h"

namespace vx::win::editor {
namespace {

using namespace vx::win::test;
namespace ed = vx::editor;

TEST(PageTitleTest, AddsWithATypedTitleAndRenamesFromTheCurrentOne) {
    VX_NEED_DISPLAY();
    std::vector<int> help;
    bool ok_while_empty = true, closed = false;
    auto title = with_person(
        L"Add Page",
        [&](HWND dialog) {
            ok_while_empty = IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE;
            type_slowly(L"Tools");
            tap(VK_F1);
            click_item(dialog, IDOK);
        },
        [&] { return show_page_title(nullptr, kAddPageCaption, "", [&](int topic) { help.push_back(topic); }); },
        &closed);
    EXPECT_TRUE(closed);
    EXPECT_FALSE(ok_while_empty) << "a page needs a name";
    EXPECT_EQ(title, std::optional<std::string>("Tools"));
    EXPECT_EQ(help, (std::vector<int>{kPageTitleHelpContext}));

    std::string shown;
    title = with_person(
        L"Rename Page",
        [&](HWND dialog) {
            shown = text_of(dialog, IDC_EDIT_PAGE_TITLE);
            RECT r{};
            GetWindowRect(dialog, &r);
            screenshot(r, "RenamePage");
            type_slowly(L"Info");  // the name is selected: typing replaces it
            tap(VK_RETURN);
        },
        [&] { return show_page_title(nullptr, kRenamePageCaption, "Help", {}); }, &closed);
    EXPECT_TRUE(closed);
    EXPECT_EQ(shown, "Help");
    EXPECT_EQ(title, std::optional<std::string>("Info"));

    title = with_person(
        L"Add Page", [&](HWND) { tap(VK_ESCAPE); },
        [&] { return show_page_title(nullptr, kAddPageCaption, "", {}); }, &closed);
    EXPECT_EQ(title, std::nullopt) << "Cancel gives nothing";
}

TEST(MoveFormTest, OffersThePagesWithTheCurrentOneAndBeforeChosen) {
    VX_NEED_DISPLAY();
    const std::vector<std::string> names{"Programs", "Games", "Office"};
    std::string label, preselected;
    bool before_checked = false, closed = false;
    const auto choice = with_person(
        L"Move Page",
        [&](HWND dialog) {
            label = text_of(dialog, IDC_MOVE_PLACE_LABEL);
            preselected = text_of(dialog, IDC_COMBO_MOVE_TARGET);
            before_checked = checked(dialog, IDC_RADIO_MOVE_BEFORE);
            RECT r{};
            GetWindowRect(dialog, &r);
            screenshot(r, "MovePage");
            tap('A', {VK_MENU});  // "&After Page:"
            click_item(dialog, IDC_COMBO_MOVE_TARGET);
            pause(200);
            tap(VK_END);
            tap(VK_RETURN);
            pause(100);
            click_item(dialog, IDOK);
        },
        [&] { return show_move_page(nullptr, names, 1, {}); }, &closed);
    EXPECT_TRUE(closed);
    EXPECT_EQ(label, "Place the Games page");
    EXPECT_EQ(preselected, "Games");
    EXPECT_TRUE(before_checked);
    ASSERT_TRUE(choice);
    EXPECT_EQ(*choice, (MoveChoice{2, ed::PagePlace::After}));
}

TEST(PageAttTest, ShowsThePageAndHandsBackWhatThePersonChose) {
    VX_NEED_DISPLAY();
    model::PageAttributes page;  // a new page: 200 ms, margins 10, tiled, master items shown
    PageSettingsRequest request;
    request.values = ed::page_settings_of(page, true);
    std::vector<bool> master_now;
    request.show_master_items = [&](bool show) { master_now.push_back(show); };
    request.choose_color = [](HWND, const RECT&, model::Color) { return std::optional<model::Color>(model::kBlue); };
    request.choose_image = [](HWND, std::string& dir, std::string& file) {
        dir = "C:\\PICS";
        file = "C:\\PICS\\SKY.BMP";
        return true;
    };
    request.choose_icon = [](HWND, uint16_t& number) {
        number = 7;
        return true;
    };
    std::vector<std::string> looked_for;
    request.find_image = [&](const std::string& typed) {
        looked_for.push_back(typed);
        return std::optional<std::string>(typed);
    };
    int track = -1;
    std::string left, top;
    bool tiled = false, hide_shown = false, solid_after_colour = false, wallpaper_after_image = false,
         closed = false;
    const auto result = with_person(
        L"Page Settings",
        [&](HWND dialog) {
            track = static_cast<int>(SendMessageW(GetDlgItem(dialog, IDC_PAGE_SPEED), TBM_GETPOS, 0, 0));
            left = text_of(dialog, IDC_EDIT_PAGE_LEFT);
            top = text_of(dialog, IDC_EDIT_PAGE_TOP);
            tiled = checked(dialog, IDC_RADIO_PAGE_TILE);
            hide_shown = IsWindowVisible(GetDlgItem(dialog, IDC_CHECK_PAGE_HIDE)) != FALSE;
            click_item(dialog, IDC_BUTTON_PAGE_BROWSE);
            pause(100);
            wallpaper_after_image = checked(dialog, IDC_RADIO_PAGE_WALLPAPER);
            click_item(dialog, IDC_BUTTON_PAGE_COLOR);
            pause(100);
            solid_after_colour = checked(dialog, IDC_RADIO_PAGE_SOLID);
            click_item(dialog, IDC_RADIO_PAGE_WALLPAPER);
            click_item(dialog, IDC_RADIO_PAGE_CENTER);
            click_item(dialog, IDC_BUTTON_PAGE_ICON);
            // The track bar keeps the keyboard once clicked: Home is "Faster", two steps on.
            click_item(dialog, IDC_PAGE_SPEED);
            tap(VK_HOME);
            tap(VK_RIGHT);
            tap(VK_RIGHT);
            retype(dialog, IDC_EDIT_PAGE_LEFT, L"40");
            click_item(dialog, IDC_CHECK_PAGE_MASTER);
            click_item(dialog, IDC_CHECK_PAGE_COPY_ALL);
            click_item(dialog, IDC_CHECK_PAGE_HIDE);
            pause(300);
            RECT r{};
            GetWindowRect(dialog, &r);
            screenshot(r, "PageSettings");
            click_item(dialog, IDOK);
        },
        [&] { return show_page_settings(nullptr, request); }, &closed);
    EXPECT_TRUE(closed);
    EXPECT_EQ(track, 19) << "200 ms";
    EXPECT_EQ(left, "10");
    EXPECT_EQ(top, "10");
    EXPECT_TRUE(tiled);
    EXPECT_TRUE(hide_shown) << "for the administrator";
    EXPECT_TRUE(wallpaper_after_image) << "an image chosen checks WallPaper:";
    EXPECT_TRUE(solid_after_colour) << "a colour chosen checks Solid Color:";
    EXPECT_EQ(master_now, (std::vector<bool>{false})) << "the master box acts at once";
    ASSERT_TRUE(result);
    const ed::PageSettingsValues& v = result->values;
    EXPECT_TRUE(v.wallpaper);
    EXPECT_EQ(v.background_color, model::kBlue);
    EXPECT_EQ(v.image, "C:\\PICS\\SKY.BMP");
    EXPECT_EQ(ed::layout_of(v), ed::PictureLayout::Center);
    EXPECT_EQ(v.tab_icon, 7);
    EXPECT_EQ(v.track, 2);
    EXPECT_EQ(v.left_margin, "40");
    EXPECT_FALSE(v.show_master_items);
    EXPECT_TRUE(v.copy_to_all);
    EXPECT_TRUE(v.hide);
    EXPECT_TRUE(result->library_changed);
    EXPECT_EQ(result->image_dir, "C:\\PICS");
    EXPECT_EQ(looked_for, (std::vector<std::string>{"C:\\PICS\\SKY.BMP"}));
    EXPECT_EQ(result->found_image, std::optional<std::string>("C:\\PICS\\SKY.BMP"));
}

TEST(PageAttTest, TheHideBoxIsOnlyTheAdministratorsAndCancelGivesNothing) {
    VX_NEED_DISPLAY();
    model::PageAttributes page;
    page.visible = false;
    PageSettingsRequest request;
    request.values = ed::page_settings_of(page, false);
    bool hide_shown = true, closed = false;
    const auto result = with_person(
        L"Page Settings",
        [&](HWND dialog) {
            hide_shown = IsWindowVisible(GetDlgItem(dialog, IDC_CHECK_PAGE_HIDE)) != FALSE;
            click_item(dialog, IDCANCEL);
        },
        [&] { return show_page_settings(nullptr, request); }, &closed);
    EXPECT_TRUE(closed);
    EXPECT_FALSE(hide_shown);
    EXPECT_FALSE(result.has_value());
}

}  // namespace
}  // namespace vx::win::editor
