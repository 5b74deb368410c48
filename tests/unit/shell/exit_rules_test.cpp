#include "shell/exit_rules.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "unit/shell/fakes.h"

namespace vx::shell {
namespace {

using testing::FakeProcessApi;
using testing::FakePrompter;
using testing::FakeSession;
using Log = std::vector<std::string>;

class FakeCloseHost : public CloseHost {
public:
    bool has_password = false, grant = true, modify = false, shell = false, dialog = false, save_ok = true;
    Log log;
    bool exit_guard_has_password() override { return has_password; }
    bool exit_password_prompt() override {
        log.push_back("password");
        return grant;
    }
    bool modify_mode() override { return modify; }
    bool save_desktop() override {
        log.push_back("save");
        return save_ok;
    }
    bool is_windows_shell() override { return shell; }
    bool exit_dialog(bool power_only) override {
        log.push_back(power_only ? "power dialog" : "dialog");
        return dialog;
    }
};

TEST(CloseRequest, GuardSaveDialogAndPrompt) {
    struct Case {
        const char* name;
        bool has_password, grant, modify, from_system, shell, dialog, exit_prompt;
        const char* answer;
        bool result;
        Log log;
        bool exit_hidden = false, locked_down = false, save_fails = false;
    } cases[] = {
        {"exit password refused", true, false, true, true, false, false, false, "", false, {"password"}},
        {"button <EXIT> skips dialog and prompt",
         true,
         true,
         true,
         false,
         true,
         false,
         true,
         "",
         true,
         {"password", "save"}},
        {"shell, dialog declined", false, true, false, true, true, false, false, "", false, {"dialog"}},
        {"shell, action started", false, true, false, true, true, true, true, "", true, {"dialog"}},
        {"not shell, no prompt", false, true, false, true, false, false, false, "", true, {}},
        {"not shell, prompt yes", false, true, false, true, false, false, true, "yes", true, {}},
        {"not shell, prompt no", false, true, false, true, false, false, true, "no", false, {}},
        // Alt+F4 and the close box go through here too: with "E&xit" hidden they change nothing,
        // not even a question, while a button's <EXIT> still closes.
        {"exit hidden, system close", true, true, false, true, true, true, true, "", false, {}, true},
        {"exit hidden, <EXIT>", false, true, false, false, false, false, true, "", true, {}, true},
        // An unreadable administration file: only the Windows shell may end, by shutting down or
        // restarting, and nothing of the unknown exit guard or the prompt is consulted.
        {"locked down, not the shell", true, true, false, true, false, true, true, "", false, {}, false, true},
        {"locked down, shell, declined", true, true, false, true, true, false, true, "", false, {"power dialog"},
         false, true},
        {"locked down, shell, started", true, true, false, true, true, true, true, "", true, {"power dialog"},
         false, true},
        {"locked down, <EXIT>", false, true, false, false, true, true, false, "", false, {}, false, true},
        // A designer's desktop that cannot be saved keeps the shell open: closing would lose it.
        {"modify mode, save fails", false, true, true, true, false, false, true, "", false, {"save"}, false,
         false, true},
    };
    for (const auto& c : cases) {
        FakeCloseHost host;
        host.has_password = c.has_password;
        host.grant = c.grant;
        host.modify = c.modify;
        host.shell = c.shell;
        host.dialog = c.dialog;
        host.save_ok = !c.save_fails;
        FakePrompter prompter;
        if (*c.answer) prompter.answers = {c.answer};
        CloseRequest request{c.from_system, c.exit_prompt, c.exit_hidden, c.locked_down};
        EXPECT_EQ(close_request(request, host, prompter), c.result) << c.name;
        EXPECT_EQ(host.log, c.log) << c.name;
        EXPECT_FALSE(request.from_system) << c.name;
        if (*c.answer) {
            EXPECT_EQ(prompter.log, Log{"yesno Exit Vantora!: Do you really want to exit Vantora!?"});
        }
    }
}

TEST(WindowsShell, RegisteredValueNamesThisProgram) {
    struct Case {
        const char* value;
        bool nt, ours;
    } cases[] = {
        {"C:\\TOOLS\\vantorx.exe", true, true},
        {"vantorx.exe", true, true},
        {"\"C:\\Program Files\\Vantora\\VANTORX.EXE\"", true, true},
        // As the installer writes it now, and as older installations left it: bare, blanks and all.
        {"\"C:\\Program Files\\Vantora\\Vantorx.Exe\"", true, true},
        {"C:\\Program Files\\Vantora\\Vantorx.Exe", true, true},
        {"  \"C:\\Program Files\\Vantora\\Vantorx.Exe\"  ", true, true},
        // Arguments after the program are not part of its name.
        {"\"C:\\Program Files\\Vantora\\Vantorx.Exe\" /desk", true, true},
        {"C:\\VX\\vantorx.exe /desk", true, true},
        {"C:\\Program Files\\Vantora\\Vantorx.Exe VX.DTP", true, true},
        // A launcher that starts us: leaving must still offer the Windows exit choices.
        {"\"C:\\Tools\\launch.exe\" C:\\VX\\Vantorx.Exe", true, true},
        {"\"C:\\Tools\\launch.exe\" /vx", true, false},
        {"\"C:\\Vantorx.Exe Tools\\launch.exe\"", true, false},
        {"explorer.exe", true, false},
        {"C:\\TOOLS\\myvantorx.exe", true, false},
        {"C:\\TOOLS\\myvantorx.exe", false, true},
        {"C:\\VANTORX.EXE\\progman.exe", false, false},
        {"", false, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(shell_value_names_us(c.value, c.nt), c.ours) << c.value << " " << c.nt;

    struct Registration : ShellRegistration {
        bool nt = true, fail = false;
        std::optional<std::string> ini;
        bool nt_family() override { return nt; }
        std::string winlogon_shell() override {
            if (fail) throw std::runtime_error("Unable to read the registry.");
            return "C:\\VX\\VANTORX.EXE";
        }
        std::optional<std::string> system_ini_shell() override { return ini; }
    } reg;
    FakePrompter prompter;
    EXPECT_TRUE(is_windows_shell(reg, prompter));
    reg.fail = true;
    EXPECT_FALSE(is_windows_shell(reg, prompter));
    EXPECT_EQ(prompter.log, Log{"alert Vantora!: Unable to read the registry."});
    reg.nt = false;
    EXPECT_FALSE(is_windows_shell(reg, prompter));  // no SYSTEM.INI
    reg.ini = "vantorx.exe";
    EXPECT_TRUE(is_windows_shell(reg, prompter));
}

TEST(ExitDialog, HiddenRowsMoveUp) {
    auto choices = [](const std::vector<ExitRow>& rows) {
        std::vector<ExitChoice> out;
        for (const auto& r : rows) out.push_back(r.choice);
        return out;
    };
    using C = ExitChoice;
    EXPECT_EQ(choices(exit_dialog_rows(true, true, true)),
              (std::vector<C>{C::ShutDown, C::Restart, C::DosMode, C::LogOff}));
    EXPECT_EQ(choices(exit_dialog_rows(false, true, true)),
              (std::vector<C>{C::ShutDown, C::Restart, C::LogOff}));
    EXPECT_EQ(choices(exit_dialog_rows(true, true, false)),
              (std::vector<C>{C::ShutDown, C::Restart, C::DosMode}));
    EXPECT_EQ(exit_dialog_rows(false, true, true)[2].caption, "Log on as a different User?");
}

TEST(ExitDialog, ChoicesStartTheirAction) {
    struct Host : ExitActionHost {
        bool dos = true, logoff = true;
        bool dos_guard_granted() override { return dos; }
        bool logoff_guard_granted() override { return logoff; }
        std::string windows_dir() override { return "C:\\WINDOWS"; }
    } host;
    FakeSession session;
    FakeProcessApi processes;
    processes.openable = {"C:\\WINDOWS\\Exit to Dos.PIF"};
    EXPECT_TRUE(perform_exit_choice(ExitChoice::ShutDown, host, session, processes));
    EXPECT_TRUE(perform_exit_choice(ExitChoice::Restart, host, session, processes));
    EXPECT_TRUE(perform_exit_choice(ExitChoice::DosMode, host, session, processes));
    EXPECT_TRUE(perform_exit_choice(ExitChoice::LogOff, host, session, processes));
    EXPECT_EQ(session.calls, (Log{"shut_down", "restart", "log_off"}));
    EXPECT_EQ(processes.log, Log{"open C:\\WINDOWS\\Exit to Dos.PIF in [C:\\WINDOWS] show 0"});

    host.dos = host.logoff = false;
    session.accept = false;
    EXPECT_FALSE(perform_exit_choice(ExitChoice::DosMode, host, session, processes));
    EXPECT_FALSE(perform_exit_choice(ExitChoice::LogOff, host, session, processes));
    EXPECT_FALSE(perform_exit_choice(ExitChoice::Restart, host, session, processes));
    EXPECT_EQ(processes.log.size(), 1u);
}

}  // namespace
}  // namespace vx::shell
