// The desktop the real shell shows and the file it keeps: a missing desktop file is never written
// behind the administrator's back, "&Open" of a damaged file leaves the shown desktop and the
// setting that names it, a good one runs its StartUp page and is kept for the next start, and the
// first page's password is asked at start.
#include "e2e/desktop_fixture.h"

#include <commctrl.h>

#include "builder/new_desktop.h"
#include "win/dialogs/selector_ids.h"
#include "win/security/security_resources.h"
#include "win/shell/loading_ids.h"
#include "win/shell/registry_settings.h"
#include "win/shell/shell_runtime.h"

namespace vx::e2e {
namespace {

namespace fs = std::filesystem;
using vx::shell::MenuCommand;

class DesktopFileTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        set_setting("ExitPrompt", "0");
    }

    static HWND tabs(HWND main) { return GetDlgItem(main, win::shell::kIdPageTabs); }
    static int tab_count(HWND main) { return static_cast<int>(SendMessageW(tabs(main), TCM_GETITEMCOUNT, 0, 0)); }
    static int selected_tab(HWND main) { return static_cast<int>(SendMessageW(tabs(main), TCM_GETCURSEL, 0, 0)); }

    static std::string stored_desktop_file() {
        wchar_t value[1024]{};
        DWORD size = sizeof value - sizeof(wchar_t);
        if (RegGetValueW(HKEY_CURRENT_USER, win::shell::kSettingsKey, L"DeskTopFile", RRF_RT_REG_SZ, nullptr, value,
                         &size) != ERROR_SUCCESS)
            return {};
        return win::narrow(value);
    }

    // "&Open" from the keyboard, the file's path typed into the selector's location box, then OK.
    void open_from_the_menu(HWND main, const fs::path& file) {
        ASSERT_TRUE(menu_command(main, MenuCommand::OpenDesktop)) << "no \"&Open\"";
        const HWND selector = wait_for_window(L"#32770", win::widen(win::shell::kOpenDesktopTitle).c_str(), 15s);
        ASSERT_NE(selector, nullptr) << "the desktop file selector did not open";
        Sleep(300);
        click_control(selector, IDC_EDIT_LOCATION);
        press_key('A', {VK_CONTROL});
        type_text(file.wstring());
        press_key(VK_RETURN);
        Sleep(500);
        screenshot("selector");
        answer(selector, IDOK);
        ASSERT_TRUE(eventually([&] { return !IsWindow(selector); })) << "the selector took no file";
    }

    // Ends the shell from its menu, as a person would, and waits until it has gone.
    void exit_from_the_menu(HWND main) {
        ASSERT_TRUE(menu_command(main, MenuCommand::Exit));
        ASSERT_TRUE(wait_for_exit(0, 20s).has_value()) << "the shell did not end";
    }
};

TEST_F(DesktopFileTest, AMissingDesktopFileIsNeverWrittenBehindTheAdministratorsBack) {
    start_shell();
    const HWND main = wait_for_window(win::shell::kMainFormClass);
    ASSERT_NE(main, nullptr);
    // No desktop: one is offered; declined, and no file chosen for it, the designer opens on
    // "Page 1", with "Master" before it and "StartUp" after.
    const HWND offer = wait_for_window(L"#32770", win::widen(vx::builder::kNewDesktopCaption).c_str(), 15s);
    ASSERT_NE(offer, nullptr) << "no new desktop offered";
    Sleep(300);
    screenshot("offer");
    answer(offer, IDNO);
    const HWND selector = wait_for_window(L"#32770", win::widen(vx::builder::kNewDesktopFileTitle).c_str(), 15s);
    ASSERT_NE(selector, nullptr) << "no selector for the new desktop's file";
    Sleep(300);
    answer(selector, IDCANCEL);
    ASSERT_TRUE(eventually([&] { return tab_count(main) == 3; })) << "not in modify mode on a starter desktop";
    EXPECT_EQ(selected_tab(main), 1);
    Sleep(300);
    screenshot();
    const fs::path file = folder() / "VX.DTP";
    EXPECT_FALSE(fs::exists(file)) << "written at start";
    // Closed untouched: nothing was laid out, so nothing is saved.
    press_key(main, VK_F4, {VK_MENU});
    ASSERT_TRUE(wait_for_exit(0, 20s).has_value()) << "the shell did not end";
    EXPECT_FALSE(fs::exists(file)) << "written at exit";
    EXPECT_EQ(stored_desktop_file(), file.string()) << "the setting still names the file to come";
}

TEST_F(DesktopFileTest, ALargeDesktopLoadsUnderTheWelcomeWindow) {
    // Large enough to be seen loading: 300 pages of 30 buttons.
    for (int p = 0; p < 300; ++p) {
        const std::string name = "Page " + std::to_string(p + 2);
        desktop.add_page(name);
        for (int i = 0; i < 30; ++i) add_recorder_button(name, recorder_line("never"), 10 + 4 * i, 10 + 4 * i);
    }
    save_desktop();
    start_shell();
    HWND welcome = nullptr;
    // It is made hidden and shows once its gauge is set.
    eventually([&] { return (welcome = FindWindowW(L"#32770", L"Welcome to...")) && IsWindowVisible(welcome); },
               20s);
    ASSERT_NE(welcome, nullptr) << "no loading window";
    Sleep(150);  // the first pages on the gauge
    screenshot();
    // The shell is busy reading and answers no message now; what it shows is all there is.
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(welcome, IDC_PROGRESS_LOADING)));
    const HWND main = wait_for_window(win::shell::kMainFormClass);
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(eventually([&] { return !IsWindow(welcome); }, 30s)) << "the loading window stayed";
    EXPECT_TRUE(eventually([&] { return tab_count(main) == 301; }, 30s));
}

TEST_F(DesktopFileTest, OpeningADamagedDesktopKeepsTheShownOneAndTheSettingNamingIt) {
    add_recorder_button(std::string(model::kStartUpPage), recorder_line("at-start"));
    const fs::path broken = folder() / "BROKEN.DTP";
    {
        std::ofstream out(broken, std::ios::binary);
        out << "2\r\nMaster=\r\nPageTitle=Half\r\nPageTitle=Read\r\nPageDim=ten 10\r\n";
    }
    const HWND main = start_on_desktop();
    ASSERT_NE(main, nullptr);
    ASSERT_FALSE(wait_for_record().empty()) << "the first start-up work did not run";
    forget_record();

    open_from_the_menu(main, broken);
    if (HasFatalFailure()) return;
    const HWND error = wait_for_window(L"#32770", L"Error In loading Desktop File", 15s);
    ASSERT_NE(error, nullptr) << "the damaged file was not reported";
    Sleep(300);
    screenshot("error");
    answer(error, IDOK);
    ASSERT_TRUE(eventually([&] { return !IsWindow(error); }));
    // A new desktop is offered in its place; cancelling its file selector keeps the shown one.
    const HWND offer = wait_for_window(L"#32770", win::widen(vx::builder::kNewDesktopCaption).c_str(), 15s);
    ASSERT_NE(offer, nullptr) << "no new desktop offered";
    Sleep(300);
    answer(offer, IDNO);
    const HWND selector = wait_for_window(L"#32770", win::widen(vx::builder::kNewDesktopFileTitle).c_str(), 15s);
    ASSERT_NE(selector, nullptr) << "no selector for the new desktop's file";
    Sleep(300);
    answer(selector, IDCANCEL);
    ASSERT_TRUE(eventually([&] { return !IsWindow(selector); }));
    Sleep(1000);
    EXPECT_EQ(tab_count(main), 1) << "the half-read desktop shows";
    EXPECT_EQ(selected_tab(main), 0);
    EXPECT_FALSE(recorded()) << "the shown desktop's StartUp page ran a second time";
    screenshot("kept");

    exit_from_the_menu(main);
    EXPECT_EQ(stored_desktop_file(), (folder() / "VX.DTP").string()) << "the damaged file became the desktop file";
}

TEST_F(DesktopFileTest, AnOpenedDesktopRunsItsStartUpPageAndIsTheNextStartsDesktop) {
    // The desktop to open: two pages and a StartUp button of its own.
    desktop.add_page("Elsewhere");
    add_recorder_button(std::string(model::kStartUpPage), recorder_line("opened"));
    const fs::path other = folder() / "OTHER.DTP";
    save_desktop_as(desktop, other);
    desktop.clear();
    desktop.create_master_page();
    desktop.add_page("Page 1");
    desktop.add_page(std::string(model::kStartUpPage));

    const HWND main = start_on_desktop();
    ASSERT_NE(main, nullptr);
    ASSERT_EQ(tab_count(main), 1);
    open_from_the_menu(main, other);
    if (HasFatalFailure()) return;
    const auto record = wait_for_record();
    ASSERT_FALSE(record.empty()) << "the opened desktop's StartUp page did not run";
    EXPECT_NE(upper(record.at("cmdline")).find("OPENED"), std::string::npos);
    EXPECT_TRUE(eventually([&] { return tab_count(main) == 2; }));
    Sleep(300);
    screenshot();
    exit_from_the_menu(main);
    EXPECT_EQ(stored_desktop_file(), other.string());
}

TEST_F(DesktopFileTest, TheFirstPagesPasswordIsAskedAtStart) {
    desktop.find_page("Page 1")->password = "Orchid";
    const HWND main = start_on_desktop();
    ASSERT_NE(main, nullptr);
    const HWND prompt = wait_for_window(L"#32770", L"Password Required", 15s);
    ASSERT_NE(prompt, nullptr) << "the protected first page showed without its password";
    EXPECT_EQ(selected_tab(main), -1) << "a page was chosen before the password";
    Sleep(300);
    screenshot("asked");
    click_control(prompt, IDC_EDIT_PASSWORD);
    type_text(L"orchid");
    press_key(VK_RETURN);
    ASSERT_TRUE(eventually([&] { return !IsWindow(prompt); }));
    EXPECT_TRUE(eventually([&] { return selected_tab(main) == 0; })) << "the page did not show";
    Sleep(300);
    screenshot("shown");
}

TEST_F(DesktopFileTest, AProtectedFirstPageIsPassedOverForOneThatIsOpen) {
    desktop.find_page("Page 1")->password = "Orchid";
    desktop.add_page("Open to all");
    const HWND main = start_on_desktop();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(eventually([&] { return selected_tab(main) == 1; })) << "not the open page";
    EXPECT_EQ(wait_for_dialog(main, 2s), nullptr) << "a question at start while a page is open";
}

}  // namespace
}  // namespace vx::e2e
