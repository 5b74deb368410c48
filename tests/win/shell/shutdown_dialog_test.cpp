#include "win/shell/shutdown_dialog.h"

#include <gtest/gtest.h>

#include "unit/shell/fakes.h"
#include "win/security/dialog_script.h"
#include "win/shell/launch_ids.h"

namespace vx::win::shell {
namespace {

using security::testing::Scripted;
using vx::shell::testing::FakeProcessApi;
using vx::shell::testing::FakeSession;

struct Host : vx::shell::ExitActionHost {
    bool dos = true, logoff = true;
    int asked = 0;
    bool dos_guard_granted() override {
        ++asked;
        return dos;
    }
    bool logoff_guard_granted() override {
        ++asked;
        return logoff;
    }
    std::string windows_dir() override { return "C:\\WINDOWS"; }
};

constexpr int kRows[] = {IDC_SHUT_ROW0, IDC_SHUT_ROW1, IDC_SHUT_ROW2, IDC_SHUT_ROW3};

struct Seen {
    std::vector<std::string> shown;  // captions of the visible rows, top to bottom
    std::vector<int> tops;           // their places
    bool first_checked = false;
    std::string text;
};

TEST(ShutDownWindows, HiddenChoicesLeaveNoGap) {
    struct Case {
        bool dos, logoff, user;
        std::vector<std::string> rows;
    } cases[] = {
        {true,
         true,
         true,
         {"&Shut down the Computer?", "&Restart the Computer?", "Restart the Computer in &MS-DOS Mode?",
          "Log on as a different User?"}},
        {false,
         true,
         true,
         {"&Shut down the Computer?", "&Restart the Computer?", "Log on as a different User?"}},
        {true,
         true,
         false,
         {"&Shut down the Computer?", "&Restart the Computer?", "Restart the Computer in &MS-DOS Mode?"}},
        {false, false, true, {"&Shut down the Computer?", "&Restart the Computer?"}},
    };
    std::vector<int> full_tops;
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.dos << c.logoff << c.user);
        Host host;
        FakeSession session;
        FakeProcessApi processes;
        ShutdownContext context{c.dos, c.logoff, c.user, host, session, processes, {}};
        Scripted<TShutdownForm> form(context);
        Seen seen;
        form.script = [&](auto& f) {
            seen.text = f.text(IDC_SHUT_TEXT);
            for (int id : kRows) {
                if (!f.visible(id)) continue;
                seen.shown.push_back(f.text(id));
                RECT r;
                GetWindowRect(f.control(id), &r);
                seen.tops.push_back(r.top);
            }
            seen.first_checked = IsDlgButtonChecked(f.hwnd(), IDC_SHUT_ROW0) == BST_CHECKED;
            f.press(IDCANCEL);
        };
        EXPECT_EQ(form.run(nullptr), IDCANCEL);
        EXPECT_EQ(seen.text, "Are you sure you want to:");
        EXPECT_EQ(seen.shown, c.rows);
        EXPECT_TRUE(seen.first_checked);
        if (full_tops.empty()) full_tops = seen.tops;
        for (size_t i = 0; i < seen.tops.size(); ++i) EXPECT_EQ(seen.tops[i], full_tops[i]) << i;
        EXPECT_TRUE(session.calls.empty());
        EXPECT_TRUE(processes.log.empty());
    }
}

struct Exit {
    bool result = false;
    FakeSession session;
    FakeProcessApi processes;
    Host host;
};

// Picks the row at `index` and presses "&Yes" (or "&No").
bool press_row(Exit& run, int index, bool yes, bool dos_visible = true) {
    ShutdownContext context{dos_visible, true, true, run.host, run.session, run.processes, {}};
    Scripted<TShutdownForm> form(context);
    form.script = [&](auto& f) {
        CheckRadioButton(f.hwnd(), IDC_SHUT_ROW0, IDC_SHUT_ROW3, kRows[index]);
        f.press(yes ? IDOK : IDCANCEL);
    };
    const INT_PTR code = form.run(nullptr);
    return code == IDOK && form.started();
}

TEST(ShutDownWindows, YesCarriesOutTheChosenRowAndReportsWhetherItStarted) {
    {
        Exit r;
        EXPECT_TRUE(press_row(r, 0, true));
        EXPECT_EQ(r.session.calls, std::vector<std::string>{"shut_down"});
    }
    {
        Exit r;
        EXPECT_TRUE(press_row(r, 1, true));
        EXPECT_EQ(r.session.calls, std::vector<std::string>{"restart"});
    }
    {
        Exit r;
        r.session.accept = false;  // Windows refuses: the shell stays
        EXPECT_FALSE(press_row(r, 1, true));
    }
    {
        Exit r;
        r.processes.openable = {"C:\\WINDOWS\\Exit to Dos.PIF"};
        EXPECT_TRUE(press_row(r, 2, true));
        EXPECT_EQ(r.processes.log.at(0), "open C:\\WINDOWS\\Exit to Dos.PIF in [C:\\WINDOWS] show 0");
    }
    {
        // With MS-DOS hidden, the log-off row is third and asks guard 7 first.
        Exit r;
        r.host.logoff = false;
        EXPECT_FALSE(press_row(r, 2, true, false));
        EXPECT_EQ(r.host.asked, 1);
        EXPECT_TRUE(r.session.calls.empty());
        Exit granted;
        EXPECT_TRUE(press_row(granted, 2, true, false));
        EXPECT_EQ(granted.session.calls, std::vector<std::string>{"log_off"});
    }
    {
        Exit r;
        EXPECT_FALSE(press_row(r, 0, false));
        EXPECT_TRUE(r.session.calls.empty());
    }
}

TEST(ShutDownWindows, HelpOpensTopic287) {
    Host host;
    FakeSession session;
    FakeProcessApi processes;
    int topic = 0;
    ShutdownContext context{false, false, false, host, session, processes, [&](int t) { topic = t; }};
    Scripted<TShutdownForm> form(context);
    bool help_enabled = false;
    form.script = [&](auto& f) {
        help_enabled = f.enabled(IDHELP);
        f.press(IDHELP);
        f.press(IDCANCEL);
    };
    form.run(nullptr);
    EXPECT_TRUE(help_enabled);
    EXPECT_EQ(topic, 287);
}

}  // namespace
}  // namespace vx::win::shell
