#pragma once
// The Profile port on the system's private profile calls. A file name without a folder means
// the Windows folder's file (WIN.INI, SYSTEM.INI), as the system reads it.
#include "port/profile.h"

namespace vx::win::shell {

class Win32Profile final : public Profile {
public:
    std::string read(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& fallback) override;
    bool write(const std::string& file, const std::string& section, const std::string& key,
               const std::string& value) override;
    std::vector<std::string> keys(const std::string& file, const std::string& section) override;
};

}  // namespace vx::win::shell
