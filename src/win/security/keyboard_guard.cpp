#include "win/security/keyboard_guard.h"

#include <future>
#include <string>

#include "win/util/trace.h"

namespace vx::win::security {

bool swallow_key(const KeyEvent& e) {
    switch (e.vk) {
        case VK_LWIN:
        case VK_RWIN:
            return true;
        case VK_TAB:
            return e.alt;
        case VK_ESCAPE:
            // Ctrl+Esc opens the start menu, Ctrl+Shift+Esc the task manager, Alt+Esc switches.
            return e.alt || e.ctrl;
        default:
            return false;
    }
}

namespace {

bool down(int vk) {
    return (GetAsyncKeyState(vk) & 0x8000) != 0;
}

LRESULT CALLBACK low_level_keyboard(int code, WPARAM wparam, LPARAM lparam) {
    if (code == HC_ACTION) {
        const auto* k = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lparam);
        const KeyEvent e{k->vkCode, (k->flags & LLKHF_ALTDOWN) != 0, down(VK_CONTROL), down(VK_SHIFT)};
        if (swallow_key(e)) return 1;
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace

bool KeyboardGuard::start() {
    if (running()) return true;
    std::promise<bool> installed;
    auto result = installed.get_future();
    thread_ = std::thread([this, installed = std::move(installed)]() mutable {
        MSG msg;
        // Makes the thread's message queue before anyone may post the quit message to it.
        PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
        thread_id_ = GetCurrentThreadId();
        HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, low_level_keyboard, GetModuleHandleW(nullptr), 0);
        installed.set_value(hook != nullptr);
        if (!hook) return;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
        UnhookWindowsHookEx(hook);
    });
    if (result.get()) return true;
    log_error("the keyboard guard could not install its hook (error " + std::to_string(GetLastError()) + ")");
    thread_.join();
    return false;
}

void KeyboardGuard::stop() {
    if (!running()) return;
    PostThreadMessageW(thread_id_, WM_QUIT, 0, 0);
    thread_.join();
    thread_id_ = 0;
}

void AccessibilityHotKeys::turn_off() {
    if (saved_) return;
    SystemParametersInfoW(SPI_GETSTICKYKEYS, sizeof sticky_, &sticky_, 0);
    SystemParametersInfoW(SPI_GETFILTERKEYS, sizeof filter_, &filter_, 0);
    SystemParametersInfoW(SPI_GETTOGGLEKEYS, sizeof toggle_, &toggle_, 0);
    saved_ = true;
    // Only a feature that is not in use has its hot key taken away: switching off Sticky Keys
    // under someone who relies on them would leave them unable to type.
    STICKYKEYS sticky = sticky_;
    if (!(sticky.dwFlags & SKF_STICKYKEYSON)) sticky.dwFlags &= ~(SKF_HOTKEYACTIVE | SKF_CONFIRMHOTKEY);
    FILTERKEYS filter = filter_;
    if (!(filter.dwFlags & FKF_FILTERKEYSON)) filter.dwFlags &= ~(FKF_HOTKEYACTIVE | FKF_CONFIRMHOTKEY);
    TOGGLEKEYS toggle = toggle_;
    if (!(toggle.dwFlags & TKF_TOGGLEKEYSON)) toggle.dwFlags &= ~(TKF_HOTKEYACTIVE | TKF_CONFIRMHOTKEY);
    SystemParametersInfoW(SPI_SETSTICKYKEYS, sizeof sticky, &sticky, 0);
    SystemParametersInfoW(SPI_SETFILTERKEYS, sizeof filter, &filter, 0);
    SystemParametersInfoW(SPI_SETTOGGLEKEYS, sizeof toggle, &toggle, 0);
}

void AccessibilityHotKeys::restore() {
    if (!saved_) return;
    SystemParametersInfoW(SPI_SETSTICKYKEYS, sizeof sticky_, &sticky_, 0);
    SystemParametersInfoW(SPI_SETFILTERKEYS, sizeof filter_, &filter_, 0);
    SystemParametersInfoW(SPI_SETTOGGLEKEYS, sizeof toggle_, &toggle_, 0);
    saved_ = false;
}

}  // namespace vx::win::security
