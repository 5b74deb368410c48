// The ways out of the shell and the states in which it must stay shut, tried with real keys and
// clicks on the real shell: Alt+F4 as the Windows shell and with "E&xit" hidden, F10, a damaged
// administration file, and Windows ending the session.
#include <algorithm>
#include <fstream>
#include <iterator>

#include "e2e/desktop_fixture.h"
#include "security/file_cipher.h"
#include "security/usage_log.h"
#include "util/file_io.h"
#include "win/security/security_resources.h"

namespace vx::e2e {
namespace {

namespace fs = std::filesystem;
constexpr const wchar_t* kWinlogon = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";

// Security= fields, in order: idle lock, lock time, usage log, mark, validate users, disable
// keys, exit time on, exit logs off, monthly logs, exit time.
class LockdownTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        // Whatever the shell asks of the session is written down, not done: a real end of the
        // session would end this driver too.
        session_record_ = folder() / "session.txt";
        SetEnvironmentVariableW(L"VX_SESSION_RECORD", session_record_.wstring().c_str());
    }
    void TearDown() override {
        DesktopTest::TearDown();
        SetEnvironmentVariableW(L"VX_SESSION_RECORD", nullptr);
        if (registered_) unregister_shell();
    }

    void write_admin(const std::string& text) {
        // Written whole and at once: the shell may read it at any moment.
        const Bytes bytes(text.begin(), text.end());
        write_file_atomic((folder() / "ADMAN.ADM").string(), bytes);
    }
    static std::string user_ann() {
        return "Group=Pupils\r\nGroupSecurity=5\r\nUser=ANN\r\nPassword=apple\r\nLaunchDay=4095\r\nUserGroup=0\r\n";
    }

    // The Winlogon Shell value names the test's copy of the shell; the old value comes back at
    // tear-down.
    void register_as_windows_shell() {
        wchar_t old[1024]{};
        DWORD size = sizeof old - sizeof(wchar_t);
        had_shell_ = RegGetValueW(HKEY_LOCAL_MACHINE, kWinlogon, L"Shell", RRF_RT_REG_SZ, nullptr, old, &size) ==
                     ERROR_SUCCESS;
        old_shell_ = old;
        const std::wstring ours = (folder() / "vantorx.exe").wstring();
        ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, kWinlogon, L"Shell", REG_SZ, ours.c_str(),
                                  static_cast<DWORD>((ours.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
        registered_ = true;
    }
    void unregister_shell() {
        if (had_shell_)
            RegSetKeyValueW(HKEY_LOCAL_MACHINE, kWinlogon, L"Shell", REG_SZ, old_shell_.c_str(),
                            static_cast<DWORD>((old_shell_.size() + 1) * sizeof(wchar_t)));
        else
            RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kWinlogon, L"Shell");
        registered_ = false;
    }

    // Types a name and password into "Validate User" as a person would, and presses Enter.
    void log_in(HWND main, const wchar_t* name, const wchar_t* password) {
        const HWND dialog = wait_for_window(L"#32770", L"Validate User");
        ASSERT_NE(dialog, nullptr) << "no log-in";
        Sleep(300);
        click_control(dialog, IDC_EDIT_NAME);
        type_text(name);
        click_control(dialog, IDC_EDIT_PASSWORD);
        type_text(password);
        press_key(VK_RETURN);
        ASSERT_TRUE(eventually([&] { return !IsWindow(dialog); })) << "the log-in did not pass";
        ASSERT_TRUE(bring_to_front(main));
    }

    // Any dialog of the shell shown within `time`.
    static HWND any_dialog(HWND main, std::chrono::milliseconds time) { return wait_for_dialog(main, time); }

    std::string session_calls() const {
        std::ifstream in(session_record_);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    fs::path session_record_;
    bool registered_ = false, had_shell_ = false;
    std::wstring old_shell_;
};

TEST_F(LockdownTest, AltF4AsTheWindowsShellOffersTheWindowsExitChoicesOtherwiseAsks) {
    register_as_windows_shell();
    const HWND main = start_on_desktop();
    ASSERT_NE(main, nullptr);
    press_key(main, VK_F4, {VK_MENU});
    const HWND choices = wait_for_window(L"#32770", L"Shut Down Windows", 10s);
    ASSERT_NE(choices, nullptr) << (running(0) ? "Alt+F4 offered nothing" : "Alt+F4 closed the shell");
    Sleep(300);
    screenshot();
    answer(choices, IDCANCEL);  // "&No"
    ASSERT_TRUE(eventually([&] { return !IsWindow(choices); }));
    Sleep(500);
    EXPECT_TRUE(running(0)) << "\"&No\" keeps the shell";
    EXPECT_EQ(session_calls(), "") << "nothing of the session was ended";

    // Not the Windows shell: the exit question ("ExitPrompt" is on by default).
    unregister_shell();
    press_key(main, VK_F4, {VK_MENU});
    const HWND question = wait_for_window(L"#32770", L"Exit Vantora!", 10s);
    ASSERT_NE(question, nullptr) << (running(0) ? "Alt+F4 asked nothing" : "Alt+F4 closed the shell");
    answer(question, IDNO);
    ASSERT_TRUE(eventually([&] { return !IsWindow(question); }));
    Sleep(500);
    EXPECT_TRUE(running(0));
}

TEST_F(LockdownTest, WithExitHiddenNoCloseFromTheSystemDoesAnything) {
    // Ann (level 5) may not see "E&xit": slot 5 is hidden below level 1000.
    std::string guards;
    for (int slot = 0; slot < 5; ++slot) guards += "MenuPassword=\r\nMenuSecurity=0\r\nMenuVisible=1\r\n";
    guards += "MenuPassword=\r\nMenuSecurity=1000\r\nMenuVisible=0\r\n";
    write_admin("Security=0 0 0 0 1 0 0 0 0 0\r\n" + user_ann() + guards);
    register_as_windows_shell();
    const HWND main = start_on_desktop();
    ASSERT_NE(main, nullptr);
    log_in(main, L"ANN", L"APPLE");
    if (HasFatalFailure()) return;
    // The "&Desktop" menu opens, but its "E&xit" letter chooses nothing.
    if (menu_command(main, vx::shell::MenuCommand::Exit)) {
        EXPECT_EQ(any_dialog(main, 2s), nullptr) << "E&xit is hidden";
        press_key(VK_ESCAPE);
        press_key(VK_ESCAPE);
    }
    ASSERT_TRUE(eventually([&] { return (gui_flags(main) & GUI_INMENUMODE) == 0; })) << "the menu stayed open";
    EXPECT_TRUE(running(0));

    press_key(main, VK_F4, {VK_MENU});
    PostMessageW(main, WM_CLOSE, 0, 0);  // and a close sent by another program
    EXPECT_EQ(any_dialog(main, 3s), nullptr) << "a close asked where it must do nothing";
    EXPECT_TRUE(running(0));
    EXPECT_EQ(GetWindowLongW(main, GWL_STYLE) & WS_SYSMENU, 0) << "no close box either";
    screenshot();
}

TEST_F(LockdownTest, F10FromTheKeyboardOpensValidateUserNotTheMenuBar) {
    write_admin("Security=0 0 0 0 0 0 0 0 0 0\r\n" + user_ann());
    const HWND main = start_on_desktop();
    ASSERT_NE(main, nullptr);
    press_key(main, VK_F10);
    const HWND dialog = wait_for_window(L"#32770", L"Validate User", 10s);
    ASSERT_NE(dialog, nullptr) << "F10 did not open the log-in";
    EXPECT_EQ(gui_flags(main) & GUI_INMENUMODE, 0u) << "the menu bar took F10";
    Sleep(300);
    screenshot();
    log_in(main, L"ANN", L"APPLE");
}

TEST_F(LockdownTest, DamagedAdministrationFileStartsNothingUntilItIsRepaired) {
    write_admin("Security=0 0 0 0 1 0 0 0 0 0\r\nGroup=Pupils\r\nGroupSecurity=abc\r\n"
                "User=ANN\r\nPassword=apple\r\nLaunchDay=4095\r\nUserGroup=0\r\n");
    add_recorder_button(std::string(model::kStartUpPage), recorder_line("at-start"));
    save_desktop();
    start_shell();
    const HWND main = wait_for_window(win::shell::kMainFormClass);
    ASSERT_NE(main, nullptr);

    // Told once; the message does not come back after OK.
    const HWND error = wait_for_window(L"#32770", L"Error", 15s);
    ASSERT_NE(error, nullptr) << "the damaged file was not reported";
    press_key(error, VK_RETURN);
    ASSERT_TRUE(eventually([&] { return !IsWindow(error); }));
    EXPECT_EQ(any_dialog(main, 4s), nullptr) << "the error came back";
    EXPECT_FALSE(recorded()) << "a StartUp button ran on a station whose rules are unknown";
    screenshot();

    // No Run Program, whether from the menu or sent by another program; no way out.
    EXPECT_FALSE(menu_command(main, vx::shell::MenuCommand::Run)) << "the Desktop menu is there";
    PostMessageW(main, WM_COMMAND, win::shell::kIdMenuFirst + static_cast<int>(vx::shell::MenuCommand::Run), 0);
    press_key(main, VK_F4, {VK_MENU});
    EXPECT_EQ(any_dialog(main, 3s), nullptr);
    EXPECT_TRUE(running(0));
    EXPECT_FALSE(recorded());

    // Repaired: the station opens as at a first start, with the log-in the file demands.
    write_admin("Security=0 0 0 0 1 0 0 0 0 0\r\n" + user_ann());
    log_in(main, L"ANN", L"APPLE");
    if (HasFatalFailure()) return;
    const auto record = wait_for_record();
    ASSERT_FALSE(record.empty()) << "the StartUp button did not run once the station opened";
    EXPECT_NE(upper(record.at("cmdline")).find("AT-START"), std::string::npos);
    Sleep(300);
    screenshot("unlocked");
}

TEST_F(LockdownTest, EndOfTheSessionAppendsTheRecordsAndEnciphersTheProtectedFile) {
    const fs::path log = folder() / "USAGE.LOG";
    const fs::path notes = folder() / "NOTES.TXT";
    {
        std::ofstream(notes, std::ios::binary) << "The day's private notes.\r\n";
    }
    write_admin("Security=0 0 1 0 0 0 0 0 0 0\r\nLogFile=" + log.string() +
                "\r\nEncryption=Walnut\r\nFileName=" + notes.string() + "\r\nFileSecurity=0\r\n");
    auto& button = add_recorder_button("Page 1", recorder_line("--window Tracked"));
    const HWND main = start_on_desktop();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(put_tracked_program_in_front(main, button));
    Sleep(3000);
    EXPECT_FALSE(fs::exists(log));

    // What Windows does at a log-off started elsewhere: the end-of-session messages to every
    // program, and then the end of the ones still there.
    STARTUPINFOW si{};
    si.cb = sizeof si;
    win::unique_process_information pi;
    std::wstring command = L"wineboot.exe --end-session";
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, pi.put()));
    EXPECT_EQ(WaitForSingleObject(pi.get().hProcess, 60000), WAIT_OBJECT_0);
    EXPECT_TRUE(wait_for_exit(0, 20s).has_value()) << "the shell outlived the session";

    ASSERT_TRUE(fs::exists(log)) << "the day's records were lost";
    Windows1252Codec codec;
    const auto records = vx::security::read_usage_log(log.string(), codec);
    EXPECT_TRUE(std::any_of(records.begin(), records.end(), [](const auto& r) { return r.program == "TRACKED"; }))
        << records.size() << " records, none for the program in front";
    EXPECT_TRUE(vx::security::has_cipher_trailer(read_file(notes.string()))) << "the protected file was left plain";
}

TEST_F(LockdownTest, LogOffButtonKeepsTheRecordsBeforeWindowsIsAsked) {
    const fs::path log = folder() / "USAGE.LOG";
    write_admin("Security=0 0 1 0 0 0 0 0 0 0\r\nLogFile=" + log.string() + "\r\n");
    auto& tracked_button = add_recorder_button("Page 1", recorder_line("--window Tracked"));
    model::ButtonData logoff;
    logoff.kind = model::kKindProgram;
    logoff.caption = "Log off";
    logoff.bounds = {20, 80, 120, 40};
    logoff.command = "<LOGOFF>\r";
    logoff.command_lines = 1;
    logoff.security_level = 0;
    auto& logoff_button = desktop.add_object(*desktop.find_page("Page 1"), logoff);
    const HWND main = start_on_desktop();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(put_tracked_program_in_front(main, tracked_button));
    Sleep(2500);

    click_button(main, logoff_button);
    ASSERT_TRUE(eventually([&] { return session_calls().find("log_off") != std::string::npos; }))
        << "the button did not ask Windows to log off: " << session_calls();
    EXPECT_TRUE(fs::exists(log)) << "the records were not kept before Windows was asked";
}

}  // namespace
}  // namespace vx::e2e
