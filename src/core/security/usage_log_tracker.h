#pragma once
// Which program windows each user had in front, gathered at every timer tick while usage
// logging is on and appended to the log file when the main window goes away.
#include <string>
#include <vector>

#include "port/clock.h"
#include "port/process_api.h"
#include "port/text_codec.h"
#include "security/usage_log.h"

namespace vx::security {

class UsageTracker {
public:
    UsageTracker(ProcessApi& processes, const Clock& clock) : processes_(processes), clock_(clock) {}

    // One tick. `user` is the logged-in user's name, empty when nobody is logged in.
    void track(const std::string& user);

    // Appends every gathered record to the log at `log_path` (created when absent), closing
    // the ones still open at now, and empties the list. The list is emptied even when the
    // write fails; the FileError then carries the message for the user.
    void flush(const std::string& log_path, const TextCodec& codec);

    // The gathered records in order of first appearance, as the viewer shows them.
    const std::vector<UsageRecord>& records() const { return records_; }

private:
    ProcessApi& processes_;
    const Clock& clock_;
    std::vector<UsageRecord> records_;
    WindowId previous_ = 0;  // the tracked window in front at an earlier tick
};

}  // namespace vx::security
