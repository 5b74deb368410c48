#include "shell/settings.h"

#include <gtest/gtest.h>

#include "unit/shell/fakes.h"

namespace vx::shell {
namespace {

using testing::MemoryStore;

TEST(ShellSettings, DefaultsWhenAbsent) {
    MemoryStore store;
    const auto out = read_settings(store, "C:\\VX");
    ASSERT_TRUE(out.ok());
    const ShellSettings& s = out.settings;
    EXPECT_EQ(s.desktop_file, "C:\\VX\\VX.DTP");
    EXPECT_EQ(s.log_file, "C:\\VX\\VX.LOG");
    for (const std::string* dir : {&s.image_dir, &s.pal_dir, &s.icon_dir, &s.file_dir, &s.admin_dir})
        EXPECT_EQ(*dir, "C:\\VX");
    EXPECT_EQ(s.title, "Vantora!");
    EXPECT_TRUE(s.backup && s.exit_prompt && s.allow_popup && s.align_show);
    EXPECT_FALSE(s.show_grid || s.snap_to_grid || s.show_mouse || s.run_minimized || s.confirm);
    EXPECT_EQ(s.style, 0);
    EXPECT_EQ(s.x_value, 10);
    EXPECT_EQ(s.y_value, 10);
    EXPECT_TRUE(s.temp_dir.empty() && s.last_program.empty());
}

TEST(ShellSettings, NamesIgnoreCaseAndBadNumbersKeepDefaults) {
    MemoryStore store;
    store.set("SHOWGRID", "1");
    store.set("xvalue", "25");
    store.set("YVALUE", "ten");  // hand-edited garbage
    store.set("exitprompt", "0");
    store.set("allowpopup", "");
    store.set("desktopfile", "D:\\Lab\\LAB.DTP");
    store.set("title", "Library");
    const ShellSettings s = read_settings(store, "C:\\VX").settings;
    EXPECT_TRUE(s.show_grid);
    EXPECT_EQ(s.x_value, 25);
    EXPECT_EQ(s.y_value, 10);
    EXPECT_FALSE(s.exit_prompt);
    EXPECT_TRUE(s.allow_popup);
    EXPECT_EQ(s.desktop_file, "D:\\Lab\\LAB.DTP");
    EXPECT_EQ(s.title, "Library");
}

TEST(ShellSettings, WriteReadRoundTripUsesWrittenSpellingsAndSkipsReadOnly) {
    MemoryStore store;
    ShellSettings s = default_settings("C:\\VX");
    s.show_grid = s.snap_to_grid = s.confirm = true;
    s.backup = false;
    s.x_value = 7;
    s.y_value = -3;
    s.style = 12;
    s.last_program = "notepad a.txt";
    s.temp_dir = "C:\\TEMP";
    s.admin_dir = "X:\\Other";
    s.title = "Changed";
    ASSERT_EQ(write_settings(store, s), "");
    EXPECT_EQ(store.values.at("showgrid").first, "ShowGrid");
    EXPECT_EQ(store.values.at("snaptogrid").first, "SnapToGrid");
    EXPECT_EQ(store.values.at("xvalue").first, "XValue");
    EXPECT_EQ(store.values.at("yvalue").first, "YValue");
    EXPECT_EQ(store.values.at("backupmenu").second, "0");
    EXPECT_FALSE(store.values.count("admindir"));
    EXPECT_FALSE(store.values.count("title"));

    ShellSettings expected = s;
    expected.admin_dir = "C:\\VX";
    expected.title = "Vantora!";
    EXPECT_EQ(read_settings(store, "C:\\VX").settings, expected);
}

TEST(ShellSettings, RegistryFailureIsReportedAndLaterValuesKeepDefaults) {
    MemoryStore store;
    store.set("DeskTopFile", "D:\\A.DTP");
    store.set("TempDir", "D:\\T");
    store.fail_after = 1;  // the first read answers, the second fails
    const auto out = read_settings(store, "C:\\VX");
    EXPECT_EQ(out.error, "Registry unavailable");
    EXPECT_EQ(out.settings.desktop_file, "D:\\A.DTP");
    EXPECT_EQ(out.settings.temp_dir, "");
    EXPECT_EQ(out.settings.log_file, "C:\\VX\\VX.LOG");

    MemoryStore broken;
    broken.fail_after = 0;
    EXPECT_EQ(write_settings(broken, default_settings("C:\\VX")), "Registry unavailable");
}

TEST(ShellSettings, TempDirFallsBackToCurrentFolder) {
    ShellSettings s;
    auto exists = [](const std::string& d) { return d == "C:\\TEMP"; };
    s.temp_dir = "C:\\TEMP";
    EXPECT_EQ(effective_temp_dir(s, exists, "C:\\CUR"), "C:\\TEMP");
    s.temp_dir = "Q:\\Gone";
    EXPECT_EQ(effective_temp_dir(s, exists, "C:\\CUR"), "C:\\CUR");
    s.temp_dir.clear();
    EXPECT_EQ(effective_temp_dir(s, exists, "C:\\CUR"), "C:\\CUR");
}

TEST(ShellSettings, OffscreenWindowIsBroughtBack) {
    struct Case {
        int left, top, want_left, want_top;
    } cases[] = {
        {100, 100, 100, 100}, {770, 100, 770, 100}, {771, 100, 0, 100},
        {100, 571, 100, 0},   {5000, 5000, 0, 0},   {-50, -50, -50, -50},
    };
    for (const Case& c : cases) {
        model::WindowBounds b;
        b.left = c.left;
        b.top = c.top;
        const auto r = reset_offscreen(b, 800, 600);
        EXPECT_EQ(r.left, c.want_left) << c.left;
        EXPECT_EQ(r.top, c.want_top) << c.top;
        EXPECT_EQ(r.width, b.width);
    }
}

}  // namespace
}  // namespace vx::shell
