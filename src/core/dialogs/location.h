#pragma once
// Where a selector may go. The selectors are the only window a user of a locked-down station
// has on the file system, so every path a user can type or click is brought to one canonical
// form ("C:\Dir\Sub", drive letter upper case, no trailing separator except on a root) before
// it is compared with the drive table and the restricted directories. Anything that cannot be
// brought to that form with confidence (UNC and device paths, URIs, environment variables,
// stream names, wildcards outside the last part) is refused rather than guessed at.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "security/level.h"

namespace vx::dialogs {

using security::kDriveCount;
// A drive is offered only when its entry is 0.
using DriveTable = security::DriveLevels;

// What the location check asks of the system. Paths in and out are canonical drive paths.
class FileSystem {
public:
    enum class Kind { kMissing, kFile, kDirectory };
    virtual ~FileSystem() = default;
    virtual Kind kind(const std::string& path) = 0;
    // The path the system really opens for an existing path: short names expanded, letter case
    // as stored, junctions and links followed. nullopt when it cannot say. The result may be in
    // any form (even UNC); it is checked again.
    virtual std::optional<std::string> real_path(const std::string& path) = 0;
    // True when the system reports the letter as a drive (a volume is mounted there).
    virtual bool is_drive(char letter) = 0;
    // The network folder a drive letter is mapped to ("\\SERVER\SHARE"), or nullopt.
    virtual std::optional<std::string> remote_name(char /*letter*/) { return std::nullopt; }
};

// Lexical canonical form of a drive path, or nullopt when the text is not one we accept.
// `base` (itself canonical) resolves relative texts ("Sub", "..\X", "\Root", "C:Sub").
std::optional<std::string> canonical_path(std::string_view text, std::string_view base = {});

// How one restricted-directory entry of the administration file is read. The entries are
// written by hand, and an entry that restricted nothing because it was not written as a full
// drive path would open the very folder it was meant to close: an entry is never dropped. One
// that is not a plain full path restricts what it most plausibly names, and says how it was read.
struct RestrictedEntry {
    // Upper case. "C:\SECRET"; "*:\SECRET", that folder on every drive; parts with "*" and "?"
    // match as wildcards ("C:\USERS\*\DOCUMENTS"); "\\SERVER\SHARE\DIR", a network folder,
    // restricted on every drive mapped to its share; "*:\" closes every drive.
    std::string pattern;
    std::string note;  // empty for a plain full path
};
// Expands the name of an environment variable; nullopt when it is not set.
using Environment = std::function<std::optional<std::string>(std::string_view name)>;
// Without an environment (or for a variable it does not know) an entry that uses one cannot be
// known, and closes every drive.
RestrictedEntry read_restricted_entry(std::string_view entry, const Environment& env = {});

// The drive table and the restricted-directory list ("C:\SECRET|D:\X|") of the current user.
// Each entry of the list is read as read_restricted_entry reads it.
class Restrictions {
public:
    Restrictions() { drives_.fill(0); }
    Restrictions(const DriveTable& drives, std::string_view restricted_list);

    bool drive_offered(char letter) const;
    // A canonical path that the user may see and enter: on an offered drive and neither a
    // restricted directory nor below one.
    bool allows(std::string_view canonical) const;
    // An entry `name` of the directory shown as `shown` (canonical), which really lies at `real`
    // (canonical; `shown` itself when it is reached directly). A folder seen through another
    // drive letter or path form (a substituted drive, a volume mounted in a folder) is still
    // the folder it really is: allowed only when neither form is restricted.
    bool allows_entry(std::string_view shown, std::string_view real, std::string_view name) const;
    // The patterns, as read_restricted_entry gives them.
    std::vector<std::string> restricted() const;
    // Adds the real form of every existing restricted entry, so that an entry the
    // administrator wrote with a short name still matches the long name the user types, and
    // the drive forms of the network entries on the drives mapped to their shares.
    void resolve_entries(FileSystem& fs);

private:
    struct Rule {
        char drive = 0;                  // 'A'..'Z', '*' for every drive, 0 for a network entry
        std::string share;               // "\\SERVER\SHARE" of a network entry
        std::vector<std::string> parts;  // upper case, may hold wildcards
        bool wild = false;
        std::string text() const;
    };
    static std::optional<Rule> compile(const std::string& pattern);
    void add(Rule rule);
    bool restricts(std::string_view canonical_upper) const;

    DriveTable drives_{};
    std::vector<Rule> rules_;
};

// The outcome of leaving the location box with a typed text.
struct Location {
    enum class Status {
        kDirectory,  // directory: an existing, allowed directory; file_name: a file or mask in it
        kMissing,    // directory: allowed but absent (the directory selector may create it)
        kRefused,    // not a location the user may reach
    };
    Status status = Status::kRefused;
    std::string directory;
    std::string file_name;  // empty unless the text named a file or a mask
};

// `current` is the directory the browser shows, used for relative texts.
Location resolve_location(std::string_view typed, std::string_view current, const Restrictions& rules,
                          FileSystem& fs);

// The directory a selector opens on: `start` (or `current_dir` when empty) when it is allowed,
// else the root of the first offered drive from C: to Z: that the system reports as a drive and
// whose root is not restricted; nullopt when there is none.
std::optional<std::string> start_directory(std::string_view start, std::string_view current_dir,
                                           const Restrictions& rules, FileSystem& fs);

// Message texts of the location box.
std::string invalid_location_message(std::string_view typed);
std::string create_directory_question(std::string_view location);
std::string create_directory_failed_message(std::string_view system_error);

}  // namespace vx::dialogs
