#include "shell/admin_state.h"

namespace vx::shell {

bool AdminFileState::read_on_activation(bool file_exists) const {
    if (reading_) return false;
    return damaged() || (status_ == AdminFileStatus::NotRead && file_exists);
}

bool AdminFileState::read_on_timer(DateTime now) const {
    if (reading_ || !damaged()) return false;
    // A clock set back is no reason to wait longer than the retry time.
    const double elapsed = (now - last_try_) * 86400.0;
    // Day fractions do not hold whole seconds exactly: a millisecond's grace.
    return elapsed >= kRetrySeconds - 0.001 || elapsed < 0;
}

bool AdminFileState::begin_read() {
    if (reading_) return false;
    reading_ = true;
    return true;
}

AdminReadAction AdminFileState::record(AdminRead outcome, std::string error, DateTime now) {
    last_try_ = now;
    AdminReadAction action;
    switch (outcome) {
        case AdminRead::Absent:
            if (damaged()) error_ = std::move(error);
            break;
        case AdminRead::Clean:
            action.unlocked = damaged();
            status_ = AdminFileStatus::Loaded;
            error_.clear();
            break;
        case AdminRead::Failed:
            action.show_error = !damaged();
            status_ = AdminFileStatus::Damaged;
            error_ = std::move(error);
            break;
    }
    return action;
}

}  // namespace vx::shell
