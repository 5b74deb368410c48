// Buttons carried out by the real shell: what the started program saw (its command line,
// folder and window state) is what the recorder wrote down.
#include <ctime>

#include "e2e/desktop_fixture.h"
// After <windows.h>, which the fixture brings.
#include <commctrl.h>
#include "shell/schedule.h"
#include "util/datetime.h"

namespace vx::e2e {
namespace {

using win::shell::kMainFormClass;

TEST_F(DesktopTest, PlainButtonStartsItsProgramInItsFolder) {
    auto& button = add_recorder_button("Page 1", recorder_line("plain"));
    std::get<model::ButtonData>(button.data).directory = folder().string();
    const HWND main = start_on_desktop();
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(recorded()) << "nothing starts before the click";

    click_button(main, button);
    const auto record = wait_for_record();
    ASSERT_FALSE(record.empty()) << "the button started nothing";
    EXPECT_NE(upper(record.at("cmdline")).find(upper((folder() / "REC.EXE").string()) + " PLAIN"),
              std::string::npos)
        << "<DEFAULTDIR> is the shell's folder: " << record.at("cmdline");
    EXPECT_EQ(upper(record.at("cwd")), upper(folder().string()));
    screenshot();
}

TEST_F(DesktopTest, YesNoMacroAnsweredNoStartsNothingAndYesStarts) {
    auto& button = add_recorder_button("Page 1", "[Y,Do you want to continue?]\r" + recorder_line("asked"));
    const HWND main = start_on_desktop();
    ASSERT_NE(main, nullptr);

    click_button(main, button);
    HWND question = wait_for_dialog(main);
    ASSERT_NE(question, nullptr) << "no question";
    // The query window answers with OK and Cancel under the captions "&Yes" and "&No".
    EXPECT_EQ(text_of(GetDlgItem(question, IDOK)), "&Yes");
    answer(question, IDCANCEL);
    ASSERT_TRUE(eventually([&] { return !IsWindow(question); }));
    Sleep(1500);
    EXPECT_FALSE(recorded()) << "No cancels the lines after the macro";

    click_button(main, button);
    question = wait_for_dialog(main);
    ASSERT_NE(question, nullptr);
    answer(question, IDOK);  // "&Yes"
    const auto record = wait_for_record();
    ASSERT_FALSE(record.empty()) << "Yes lets the program start";
    EXPECT_NE(upper(record.at("cmdline")).find("ASKED"), std::string::npos);
}

TEST_F(DesktopTest, TextMacroPutsTheAnswerIntoTheLine) {
    auto& button = add_recorder_button("Page 1", recorder_line("[T,Which class?]"));
    const HWND main = start_on_desktop();
    ASSERT_NE(main, nullptr);
    click_button(main, button);
    const HWND question = wait_for_dialog(main);
    ASSERT_NE(question, nullptr) << "no question";
    const HWND edit = FindWindowExW(question, nullptr, L"Edit", nullptr);
    ASSERT_NE(edit, nullptr);
    click(edit, 5, 5);
    type_text(L"Room 12");
    answer(question, IDOK);
    const auto record = wait_for_record();
    ASSERT_FALSE(record.empty());
    EXPECT_NE(upper(record.at("cmdline")).find("REC.EXE ROOM 12"), std::string::npos) << record.at("cmdline");
}

TEST_F(DesktopTest, SingleInstanceButtonPressedTwiceStartsOneCopy) {
    auto& button = add_recorder_button("Page 1", recorder_line("--window Once"));
    std::get<model::ButtonData>(button.data).single_instance = true;
    const HWND main = start_on_desktop();
    ASSERT_NE(main, nullptr);
    click_button(main, button);
    ASSERT_FALSE(wait_for_record().empty());
    ASSERT_NE(wait_for_window(L"VxStartRecorder", L"ONCE"), nullptr);
    forget_record();

    SetForegroundWindow(main);
    click_button(main, button);
    Sleep(2500);
    EXPECT_FALSE(recorded()) << "the running copy is brought forward instead";
    EXPECT_EQ(count_top_level(L"VxStartRecorder"), 1);
}

TEST_F(DesktopTest, PageLinksFollowTheTabsAndNextPageStopsAtTheLast) {
    desktop.add_page("Page 2");
    model::ButtonData link;
    link.kind = model::kKindPageLink;
    link.bounds = {20, 20, 120, 40};
    link.page_link = "Next Page";
    auto& on_first = desktop.add_object(*desktop.find_page("Page 1"), link);
    auto& on_last = desktop.add_object(*desktop.find_page("Page 2"), link);
    const HWND main = start_on_desktop();
    ASSERT_NE(main, nullptr);
    const HWND tabs = GetDlgItem(main, win::shell::kIdPageTabs);
    ASSERT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 0);

    click_button(main, on_first);
    EXPECT_TRUE(eventually([&] { return SendMessageW(tabs, TCM_GETCURSEL, 0, 0) == 1; }));
    click_button(main, on_last);
    Sleep(1000);
    EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 1) << "there is no page after the last";
}

TEST_F(DesktopTest, MenuButtonRunsTheCommandPairedWithTheChosenItem) {
    model::ButtonData menu;
    menu.kind = model::kKindMenu;
    menu.bounds = {20, 20, 120, 40};
    menu.command = "&First\r-\r&Second\r/\\\rR," + recorder_line("first") + "R," + recorder_line("second");
    menu.command_lines = 6;
    auto& button = desktop.add_object(*desktop.find_page("Page 1"), menu);
    const HWND main = start_on_desktop();
    ASSERT_NE(main, nullptr);
    click_button(main, button);
    HWND popup = nullptr;
    ASSERT_TRUE(eventually([&] {
        return (popup = FindWindowW(L"#32768", nullptr)) && IsWindowVisible(popup);
    })) << "no pop-up menu";
    // The second item by its letter: what arrow keys reach depends on whether the menu opened
    // with an item already lit (under load a run chose the first item after Down, Down, Enter).
    // Should a press not reach the menu, it is pressed again while the menu stays open, as a
    // person would; a second letter can only choose the same item.
    for (int tries = 0; tries < 3 && IsWindowVisible(popup); ++tries) {
        press_key('S');
        eventually([&] { return !IsWindowVisible(popup); }, 1500ms);
    }
    const auto record = wait_for_record();
    ASSERT_FALSE(record.empty()) << "the chosen item ran nothing";
    EXPECT_NE(upper(record.at("cmdline")).find("SECOND"), std::string::npos) << record.at("cmdline");
}

TEST_F(DesktopTest, StartUpPageButtonRunsAtStart) {
    add_recorder_button(std::string(model::kStartUpPage), recorder_line("at-start"));
    const HWND main = start_on_desktop();
    ASSERT_NE(main, nullptr);
    const auto record = wait_for_record();
    ASSERT_FALSE(record.empty()) << "the StartUp page's button did not run";
    EXPECT_NE(upper(record.at("cmdline")).find("AT-START"), std::string::npos);
}

TEST_F(DesktopTest, ScheduledButtonRunsAtItsTime) {
    // A few seconds ahead of the local clock, every weekday of every week.
    const std::time_t when = std::time(nullptr) + 6;
    std::tm local{};
    localtime_s(&local, &when);
    auto& button = add_recorder_button("Page 1", recorder_line("timed"));
    auto& b = std::get<model::ButtonData>(button.data);
    b.launch_day = vx::shell::launch_bits::kAutomatic | 0x0FFF;
    b.launch_date = make_datetime({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday},
                                  {local.tm_hour, local.tm_min, local.tm_sec, 0});
    desktop.schedule(button.id);
    const HWND main = start_on_desktop();
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(recorded()) << "not before its time";
    const auto record = wait_for_record(30s);
    ASSERT_FALSE(record.empty()) << "the scheduled button did not run";
    EXPECT_NE(upper(record.at("cmdline")).find("TIMED"), std::string::npos);
}

TEST_F(DesktopTest, ExitWithoutExitPromptEndsAtOnce) {
    set_setting("ExitPrompt", "0");
    const HWND main = start_on_desktop();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(menu_command(main, vx::shell::MenuCommand::Exit));
    EXPECT_EQ(wait_for_exit(0, 20s), std::optional<DWORD>(0));
}

TEST_F(DesktopTest, ExitWithExitPromptAsksFirst) {
    const HWND main = start_on_desktop();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(menu_command(main, vx::shell::MenuCommand::Exit));
    HWND question = wait_for_dialog(main);
    ASSERT_NE(question, nullptr) << "no exit question";
    EXPECT_EQ(text_of(question), "Exit Vantora!");
    answer(question, IDNO);
    ASSERT_TRUE(eventually([&] { return !IsWindow(question); }));
    Sleep(500);
    EXPECT_TRUE(running(0)) << "No keeps the shell";

    ASSERT_TRUE(menu_command(main, vx::shell::MenuCommand::Exit));
    question = wait_for_dialog(main);
    ASSERT_NE(question, nullptr);
    answer(question, IDYES);
    EXPECT_EQ(wait_for_exit(0, 20s), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace vx::e2e
