#pragma once
// Ending the Windows session and the system-key lock. Tests and e2e runs use a recording
// fake: a real call would end every program of the Wine prefix.
namespace vx {

class SessionApi {
public:
    virtual ~SessionApi() = default;
    virtual bool log_off() = 0;
    virtual bool restart() = 0;
    virtual bool shut_down() = 0;
    // System parameter 97 (and, on current Windows, the keyboard guard that stands in for it).
    virtual void set_system_keys_locked(bool locked) = 0;
};

}  // namespace vx
