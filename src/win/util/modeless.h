#pragma once
// The modeless windows of the user-interface thread (the floating toolbox, the alignment window,
// modeless property dialogs) and the keys each takes before its controls see them. The thread's
// message loop hands every message to `modeless_windows().take()` first: the window the message
// is for, or the nearest registered window it lies in, gets its accelerators translated and the
// dialog manager's keys (Tab, Shift+Tab, the arrows, Enter, Escape, Alt+letter). Modal dialogs
// run loops of their own and need none of this.
#include <windows.h>

#include <functional>
#include <vector>

namespace vx::win {

class ModelessWindows {
public:
    // `accelerators` (may be null) stays the caller's: it must outlive the registration.
    // `dialog_keys` false gives the window its accelerators only (a main window, a palette
    // without controls). Registering a window again replaces its table.
    void add(HWND window, HACCEL accelerators = nullptr, bool dialog_keys = true);
    // A window that hosts a control with keys of its own (an embedded document) translates its
    // keyboard messages itself; `translate` answers true when it took the message.
    using Translator = std::function<bool(MSG&)>;
    void add(HWND window, Translator translate);
    void remove(HWND window);

    // True when a registered window took the message (an accelerator became its WM_COMMAND, or
    // the dialog manager handled the key): the loop then neither translates nor dispatches it.
    // Windows destroyed without being removed are forgotten here.
    bool take(MSG& msg);

private:
    struct Entry {
        HWND window;
        HACCEL accelerators;
        bool dialog_keys;
        Translator translate;
    };
    const Entry* owner_of(HWND target) const;
    std::vector<Entry> entries_;
};

// The registry of the calling thread's windows.
ModelessWindows& modeless_windows();

// Registers a window for the lifetime of this object (a member of the window's class, set when
// the window is made, on the window's thread).
class ModelessRegistration {
public:
    ModelessRegistration() = default;
    ModelessRegistration(HWND window, HACCEL accelerators = nullptr, bool dialog_keys = true);
    ModelessRegistration(HWND window, ModelessWindows::Translator translate);
    ModelessRegistration(const ModelessRegistration&) = delete;
    ModelessRegistration& operator=(const ModelessRegistration&) = delete;
    ModelessRegistration(ModelessRegistration&& other) noexcept;
    ModelessRegistration& operator=(ModelessRegistration&& other) noexcept;
    ~ModelessRegistration();

private:
    HWND window_ = nullptr;
};

}  // namespace vx::win
