#pragma once
// The Win32 side of what a successful log-in switches: the hidden attribute of protected
// directories (the DDE item that carries the user's name is win/security/dde_server.h).
#include <string>

#include "security/login.h"

namespace vx::win::security {

// Changes only the hidden bit, so read-only or system marks a site set on a directory stay. A
// directory that is missing or refuses the change is logged and skipped: one bad rule must not
// stop the others from being applied.
class Win32DirectoryAttributes final : public vx::security::DirectoryAttributes {
public:
    void set_hidden(const std::string& path, bool hidden) override;
};

}  // namespace vx::win::security
