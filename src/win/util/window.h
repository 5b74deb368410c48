#pragma once
// The C++ side of a window or of a resource dialog. The window procedure below binds the object to
// its handle on the first message that carries the object (WM_NCCREATE, WM_INITDIALOG) and
// dispatches every later message to its virtual handlers.
//
// No exception may leave a window procedure: it would unwind through system code. The thunk
// catches every exception, logs it with the message it came from, and fails closed: a window
// being created is not created, a dialog being shown is cancelled (so its owner applies
// nothing), and any other message reports "not done" (0) without falling back to the default
// processing that the failed handler meant to replace.
#include <windows.h>

#include <string>

namespace vx::win {

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    // Destroys the window if it still exists. The binding is cut first, so the messages of the
    // destruction no longer reach a half-destroyed object.
    virtual ~Window();

    HWND hwnd() const noexcept { return hwnd_; }

    // Registers a class whose window procedure is the thunk (lpfnWndProc is filled in). Returns 0
    // on failure; an already registered class counts as success.
    static ATOM register_class(WNDCLASSEXW wc);

    // CreateWindowExW with this object as the creation parameter. Null on failure, including a
    // handler that threw during creation.
    HWND create(DWORD ex_style, const wchar_t* class_name, const wchar_t* title, DWORD style, int x, int y,
                int width, int height, HWND parent = nullptr, HMENU menu = nullptr,
                HINSTANCE instance = nullptr);

    // The object bound to a window of this kind, or null.
    static Window* from_handle(HWND window) noexcept;

    static LRESULT CALLBACK window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept;

protected:
    // Every message after the binding. The default hands it to the ones below and then to
    // DefWindowProcW.
    virtual LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam);

    // Return false (or throw) to refuse creation.
    virtual bool on_create(const CREATESTRUCTW&) { return true; }
    virtual void on_destroy() {}
    // Return true when handled; false runs the default (DefWindowProcW destroys the window).
    virtual bool on_close() { return false; }
    virtual bool on_command(int /*id*/, int /*code*/, HWND /*control*/) { return false; }
    // Between BeginPaint and EndPaint.
    virtual void on_paint(HDC /*dc*/, const PAINTSTRUCT&) {}
    virtual void on_size(UINT /*kind*/, int /*width*/, int /*height*/) {}
    // After WM_NCDESTROY, when the handle is gone: the place to free an object that owns itself.
    virtual void on_final_message() {}

    LRESULT default_proc(UINT message, WPARAM wparam, LPARAM lparam) noexcept;

    // What the thunk answers for `message` when its handler threw.
    virtual LRESULT failure_result(UINT message) const noexcept;

private:
    HWND hwnd_ = nullptr;
};

// A dialog from a resource (or an in-memory template): a class, a template, and the values it
// moves in at WM_INITDIALOG and out on OK.
class Dialog {
public:
    Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    virtual ~Dialog();

    HWND hwnd() const noexcept { return hwnd_; }

    // Modal: returns the value given to end(), IDCANCEL when a handler threw, -1 when the dialog
    // could not be created.
    INT_PTR run_modal(HINSTANCE instance, const wchar_t* resource, HWND owner);
    INT_PTR run_modal(HINSTANCE instance, int resource_id, HWND owner) {
        return run_modal(instance, MAKEINTRESOURCEW(resource_id), owner);
    }
    INT_PTR run_modal(const DLGTEMPLATE* in_memory, HWND owner, HINSTANCE instance = nullptr);
    // Modeless: the caller's message loop must pass messages through IsDialogMessageW.
    HWND create_modeless(HINSTANCE instance, const wchar_t* resource, HWND owner);
    HWND create_modeless(const DLGTEMPLATE* in_memory, HWND owner, HINSTANCE instance = nullptr);

    static Dialog* from_handle(HWND dialog) noexcept;

    static INT_PTR CALLBACK dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) noexcept;

protected:
    // Copy the input values into the controls. Return false to cancel the dialog.
    virtual bool on_init() { return true; }
    // Read the controls into the output values. Return false to keep the dialog open (the
    // handler has told the user why).
    virtual bool on_ok() { return true; }
    virtual void on_cancel() {}
    // Other commands; true when handled.
    virtual bool on_command(int /*id*/, int /*code*/, HWND /*control*/) { return false; }
    // Every message after the binding; the default dispatches to the handlers above. Returns the
    // dialog-procedure value (TRUE handled, FALSE default processing).
    virtual INT_PTR handle_message(UINT message, WPARAM wparam, LPARAM lparam);

    void end(INT_PTR result);
    HWND item(int id) const noexcept { return GetDlgItem(hwnd_, id); }
    std::string item_text(int id) const;
    void set_item_text(int id, const std::string& utf8) const;

private:
    void fail_closed() noexcept;

    HWND hwnd_ = nullptr;
    bool modal_ = false;
};

}  // namespace vx::win
