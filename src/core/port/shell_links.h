#pragma once
// Shell links (".LNK" shortcuts): what the launcher, the desktop builder and the icon library
// read from them, and the one the installer writes.
#include <optional>
#include <string>

#include "port/process_api.h"

namespace vx {

struct ShellLink {
    std::string target;  // the file the link starts; empty when it names no file
    std::string arguments;
    std::string working_directory;  // empty: none given
    ShowState show = ShowState::Normal;
    std::string description;
    std::string icon_location;  // empty: the target's own icon
    int icon_index = 0;
};

class ShellLinks {
public:
    virtual ~ShellLinks() = default;
    // The link as stored; nullopt when the file is missing or is no link. The target is not
    // searched for when it has moved: a link opens what it says or nothing.
    virtual std::optional<ShellLink> resolve(const std::string& link_path) = 0;
    // Writes a link file, replacing any old one whole; false with `error` on failure.
    virtual bool create(const std::string& link_path, const ShellLink& link, std::string& error) = 0;
};

}  // namespace vx
