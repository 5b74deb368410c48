#include "builder/folders.h"

#include <algorithm>

#include "shell/text_rules.h"
#include "util/file_io.h"

namespace vx::builder {
namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

bool exists(FolderSource& fs, const std::string& path) { return fs.list(path).has_value(); }

}  // namespace

bool same_name(std::string_view a, std::string_view b) { return shell::iequals(a, b); }

std::string upper_extension(std::string_view name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return {};
    return shell::to_upper(name.substr(dot));
}

std::string without_extension(std::string_view name) {
    const size_t dot = name.rfind('.');
    return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

std::vector<FolderItem> list_folder(FolderSource& fs, const Folder& folder) {
    std::vector<FolderItem> out;
    for (const auto& dir : folder.paths) {
        const auto entries = fs.list(dir);
        if (!entries) continue;
        for (const auto& e : *entries) {
            if (e.name == "." || e.name == ".." || e.name.empty()) continue;
            auto it = std::find_if(out.begin(), out.end(), [&](const FolderItem& i) { return same_name(i.name, e.name); });
            if (it == out.end()) {
                out.push_back({e.name, e.folder, {join_path(dir, e.name)}});
            } else if (it->folder && e.folder) {
                it->paths.push_back(join_path(dir, e.name));
            }
        }
    }
    return out;
}

WindowsFolders find_windows_folders(FolderSource& fs, std::string_view windows_directory,
                                    const KnownFolders& known) {
    WindowsFolders out;
    out.desktop.name = "Desktop";
    out.programs.name = "Programs";
    const std::string old_desktop = join_path(windows_directory, "Desktop");
    if (!windows_directory.empty() && exists(fs, old_desktop)) {
        out.desktop.paths = {old_desktop};
    } else {
        for (const auto* p : {&known.user_desktop, &known.common_desktop})
            if (!p->empty()) out.desktop.paths.push_back(*p);
    }
    // Both spellings are looked for; on a file system that ignores letter case both name the
    // one folder, and the name it really has is the one the buttons' commands should carry.
    for (const char* name : {"Start Menu\\Programs", "Start Menu\\programs"}) {
        const std::string old_programs = join_path(windows_directory, name);
        if (!windows_directory.empty() && exists(fs, old_programs)) {
            out.programs.paths = {old_programs};
            return out;
        }
    }
    for (const auto* p : {&known.user_programs, &known.common_programs})
        if (!p->empty()) out.programs.paths.push_back(*p);
    return out;
}

std::optional<std::string> url_file_address(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    bool in_section = false;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!line.empty() && line.front() == '[') {
            in_section = same_name(line, "[InternetShortcut]");
            continue;
        }
        if (!in_section) continue;
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos || !same_name(trim(line.substr(0, eq)), "URL")) continue;
        const std::string_view value = trim(line.substr(eq + 1));
        if (value.empty()) return std::nullopt;
        for (unsigned char c : value)
            if (c < 0x20 || c == 0x7F) return std::nullopt;
        return std::string(value);
    }
    return std::nullopt;
}

}  // namespace vx::builder
