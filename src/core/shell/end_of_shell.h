#pragma once
// The work the shell owes before it ends, however it ends: a normal close, Windows ending the
// session, or a forced exit that gives the shell no messages at all. Whatever comes first does
// it; whatever comes after finds it done.
#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "port/session_api.h"

namespace vx::shell {

// In the order they run: the protected files are closed before anything else can fail, and the
// system keys and the hooks are let go last, once nothing more is to be written.
enum class EndStep { EncipherProtectedFiles, AppendUsageRecords, WriteSettings, ReleaseSystemKeys, RemoveHooks };
inline constexpr std::size_t kEndStepCount = 5;

class EndOfShell {
public:
    using Work = std::function<void()>;

    // What a step does; an unset step is skipped. A step reports failure by throwing.
    void set(EndStep step, Work work);

    // Runs every step once, in order; a step that fails does not keep the later ones from
    // running. Returns the failures as "what: message". Any later call (or one made by a step
    // while the steps run) does nothing and returns nothing.
    std::vector<std::string> run();

    // Keeps what can be kept more than once (the usage records gathered so far, the settings)
    // without ending anything: for the moment before Windows is asked to end the session, since
    // the shell may be stopped before the end's messages reach it. Nothing once run() began.
    std::vector<std::string> save_now();

    bool done() const noexcept { return done_; }

private:
    std::vector<std::string> run_steps(bool repeatable_only);

    std::array<Work, kEndStepCount> steps_{};
    bool done_ = false;
};

// The shell's session calls pass through here. A forced end gives no program the chance to
// answer, so the end-of-shell work is done before it; an unforced one sends the shell the
// session-end messages, which do the work, so before it only what can be kept twice is saved
// (should Windows cancel the end, the shell goes on whole).
class EndingSession final : public SessionApi {
public:
    EndingSession(SessionApi& inner, EndOfShell& end) : inner_(inner), end_(end) {}

    bool log_off(bool forced = false) override;
    bool restart(bool forced = false) override;
    bool shut_down() override;
    void set_system_keys_locked(bool locked) override { inner_.set_system_keys_locked(locked); }

    // Told each failure of the work done before an end request (nobody may be there to read a
    // message by then); none: failures go unreported.
    void set_reporter(std::function<void(const std::string&)> report) { report_ = std::move(report); }

private:
    void before_end(bool forced);

    SessionApi& inner_;
    EndOfShell& end_;
    std::function<void(const std::string&)> report_;
};

}  // namespace vx::shell
