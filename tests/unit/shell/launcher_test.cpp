#include "shell/launcher.h"

#include <gtest/gtest.h>

#include "unit/shell/fakes.h"

namespace vx::shell {
namespace {

using testing::FakeFileSystem;
using testing::FakeProcessApi;
using testing::FakePrompter;
using testing::FakeSession;
using testing::FakeSound;
using Log = std::vector<std::string>;

class FakeHost : public LaunchHost {
public:
    bool grant = true;
    int tabs = 3, tab = 0;
    std::vector<std::string> pages = {"Page 1", "Games", "Office"};
    std::vector<ButtonView> buttons;
    std::vector<MenuItem> menu;
    Log log;

    bool password_prompt(const std::string& password, int level) override {
        log.push_back("password " + password + " " + std::to_string(level));
        return grant;
    }
    void minimize_main_window() override { log.push_back("minimize"); }
    void close_main_window() override { log.push_back("close"); }
    int tab_count() override { return tabs; }
    int current_tab() override { return tab; }
    void select_tab(int index) override {
        tab = index;
        log.push_back("tab " + std::to_string(index));
    }
    bool select_page(const std::string& name) override {
        for (size_t i = 0; i < pages.size(); ++i)
            if (pages[i] == name) {
                select_tab(static_cast<int>(i));
                return true;
            }
        return false;
    }
    void show_browser(const std::string& address) override { log.push_back("browser " + address); }
    void popup_menu(const std::vector<MenuItem>& items) override { menu = items; }
    std::vector<ButtonView> current_page_buttons() override { return buttons; }
    void open_desktop(const std::string& path) override { log.push_back("desktop " + path); }
};

struct LauncherFixture : ::testing::Test {
    FakePrompter prompter;
    FakeProcessApi processes;
    FakeSound sound;
    FakeFileSystem files;
    FakeSession session;
    FakeHost host;
    Launcher launcher{{prompter, processes, sound, files, host}, make_env(), {}};

    LauncherFixture() {
        files.folders = {"C:\\VX", "C:\\APPS", "C:\\TOOLS", "C:\\WINDOWS"};
        files.files = {"C:\\APPS\\EDIT.EXE", "C:\\WINDOWS\\NOTEPAD.EXE", "C:\\DOCS\\README.TXT",
                       "C:\\VX\\OTHER.DTP"};
        processes.startable = {"C:\\APPS\\EDIT.EXE", "C:\\VX\\HELPER.EXE", "NOTEPAD",
                               "C:\\WINDOWS\\NOTEPAD.EXE"};
    }
    MacroEnvironment make_env() {
        MacroEnvironment env;
        env.program_dir = "C:\\VX";
        env.windows_dir = "C:\\WINDOWS";
        env.session = &session;
        return env;
    }
    static ButtonView program(std::string command) {
        ButtonView b;
        b.kind = ButtonKind::Program;
        b.caption = "My~Editor";
        b.command = std::move(command);
        return b;
    }
};

TEST_F(LauncherFixture, LinesStartInCapitalsFromTheirFolders) {
    prompter.answers = {"no"};
    launcher.carry_out(
        program("<DEFAULTDIR>helper.exe -x\r\n[Y,Do you want to continue?]c:\\apps\\edit.exe\r"));
    EXPECT_EQ(processes.log, (Log{"start C:\\VX\\HELPER.EXE -X in [C:\\VX\\] show 0", "idle 100"}));
    EXPECT_EQ(prompter.log, (Log{"yesno Vantora!: DO YOU WANT TO CONTINUE?"}));

    processes.log.clear();
    prompter.answers = {"yes"};
    launcher.carry_out(program("<DEFAULTDIR>helper.exe\r[Y,Go on?]c:\\apps\\edit.exe"));
    EXPECT_EQ(processes.log.size(), 4u);
    EXPECT_EQ(processes.log[2], "start C:\\APPS\\EDIT.EXE in [C:\\APPS\\] show 0");
}

TEST_F(LauncherFixture, WorkingDirectoryAndWindowState) {
    struct Case {
        const char* directory;
        bool hidden, minimized, maximized;
        const char* expected;
    } cases[] = {
        {"", false, false, false, "start C:\\APPS\\EDIT.EXE in [C:\\APPS\\] show 0"},
        {"C:\\TOOLS", false, true, true, "start C:\\APPS\\EDIT.EXE in [C:\\TOOLS] show 1"},
        {"C:\\GONE", true, true, false, "start C:\\APPS\\EDIT.EXE in [] show 3"},
        {"", false, false, true, "start C:\\APPS\\EDIT.EXE in [C:\\APPS\\] show 2"},
    };
    for (const auto& c : cases) {
        processes.log.clear();
        ButtonView b = program("C:\\APPS\\EDIT.EXE");
        b.directory = c.directory;
        b.run_hidden = c.hidden;
        b.run_minimized = c.minimized;
        b.run_maximized = c.maximized;
        launcher.carry_out(b);
        ASSERT_FALSE(processes.log.empty());
        EXPECT_EQ(processes.log.front(), c.expected) << c.directory;
    }
}

TEST_F(LauncherFixture, ShellLinksGiveTargetArgumentsAndFolder) {
    files.links["C:\\DESK\\EDIT.LNK"] = {"C:\\APPS\\EDIT.EXE", "/R", ""};
    files.links["C:\\DESK\\NOTE.LNK"] = {"C:\\WINDOWS\\NOTEPAD.EXE", "", "C:\\DOCS"};
    launcher.carry_out(program("c:\\desk\\edit.lnk\rc:\\desk\\note.lnk"));
    EXPECT_EQ(processes.log[0], "start C:\\APPS\\EDIT.EXE /R in [C:\\APPS\\] show 0");
    EXPECT_EQ(processes.log[2], "start C:\\WINDOWS\\NOTEPAD.EXE in [C:\\DOCS] show 0");
}

TEST_F(LauncherFixture, ThreeWaysToStartThenTheAlertOrTheExit) {
    processes.openable = {"C:\\DOCS\\README.TXT"};
    processes.associations = {{"C:\\DOCS\\NOTES.WRI", "C:\\WINDOWS\\NOTEPAD.EXE"}};
    launcher.carry_out(program("c:\\docs\\readme.txt\rc:\\docs\\notes.wri\rc:\\nothing.exe"));
    EXPECT_EQ(processes.log, (Log{
                                 "start C:\\DOCS\\README.TXT in [] show 0",
                                 "open C:\\DOCS\\README.TXT in [] show 0",
                                 "start C:\\DOCS\\NOTES.WRI in [] show 0",
                                 "open C:\\DOCS\\NOTES.WRI in [] show 0",
                                 "start C:\\WINDOWS\\NOTEPAD.EXE C:\\DOCS\\NOTES.WRI in [] show 0",
                                 "idle 100",
                                 "start C:\\NOTHING.EXE in [] show 0",
                                 "open C:\\NOTHING.EXE in [] show 0",
                             }));
    EXPECT_EQ(prompter.log,
              (Log{"alert Error: An Error has occurred attempting to execute\rC:\\NOTHING.EXE"}));
    EXPECT_TRUE(host.log.empty());

    // <EXIT> sets the exit flag: the failing line closes instead of alerting, and lines after
    // it still run until then.
    prompter.log.clear();
    processes.log.clear();
    launcher.carry_out(program("c:\\apps\\edit.exe <exit>\rnotepad\r<EXIT>\rnotepad"));
    EXPECT_EQ(host.log, (Log{"close"}));
    EXPECT_TRUE(prompter.log.empty());
    EXPECT_EQ(processes.log.back(), "open <EXIT> in [] show 0");
}

TEST_F(LauncherFixture, LogoffStopsTheCommand) {
    launcher.carry_out(program("<LOGOFF>\rnotepad"));
    EXPECT_EQ(session.calls, Log{"log_off"});
    EXPECT_EQ(host.log, Log{"close"});
    EXPECT_EQ(processes.log.size(), 2u);  // only the <LOGOFF> line tried to start
}

TEST_F(LauncherFixture, SingleInstanceBringsTheFirstCopyForward) {
    ButtonView b = program("C:\\APPS\\EDIT.EXE");
    b.single_instance = true;
    launcher.carry_out(b);
    launcher.carry_out(b);
    EXPECT_EQ(processes.activated, std::vector<WindowId>{1000});
    EXPECT_EQ(processes.log.size(), 2u);  // one start, one idle wait
    ASSERT_EQ(launcher.running().size(), 1u);
    EXPECT_EQ(launcher.running().front().first, 100u);

    // Another single-instance program is not held back by the first one.
    ButtonView other = program("NOTEPAD");
    other.single_instance = true;
    launcher.carry_out(other);
    EXPECT_EQ(launcher.running().size(), 2u);
    EXPECT_EQ(processes.activated.size(), 1u);

    // A copy whose window is gone no longer counts.
    processes.windows.clear();
    launcher.carry_out(b);
    EXPECT_EQ(launcher.running().size(), 3u);
    EXPECT_EQ(launcher.running().front().first, 102u);

    // A "No" stays a "No": the check finding nothing does not start the skipped line.
    prompter.answers = {"no"};
    processes.log.clear();
    launcher.carry_out(program("[Y,Sure?]\rC:\\APPS\\EDIT.EXE"));
    ButtonView asked = program("[Y,Sure?]\rC:\\APPS\\EDIT.EXE");
    asked.single_instance = true;
    processes.windows.clear();
    prompter.answers = {"no"};
    launcher.carry_out(asked);
    EXPECT_TRUE(processes.log.empty());
}

TEST_F(LauncherFixture, PasswordConfirmationAndSound) {
    ButtonView b = program("notepad");
    b.launch_password = true;
    b.password = "SECRET";
    b.security_level = 50;
    b.sound = true;
    b.sound_file = "DING.WAV";
    host.grant = false;
    EXPECT_FALSE(launcher.carry_out(b));
    EXPECT_TRUE(processes.log.empty());
    EXPECT_TRUE(sound.played.empty());

    host.grant = true;
    launcher.options().confirm_execution = true;
    prompter.answers = {"no"};
    EXPECT_TRUE(launcher.carry_out(b));
    EXPECT_EQ(prompter.log, Log{"yesno Launch Application: Do you want to execute My Editor ?"});
    EXPECT_EQ(sound.played, Log{"DING.WAV"});
    EXPECT_TRUE(processes.log.empty());

    prompter.answers = {"yes"};
    launcher.options().minimize_on_run = true;
    launcher.carry_out(b);
    EXPECT_EQ(processes.log.front(), "start NOTEPAD in [] show 0");
    EXPECT_EQ(host.log.back(), "minimize");
}

TEST_F(LauncherFixture, PageLinks) {
    struct Case {
        int from;
        const char* link;
        int to;
    } cases[] = {
        {1, "next page", 2},     {2, "NEXT PAGE", 2}, {1, "Previous Page", 0},
        {0, "previous page", 0}, {0, "Office", 2},    {1, "No Such", 1},
    };
    for (const auto& c : cases) {
        host.tab = c.from;
        ButtonView b;
        b.kind = ButtonKind::PageLink;
        b.page_link = c.link;
        EXPECT_TRUE(launcher.carry_out(b));
        EXPECT_EQ(host.tab, c.to) << c.link;
    }

    ButtonView desk;
    desk.kind = ButtonKind::PageLink;
    desk.page_link = "C:\\VX\\OTHER.DTP";
    EXPECT_FALSE(launcher.carry_out(desk));
    host.log.clear();
    launcher.click(desk);
    EXPECT_EQ(host.log, Log{"desktop C:\\VX\\OTHER.DTP"});

    // A refused password on a link to a page never becomes a desktop to open.
    ButtonView guarded;
    guarded.kind = ButtonKind::PageLink;
    guarded.page_link = "Games";
    guarded.launch_password = true;
    guarded.password = "X";
    host.grant = false;
    host.log.clear();
    launcher.click(guarded);
    EXPECT_EQ(host.log, Log{"password X 1000"});
}

TEST_F(LauncherFixture, MenuListsPairAroundSeparators) {
    ButtonView menu;
    menu.kind = ButtonKind::Menu;
    menu.command = "Editor\r-\r  Games  \rHelp\r/\\\r[R,c:\\apps\\edit.exe]\r[P,Games]\rB,Helper\r";
    launcher.carry_out(menu);
    ASSERT_EQ(host.menu.size(), 4u);
    EXPECT_EQ(host.menu[0].caption, "EDITOR");
    EXPECT_EQ(host.menu[0].command, "R,C:\\APPS\\EDIT.EXE");
    EXPECT_EQ(host.menu[1].caption, "-");
    EXPECT_EQ(host.menu[1].command, "");
    EXPECT_EQ(host.menu[2].caption, "GAMES");
    EXPECT_EQ(host.menu[2].command, "P,GAMES");
    EXPECT_EQ(host.menu[3].command, "B,HELPER");

    launcher.menu_command(host.menu[0]);
    EXPECT_EQ(processes.log.front(), "start C:\\APPS\\EDIT.EXE in [C:\\APPS\\] show 0");

    host.pages[1] = "GAMES";
    launcher.menu_command(host.menu[2]);
    EXPECT_EQ(host.tab, 1);

    ButtonView helper = program("notepad");
    helper.caption = "helper";
    host.buttons = {program("c:\\apps\\edit.exe"), helper};
    processes.log.clear();
    launcher.menu_command(host.menu[3]);
    EXPECT_EQ(processes.log.front(), "start NOTEPAD in [] show 0");

    // The session words act when the item is chosen, not when the menu pops up.
    menu.command = "Leave\r/\\\r[R,<LOGOFF>]";
    launcher.carry_out(menu);
    EXPECT_TRUE(session.calls.empty());
    launcher.menu_command(host.menu[0]);
    EXPECT_EQ(session.calls, Log{"log_off"});

    processes.log.clear();
    launcher.menu_command({"X", "Z,whatever"});
    launcher.menu_command(host.menu[1]);
    EXPECT_TRUE(processes.log.empty());
}

TEST_F(LauncherFixture, BrowserService) {
    ButtonView web;
    web.kind = ButtonKind::Browser;
    web.browser_address = "  http://example.org/  ";
    web.run_hidden = true;
    web.run_maximized = true;
    processes.openable = {"http://example.org/"};
    launcher.carry_out(web);
    EXPECT_EQ(processes.log, Log{"open http://example.org/ in [] show 2"});

    web.browser = true;
    launcher.carry_out(web);
    EXPECT_EQ(host.log, Log{"browser http://example.org/"});

    web.browser = false;
    web.browser_address = "bad://";
    launcher.carry_out(web);
    EXPECT_EQ(prompter.log, Log{"alert Error: An Error has occurred attempting to execute\rbad://"});

    web.browser_address = "   ";
    processes.log.clear();
    launcher.carry_out(web);
    EXPECT_TRUE(processes.log.empty());
}

TEST_F(LauncherFixture, RunTypedCommand) {
    RunRestrictions rules;
    rules.drive_levels[3] = 1;
    files.files.push_back("D:\\GAMES\\GAME.EXE");
    files.search = {"C:\\WINDOWS"};
    files.associations["C:\\DOCS\\README.TXT"] = "C:\\WINDOWS\\NOTEPAD.EXE";
    processes.associations["C:\\DOCS\\README.TXT"] = "C:\\WINDOWS\\NOTEPAD.EXE";
    processes.associations["NOTEPAD"] = "C:\\WINDOWS\\NOTEPAD.EXE";

    launcher.set_restrictions(rules);
    // A refusal is said by whoever asked, with the check's own verdict, never by the launcher.
    const RunResult refused = launcher.run_typed("d:\\games\\game.exe", false, false);
    EXPECT_EQ(refused.outcome, RunOutcome::Refused);
    EXPECT_EQ(refused.refusal.program, "D:\\GAMES\\GAME.EXE");
    EXPECT_FALSE(refused.refusal.reason.empty());
    EXPECT_EQ(refusal_text(refused.refusal),
              "You may not run D:\\GAMES\\GAME.EXE: " + refused.refusal.reason);
    EXPECT_TRUE(processes.log.empty());
    EXPECT_TRUE(prompter.log.empty());

    EXPECT_EQ(launcher.run_typed("notepad", true, false), RunOutcome::Started);
    EXPECT_EQ(launcher.run_typed("c:\\docs\\readme.txt", false, true), RunOutcome::Started);
    EXPECT_EQ(launcher.run_typed("nosuch", false, false), RunOutcome::Failed);
    EXPECT_EQ(processes.log,
              (Log{"start NOTEPAD in [] show 1",
                   "start C:\\WINDOWS\\NOTEPAD.EXE C:\\DOCS\\README.TXT in [C:\\WINDOWS\\] show 2"}));
    EXPECT_EQ(prompter.log, Log{"alert Error: An Error has occurred attempting to execute\rNOSUCH"});

    // "::" hands the rest to the shell as parameters of the whole file before it.
    files.files.push_back("C:\\MY APPS\\VIEW.EXE");
    processes.log.clear();
    processes.openable = {"C:\\MY APPS\\VIEW.EXE"};
    EXPECT_EQ(launcher.run_typed("\"c:\\my apps\\view.exe\"::{20D04FE0}", false, true), RunOutcome::Started);
    EXPECT_EQ(processes.log, (Log{"open C:\\MY APPS\\VIEW.EXE with ::{20D04FE0}",
                                  "open C:\\MY APPS\\VIEW.EXE in [C:\\MY APPS\\] show 0"}));
}

TEST(SpeedKeys, CurrentPageFirstThenMaster) {
    ButtonView a, b, m;
    a.caption = "page";
    a.speed_key = 0x0170;
    b.caption = "none";
    m.caption = "master";
    m.speed_key = 0x0171;
    ButtonView m2 = m;
    m2.speed_key = 0x0170;
    const std::vector<ButtonView> page = {b, a}, master = {m2, m};
    EXPECT_EQ(find_speed_key_button(page, master, 0x0170)->caption, "page");
    EXPECT_EQ(find_speed_key_button(page, master, 0x0171)->caption, "master");
    EXPECT_EQ(find_speed_key_button({}, master, 0x0171)->caption, "master");
    EXPECT_EQ(find_speed_key_button(page, master, 0), nullptr);
    EXPECT_EQ(find_speed_key_button(page, master, 0x0172), nullptr);
}

TEST_F(LauncherFixture, SelectedFilesObeyTheRestrictions) {
    struct Selector : FileSelector {
        std::optional<std::string> select_file(const std::string&, const std::string&, const std::string&,
                                               const std::string&) override {
            return std::string("D:\\GAMES\\GAME.EXE");
        }
        std::optional<std::string> select_directory(const std::string&, const std::string&) override {
            return std::nullopt;
        }
    } selector;
    files.files.push_back("D:\\GAMES\\GAME.EXE");
    processes.startable.push_back("D:\\GAMES\\GAME.EXE");
    launcher.environment().selector = &selector;
    launcher.carry_out(program("[E,C:\\*.EXE]"));
    EXPECT_EQ(processes.log.front(), "start D:\\GAMES\\GAME.EXE in [] show 0");

    RunRestrictions rules;
    rules.drive_levels[3] = 1;
    launcher.set_restrictions(rules);
    processes.log.clear();
    launcher.carry_out(program("[E,C:\\*.EXE]"));
    EXPECT_TRUE(processes.log.empty());
}

}  // namespace
}  // namespace vx::shell
