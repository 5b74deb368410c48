#pragma once
// Ending the Windows session and the system-key lock. Tests and e2e runs use a recording
// fake: a real call would end every program of the Wine prefix.
namespace vx {

class SessionApi {
public:
    virtual ~SessionApi() = default;
    // Unforced, Windows asks each program to close and any may refuse (an unsaved document
    // keeps its chance to be saved). Forced ends them regardless: only the log-in dialog's
    // timed exit does that, since nobody is there to answer.
    virtual bool log_off(bool forced = false) = 0;
    virtual bool restart(bool forced = false) = 0;
    virtual bool shut_down() = 0;
    // System parameter 97 (and, on current Windows, the keyboard guard that stands in for it).
    virtual void set_system_keys_locked(bool locked) = 0;
};

}  // namespace vx
