#pragma once
// Keys and clicks as a person gives them: through SendInput, which Wine routes through its
// display driver as Windows routes real input, so the window gets what real input produces
// (F10 as WM_SYSKEYDOWN, Alt+F4 as the system's close, the repeat flag of a held key). A posted
// message skips that route; tests of how a window answers input use these instead.
#include <windows.h>

#include <chrono>
#include <initializer_list>
#include <string>
#include <thread>

namespace vx::win::test {

inline bool extended_key(WORD vk) {
    switch (vk) {
        case VK_PRIOR: case VK_NEXT: case VK_HOME: case VK_END: case VK_LEFT: case VK_RIGHT:
        case VK_UP: case VK_DOWN: case VK_INSERT: case VK_DELETE: case VK_RMENU: case VK_RCONTROL:
            return true;
        default:
            return false;
    }
}

inline void send_key(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (extended_key(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
    SendInput(1, &in, sizeof in);
}

// Presses `vk` with the modifiers held (VK_MENU, VK_CONTROL, VK_SHIFT), then lets all go, the
// key before the modifiers.
inline void press_key(WORD vk, std::initializer_list<WORD> modifiers = {}) {
    for (WORD m : modifiers) send_key(m, false);
    send_key(vk, false);
    send_key(vk, true);
    for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) send_key(*it, true);
}

// Holds `vk` down for `repeats` auto-repeats (what Windows sends while a key is held), then
// releases it.
inline void hold_key(WORD vk, int repeats) {
    for (int i = 0; i <= repeats; ++i) send_key(vk, false);
    send_key(vk, true);
}

// Types text character by character, whatever the keyboard layout.
inline void type_text(const std::wstring& text) {
    for (wchar_t c : text) {
        INPUT in[2]{};
        for (INPUT& i : in) {
            i.type = INPUT_KEYBOARD;
            i.ki.wScan = static_cast<WORD>(c);
            i.ki.dwFlags = KEYEVENTF_UNICODE;
        }
        in[1].ki.dwFlags |= KEYEVENTF_KEYUP;
        SendInput(2, in, sizeof in[0]);
    }
}

// Handles this thread's messages (a WM_QUIT is dropped) until `done` holds or the time is up.
// With `dialog`, its messages go through the dialog manager first, as in a dialog's own loop.
template <typename F>
bool pump_until(F done, std::chrono::milliseconds timeout = std::chrono::milliseconds(3000),
                HWND dialog = nullptr) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (m.message == WM_QUIT) continue;
            if (dialog && IsWindow(dialog) && IsDialogMessageW(dialog, &m)) continue;
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
        if (done()) return true;
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// Lets the input sent so far arrive and be handled.
inline void settle(std::chrono::milliseconds time = std::chrono::milliseconds(300), HWND dialog = nullptr) {
    pump_until([] { return false; }, time, dialog);
}

inline void send_mouse(POINT screen, DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    in.mi.dx = static_cast<LONG>((static_cast<long long>(screen.x) * 65535 + w / 2) / (w - 1));
    in.mi.dy = static_cast<LONG>((static_cast<long long>(screen.y) * 65535 + h / 2) / (h - 1));
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags;
    SendInput(1, &in, sizeof in);
}

inline POINT to_screen(HWND window, int x, int y) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    return p;
}

// Moves the pointer to a point of the window's client area, presses there and releases at
// `to`, moving on its way: halfway, then there.
inline void drag(HWND window, POINT from, POINT to, bool right_button = false) {
    const DWORD down = right_button ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    const DWORD up = right_button ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    // A hand comes to rest before it presses. Under X the pointer is also moved on the display,
    // whose own motion events follow a little later; the press waits for them.
    send_mouse(to_screen(window, from.x, from.y), 0);
    settle(std::chrono::milliseconds(150));
    send_mouse(to_screen(window, from.x, from.y), down);
    // The press is handled (the window takes the capture) before the hand moves on.
    settle(std::chrono::milliseconds(50));
    send_mouse(to_screen(window, (from.x + to.x) / 2, (from.y + to.y) / 2), 0);
    send_mouse(to_screen(window, to.x, to.y), 0);
    settle(std::chrono::milliseconds(50));
    send_mouse(to_screen(window, to.x, to.y), up);
}

// A press and release on one point. Both are queued before either is handled: a control that
// waits for the release in its own loop (to tell a click from a drag) would otherwise wait for
// a release this thread has not sent yet.
inline void click(HWND window, int x, int y, bool right_button = false) {
    const POINT at = to_screen(window, x, y);
    send_mouse(at, 0);
    settle(std::chrono::milliseconds(150));
    send_mouse(at, right_button ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
    send_mouse(at, right_button ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
}

// Makes `window` the foreground window with the keyboard focus in it, as a person clicking on
// it would; true once it has them. Works for a window of another process too.
inline bool bring_to_front(HWND window) {
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    // A modal dialog shows itself only once its queue is first idle; a person sees it first.
    // The display takes a moment to map a window just shown; the pointer finds it only then.
    if (thread == GetCurrentThreadId() && !IsWindowVisible(window)) {
        ShowWindow(window, SW_SHOW);
        UpdateWindow(window);
        settle(std::chrono::milliseconds(500));
    }
    SetForegroundWindow(window);
    if (thread == GetCurrentThreadId()) {
        SetActiveWindow(window);
        SetFocus(window);
    }
    return pump_until([&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetForegroundWindow() == window && GetGUIThreadInfo(thread, &info) &&
               (info.hwndFocus == window || IsChild(window, info.hwndFocus));
    });
}

}  // namespace vx::win::test
