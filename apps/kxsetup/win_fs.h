#pragma once
// The installer core's file access on Win32: UTF-8 paths in, wide calls out.
#include <vector>

#include "setup/install.h"
#include "setup/setup_fs.h"

namespace kx {

class WinSetupFs : public vx::setup::SetupFs {
public:
    bool exists(const std::string& path) override;
    std::unique_ptr<Reader> open_read(const std::string& path) override;
    std::unique_ptr<Writer> create(const std::string& path) override;
    std::unique_ptr<Writer> open_write_shared(const std::string& path) override;
    bool remove(const std::string& path) override;
    bool truncate(const std::string& path, uint64_t size) override;
    bool make_dirs(const std::string& path) override;
    Replaced replace(const std::string& from, const std::string& to) override;
    bool replace_at_restart(const std::string& from, const std::string& to) override;

    // The 8.3 form that Windows 9x's boot-time rename needs; where there is none, the path.
    static std::string short_path(const std::string& path);
};

bool is_windows_nt();

// Adds the lines to the "[Rename]" section of WinInit.Ini, keeping what is there. Only
// Windows 9x reads that file at start.
bool write_rename_section(const std::vector<vx::setup::RenameLine>& lines);

}  // namespace kx
