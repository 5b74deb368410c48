#pragma once
// The installer's changes to the system outside its destination folder.
#include <string>
#include <vector>

#include "setup/install.h"
#include "setup/record.h"

namespace kx {

// Creates "<programs>\<group>.LNK" pointing at `target`; returns the link's path or empty.
std::wstring create_shortcut(const std::wstring& group, const std::wstring& target,
                             const std::wstring& folder);

// The record of an earlier installation from the uninstall entry; empty when there is none.
vx::setup::InstallRecord read_uninstall_record();
bool register_uninstaller(const vx::setup::InstallRecord& record);

// Makes `program` the Windows shell; returns the value it replaced in `previous`.
bool set_shell(const std::wstring& program, std::wstring& previous, std::wstring& error);

void start_program(const std::wstring& destination);
void restart_windows();

}  // namespace kx
