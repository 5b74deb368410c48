#pragma once
// The decisions of the idle lock and timed exit library, free of any system call so that they
// can be driven by a test with its own tick count and clock.
#include <stdint.h>

namespace vxhooks {

// A moment of the local wall clock. `day` is any number that differs from one calendar day to
// the next; `minute` counts from local midnight.
struct LocalTime {
    int32_t day = 0;
    int32_t minute = 0;
};

class Watch {
public:
    // Arming or disarming starts from scratch: both times are off until set again.
    void set_armed(bool on);
    void set_lock_minutes(int32_t minutes);
    // When today's exit time has already gone by at `now`, the first exit is tomorrow's: a
    // station restarted by the timed exit must not end the new session at once.
    void set_exit_minute(int32_t minute, LocalTime now);
    // Tick counts in milliseconds (they wrap every 49.7 days, like the system's).
    bool lock_due(uint32_t now_ms, uint32_t last_input_ms) const;
    // True at the first call on or after the exit time of a day not yet reported.
    bool exit_due(LocalTime now);
    void clear();

private:
    bool armed_ = false;
    int32_t lock_minutes_ = 0;
    int32_t exit_minute_ = -1;
    bool reported_ = false;
    int32_t reported_day_ = 0;
};

}  // namespace vxhooks
