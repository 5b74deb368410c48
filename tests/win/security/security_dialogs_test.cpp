#include "win/security/security_dialogs.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "port/clock.h"
#include "security/access.h"
#include "security/page_password.h"
#include "unit/security/security_fakes.h"
#include "win/security/dialog_script.h"
#include "win/security/security_resources.h"
#include "win/support/real_input.h"

namespace vx::win::security {
namespace {

using testing::Scripted;
using vx::security::testing::admin_from;
using vx::security::testing::FakeDde;
using vx::security::testing::FakeDirs;
using vx::security::testing::FakeHooks;
using vx::security::testing::FakeSession;

const char* kSite =
    "Group=Master User List\nGroupSecurity=1000\nGroup=Pupils\nGroupSecurity=5\n"
    "User=ADMIN\nPassword=Root\nLaunchDay=4095\nUserGroup=0\n"
    "User=ANN\nPassword=apple\nLaunchDay=4095\nUserGroup=1\n";

class QuietPasswordDialog : public PasswordDialog {
public:
    using PasswordDialog::PasswordDialog;
    std::vector<std::string> told;

protected:
    void tell(const std::string& title, const std::string& text) override {
        told.push_back(title + ": " + text);
    }
};

TEST(PasswordRequired, WrongTextIsRefusedWithTheMessageRightOrMasterTextGrants) {
    AdminData data = admin_from(kSite);
    data.guards[vx::security::kGuardMaster].password = "Master";
    struct Case {
        const char* typed;
        bool granted;
    } cases[] = {{"wrong", false}, {"OPEN SESAME", true}, {"open sesame", true}, {"MASTER", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        PasswordRequest request;
        request.caption = "Password Required";
        request.text =
            "As you know, in order to access this option you must first enter the correct password.";
        request.matches = [&](std::string_view t) {
            return vx::security::password_matches(data, t, "Open Sesame");
        };
        Scripted<QuietPasswordDialog> dialog(request);
        bool ok_disabled_when_empty = false, still_open_after_ok = false;
        HBITMAP before = nullptr, after = nullptr;
        dialog.script = [&](auto& d) {
            ok_disabled_when_empty = !d.enabled(IDOK);
            before = d.picture(IDC_STATIC_PICTURE);
            d.type(IDC_EDIT_PASSWORD, c.typed);
            EXPECT_TRUE(d.enabled(IDOK));
            EXPECT_EQ(GetWindowTextW(d.control(IDC_EDIT_PASSWORD), nullptr, 0), 0)
                << "a password edit hands its text to no one but the dialog";
            EXPECT_EQ(SendMessageW(d.control(IDC_EDIT_PASSWORD), EM_GETPASSWORDCHAR, 0, 0), L'*');
            d.press(IDOK);
            after = d.picture(IDC_STATIC_PICTURE);
            still_open_after_ok = IsWindow(d.hwnd()) && IsWindowEnabled(d.hwnd());
        };
        EXPECT_EQ(dialog.run(nullptr), IDOK);
        EXPECT_TRUE(ok_disabled_when_empty);
        EXPECT_EQ(request.granted, c.granted);
        EXPECT_EQ(request.typed, c.typed);
        if (c.granted) {
            EXPECT_TRUE(dialog.told.empty());
            EXPECT_NE(after, before) << "the closed lock shows before the dialog goes";
            EXPECT_TRUE(still_open_after_ok);
        } else {
            EXPECT_EQ(dialog.told, std::vector<std::string>{"Whoops!: That's not the correct password!"});
        }
    }
}

TEST(PasswordRequired, CancelRefuses) {
    PasswordRequest request;
    request.matches = [](std::string_view) { return true; };
    Scripted<QuietPasswordDialog> dialog(request);
    dialog.script = [](auto& d) {
        d.type(IDC_EDIT_PASSWORD, "anything");
        PostMessageW(d.hwnd(), WM_CLOSE, 0, 0);
    };
    EXPECT_EQ(dialog.run(nullptr), IDCANCEL);
    EXPECT_FALSE(request.granted);
}

// ---- Validate User ---------------------------------------------------------------------------

struct SteppingClock : Clock {
    DateTime value = make_datetime({2026, 3, 10}, {12, 0, 0});
    DateTime now() const override { return value; }
};

class CountingLoginDialog : public LoginDialog {
public:
    using LoginDialog::LoginDialog;
    int beeps = 0;

protected:
    void beep() override { ++beeps; }
};

struct LoginRig {
    AdminData data = admin_from(kSite);
    SteppingClock clock;
    FakeHooks hooks;
    FakeDde dde;
    FakeDirs dirs;
    FakeSession session;
    vx::security::LoginPorts ports{dde, dirs, session};
    int mark = 0;
    LoginContext context{data, clock, hooks, ports, mark, {}};
};

TEST(ValidateUser, RefusesToCloseOnAWrongUserAndClosesOnARightOne) {
    LoginRig rig;
    Scripted<CountingLoginDialog> dialog(rig.context);
    dialog.script = [&](auto& d) {
        EXPECT_EQ(rig.session.calls, std::vector<std::string>{"keys_locked"})
            << "system keys locked while shown";
        EXPECT_FALSE(GetWindowLongW(d.hwnd(), GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME));
        EXPECT_TRUE(GetWindowLongW(d.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
        RECT r;
        GetWindowRect(d.hwnd(), &r);
        EXPECT_EQ(r.right - r.left, GetSystemMetrics(SM_CXSCREEN));
        EXPECT_EQ(r.bottom - r.top, GetSystemMetrics(SM_CYSCREEN));

        d.type(IDC_EDIT_NAME, "ANN");
        EXPECT_FALSE(d.enabled(IDOK)) << "OK needs both fields";
        d.type(IDC_EDIT_PASSWORD, "PEAR");
        EXPECT_TRUE(d.enabled(IDOK));
        d.press(IDOK);
        EXPECT_EQ(d.beeps, 1);
        EXPECT_EQ(d.text(IDC_EDIT_NAME), "");
        EXPECT_EQ(d.text(IDC_EDIT_PASSWORD), "");
        EXPECT_EQ(GetFocus(), d.control(IDC_EDIT_NAME));

        // A close request is a log-in attempt too, and it fails the same way.
        SendMessageW(d.hwnd(), WM_CLOSE, 0, 0);
        EXPECT_EQ(d.beeps, 2);

        // Typed in lower case, the edit turns it to upper case, as the stored values are compared.
        EXPECT_TRUE(test::bring_to_front(d.hwnd()));
        SetFocus(d.control(IDC_EDIT_NAME));
        test::type_text(L"ann");
        test::pump_until([&] { return d.text(IDC_EDIT_NAME).size() == 3; }, std::chrono::milliseconds(3000),
                         d.hwnd());
        EXPECT_EQ(d.text(IDC_EDIT_NAME), "ANN");
        d.type(IDC_EDIT_PASSWORD, "APPLE");
        d.press(IDOK);
    };
    EXPECT_EQ(dialog.run(nullptr), IDOK);
    ASSERT_TRUE(rig.context.user.has_value());
    EXPECT_EQ(rig.data.users[*rig.context.user].name, "ANN");
    EXPECT_EQ(rig.dde.text, "ANN");
    EXPECT_EQ(rig.session.calls, (std::vector<std::string>{"keys_locked", "keys_unlocked"}));
}

TEST(ValidateUser, ThirdFailureLocksInputWithBeepsUntilTheLockOutEnds) {
    LoginRig rig;
    Scripted<CountingLoginDialog> dialog(rig.context);
    dialog.script = [&](auto& d) {
        for (int i = 0; i < 3; ++i) {
            d.type(IDC_EDIT_NAME, "NOBODY");
            d.type(IDC_EDIT_PASSWORD, "X");
            d.press(IDOK);
        }
        EXPECT_TRUE(d.input_locked());
        EXPECT_FALSE(d.enabled(IDC_EDIT_NAME));
        EXPECT_FALSE(d.enabled(IDC_EDIT_PASSWORD));
        const int beeps_at_lock = d.beeps;
        d.pump(450);
        EXPECT_GE(d.beeps - beeps_at_lock, 2) << "a beep every 100 ms while locked";

        // A close request while locked is no attempt.
        const int beeps_before_close = d.beeps;
        SendMessageW(d.hwnd(), WM_CLOSE, 0, 0);
        EXPECT_LE(d.beeps - beeps_before_close, 1);

        rig.clock.value += 61.0 / 86400.0;
        d.pump(300);
        EXPECT_FALSE(d.input_locked());
        EXPECT_TRUE(d.enabled(IDC_EDIT_NAME));
        d.type(IDC_EDIT_NAME, "ADMIN");
        d.type(IDC_EDIT_PASSWORD, "ROOT");
        d.press(IDOK);
    };
    EXPECT_EQ(dialog.run(nullptr), IDOK);
    EXPECT_EQ(rig.context.user, std::optional<size_t>(0));
}

TEST(ValidateUser, TimedExitEndsTheSessionFromTheTimer) {
    LoginRig rig;
    rig.data.settings.exit_time_on = 1;
    rig.data.settings.exit_logs_off = 1;
    rig.hooks.exit = true;
    Scripted<CountingLoginDialog> dialog(rig.context);
    dialog.script = [&](auto& d) {
        d.pump(1300);
        EXPECT_FALSE(GetWindowLongW(d.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
        d.type(IDC_EDIT_NAME, "ADMIN");
        d.type(IDC_EDIT_PASSWORD, "ROOT");
        d.press(IDOK);
    };
    EXPECT_EQ(dialog.run(nullptr), IDOK);
    EXPECT_EQ(rig.session.calls,
              (std::vector<std::string>{"keys_locked", "keys_unlocked", "log_off forced", "keys_unlocked"}));
}

class TellingLoginDialog : public CountingLoginDialog {
public:
    using CountingLoginDialog::CountingLoginDialog;
    std::vector<std::string> told;

protected:
    void tell(const std::string& title, const std::string& text) override {
        told.push_back(title + ": " + text);
    }
};

TEST(ValidateUser, AProtectedFileThatWillNotSwitchIsNamedAndTheLogInStandsWithTheKeysFree) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("vx_login_files_" + std::to_string(GetCurrentProcessId()));
    std::filesystem::create_directories(dir);
    // No temporary file fits beside a name this long, so the file cannot be enciphered.
    const std::string name = std::string(240, 'p') + ".xls";
    std::ofstream(dir / name, std::ios::binary) << "staff pay";
    LoginRig rig;
    rig.data.encryption_key = "Lab Key";
    rig.data.protected_files = {{narrow((dir / name).wstring()), 50}};
    Scripted<TellingLoginDialog> dialog(rig.context);
    dialog.script = [](auto& d) {
        d.type(IDC_EDIT_NAME, "ANN");
        d.type(IDC_EDIT_PASSWORD, "APPLE");
        d.press(IDOK);
    };
    EXPECT_EQ(dialog.run(nullptr), IDOK);
    ASSERT_EQ(dialog.told.size(), 1u);
    EXPECT_EQ(dialog.told[0].rfind("Validate User: A protected file could not be switched:", 0), 0u)
        << dialog.told[0];
    EXPECT_NE(dialog.told[0].find(name), std::string::npos);
    EXPECT_EQ(rig.session.calls, (std::vector<std::string>{"keys_locked", "keys_unlocked"}));
    EXPECT_EQ(rig.dde.text, "ANN");
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}

// ---- Set Page Password -----------------------------------------------------------------------

TEST(SetPagePassword, LevelPanelOnlyForAdministratorsAndValuesComeOut) {
    struct Case {
        const char* user;  // who is logged in
        bool panel;
    } cases[] = {{"ADMIN", true}, {"ANN", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.user);
        AdminData data = admin_from(kSite);
        data.logged_in = data.find_user(c.user);
        PagePasswordValue value{"old", 7, 1};
        Scripted<PagePasswordDialog> dialog(data, value);
        dialog.script = [&](auto& d) {
            EXPECT_EQ(d.visible(IDC_EDIT_LEVEL), c.panel);
            EXPECT_EQ(d.visible(IDC_COMBO_GROUP), c.panel);
            EXPECT_EQ(d.text(IDC_EDIT_PASSWORD), "old") << "shown in clear";
            const HBITMAP closed = d.picture(IDC_STATIC_PICTURE);
            d.type(IDC_EDIT_PASSWORD, "");
            EXPECT_NE(d.picture(IDC_STATIC_PICTURE), closed) << "open lock while empty";
            d.type(IDC_EDIT_PASSWORD, "new one");
            EXPECT_EQ(d.picture(IDC_STATIC_PICTURE), closed);
            if (c.panel) {
                const HWND combo = d.control(IDC_COMBO_GROUP);
                EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
                wchar_t first[64] = {};
                SendMessageW(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
                EXPECT_EQ(narrow(first), "Any Group");
                SendMessageW(combo, CB_SETCURSEL, 0, 0);
                d.type(IDC_EDIT_LEVEL, "250");
            }
            d.press(IDOK);
        };
        EXPECT_EQ(dialog.run(nullptr), IDOK);
        EXPECT_EQ(value.password, "new one");
        EXPECT_EQ(value.level, c.panel ? 250 : 7);
        EXPECT_EQ(value.group, c.panel ? 0 : 1);
    }
}

class QuietPagePasswordDialog : public PagePasswordDialog {
public:
    using PagePasswordDialog::PagePasswordDialog;
    int told = 0;

protected:
    void tell(const std::string&, const std::string&) override { ++told; }
};

TEST(SetPagePassword, LevelOutsideTheRangeKeepsTheDialogOpen) {
    AdminData data = admin_from(kSite);
    data.logged_in = data.find_user("ADMIN");
    PagePasswordValue value{"", 3, 0};
    Scripted<QuietPagePasswordDialog> dialog(data, value);
    dialog.script = [&](auto& d) {
        for (const char* bad : {"1001", ""}) {
            d.type(IDC_EDIT_LEVEL, bad);
            d.press(IDOK);
        }
        EXPECT_EQ(d.told, 2);
        EXPECT_EQ(value.level, 3);
        d.press(IDCANCEL);
    };
    EXPECT_EQ(dialog.run(nullptr), IDCANCEL);
    EXPECT_EQ(value.level, 3);
}

// ---- Prompter ------------------------------------------------------------------------------

// Answers whatever dialog comes up on this thread: a thread timer is dispatched by the dialog's
// own modal loop.
struct Answerer {
    static inline std::string typed;
    static inline std::vector<std::string> seen;
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
        const HWND active = GetActiveWindow();
        if (!active) return;
        wchar_t title[128] = {};
        GetWindowTextW(active, title, 128);
        const std::string t = narrow(title);
        if (!seen.empty() && seen.back() == t) return;
        seen.push_back(t);
        if (t == "Password Required") {
            SetDlgItemTextW(active, IDC_EDIT_PASSWORD, widen(typed).c_str());
            PostMessageW(active, WM_COMMAND, IDOK, 0);
        } else {
            PostMessageW(active, WM_COMMAND, IDOK, 0);  // the message box
        }
    }
};

TEST(WinPrompter, CoresPasswordPromptAsksThroughTheDialog) {
    const AdminData data = admin_from(kSite);  // nobody logged in: every guard asks
    struct Case {
        const char* typed;
        bool granted;
        std::vector<std::string> seen;
    } cases[] = {
        {"open sesame", true, {"Password Required"}},
        {"nope", false, {"Password Required", "Whoops!"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        Answerer::typed = c.typed;
        Answerer::seen.clear();
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, &Answerer::tick);
        WinPrompter prompter;
        EXPECT_EQ(vx::security::password_prompt(data, prompter, "", "Open Sesame", 5), c.granted);
        KillTimer(nullptr, timer);
        EXPECT_EQ(Answerer::seen, c.seen);
    }
}

// Watches "Password Required" from a thread timer, which the dialog's own modal loop dispatches:
// once the dialog is up it asks for help and types the password with real key presses, then
// notes when the lock picture changes.
// Without a display that gives it the focus the keys go nowhere: it then gives up and cancels.
struct LockWatch {
    static inline HWND dialog = nullptr;
    static inline HBITMAP open_lock = nullptr;
    static inline DWORD started_at = 0, closed_at = 0;
    static inline bool typed = false, picture_changed_while_open = false, gave_up = false;
    static BOOL CALLBACK cancel(HWND window, LPARAM) {
        wchar_t title[64] = {};
        GetWindowTextW(window, title, 64);
        if (std::wstring(title) == L"Password Required") PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
        return TRUE;
    }
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
        if (!closed_at && !gave_up && GetTickCount() - started_at > 8000) {
            gave_up = true;
            EnumThreadWindows(GetCurrentThreadId(), &LockWatch::cancel, 0);
            return;
        }
        if (!dialog) {
            const HWND active = GetActiveWindow();
            wchar_t title[64] = {};
            if (!active || !IsWindowVisible(active) || !GetWindowTextW(active, title, 64) ||
                std::wstring(title) != L"Password Required")
                return;
            dialog = active;
            open_lock = picture();
            SetForegroundWindow(dialog);
            vx::win::test::press_key('H', {VK_MENU});  // "&Help", which takes the focus
            return;
        }
        if (!typed && GetFocus() == GetDlgItem(dialog, IDHELP)) {
            typed = true;
            SetFocus(GetDlgItem(dialog, IDC_EDIT_PASSWORD));  // back into the field, as a click would
            for (char c : std::string("APPLE")) vx::win::test::press_key(static_cast<WORD>(c));
            vx::win::test::press_key(VK_RETURN);
            return;
        }
        if (!closed_at && IsWindow(dialog) && picture() != open_lock) {
            closed_at = GetTickCount();
            picture_changed_while_open = IsWindowVisible(dialog) != FALSE;
        }
    }
    static HBITMAP picture() {
        return reinterpret_cast<HBITMAP>(
            SendDlgItemMessageW(dialog, IDC_STATIC_PICTURE, STM_GETIMAGE, IMAGE_BITMAP, 0));
    }
};

TEST(WinPrompter, TypedPasswordClosesTheLockForAMomentBeforeTheDialogGoes) {
    const AdminData data = admin_from(kSite);
    std::vector<int> help;
    WinPrompter prompter(nullptr, [&](int topic) { help.push_back(topic); });
    LockWatch::started_at = GetTickCount();
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, &LockWatch::tick);
    const bool granted = vx::security::password_prompt(data, prompter, "", "Apple", 5);
    const DWORD gone_at = GetTickCount();
    KillTimer(nullptr, timer);
    if (LockWatch::gave_up && help.empty()) GTEST_SKIP() << "no key reached the dialog on this display";
    EXPECT_TRUE(granted) << "the keys typed reached the password field";
    EXPECT_EQ(help, std::vector<int>{kPasswordHelpTopic});
    ASSERT_NE(LockWatch::closed_at, 0u) << "the closed lock was shown";
    EXPECT_TRUE(LockWatch::picture_changed_while_open);
    EXPECT_GE(gone_at - LockWatch::closed_at, PasswordDialog::kClosedLockMs - 60)
        << "the dialog stays with the closed lock before it goes";
    EXPECT_FALSE(IsWindow(LockWatch::dialog));
}

TEST(PagePassword, HelpOpensItsTopicAndF1ItsContext) {
    AdminData data = admin_from(kSite);
    PagePasswordValue value;
    Scripted<PagePasswordDialog> dialog(data, value);
    std::vector<int> help;
    dialog.show_help = [&](int topic) { help.push_back(topic); };
    dialog.script = [&](auto& d) {
        EXPECT_TRUE(d.enabled(IDHELP));
        d.press(IDHELP);
        HELPINFO info{};
        info.cbSize = sizeof info;
        SendMessageW(d.hwnd(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        d.press(IDCANCEL);
    };
    dialog.run(nullptr);
    EXPECT_EQ(help, (std::vector<int>{kPagePasswordHelpTopic, kPagePasswordHelpContext}));
}

// A modal dialog shows itself when its loop first goes idle, which a script that pumps on its
// own never lets happen.
template <class D>
void show_and_hold(D& d, DWORD ms) {
    ShowWindow(d.hwnd(), SW_SHOW);
    UpdateWindow(d.hwnd());
    d.pump(ms);
}

// Not a check: holds each dialog on screen for a while so that it can be photographed under
// Xvfb. Run with --gtest_also_run_disabled_tests --gtest_filter=*ShowEachDialog*.
TEST(SecurityDialogs, DISABLED_ShowEachDialog) {
    const DWORD hold = 2500;
    AdminData data = admin_from(kSite);
    {
        PasswordRequest request;
        request.caption = "Password Required";
        request.text = std::string(vx::security::kPasswordText);
        request.matches = [](std::string_view) { return true; };
        Scripted<QuietPasswordDialog> dialog(request);
        dialog.script = [&](auto& d) {
            d.type(IDC_EDIT_PASSWORD, "secret");
            std::printf("showing password\n");
            std::fflush(stdout);
            show_and_hold(d, hold);
            d.press(IDOK);
        };
        dialog.run(nullptr);
    }
    {
        LoginRig rig;
        Scripted<CountingLoginDialog> dialog(rig.context);
        dialog.script = [&](auto& d) {
            d.type(IDC_EDIT_NAME, "ADMIN");
            d.type(IDC_EDIT_PASSWORD, "ROOT");
            std::printf("showing login\n");
            std::fflush(stdout);
            show_and_hold(d, hold);
            d.press(IDOK);
        };
        dialog.run(nullptr);
    }
    for (const char* user : {"ADMIN", "ANN"}) {
        data.logged_in = data.find_user(user);
        PagePasswordValue value{"", 0, 0};
        Scripted<PagePasswordDialog> dialog(data, value);
        dialog.script = [&](auto& d) {
            d.type(IDC_EDIT_PASSWORD, "page pass");
            std::printf("showing page password for %s\n", user);
            std::fflush(stdout);
            show_and_hold(d, hold);
            d.press(IDOK);
        };
        dialog.run(nullptr);
    }
}

}  // namespace
}  // namespace vx::win::security
