#include "security/usage_log_tracker.h"

#include <cmath>

namespace vx::security {

void UsageTracker::track(const std::string& user) {
    WindowId window = processes_.foreground_window();
    if (window == 0) return;
    if (const WindowId owner = processes_.owner_of(window); owner != 0) window = owner;
    const std::uint32_t thread = processes_.window_thread(window);
    const DateTime now = clock_.now();

    // A window that closed gets its end time at the first tick after, wherever it sits in the
    // list; otherwise a record behind the one in front would keep no end time until some later
    // tick happened to walk past it, and its "Out" time would be wrong.
    for (auto& r : records_) {
        if (r.window != 0 && !processes_.window_exists(r.window)) {
            r.window = 0;
            r.end_time = now;
        }
    }

    // Only records whose window is still open can match: thread ids are reused, and a new
    // program must not be credited to the closed record of an old one.
    bool found = false;
    for (auto& r : records_) {
        if (r.window != 0 && r.thread == thread) {
            found = true;
            if (previous_ == window)
                r.used_mark += std::fabs(now - r.last_seen);
            else
                previous_ = window;
        }
        r.last_seen = now;
        if (found) break;
    }
    if (found) return;

    std::string title = processes_.window_title(window);
    if (title.empty()) return;
    UsageRecord r;
    r.window = window;
    r.thread = thread;
    r.user = user;
    r.program = std::move(title);
    r.start_time = r.end_time = r.last_seen = r.used_mark = now;
    records_.push_back(std::move(r));
}

void UsageTracker::flush(const std::string& log_path, const TextCodec& codec) {
    std::vector<UsageRecord> records;
    records.swap(records_);
    previous_ = 0;
    if (records.empty()) return;
    const DateTime now = clock_.now();
    for (auto& r : records) {
        r.window = 0;
        if (r.end_time == r.start_time) r.end_time = now;
        r.last_seen = r.end_time;
    }
    append_usage_log(log_path, records, codec);
}

}  // namespace vx::security
