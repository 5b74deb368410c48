#pragma once
// The installer's changes to the system outside its destination folder.
#include <string>
#include <vector>

#include "setup/install.h"

namespace kx {

// Creates "<programs>\<group>.LNK" pointing at `target`; returns the link's path or empty.
std::wstring create_shortcut(const std::wstring& group, const std::wstring& target,
                             const std::wstring& folder);

// What the uninstaller needs to undo; kept in the uninstall entry itself.
struct InstallRecord {
    std::wstring destination, shortcut, previous_shell;
    std::vector<std::wstring> files;
    bool shell = false, taskman = false, nt = true;
};
bool register_uninstaller(const InstallRecord& record);

bool is_windows_nt();
// Makes `program` the Windows shell; returns the value it replaced in `previous`.
bool set_shell(const std::wstring& program, std::wstring& previous, std::wstring& error);

// Adds the lines to the "[Rename]" section of WinInit.Ini, keeping what is there.
bool write_rename_section(const std::vector<vx::setup::RenameLine>& lines);

void start_program(const std::wstring& destination);
void restart_windows();

}  // namespace kx
