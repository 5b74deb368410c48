#pragma once
// Ending the Windows session, and the system-key lock: the screen-saver flag the shell has
// always set, and on current Windows (where that flag stops nothing) the keyboard guard and the
// accessibility hot keys turned off. Everything is put back when the adapter goes, as the shell
// ends.
#include <windows.h>

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

}  // namespace vx::win
