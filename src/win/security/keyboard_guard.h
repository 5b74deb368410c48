#pragma once
// The keyboard guard that stands in for the screen-saver flag on current Windows, where that flag
// no longer stops the task-switch keys: a low-level keyboard hook that swallows the keys that
// would take the user out of the shell, and the accessibility hot keys turned off meanwhile.
#include <windows.h>

#include <atomic>
#include <thread>

namespace vx::win::security {

// One key event as the hook sees it, with the modifiers that were down.
struct KeyEvent {
    DWORD vk = 0;
    bool alt = false;
    bool ctrl = false;
    bool shift = false;
};

// The Windows keys, Alt+Tab, Alt+Esc, Ctrl+Esc and Ctrl+Shift+Esc (going down or up). Every
// other key passes, so typing a user name still works.
bool swallow_key(const KeyEvent& event);

// Runs the hook on a thread of its own: a low-level hook is called on the thread that installed
// it, and a window busy in a long handler must not be able to delay every key of the session.
// Starting twice or stopping when stopped does nothing. The destructor stops.
class KeyboardGuard {
public:
    KeyboardGuard() = default;
    KeyboardGuard(const KeyboardGuard&) = delete;
    KeyboardGuard& operator=(const KeyboardGuard&) = delete;
    ~KeyboardGuard() { stop(); }

    // True when the hook is in place (false when Windows refused it).
    bool start();
    void stop();
    bool running() const { return thread_.joinable(); }

private:
    std::thread thread_;
    std::atomic<DWORD> thread_id_{0};
};

// The Sticky, Filter and Toggle Keys hot keys off for this session (not written to the
// profile), and their settings as they were put back afterwards.
class AccessibilityHotKeys {
public:
    AccessibilityHotKeys() = default;
    AccessibilityHotKeys(const AccessibilityHotKeys&) = delete;
    AccessibilityHotKeys& operator=(const AccessibilityHotKeys&) = delete;
    ~AccessibilityHotKeys() { restore(); }

    void turn_off();
    void restore();
    bool off() const { return saved_; }

private:
    bool saved_ = false;
    STICKYKEYS sticky_{sizeof(STICKYKEYS), 0};
    FILTERKEYS filter_{sizeof(FILTERKEYS), 0, 0, 0, 0, 0};
    TOGGLEKEYS toggle_{sizeof(TOGGLEKEYS), 0};
};

}  // namespace vx::win::security
