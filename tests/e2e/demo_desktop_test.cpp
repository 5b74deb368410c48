// The harness brings in <windows.h>, which the common controls need first.
#include "e2e/harness.h"

#include <commctrl.h>

#include <filesystem>

#include "win/shell/main_form.h"
#include "win/util/text.h"

namespace vx::e2e {
namespace {

using win::shell::kMainFormClass;
namespace fs = std::filesystem;

class DemoDesktop : public ShellTest {
protected:
    HWND main = nullptr;
    HWND tabs = nullptr;

    // Starts the shell on the demo desktop and waits until its tabs are there.
    void start_demo() {
        fs::copy(fs::path(VX_DATA_DIR) / "demo", folder(),
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        start_shell();
        main = wait_for_window(kMainFormClass);
        ASSERT_NE(main, nullptr);
        tabs = FindWindowExW(main, nullptr, WC_TABCONTROLW, nullptr);
        ASSERT_NE(tabs, nullptr);
        ASSERT_TRUE(eventually([&] { return TabCtrl_GetItemCount(tabs) == 5; })) << "the demo has five tabs";
    }
    int tab() const { return static_cast<int>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0)); }
    bool on_tab(int index) {
        return eventually([&] { return tab() == index; });
    }
};

TEST_F(DemoDesktop, ShowsItsTabsAndPageDownVisitsEveryOpenPage) {
    start_demo();
    EXPECT_EQ(tab(), 0);
    Sleep(300);
    screenshot();
    for (int i = 1; i <= 3; ++i) {
        press_key(main, VK_NEXT);
        ASSERT_TRUE(on_tab(i)) << "Page Down to tab " << i;
        Sleep(300);
        screenshot();
    }
    press_key(main, VK_HOME);
    EXPECT_TRUE(on_tab(0));
}

TEST_F(DemoDesktop, EndAsksForThePagePasswordAndOnlyTheRightOneOpensIt) {
    start_demo();
    press_key(main, VK_END);
    HWND prompt = wait_for_window(L"#32770", L"Password Required");
    ASSERT_NE(prompt, nullptr) << "the staff page asks for its password";
    Sleep(300);
    screenshot();
    EXPECT_EQ(tab(), 0) << "the tab waits for the password";

    // Cancel refuses: the tab stays.
    PostMessageW(prompt, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(eventually([&] { return !IsWindow(prompt); }));
    EXPECT_EQ(tab(), 0);

    press_key(main, VK_END);
    prompt = wait_for_window(L"#32770", L"Password Required");
    ASSERT_NE(prompt, nullptr);
    HWND edit = FindWindowExW(prompt, nullptr, L"Edit", nullptr);
    ASSERT_NE(edit, nullptr);
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"library"));
    PostMessageW(prompt, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(on_tab(4)) << "the right password, in any case, opens the page";
    Sleep(300);
    screenshot();
}

}  // namespace
}  // namespace vx::e2e
