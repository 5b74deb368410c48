#pragma once
// The launcher's view of the file system and the shell's lookups, on the Win32 calls that
// process creation and the shell themselves use, so the run decision sees what they would.
#include "shell/run_policy.h"

namespace vx::win::shell {

class Win32LaunchFileSystem final : public vx::shell::LaunchFileSystem {
public:
    bool file_exists(const std::string& path) override;
    bool directory_exists(const std::string& path) override;
    std::string long_path(const std::string& path) override;
    std::optional<vx::shell::ShellLinkInfo> read_link(const std::string& path) override;
    std::string current_directory() override;
    std::vector<std::string> search_folders() override;
    std::vector<std::string> path_extensions() override;
    std::string associated_program(const std::string& document) override;
};

}  // namespace vx::win::shell
