#include "win/shell/top_most_windows.h"

#include <windows.h>

namespace vx::win::shell {
namespace {

HWND handle_of(WindowId w) {
    return reinterpret_cast<HWND>(w);
}

BOOL CALLBACK collect(HWND window, LPARAM out) {
    if (IsWindowVisible(window) && (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0)
        reinterpret_cast<std::vector<WindowId>*>(out)->push_back(reinterpret_cast<WindowId>(window));
    return TRUE;
}

}  // namespace

std::vector<WindowId> Win32TopMostWindows::list() {
    // The enumeration runs front to back, as the band lies.
    std::vector<WindowId> out;
    EnumWindows(&collect, reinterpret_cast<LPARAM>(&out));
    return out;
}

bool Win32TopMostWindows::exists(WindowId window) {
    return IsWindow(handle_of(window)) != FALSE;
}

void Win32TopMostWindows::set_top_most(WindowId window, bool on_top) {
    SetWindowPos(handle_of(window), on_top ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

}  // namespace vx::win::shell
