// vxtool policy: the shell's own run decision for one user of an administration file, so an
// administrator can try a policy before a station enforces it. On Windows the decision sees the
// file system as the shell does; elsewhere drives are mapped onto folders (Z: is "/", as under
// Wine, and --drive X=DIR adds more), names compare without regard to case, and shell links
// and associations are unknown.
#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <random>

#include "port/clock.h"
#include "port/hooks_api.h"
#include "port/locale.h"
#include "port/text_codec.h"
#include "security/admin_file.h"
#include "security/login.h"
#include "shell/run_policy.h"
#include "shell/text_rules.h"
#include "shell/user_restrictions.h"
#include "tool/command.h"
#include "tool/scratch_copy.h"
#include "util/file_io.h"

#ifdef _WIN32
#include "win/shell/launch_fs.h"
#endif

namespace vx::tool {
namespace {

namespace fs = std::filesystem;

#ifndef _WIN32
std::vector<std::string> split(const std::string& list, char sep) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(sep, start);
        if (end == std::string::npos) end = list.size();
        if (end > start) parts.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// Drive paths ("X:\A\B") on the host's folders.
class HostLaunchFileSystem final : public shell::LaunchFileSystem {
public:
    explicit HostLaunchFileSystem(std::map<char, fs::path> drives) : drives_(std::move(drives)) {}

    bool file_exists(const std::string& path) override {
        auto p = resolve(path);
        std::error_code ec;
        return p && fs::is_regular_file(*p, ec);
    }
    bool directory_exists(const std::string& path) override {
        auto p = resolve(path);
        std::error_code ec;
        return p && fs::is_directory(*p, ec);
    }
    std::string long_path(const std::string& path) override { return path; }
    std::optional<shell::ShellLinkInfo> read_link(const std::string&) override { return std::nullopt; }
    std::string current_directory() override {
        std::error_code ec;
        return to_drive_path(fs::current_path(ec));
    }
    std::vector<std::string> search_folders() override {
        std::vector<std::string> folders{current_directory()};
        if (const char* path = std::getenv("PATH"))
            for (const std::string& dir : split(path, ':')) folders.push_back(to_drive_path(dir));
        std::erase_if(folders, [](const std::string& f) { return f.empty(); });
        return folders;
    }
    std::vector<std::string> path_extensions() override {
        std::vector<std::string> exts;
        if (const char* list = std::getenv("PATHEXT")) exts = split(list, ';');
        if (exts.empty()) exts = {".COM", ".EXE", ".BAT", ".CMD"};
        return exts;
    }
    std::string associated_program(const std::string&) override { return {}; }

private:
    // The host path a drive path names, matching each part without regard to case.
    std::optional<fs::path> resolve(const std::string& path) const {
        if (path.size() < 2 || path[1] != ':') return std::nullopt;
        const auto drive = drives_.find(static_cast<char>(std::toupper(static_cast<unsigned char>(path[0]))));
        if (drive == drives_.end()) return std::nullopt;
        fs::path at = drive->second;
        for (const std::string& part : split(path.substr(2), '\\')) {
            if (part == ".") continue;
            std::error_code ec;
            if (fs::exists(at / part, ec)) {
                at /= part;
                continue;
            }
            std::optional<fs::path> match;
            for (fs::directory_iterator it(at, ec), end; !ec && it != end; it.increment(ec))
                if (shell::iequals(path_to_utf8(it->path().filename()), part)) {
                    match = it->path();
                    break;
                }
            if (!match) return std::nullopt;
            at = *match;
        }
        return at;
    }

    // A host folder as a drive path, through the drive whose folder holds it most closely.
    std::string to_drive_path(const fs::path& host) const {
        const std::string text = path_to_utf8(host.lexically_normal());
        std::string best;
        size_t best_len = 0;
        for (const auto& [letter, root] : drives_) {
            std::string r = path_to_utf8(root.lexically_normal());
            if (!r.empty() && r.back() == '/') r.pop_back();
            if (text.compare(0, r.size(), r) != 0 || (text.size() > r.size() && text[r.size()] != '/'))
                continue;
            if (!best.empty() && r.size() < best_len) continue;
            std::string rest = text.substr(r.size());
            std::replace(rest.begin(), rest.end(), '/', '\\');
            best = std::string(1, letter) + ":" + (rest.empty() ? "\\" : rest);
            best_len = r.size();
        }
        return best;
    }

    std::map<char, fs::path> drives_;
};
#endif

const char* const kUsage =
    "vxtool policy check-run --admin FILE --user NAME COMMAND"
#ifndef _WIN32
    " [--drive X=DIR]..."
#endif
    ;

int policy_command(const Args& argv, std::ostream& out, std::ostream& err) {
    Args args = argv;
    std::string admin, user;
    take_option(args, "--admin", admin);
    take_option(args, "--user", user);
#ifndef _WIN32
    std::map<char, fs::path> drives{{'Z', fs::path("/")}};
    for (std::string d; take_option(args, "--drive", d);) {
        if (d.size() < 3 || d[1] != '=' || !std::isalpha(static_cast<unsigned char>(d[0]))) {
            err << "vxtool policy: --drive wants X=DIR, not '" << d << "'\n";
            return 2;
        }
        drives[static_cast<char>(std::toupper(static_cast<unsigned char>(d[0])))] =
            path_from_utf8(d.substr(2));
    }
#endif
    if (args.size() != 2 || args[0] != "check-run" || admin.empty() || user.empty()) {
        err << "usage: " << kUsage << "\n";
        return 2;
    }
    if (!file_exists(admin)) {
        err << "vxtool policy: " << admin << ": no such file\n";
        return 2;
    }

    const Locale& locale = tool_locale();
    const Windows1252Codec codec;
    NoHooks hooks;
    security::AdminData data;
    {
        ScratchCopy copy(admin, "ADMAN.ADM");
        int mark = 0;
        try {
            security::load_admin_file(copy.path(), data,
                                      security::AdminReadContext{locale, codec, hooks, SystemClock().now()},
                                      mark);
        } catch (const security::AdminFileError& e) {
            err << "vxtool policy: " << e.what() << " (line " << e.line() << ")\n";
            return 2;
        }
    }
    data.logged_in = data.find_user(user);
    if (!data.logged_in) {
        err << "vxtool policy: no user '" << user << "' in " << admin << "\n";
        return 2;
    }
    // What a log-in switches for the user, without the log-in's own rules (hours, days, expiry).
    security::apply_user_guards(data);
    const shell::RunRestrictions restrictions = shell::run_restrictions(data);

#ifdef _WIN32
    win::shell::Win32LaunchFileSystem files;
#else
    HostLaunchFileSystem files(std::move(drives));
#endif
    // As "Run Program" does: the command in capitals, then the decision.
    const std::string command = shell::to_upper(shell::trim(args[1]));
    const shell::RunDecision d = shell::decide_run(command, restrictions, files);
    if (d.allowed()) {
        out << "allowed: " << d.program << "\n";
        return 0;
    }
    out << "refused: " << d.reason;
    if (!d.program.empty()) out << " (" << d.program << ")";
    out << "\n";
    return 1;
}

const Registration reg{{"policy", kUsage, policy_command}};

}  // namespace
}  // namespace vx::tool
