#pragma once
// What the icon library asks of the system when a program, library or shortcut is added:
// its short (8.3) name and the images of one of its icons. The Windows adapter uses the
// shell's icon extraction; tests and vxtool use fakes or nothing at all.
#include <optional>
#include <string>
#include <vector>

#include "util/file_io.h"

namespace vx::iconlib {

class IconSource {
public:
    virtual ~IconSource() = default;
    // The short form of the path, or nullopt when the system has none for it.
    virtual std::optional<std::string> short_path(const std::string& path) = 0;
    // The images (DIBs with header and masks, or PNG data) of icon `index` of a program or
    // library; empty when the file has no such icon.
    virtual std::vector<Bytes> extract_icon(const std::string& path, int index) = 0;
    // A shortcut's icon: its icon location and index when set, else the icon associated
    // with its target; empty when none results.
    virtual std::vector<Bytes> shortcut_icon(const std::string& path) = 0;
};

}  // namespace vx::iconlib
