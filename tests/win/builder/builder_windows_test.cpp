#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <variant>
#include <vector>

#include "builder/import.h"
#include "unit/port_fakes.h"
#include "util/file_io.h"
#include "win/builder/builder_ids.h"
#include "win/builder/group_dialog.h"
#include "win/builder/progress_report.h"
#include "win/builder/win_folders.h"
#include "win/editor/person.h"
#include "win/shell/main_form.h"
#include "win/shell/registry_settings.h"
#include "win/shell/shell_links.h"
#include "win/support/real_input.h"
#include "win/util/text.h"

namespace vx::win::builder {
namespace {

namespace fs = std::filesystem;

// A folder tree of the test's own, which VX_BUILDER_ROOT makes the builder's Windows directory.
class BuilderTree : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("vx builder " + std::to_string(GetCurrentProcessId()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "Desktop");
        fs::create_directories(root_ / "Start Menu" / "Programs" / "Games");
        SetEnvironmentVariableW(L"VX_BUILDER_ROOT", root_.wstring().c_str());
    }
    void TearDown() override {
        SetEnvironmentVariableW(L"VX_BUILDER_ROOT", nullptr);
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    std::string utf8(const fs::path& p) const { return narrow(p.wstring()); }
    void write(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

    fs::path root_;
};

TEST_F(BuilderTree, TheFileSystemAdapterListsEveryEntryAndReadsBytes) {
    const fs::path desk = root_ / "Desktop";
    write(desk / "Notes.txt", "hello");
    write(desk / "Hidden.ini", "h");
    SetFileAttributesW((desk / "Hidden.ini").wstring().c_str(),
                       FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    fs::create_directories(desk / "Sub folder");
    // The name goes through the wide calls: UTF-8 inside, UTF-16 at the system.
    write(desk / widen("Caf\xC3\xA9.url"), "[InternetShortcut]\r\nURL=http://example.com/\r\n");

    Win32FolderSource source;
    auto listed = source.list(utf8(desk));
    ASSERT_TRUE(listed.has_value());
    std::vector<std::pair<std::string, bool>> got;
    for (const auto& e : *listed) got.emplace_back(e.name, e.folder);
    std::sort(got.begin(), got.end());
    // Hidden and system files are listed; "." and ".." are not.
    EXPECT_EQ(
        got,
        (std::vector<std::pair<std::string, bool>>{
            {"Caf\xC3\xA9.url", false}, {"Hidden.ini", false}, {"Notes.txt", false}, {"Sub folder", true}}));
    const auto empty = source.list(utf8(desk / "Sub folder"));
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->empty());
    EXPECT_FALSE(source.list(utf8(desk / "missing")).has_value());
    EXPECT_FALSE(source.list(utf8(desk / "Notes.txt")).has_value()) << "a file is no directory";

    EXPECT_EQ(source.read(utf8(desk / "Notes.txt"), 100), "hello");
    EXPECT_EQ(source.read(utf8(desk / "Notes.txt"), 3), "hel");
    EXPECT_FALSE(source.read(utf8(desk / "none.txt"), 100).has_value());

    // An internet shortcut's button runs its address; a file's runs the file.
    const auto url =
        vx::builder::import_button("Caf\xC3\xA9.url", utf8(desk / widen("Caf\xC3\xA9.url")), {}, source);
    EXPECT_EQ(url.command, "http://example.com/\r");
    EXPECT_EQ(url.caption, "Caf\xC3\xA9");
}

TEST_F(BuilderTree, TheFoldersUnderTheWindowsDirectoryWinWhereTheyExist) {
    Win32FolderSource source;
    const auto folders = windows_folders(source);
    ASSERT_EQ(folders.desktop.paths.size(), 1u);
    EXPECT_TRUE(fs::equivalent(fs::path(widen(folders.desktop.paths[0])), root_ / "Desktop"));
    ASSERT_EQ(folders.programs.paths.size(), 1u);
    EXPECT_TRUE(
        fs::equivalent(fs::path(widen(folders.programs.paths[0])), root_ / "Start Menu" / "Programs"));

    // Without them, the known folders of the machine stand in: nothing under the root is named.
    fs::remove_all(root_ / "Desktop");
    fs::remove_all(root_ / "Start Menu");
    const auto known = windows_folders(source);
    for (const auto& p : known.desktop.paths) EXPECT_EQ(p.find(utf8(root_)), std::string::npos) << p;
}

TEST_F(BuilderTree, AShortcutShowsItsTargetsIcon) {
    const fs::path target = root_ / "Tool.exe";
    write(target, "MZ");
    const std::string link_path = utf8(root_ / "Start Menu" / "Programs" / "Tool.lnk");
    shell::Win32ShellLinks links;
    ShellLink link;
    link.target = utf8(target);
    std::string error;
    ASSERT_TRUE(links.create(link_path, link, error)) << error;
    EXPECT_TRUE(fs::equivalent(fs::path(widen(icon_source_of(link_path, links))), target));
    link.icon_location = utf8(root_ / "Other.ico");
    ASSERT_TRUE(links.create(link_path, link, error)) << error;
    EXPECT_EQ(icon_source_of(link_path, links), link.icon_location);
    // Any other file is its own icon's source.
    EXPECT_EQ(icon_source_of(utf8(target), links), utf8(target));
}

TEST(ProgressReport, TheGaugeShowsOnlyAboveOneAndTheHeightFollows) {
    int asked = 0;
    TProgressReport progress(nullptr, [&](const std::string& caption, const std::string& question) {
        EXPECT_EQ(caption, kAbortCaption);
        EXPECT_EQ(question, kAbortQuestion);
        ++asked;
        return true;
    });
    struct Case {
        int maximum;
        bool gauge;
        int height;
        int stop_top;
    };
    for (const Case c : {Case{5, true, kProgressHeightWithGauge, kStopTopWithGauge},
                         Case{1, false, kProgressHeightWithoutGauge, kStopTopWithoutGauge},
                         Case{2, true, kProgressHeightWithGauge, kStopTopWithGauge}}) {
        progress.start(c.maximum);
        progress.step(std::nullopt, "Creating: \"Solo\"", 1);
        EXPECT_EQ(progress.gauge_shown(), c.gauge) << c.maximum;
        RECT client{}, stop{};
        GetClientRect(progress.hwnd(), &client);
        EXPECT_EQ(client.bottom, c.height) << c.maximum;
        GetWindowRect(progress.stop_button(), &stop);
        MapWindowPoints(nullptr, progress.hwnd(), reinterpret_cast<POINT*>(&stop), 2);
        EXPECT_EQ(stop.top, c.stop_top) << c.maximum;
        EXPECT_EQ(progress.prompt(), "Creating: \"Solo\"");
        progress.finish();
        EXPECT_FALSE(IsWindowVisible(progress.hwnd()));
    }
    // The gauge never goes beyond its maximum; -1 leaves it where it is.
    progress.start(3);
    for (int i = 0; i < 5; ++i) progress.step(std::nullopt, std::nullopt, 1);
    EXPECT_EQ(progress.gauge_position(), 3);
    progress.step("Importing", std::nullopt, -1);
    EXPECT_EQ(progress.gauge_position(), 3);
    // "Stop" asks, and the answer is the stop flag the import polls.
    EXPECT_FALSE(progress.poll());
    SendMessageW(progress.hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(progress.stop_button()), BN_CLICKED),
                 reinterpret_cast<LPARAM>(progress.stop_button()));
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(progress.poll());
    progress.finish();
    EXPECT_FALSE(progress.stopped());
}

// The shell's main window with a registry key and program folder of its own.
class StartMenuWatchTest : public BuilderTree {
protected:
    const std::wstring key =
        L"Software\\Halvane\\VantoraTest\\Builder" + std::to_wstring(GetCurrentProcessId());
    shell::RegistrySettingsStore store{key};

    void SetUp() override {
        BuilderTree::SetUp();
        fs::create_directories(root_ / "program");
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES};
        InitCommonControlsEx(&icc);
    }
    void TearDown() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
        BuilderTree::TearDown();
    }
    static void close(shell::TMainForm& form) {
        DestroyWindow(form.hwnd());
        MSG m;
        while (PeekMessageW(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
};

std::vector<std::string> captions(const model::Page& page) {
    std::vector<std::string> out;
    for (auto it = page.objects.rbegin(); it != page.objects.rend(); ++it)
        out.push_back(std::get<model::ButtonData>(it->data).caption);
    return out;
}

TEST_F(StartMenuWatchTest, AProgramGroupMadeWhileTheShellRunsBecomesAPage) {
    shell::TMainForm form(store);
    form.set_program_dir(utf8(root_ / "program"));
    ASSERT_TRUE(form.create(GetModuleHandleW(nullptr)));
    form.first_show();
    ASSERT_TRUE(form.watching_start_menu());
    const size_t pages_before = form.station().desktop().pages().size();

    // An installer's group arrives whole (made beside the menu and moved in), so that the one
    // change the watcher sees finds its files.
    const fs::path staging = root_ / "staging";
    fs::create_directories(staging);
    write(staging / "Acme Editor.lnk", "not a real link");
    write(staging / "Read me.txt", "text");
    fs::rename(staging, root_ / "Start Menu" / "Programs" / "Acme Tools");
    ASSERT_TRUE(test::pump_until([&] { return form.station().desktop().find_page("Acme Tools") != nullptr; },
                                 std::chrono::seconds(10)))
        << "no page for the new group";
    const model::Page* page = form.station().desktop().find_page("Acme Tools");
    EXPECT_EQ(form.station().desktop().pages().size(), pages_before + 1);
    // Its tab shows, and the page is the one shown.
    EXPECT_EQ(form.station().desktop().current(), page);
    EXPECT_EQ(TabCtrl_GetCurSel(form.page_tabs()), form.station().tab_of(page));
    // Its files became buttons (in the order the directory lists them), each running its file.
    auto got = captions(*page);
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, (std::vector<std::string>{"Acme Editor", "Read me"}));
    for (const auto& e : page->objects) {
        const auto& b = std::get<model::ButtonData>(e.data);
        EXPECT_EQ(b.command.back(), '\r');
        EXPECT_EQ(b.bounds.width, 180);
        EXPECT_EQ(b.bounds.height, 40);
    }
    // The watch goes on: a second group makes a second page.
    ASSERT_TRUE(test::pump_until([&] { return form.watching_start_menu(); }, std::chrono::seconds(5)));
    fs::create_directories(root_ / "Start Menu" / "Programs" / "Zeta");
    EXPECT_TRUE(test::pump_until([&] { return form.station().desktop().find_page("Zeta") != nullptr; },
                                 std::chrono::seconds(10)))
        << "the watch did not start again";
    close(form);
    EXPECT_FALSE(form.watching_start_menu()) << "the watcher outlived its window";
}

TEST_F(StartMenuWatchTest, AChangeInModifyModeIsDropped) {
    shell::TMainForm form(store);
    form.set_program_dir(utf8(root_ / "program"));
    ASSERT_TRUE(form.create(GetModuleHandleW(nullptr)));
    form.first_show();
    ASSERT_TRUE(form.enter_modify_mode());
    fs::create_directories(root_ / "Start Menu" / "Programs" / "Acme Tools");
    // The change arrives and is dropped; the watch starts again.
    test::pump_until([] { return false; }, std::chrono::milliseconds(1500));
    EXPECT_EQ(form.station().desktop().find_page("Acme Tools"), nullptr);
    EXPECT_TRUE(form.watching_start_menu());
    // Dropped for good: the folder is in the baseline now, so leaving modify mode adds nothing.
    form.design()->undo.mark_saved();
    close(form);
}

TEST_F(StartMenuWatchTest, SetupWizardAddsTheChosenGroupAsAPageInTwoStepsThatUndoTakesBack) {
    VX_NEED_DISPLAY();
    const fs::path programs = root_ / "Start Menu" / "Programs";
    write(programs / "Games" / "Solo.lnk", "x");
    write(programs / "Games" / "Mines.lnk", "x");
    write(programs / "Games" / "Rules.txt", "x");
    fs::create_directories(programs / "Accessories");
    shell::TMainForm form(store);
    form.set_program_dir(utf8(root_ / "program"));
    ASSERT_TRUE(form.create(GetModuleHandleW(nullptr)));
    form.show(SW_SHOWNORMAL);
    form.first_show();
    ASSERT_TRUE(form.enter_modify_mode());

    // The list is sorted ("Accessories" first) and shows only the names: the person picks the
    // second row and presses OK.
    std::vector<std::wstring> rows;
    test::Person person(
        [&] {
            HWND dialog = nullptr;
            test::wait_until([&] {
                return (dialog = FindWindowW(L"#32770", L"Add Program Group")) && IsWindowVisible(dialog);
            });
            if (!dialog) return;
            const HWND list = GetDlgItem(dialog, IDC_LIST_GROUPS);
            const int n = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
            for (int i = 0; i < n; ++i) {
                RECT r{};
                SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
                EXPECT_EQ(r.bottom - r.top, kGroupRowHeight);
                wchar_t text[MAX_PATH * 2]{};
                SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
                rows.push_back(text);
            }
            RECT row{};
            SendMessageW(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
            POINT at{(row.left + row.right) / 2, (row.top + row.bottom) / 2};
            ClientToScreen(list, &at);
            test::click_at(at);
            test::pause(200);
            RECT whole{};
            GetWindowRect(dialog, &whole);
            test::screenshot(whole, "AddProgramGroup");
            // "&Help" and F1 each ask for their topic.
            test::click_at(test::center_of(GetDlgItem(dialog, IDHELP)));
            test::pause(200);
            test::tap(VK_F1);
            test::pause(200);
            test::click_at(test::center_of(GetDlgItem(dialog, IDOK)));
        },
        [] {
            if (const HWND dialog = FindWindowW(L"#32770", L"Add Program Group"))
                PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
    std::vector<int> topics;
    form.commands().help_topic = [&](int topic) { topics.push_back(topic); };
    form.add_program_group();
    ASSERT_TRUE(person.finish()) << "the dialog did not close";
    EXPECT_EQ(topics, (std::vector<int>{kAddProgramGroupHelpTopic, kAddProgramGroupHelpContext}));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].rfind(L"Accessories|", 0), 0u);
    EXPECT_EQ(rows[1], L"Games|" + (programs / "Games").wstring() + L" 2");

    const model::Page* games = form.station().desktop().find_page("Games");
    ASSERT_NE(games, nullptr);
    EXPECT_EQ(form.station().desktop().current(), games);
    auto got = captions(*games);
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, (std::vector<std::string>{"Mines", "Rules", "Solo"}));
    // One step takes the buttons back, the next the page.
    form.design()->undo.undo();
    EXPECT_TRUE(form.station().desktop().find_page("Games")->objects.empty());
    form.design()->undo.undo();
    EXPECT_EQ(form.station().desktop().find_page("Games"), nullptr);
    form.design()->undo.mark_saved();
    close(form);
}

TEST_F(StartMenuWatchTest, StopDuringTheWalkKeepsThePagesMadeAndStillSaves) {
    VX_NEED_DISPLAY();
    const fs::path programs = root_ / "Start Menu" / "Programs";
    // Two groups large enough for a hand to reach "Stop" during the first.
    for (const char* group : {"Big", "Later"}) {
        fs::create_directories(programs / group);
        for (int i = 0; i < 1500; ++i) write(programs / group / ("Item " + std::to_string(i) + ".lnk"), "x");
    }
    fs::remove_all(programs / "Games");
    shell::TMainForm form(store);
    form.set_program_dir(utf8(root_ / "program"));
    testing::FakePrompter prompter;
    // "Yes" to building, "Yes" to aborting.
    prompter.answers = {"yes", "yes"};
    form.set_prompter(&prompter);
    const std::string file = utf8(root_ / "program" / "BUILT.DTP");
    form.set_new_desktop_chooser([&](const std::string&, const std::string&) { return std::optional(file); });
    ASSERT_TRUE(form.create(GetModuleHandleW(nullptr)));
    form.show(SW_SHOWNORMAL);
    form.first_show();

    bool gauge_seen = false;
    test::Person person(
        [&] {
            HWND progress = nullptr;
            test::wait_until(
                [&] { return (progress = FindWindowW(L"#32770", L"Progress")) && IsWindowVisible(progress); }, 10000);
            if (!progress) return;
            gauge_seen = IsWindowVisible(GetDlgItem(progress, IDC_PROGRESS_GAUGE)) != FALSE;
            test::click_at(test::center_of(GetDlgItem(progress, IDC_BUTTON_PROGRESS_STOP)));
        },
        [] {});
    EXPECT_TRUE(form.new_desktop_procedure());
    person.finish();
    EXPECT_TRUE(gauge_seen);
    ASSERT_EQ(prompter.log.size(), 2u);
    EXPECT_EQ(prompter.log[1], std::string("yesno ") + kAbortCaption + ": " + kAbortQuestion);

    // The walk ended inside a group: the pages made so far stay, the one stopped in holds what it
    // got, and no page came after it.
    const model::Desktop& d = form.station().desktop();
    ASSERT_GE(d.pages().size(), 3u);
    EXPECT_LE(d.pages().size(), 4u);
    EXPECT_LT(d.pages().back()->objects.size(), 1500u);
    // Saved all the same, and the file is now the desktop file.
    EXPECT_TRUE(file_exists(file));
    EXPECT_EQ(form.station().settings().desktop_file, file);
    form.set_prompter(nullptr);
    close(form);
}

}  // namespace
}  // namespace vx::win::builder
