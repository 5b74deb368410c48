#pragma once
// The location check's view of the real drives.
#include "dialogs/location.h"

namespace vx::win {

class WinFileSystem final : public dialogs::FileSystem {
public:
    Kind kind(const std::string& path) override;
    // Opens the path following links and junctions, since their target is exactly what the
    // restrictions must judge, and asks the system for its final name.
    std::optional<std::string> real_path(const std::string& path) override;
    bool is_drive(char letter) override;
    std::optional<std::string> remote_name(char letter) override;
};

// The process's environment variables, as the restricted directories may use them.
dialogs::Environment system_environment();

}  // namespace vx::win
