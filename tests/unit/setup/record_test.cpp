#include "setup/record.h"

#include <gtest/gtest.h>

#include "setup/install.h"

namespace vx::setup {
namespace {

constexpr const char* kProgram = "C:\\Program Files\\Vantora\\Vantorx.Exe";

TEST(ShellValue, QuotedAsWrittenNowOrBareAsBefore) {
    EXPECT_EQ(winlogon_shell_value(kProgram), "\"C:\\Program Files\\Vantora\\Vantorx.Exe\"");
    for (const char* same :
         {"\"C:\\Program Files\\Vantora\\Vantorx.Exe\"", "C:\\Program Files\\Vantora\\Vantorx.Exe",
          " \"c:\\program files\\vantora\\VANTORX.EXE\" "})
        EXPECT_TRUE(shell_value_is(same, kProgram)) << same;
    for (const char* other :
         {"explorer.exe", "", "\"\"", "C:\\Other\\Vantorx.Exe", "\"C:\\Program Files\\Vantora\""})
        EXPECT_FALSE(shell_value_is(other, kProgram)) << other;
}

TEST(Record, AReinstallKeepsWhatTheEarlierRunLeftToUndo) {
    InstallRecord earlier;
    earlier.destination = "C:\\Program Files\\Vantora";
    earlier.shortcut = "C:\\Menu\\Vantora!.LNK";
    earlier.previous_shell = "explorer.exe";
    earlier.files = {kProgram, "C:\\Program Files\\Vantora\\Old.Dll"};
    earlier.shell = true;
    earlier.taskman = true;

    struct Case {
        const char* what;
        InstallRecord now;
        InstallRecord merged;
    } cases[] = {
        // Boxes left clear this time: the earlier shell registration and task manager are
        // still there for the uninstaller to undo, with the shell from before the first run.
        {"boxes clear, group page cancelled",
         {"C:\\Program Files\\Vantora",
          "",
          "",
          {kProgram, "C:\\Program Files\\Vantora\\VXHooks.DLL"},
          false,
          false},
         {"C:\\Program Files\\Vantora",
          "C:\\Menu\\Vantora!.LNK",
          "explorer.exe",
          {kProgram, "C:\\Program Files\\Vantora\\VXHooks.DLL", "C:\\Program Files\\Vantora\\Old.Dll"},
          true,
          true}},
        // Made the shell again: what it replaced is this program itself, not a shell to go back to.
        {"shell box checked again",
         {"C:\\Program Files\\Vantora",
          "C:\\Menu\\Lab.LNK",
          "\"C:\\Program Files\\Vantora\\Vantorx.Exe\"",
          {"c:\\program files\\vantora\\vantorx.exe"},
          true,
          false},
         {"C:\\Program Files\\Vantora",
          "C:\\Menu\\Lab.LNK",
          "explorer.exe",
          {"c:\\program files\\vantora\\vantorx.exe", "C:\\Program Files\\Vantora\\Old.Dll"},
          true,
          true}},
    };
    for (const auto& c : cases) EXPECT_EQ(merge_records(earlier, c.now, kProgram), c.merged) << c.what;

    // No earlier record (it was lost) and the shell already ours: fall back to the system's.
    InstallRecord now;
    now.shell = true;
    now.previous_shell = "C:\\Program Files\\Vantora\\Vantorx.Exe";
    EXPECT_EQ(merge_records(InstallRecord{}, now, kProgram).previous_shell, "");
    now.previous_shell = "C:\\Tools\\kiosk.exe";
    EXPECT_EQ(merge_records(InstallRecord{}, now, kProgram).previous_shell, "C:\\Tools\\kiosk.exe");
}

}  // namespace
}  // namespace vx::setup
