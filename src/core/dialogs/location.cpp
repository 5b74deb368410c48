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

namespace {

bool starts_with_nocase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (upper(text[i]) != upper(prefix[i])) return false;
    return true;
}

size_t utf8_length(char lead) {
    const auto b = static_cast<unsigned char>(lead);
    return b < 0xC0 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
}

// "*" any run of characters, "?" one character; both sides upper case.
bool glob_match(std::string_view pattern, std::string_view text) {
    size_t p = 0, t = 0, star = std::string_view::npos, resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = t;
        } else if (p < pattern.size() && pattern[p] == '?') {
            ++p;
            t += utf8_length(text[t]);
        } else if (p < pattern.size() && pattern[p] == text[t]) {
            ++p;
            ++t;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            resume += utf8_length(text[resume]);
            t = resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::vector<std::string> split_parts(std::string_view rest) {
    std::vector<std::string> parts;
    size_t pos = 0;
    while (pos <= rest.size()) {
        size_t end = rest.find('\\', pos);
        if (end == std::string_view::npos) end = rest.size();
        if (end > pos) parts.emplace_back(rest.substr(pos, end - pos));
        pos = end + 1;
    }
    return parts;
}

std::string join_notes(const std::vector<std::string>& notes) {
    std::string out;
    for (const auto& n : notes) out += (out.empty() ? "" : "; ") + n;
    return out;
}

// A character no name holds (the list's own separator among them) becomes `with`. True when any
// did.
bool widen_odd_characters(std::string& name, char with = '?') {
    bool any = false;
    for (char& c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || c == '"' || c == '<' || c == '>' || c == '|') {
            c = with;
            any = true;
        }
    }
    return any;
}

// The parts of an entry as the selectors compare them. A part that cannot be a folder's name is
// widened rather than dropped: a character no name holds matches any one character, a part of
// dots alone any folder at that depth.
std::string pattern_parts(std::string_view rest, std::vector<std::string>& notes) {
    std::vector<std::string> parts;
    bool odd_characters = false, dots = false, device = false, wildcards = false;
    for (std::string part : split_parts(rest)) {
        if (part == ".") continue;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        const bool only_dots = part.find_first_not_of('.') == std::string::npos;
        while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
        if (only_dots || part.empty()) {
            dots = true;
            part = "*";
        }
        odd_characters = widen_odd_characters(part) || odd_characters;
        if (part.find_first_of("*?") != std::string::npos) wildcards = true;
        if (is_device_name(part)) device = true;
        parts.push_back(security::ansi_upper(part));
    }
    if (odd_characters) notes.emplace_back("characters no folder name holds: each read as any one character");
    if (dots) notes.emplace_back("a part of dots alone: read as any folder at that depth");
    if (device) notes.emplace_back("a part names a device, which no folder can be");
    if (wildcards) notes.emplace_back("wildcards: restricts every folder they match");
    std::string out;
    for (size_t i = 0; i < parts.size(); ++i) out += (i ? "\\" : "") + parts[i];
    return out;
}

constexpr std::string_view kEveryDrive = "*:\\";

// "%NAME%" replaced by its value; nullopt names the first variable that is not known.
std::optional<std::string> expand(std::string_view text, const Environment& env, std::string& unknown,
                                  std::string& names) {
    std::string out;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t open = text.find('%', pos);
        const size_t close = open == std::string_view::npos ? open : text.find('%', open + 1);
        if (close == std::string_view::npos) {
            out += text.substr(pos);
            break;
        }
        out += text.substr(pos, open - pos);
        const std::string_view name = text.substr(open + 1, close - open - 1);
        const auto value = env && !name.empty() ? env(name) : std::nullopt;
        if (!value) {
            unknown = "%" + std::string(name) + "%";
            return std::nullopt;
        }
        names += (names.empty() ? "" : ", ") + ("%" + std::string(name) + "%");
        out += *value;
        pos = close + 1;
    }
    return out;
}

}  // namespace

RestrictedEntry read_restricted_entry(std::string_view entry, const Environment& env) {
    // Upper case first: the reading then sees the characters the selectors compare.
    std::string text = security::ansi_upper(trim(entry));
    if (auto plain = canonical_path(text)) return {std::move(*plain), {}};

    std::vector<std::string> notes;
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        text = std::string(trim(std::string_view(text).substr(1, text.size() - 2)));
        notes.emplace_back("in quotes: read without them");
    }
    if (text.empty()) return {std::string(kEveryDrive), "an empty entry names no folder: every drive is closed"};
    if (text.find('%') != std::string::npos) {
        std::string unknown, names;
        const auto expanded = expand(text, env, unknown, names);
        if (!expanded)
            return {std::string(kEveryDrive),
                    "uses " + unknown + ", which is not known here: every drive is closed"};
        if (!names.empty()) notes.push_back("uses " + names + ": read as " + *expanded);
        text = security::ansi_upper(trim(*expanded));
    }
    for (char& c : text)
        if (c == '/') c = '\\';
    if (starts_with_nocase(text, "file:")) {
        std::string_view rest = std::string_view(text).substr(5);
        while (!rest.empty() && rest.front() == '\\') rest.remove_prefix(1);
        const bool has_drive = rest.size() >= 2 && rest[1] == ':';
        text = has_drive ? std::string(rest) : "\\\\" + std::string(rest);
        notes.emplace_back("a file address: read as the folder it names");
    }
    if (text.starts_with("\\\\?\\") || text.starts_with("\\\\.\\")) {
        while (text.starts_with("\\\\?\\") || text.starts_with("\\\\.\\")) {
            text.erase(0, 4);
            if (starts_with_nocase(text, "UNC\\")) text = "\\\\" + text.substr(4);
        }
        notes.emplace_back("written in the system's raw form: read as the path it stands for");
    }
    if (text.starts_with("\\\\")) {
        const std::string_view body = std::string_view(text).substr(2);
        const size_t first = body.find('\\');
        const std::string_view after = first == std::string_view::npos ? std::string_view{} : body.substr(first + 1);
        const size_t second = after.find('\\');
        std::string server = security::ansi_upper(body.substr(0, first));
        std::string share = security::ansi_upper(after.substr(0, second));
        if (server.empty() || share.empty()) {
            notes.emplace_back("a network path without a server and share names no folder: every drive is closed");
            return {std::string(kEveryDrive), join_notes(notes)};
        }
        // No server or share holds these, so no drive is mapped to what such an entry names.
        // (Not "?": "\\?\" would read as the system's raw form next time.)
        widen_odd_characters(server, '_');
        widen_odd_characters(share, '_');
        std::string rest(second == std::string_view::npos ? std::string_view{} : after.substr(second));
        if (const size_t colon = rest.find(':'); colon != std::string::npos) {
            rest.erase(colon);
            notes.emplace_back("the text from the colon on names no folder: read without it");
        }
        // The station's own administrative share is its drive.
        if ((server == "LOCALHOST" || server == "127.0.0.1") && share.size() == 2 && is_letter(share[0]) &&
            share[1] == '$') {
            notes.emplace_back("the station's own administrative share: read as drive " + share.substr(0, 1) + ":");
            text = share.substr(0, 1) + ":" + (rest.empty() ? "\\" : rest);
        } else {
            notes.push_back("a network folder: restricted on every drive mapped to \\\\" + server + "\\" + share);
            const std::string tail = pattern_parts(rest, notes);
            return {"\\\\" + server + "\\" + share + (tail.empty() ? "" : "\\" + tail), join_notes(notes)};
        }
    }
    char drive = '*';
    std::string_view rest = text;
    if (rest.size() >= 2 && rest[1] == ':' && (is_letter(rest[0]) || rest[0] == '*' || rest[0] == '?')) {
        drive = is_letter(rest[0]) ? upper(rest[0]) : '*';
        rest.remove_prefix(2);
        if (drive == '*') notes.emplace_back("a wildcard drive: that folder on every drive");
        if (!rest.empty() && rest.front() != '\\')
            notes.push_back(std::string("no folder after the drive: read from the root of ") +
                            (drive == '*' ? std::string("every drive") : std::string{drive, ':'}));
    } else {
        notes.emplace_back("no drive letter: read as that folder on every drive");
    }
    if (const size_t colon = rest.find(':'); colon != std::string_view::npos) {
        rest = rest.substr(0, colon);
        notes.emplace_back("the text from the colon on names no folder: read without it");
    }
    const std::string tail = pattern_parts(rest, notes);
    return {std::string{drive, ':', '\\'} + tail, join_notes(notes)};
}

std::string Restrictions::Rule::text() const {
    std::string out = drive ? std::string{drive, ':', '\\'} : share + (parts.empty() ? "" : "\\");
    for (size_t i = 0; i < parts.size(); ++i) out += (i ? "\\" : "") + parts[i];
    return out;
}

std::optional<Restrictions::Rule> Restrictions::compile(const std::string& pattern) {
    Rule rule;
    std::string_view rest = pattern;
    if (rest.starts_with("\\\\")) {
        std::vector<std::string> parts = split_parts(rest.substr(2));
        if (parts.size() < 2) return std::nullopt;
        rule.share = "\\\\" + parts[0] + "\\" + parts[1];
        rule.parts.assign(parts.begin() + 2, parts.end());
    } else {
        if (rest.size() < 3 || rest[1] != ':' || rest[2] != '\\') return std::nullopt;
        rule.drive = rest[0];
        rule.parts = split_parts(rest.substr(3));
    }
    for (const auto& part : rule.parts)
        if (part.find_first_of("*?") != std::string::npos) rule.wild = true;
    return rule;
}

void Restrictions::add(Rule rule) {
    for (const Rule& r : rules_)
        if (r.drive == rule.drive && r.share == rule.share && r.parts == rule.parts) return;
    rules_.push_back(std::move(rule));
}

Restrictions::Restrictions(const DriveTable& drives, std::string_view restricted_list) : drives_(drives) {
    size_t pos = 0;
    while (pos < restricted_list.size()) {
        size_t end = restricted_list.find('|', pos);
        if (end == std::string_view::npos) end = restricted_list.size();
        const std::string_view entry = restricted_list.substr(pos, end - pos);
        pos = end + 1;
        if (trim(entry).empty()) continue;  // the list's own separators, not an entry
        auto rule = compile(read_restricted_entry(entry).pattern);
        add(rule ? std::move(*rule) : *compile(std::string(kEveryDrive)));
    }
}

bool Restrictions::drive_offered(char letter) const {
    if (!is_letter(letter)) return false;
    return drives_[static_cast<size_t>(upper(letter) - 'A')] == 0;
}

bool Restrictions::restricts(std::string_view path) const {
    const char drive = path[0];
    const std::vector<std::string> parts = split_parts(path.substr(3));
    for (const Rule& rule : rules_) {
        if (!rule.drive || (rule.drive != '*' && rule.drive != drive) || parts.size() < rule.parts.size())
            continue;
        bool all = true;
        for (size_t i = 0; all && i < rule.parts.size(); ++i) all = glob_match(rule.parts[i], parts[i]);
        if (all) return true;
    }
    return false;
}

bool Restrictions::allows(std::string_view canonical) const {
    if (canonical.size() < 3 || !drive_offered(canonical[0]) || canonical[1] != ':' || canonical[2] != '\\')
        return false;
    return !restricts(security::ansi_upper(canonical));
}

bool Restrictions::allows_entry(std::string_view shown, std::string_view real, std::string_view name) const {
    const auto child = [name](std::string_view dir) {
        return std::string(dir) + (dir.ends_with('\\') ? "" : "\\") + std::string(name);
    };
    return allows(child(shown)) && (real == shown || allows(child(real)));
}

std::vector<std::string> Restrictions::restricted() const {
    std::vector<std::string> out;
    for (const Rule& rule : rules_) out.push_back(rule.text());
    return out;
}

void Restrictions::resolve_entries(FileSystem& fs) {
    const size_t count = rules_.size();
    for (size_t i = 0; i < count; ++i) {
        const Rule rule = rules_[i];
        if (!rule.drive) {
            for (char letter = 'A'; letter <= 'Z'; ++letter) {
                const auto remote = fs.remote_name(letter);
                if (!remote) continue;
                std::string share = security::ansi_upper(*remote);
                while (share.ends_with('\\')) share.pop_back();
                if (share == rule.share) add(Rule{letter, {}, rule.parts, rule.wild});
            }
            continue;
        }
        if (rule.wild || rule.drive == '*') continue;
        const std::string path = rule.text();
        if (fs.kind(path) == FileSystem::Kind::kMissing) continue;
        const auto real = fs.real_path(path);
        if (!real) continue;
        if (auto canonical = canonical_path(*real))
            if (auto resolved = compile(security::ansi_upper(*canonical))) add(std::move(*resolved));
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
