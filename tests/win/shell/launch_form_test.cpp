#include "win/shell/launch_form.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

#include "win/security/dialog_script.h"
#include "win/shell/launch_ids.h"

namespace vx::win::shell {
namespace {

using security::testing::Scripted;

class MemorySettings : public SettingsStore {
public:
    std::map<std::string, std::string> values;
    bool fail_writes = false;
    std::optional<std::string> read(const std::string& section, const std::string& name) override {
        auto it = values.find(section + "\\" + name);
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
    void write(const std::string& section, const std::string& name, const std::string& value) override {
        if (fail_writes) throw std::runtime_error("Unable to write to the registry");
        values[section + "\\" + name] = value;
    }
};

TEST(RunProgram, StartsWithLastProgramAndOkFollowsTheText) {
    MemorySettings settings;
    settings.values["\\LastProgram"] = "C:\\TOOLS\\CALC.EXE";
    LaunchFormPorts ports{settings, {}, {}};
    Scripted<TLaunchForm> form(ports);
    std::string initial;
    bool ok_initially = false, ok_when_empty = true, ok_when_blank = true, ok_with_text = false;
    bool browse_enabled = true, help_enabled = true;
    form.script = [&](auto& f) {
        initial = f.text(IDC_RUN_COMMAND);
        ok_initially = f.enabled(IDOK);
        browse_enabled = f.enabled(IDC_RUN_BROWSE);
        help_enabled = f.enabled(IDHELP);
        f.type(IDC_RUN_COMMAND, "");
        ok_when_empty = f.enabled(IDOK);
        f.press(IDOK);  // Enter with nothing typed keeps the dialog open
        f.type(IDC_RUN_COMMAND, "   ");
        ok_when_blank = f.enabled(IDOK);
        f.type(IDC_RUN_COMMAND, "notepad c:\\letter.txt");
        ok_with_text = f.enabled(IDOK);
        f.press(IDC_RUN_MINIMIZED);
        CheckDlgButton(f.hwnd(), IDC_RUN_MINIMIZED, BST_CHECKED);
        f.press(IDC_RUN_MINIMIZED);
        CheckDlgButton(f.hwnd(), IDC_RUN_MAXIMIZED, BST_CHECKED);
        f.press(IDC_RUN_MAXIMIZED);  // a window starts one way only
        f.press(IDOK);
    };
    ASSERT_EQ(form.run(nullptr), IDOK);
    EXPECT_EQ(initial, "C:\\TOOLS\\CALC.EXE");
    EXPECT_TRUE(ok_initially);
    EXPECT_FALSE(ok_when_empty);
    EXPECT_FALSE(ok_when_blank);
    EXPECT_TRUE(ok_with_text);
    EXPECT_FALSE(browse_enabled);
    EXPECT_FALSE(help_enabled);
    EXPECT_EQ(form.result().command, "notepad c:\\letter.txt");
    EXPECT_TRUE(form.result().maximized);
    EXPECT_FALSE(form.result().minimized);
    EXPECT_EQ(settings.values["\\LastProgram"], "notepad c:\\letter.txt");
}

TEST(RunProgram, CancelKeepsLastProgramAndBrowseAndHelpReachTheirPorts) {
    MemorySettings settings;
    int help_topic = 0;
    LaunchFormPorts ports{settings, [](HWND) { return std::optional<std::string>("C:\\GAMES\\CHESS.EXE"); },
                          [&](int topic) { help_topic = topic; }};
    Scripted<TLaunchForm> form(ports);
    std::string initial = "?", after_browse;
    bool ok_after_browse = false;
    form.script = [&](auto& f) {
        initial = f.text(IDC_RUN_COMMAND);
        f.press(IDHELP);
        f.press(IDC_RUN_BROWSE);
        after_browse = f.text(IDC_RUN_COMMAND);
        ok_after_browse = f.enabled(IDOK);
        f.press(IDCANCEL);
    };
    EXPECT_EQ(form.run(nullptr), IDCANCEL);
    EXPECT_EQ(initial, "");
    EXPECT_EQ(help_topic, 223);
    EXPECT_EQ(after_browse, "C:\\GAMES\\CHESS.EXE");
    EXPECT_TRUE(ok_after_browse);
    EXPECT_TRUE(settings.values.empty());
}

TEST(RunProgram, AFailedStoreOfLastProgramStillRunsTheCommand) {
    MemorySettings settings;
    settings.fail_writes = true;
    LaunchFormPorts ports{settings, {}, {}};
    Scripted<TLaunchForm> form(ports);
    form.script = [](auto& f) {
        f.type(IDC_RUN_COMMAND, "write");
        CheckDlgButton(f.hwnd(), IDC_RUN_MINIMIZED, BST_CHECKED);
        f.press(IDOK);
    };
    ASSERT_EQ(form.run(nullptr), IDOK);
    EXPECT_EQ(form.result().command, "write");
    EXPECT_TRUE(form.result().minimized);
}

}  // namespace
}  // namespace vx::win::shell
