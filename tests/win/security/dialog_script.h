#pragma once
// Drives a modal dialog from inside its own message loop: the script runs once the dialog is up,
// on the dialog's thread, so it can type into controls and press buttons by messages.
#include <windows.h>

#include <functional>
#include <string>

#include "win/util/text.h"

namespace vx::win::security::testing {

constexpr UINT kRunScript = WM_APP + 40;

template <class D>
class Scripted : public D {
public:
    using D::D;
    std::function<void(Scripted&)> script;

    HWND control(int id) const { return GetDlgItem(this->hwnd(), id); }
    void type(int id, const std::string& text) const { SetWindowTextW(control(id), widen(text).c_str()); }
    std::string text(int id) const {
        wchar_t buffer[512] = {};
        GetWindowTextW(control(id), buffer, 512);
        return narrow(buffer);
    }
    void press(int id) const { SendMessageW(this->hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    bool enabled(int id) const { return IsWindowEnabled(control(id)) != FALSE; }
    // By style: a modal dialog shows itself only once its queue is first idle.
    bool visible(int id) const { return (GetWindowLongW(control(id), GWL_STYLE) & WS_VISIBLE) != 0; }
    HBITMAP picture(int id) const {
        return reinterpret_cast<HBITMAP>(SendMessageW(control(id), STM_GETIMAGE, IMAGE_BITMAP, 0));
    }
    // Runs the dialog's own messages for a while (timers included).
    void pump(DWORD ms) const {
        const DWORD until = GetTickCount() + ms;
        MSG msg;
        while (static_cast<LONG>(until - GetTickCount()) > 0 && IsWindow(this->hwnd())) {
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (!IsDialogMessageW(this->hwnd(), &msg)) {
                    TranslateMessage(&msg);
                    DispatchMessageW(&msg);
                }
            }
            Sleep(10);
        }
    }

protected:
    bool on_init() override {
        if (!D::on_init()) return false;
        PostMessageW(this->hwnd(), kRunScript, 0, 0);
        return true;
    }
    INT_PTR handle_message(UINT message, WPARAM wparam, LPARAM lparam) override {
        if (message == kRunScript) {
            if (script) script(*this);
            return TRUE;
        }
        return D::handle_message(message, wparam, lparam);
    }
};

}  // namespace vx::win::security::testing
