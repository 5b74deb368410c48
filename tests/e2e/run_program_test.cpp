// "Run Program" in the real shell, with an administration file that bars the drive the test's
// program folder is on: the typed command is refused and nothing starts.
#include <fstream>

#include "e2e/desktop_fixture.h"
#include "win/shell/launch_ids.h"

namespace vx::e2e {
namespace {

class RunProgramTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        // Nobody needs to log in; every drive is open but the one this folder is on.
        const char barred = static_cast<char>(std::toupper(folder().string().front()));
        std::ofstream admin(folder() / "ADMAN.ADM", std::ios::binary);
        admin << "Security=0 0 0 0 0 0 0 0 0 0\r\n";
        for (char drive = 'A'; drive <= 'Z'; ++drive)
            admin << "Drive=" << (drive == barred ? 1000 : 0) << "\r\n";
        set_setting("ExitPrompt", "0");
    }

    // Opens "Run Program", types the command and presses OK.
    static void run_typed(HWND main, const std::string& command) {
        ASSERT_TRUE(menu_command(main, vx::shell::MenuCommand::Run));
        const HWND form = wait_for_window(L"#32770", L"Run Program");
        ASSERT_NE(form, nullptr) << "Run Program did not open";
        const HWND edit = GetDlgItem(form, IDC_RUN_COMMAND);
        ASSERT_NE(edit, nullptr);
        // The last command typed is offered again: select it all and type over it.
        click(edit, 5, 5);
        press_key('A', {VK_CONTROL});
        press_key(VK_DELETE);
        type_text(std::wstring(command.begin(), command.end()));
        answer(form, IDOK);
        ASSERT_TRUE(eventually([&] { return !IsWindow(form); }));
    }
};

TEST_F(RunProgramTest, RefusesAProgramOnABarredDrive) {
    const HWND main = start_on_desktop();
    ASSERT_NE(main, nullptr);
    // Written three ways; each names the same program on the barred drive.
    const std::string program = (folder() / "REC.EXE").string();
    std::string slashed = program;
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    for (const std::string& typed :
         {program + " REFUSED", "\"" + program + "\" REFUSED", slashed + " REFUSED"}) {
        SCOPED_TRACE(typed);
        run_typed(main, typed);
        if (HasFatalFailure()) return;
        const HWND alert = wait_for_dialog(main);
        ASSERT_NE(alert, nullptr) << "no refusal shown";
        screenshot();
        answer(alert, IDOK);
        ASSERT_TRUE(eventually([&] { return !IsWindow(alert); }));
    }
    Sleep(1000);
    EXPECT_FALSE(recorded()) << "a refused program started";
}

}  // namespace
}  // namespace vx::e2e
