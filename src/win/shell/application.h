#pragma once
// Program entry of the shell: the single-instance check, the hidden window that stands for the
// application, and the message loop.
#include <windows.h>

#include "win/util/window.h"

namespace vx::win::shell {

// A second start looks for this window (class and title both) to find the first instance.
inline constexpr const wchar_t* kApplicationClass = L"TApplication";
inline constexpr const wchar_t* kApplicationTitle = L"Vantora!";

// When an instance runs already, brings it to the top, restores it and returns true.
bool activate_running_instance();

// The hidden top-level window of class "TApplication". It is never shown: when another process
// shows or restores it (which is what a second start does), it hides itself again and brings the
// main window forward instead.
class ApplicationWindow final : public Window {
public:
    HWND create(HINSTANCE instance);
    void set_main_window(HWND main) noexcept { main_ = main; }
    // Restores the main window when it is minimised or hidden and makes it the foreground window.
    void bring_main_forward() const;

protected:
    LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    HWND main_ = nullptr;
};

// The loop of the user-interface thread; returns the WM_QUIT exit code. The thread's modeless
// windows (win/util/modeless.h) see their messages first.
int run_message_loop();

// Everything wWinMain does; returns the process exit code.
int run_shell(HINSTANCE instance, int show);

}  // namespace vx::win::shell
