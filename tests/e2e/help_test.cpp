// The shell's own help: "&Contents", a dialog's "&Help" and F1 all show their topics in one
// help window, owned by the main window.
#include "e2e/desktop_fixture.h"
#include "win/help/help_window.h"

namespace vx::e2e {
namespace {

using win::help::THelpWindow;

class HelpTest : public DesktopTest {
protected:
    // The first line of the help window's text: the shown topic's title.
    static std::string shown_title(HWND help) {
        const std::string text = text_of(GetDlgItem(help, win::help::IDC_EDIT_HELP_TEXT));
        return text.substr(0, text.find_first_of("\r\n"));
    }
};

TEST_F(HelpTest, ContentsADialogsHelpAndF1ShowTheirTopicsInOneWindow) {
    const HWND main = start_on_desktop();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(menu_command(main, vx::shell::MenuCommand::HelpContents)) << "no \"&Help\" menu";
    const HWND help = wait_for_window(THelpWindow::kClassName, THelpWindow::kCaption);
    ASSERT_NE(help, nullptr) << "\"&Contents\" opened no help";
    EXPECT_EQ(GetWindow(help, GW_OWNER), main);
    EXPECT_TRUE(eventually([&] { return shown_title(help) == "Vantora! Help"; })) << shown_title(help);
    screenshot("contents");

    // The About box is modal; its "&Help" still reaches the help window, which takes the topic.
    ASSERT_TRUE(menu_command(main, vx::shell::MenuCommand::About));
    const HWND about = wait_for_window(L"#32770", L"About Vantora!");
    ASSERT_NE(about, nullptr);
    click_control(about, IDHELP);
    EXPECT_TRUE(eventually([&] { return shown_title(help) == "About Vantora!"; })) << shown_title(help);
    EXPECT_EQ(count_top_level(THelpWindow::kClassName), 1);
    screenshot("about");
    PostMessageW(about, WM_COMMAND, IDOK, 0);  // not what this test is about
    ASSERT_TRUE(eventually([&] { return !IsWindow(about); }));

    // F1 on the desktop shows the contents again, in the same window.
    press_key(main, VK_F1);
    EXPECT_TRUE(eventually([&] { return shown_title(help) == "Vantora! Help"; })) << shown_title(help);
    EXPECT_EQ(count_top_level(THelpWindow::kClassName), 1);
}

}  // namespace
}  // namespace vx::e2e
