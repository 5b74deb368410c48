// "Icon / Control Attributes" under a person's mouse and keys: the modeless dialog runs on the
// test's thread, the input goes through SendInput and is handled while the test pumps.
#include "win/editor/button_form.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include "editor/button_properties.h"
#include "model/shortcut.h"
#include "unit/port_fakes.h"
#include "win/editor/button_form_ids.h"
#include "win/editor/person.h"
#include "win/support/real_input.h"
#include "win/util/text.h"

namespace vx::win::editor {
namespace {

using namespace vx::win::test;
namespace core = vx::editor;

class ButtonFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        VX_NEED_DISPLAY();
        owner = CreateWindowExW(0, L"STATIC", L"Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_TRUE(owner);
        work = &desktop.add_page("Work");
        desktop.add_page("Play");
        desktop.add_page(std::string(model::kStartUpPage));
        model::ButtonData word;
        word.caption = "Word";
        word.speed_key = core::speed_key_at(0);  // A: taken by another button of the page
        desktop.add_object(*work, word);

        admin.groups = {{"Master User List", 0, 0}, {"Admins", 1000, 0}};
        security::User user;
        user.name = "boss";
        user.groups = {1};
        admin.users = {user};
        admin.logged_in = 0;

        button.kind = model::kKindProgram;
        button.bounds = {10, 20, 90, 40};
        button.caption = "Edit";
        button.command = "NOTEPAD.EXE\r";
        button.command_lines = 1;
        button.speed_key = core::speed_key_at(1);  // B: its own
        button.btn_style = 14;
        button.launch_date = make_datetime({2026, 12, 11}, {9, 30});
    }
    void TearDown() override {
        if (HWND d = button_form_window()) {
            SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
            settle(std::chrono::milliseconds(100));
        }
        if (owner) DestroyWindow(owner);
        std::error_code ec;
        if (!scratch.empty()) std::filesystem::remove_all(scratch, ec);
    }

    ButtonFormRequest request() {
        ButtonFormRequest r;
        r.owner = owner;
        r.desktop = &desktop;
        r.page = work;
        r.button = button;
        r.page_color = model::kSilver;
        r.admin = &admin;
        r.display_colors = 256;
        r.ok = [this](model::ButtonData b) { result = std::move(b); };
        r.closed = [this] { ++closed; };
        r.help = [this](int topic) { help.push_back(topic); };
        r.message_box = [this](HWND, const std::string& text, const std::string& caption, UINT) {
            boxes.push_back(caption + ": " + text);
            return IDNO;
        };
        r.choose_icon = [](HWND, uint16_t&) { return false; };
        return r;
    }
    void open(ButtonFormRequest r) {
        ASSERT_TRUE(open_button_form(std::move(r)));
        ASSERT_TRUE(bring_to_front(dialog()));
        settle(std::chrono::milliseconds(200), dialog());
    }
    void open() { open(request()); }

    HWND dialog() const { return button_form_window(); }
    HWND control(int id) const { return GetDlgItem(dialog(), id); }
    bool visible(int id) const { return IsWindowVisible(control(id)) != FALSE; }
    std::string text(int id) const {
        const HWND c = control(id);
        std::wstring t(static_cast<size_t>(GetWindowTextLengthW(c)) + 1, L'\0');
        t.resize(static_cast<size_t>(GetWindowTextW(c, t.data(), static_cast<int>(t.size()))));
        return narrow(t);
    }
    void pump(int ms = 300) { settle(std::chrono::milliseconds(ms), dialog()); }
    void press(POINT screen, bool right = false) {
        send_mouse(screen, 0);
        pump(150);
        send_mouse(screen, right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
        send_mouse(screen, right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
    }
    void click(int id) {
        press(center_of(control(id)));
        pump();
    }
    void key(WORD vk, std::initializer_list<WORD> held = {}) {
        press_key(vk, held);
        pump(150);
    }
    // Replaces what a single-line edit holds, as a person selecting it all and typing would.
    void retype(int id, const std::wstring& typed) {
        click(id);
        key(VK_END);
        key(VK_HOME, {VK_SHIFT});
        type_text(typed);
        pump();
    }
    HWND tabs() const { return control(IDC_BTN_TABS); }
    int tab_count() const { return TabCtrl_GetItemCount(tabs()); }
    std::string tab_name(int i) const {
        wchar_t buf[64] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = buf;
        item.cchTextMax = 64;
        SendMessageW(tabs(), TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        return narrow(buf);
    }
    void click_tab(int i) {
        RECT r{};
        TabCtrl_GetItemRect(tabs(), i, &r);
        press(on_screen(tabs(), {(r.left + r.right) / 2, (r.top + r.bottom) / 2}));
        pump();
    }
    RECT window_rect(HWND w) const {
        RECT r{};
        GetWindowRect(w, &r);
        return r;
    }
    // What the display shows of a control, pixel by pixel.
    std::vector<COLORREF> pixels(int id) const {
        const RECT r = window_rect(control(id));
        std::vector<COLORREF> all;
        for (int y = r.top + 2; y < r.bottom - 2; y += 3)
            for (int x = r.left + 2; x < r.right - 2; x += 3) all.push_back(screen_pixel({x, y}));
        return all;
    }
    std::vector<std::string> combo_items(int id) const {
        std::vector<std::string> items;
        const int n = static_cast<int>(SendMessageW(control(id), CB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            wchar_t buf[128] = {};
            SendMessageW(control(id), CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buf));
            items.push_back(narrow(buf));
        }
        return items;
    }
    void shot(const std::string& name) {
        pump(200);
        screenshot(window_rect(dialog()), "ButtonForm." + name);
    }

    HWND owner = nullptr;
    model::Desktop desktop;
    model::Page* work = nullptr;
    security::AdminData admin;
    model::ButtonData button;
    std::optional<model::ButtonData> result;
    int closed = 0;
    std::vector<int> help;
    std::vector<std::string> boxes;
    std::filesystem::path scratch;
};

TEST_F(ButtonFormTest, KindSwitchesRenameTheFirstTabAndTimedExecutionFollowsSoftware) {
    open();
    EXPECT_EQ(tab_count(), 5);
    EXPECT_FALSE(IsWindowEnabled(owner)) << "the owner waits while the dialog is open";
    struct Case {
        int radio;
        const char* first;
        int tabs;
        bool window_options;
        int help_topic;
    } cases[] = {
        {IDC_BTN_KIND_PAGE, "Pages", 4, false, 751},
        {IDC_BTN_KIND_MENU, "Menu", 4, true, 751},  // Menu has no topic: the last one stays
        {IDC_BTN_KIND_BROWSER, "Browser Services", 4, true, 752},
        {IDC_BTN_KIND_PROGRAM, "Software", 5, true, 750},
    };
    for (const Case& c : cases) {
        click(c.radio);
        EXPECT_EQ(tab_name(0), c.first);
        EXPECT_EQ(tab_count(), c.tabs) << c.first;
        EXPECT_EQ(IsWindowEnabled(control(IDC_BTN_MINIMIZED)) != FALSE, c.window_options) << c.first;
        click(IDHELP);
        ASSERT_FALSE(help.empty());
        EXPECT_EQ(help.back(), c.help_topic) << c.first;
    }
    EXPECT_EQ(tab_name(4), "Timed Execution") << "back at the end";

    // Leaving Software while its last tab is shown goes back to the first tab.
    click_tab(4);
    EXPECT_TRUE(visible(IDC_BTN_EVERY));
    click(IDC_BTN_KIND_PAGE);
    EXPECT_EQ(tab_count(), 4);
    EXPECT_EQ(TabCtrl_GetCurSel(tabs()), 0);
    EXPECT_TRUE(visible(IDC_BTN_PAGE_LIST));
    EXPECT_FALSE(visible(IDC_BTN_EVERY));
}

TEST_F(ButtonFormTest, EveryTabShowsItsPageAndOnlyTheFirstShowsTheTitle) {
    open();
    const RECT first = window_rect(tabs());
    struct Case {
        int tab;
        int shown;
        int hidden;
        const char* name;
        int help_topic;  // 0: the kind's stays
    } cases[] = {
        {1, IDC_BTN_PREVIEW, IDC_BTN_COMMAND, "Appearance", 753},
        {2, IDC_BTN_SOUND, IDC_BTN_PREVIEW, "Miscellaneous", 754},
        {3, IDC_BTN_PASSWORD, IDC_BTN_SOUND, "Password", 755},
        {4, IDC_BTN_TIME, IDC_BTN_PASSWORD, "TimedExecution", 0},
        {0, IDC_BTN_COMMAND, IDC_BTN_TIME, "Software", 750},
    };
    for (const Case& c : cases) {
        click_tab(c.tab);
        EXPECT_TRUE(visible(c.shown)) << c.name;
        EXPECT_FALSE(visible(c.hidden)) << c.name;
        EXPECT_EQ(visible(IDC_BTN_TITLE), c.tab == 0) << c.name;
        EXPECT_EQ(visible(IDC_BTN_KEY), c.tab == 0) << c.name;
        const RECT now = window_rect(tabs());
        EXPECT_EQ(now.bottom, first.bottom) << c.name;
        EXPECT_EQ(now.top < first.top, c.tab != 0) << c.name << ": the notebook grows over the title";
        if (c.help_topic) {
            click(IDHELP);
            EXPECT_EQ(help.back(), c.help_topic) << c.name;
        }
        EXPECT_EQ(visible(IDC_BTN_LEVEL), c.tab == 3) << c.name << ": an administrator sees the level";
        shot("Tab." + std::string(c.name));
    }

    struct Kind {
        int radio;
        int shown;
        const char* name;
    } kinds[] = {
        {IDC_BTN_KIND_PAGE, IDC_BTN_PAGE_LIST, "Pages"},
        {IDC_BTN_KIND_MENU, IDC_BTN_MENU_TEXT, "Menu"},
        {IDC_BTN_KIND_BROWSER, IDC_BTN_ADDRESS, "BrowserServices"},
    };
    for (const Kind& k : kinds) {
        click(k.radio);
        EXPECT_TRUE(visible(k.shown)) << k.name;
        EXPECT_FALSE(visible(IDC_BTN_COMMAND)) << k.name;
        shot("Tab." + std::string(k.name));
    }
}

TEST_F(ButtonFormTest, OthersSeeNeitherLevelNorGroupAndKeepThem) {
    admin.logged_in.reset();
    button.security_level = 300;
    button.group = 1;
    open();
    click_tab(3);
    EXPECT_TRUE(visible(IDC_BTN_PASSWORD));
    EXPECT_FALSE(visible(IDC_BTN_LEVEL));
    EXPECT_FALSE(visible(IDC_BTN_GROUP));
    click(IDOK);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->security_level, 300);
    EXPECT_EQ(result->group, 1);
}

TEST_F(ButtonFormTest, TheStyleBarRedrawsThePreviewAndOffersDitherForGradients) {
    open();
    click_tab(1);
    EXPECT_EQ(text(IDC_BTN_STYLE_NUMBER), "14");
    EXPECT_FALSE(visible(IDC_BTN_DITHER)) << "style 14 is no gradient";
    const std::vector<COLORREF> before = pixels(IDC_BTN_PREVIEW);
    const RECT bar = window_rect(control(IDC_BTN_STYLE));
    const int arrow = GetSystemMetrics(SM_CXHSCROLL) / 2;
    press({bar.right - arrow, (bar.top + bar.bottom) / 2});  // the right arrow: one style on
    pump(500);
    EXPECT_EQ(text(IDC_BTN_STYLE_NUMBER), "15");
    EXPECT_TRUE(visible(IDC_BTN_DITHER)) << "a gradient on a 256-colour display";
    EXPECT_NE(pixels(IDC_BTN_PREVIEW), before) << "the preview follows the style";
    shot("Appearance.Gradient");

    const std::vector<COLORREF> plain = pixels(IDC_BTN_PREVIEW);
    click(IDC_BTN_FILL_TEXT);
    click(IDC_BTN_ALIGN_RIGHT);
    retype(IDC_BTN_W, L"150");
    pump(300);
    EXPECT_NE(pixels(IDC_BTN_PREVIEW), plain) << "size and alignment show at once";

    click(IDOK);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->btn_style, 15);
    EXPECT_TRUE(result->fill_behind_text);
    EXPECT_EQ(result->text_align, 2);
    EXPECT_EQ(result->bounds, (model::Bounds{10, 20, 150, 40}));
}

TEST_F(ButtonFormTest, OkHandsBackTheEditedButtonAndClosesItself) {
    open();
    // The other button's key is not offered, the button's own is.
    const std::vector<std::string> keys = combo_items(IDC_BTN_KEY);
    ASSERT_FALSE(keys.empty());
    EXPECT_EQ(keys[0], "None");
    EXPECT_EQ(std::count(keys.begin(), keys.end(), "A"), 0);
    EXPECT_EQ(std::count(keys.begin(), keys.end(), "B"), 1);
    EXPECT_EQ(text(IDC_BTN_KEY), "B");
    EXPECT_EQ(keys.size(), core::kSpeedKeyCount) << "None and every key but A";

    retype(IDC_BTN_TITLE, L"Notes");
    click(IDC_BTN_SHOW_KEY);
    click_tab(3);
    retype(IDC_BTN_PASSWORD, L"pw");
    click(IDC_BTN_EDIT_PASSWORD);
    click_tab(4);
    click(IDC_BTN_EVERY);
    click(IDC_BTN_DAY_FIRST + 1);  // Mon
    retype(IDC_BTN_TIME, L"10:45 PM");
    click(IDOK);

    ASSERT_TRUE(result);
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(button_form_open());
    EXPECT_TRUE(IsWindowEnabled(owner));
    model::ButtonData want = button;
    want.caption = "Notes";
    want.speed_key_shown = true;
    want.password = "pw";
    want.edit_password = true;
    want.launch_day = model::kLaunchScheduled | core::launch_day_bit(1);
    want.launch_date = make_datetime({2026, 12, 11}, {22, 45});
    EXPECT_EQ(*result, want);
}

TEST_F(ButtonFormTest, CancelAndTheCloseBoxHandBackNothing) {
    for (const bool escape : {true, false}) {
        result.reset();
        closed = 0;
        open();
        retype(IDC_BTN_TITLE, L"Changed");
        if (escape) {
            key(VK_ESCAPE);
        } else {
            key(VK_F4, {VK_MENU});
        }
        pump();
        EXPECT_FALSE(result) << escape;
        EXPECT_EQ(closed, 1) << escape;
        EXPECT_FALSE(button_form_open());
        EXPECT_TRUE(IsWindowEnabled(owner));
    }
}

TEST_F(ButtonFormTest, OnlyOneDialogAtATimeAndAWrongEditPasswordOpensNone) {
    open();
    EXPECT_FALSE(open_button_form(request())) << "one is open";
    key(VK_ESCAPE);
    ASSERT_FALSE(button_form_open());

    admin.logged_in.reset();
    button.password = "Secret";
    button.edit_password = true;
    vx::testing::FakePrompter prompter;
    prompter.answers = {"wrong"};
    ButtonFormRequest r = request();
    r.prompter = &prompter;
    closed = 0;
    EXPECT_FALSE(open_button_form(std::move(r)));
    EXPECT_FALSE(button_form_open());
    EXPECT_EQ(closed, 0);
    EXPECT_TRUE(IsWindowEnabled(owner));

    prompter.answers = {"SECRET"};
    r = request();
    r.prompter = &prompter;
    open(std::move(r));
    EXPECT_TRUE(button_form_open());
}

TEST_F(ButtonFormTest, ActionScriptsInsertTheTemplateAtTheCaret) {
    open();
    struct Case {
        WORD caret_key;  // where the caret goes before the menu opens
        const char* command;
    } cases[] = {
        {VK_END, "NOTEPAD.EXE [O,Continue?]"},
        {VK_HOME, "[O,Continue?]NOTEPAD.EXE"},
    };
    for (const Case& c : cases) {
        SetWindowTextW(control(IDC_BTN_COMMAND), L"NOTEPAD.EXE");
        click(IDC_BTN_COMMAND);
        key(c.caret_key, {VK_CONTROL});
        // The menu's own loop takes the item's letter queued behind the click.
        press(center_of(control(IDC_BTN_SCRIPTS)));
        press_key('O');
        pump(600);
        EXPECT_EQ(text(IDC_BTN_COMMAND), c.command);
        DWORD from = 0, to = 0;
        SendMessageW(control(IDC_BTN_COMMAND), EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                     reinterpret_cast<LPARAM>(&to));
        EXPECT_EQ(to - from, std::string(c.command).size() - std::string("NOTEPAD.EXE").size())
            << "the inserted text is selected";
    }
}

TEST_F(ButtonFormTest, AMenuButtonStoresItsOptionsTheDividerAndItsActions) {
    open();
    click(IDC_BTN_KIND_MENU);
    click(IDC_BTN_MENU_TEXT);
    type_text(L"One");
    key(VK_RETURN);
    type_text(L"Two");
    key(VK_HOME, {VK_CONTROL});
    // A right click on the list opens the line menu; its separator goes before the caret's line.
    const RECT memo = window_rect(control(IDC_BTN_MENU_TEXT));
    press({memo.left + 20, memo.top + 4}, true);
    press_key('S');
    pump(600);
    EXPECT_EQ(text(IDC_BTN_MENU_TEXT), "-\r\nOne\r\nTwo");
    SetWindowTextW(control(IDC_BTN_MENU_TEXT), L"One\r\nTwo");
    click(IDC_BTN_MENU_ACTIONS);
    // "E&xit Vantora!" from the action menu goes before the caret's line.
    press(center_of(control(IDC_BTN_MENU_INSERT_ACTION)));
    press_key('X');
    pump(600);
    key(VK_END, {VK_CONTROL});
    key(VK_RETURN);
    type_text(L"[P,Play]");
    pump();
    click(IDOK);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->kind, model::kKindMenu);
    EXPECT_EQ(result->command, "One\rTwo\r/\\\r[X,<EXIT>]\r[P,Play]\r");
    EXPECT_EQ(result->command_lines, 5);
}

TEST_F(ButtonFormTest, FindProgramsWithoutAnIconAsksNothingAndFillsCommandAndFolder) {
    scratch =
        std::filesystem::temp_directory_path() / ("vx_buttonform_" + std::to_string(GetCurrentProcessId()));
    std::filesystem::create_directories(scratch);
    const std::string program = narrow((scratch / "RUN.BAT").wstring());
    std::ofstream(scratch / "RUN.BAT") << "@echo off\r\n";
    std::vector<std::string> asked;
    ButtonFormRequest r = request();
    r.choose_file = [&](HWND, const std::string& title, const std::string& mask, std::string&,
                        std::string& path) {
        asked.push_back(title + "|" + mask);
        path = program;
        return true;
    };
    std::string remembered;
    r.file_dir_changed = [&](const std::string& dir) { remembered = dir; };
    open(std::move(r));
    click(IDC_BTN_FIND);
    EXPECT_EQ(asked, std::vector<std::string>{"Select a Program|*.EXE *.BAT *.COM *.PIF *.LNK"});
    EXPECT_TRUE(boxes.empty()) << boxes.front();
    EXPECT_EQ(text(IDC_BTN_COMMAND), "NOTEPAD.EXE\r\n" + program);
    EXPECT_EQ(text(IDC_BTN_DIR), narrow(scratch.wstring()));
    EXPECT_EQ(remembered, narrow(scratch.wstring()));
}

TEST_F(ButtonFormTest, ABrowserAddressIsCutTo128Characters) {
    button.kind = model::kKindBrowser;
    button.browser_address = "http://example.org/";
    open();
    EXPECT_TRUE(visible(IDC_BTN_ADDRESS));
    retype(IDC_BTN_ADDRESS, L"http://" + std::wstring(140, L'x'));
    click(IDC_BTN_WEB);
    click(IDOK);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->browser_address.size(), model::kMaxBrowserAddress);
    EXPECT_TRUE(result->browser);
    EXPECT_EQ(result->kind, model::kKindBrowser);
}

TEST_F(ButtonFormTest, APageLinkChoosesItsPageOrADesktopFile) {
    button.kind = model::kKindPageLink;
    button.page_link = std::string(core::kPreviousPage);
    open();
    EXPECT_EQ(combo_items(IDC_BTN_PAGE_LIST),
              (std::vector<std::string>{"Work", "Play", "Next Page", "Previous Page"}));
    EXPECT_EQ(text(IDC_BTN_PAGE_LIST), "Previous Page");
    EXPECT_FALSE(IsWindowEnabled(control(IDC_BTN_DESK_FILE)));
    click(IDC_BTN_DESK_RADIO);
    EXPECT_TRUE(IsWindowEnabled(control(IDC_BTN_DESK_FILE)));
    EXPECT_FALSE(IsWindowEnabled(control(IDC_BTN_PAGE_LIST)));
    retype(IDC_BTN_DESK_FILE, L"C:\\OTHER.DTP");
    click(IDOK);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->page_link, "C:\\OTHER.DTP");
}

TEST_F(ButtonFormTest, ABadLevelKeepsTheDialogOpenOnThePasswordPage) {
    open();
    click_tab(3);
    retype(IDC_BTN_LEVEL, L"1001");
    click(IDOK);
    EXPECT_FALSE(result);
    EXPECT_TRUE(button_form_open());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "Icon / Control Attributes: The security level must be a number from 0 to 1000.");
    retype(IDC_BTN_LEVEL, L"200");
    click(IDOK);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->security_level, 200);
}

TEST_F(ButtonFormTest, ANewButtonWithNoSizeGetsTheDefaultSize) {
    button = model::ButtonData{};
    button.bounds = {40, 50, 0, 0};
    ButtonFormRequest r = request();
    r.is_new = true;
    r.button = button;
    open(std::move(r));
    EXPECT_EQ(tab_name(0), "Software") << "the button tool makes programs";
    click(IDOK);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->kind, model::kKindProgram);
    EXPECT_EQ(result->bounds, (model::Bounds{40, 50, 30, 30}));
}

}  // namespace
}  // namespace vx::win::editor
