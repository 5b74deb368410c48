#pragma once
// The main window's side of usage logging: one object, alive while the main window is, that
// tracks the program in front at every timer tick and appends the gathered records to the log
// when the main window goes away. Only used while the administration file turns logging on.
#include <windows.h>

#include <functional>
#include <span>
#include <string>

#include "port/clock.h"
#include "port/process_api.h"
#include "port/text_codec.h"
#include "security/usage_log_tracker.h"

namespace vx::win::security {

class UsageLogSession {
public:
    UsageLogSession(ProcessApi& processes, const Clock& clock, const TextCodec& codec, std::string log_path)
        : tracker_(processes, clock), codec_(codec), log_path_(std::move(log_path)) {}

    const std::string& log_path() const noexcept { return log_path_; }
    // The monthly log name changes with the month; the records go where the path points at flush.
    void set_log_path(std::string path) { log_path_ = std::move(path); }

    // One timer tick; `user` is empty when nobody is logged in.
    void tick(const std::string& user) { tracker_.track(user); }

    // Appends and empties the gathered records. A failure is shown to the user (over `owner`,
    // or through the reporter when one is set) and the records are dropped all the same, so a
    // broken log cannot hold the shell back from closing. True when the log was written.
    bool flush(HWND owner);

    std::span<const vx::security::UsageRecord> gathered() const noexcept { return tracker_.records(); }

    void set_reporter(std::function<void(const std::string&)> report) { report_ = std::move(report); }

private:
    vx::security::UsageTracker tracker_;
    const TextCodec& codec_;
    std::string log_path_;
    std::function<void(const std::string&)> report_;
};

}  // namespace vx::win::security
