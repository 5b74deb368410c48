#include <gtest/gtest.h>

#include <string>

#include "shell/settings.h"

namespace vx::shell {
namespace {

TEST(SameDirectory, IgnoresCaseSeparatorsAndATrailingSeparator) {
    struct Case {
        const char* a;
        const char* b;
        bool same;
    };
    const Case cases[] = {
        {"C:\\Temp", "C:\\Temp", true},
        {"C:\\Temp\\", "c:\\TEMP", true},
        {"C:/Temp", "C:\\Temp\\", true},
        {"C:\\", "c:\\", true},
        {"C:\\", "C:", false},  // the root is not the drive's current folder
        {"C:\\Temp", "C:\\Temp2", false},
        {"", "C:\\Temp", false},
        {"", "", true},
    };
    for (const Case& c : cases) EXPECT_EQ(same_directory(c.a, c.b), c.same) << c.a << " | " << c.b;
}

TEST(SetupValues, TakesTheOptionsAndSettingsAndTicksWindowsTempOnlyWhenItIsTheStoredFolder) {
    ShellSettings s = default_settings("C:\\VX");
    s.exit_prompt = false;
    s.backup = true;
    s.allow_popup = false;
    s.temp_dir = "c:\\windows\\temp\\";
    model::WindowOptions o;
    o.page_tabs = false;
    o.scrolling = false;

    SetupValues v = setup_values(s, o, "C:\\WINDOWS\\TEMP");
    EXPECT_FALSE(v.exit_prompt);
    EXPECT_TRUE(v.backup);
    EXPECT_FALSE(v.allow_popup);
    EXPECT_FALSE(v.options.page_tabs);
    EXPECT_FALSE(v.options.scrolling);
    EXPECT_TRUE(v.options.status_bar);
    EXPECT_EQ(v.temp_dir, "c:\\windows\\temp\\");
    EXPECT_TRUE(v.use_windows_temp);

    EXPECT_FALSE(setup_values(s, o, "C:\\TEMP").use_windows_temp);
    // TEMP unset: an empty stored folder is not "the Windows temp directory".
    s.temp_dir.clear();
    EXPECT_FALSE(setup_values(s, o, "").use_windows_temp);
}

TEST(ApplySetup, TakesOverEveryValueAndTheWindowsTempFolderWhenTicked) {
    const ShellSettings before = default_settings("C:\\VX");
    const model::WindowOptions options_before;  // everything shown, sizeable
    SetupValues v = setup_values(before, options_before, "C:\\TEMP");
    v.options.status_bar = false;
    v.options.menu_bar = false;
    v.options.page_tabs = false;
    v.options.ani_icon = false;
    v.options.scrolling = false;
    v.options.kept1 = 7;  // not the dialog's to change
    v.exit_prompt = false;
    v.backup = false;
    v.allow_popup = false;
    v.temp_dir = "D:\\typed";
    v.use_windows_temp = true;

    const SetupResult r = apply_setup(v, before, options_before, "C:\\TEMP", "1");
    EXPECT_FALSE(r.options.status_bar);
    EXPECT_FALSE(r.options.menu_bar);
    EXPECT_FALSE(r.options.page_tabs);
    EXPECT_FALSE(r.options.ani_icon);
    EXPECT_FALSE(r.options.scrolling);
    EXPECT_EQ(r.options.kept1, 40);
    EXPECT_FALSE(r.settings.exit_prompt);
    EXPECT_FALSE(r.settings.backup);
    EXPECT_FALSE(r.settings.allow_popup);
    EXPECT_EQ(r.settings.temp_dir, "C:\\TEMP");
    // Only the four values of the dialog change among the settings.
    ShellSettings expected = before;
    expected.exit_prompt = expected.backup = expected.allow_popup = false;
    expected.temp_dir = "C:\\TEMP";
    EXPECT_EQ(r.settings, expected);

    v.use_windows_temp = false;
    EXPECT_EQ(apply_setup(v, before, options_before, "C:\\TEMP", "1").settings.temp_dir, "D:\\typed");
}

TEST(ApplySetup, SizingChangeIsTheDoubledBorderWidthAndOnlyWhenTheOptionChanges) {
    struct Case {
        bool was, now;
        const char* border;
        int change;
    };
    const Case cases[] = {
        {false, true, "1", 2},
        {true, false, "1", -2},
        {false, true, "4", 8},
        {true, false, "4", -8},
        {false, true, "", 2},
        {false, true, "x", 2},  // not a number: the default 1
        {true, true, "4", 0},
        {false, false, "4", 0},  // unchanged: the window keeps its size
        {false, true, "-3", 0},
        {false, true, "99999", 100},
        {false, true, "99999999999", 2},
    };
    for (const Case& c : cases) {
        model::WindowOptions o;
        o.sizeable = c.was;
        SetupValues v = setup_values(default_settings("C:\\VX"), o, "");
        v.options.sizeable = c.now;
        const SetupResult r = apply_setup(v, default_settings("C:\\VX"), o, "", c.border);
        EXPECT_EQ(r.size_change, c.change) << c.was << "->" << c.now << " border " << c.border;
        EXPECT_EQ(r.options.sizeable, c.now);
    }
}

}  // namespace
}  // namespace vx::shell
