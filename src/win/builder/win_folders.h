#pragma once
// The builder's file-system port on the real file system, and where Windows keeps the desktop
// and the Start menu's program folder on this machine.
#include <string>

#include "builder/folders.h"
#include "port/shell_links.h"

namespace vx::win::builder {

class Win32FolderSource final : public vx::builder::FolderSource {
public:
    // Hidden and system entries are listed too: the import makes a button of every file.
    std::optional<std::vector<vx::builder::DirEntry>> list(const std::string& directory) override;
    std::optional<std::string> read(const std::string& path, size_t limit) override;
};

// The Windows directory's "Desktop" and "Start Menu\Programs" where they exist, else the known
// folders (the user's and the common desktop, the user's and the common programs folder).
//
// Test builds honour VX_BUILDER_ROOT: when it names a folder, that folder stands in for the
// Windows directory and no known folder is added, so a test can lay out a desktop and a Start
// menu of its own. The shipped programs have no such switch.
vx::builder::WindowsFolders windows_folders(vx::builder::FolderSource& fs);

// The file whose icon a button of `path` shows: a shortcut's icon location or its target, read
// through the shell-link port, else the file itself.
std::string icon_source_of(const std::string& path, ShellLinks& links);

}  // namespace vx::win::builder
