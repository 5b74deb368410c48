// The log-in the administration file asks for when the main window first shows, and the
// system-key lock around it, driven through the real "Validate User" dialog.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "security/admin_file.h"
#include "security/file_cipher.h"
#include "unit/security/security_fakes.h"
#include "util/file_io.h"
#include "win/security/security_resources.h"
#include "win/shell/main_form.h"
#include "win/shell/registry_settings.h"
#include "win/support/real_input.h"
#include "win/util/text.h"

namespace vx::win::shell {
namespace {

using vx::security::testing::FakeSession;
using vx::testing::FakeClock;

// Types into "Validate User" whenever it is up, one name and password per appearance of the
// dialog's timer tick, and notes what the shell had done by the time it first saw the dialog.
struct LoginAnswer {
    static inline std::vector<std::pair<std::string, std::string>> attempts;
    static inline int seen = 0;
    static inline std::function<void()> on_first_sight;
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
        const HWND dialog = FindWindowW(L"#32770", L"Validate User");
        if (!dialog || !IsWindowEnabled(GetDlgItem(dialog, IDC_EDIT_NAME))) return;
        if (seen++ == 0 && on_first_sight) on_first_sight();
        if (attempts.empty()) return;
        const auto [name, password] = attempts.front();
        attempts.erase(attempts.begin());
        SetDlgItemTextW(dialog, IDC_EDIT_NAME, widen(name).c_str());
        SetDlgItemTextW(dialog, IDC_EDIT_PASSWORD, widen(password).c_str());
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    }
};

class LoginStart : public ::testing::Test {
protected:
    const std::wstring key =
        L"Software\\Halvane\\VantoraTest\\Login" + std::to_wstring(GetCurrentProcessId());
    RegistrySettingsStore store{key};
    std::string dir;
    FakeSession session;
    // A Tuesday.
    FakeClock clock{make_datetime({2026, 3, 10}, {12, 0, 0})};
    UINT_PTR timer = 0;

    void SetUp() override {
        wchar_t tmp[MAX_PATH]{};
        GetTempPathW(MAX_PATH, tmp);
        dir = narrow(tmp) + "vxlogin" + std::to_string(GetCurrentProcessId());
        CreateDirectoryW(widen(dir).c_str(), nullptr);
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES};
        InitCommonControlsEx(&icc);
        LoginAnswer::attempts.clear();
        LoginAnswer::seen = 0;
        LoginAnswer::on_first_sight = nullptr;
        timer = SetTimer(nullptr, 0, 30, &LoginAnswer::tick);
    }
    void TearDown() override {
        KillTimer(nullptr, timer);
        RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
        for (const char* f : {"VX.DTP", "VX.BAK", "ADMAN.ADM"}) DeleteFileW(widen(join_path(dir, f)).c_str());
        RemoveDirectoryW(widen(dir).c_str());
    }
    // Security= fields: idle lock, time, usage log, mark, validate users, disable keys, ...
    void write_admin(const std::string& security) {
        const std::string text = "Security=" + security +
                                 "\r\n"
                                 "Group=Pupils\r\nGroupSecurity=5\r\n"
                                 "Group=Staff\r\nGroupSecurity=50\r\n"
                                 "User=ANN\r\nPassword=apple\r\nLaunchDay=4095\r\nUserGroup=1\r\n"
                                 // Slot 0, the "&Desktop" menu: hidden, level 1000.
                                 "MenuPassword=\r\nMenuSecurity=1000\r\nMenuVisible=0\r\n";
        write_file_atomic(join_path(dir, "ADMAN.ADM"), Bytes(text.begin(), text.end()));
    }
    void prepare(TMainForm& form) {
        form.set_program_dir(dir);
        form.set_session(&session);
        form.set_clock(&clock);
    }
    static void close(TMainForm& form) {
        DestroyWindow(form.hwnd());
        MSG m;
        while (PeekMessageW(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
    static std::wstring first_menu(const TMainForm& form) {
        wchar_t text[64]{};
        GetMenuStringW(GetMenu(form.hwnd()), 0, text, 64, MF_BYPOSITION);
        return text;
    }
};

TEST_F(LoginStart, AsksBeforeTheDesktopLoadsKeepsTheKeysLockedAndReleasesThemAtExit) {
    write_admin("0 0 0 0 1 1 0 0 0 0");
    TMainForm form(store);
    prepare(form);
    ASSERT_TRUE(form.create(GetModuleHandleW(nullptr)));
    std::vector<std::string> calls_at_dialog;
    size_t pages_at_dialog = 99;
    LoginAnswer::on_first_sight = [&] {
        calls_at_dialog = session.calls;
        pages_at_dialog = form.station().desktop().pages().size();
    };
    // A wrong password first: the dialog stays and takes the right one.
    LoginAnswer::attempts = {{"ANN", "PEAR"}, {"ANN", "APPLE"}};
    form.first_show();

    EXPECT_EQ(LoginAnswer::seen, 2);
    EXPECT_EQ(pages_at_dialog, 0u) << "the log-in comes before the desktop";
    EXPECT_EQ(calls_at_dialog, (std::vector<std::string>{"keys_locked", "keys_locked"}));
    EXPECT_EQ(form.station().user_name(), "ANN");
    ASSERT_NE(form.station().admin().current_user(), nullptr);
    ASSERT_EQ(form.station().admin().current_user()->groups.size(), 1u);
    EXPECT_EQ(form.station().admin().groups[form.station().admin().current_user()->groups[0]].name, "Staff");
    EXPECT_EQ(form.dde_user_item().text(), "ANN");
    EXPECT_FALSE(form.station().desktop().pages().empty());
    EXPECT_FALSE(form.station().locked());
    // The guards were applied for Ann: the hidden "&Desktop" menu is gone.
    EXPECT_EQ(first_menu(form), L"&Page");
    // The file keeps the keys locked for the whole session.
    EXPECT_EQ(session.calls, (std::vector<std::string>{"keys_locked", "keys_locked"}));

    close(form);
    EXPECT_EQ(session.calls.back(), "keys_unlocked");
}

TEST_F(LoginStart, WithoutValidateUsersNoDialogUntilF10AndTheKeysFollowTheLogIn) {
    write_admin("0 0 0 0 0 0 0 0 0 0");
    TMainForm form(store);
    prepare(form);
    ASSERT_TRUE(form.create(GetModuleHandleW(nullptr)));
    form.first_show();
    EXPECT_EQ(LoginAnswer::seen, 0);
    EXPECT_EQ(form.station().user_name(), "");
    EXPECT_TRUE(session.calls.empty());
    EXPECT_EQ(first_menu(form), L"&Desktop") << "design-time visibility until someone logs in";

    LoginAnswer::attempts = {{"ANN", "APPLE"}};
    // F10 from the keyboard comes as a system key; it must open the log-in, not the menu bar.
    form.show(SW_SHOWNORMAL);
    ASSERT_TRUE(test::bring_to_front(form.hwnd()));
    test::press_key(VK_F10);
    EXPECT_TRUE(test::pump_until([] { return LoginAnswer::seen == 1; }));
    test::settle();
    EXPECT_EQ(LoginAnswer::seen, 1);
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetCurrentThreadId(), &info);
    EXPECT_EQ(info.flags & GUI_INMENUMODE, 0u) << "the menu bar took the key";
    EXPECT_EQ(form.station().user_name(), "ANN");
    // Locked while the dialog showed, released by the log-in as the file does not keep them.
    EXPECT_EQ(session.calls, (std::vector<std::string>{"keys_locked", "keys_unlocked"}));
    EXPECT_EQ(first_menu(form), L"&Page");
    close(form);
}

TEST_F(LoginStart, F10WithoutAnyUserOpensNothing) {
    TMainForm form(store);
    prepare(form);
    ASSERT_TRUE(form.create(GetModuleHandleW(nullptr)));
    form.first_show();
    form.show(SW_SHOWNORMAL);
    ASSERT_TRUE(test::bring_to_front(form.hwnd()));
    test::press_key(VK_F10);
    test::settle();
    EXPECT_EQ(LoginAnswer::seen, 0);
    EXPECT_EQ(form.station().user_name(), "");
    close(form);
}

TEST_F(LoginStart, AReadOnlyAdministrationFolderServesAndIsNeverWritten) {
    // A shared folder the station may only read: the file lies there enciphered and read-only.
    const std::string share = join_path(dir, "share");
    const std::string path = join_path(share, "ADMAN.ADM");
    CreateDirectoryW(widen(share).c_str(), nullptr);
    write_admin("0 0 0 0 1 1 0 0 0 0");
    MoveFileW(widen(join_path(dir, "ADMAN.ADM")).c_str(), widen(path).c_str());
    int mark = 3;
    vx::security::cipher_file(path, vx::security::kAdminKey, vx::security::CipherDirection::Encipher, mark);
    const Bytes stored = read_file(path);
    SetFileAttributesW(widen(path).c_str(), FILE_ATTRIBUTE_READONLY);
    struct Cleanup {
        std::string file, folder;
        ~Cleanup() {
            SetFileAttributesW(widen(file).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(widen(file).c_str());
            RemoveDirectoryW(widen(folder).c_str());
        }
    } cleanup{path, share};
    store.write("", "AdminDir", share);

    TMainForm form(store);
    prepare(form);
    ASSERT_TRUE(form.create(GetModuleHandleW(nullptr)));
    LoginAnswer::attempts = {{"ANN", "APPLE"}};
    form.first_show();
    EXPECT_TRUE(form.station().admin_loaded());
    EXPECT_FALSE(form.station().locked());
    EXPECT_EQ(form.station().user_name(), "ANN");
    EXPECT_EQ(read_file(path), stored);
    close(form);
    EXPECT_EQ(read_file(path), stored);
}

TEST_F(LoginStart, MonthlyLogsWithoutALogFileLineStayInTheSettingsFolder) {
    const std::string text = "Security=0 0 1 0 0 0 1 0 0 0\r\n";
    write_file_atomic(join_path(dir, "ADMAN.ADM"), Bytes(text.begin(), text.end()));
    const std::string setting = join_path(dir, "SITE.LOG");
    store.write("", "LogFile", setting);
    TMainForm form(store);
    prepare(form);
    ASSERT_TRUE(form.create(GetModuleHandleW(nullptr)));
    form.first_show();
    SYSTEMTIME now;
    GetLocalTime(&now);
    EXPECT_EQ(form.station().admin().log_path, vx::security::monthly_log_path(setting, now.wMonth));
    EXPECT_EQ(dir_of(form.station().admin().log_path), dir);
    close(form);
}

// The alert the shell raises over the main window, read and closed as the user would.
struct AlertAnswer {
    static inline std::vector<std::string> texts;
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
        const HWND box = FindWindowW(L"#32770", L"Administration File");
        if (!box) return;
        wchar_t text[2048]{};
        GetDlgItemTextW(box, 0xFFFF, text, 2048);
        texts.push_back(narrow(text));
        SendMessageW(box, WM_COMMAND, IDOK, 0);
    }
};

TEST_F(LoginStart, RestrictedDirectoriesReadWithCareAreReportedOnce) {
    const std::string text =
        "Security=0 0 0 0 0 0 0 0 0 0\r\nDirName=C:\\Exams\r\nDirName=\\Staff\r\nDirSecurity=50\r\n";
    write_file_atomic(join_path(dir, "ADMAN.ADM"), Bytes(text.begin(), text.end()));
    AlertAnswer::texts.clear();
    const UINT_PTR alerts = SetTimer(nullptr, 0, 30, &AlertAnswer::tick);
    TMainForm form(store);
    prepare(form);
    ASSERT_TRUE(form.create(GetModuleHandleW(nullptr)));
    form.first_show();
    KillTimer(nullptr, alerts);
    ASSERT_EQ(AlertAnswer::texts.size(), 1u);
    EXPECT_NE(AlertAnswer::texts[0].find("Line 3: The restricted directory \"\\Staff\" is not a full path"),
              std::string::npos)
        << AlertAnswer::texts[0];
    EXPECT_EQ(AlertAnswer::texts[0].find("Exams"), std::string::npos);
    EXPECT_TRUE(form.station().admin_loaded());
    close(form);
}

}  // namespace
}  // namespace vx::win::shell
