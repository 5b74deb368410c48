#pragma once
// What the administration file tells the shell: settings, groups, users, command guards and
// the drive, directory, file and file-type restrictions, plus the logged-in user. One object,
// held by the main window for the life of the process.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "security/level.h"
#include "util/datetime.h"

namespace vx::security {

// The ten numbers of the settings line, in file order.
struct AdminSettings {
    uint8_t idle_lock_on = 0;
    int32_t idle_lock_time = 0;
    uint8_t usage_log_on = 0;
    int32_t encryption_mark = 0;
    uint8_t validate_users = 0;
    uint8_t disable_system_keys = 0;
    uint8_t monthly_logs = 0;
    uint8_t exit_time_on = 0;
    uint8_t exit_logs_off = 0;
    int32_t exit_time = 0;
};

struct Group {
    std::string name;
    SecurityLevel level = 0;
    uint8_t access_lower = 0;  // non-zero: also opens every level below its own
};

// Launch-day bits of a user.
inline constexpr uint16_t kExpiryInForce = 1u << 12;
// Weekday 1 (Sunday) .. 7 (Saturday) -> bit 11 .. 5.
inline constexpr uint16_t weekday_bit(int weekday) {
    return static_cast<uint16_t>(1u << (12 - weekday));
}
// Week of month 1 .. 5 -> bit 4 .. 0.
inline constexpr uint16_t week_bit(int week) {
    return static_cast<uint16_t>(1u << (5 - week));
}

// 23:59:59 as a time of day.
inline constexpr DateTime kLastSecondOfDay = 86399.0 / 86400.0;

struct User {
    std::string name;
    std::string actual;
    std::string password;
    DateTime expiry = 0;
    // Only the time of day counts. A record that states no times may log in all day: a file
    // written by hand without them must not shut its users out (at 00:00:00 alone).
    DateTime start = 0;
    DateTime end = kLastSecondOfDay;
    uint16_t launch_days = 0;
    // Positions in AdminData::groups; the newest membership first.
    std::vector<size_t> groups;
};

struct CommandGuard {
    std::string password;
    SecurityLevel level = 0;
    uint8_t visible = 1;
};

struct LevelRule {
    std::string name;  // extension (upper case) or path
    SecurityLevel level = 0;
};

inline constexpr size_t kGuardCount = 32;

// The guarded commands and menus by slot; slots 15 to 31 are read and kept but guard nothing.
enum GuardSlot : size_t {
    kGuardDesktopMenu = 0,
    kGuardNew = 1,
    kGuardOpen = 2,
    kGuardSetup = 3,
    kGuardRun = 4,
    kGuardExit = 5,
    kGuardExitToDos = 6,
    kGuardLogOff = 7,
    kGuardPageMenus = 8,
    kGuardOptionsMenu = 9,
    kGuardViewUsageLog = 10,
    kGuardLogViewerView = 11,
    kGuardHelpMenu = 12,
    kGuardMaster = 13,
    kGuardRunPopup = 14,
};

// An entry of the file that was read, but not as it stands; the user is told once.
struct AdminWarning {
    int line = 0;  // 1-based
    std::string text;
    bool operator==(const AdminWarning&) const = default;
};

struct AdminData {
    AdminSettings settings;
    std::string encryption_key;  // for the protected files
    std::string log_path;        // usage log, after the monthly rule

    std::vector<Group> groups;  // file order
    // File order. The shell's list puts each new user at the head, so "list order" (the
    // order of the log-in search) is this vector backwards; see users_in_list_order().
    std::vector<User> users;
    std::array<CommandGuard, kGuardCount> guards{};
    std::vector<LevelRule> file_types;       // file order
    DriveLevels drives{};                    // A .. Z
    std::vector<LevelRule> directories;      // newest first
    std::vector<LevelRule> protected_files;  // file order
    std::vector<AdminWarning> warnings;      // of the last reading

    // Built by apply_user_guards: "EXE|BAT|".
    std::string forbidden_extensions;

    // Position in `users` of the logged-in user; empty until the first successful log-in,
    // then kept for the life of the shell.
    std::optional<size_t> logged_in;

    const User* current_user() const { return logged_in ? &users[*logged_in] : nullptr; }
    // Positions in `users`, head of the list first.
    std::vector<size_t> users_in_list_order() const;
    // First in list order whose name matches without regard to case.
    std::optional<size_t> find_user(std::string_view name) const;
    std::optional<size_t> find_group(std::string_view name) const;
};

// Upper case as the ANSI code page has it (ASCII and the Latin letters of Windows-1252);
// other characters pass unchanged. Text is UTF-8.
std::string ansi_upper(std::string_view utf8);
bool same_without_case(std::string_view a, std::string_view b);

}  // namespace vx::security
