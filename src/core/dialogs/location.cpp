#include "dialogs/location.h"

#include "security/admin_data.h"

namespace vx::dialogs {
namespace {

bool is_letter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 0x20) : c;
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// Names the system maps to devices whatever directory or extension goes with them.
bool is_device_name(std::string_view part) {
    std::string base = security::ansi_upper(part.substr(0, part.find('.')));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    static constexpr std::string_view kFixed[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
    for (auto name : kFixed)
        if (base == name) return true;
    return base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) && base[3] >= '0' &&
           base[3] <= '9';
}

bool has_forbidden_char(std::string_view text) {
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || c == '"' || c == '<' || c == '>' || c == '|' || c == '%' || c == '*' || c == '?')
            return true;
    }
    return false;
}

// Appends the separated parts of `rest` to `parts`, applying "." and ".." and the system's
// silent removal of trailing dots and spaces, so that "Secret. " is checked as "Secret".
bool push_parts(std::string_view rest, std::vector<std::string>& parts) {
    size_t pos = 0;
    while (pos <= rest.size()) {
        size_t end = rest.find('\\', pos);
        if (end == std::string_view::npos) end = rest.size();
        std::string_view part = rest.substr(pos, end - pos);
        pos = end + 1;
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        if (part.find_first_not_of('.') == std::string_view::npos) return false;  // "...": no sane meaning
        while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.remove_suffix(1);
        if (part.empty() || is_device_name(part)) return false;
        parts.emplace_back(part);
    }
    return true;
}

std::string join(char drive, const std::vector<std::string>& parts) {
    std::string out{drive, ':', '\\'};
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i) out += '\\';
        out += parts[i];
    }
    return out;
}

}  // namespace

std::optional<std::string> canonical_path(std::string_view text, std::string_view base) {
    std::string path(trim(text));
    if (path.empty() || has_forbidden_char(path)) return std::nullopt;
    for (char& c : path)
        if (c == '/') c = '\\';
    // UNC shares, "\\.\" devices and "\\?\" raw paths all start this way.
    if (path.starts_with("\\\\")) return std::nullopt;
    const bool has_drive = path.size() >= 2 && is_letter(path[0]) && path[1] == ':';
    // A colon anywhere else is a URI scheme or an alternate data stream.
    if (path.find(':', has_drive ? 2 : 0) != std::string::npos) return std::nullopt;

    std::optional<std::string> base_path;
    if (!base.empty()) {
        base_path = canonical_path(base);
        if (!base_path) return std::nullopt;
    }
    char drive = 0;
    std::vector<std::string> parts;
    std::string_view rest = path;
    if (has_drive) {
        drive = upper(path[0]);
        rest.remove_prefix(2);
        const bool rooted = !rest.empty() && rest.front() == '\\';
        if (!rooted && base_path && (*base_path)[0] == drive && !push_parts(base_path->substr(3), parts))
            return std::nullopt;
    } else {
        if (!base_path) return std::nullopt;
        drive = (*base_path)[0];
        if (rest.front() != '\\' && !push_parts(base_path->substr(3), parts)) return std::nullopt;
    }
    if (!push_parts(rest, parts)) return std::nullopt;
    return join(drive, parts);
}

Restrictions::Restrictions(const DriveTable& drives, std::string_view restricted_list) : drives_(drives) {
    size_t pos = 0;
    while (pos < restricted_list.size()) {
        size_t end = restricted_list.find('|', pos);
        if (end == std::string_view::npos) end = restricted_list.size();
        if (auto path = canonical_path(restricted_list.substr(pos, end - pos)))
            restricted_.push_back(security::ansi_upper(*path));
        pos = end + 1;
    }
}

bool Restrictions::drive_offered(char letter) const {
    if (!is_letter(letter)) return false;
    return drives_[static_cast<size_t>(upper(letter) - 'A')] == 0;
}

bool Restrictions::allows(std::string_view canonical) const {
    if (canonical.size() < 3 || !drive_offered(canonical[0]) || canonical[1] != ':' || canonical[2] != '\\')
        return false;
    const std::string path = security::ansi_upper(canonical);
    for (const auto& entry : restricted_) {
        if (!path.starts_with(entry)) continue;
        if (path.size() == entry.size() || entry.back() == '\\' || path[entry.size()] == '\\') return false;
    }
    return true;
}

void Restrictions::resolve_entries(FileSystem& fs) {
    const size_t count = restricted_.size();
    for (size_t i = 0; i < count; ++i) {
        if (fs.kind(restricted_[i]) == FileSystem::Kind::kMissing) continue;
        const auto real = fs.real_path(restricted_[i]);
        if (!real) continue;
        if (auto path = canonical_path(*real)) {
            std::string entry = security::ansi_upper(*path);
            if (entry != restricted_[i]) restricted_.push_back(std::move(entry));
        }
    }
}

namespace {

// The real form of an existing canonical path, itself canonical and allowed; nullopt otherwise.
std::optional<std::string> real_allowed(const std::string& path, const Restrictions& rules, FileSystem& fs) {
    const auto real = fs.real_path(path);
    if (!real) return std::nullopt;
    auto canonical = canonical_path(*real);
    if (!canonical || !rules.allows(*canonical)) return std::nullopt;
    return canonical;
}

std::string parent_of(const std::string& canonical) {
    const size_t slash = canonical.rfind('\\');
    return slash <= 2 ? canonical.substr(0, 3) : canonical.substr(0, slash);
}

std::string name_of(const std::string& canonical) {
    return canonical.substr(canonical.rfind('\\') + 1);
}

}  // namespace

Location resolve_location(std::string_view typed, std::string_view current, const Restrictions& rules,
                          FileSystem& fs) {
    Location refused;
    std::string_view text = trim(typed);
    if (text.empty()) return refused;

    // A mask in the last part ("C:\Docs\*.TXT") selects the directory and becomes the filter.
    std::string mask;
    std::string dir_text(text);
    const size_t split = text.find_last_of("\\/");
    std::string_view last = split == std::string_view::npos ? text : text.substr(split + 1);
    if (split == std::string_view::npos && last.size() >= 2 && last[1] == ':') last.remove_prefix(2);
    if (last.find_first_of("*?") != std::string_view::npos) {
        if (last.find_first_of("\"<>|%:") != std::string_view::npos) return refused;
        mask = std::string(last);
        dir_text = std::string(text.substr(0, text.size() - last.size()));
        if (dir_text.empty()) dir_text.assign(1, '.');
    }

    const auto lexical = canonical_path(dir_text, current);
    if (!lexical || !rules.allows(*lexical)) return refused;

    switch (fs.kind(*lexical)) {
        case FileSystem::Kind::kDirectory: {
            auto real = real_allowed(*lexical, rules, fs);
            if (!real) return refused;
            return {Location::Status::kDirectory, std::move(*real), mask};
        }
        case FileSystem::Kind::kFile: {
            if (!mask.empty()) return refused;
            auto real = real_allowed(*lexical, rules, fs);
            if (!real) return refused;
            const std::string dir = parent_of(*real);
            if (!rules.allows(dir) || fs.kind(dir) != FileSystem::Kind::kDirectory) return refused;
            return {Location::Status::kDirectory, dir, name_of(*real)};
        }
        case FileSystem::Kind::kMissing:
            break;
    }
    if (!mask.empty()) return refused;
    // The nearest existing ancestor decides where the missing part would really be made: it may
    // be a short name or a link into a restricted directory.
    std::string existing = *lexical;
    std::string missing;
    while (fs.kind(existing) == FileSystem::Kind::kMissing) {
        if (existing.size() <= 3) return refused;  // the drive itself is absent
        missing = name_of(existing) + (missing.empty() ? "" : "\\" + missing);
        existing = parent_of(existing);
    }
    if (fs.kind(existing) != FileSystem::Kind::kDirectory) return refused;
    auto real = real_allowed(existing, rules, fs);
    if (!real) return refused;
    std::string target = real->size() == 3 ? *real + missing : *real + "\\" + missing;
    if (!rules.allows(target)) return refused;
    return {Location::Status::kMissing, std::move(target), {}};
}

std::optional<std::string> start_directory(std::string_view start, std::string_view current_dir,
                                           const Restrictions& rules, FileSystem& fs) {
    const auto usable = [&](const std::string& path) -> std::optional<std::string> {
        if (!rules.allows(path) || fs.kind(path) != FileSystem::Kind::kDirectory) return std::nullopt;
        return real_allowed(path, rules, fs);
    };
    if (const auto lexical = canonical_path(trim(start).empty() ? current_dir : start)) {
        if (auto path = usable(*lexical)) return path;
        // A start directory that has gone keeps the user on its drive.
        if (rules.drive_offered((*lexical)[0]) && fs.is_drive((*lexical)[0]))
            if (auto root = usable(lexical->substr(0, 3))) return root;
    }
    for (char letter = 'C'; letter <= 'Z'; ++letter) {
        if (!rules.drive_offered(letter) || !fs.is_drive(letter)) continue;
        if (auto root = usable(std::string{letter, ':', '\\'})) return root;
    }
    return std::nullopt;
}

std::string invalid_location_message(std::string_view typed) {
    return std::string(typed) +
           "\nis not a valid location! A location must\npoint to an existing DOS directory.";
}

std::string create_directory_question(std::string_view location) {
    return std::string(location) + "\ndoes not exist! Do you want to create it?";
}

std::string create_directory_failed_message(std::string_view system_error) {
    return "Unable to create directory.\n\n" + std::string(system_error);
}

}  // namespace vx::dialogs
