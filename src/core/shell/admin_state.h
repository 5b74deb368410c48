#pragma once
// What the shell knows of its administration file and when it reads it again. A file that is
// there but cannot be read leaves the station locked down: its users, guards and restrictions
// are unknown, so nothing may start and no guard passes, until the file reads cleanly. Without
// any file the shell runs unrestricted, as it always has; a file that failed and then vanished
// (a network folder that went away) does not count as no file.
#include <string>

#include "util/datetime.h"

namespace vx::shell {

enum class AdminFileStatus { NotRead, Loaded, Damaged };
enum class AdminRead { Absent, Clean, Failed };

// What the caller does after a read.
struct AdminReadAction {
    bool show_error = false;  // tell the user once, as the station locks
    bool unlocked = false;    // a damaged file read cleanly: go on as a first load would
};

class AdminFileState {
public:
    // How often a damaged file is tried again while nobody activates the window.
    static constexpr int kRetrySeconds = 10;

    AdminFileStatus status() const noexcept { return status_; }
    bool damaged() const noexcept { return status_ == AdminFileStatus::Damaged; }
    bool loaded() const noexcept { return status_ == AdminFileStatus::Loaded; }
    // What is wrong with the file, while damaged.
    const std::string& error() const noexcept { return error_; }

    // On activation: a file that appeared while none was read, or one that failed.
    bool read_on_activation(bool file_exists) const;
    // On the timer: a damaged file, once the retry time has passed since the last try.
    bool read_on_timer(DateTime now) const;

    // A read and the report of its outcome are under way: no other read may start, or the
    // activation that closing the report's message box brings would read (and report) again.
    // False when one is under way already.
    bool begin_read();
    // What the read came to, recorded while it is still under way; `error` says what is wrong
    // (for Failed, and for Absent while damaged). Returns what the caller does next.
    AdminReadAction record(AdminRead outcome, std::string error, DateTime now);
    // The read and the report of its outcome are over.
    void end_read() noexcept { reading_ = false; }

private:
    AdminFileStatus status_ = AdminFileStatus::NotRead;
    std::string error_;
    DateTime last_try_ = 0;
    bool reading_ = false;
};

}  // namespace vx::shell
