#include "win/shell/shell_runtime.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../../unit/shell/fakes.h"
#include "model/objects.h"
#include "model/shortcut.h"
#include "util/file_io.h"
#include "win/shell/registry_settings.h"
#include "win/util/text.h"

namespace vx::win::shell {
namespace {

using vx::shell::testing::FakeFileSystem;
using vx::shell::testing::FakeProcessApi;
using vx::shell::testing::FakePrompter;
using vx::shell::testing::FakeSession;
using vx::shell::testing::FakeSound;

class FakeHooks : public HooksApi {
public:
    bool lock = false, exit = false;
    void set_lock_time(int) override {}
    void set_exit_time(int) override {}
    void enable_lock(bool) override {}
    void enable_exit(bool) override {}
    bool check_lock() override { return lock; }
    bool update_exit_time() override { return exit; }
};

class FakeProfile : public Profile {
public:
    std::string run;
    std::string read(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& fallback) override {
        return file == "WIN.INI" && section == "Windows" && key == "run" ? run : fallback;
    }
    bool write(const std::string&, const std::string&, const std::string&, const std::string&) override {
        return false;
    }
    std::vector<std::string> keys(const std::string&, const std::string&) override { return {}; }
};

class FixedClock : public Clock {
public:
    DateTime value = make_datetime({2026, 12, 10}, {9, 0, 5, 0});
    DateTime now() const override { return value; }
};

class FakeRegistration : public vx::shell::ShellRegistration {
public:
    std::string shell = "explorer.exe";
    bool nt_family() override { return true; }
    std::string winlogon_shell() override { return shell; }
    std::optional<std::string> system_ini_shell() override { return std::nullopt; }
};

// The main window in a program folder and registry key of its own, with the runtime over fakes:
// what is started, opened and asked shows in the fakes' logs.
class ShellRuntimeTest : public ::testing::Test {
protected:
    const std::wstring key =
        L"Software\\Halvane\\VantoraTest\\Runtime" + std::to_wstring(GetCurrentProcessId());
    RegistrySettingsStore store{key};
    std::string dir;

    FakeProcessApi processes;
    FakeFileSystem files;
    FakeSound sound;
    FakeSession session;
    FakeHooks hooks;
    FakeProfile profile;
    FixedClock clock;
    FakeRegistration registration;
    FakePrompter prompter;

    std::unique_ptr<TMainForm> form;
    std::unique_ptr<ShellRuntime> runtime;

    void SetUp() override {
        wchar_t tmp[MAX_PATH]{};
        GetTempPathW(MAX_PATH, tmp);
        dir = narrow(tmp) + "vxruntime" + std::to_string(GetCurrentProcessId());
        CreateDirectoryW(widen(dir).c_str(), nullptr);
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES};
        InitCommonControlsEx(&icc);
        form = std::make_unique<TMainForm>(store);
        form->set_program_dir(dir);
        ASSERT_TRUE(form->create(GetModuleHandleW(nullptr)));
        ShellPorts ports{processes, files, sound, session, hooks, profile, clock, registration, store, &prompter};
        // The two dialogs are answered through the fake prompter: a typed command, a row number.
        ports.run_program_form = [this](HWND) -> std::optional<TypedCommand> {
            const auto text = prompter.ask_text("Run Program", "Command Line:", form->settings().last_program, false);
            if (!text) return std::nullopt;
            return TypedCommand{*text};
        };
        ports.shut_down_form = [this](HWND, ShutdownContext& c) {
            const auto rows =
                vx::shell::exit_dialog_rows(c.dos_guard_visible, c.logoff_guard_visible, c.user_name_known);
            std::vector<std::string> captions;
            for (const auto& row : rows) captions.push_back(row.caption);
            const auto chosen = prompter.ask_choice("Shut Down Windows", "Are you sure you want to:", captions);
            if (!chosen || *chosen >= rows.size()) return false;
            return vx::shell::perform_exit_choice(rows[*chosen].choice, c.host, c.session, c.processes);
        };
        runtime = std::make_unique<ShellRuntime>(*form, ports);
        // A fresh desktop: the master page, "Page 1" and "StartUp".
        form->first_show();
    }
    void TearDown() override {
        runtime.reset();
        if (form && IsWindow(form->hwnd())) DestroyWindow(form->hwnd());
        pump();
        form.reset();
        RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
        for (const char* f : {"VX.DTP", "VX.BAK"}) DeleteFileW(widen(join_path(dir, f)).c_str());
        RemoveDirectoryW(widen(dir).c_str());
    }

    // Runs what was posted, as the message loop would; a WM_QUIT from a closed window is dropped.
    static void pump() {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (m.message == WM_QUIT) continue;
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
    }

    model::Page& page(const std::string& name) {
        model::Page* p = name.empty() ? form->desktop().master() : form->desktop().find_page(name);
        EXPECT_NE(p, nullptr) << name;
        return *p;
    }
    model::ObjectEntry& add_button(model::Page& p, model::ButtonData b) {
        if (b.command_lines == 0 && !b.command.empty()) b.command_lines = 1;
        return form->desktop().add_object(p, std::move(b));
    }
    static model::ButtonData program(const std::string& command, const std::string& directory = {}) {
        model::ButtonData b;
        b.kind = model::kKindProgram;
        b.caption = "Run";
        b.command = command + "\r";
        b.directory = directory;
        return b;
    }
};

TEST_F(ShellRuntimeTest, ClickedButtonStartsItsProgramOnceTheClickIsOver) {
    processes.startable = {dir + "\\TOOL.EXE"};
    files.folders = {"C:\\WORK"};
    // The directory word brings its own backslash; the rest of the line is in capitals.
    auto& entry = add_button(page("Page 1"), program("<DEFAULTDIR>tool.exe /x", "C:\\WORK"));

    form->commands().carry_out_button(entry);
    EXPECT_TRUE(processes.log.empty()) << "nothing starts inside the object's mouse handling";
    runtime->deferred().run_all();
    ASSERT_FALSE(processes.log.empty());
    EXPECT_EQ(processes.log.front(), "start " + dir + "\\TOOL.EXE /X in [C:\\WORK] show 0");
}

TEST_F(ShellRuntimeTest, FirstTickRunsStartUpButtonsAndRunEntriesOnlyOnce) {
    processes.startable = {"C:\\APPS\\EARLY.EXE"};
    processes.openable = {"ONE.EXE", "TWO.EXE"};
    profile.run = "C:\\A\\ONE.EXE; TWO.EXE";
    add_button(page("StartUp"), program("C:\\APPS\\EARLY.EXE"));
    ASSERT_TRUE(runtime->start_up_pending());

    runtime->tick();
    EXPECT_FALSE(runtime->start_up_pending());
    ASSERT_GE(processes.log.size(), 3u);
    EXPECT_EQ(processes.log.front(), "start C:\\APPS\\EARLY.EXE in [] show 0") << "the StartUp page first";
    const std::vector<std::string> run_entries(processes.log.end() - 2, processes.log.end());
    EXPECT_EQ(run_entries,
              (std::vector<std::string>{"open ONE.EXE in [C:\\A] show 0", "open TWO.EXE in [] show 0"}));
    EXPECT_TRUE(prompter.log.empty());

    const size_t after_first = processes.log.size();
    runtime->tick();
    EXPECT_EQ(processes.log.size(), after_first) << "start-up work is done once per desktop";
}

TEST_F(ShellRuntimeTest, ScheduledButtonRunsOnceWithinItsWindow) {
    processes.startable = {"C:\\APPS\\NIGHTLY.EXE"};
    model::ButtonData b = program("C:\\APPS\\NIGHTLY.EXE");
    // Every weekday of every week, at 09:00:00.
    b.launch_day = vx::shell::launch_bits::kAutomatic | 0x0FFF;
    b.launch_date = make_datetime({2026, 12, 10}, {9, 0, 0, 0});
    model::Page& p = page("Page 1");
    auto& entry = add_button(p, b);
    form->desktop().schedule(entry.id);

    clock.value = make_datetime({2026, 12, 10}, {8, 59, 50, 0});
    runtime->tick();
    EXPECT_TRUE(processes.log.empty()) << "not before its time";
    clock.value = make_datetime({2026, 12, 10}, {9, 0, 3, 0});
    runtime->tick();
    ASSERT_FALSE(processes.log.empty());
    EXPECT_EQ(processes.log.front(), "start C:\\APPS\\NIGHTLY.EXE in [] show 0");
    const size_t after_launch = processes.log.size();
    clock.value = make_datetime({2026, 12, 10}, {9, 0, 6, 0});
    runtime->tick();
    EXPECT_EQ(processes.log.size(), after_launch) << "launched once";
}

TEST_F(ShellRuntimeTest, PageLinksMoveBetweenTabsAndSpeedKeysReachMasterButtons) {
    form->desktop().add_page("Page 2");
    form->refresh_desktop_view();
    model::ButtonData link;
    link.kind = model::kKindPageLink;
    link.page_link = "Next Page";
    add_button(page("Page 1"), link);
    form->show_first_tab();
    ASSERT_EQ(form->current_tab(), 0);
    runtime->carry_out_button(page("Page 1").objects.front());
    EXPECT_EQ(form->current_tab(), 1);
    EXPECT_EQ(form->desktop().current()->name, "Page 2");

    processes.startable = {"C:\\APPS\\KEYED.EXE"};
    model::ButtonData keyed = program("C:\\APPS\\KEYED.EXE");
    keyed.speed_key = static_cast<std::uint16_t>('K') | model::kShortcutCtrl;
    add_button(page(""), keyed);
    EXPECT_FALSE(runtime->speed_key('K')) << "without Ctrl it is another key";
    ASSERT_TRUE(runtime->speed_key(static_cast<std::uint16_t>('K') | model::kShortcutCtrl));
    runtime->deferred().run_all();
    ASSERT_FALSE(processes.log.empty());
    EXPECT_EQ(processes.log.front(), "start C:\\APPS\\KEYED.EXE in [] show 0");
}

TEST_F(ShellRuntimeTest, ExitAsksWithExitPromptAndOffersShutDownWhenWeAreTheShell) {
    prompter.answers = {"no"};
    runtime->exit();
    pump();
    ASSERT_TRUE(IsWindow(form->hwnd())) << "No keeps the shell";
    ASSERT_EQ(prompter.log.size(), 1u);
    EXPECT_EQ(prompter.log[0], "yesno Exit Vantora!: Do you really want to exit Vantora!?");

    // As the Windows shell, "E&xit" offers the ways out of Windows instead.
    registration.shell = "C:\\VX\\VANTORX.EXE";
    prompter.answers = {"cancel"};
    runtime->exit();
    pump();
    ASSERT_TRUE(IsWindow(form->hwnd())) << "cancelling the exit dialog keeps the shell";
    ASSERT_EQ(prompter.log.size(), 2u);
    EXPECT_EQ(prompter.log[1].rfind("choice Shut Down Windows: ", 0), 0u) << prompter.log[1];
    EXPECT_TRUE(session.calls.empty());

    prompter.answers = {"0"};
    runtime->exit();
    pump();
    EXPECT_EQ(session.calls, std::vector<std::string>{"shut_down"});
    EXPECT_FALSE(IsWindow(form->hwnd()));
}

TEST_F(ShellRuntimeTest, ClosingWithoutExitNeitherAsksNorOffersTheDialog) {
    registration.shell = "C:\\VX\\VANTORX.EXE";
    PostMessageW(form->hwnd(), WM_CLOSE, 0, 0);
    pump();
    EXPECT_FALSE(IsWindow(form->hwnd()));
    EXPECT_TRUE(prompter.log.empty());
}

TEST_F(ShellRuntimeTest, RunProgramObeysTheUsersBarredDrives) {
    files.files = {"D:\\GAMES\\PLAY.EXE", "C:\\TOOLS\\EDIT.EXE"};
    processes.startable = {"D:\\GAMES\\PLAY.EXE", "C:\\TOOLS\\EDIT.EXE"};
    form->admin().drives[3] = 500;  // D: barred

    prompter.answers = {"D:\\GAMES\\PLAY.EXE"};
    runtime->run_program();
    EXPECT_TRUE(processes.log.empty());
    ASSERT_GE(prompter.log.size(), 2u);
    EXPECT_EQ(prompter.log[0], "text Run Program: Command Line: []");
    EXPECT_EQ(prompter.log[1].rfind("alert Run Program: You may not run D:\\GAMES\\PLAY.EXE", 0), 0u)
        << prompter.log[1];
    EXPECT_EQ(form->settings().last_program, "D:\\GAMES\\PLAY.EXE") << "kept for the next time";

    prompter.answers = {"C:\\TOOLS\\EDIT.EXE"};
    runtime->run_program();
    ASSERT_FALSE(processes.log.empty());
    EXPECT_EQ(processes.log.front().rfind("start C:\\TOOLS\\EDIT.EXE", 0), 0u) << processes.log.front();
}

}  // namespace
}  // namespace vx::win::shell
