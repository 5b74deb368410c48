#include "e2e/desktop_fixture.h"
#include "win/shell/application.h"
#include "win/shell/main_form.h"

namespace vx::e2e {
namespace {

// The program's start and end, on a desktop of its own: a start without one is the builder's
// offer (see the desktop file tests).
using ShellStartTest = DesktopTest;

using win::shell::kApplicationClass;
using win::shell::kApplicationTitle;
using win::shell::kMainFormClass;

TEST_F(ShellStartTest, MainWindowAppearsWithTheDefaultCaption) {
    save_desktop();
    const size_t shell = start_shell();
    const HWND main = wait_for_window(kMainFormClass);
    ASSERT_NE(main, nullptr) << "no main window";
    EXPECT_EQ(text_of(main), "Vantora!");
    EXPECT_TRUE(IsWindowVisible(main));

    // The application window is what a second start looks for; it never shows.
    const HWND app = FindWindowW(kApplicationClass, kApplicationTitle);
    ASSERT_NE(app, nullptr);
    EXPECT_FALSE(IsWindowVisible(app));
    DWORD app_pid = 0, main_pid = 0;
    GetWindowThreadProcessId(app, &app_pid);
    GetWindowThreadProcessId(main, &main_pid);
    EXPECT_EQ(app_pid, main_pid);

    Sleep(300);  // let the first paint reach the screen
    screenshot();
    EXPECT_TRUE(running(shell));
}

TEST_F(ShellStartTest, CaptionComesFromTheTitleSetting) {
    set_setting("Title", "Lab 3 \xE2\x80\x93 Caf\xC3\xA9");
    save_desktop();
    start_shell();
    const HWND main = wait_for_window(kMainFormClass);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(text_of(main), "Lab 3 \xE2\x80\x93 Caf\xC3\xA9");
    // The application keeps its own title whatever the caption says, or a second start would
    // not find it.
    EXPECT_NE(FindWindowW(kApplicationClass, kApplicationTitle), nullptr);
}

TEST_F(ShellStartTest, SecondStartLeavesOneInstanceAndBringsTheFirstForward) {
    save_desktop();
    const size_t first = start_shell();
    const HWND main = wait_for_window(kMainFormClass);
    ASSERT_NE(main, nullptr);
    ShowWindow(main, SW_MINIMIZE);
    ASSERT_TRUE(eventually([&] { return IsIconic(main) != FALSE; }));

    const size_t second = start_shell();
    EXPECT_EQ(wait_for_exit(second, 20s), std::optional<DWORD>(0)) << "the second start must end by itself";
    EXPECT_TRUE(running(first));
    EXPECT_EQ(count_top_level(kMainFormClass), 1);
    EXPECT_EQ(count_top_level(kApplicationClass), 1);

    EXPECT_TRUE(eventually([&] { return !IsIconic(main) && IsWindowVisible(main); })) << "not restored";
    EXPECT_TRUE(eventually([&] { return GetForegroundWindow() == main; })) << "not in front";
    EXPECT_FALSE(IsWindowVisible(FindWindowW(kApplicationClass, kApplicationTitle)));
    Sleep(300);
    screenshot();
}

// Another program's close goes through the exit rules too: it asks, as "E&xit" does.
TEST_F(ShellStartTest, ClosingTheMainWindowEndsTheProgram) {
    save_desktop();
    const size_t shell = start_shell();
    const HWND main = wait_for_window(kMainFormClass);
    ASSERT_NE(main, nullptr);
    PostMessageW(main, WM_CLOSE, 0, 0);
    const HWND question = wait_for_window(L"#32770", L"Exit Vantora!");
    ASSERT_NE(question, nullptr) << "a close from outside must ask";
    click_control(question, IDYES);
    EXPECT_EQ(wait_for_exit(shell, 20s), std::optional<DWORD>(0));
    EXPECT_EQ(FindWindowW(kApplicationClass, kApplicationTitle), nullptr);
}

}  // namespace
}  // namespace vx::e2e
