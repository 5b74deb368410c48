#include "win/shell/shell_runtime.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../../unit/shell/fakes.h"
#include "builder/new_desktop.h"
#include "model/desktop_file.h"
#include "model/objects.h"
#include "model/shortcut.h"
#include "util/file_io.h"
#include "win/browser/browser_window.h"
#include "win/security/security_resources.h"
#include "win/shell/registry_settings.h"
#include "win/support/real_input.h"
#include "win/util/text.h"

namespace vx::win::shell {
namespace {

using vx::shell::testing::FakeClock;
using vx::shell::testing::FakeFileSystem;
using vx::shell::testing::FakeHooks;
using vx::shell::testing::FakeProcessApi;
using vx::shell::testing::FakeProfile;
using vx::shell::testing::FakePrompter;
using vx::shell::testing::FakeSession;
using vx::shell::testing::FakeSound;

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
    FakeClock clock{make_datetime({2026, 12, 10}, {9, 0, 5, 0})};
    FakeRegistration registration;
    FakePrompter prompter;

    std::unique_ptr<TMainForm> form;
    std::unique_ptr<ShellRuntime> runtime;
    // The shell's own dialogs instead of the fake prompter.
    bool own_dialogs = false;

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
        ShellPorts ports{processes, files, sound, session, hooks, profile, clock, registration, store};
        if (!own_dialogs) ports.prompter = &prompter;
        // The two dialogs are answered through the fake prompter: a typed command, a row number.
        ports.run_program_form = [this](HWND) -> std::optional<TypedCommand> {
            const auto text = prompter.ask_text(
                "Run Program", "Command Line:", form->station().settings().last_program, false);
            if (!text) return std::nullopt;
            return TypedCommand{*text};
        };
        ports.shut_down_form = [this](HWND, ShutdownContext& c) {
            const auto rows =
                vx::shell::exit_dialog_rows(c.dos_guard_visible, c.logoff_guard_visible, c.user_name_known);
            std::vector<std::string> captions;
            for (const auto& row : rows) captions.push_back(row.caption);
            const auto chosen =
                prompter.ask_choice("Shut Down Windows", "Are you sure you want to:", captions);
            if (!chosen || *chosen >= rows.size()) return false;
            return vx::shell::perform_exit_choice(rows[*chosen].choice, c.host, c.session, c.processes);
        };
        runtime = std::make_unique<ShellRuntime>(*form, ports);
        before_first_show();
        // Without an administration file, a fresh desktop: the master page, "Page 1" and "StartUp".
        form->first_show();
    }
    virtual void before_first_show() {}
    void TearDown() override {
        runtime.reset();
        if (form && IsWindow(form->hwnd())) DestroyWindow(form->hwnd());
        pump();
        form.reset();
        RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
        for (const char* f : {"VX.DTP", "VX.BAK", "ADMAN.ADM"}) DeleteFileW(widen(join_path(dir, f)).c_str());
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
        model::Page* p =
            name.empty() ? form->station().desktop().master() : form->station().desktop().find_page(name);
        EXPECT_NE(p, nullptr) << name;
        return *p;
    }
    model::ObjectEntry& add_button(model::Page& p, model::ButtonData b) {
        if (b.command_lines == 0 && !b.command.empty()) b.command_lines = 1;
        return form->station().desktop().add_object(p, std::move(b));
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
    profile.set("WIN.INI", "Windows", "run", "C:\\A\\ONE.EXE; TWO.EXE");
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

TEST_F(ShellRuntimeTest, StartUpButtonsRunInThePagesObjectOrderTheLastPlacedFirst) {
    processes.startable = {"C:\\APPS\\FIRST.EXE", "C:\\APPS\\SECOND.EXE"};
    add_button(page("StartUp"), program("C:\\APPS\\FIRST.EXE"));
    add_button(page("StartUp"), program("C:\\APPS\\SECOND.EXE"));
    runtime->tick();
    std::vector<std::string> starts;
    for (const std::string& line : processes.log)
        if (line.rfind("start ", 0) == 0) starts.push_back(line);
    EXPECT_EQ(starts, (std::vector<std::string>{"start C:\\APPS\\SECOND.EXE in [] show 0",
                                                "start C:\\APPS\\FIRST.EXE in [] show 0"}));
}

TEST_F(ShellRuntimeTest, ScheduledButtonRunsOnceWithinItsWindow) {
    processes.startable = {"C:\\APPS\\NIGHTLY.EXE"};
    model::ButtonData b = program("C:\\APPS\\NIGHTLY.EXE");
    // Every weekday of every week, at 09:00:00.
    b.launch_day = vx::shell::launch_bits::kAutomatic | 0x0FFF;
    b.launch_date = make_datetime({2026, 12, 10}, {9, 0, 0, 0});
    model::Page& p = page("Page 1");
    auto& entry = add_button(p, b);
    form->station().desktop().schedule(entry.id);

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
    form->station().desktop().add_page("Page 2");
    form->refresh_desktop_view();
    model::ButtonData link;
    link.kind = model::kKindPageLink;
    link.page_link = "Next Page";
    add_button(page("Page 1"), link);
    form->show_first_tab();
    ASSERT_EQ(form->current_tab(), 0);
    runtime->carry_out_button(page("Page 1").objects.front());
    EXPECT_EQ(form->current_tab(), 1);
    EXPECT_EQ(form->station().desktop().current()->name, "Page 2");

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

TEST_F(ShellRuntimeTest, AMasterPageSpeedKeyWorksOnAPageThatHidesTheMasterPagesObjects) {
    processes.startable = {"C:\\APPS\\KEYED.EXE"};
    model::ButtonData keyed = program("C:\\APPS\\KEYED.EXE");
    keyed.speed_key = static_cast<std::uint16_t>('K') | model::kShortcutCtrl;
    add_button(page(""), keyed);
    page("Page 1").show_master_items = false;
    form->show_first_tab();
    ASSERT_EQ(form->station().desktop().current()->name, "Page 1");
    EXPECT_TRUE(form->main_area().objects().empty()) << "the master page's button is not shown here";
    form->show(SW_SHOWNORMAL);
    ASSERT_TRUE(test::bring_to_front(form->hwnd()));
    test::press_key('K', {VK_CONTROL});
    EXPECT_TRUE(test::pump_until([&] { return !processes.log.empty(); }));
    ASSERT_FALSE(processes.log.empty());
    EXPECT_EQ(processes.log.front(), "start C:\\APPS\\KEYED.EXE in [] show 0");
}

TEST_F(ShellRuntimeTest, TheFirstPageShownIsOneTheUserMayOpen) {
    // Nobody is logged in: every page password asks.
    page("Page 1").password = "KEY";
    form->station().desktop().add_page("Page 2");
    form->refresh_desktop_view();
    form->show_first_tab();
    ASSERT_NE(form->station().desktop().current(), nullptr);
    EXPECT_EQ(form->station().desktop().current()->name, "Page 2")
        << "the protected first page was shown unasked";
    EXPECT_EQ(form->current_tab(), 1);
    EXPECT_TRUE(prompter.log.empty()) << prompter.log.front();

    // Every page protected: the first asks; refused, no page shows and no tab is selected.
    page("Page 2").password = "OTHER";
    prompter.answers = {"cancel"};
    form->show_first_tab();
    ASSERT_EQ(prompter.log.size(), 1u);
    EXPECT_EQ(prompter.log[0].rfind("text Password Required: ", 0), 0u) << prompter.log[0];
    EXPECT_EQ(form->station().desktop().current(), nullptr);
    EXPECT_EQ(form->current_tab(), -1);
    EXPECT_TRUE(form->main_area().objects().empty());

    prompter.answers = {"key"};
    form->show_first_tab();
    ASSERT_NE(form->station().desktop().current(), nullptr);
    EXPECT_EQ(form->station().desktop().current()->name, "Page 1");
    EXPECT_EQ(form->current_tab(), 0);
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

// Alt+F4, the system menu's Close and a close sent by another program are all closes from the
// system: they go through the exit rules as "E&xit" does.
TEST_F(ShellRuntimeTest, EveryCloseFromTheSystemAsksAsExitDoes) {
    registration.shell = "C:\\VX\\VANTORX.EXE";
    form->show(SW_SHOWNORMAL);
    ASSERT_TRUE(test::bring_to_front(form->hwnd()));

    prompter.answers = {"cancel"};
    test::press_key(VK_F4, {VK_MENU});
    ASSERT_TRUE(test::pump_until([&] { return !prompter.log.empty(); })) << "Alt+F4 asked nothing";
    EXPECT_EQ(prompter.log[0].rfind("choice Shut Down Windows: ", 0), 0u) << prompter.log[0];

    prompter.answers = {"cancel"};
    SendMessageW(form->hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    prompter.answers = {"cancel"};
    PostMessageW(form->hwnd(), WM_CLOSE, 0, 0);
    pump();
    ASSERT_EQ(prompter.log.size(), 3u);
    for (const std::string& line : prompter.log)
        EXPECT_EQ(line.rfind("choice Shut Down Windows: ", 0), 0u) << line;
    EXPECT_TRUE(IsWindow(form->hwnd())) << "cancelled, the shell stays";
    EXPECT_TRUE(session.calls.empty());

    // Not the Windows shell: the ExitPrompt question, and Yes lets it go.
    registration.shell = "explorer.exe";
    prompter.answers = {"yes"};
    test::press_key(VK_F4, {VK_MENU});
    EXPECT_TRUE(test::pump_until([&] { return !IsWindow(form->hwnd()); }));
    EXPECT_EQ(prompter.log.back(), "yesno Exit Vantora!: Do you really want to exit Vantora!?");
}

TEST_F(ShellRuntimeTest, AButtonsExitClosesWithoutTheExitChoices) {
    registration.shell = "C:\\VX\\VANTORX.EXE";
    // <EXIT>, then a line that cannot start: the main window closes instead of reporting it.
    auto& entry = add_button(page("Page 1"), program("<EXIT>\rNOWHERE.EXE"));
    std::get<model::ButtonData>(entry.data).command_lines = 2;
    runtime->carry_out_button(entry);
    pump();
    EXPECT_FALSE(IsWindow(form->hwnd()));
    EXPECT_TRUE(prompter.log.empty()) << prompter.log.front();
}

TEST_F(ShellRuntimeTest, SpeedKeyStartsOnReleaseOnceHoweverLongItIsHeld) {
    processes.startable = {"C:\\APPS\\KEYED.EXE"};
    model::ButtonData keyed = program("C:\\APPS\\KEYED.EXE");
    keyed.speed_key = static_cast<std::uint16_t>('K') | model::kShortcutCtrl;
    add_button(page("Page 1"), keyed);
    form->show_first_tab();
    form->show(SW_SHOWNORMAL);
    ASSERT_TRUE(test::bring_to_front(form->hwnd()));

    test::send_key(VK_CONTROL, false);
    for (int i = 0; i < 6; ++i) test::send_key('K', false);  // the first press and five repeats
    test::settle();
    EXPECT_TRUE(processes.log.empty()) << "nothing on the press";
    // Ctrl goes first: the press decided it was Ctrl+K.
    test::send_key(VK_CONTROL, true);
    test::send_key('K', true);
    EXPECT_TRUE(test::pump_until([&] { return !processes.log.empty(); }));
    test::settle();
    const auto starts = std::count_if(processes.log.begin(), processes.log.end(),
                                      [](const std::string& line) { return line.rfind("start ", 0) == 0; });
    EXPECT_EQ(starts, 1) << "one copy, however many repeats";
    EXPECT_EQ(processes.log.front(), "start C:\\APPS\\KEYED.EXE in [] show 0");
}

// The button's address goes to the locked window only: the system's browser is never asked,
// and an address the window cannot hold to is refused with a message.
TEST_F(ShellRuntimeTest, BrowserFlagButtonShowsItsAddressOnlyInTheLockedWindow) {
    processes.openable = {"http://intranet.school/", "file:///C:/WINDOWS/"};
    model::ButtonData b;
    b.kind = model::kKindBrowser;
    b.caption = "Intranet";
    b.browser = true;
    b.browser_address = "http://intranet.school/";
    auto& entry = add_button(page("Page 1"), b);
    runtime->carry_out_button(entry);
    EXPECT_TRUE(processes.log.empty()) << processes.log.front();
    EXPECT_TRUE(prompter.log.empty()) << prompter.log.front();
    const auto* window = runtime->browser_window();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(IsWindow(window->hwnd()));
    wchar_t name[32]{};
    GetClassNameW(window->hwnd(), name, 32);
    EXPECT_STREQ(name, L"TBrowserForm");
    EXPECT_EQ(GetWindow(window->hwnd(), GW_OWNER), form->hwnd()) << "it stays above the shell";
    // This prefix has no HTML engine: the window says so.
    EXPECT_EQ(window->notice(), browser::TBrowserWindow::kUnavailableText);

    model::ButtonData local = b;
    local.caption = "Windows";
    local.browser_address = "file:///C:/WINDOWS/";
    auto& local_entry = add_button(page("Page 1"), local);
    runtime->carry_out_button(local_entry);
    EXPECT_TRUE(processes.log.empty()) << processes.log.front();
    ASSERT_EQ(prompter.log.size(), 1u);
    EXPECT_EQ(prompter.log[0].rfind("alert Vantora!: The address file:///C:/WINDOWS/ cannot be shown", 0), 0u)
        << prompter.log[0];
    wchar_t title[64]{};
    GetWindowTextW(window->hwnd(), title, 64);
    EXPECT_STREQ(title, L"http://intranet.school/") << "the window keeps its address";
}

TEST_F(ShellRuntimeTest, RunProgramObeysTheUsersBarredDrives) {
    files.files = {"D:\\GAMES\\PLAY.EXE", "C:\\TOOLS\\EDIT.EXE"};
    processes.startable = {"D:\\GAMES\\PLAY.EXE", "C:\\TOOLS\\EDIT.EXE"};
    form->station().edit_admin().drives[3] = 500;  // D: barred

    prompter.answers = {"D:\\GAMES\\PLAY.EXE"};
    runtime->run_program();
    EXPECT_TRUE(processes.log.empty());
    ASSERT_GE(prompter.log.size(), 2u);
    EXPECT_EQ(prompter.log[0], "text Run Program: Command Line: []");
    EXPECT_EQ(prompter.log[1].rfind("alert Run Program: You may not run D:\\GAMES\\PLAY.EXE", 0), 0u)
        << prompter.log[1];
    EXPECT_EQ(form->station().settings().last_program, "D:\\GAMES\\PLAY.EXE") << "kept for the next time";

    prompter.answers = {"C:\\TOOLS\\EDIT.EXE"};
    runtime->run_program();
    ASSERT_FALSE(processes.log.empty());
    EXPECT_EQ(processes.log.front().rfind("start C:\\TOOLS\\EDIT.EXE", 0), 0u) << processes.log.front();
}

TEST_F(ShellRuntimeTest, TheUsageLogViewerKeepsItsOwnCopyOfThisRunsRecords) {
    const std::string admin = join_path(dir, "ADMAN.ADM"), log = join_path(dir, "VX.LOG");
    write_file_atomic(admin, std::string_view("Security=0 0 1 0 0 0 0 0 0 0\r\n"));
    SendMessageW(form->hwnd(), WM_ACTIVATE, WA_ACTIVE, 0);
    ASSERT_TRUE(form->station().admin_loaded());
    processes.foreground = 4242;
    processes.front_title = "Letter - Word";
    runtime->tick();
    ASSERT_NE(runtime->usage_log(), nullptr);
    ASSERT_EQ(runtime->usage_log()->gathered().size(), 1u);

    auto value = runtime->usage_viewer_value();
    // The timer goes on while the viewer is open; here it even writes the records away.
    runtime->flush_usage_log();
    EXPECT_TRUE(runtime->usage_log()->gathered().empty());
    ASSERT_EQ(value.gathered.size(), 1u);
    EXPECT_EQ(value.gathered[0].program, "Letter - Word");
    EXPECT_EQ(value.log_path, log);
    for (const std::string& f : {admin, log}) DeleteFileW(widen(f).c_str());
}

// "&Open": a desktop file chosen in the selector's place, opened by the next tick.
class OpeningDesktops : public ShellRuntimeTest {
protected:
    std::optional<std::string> chosen;
    std::vector<std::string> offered_folders;

    void before_first_show() override {
        // The runtime's ports were handed over already; the selector's place is taken here.
        runtime.reset();
        ShellPorts ports{processes, files, sound,        session, hooks,
                         profile,   clock, registration, store,   &prompter};
        ports.open_desktop_form = [this](HWND, const std::string& start_dir) {
            offered_folders.push_back(start_dir);
            return chosen;
        };
        ports.new_desktop_form = [this](HWND, const std::string& start_dir, const std::string& proposed) {
            offered_new.push_back(start_dir + "|" + proposed);
            return new_file;
        };
        runtime = std::make_unique<ShellRuntime>(*form, ports);
    }
    // The new-desktop procedure's file selector, answered here: what it offered, what it gives.
    std::vector<std::string> offered_new;
    std::optional<std::string> new_file;
    std::string write_desktop(const char* name, const char* page_name, const std::string& start_up_program) {
        model::Desktop d;
        d.create_master_page();
        d.add_page(page_name);
        model::ButtonData b = program(start_up_program);
        b.command_lines = 1;
        d.add_object(d.add_page(std::string(model::kStartUpPage)), std::move(b));
        d.file_name = join_path(dir, name);
        const UsEnglishLocale locale;
        const AnsiCodePageCodec codec;
        model::WriteContext ctx{&locale, &codec, -1};
        EXPECT_TRUE(model::save_desktop_file(d, ctx, model::SaveOptions{false, true}));
        files.files.push_back(d.file_name);
        return d.file_name;
    }
    static bool in_menu(const TMainForm& f, vx::shell::MenuCommand c) {
        return GetMenuState(f.main_menu(), static_cast<UINT>(kIdMenuFirst + static_cast<int>(c)),
                            MF_BYCOMMAND) != static_cast<UINT>(-1);
    }
};

TEST_F(OpeningDesktops, TheChosenDesktopOpensThroughTheStartUpWorkAndADamagedOneChangesNothing) {
    using vx::shell::MenuCommand;
    EXPECT_TRUE(in_menu(*form, MenuCommand::OpenDesktop));
    EXPECT_TRUE(in_menu(*form, MenuCommand::NewDesktop));
    EXPECT_TRUE(in_menu(*form, MenuCommand::Setup)) << "the designer is there to open";

    processes.startable = {"C:\\APPS\\FIRST.EXE", "C:\\APPS\\OTHER.EXE"};
    const std::string shown_file = form->station().settings().desktop_file;
    runtime->tick();  // the first start-up work, done with
    processes.log.clear();

    const std::string broken = join_path(dir, "BROKEN.DTP");
    write_file_atomic(broken, std::string_view("2\r\nMaster=\r\nPageTitle=Half\r\nPageDim=ten 10\r\n"));
    files.files.push_back(broken);
    chosen = broken;
    runtime->choose_desktop_to_open();
    EXPECT_EQ(offered_folders, std::vector<std::string>{dir})
        << "the selector starts beside the shown desktop";
    EXPECT_TRUE(prompter.log.empty()) << "nothing opens inside the menu command";
    runtime->tick();
    // The file that did not load is told, and a new desktop offered; its selector cancelled, nothing
    // changes.
    ASSERT_EQ(prompter.log.size(), 2u);
    EXPECT_EQ(prompter.log[0], "alert Error In loading Desktop File: " + model::load_error_text(broken));
    EXPECT_EQ(prompter.log[1], std::string("yesno New Desktop: ") + vx::builder::kBuildQuestion);
    EXPECT_EQ(offered_new, std::vector<std::string>{dir + "|" + file_name_of(shown_file)});
    ASSERT_NE(form->station().desktop().current(), nullptr);
    EXPECT_EQ(form->station().desktop().current()->name, "Page 1") << "the shown desktop stays";
    EXPECT_EQ(form->station().desktop().find_page("Half"), nullptr);
    EXPECT_EQ(form->station().settings().desktop_file, shown_file);
    EXPECT_EQ(form->station().desktop().file_name, shown_file);
    EXPECT_TRUE(processes.log.empty()) << "the shown desktop's start-up ran again: " << processes.log.front();

    const std::string other = write_desktop("OTHER.DTP", "Elsewhere", "C:\\APPS\\OTHER.EXE");
    chosen = other;
    runtime->choose_desktop_to_open();
    runtime->tick();
    ASSERT_NE(form->station().desktop().current(), nullptr);
    EXPECT_EQ(form->station().desktop().current()->name, "Elsewhere");
    EXPECT_EQ(form->station().settings().desktop_file, other);
    ASSERT_FALSE(processes.log.empty());
    EXPECT_EQ(processes.log.front(), "start C:\\APPS\\OTHER.EXE in [] show 0") << "its StartUp page ran";
    DeleteFileW(widen(broken).c_str());
    DeleteFileW(widen(other).c_str());
}

TEST_F(OpeningDesktops, NewWithNoGivesTheStarterPagesInModifyModeAndADeclinedOverwriteChangesNothing) {
    const std::string existing = write_desktop("OTHER.DTP", "Elsewhere", "C:\\APPS\\OTHER.EXE");
    const Bytes before = read_file(existing);
    // "Yes", the existing file, then "No" to losing it.
    new_file = existing;
    prompter.answers = {"yes", "no"};
    form->commands().new_desktop();
    ASSERT_EQ(prompter.log.size(), 2u);
    EXPECT_EQ(prompter.log[1], std::string("yesno New Desktop: ") + vx::builder::kOverwriteQuestion);
    EXPECT_FALSE(form->modify_mode());
    EXPECT_EQ(form->station().desktop().current()->name, "Page 1");
    EXPECT_EQ(read_file(existing), before);

    // "No", a new file: "Page 1" and "StartUp" in the designer, "Page 1" shown after "Master".
    prompter.log.clear();
    new_file = join_path(dir, "FRESH.DTP");
    prompter.answers = {"no"};
    form->commands().new_desktop();
    ASSERT_TRUE(form->modify_mode());
    std::vector<std::string> names;
    for (const auto& p : form->station().desktop().pages()) names.push_back(p->name);
    EXPECT_EQ(names, (std::vector<std::string>{"Page 1", "StartUp"}));
    EXPECT_EQ(form->current_tab(), 1);
    EXPECT_EQ(form->station().desktop().current()->name, "Page 1");
    EXPECT_EQ(form->station().desktop().file_name, *new_file);
    ASSERT_TRUE(form->leave_modify_mode());
    EXPECT_TRUE(file_exists(*new_file));
    DeleteFileW(widen(existing).c_str());
    DeleteFileW(widen(*new_file).c_str());
}

TEST_F(OpeningDesktops, TheOpenGuardAndTheUsersFileTypesApply) {
    // Slots 0 and 1 open; slot 2, "&Open", with a password. Desktop files are forbidden below 50.
    write_file_atomic(join_path(dir, "ADMAN.ADM"),
                      std::string_view("Security=0 0 0 0 0 0 0 0 0 0\r\n"
                                       "MenuPassword=\r\nMenuSecurity=0\r\nMenuVisible=1\r\n"
                                       "MenuPassword=\r\nMenuSecurity=0\r\nMenuVisible=1\r\n"
                                       "MenuPassword=SECRET\r\nMenuSecurity=1000\r\nMenuVisible=1\r\n"));
    SendMessageW(form->hwnd(), WM_ACTIVATE, WA_ACTIVE, 0);
    ASSERT_TRUE(form->station().admin_loaded());
    const std::string other = write_desktop("OTHER.DTP", "Elsewhere", "C:\\APPS\\OTHER.EXE");
    chosen = other;

    prompter.answers = {"cancel"};
    runtime->choose_desktop_to_open();
    EXPECT_TRUE(offered_folders.empty()) << "the selector opened past a refused guard";
    ASSERT_EQ(prompter.log.size(), 1u);
    EXPECT_EQ(prompter.log[0].rfind("text Password Required: ", 0), 0u) << prompter.log[0];

    prompter.answers = {"secret"};
    form->station().edit_admin().forbidden_extensions = "DTP|";
    runtime->choose_desktop_to_open();
    EXPECT_EQ(offered_folders.size(), 1u);
    ASSERT_EQ(prompter.log.size(), 3u);
    EXPECT_EQ(prompter.log[2].rfind("alert Vantora!: You may not open " + other, 0), 0u) << prompter.log[2];
    runtime->tick();
    EXPECT_EQ(form->station().desktop().find_page("Elsewhere"), nullptr);
    DeleteFileW(widen(other).c_str());
}

// Answers "Validate User" from a timer, which runs inside the dialog's own loop as it would
// for a person, once per appearance: first whatever `on_sight` wants done, then Ann's log-in.
struct LockAnswer {
    static inline int seen = 0;
    static inline std::function<void()> on_sight;
    static int open_dialogs() {
        int n = 0;
        for (HWND w = FindWindowW(L"#32770", L"Validate User"); w;
             w = FindWindowExW(nullptr, w, L"#32770", L"Validate User"))
            ++n;
        return n;
    }
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
        static bool busy = false;
        const HWND dialog = FindWindowW(L"#32770", L"Validate User");
        if (busy || !dialog || !IsWindowVisible(dialog) ||
            !IsWindowEnabled(GetDlgItem(dialog, IDC_EDIT_NAME)))
            return;
        busy = true;
        ++seen;
        if (on_sight) on_sight();
        busy = false;
        SetDlgItemTextW(dialog, IDC_EDIT_NAME, L"ANN");
        SetDlgItemTextW(dialog, IDC_EDIT_PASSWORD, L"APPLE");
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    }
};

// The idle lock armed by the administration file; nobody has to log in at start.
class IdleLock : public ShellRuntimeTest {
protected:
    UINT_PTR timer = 0;
    void before_first_show() override {
        const std::string text =
            "Security=1 15 0 0 0 0 0 0 0 0\r\nGroup=Pupils\r\nGroupSecurity=5\r\n"
            "User=ANN\r\nPassword=apple\r\nLaunchDay=4095\r\nUserGroup=0\r\n";
        write_file_atomic(join_path(dir, "ADMAN.ADM"), Bytes(text.begin(), text.end()));
        LockAnswer::seen = 0;
        LockAnswer::on_sight = nullptr;
        timer = SetTimer(nullptr, 0, 30, &LockAnswer::tick);
    }
    void TearDown() override {
        KillTimer(nullptr, timer);
        LockAnswer::on_sight = nullptr;
        ShellRuntimeTest::TearDown();
    }
};

TEST_F(IdleLock, TheLogInLiesAboveWindowsKeptOnTopWhichAreOnTopAgainAfterIt) {
    ASSERT_TRUE(form->station().admin_loaded());
    const HWND on_top =
        CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"STATIC", L"kept on top", WS_POPUP | WS_VISIBLE,
                        10, 10, 120, 40, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(on_top, nullptr);
    bool on_top_during = true;
    LockAnswer::on_sight = [&] {
        on_top_during = (GetWindowLongW(on_top, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        hooks.lock = false;
    };
    hooks.lock = true;
    runtime->tick();
    EXPECT_EQ(LockAnswer::seen, 1);
    EXPECT_FALSE(on_top_during) << "a window stayed above the log-in";
    EXPECT_NE(GetWindowLongW(on_top, GWL_EXSTYLE) & WS_EX_TOPMOST, 0) << "not on top again after the log-in";
    EXPECT_EQ(form->station().user_name(), "ANN");
    DestroyWindow(on_top);
}

TEST_F(IdleLock, ATickWhileALogInIsOpenOpensNoSecondOne) {
    form->show(SW_SHOWNORMAL);
    ASSERT_TRUE(test::bring_to_front(form->hwnd()));
    int open_after_tick = 0;
    LockAnswer::on_sight = [&] {
        // The idle time runs out while the dialog F10 opened is up.
        hooks.lock = true;
        runtime->tick();
        open_after_tick = LockAnswer::open_dialogs();
        hooks.lock = false;
    };
    test::press_key(VK_F10);
    EXPECT_TRUE(test::pump_until([] { return LockAnswer::seen > 0 && LockAnswer::open_dialogs() == 0; }));
    EXPECT_EQ(LockAnswer::seen, 1);
    EXPECT_EQ(open_after_tick, 1);
    EXPECT_FALSE(form->station().login_open());
    EXPECT_EQ(form->station().user_name(), "ANN");
}

// An administration file that exists but does not read: the station locks until it reads.
class DamagedAdminFile : public ShellRuntimeTest {
protected:
    void before_first_show() override {
        write_admin("Security=0 0 0 0 0 0 0 0 0 0\r\nGroup=Staff\r\nGroupSecurity=abc\r\n");
    }
    void write_admin(const std::string& text) {
        write_file_atomic(join_path(dir, "ADMAN.ADM"), Bytes(text.begin(), text.end()));
    }
};

TEST_F(DamagedAdminFile, NothingStartsNoGuardPassesAndTheStationOpensOnceTheFileReads) {
    ASSERT_EQ(prompter.log, std::vector<std::string>{"alert Error: 'abc' is not a valid integer value"});
    EXPECT_TRUE(form->station().locked());
    EXPECT_NE(form->station().locked_text().find("'abc' is not a valid integer value"), std::string::npos);
    EXPECT_EQ(TabCtrl_GetItemCount(form->page_tabs()), 0);
    EXPECT_FALSE(form->exit_shown());
    prompter.log.clear();

    // Every way to start something: the start-up work (StartUp page, WIN.INI run), a click, a
    // speed key, Run Program.
    processes.startable = {"C:\\APPS\\EARLY.EXE"};
    processes.openable = {"ONE.EXE"};
    profile.set("WIN.INI", "Windows", "run", "ONE.EXE");
    form->station().desktop().create_master_page();
    model::ButtonData early = program("C:\\APPS\\EARLY.EXE");
    early.speed_key = 'E';
    auto& start_up = add_button(form->station().desktop().add_page(std::string(model::kStartUpPage)), early);
    runtime->tick();
    EXPECT_TRUE(runtime->start_up_pending()) << "it waits for the station to open";
    runtime->carry_out_button(start_up);
    form->commands().carry_out_button(start_up);
    runtime->deferred().run_all();
    runtime->run_program();
    EXPECT_TRUE(processes.log.empty()) << processes.log.front();
    EXPECT_TRUE(prompter.log.empty()) << prompter.log.front();

    // Closes: refused when we are not the Windows shell; as the shell, only shutting down or
    // restarting is offered.
    PostMessageW(form->hwnd(), WM_CLOSE, 0, 0);
    pump();
    EXPECT_TRUE(IsWindow(form->hwnd()));
    EXPECT_TRUE(prompter.log.empty());
    registration.shell = "C:\\VX\\VANTORX.EXE";
    prompter.answers = {"cancel"};
    SendMessageW(form->hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_EQ(prompter.log.size(), 1u);
    EXPECT_EQ(prompter.log[0],
              "choice Shut Down Windows: Are you sure you want to:|&Shut down the Computer?|&Restart the "
              "Computer?");
    EXPECT_TRUE(IsWindow(form->hwnd()));
    prompter.log.clear();

    // Read again on activation: still damaged, and not told again.
    SendMessageW(form->hwnd(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_TRUE(form->station().locked());
    EXPECT_TRUE(prompter.log.empty()) << prompter.log.front();

    // Repaired: the station opens as a first start would, and the start-up work follows.
    write_admin("Security=0 0 0 0 0 0 0 0 0 0\r\nGroup=Staff\r\nGroupSecurity=50\r\n");
    SendMessageW(form->hwnd(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_FALSE(form->station().locked());
    EXPECT_TRUE(form->station().admin_loaded());
    EXPECT_EQ(TabCtrl_GetItemCount(form->page_tabs()), 1);
    EXPECT_TRUE(form->exit_shown());
    runtime->tick();
    EXPECT_FALSE(runtime->start_up_pending());
    EXPECT_EQ(processes.log, std::vector<std::string>{"open ONE.EXE in [] show 0"});
}

// Answers every dialog that comes up on this thread (a thread timer runs in their modal loops)
// with Cancel, or OK where Cancel does not close it, and notes its caption.
struct CaptionWatch {
    static inline std::vector<std::string> captions;
    static inline HWND main = nullptr;
    static inline HWND last = nullptr;
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
        const HWND active = GetActiveWindow();
        if (!active || active == main || !IsWindowVisible(active)) return;
        if (active != last) {
            last = active;
            captions.push_back(narrow(window_text(active)));
            PostMessageW(active, WM_COMMAND, IDCANCEL, 0);
        } else {
            PostMessageW(active, WM_COMMAND, IDOK, 0);
        }
    }
    static std::wstring window_text(HWND window) {
        wchar_t text[256] = {};
        GetWindowTextW(window, text, 256);
        return text;
    }
};

class ShellRuntimeDialogsTest : public ShellRuntimeTest {
protected:
    void SetUp() override {
        store.write("", "Title", "Lab 3 Kiosk");
        own_dialogs = true;
        ShellRuntimeTest::SetUp();
    }
};

TEST_F(ShellRuntimeDialogsTest, MacroDialogsCarryTheApplicationTitleWhateverTheMainWindowIsCalled) {
    ASSERT_EQ(form->title(), "Lab 3 Kiosk");
    CaptionWatch::main = form->hwnd();
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, &CaptionWatch::tick);
    for (const char* command :
         {"[A,Hello]", "[O,Go on?]", "[Y,Go on?]", "[T,Your name?]", "[M,Pick one|A|B]", "[E,C:\\*.EXE]"}) {
        CaptionWatch::captions.clear();
        CaptionWatch::last = nullptr;
        runtime->carry_out_button(add_button(page("Page 1"), program(command)));
        EXPECT_EQ(CaptionWatch::captions, std::vector<std::string>{"Vantora!"}) << command;
    }
    KillTimer(nullptr, timer);
    EXPECT_TRUE(processes.log.empty()) << "every question was cancelled";
}

}  // namespace
}  // namespace vx::win::shell
