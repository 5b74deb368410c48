#include "shell/run_policy.h"

#include <cctype>

#include "shell/text_rules.h"

namespace vx::shell {
namespace {

constexpr int kMaxLinkDepth = 4;

// Files these extensions name are started as themselves, so their extension is what counts
// and no association is looked up.
bool program_like(const std::string& ext) {
    return is_program_extension(ext);
}

bool is_drive_letter(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

std::string strip_quotes(std::string_view text) {
    std::string out;
    for (char c : text)
        if (c != '"') out.push_back(c);
    return out;
}

bool has_folder(const std::string& path) {
    return path.find_first_of("\\/") != std::string::npos || path.find(':') != std::string::npos;
}

struct Checker {
    const RunRestrictions& rules;
    LaunchFileSystem& fs;

    // A refusal reason for one concrete local file, or empty. `typed` is the path before its
    // short parts were made long, so both forms of the extension count.
    std::string refuse_file(const std::string& path, const std::string& typed) const {
        if (!path.empty() && is_drive_letter(path[0]) && rules.drive_barred(path[0]))
            return std::string("drive ") +
                   static_cast<char>(std::toupper(static_cast<unsigned char>(path[0]))) + ": is barred";
        for (const std::string& ext : {extension_of(path), extension_of(typed)})
            if (rules.extension_forbidden(ext)) return "extension " + ext + " is forbidden";
        return {};
    }

    // Checks an existing file and whatever it hands the start on to (link target, associated
    // program). Fills `decision` and returns false on refusal.
    bool check_existing(const std::string& found, RunDecision& decision, int depth) const {
        std::string path = fs.long_path(found);
        if (auto again = normalize_local_path(path, "C:\\")) path = *again;
        if (std::string why = refuse_file(path, found); !why.empty()) return refuse(decision, path, why);
        const std::string ext = extension_of(path);
        if (ext == "LNK") {
            if (depth >= kMaxLinkDepth) return refuse(decision, path, "shell links lead too deep");
            auto link = fs.read_link(path);
            if (!link) return refuse(decision, path, "the shell link cannot be read");
            const std::string target = trim(strip_quotes(link->target));
            std::optional<std::string> local = normalize_local_path(target, dir_part(path));
            if (!local) {
                if (rules.any())
                    return refuse(decision, target, "the shell link leads outside the local drives");
                decision.program = target;
                return true;
            }
            if (!fs.file_exists(*local)) {
                if (std::string why = refuse_file(*local, *local); !why.empty())
                    return refuse(decision, *local, why);
                decision.program = *local;
                return true;
            }
            return check_existing(*local, decision, depth + 1);
        }
        decision.program = path;
        if (!program_like(ext)) {
            const std::string assoc = trim(strip_quotes(fs.associated_program(path)));
            if (!assoc.empty() && !iequals(assoc, path)) {
                std::optional<std::string> local = normalize_local_path(assoc, "C:\\");
                if (!local) {
                    if (rules.any())
                        return refuse(decision, assoc, "the associated program is not on a local drive");
                } else {
                    const std::string long_assoc = fs.long_path(*local);
                    if (std::string why = refuse_file(long_assoc, *local); !why.empty())
                        return refuse(decision, long_assoc,
                                      "its associated program " + long_assoc + ": " + why);
                    decision.program = long_assoc;
                }
            }
        }
        return true;
    }

    static bool refuse(RunDecision& decision, const std::string& program, const std::string& why) {
        decision.verdict = RunVerdict::Refused;
        decision.program = program;
        decision.reason = why;
        return false;
    }

    static std::string dir_part(const std::string& path) {
        const size_t sep = path.find_last_of('\\');
        return sep == std::string::npos ? path : path.substr(0, sep + 1);
    }

    // The existing files a name may start: with an extension the name itself; without one
    // the ".EXE" that process creation adds, the PATHEXT forms the shell tries, and the bare
    // file (a trailing dot asks for it).
    std::vector<std::string> variants(const std::string& path) const {
        std::vector<std::string> out;
        if (!extension_of(path).empty()) {
            out.push_back(path);
            return out;
        }
        out.push_back(path + ".EXE");
        for (const std::string& e : fs.path_extensions()) {
            std::string v = path + to_upper(e);
            if (v != out.front()) out.push_back(v);
        }
        out.push_back(path);
        return out;
    }

    // Decides one program name; `found` tells whether it named anything to decide on.
    bool decide_name(const std::string& raw, RunDecision& decision, bool& found) const {
        found = false;
        const std::string cwd = fs.current_directory();
        std::vector<std::string> folders;
        std::string name = raw;
        if (has_folder(raw)) {
            std::optional<std::string> local = normalize_local_path(raw, cwd);
            if (!local) {
                if (rules.any()) {
                    found = true;
                    return refuse(decision, raw, "network, device and address forms are not allowed");
                }
                found = true;
                decision.verdict = RunVerdict::Allowed;
                decision.program = raw;
                return true;
            }
            name = *local;
            folders.push_back({});
        } else {
            for (const std::string& f : fs.search_folders()) folders.push_back(f);
        }
        for (const std::string& folder : folders) {
            std::string full = name;
            if (!folder.empty()) {
                const std::string joined = with_trailing_backslash(folder) + name;
                std::optional<std::string> local = normalize_local_path(joined, cwd);
                if (!local) {
                    // A search folder on a network share: what it holds cannot be checked.
                    if (rules.any()) {
                        for (const std::string& v : variants(joined)) {
                            if (!fs.file_exists(v)) continue;
                            found = true;
                            return refuse(decision, v, "network, device and address forms are not allowed");
                        }
                    }
                    continue;
                }
                full = *local;
            } else if (auto local = normalize_local_path(name, cwd)) {
                full = *local;
            }
            bool any_here = false;
            for (const std::string& v : variants(full)) {
                if (!fs.file_exists(v)) continue;
                if (!any_here) decision.program = v;
                any_here = true;
                RunDecision probe;
                if (!check_existing(v, probe, 0)) {
                    decision = probe;
                    found = true;
                    return false;
                }
                if (v == decision.program) decision.program = probe.program;
            }
            if (any_here) {
                found = true;
                decision.verdict = RunVerdict::Allowed;
                return true;
            }
        }
        // Nothing exists under this name; still refuse what its spelling alone gives away.
        if (has_folder(raw)) {
            if (std::string why = refuse_file(name, name); !why.empty()) {
                found = true;
                return refuse(decision, name, why);
            }
        }
        return true;
    }
};

RunDecision not_found(std::string_view what) {
    RunDecision d;
    d.verdict = RunVerdict::NotFound;
    d.program = std::string(what);
    d.reason = "no program of that name was found";
    return d;
}

}  // namespace

bool RunRestrictions::any() const {
    if (!forbidden_extensions.empty()) return true;
    for (security::SecurityLevel level : drive_levels)
        if (level != 0) return true;
    return false;
}

bool RunRestrictions::drive_barred(char letter) const {
    const int c = std::toupper(static_cast<unsigned char>(letter));
    if (c < 'A' || c > 'Z') return false;
    return drive_levels[static_cast<size_t>(c - 'A')] != 0;
}

bool RunRestrictions::extension_forbidden(std::string_view extension) const {
    if (extension.empty()) return false;
    const std::string want = to_upper(extension);
    const std::string list = to_upper(forbidden_extensions);
    size_t start = 0;
    while (start < list.size()) {
        size_t bar = list.find('|', start);
        if (bar == std::string::npos) bar = list.size();
        std::string item = trim(std::string_view(list).substr(start, bar - start));
        if (!item.empty() && item[0] == '.') item.erase(0, 1);
        if (item == want) return true;
        start = bar + 1;
    }
    return false;
}

bool is_program_extension(std::string_view extension) {
    const std::string ext = to_upper(extension);
    for (const char* p : {"COM", "CMD", "PIF", "SCR", "BAT", "EXE"})
        if (ext == p) return true;
    return false;
}

std::string extension_of(std::string_view path) {
    const size_t sep = path.find_last_of("\\/:");
    const std::string_view last = sep == std::string_view::npos ? path : path.substr(sep + 1);
    const size_t dot = last.rfind('.');
    if (dot == std::string_view::npos) return {};
    return to_upper(last.substr(dot + 1));
}

std::optional<std::string> normalize_local_path(std::string_view input, std::string_view current_dir) {
    std::string p;
    for (char c : input) p.push_back(c == '/' ? '\\' : c);
    if (p.rfind("\\\\", 0) == 0 || p.rfind("\\??\\", 0) == 0) return std::nullopt;
    const size_t colon = p.find(':');
    const bool drive = colon == 1 && is_drive_letter(p[0]);
    if (colon != std::string::npos && (!drive || p.find(':', 2) != std::string::npos)) return std::nullopt;

    std::string base;  // "X:" and the folders under it
    std::string rest;
    std::string cwd;
    for (char c : current_dir) cwd.push_back(c == '/' ? '\\' : c);
    const bool cwd_local =
        cwd.size() >= 2 && cwd[1] == ':' && is_drive_letter(cwd[0]) && cwd.find(':', 2) == std::string::npos;
    if (drive) {
        base = p.substr(0, 2);
        rest = p.substr(2);
        // Drive-relative: the current folder of that drive, known only for the current drive.
        if (rest.empty() || rest[0] != '\\') {
            if (cwd_local && std::toupper(static_cast<unsigned char>(cwd[0])) ==
                                 std::toupper(static_cast<unsigned char>(p[0])))
                rest = cwd.substr(2) + "\\" + rest;
            else
                rest = "\\" + rest;
        }
    } else {
        if (!cwd_local) return std::nullopt;
        base = cwd.substr(0, 2);
        rest = p[0] == '\\' ? p : cwd.substr(2) + "\\" + p;
    }

    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= rest.size()) {
        size_t sep = rest.find('\\', start);
        if (sep == std::string::npos) sep = rest.size();
        std::string part = rest.substr(start, sep - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else {
            // The system ignores dots and blanks at the end of a name.
            while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
            if (!part.empty()) parts.push_back(part);
        }
        start = sep + 1;
    }
    std::string out = base;
    if (parts.empty()) return to_upper(out + "\\");
    for (const std::string& part : parts) out += "\\" + part;
    // Names compare without regard to case; capitals are how commands are started.
    return to_upper(out);
}

RunDecision decide_file(std::string_view path, const RunRestrictions& restrictions, LaunchFileSystem& fs) {
    Checker check{restrictions, fs};
    RunDecision decision;
    bool found = false;
    const std::string name = trim(strip_quotes(path));
    if (name.empty()) return not_found(path);
    if (check.decide_name(has_folder(name) ? name : ".\\" + name, decision, found) && !found)
        return not_found(name);
    return decision;
}

RunDecision decide_run(std::string_view command_in, const RunRestrictions& restrictions,
                       LaunchFileSystem& fs) {
    const std::string command = trim(command_in);
    if (command.empty()) return not_found(command);
    const size_t shell_args = command.find("::");
    if (shell_args != std::string::npos) return decide_file(command.substr(0, shell_args), restrictions, fs);

    Checker check{restrictions, fs};
    std::vector<std::string> candidates;
    if (command[0] == '"') {
        const size_t close = command.find('"', 1);
        candidates.push_back(command.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    } else {
        // Process creation tries each blank in turn as the end of the program's name.
        for (size_t i = 0; i < command.size(); ++i)
            if ((command[i] == ' ' || command[i] == '\t') && i > 0 && command[i - 1] != ' ' &&
                command[i - 1] != '\t')
                candidates.push_back(strip_quotes(command.substr(0, i)));
        candidates.push_back(strip_quotes(command));
    }
    for (const std::string& candidate : candidates) {
        RunDecision decision;
        bool found = false;
        const bool ok = check.decide_name(candidate, decision, found);
        if (!ok || found) return decision;
    }
    return not_found(candidates.front());
}

}  // namespace vx::shell
