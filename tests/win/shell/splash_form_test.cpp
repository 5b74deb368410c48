#include "win/shell/splash_form.h"

#include <gtest/gtest.h>

#include <vector>

#include "win/security/dialog_script.h"
#include "win/shell/setup_ids.h"

namespace vx::win::shell {
namespace {

using security::testing::Scripted;

TEST(SplashForm, ShowsVersionAndDateOnTwoLinesAndHelpOpensTopic334) {
    std::vector<int> topics;
    Scripted<TSplashForm> about([&](int topic) { topics.push_back(topic); });
    std::wstring caption;
    std::string version;
    about.script = [&](auto& d) {
        wchar_t buffer[128]{};
        GetWindowTextW(d.hwnd(), buffer, 128);
        caption = buffer;
        version = d.text(IDC_STATIC_ABOUT_VERSION);
        d.press(IDHELP);
        d.press(IDOK);
    };
    EXPECT_EQ(about.run(nullptr), IDOK);
    EXPECT_EQ(caption, L"About Vantora!");
    EXPECT_EQ(version, "Version: 2.0c\r\nJanuary 18, 1998");
    EXPECT_EQ(topics, std::vector<int>{334});
}

}  // namespace
}  // namespace vx::win::shell

namespace vx::win::shell {
namespace {

TEST(SplashForm, DISABLED_ShowAbout) {
    Scripted<TSplashForm> about;
    about.script = [&](auto& d) {
        ShowWindow(d.hwnd(), SW_SHOW);
        UpdateWindow(d.hwnd());
        d.pump(2500);
        d.press(IDOK);
    };
    about.run(nullptr);
}

}  // namespace
}  // namespace vx::win::shell
