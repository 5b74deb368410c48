#pragma once
// The icon library's IconSource on the shell: short names from the file system, icons of
// programs and libraries by the shell's icon extraction, a shortcut's icon from its icon
// location or else from what the shell associates with its target.
#include <string>

#include "iconlib/icon_source.h"

namespace vx::win::iconlib {

class Win32IconSource final : public vx::iconlib::IconSource {
public:
    std::optional<std::string> short_path(const std::string& path) override;
    std::vector<Bytes> extract_icon(const std::string& path, int index) override;
    std::vector<Bytes> shortcut_icon(const std::string& path) override;
};

// How many icons adding `path` can give: the icons of a program or library, one for an icon,
// cursor or animated cursor file or a shortcut, 0 for a file that gives none.
int icon_count(const std::string& path);

}  // namespace vx::win::iconlib
