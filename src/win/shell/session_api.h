#pragma once
// Ending the Windows session, and the system-key lock: the screen-saver flag the shell has
// always set, and on current Windows (where that flag stops nothing) the keyboard guard and the
// accessibility hot keys turned off. Everything is put back when the adapter goes, as the shell
// ends.
#include <windows.h>

#include <memory>
#include <string>

#include "port/session_api.h"
#include "win/security/keyboard_guard.h"

namespace vx::win {

class Win32SessionApi final : public SessionApi {
public:
    Win32SessionApi() = default;
    ~Win32SessionApi() override;

    // ExitWindowsEx with the shutdown privilege enabled first; forced, as the timed exit must not
    // wait for programs that ask to save.
    bool log_off(bool forced = false) override;
    bool restart(bool forced = false) override;
    bool shut_down() override;
    void set_system_keys_locked(bool locked) override;

    bool system_keys_locked() const { return locked_; }
    bool keyboard_guard_running() const { return guard_.running(); }

private:
    bool exit_windows(UINT how, bool forced);

    bool locked_ = false;
    security::KeyboardGuard guard_;
    security::AccessibilityHotKeys hot_keys_;
};

// Ends nothing and locks nothing: writes each call as a line ("log_off", "restart forced",
// "keys 1", ...) to a file and reports it accepted. A real end of the session would end every
// program of the test's Wine prefix, the test driver among them, so end-to-end runs switch the
// shell to this one; only test builds can.
class RecordingSessionApi final : public SessionApi {
public:
    explicit RecordingSessionApi(std::wstring path) : path_(std::move(path)) {}
    bool log_off(bool forced = false) override;
    bool restart(bool forced = false) override;
    bool shut_down() override;
    void set_system_keys_locked(bool locked) override;

private:
    void record(const char* line);
    std::wstring path_;
};

// The recording session when this build allows it and the variable VX_SESSION_RECORD names a
// file; none otherwise.
std::unique_ptr<SessionApi> session_recorder_from_environment();

}  // namespace vx::win
