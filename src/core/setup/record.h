#pragma once
// What the uninstaller undoes, as the installer keeps it in the uninstall entry.
#include <string>
#include <string_view>
#include <vector>

namespace vx::setup {

struct InstallRecord {
    std::string destination, shortcut;
    // The Windows shell before this program became it; empty for the system's default.
    std::string previous_shell;
    // Final names only: a file that waits for a restart is recorded as the file it becomes.
    std::vector<std::string> files;
    bool shell = false;    // this program was made the Windows shell
    bool taskman = false;  // the system's task manager is kept as TaskMang.Exe
    bool operator==(const InstallRecord&) const = default;
};

// Whether a Winlogon shell value is `program` itself, as this installer writes it (quoted)
// or as earlier ones did (bare); case does not matter.
bool shell_value_is(std::string_view value, std::string_view program);

// The record of a reinstall over an earlier installation. What the earlier run changed stays
// the uninstaller's to undo: its files, its shell registration with the shell from before
// it, its kept task manager. A previous shell that is the program being installed is no
// shell to go back to (the uninstaller would leave the session without one), so it is
// dropped; `program` is its full path.
InstallRecord merge_records(const InstallRecord& earlier, InstallRecord now, std::string_view program);

}  // namespace vx::setup
