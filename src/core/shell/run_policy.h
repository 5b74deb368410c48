#pragma once
// Whether the current user may start a typed command ("Run Program", and the files the F and E
// macros return). The check is made on the program that would really start, not on how the
// command is written: quotes, forward slashes, "..", trailing dots and blanks, drive-relative
// and short names, shell links, associations and names without an extension all lead to the
// file that process creation or the shell would use. Forms that name no local file (network
// shares, device paths, addresses with a scheme) are refused whenever any restriction is set,
// since no drive letter or extension can be checked for them.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "security/level.h"

namespace vx::shell {

// The current user's restrictions, handed over by whoever reads the administration file.
struct RunRestrictions {
    // Per drive A..Z: 0 lets the user use the drive, anything else bars it.
    security::DriveLevels drive_levels{};
    // Every extension the user may not open, each followed by "|" ("EXE|BAT|").
    std::string forbidden_extensions;

    bool any() const;
    bool drive_barred(char letter) const;
    bool extension_forbidden(std::string_view extension) const;
};

struct ShellLinkInfo {
    std::string target;
    std::string arguments;
    std::string working_directory;
};

// What the launcher needs to know about the file system and the shell's lookups.
class LaunchFileSystem {
public:
    virtual ~LaunchFileSystem() = default;
    virtual bool file_exists(const std::string& path) = 0;  // a file, not a folder
    virtual bool directory_exists(const std::string& path) = 0;
    // The path with every short (8.3) part in its long form; the path itself when unknown.
    virtual std::string long_path(const std::string& path) = 0;
    // The link's target, arguments and working directory; nullopt when it cannot be read.
    virtual std::optional<ShellLinkInfo> read_link(const std::string& path) = 0;
    virtual std::string current_directory() = 0;
    // The folders process creation searches for a bare name, in its order (the program's
    // folder, the current folder, the system folders, then PATH).
    virtual std::vector<std::string> search_folders() = 0;
    // PATHEXT, each with its dot (".COM", ".EXE", ...).
    virtual std::vector<std::string> path_extensions() = 0;
    // The program the shell opens a document with; empty when there is none.
    virtual std::string associated_program(const std::string& document) = 0;
};

enum class RunVerdict { Allowed, Refused, NotFound };

struct RunDecision {
    RunVerdict verdict = RunVerdict::NotFound;
    std::string program;  // the file that would start (Allowed), or the one refused
    std::string reason;   // why it was refused or not found

    bool allowed() const { return verdict == RunVerdict::Allowed; }
};

// A typed command line: split as process creation splits it. A command holding "::" is the
// file before it, opened by the shell.
RunDecision decide_run(std::string_view command, const RunRestrictions& restrictions, LaunchFileSystem& fs);

// One file path as a selector returns it (no splitting at blanks).
RunDecision decide_file(std::string_view path, const RunRestrictions& restrictions, LaunchFileSystem& fs);

// The path made absolute against `current_dir` and normalised the way the system reads it;
// nullopt for forms that name no local drive (network shares, device paths, a ":" anywhere
// but after the drive letter). Exposed for the tests.
std::optional<std::string> normalize_local_path(std::string_view path, std::string_view current_dir);

// The extension of a path's last part, in capitals, without its dot.
std::string extension_of(std::string_view path);

// COM, CMD, PIF, SCR, BAT and EXE start as themselves; other files through an association.
bool is_program_extension(std::string_view extension);

}  // namespace vx::shell
