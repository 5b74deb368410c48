#pragma once
// The user log-in (also the unlock of the idle lock): the check a typed name and password go
// through, what a successful log-in switches, and the guards applied once it is done.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "security/admin_data.h"
#include "util/file_io.h"

namespace vx {
class HooksApi;
class SessionApi;
}  // namespace vx

namespace vx::security {

inline constexpr std::string_view kLoginCaption = "Validate User";
inline constexpr std::string_view kLoginText =
    "As you know, Vantora! will not function without a valid user name and password. ";
inline constexpr size_t kLoginPasswordMax = 120;

enum class LoginFailure {
    None,
    UnknownUser,
    WrongPassword,
    NeedsAdministrator,  // unlocking as someone else than the logged-in user
    OutsideHours,
    NotToday,
    NotThisWeek,
    Expired,
};

struct LoginResult {
    LoginFailure failure = LoginFailure::None;
    std::optional<size_t> user;  // position in AdminData::users of the user who passed
    bool ok() const { return failure == LoginFailure::None; }
};

// Week of the month as the launch-day bits count it: 0 to 5, where 0 sets no condition.
int week_of_month(DateTime day);

// Runs the checks in order and, when no user was logged in yet, makes the user who passed the
// logged-in one. An unlock leaves the logged-in user as it was.
LoginResult check_login(AdminData& data, std::string_view name, std::string_view password, DateTime now);

// After the third failed log-in in a row the dialog takes no input (and beeps). So that
// neither a user nor the administrator is shut out for good, input returns after a minute
// and the count starts again; a successful log-in also starts it again.
class LoginLockout {
public:
    static constexpr int kFailuresToLock = 3;
    static constexpr int kLockSeconds = 60;

    // Counts a failure; true when this one locks the dialog.
    bool record_failure(DateTime now);
    void record_success() { failures_ = 0, locked_since_.reset(); }
    // True while input is refused. Once the minute is over the lock lifts here.
    bool locked(DateTime now);
    int failures() const { return failures_; }

private:
    int failures_ = 0;
    std::optional<DateTime> locked_since_;
};

// The program's DDE server item that carries the logged-in user's name.
class DdeItem {
public:
    virtual ~DdeItem() = default;
    virtual void set_text(const std::string& text) = 0;
};

// Shows or hides a protected directory. Only the hidden attribute changes: a directory's other
// attributes (read-only, system) may carry meaning of their own and are kept.
class DirectoryAttributes {
public:
    virtual ~DirectoryAttributes() = default;
    virtual void set_hidden(const std::string& path, bool hidden) = 0;
};

struct LoginPorts {
    DdeItem& dde;
    DirectoryAttributes& directories;
    SessionApi& session;
};

// Protected files that could not be switched; what() names each one and why, for the user.
class ProtectedFileError : public FileError {
public:
    using FileError::FileError;
};

// What a successful log-in switches, for the logged-in user (on an unlock by an administrator
// that is still the user who logged in first, never the administrator): the DDE item, the
// protected directories and files opened or closed by that user's level, and the system keys
// released unless the file keeps them locked. The keys are released also when a protected file
// cannot be switched; the others are switched all the same, and then ProtectedFileError names
// the ones that failed. `encryption_mark` is the main window's mark (the file cipher uses it).
void apply_login_success(const AdminData& data, LoginPorts& ports, int& encryption_mark);

// Every protected file enciphered again with the file's key, as the shell ends; the files that
// could not be are named by ProtectedFileError once all have been tried.
void encipher_protected_files(const AdminData& data, int& encryption_mark);

// Right after a successful load, on activation: locks the system keys when the file says so.
// True when the log-in dialog must be shown (and the user guards applied once it closes).
bool begin_after_admin_load(const AdminData& data, SessionApi& session);
// As the main window is destroyed: every protected file enciphered again, and the system keys
// released when the file had locked them (also when a file could not be enciphered; the
// FileError is passed on afterwards).
void end_of_shell(const AdminData& data, SessionApi& session, int& encryption_mark);

// Which guarded menu items and separators the logged-in user sees.
struct MenuVisibility {
    std::array<bool, kGuardCount> slot{};
    bool separator_before_run = false;
    bool separator_before_exit = false;
    bool separator_before_setup = false;
    bool help_separator_after_run = false;
};

// After the log-in dialog has closed: menu visibility per slot, drive levels the user may use
// reset to 0, and the forbidden extension list rebuilt.
MenuVisibility apply_user_guards(AdminData& data);

// The log-in dialog's one-second timer: when the timed exit is armed and its time has come,
// release the system keys and end the session (log off or restart as the file says). True
// when the session was ended; the dialog then restores the top-most windows.
bool login_timed_exit(const AdminData& data, HooksApi& hooks, SessionApi& session);

}  // namespace vx::security
