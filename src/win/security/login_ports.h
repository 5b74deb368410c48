#pragma once
// The Win32 side of what a successful log-in switches: the hidden attribute of protected
// directories and the DDE item that carries the user's name.
#include <mutex>
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

// Holds the item's text for the program's DDE server, which serves it to clients that ask.
// Until that server exists the text is only kept here.
class DdeItemText final : public vx::security::DdeItem {
public:
    void set_text(const std::string& text) override {
        std::lock_guard lock(mutex_);
        text_ = text;
    }
    std::string text() const {
        std::lock_guard lock(mutex_);
        return text_;
    }

private:
    mutable std::mutex mutex_;
    std::string text_;
};

}  // namespace vx::win::security
