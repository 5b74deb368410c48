// Usage logging in the real shell: a program in front is tracked at each tick, its record is in
// the log file once the shell has closed, and "View Usage &Log" opens the viewer.
#include <fstream>

#include "e2e/desktop_fixture.h"
#include "security/usage_log.h"

namespace vx::e2e {
namespace {

class UsageLogTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        log_ = folder() / "USAGE.LOG";
        // Usage log on, everything else off; nobody needs to log in.
        std::ofstream admin(folder() / "ADMAN.ADM", std::ios::binary);
        admin << "Security=0 0 1 0 0 0 0 0 0 0\r\nLogFile=" << log_.string() << "\r\n";
        set_setting("ExitPrompt", "0");
    }

    std::filesystem::path log_;
};

TEST_F(UsageLogTest, ProgramInFrontIsRecordedAndTheViewerOpens) {
    auto& button = add_recorder_button("Page 1", recorder_line("--window Tracked"));
    const HWND main = start_on_desktop();
    ASSERT_NE(main, nullptr);
    click_button(main, button);
    // The shell hands its command lines over in capitals, the title among them.
    const HWND tracked = wait_for_window(L"VxStartRecorder", L"TRACKED");
    ASSERT_NE(tracked, nullptr) << "the program did not show its window";
    SetForegroundWindow(tracked);
    // The main timer ticks five times a second: a few seconds in front is many ticks.
    Sleep(3000);

    ASSERT_TRUE(menu_command(main, vx::shell::MenuCommand::ViewUsageLog));
    const HWND viewer = wait_for_window(L"#32770", L"Vantora! Usage Log");
    ASSERT_NE(viewer, nullptr) << "the viewer did not open";
    screenshot();
    answer(viewer, IDOK);
    ASSERT_TRUE(eventually([&] { return !IsWindow(viewer); }));

    EXPECT_FALSE(std::filesystem::exists(log_)) << "records are written when the shell closes";
    ASSERT_TRUE(menu_command(main, vx::shell::MenuCommand::Exit));
    ASSERT_EQ(wait_for_exit(0, 20s), std::optional<DWORD>(0));

    ASSERT_TRUE(std::filesystem::exists(log_)) << "no log after exit";
    Windows1252Codec codec;
    const auto records = vx::security::read_usage_log(log_.string(), codec);
    bool found = false;
    for (const auto& r : records) {
        if (r.program != "TRACKED") continue;
        found = true;
        EXPECT_EQ(r.user, "") << "nobody logged in";
        EXPECT_GT(r.used(), 0.0);
        EXPECT_FALSE(r.running()) << "closed at the flush";
    }
    EXPECT_TRUE(found) << records.size() << " records, none for the program in front";
}

}  // namespace
}  // namespace vx::e2e
