#include "win/util/window.h"

#include <exception>
#include <string>

#include "win/util/text.h"
#include "win/util/trace.h"

namespace vx::win {
namespace {

// Logging itself may fail (out of memory while building the line); nothing may escape from here.
void log_handler_failure(const char* where, UINT message, const char* what) noexcept {
    try {
        std::string line = where;
        line += ": handler for ";
        line += describe_message(message);
        line += " failed: ";
        line += what;
        log_error(line);
    } catch (...) {
        OutputDebugStringW(L"vantora: a window handler failed and the failure could not be logged\r\n");
    }
}

void trace_quietly(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
    try {
        trace_message(window, message, wparam, lparam);
    } catch (...) {
    }
}

class PaintScope {
public:
    explicit PaintScope(HWND window) : window_(window), dc_(BeginPaint(window, &ps_)) {}
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    ~PaintScope() { EndPaint(window_, &ps_); }
    HDC dc() const { return dc_; }
    const PAINTSTRUCT& ps() const { return ps_; }

private:
    HWND window_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

}  // namespace

// ---- Window ---------------------------------------------------------------------------------

Window::~Window() {
    if (hwnd_ && IsWindow(hwnd_)) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
    hwnd_ = nullptr;
}

ATOM Window::register_class(WNDCLASSEXW wc) {
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &Window::window_proc;
    const ATOM atom = RegisterClassExW(&wc);
    if (atom) return atom;
    if (GetLastError() == ERROR_CLASS_ALREADY_EXISTS) {
        WNDCLASSEXW existing{};
        existing.cbSize = sizeof existing;
        return static_cast<ATOM>(GetClassInfoExW(wc.hInstance, wc.lpszClassName, &existing));
    }
    return 0;
}

HWND Window::create(DWORD ex_style, const wchar_t* class_name, const wchar_t* title, DWORD style, int x,
                    int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance) {
    if (!instance) instance = GetModuleHandleW(nullptr);
    const HWND made = CreateWindowExW(ex_style, class_name, title, style, x, y, width, height, parent, menu,
                                      instance, this);
    // A refused creation may have bound the object before failing; never keep a dead handle.
    if (!made) hwnd_ = nullptr;
    return made;
}

Window* Window::from_handle(HWND window) noexcept {
    if (!window) return nullptr;
    // Only windows that run this procedure carry an object in their user data.
    if (GetWindowLongPtrW(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&Window::window_proc))
        return nullptr;
    return reinterpret_cast<Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT CALLBACK Window::window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
    trace_quietly(window, message, wparam, lparam);
    Window* self = nullptr;
    if (message == WM_NCCREATE) {
        const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lparam);
        self = static_cast<Window*>(cs->lpCreateParams);
        if (self) {
            self->hwnd_ = window;
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    } else {
        self = reinterpret_cast<Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcW(window, message, wparam, lparam);

    LRESULT result = 0;
    try {
        result = self->handle_message(message, wparam, lparam);
    } catch (const std::exception& e) {
        log_handler_failure("window", message, e.what());
        result = self->failure_result(message);
    } catch (...) {
        log_handler_failure("window", message, "an exception that is not a std::exception");
        result = self->failure_result(message);
    }

    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        try {
            self->on_final_message();
        } catch (const std::exception& e) {
            log_handler_failure("window", message, e.what());
        } catch (...) {
            log_handler_failure("window", message, "an exception that is not a std::exception");
        }
    }
    return result;
}

LRESULT Window::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_CREATE:
            return on_create(*reinterpret_cast<const CREATESTRUCTW*>(lparam)) ? 0 : -1;
        case WM_DESTROY:
            on_destroy();
            return 0;
        case WM_CLOSE:
            if (on_close()) return 0;
            break;
        case WM_COMMAND:
            if (on_command(LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam))) return 0;
            break;
        case WM_PAINT: {
            // BeginPaint validates the area, so there is nothing left for the default to do.
            PaintScope paint(hwnd_);
            on_paint(paint.dc(), paint.ps());
            return 0;
        }
        case WM_PRINTCLIENT: {
            // Drawing into a caller's DC (PrintWindow, screenshots) uses the same painting code.
            PAINTSTRUCT ps{};
            ps.hdc = reinterpret_cast<HDC>(wparam);
            GetClientRect(hwnd_, &ps.rcPaint);
            on_paint(ps.hdc, ps);
            return 0;
        }
        case WM_SIZE:
            on_size(static_cast<UINT>(wparam), LOWORD(lparam), HIWORD(lparam));
            return 0;
        default:
            break;
    }
    return default_proc(message, wparam, lparam);
}

LRESULT Window::default_proc(UINT message, WPARAM wparam, LPARAM lparam) noexcept {
    return DefWindowProcW(hwnd_, message, wparam, lparam);
}

LRESULT Window::failure_result(UINT message) const noexcept {
    switch (message) {
        case WM_NCCREATE:
            return FALSE;
        case WM_CREATE:
            return -1;
        default:
            return 0;
    }
}

// ---- Dialog ---------------------------------------------------------------------------------

Dialog::~Dialog() {
    if (hwnd_ && IsWindow(hwnd_)) {
        SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
        if (modal_)
            EndDialog(hwnd_, IDCANCEL);
        else
            DestroyWindow(hwnd_);
    }
    hwnd_ = nullptr;
}

INT_PTR Dialog::run_modal(HINSTANCE instance, const wchar_t* resource, HWND owner) {
    modal_ = true;
    const INT_PTR r =
        DialogBoxParamW(instance, resource, owner, &Dialog::dialog_proc, reinterpret_cast<LPARAM>(this));
    hwnd_ = nullptr;
    return r;
}

INT_PTR Dialog::run_modal(const DLGTEMPLATE* in_memory, HWND owner, HINSTANCE instance) {
    modal_ = true;
    const INT_PTR r = DialogBoxIndirectParamW(instance ? instance : GetModuleHandleW(nullptr), in_memory,
                                              owner, &Dialog::dialog_proc, reinterpret_cast<LPARAM>(this));
    hwnd_ = nullptr;
    return r;
}

HWND Dialog::create_modeless(HINSTANCE instance, const wchar_t* resource, HWND owner) {
    modal_ = false;
    const HWND made =
        CreateDialogParamW(instance, resource, owner, &Dialog::dialog_proc, reinterpret_cast<LPARAM>(this));
    if (!made) hwnd_ = nullptr;
    return made;
}

HWND Dialog::create_modeless(const DLGTEMPLATE* in_memory, HWND owner, HINSTANCE instance) {
    modal_ = false;
    const HWND made = CreateDialogIndirectParamW(instance ? instance : GetModuleHandleW(nullptr), in_memory,
                                                 owner, &Dialog::dialog_proc, reinterpret_cast<LPARAM>(this));
    if (!made) hwnd_ = nullptr;
    return made;
}

Dialog* Dialog::from_handle(HWND dialog) noexcept {
    if (!dialog) return nullptr;
    if (GetWindowLongPtrW(dialog, DWLP_DLGPROC) != reinterpret_cast<LONG_PTR>(&Dialog::dialog_proc))
        return nullptr;
    return reinterpret_cast<Dialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

INT_PTR CALLBACK Dialog::dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
    trace_quietly(dialog, message, wparam, lparam);
    Dialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lparam);
        if (self) {
            self->hwnd_ = dialog;
            SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        }
    } else {
        self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    }
    // Messages before WM_INITDIALOG (WM_SETFONT) have no object yet: default processing.
    if (!self) return FALSE;

    INT_PTR result = FALSE;
    try {
        result = self->handle_message(message, wparam, lparam);
    } catch (const std::exception& e) {
        log_handler_failure("dialog", message, e.what());
        self->fail_closed();
        result = TRUE;
    } catch (...) {
        log_handler_failure("dialog", message, "an exception that is not a std::exception");
        self->fail_closed();
        result = TRUE;
    }

    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(dialog, DWLP_USER, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}

INT_PTR Dialog::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            if (!on_init()) end(IDCANCEL);
            return TRUE;
        case WM_COMMAND: {
            const int id = LOWORD(wparam);
            if (id == IDOK) {
                if (on_ok()) end(IDOK);
                return TRUE;
            }
            if (id == IDCANCEL) {
                on_cancel();
                end(IDCANCEL);
                return TRUE;
            }
            return on_command(id, HIWORD(wparam), reinterpret_cast<HWND>(lparam)) ? TRUE : FALSE;
        }
        default:
            return FALSE;
    }
}

void Dialog::end(INT_PTR result) {
    if (!hwnd_) return;
    if (modal_)
        EndDialog(hwnd_, result);
    else
        DestroyWindow(hwnd_);
}

// A dialog whose handler failed is cancelled: its owner then applies none of its values.
void Dialog::fail_closed() noexcept {
    if (!hwnd_) return;
    if (modal_)
        EndDialog(hwnd_, IDCANCEL);
    else
        DestroyWindow(hwnd_);
}

std::string Dialog::item_text(int id) const {
    const HWND control = item(id);
    const int n = GetWindowTextLengthW(control);
    if (n <= 0) return {};
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    const int got = GetWindowTextW(control, text.data(), n + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return narrow(text);
}

void Dialog::set_item_text(int id, const std::string& utf8) const {
    SetDlgItemTextW(hwnd_, id, widen(utf8).c_str());
}

}  // namespace vx::win
