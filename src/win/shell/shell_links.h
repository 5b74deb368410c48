#pragma once
// The ShellLinks port on the system's shell link object. Each call brings up COM on the calling
// thread for its own duration when the thread has not done so.
#include "port/shell_links.h"

namespace vx::win::shell {

class Win32ShellLinks final : public ShellLinks {
public:
    std::optional<ShellLink> resolve(const std::string& link_path) override;
    bool create(const std::string& link_path, const ShellLink& link, std::string& error) override;
};

}  // namespace vx::win::shell
