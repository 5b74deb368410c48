#include "watch.h"

namespace vxhooks {

namespace {
constexpr int32_t kMinutesPerDay = 24 * 60;
}

void Watch::set_armed(bool on) {
    clear();
    armed_ = on;
}

void Watch::set_lock_minutes(int32_t minutes) {
    lock_minutes_ = minutes;
}

void Watch::set_exit_minute(int32_t minute, LocalTime now) {
    exit_minute_ = minute;
    reported_ = now.minute >= minute;
    reported_day_ = now.day;
}

bool Watch::lock_due(uint32_t now_ms, uint32_t last_input_ms) const {
    if (!armed_ || lock_minutes_ <= 0) return false;
    const uint32_t idle_ms = now_ms - last_input_ms;
    // Input stamped after the sampled tick shows up as a huge idle time; it is no idle time at
    // all. Real idle spells of 24 days and more never get here, the lock came long before.
    if (idle_ms > 0x7FFFFFFFu) return false;
    return static_cast<int64_t>(idle_ms) >= static_cast<int64_t>(lock_minutes_) * 60000;
}

bool Watch::exit_due(LocalTime now) {
    if (!armed_ || exit_minute_ < 0 || exit_minute_ >= kMinutesPerDay) return false;
    if (now.minute < exit_minute_) return false;
    if (reported_ && reported_day_ == now.day) return false;
    reported_ = true;
    reported_day_ = now.day;
    return true;
}

void Watch::clear() {
    *this = Watch{};
}

}  // namespace vxhooks
