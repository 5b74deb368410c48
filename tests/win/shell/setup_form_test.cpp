#include "win/shell/setup_form.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "unit/port_fakes.h"
#include "util/file_io.h"
#include "win/security/dialog_script.h"
#include "win/shell/main_form.h"
#include "win/shell/registry_settings.h"
#include "win/shell/setup_ids.h"
#include "win/util/text.h"

namespace vx::win::shell {
namespace {

using security::testing::Scripted;

struct Check {
    int id;
    const char* caption;
};
// Every check box with its caption exactly as the user reads it.
const Check kChecks[] = {
    {IDC_CHECK_ANI_ICON, "Show animated icon (located at bottom right corner of desktop)"},
    {IDC_CHECK_ALLOW_POPUP, "Allow popup menus to appear with right click of the mouse button."},
    {IDC_CHECK_MENU_BAR, "Show menu bar  (when disabled, right click mouse for menu)"},
    {IDC_CHECK_PAGE_TABS, "Show page tabs"},
    {IDC_CHECK_STATUS_BAR, "Show date and time on status bar"},
    {IDC_CHECK_SIZEABLE, "Allow desktop window to be sized"},
    {IDC_CHECK_SCROLLING, "Allow scrolling when desktop Items extend beyond window boundries"},
    {IDC_CHECK_EXIT_PROMPT, "Ask for confirmation before exiting"},
    {IDC_CHECK_WINDOWS_TEMP, "Use Windows temp directory"},
    {IDC_CHECK_BACKUP, "Create backup desktop file"},
};

bool is_checked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

std::wstring tab_text(HWND tabs, int index) {
    wchar_t buffer[64]{};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = buffer;
    item.cchTextMax = 64;
    SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return buffer;
}

SetupFormValue sample_value() {
    SetupFormValue v;
    v.values.options.page_tabs = false;
    v.values.options.scrolling = false;
    v.values.exit_prompt = false;
    v.values.allow_popup = true;
    v.values.backup = true;
    v.values.temp_dir = "D:\\Work";
    v.windows_temp = "C:\\Windows\\Temp";
    return v;
}

TEST(SetupForm, ShowsEveryOptionOnItsPageWithTheExactCaptions) {
    SetupFormValue v = sample_value();
    Scripted<TSetupForm> form(v);
    form.script = [&](auto& d) {
        wchar_t caption[64]{};
        GetWindowTextW(d.hwnd(), caption, 64);
        EXPECT_STREQ(caption, L"Desktop Setup");
        EXPECT_EQ(tab_text(d.control(IDC_TAB_SETUP), 0), L"Desktop Attributes");
        EXPECT_EQ(tab_text(d.control(IDC_TAB_SETUP), 1), L"Directories");
        for (const Check& c : kChecks) EXPECT_EQ(d.text(c.id), c.caption);
        EXPECT_EQ(d.text(IDC_STATIC_TEMP_DIR), "Temp Directory:");
        EXPECT_EQ(
            d.text(IDC_STATIC_TEMP_NOTE),
            "NOTE: The temp directory is used to store temporary files created while Vantora! is in the "
            "modify mode.");

        // The values as given.
        EXPECT_TRUE(is_checked(d.hwnd(), IDC_CHECK_ANI_ICON));
        EXPECT_TRUE(is_checked(d.hwnd(), IDC_CHECK_MENU_BAR));
        EXPECT_FALSE(is_checked(d.hwnd(), IDC_CHECK_PAGE_TABS));
        EXPECT_FALSE(is_checked(d.hwnd(), IDC_CHECK_SCROLLING));
        EXPECT_FALSE(is_checked(d.hwnd(), IDC_CHECK_EXIT_PROMPT));
        EXPECT_TRUE(is_checked(d.hwnd(), IDC_CHECK_BACKUP));
        EXPECT_FALSE(is_checked(d.hwnd(), IDC_CHECK_WINDOWS_TEMP));
        EXPECT_EQ(d.text(IDC_EDIT_TEMP_DIR), "D:\\Work");

        // One page at a time.
        EXPECT_TRUE(d.visible(IDC_CHECK_SIZEABLE));
        EXPECT_FALSE(d.visible(IDC_EDIT_TEMP_DIR));
        d.select_page(TSetupForm::kDirectoriesPage);
        EXPECT_FALSE(d.visible(IDC_CHECK_SIZEABLE));
        EXPECT_TRUE(d.visible(IDC_EDIT_TEMP_DIR));
        EXPECT_TRUE(d.visible(IDC_CHECK_BACKUP));
        d.press(IDCANCEL);
    };
    EXPECT_EQ(form.run(nullptr), IDCANCEL);
    // Cancel changes nothing.
    EXPECT_FALSE(v.values.options.page_tabs);
    EXPECT_FALSE(v.values.exit_prompt);
    EXPECT_EQ(v.values.temp_dir, "D:\\Work");
}

TEST(SetupForm, WindowsTempFillsAndLocksTheFieldAndUntickingGivesTheTypedFolderBack) {
    SetupFormValue v = sample_value();
    std::vector<std::string> browsed_from;
    v.browse = [&](std::string& dir) {
        browsed_from.push_back(dir);
        dir = "E:\\Chosen";
        return true;
    };
    Scripted<TSetupForm> form(v);
    form.script = [&](auto& d) {
        d.select_page(TSetupForm::kDirectoriesPage);
        d.press(IDC_BUTTON_BROWSE_TEMP);
        EXPECT_EQ(d.text(IDC_EDIT_TEMP_DIR), "E:\\Chosen");

        CheckDlgButton(d.hwnd(), IDC_CHECK_WINDOWS_TEMP, BST_CHECKED);
        d.press(IDC_CHECK_WINDOWS_TEMP);
        EXPECT_EQ(d.text(IDC_EDIT_TEMP_DIR), "C:\\Windows\\Temp");
        EXPECT_FALSE(d.enabled(IDC_EDIT_TEMP_DIR));
        EXPECT_FALSE(d.enabled(IDC_BUTTON_BROWSE_TEMP));

        CheckDlgButton(d.hwnd(), IDC_CHECK_WINDOWS_TEMP, BST_UNCHECKED);
        d.press(IDC_CHECK_WINDOWS_TEMP);
        EXPECT_EQ(d.text(IDC_EDIT_TEMP_DIR), "E:\\Chosen");
        EXPECT_TRUE(d.enabled(IDC_EDIT_TEMP_DIR));

        CheckDlgButton(d.hwnd(), IDC_CHECK_WINDOWS_TEMP, BST_CHECKED);
        d.press(IDC_CHECK_WINDOWS_TEMP);
        CheckDlgButton(d.hwnd(), IDC_CHECK_SIZEABLE, BST_UNCHECKED);
        CheckDlgButton(d.hwnd(), IDC_CHECK_PAGE_TABS, BST_CHECKED);
        d.press(IDOK);
    };
    EXPECT_EQ(form.run(nullptr), IDOK);
    EXPECT_EQ(browsed_from, std::vector<std::string>{"D:\\Work"});
    EXPECT_TRUE(v.values.use_windows_temp);
    EXPECT_EQ(v.values.temp_dir, "C:\\Windows\\Temp");
    EXPECT_FALSE(v.values.options.sizeable);
    EXPECT_TRUE(v.values.options.page_tabs);
}

TEST(SetupForm, ShownTickedWhenTheStoredFolderIsTheWindowsOne) {
    SetupFormValue v = sample_value();
    v.values.use_windows_temp = true;
    v.values.temp_dir = "c:\\windows\\temp\\";
    Scripted<TSetupForm> form(v);
    form.script = [&](auto& d) {
        EXPECT_TRUE(is_checked(d.hwnd(), IDC_CHECK_WINDOWS_TEMP));
        EXPECT_FALSE(d.enabled(IDC_EDIT_TEMP_DIR));
        d.press(IDCANCEL);
    };
    form.run(nullptr);
}

TEST(SetupForm, HelpButtonAndPageContextsFollowTheShownPage) {
    SetupFormValue v = sample_value();
    std::vector<int> topics;
    v.show_help = [&](int topic) { topics.push_back(topic); };
    Scripted<TSetupForm> form(v);
    form.script = [&](auto& d) {
        HELPINFO info{};
        info.cbSize = sizeof info;
        d.press(IDHELP);
        SendMessageW(d.hwnd(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        // As the user does it: a click on the second tab.
        TabCtrl_SetCurSel(d.control(IDC_TAB_SETUP), 1);
        NMHDR change{d.control(IDC_TAB_SETUP), IDC_TAB_SETUP, static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageW(d.hwnd(), WM_NOTIFY, IDC_TAB_SETUP, reinterpret_cast<LPARAM>(&change));
        EXPECT_EQ(d.page(), TSetupForm::kDirectoriesPage);
        d.press(IDHELP);
        SendMessageW(d.hwnd(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        d.press(IDCANCEL);
    };
    form.run(nullptr);
    EXPECT_EQ(topics, (std::vector<int>{328, 769, 329, 771}));
}

// ---- Through the main window ---------------------------------------------------------------

// Answers "Desktop Setup" from the main window's modal loop: one setting per test.
struct SetupAnswer {
    static inline std::function<void(HWND)> act;
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
        const HWND dialog = FindWindowW(L"#32770", L"Desktop Setup");
        if (!dialog || !act) return;
        auto a = std::move(act);
        act = nullptr;
        a(dialog);
    }
};

class SetupThroughMainForm : public ::testing::Test {
protected:
    const std::wstring key =
        L"Software\\Halvane\\VantoraTest\\Setup" + std::to_wstring(GetCurrentProcessId());
    RegistrySettingsStore store{key};
    std::string dir;

    void SetUp() override {
        wchar_t tmp[MAX_PATH]{};
        GetTempPathW(MAX_PATH, tmp);
        dir = narrow(tmp) + "vxsetup" + std::to_string(GetCurrentProcessId());
        CreateDirectoryW(widen(dir).c_str(), nullptr);
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES};
        InitCommonControlsEx(&icc);
    }
    void TearDown() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
        for (const char* f : {"VX.DTP", "VX.BAK"}) DeleteFileW(widen(join_path(dir, f)).c_str());
        RemoveDirectoryW(widen(dir).c_str());
    }
    static void close(TMainForm& form) {
        DestroyWindow(form.hwnd());
        MSG m;
        while (PeekMessageW(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
};

TEST_F(SetupThroughMainForm, OkAppliesTheOptionsResizesByTheDoubledBorderAndWritesTheSettings) {
    TMainForm form(store);
    form.set_program_dir(dir);
    vx::testing::FakeProfile profile;
    profile.set("WIN.INI", "Windows", "BorderWidth", "3");
    form.set_profile(&profile);
    ASSERT_TRUE(form.create(GetModuleHandleW(nullptr)));
    form.first_show();
    ASSERT_TRUE(GetWindowLongW(form.hwnd(), GWL_STYLE) & WS_THICKFRAME);
    RECT before;
    GetWindowRect(form.hwnd(), &before);

    SetupAnswer::act = [](HWND d) {
        CheckDlgButton(d, IDC_CHECK_SIZEABLE, BST_UNCHECKED);
        CheckDlgButton(d, IDC_CHECK_MENU_BAR, BST_UNCHECKED);
        CheckDlgButton(d, IDC_CHECK_EXIT_PROMPT, BST_UNCHECKED);
        PostMessageW(d, WM_COMMAND, IDOK, 0);
    };
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, &SetupAnswer::tick);
    form.show_setup_form();
    KillTimer(nullptr, timer);

    EXPECT_EQ(profile.reads, std::vector<std::string>{"WIN.INI|Windows|BorderWidth|1"});
    RECT after;
    GetWindowRect(form.hwnd(), &after);
    EXPECT_EQ(after.right - after.left, before.right - before.left - 6);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top - 6);
    const LONG style = GetWindowLongW(form.hwnd(), GWL_STYLE);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_EQ(GetMenu(form.hwnd()), nullptr);
    EXPECT_FALSE(form.station().desktop().options.sizeable);
    EXPECT_FALSE(form.station().settings().exit_prompt);
    EXPECT_EQ(store.read("", "ExitPrompt"), std::optional<std::string>("0"));

    // OK again without a change keeps the size.
    SetupAnswer::act = [](HWND d) { PostMessageW(d, WM_COMMAND, IDOK, 0); };
    const UINT_PTR again = SetTimer(nullptr, 0, 50, &SetupAnswer::tick);
    form.show_setup_form();
    KillTimer(nullptr, again);
    RECT unchanged;
    GetWindowRect(form.hwnd(), &unchanged);
    EXPECT_EQ(unchanged.right - unchanged.left, after.right - after.left);
    close(form);
    // The options are the desktop's, but only the administrator's save writes the desktop file.
    EXPECT_FALSE(file_exists(join_path(dir, "VX.DTP"))) << "the starter desktop was written";
}

}  // namespace
}  // namespace vx::win::shell

namespace vx::win::shell {
namespace {

// Not a check: holds each page and the About box on screen so that they can be photographed
// under Xvfb. Run with --gtest_also_run_disabled_tests --gtest_filter=*ShowSetupDialogs*.
TEST(SetupForm, DISABLED_ShowSetupDialogs) {
    SetupFormValue v = sample_value();
    Scripted<TSetupForm> form(v);
    form.script = [&](auto& d) {
        ShowWindow(d.hwnd(), SW_SHOW);
        UpdateWindow(d.hwnd());
        d.pump(2500);
        d.select_page(TSetupForm::kDirectoriesPage);
        TabCtrl_SetCurSel(d.control(IDC_TAB_SETUP), 1);
        d.pump(2500);
        d.press(IDCANCEL);
    };
    form.run(nullptr);
}

}  // namespace
}  // namespace vx::win::shell
