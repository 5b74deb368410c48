#include "win/shell/application.h"

#include <commctrl.h>

#include <shellapi.h>

#include "port/clock.h"
#include "win/shell/hooks_api.h"
#include "win/shell/launch_fs.h"
#include "win/shell/main_form.h"
#include "win/shell/process_api.h"
#include "win/shell/profile.h"
#include "win/shell/registry_settings.h"
#include "win/shell/session_api.h"
#include "win/shell/shell_runtime.h"
#include "win/shell/sound.h"
#include "win/util/handle.h"
#include "win/util/modeless.h"
#include "win/util/text.h"
#include "win/util/trace.h"

namespace vx::win::shell {
namespace {

constexpr UINT kBringMainForward = WM_APP + 1;

// Two starts in the same instant would both miss the other's window; the first to own this name
// is the one that stays.
constexpr const wchar_t* kStartingMutex = L"Local\\Vantora.SingleInstance";

// A desktop file named on the command line is opened by the first start-up work.
std::string desktop_argument() {
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!args) return {};
    std::string out;
    for (int i = 1; i < count; ++i) {
        // Switches are not desktops.
        if (args[i][0] == L'/' || args[i][0] == L'-') continue;
        out = narrow(args[i]);
        break;
    }
    LocalFree(args);
    return out;
}

}  // namespace

bool activate_running_instance() {
    const HWND app = FindWindowW(kApplicationClass, kApplicationTitle);
    if (!app) return false;
    DWORD pid = 0;
    GetWindowThreadProcessId(app, &pid);
    // Windows lets only the foreground process hand the foreground on; the running instance
    // needs our permission to come forward.
    if (pid) AllowSetForegroundWindow(pid);
    BringWindowToTop(app);
    ShowWindow(app, SW_RESTORE);
    return true;
}

HWND ApplicationWindow::create(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.hInstance = instance;
    wc.lpszClassName = kApplicationClass;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    if (!wc.hIcon) wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    if (!register_class(wc)) return nullptr;
    // A zero-sized popup: even if something shows it for a moment, nothing appears.
    return Window::create(WS_EX_TOOLWINDOW, kApplicationClass, kApplicationTitle, WS_POPUP, 0, 0, 0, 0,
                          nullptr, nullptr, instance);
}

void ApplicationWindow::bring_main_forward() const {
    if (!main_ || !IsWindow(main_)) return;
    if (IsIconic(main_))
        ShowWindow(main_, SW_RESTORE);
    else if (!IsWindowVisible(main_))
        ShowWindow(main_, SW_SHOW);
    BringWindowToTop(main_);
    SetForegroundWindow(main_);
}

LRESULT ApplicationWindow::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_SHOWWINDOW:
            // Shown from outside: a second start asking for us. Answer once the show is over.
            if (wparam) PostMessageW(hwnd(), kBringMainForward, 0, 0);
            return 0;
        case WM_SYSCOMMAND:
            if ((wparam & 0xFFF0) == SC_RESTORE) {
                PostMessageW(hwnd(), kBringMainForward, 0, 0);
                return 0;
            }
            break;
        case kBringMainForward:
            if (IsWindowVisible(hwnd())) ShowWindow(hwnd(), SW_HIDE);
            bring_main_forward();
            return 0;
        case WM_CLOSE:
            // Closing the application closes the main window, which ends the loop.
            if (main_ && IsWindow(main_)) PostMessageW(main_, WM_CLOSE, 0, 0);
            return 0;
        default:
            break;
    }
    return Window::handle_message(message, wparam, lparam);
}

int run_message_loop() {
    MSG msg;
    for (;;) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(msg.wParam);
        if (got == -1) {
            log_error("message loop: GetMessage failed: " + last_error_text());
            return 1;
        }
        // A modeless window's own keys (Tab among its controls, its accelerators) before the
        // message reaches the control that has the focus.
        if (modeless_windows().take(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

int run_shell(HINSTANCE instance, int show) {
    if (activate_running_instance()) return 0;

    const unique_kernel_handle starting(CreateMutexW(nullptr, FALSE, kStartingMutex));
    if (starting && GetLastError() == ERROR_ALREADY_EXISTS) {
        // Another start is under way: give it time to put up its window, then defer to it. A
        // second shell is never the answer, even if the first never shows.
        for (int i = 0; i < 100; ++i) {
            if (activate_running_instance()) return 0;
            Sleep(100);
        }
        log_error("another instance holds the start lock but shows no window; not starting a second one");
        return 0;
    }

    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);

    ApplicationWindow app;
    if (!app.create(instance)) {
        log_error("cannot create the application window: " + last_error_text());
        return 1;
    }

    RegistrySettingsStore settings;
    Win32ProcessApi processes;
    Win32LaunchFileSystem files;
    Win32Sound sound;
    Win32SessionApi system_session;
    const std::unique_ptr<SessionApi> recorder = session_recorder_from_environment();
    SessionApi& session = recorder ? *recorder : system_session;
    LibraryHooksApi hooks;
    Win32Profile profile;
    SystemClock clock;
    Win32ShellRegistration registration;

    TMainForm main_form(settings);
    main_form.set_hooks(&hooks);
    // One session, profile and clock for the log-in, the setup dialog and the runtime alike.
    main_form.set_session(&session);
    main_form.set_profile(&profile);
    main_form.set_clock(&clock);
    main_form.set_designer_at_start(true);
    if (!main_form.create(instance)) {
        log_error("cannot create the main window: " + last_error_text());
        return 1;
    }
    // Programs of the session may ask who is logged in; a refusal is logged and the shell runs on.
    main_form.dde_user_item().serve();
    int code = 0;
    {
        ShellPorts ports{processes, files, sound, session, hooks, profile, clock, registration, settings};
        ShellRuntime runtime(main_form, ports);
        runtime.set_desktop_to_open(desktop_argument());
        app.set_main_window(main_form.hwnd());
        main_form.show(show);
        // The main window's end (or the session's, whichever comes first) does the end-of-shell
        // work: protected files, usage records, settings, system keys, hooks.
        code = run_message_loop();
    }
    return code;
}

}  // namespace vx::win::shell
