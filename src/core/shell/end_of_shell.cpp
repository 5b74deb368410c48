#include "shell/end_of_shell.h"

#include <exception>

namespace vx::shell {
namespace {

constexpr const char* kStepNames[kEndStepCount] = {
    "enciphering the protected files", "appending the usage records", "writing the settings",
    "releasing the system keys", "removing the hooks"};

bool repeatable(std::size_t step) {
    return step == static_cast<std::size_t>(EndStep::AppendUsageRecords) ||
           step == static_cast<std::size_t>(EndStep::WriteSettings);
}

}  // namespace

void EndOfShell::set(EndStep step, Work work) {
    steps_[static_cast<std::size_t>(step)] = std::move(work);
}

std::vector<std::string> EndOfShell::run() {
    if (done_) return {};
    // Marked first: a step that ends the session itself must not start the steps over.
    done_ = true;
    return run_steps(false);
}

std::vector<std::string> EndOfShell::save_now() {
    if (done_) return {};
    return run_steps(true);
}

std::vector<std::string> EndOfShell::run_steps(bool repeatable_only) {
    std::vector<std::string> failures;
    for (std::size_t i = 0; i < kEndStepCount; ++i) {
        if (!steps_[i] || (repeatable_only && !repeatable(i))) continue;
        try {
            steps_[i]();
        } catch (const std::exception& e) {
            failures.push_back(std::string(kStepNames[i]) + ": " + e.what());
        } catch (...) {
            failures.push_back(std::string(kStepNames[i]) + ": unknown failure");
        }
    }
    return failures;
}

void EndingSession::before_end(bool forced) {
    const std::vector<std::string> failures = forced ? end_.run() : end_.save_now();
    if (report_)
        for (const std::string& f : failures) report_(f);
}

bool EndingSession::log_off(bool forced) {
    before_end(forced);
    return inner_.log_off(forced);
}

bool EndingSession::restart(bool forced) {
    before_end(forced);
    return inner_.restart(forced);
}

bool EndingSession::shut_down() {
    before_end(false);
    return inner_.shut_down();
}

}  // namespace vx::shell
