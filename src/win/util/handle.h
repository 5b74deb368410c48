#pragma once
// One owner for every Win32 handle. A Traits policy says what an empty handle looks like and how
// to give one back; unique_handle does the rest. Copies are deleted so that two owners can never
// close the same handle, and a moved-from owner is empty.
#include <windows.h>

#include <utility>

namespace vx::win {

// Traits requirements:
//   using type = ...;                       the stored value
//   static type invalid() noexcept;         the empty value
//   static bool is_valid(const type&) noexcept;
//   static void close(type) noexcept;       gives a valid value back to the system
template <typename Traits>
class unique_handle {
public:
    using traits = Traits;
    using pointer = typename Traits::type;

    unique_handle() noexcept = default;
    explicit unique_handle(pointer value) noexcept : value_(value) {}
    unique_handle(const unique_handle&) = delete;
    unique_handle& operator=(const unique_handle&) = delete;
    unique_handle(unique_handle&& other) noexcept : value_(other.release()) {}
    unique_handle& operator=(unique_handle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~unique_handle() { reset(); }

    const pointer& get() const noexcept { return value_; }
    bool is_valid() const noexcept { return Traits::is_valid(value_); }
    explicit operator bool() const noexcept { return is_valid(); }

    // Closes the held value (if any) and takes `value`. The new value is stored before the old
    // one is closed, so a close that re-enters never sees a half-updated owner.
    void reset(pointer value = Traits::invalid()) noexcept {
        pointer old = std::exchange(value_, value);
        if (Traits::is_valid(old)) Traits::close(old);
    }
    [[nodiscard]] pointer release() noexcept { return std::exchange(value_, Traits::invalid()); }

    // For out-parameters: empties the owner and returns the slot the API writes into.
    pointer* put() noexcept {
        reset();
        return &value_;
    }

    friend void swap(unique_handle& a, unique_handle& b) noexcept { std::swap(a.value_, b.value_); }

private:
    pointer value_ = Traits::invalid();
};

namespace handle_traits {

template <typename T, auto CloseFn>
struct null_is_empty {
    using type = T;
    static type invalid() noexcept { return nullptr; }
    static bool is_valid(const type& h) noexcept { return h != nullptr; }
    static void close(type h) noexcept { CloseFn(h); }
};

// File and find handles use INVALID_HANDLE_VALUE as "none"; null is treated as none as well, since
// a zero-initialised HANDLE is never a handle this program opened.
template <auto CloseFn>
struct invalid_value_is_empty {
    using type = HANDLE;
    static type invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static bool is_valid(const type& h) noexcept { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void close(type h) noexcept { CloseFn(h); }
};

inline void delete_gdi_object(HGDIOBJ h) noexcept {
    DeleteObject(h);
}
inline void close_kernel_handle(HANDLE h) noexcept {
    CloseHandle(h);
}
inline void close_find_handle(HANDLE h) noexcept {
    FindClose(h);
}
inline void close_registry_key(HKEY h) noexcept {
    RegCloseKey(h);
}
inline void destroy_icon(HICON h) noexcept {
    DestroyIcon(h);
}
inline void destroy_cursor(HCURSOR h) noexcept {
    DestroyCursor(h);
}
inline void delete_dc(HDC h) noexcept {
    DeleteDC(h);
}
inline void destroy_menu(HMENU h) noexcept {
    DestroyMenu(h);
}
inline void delete_enh_metafile(HENHMETAFILE h) noexcept {
    DeleteEnhMetaFile(h);
}

// A DC from GetDC/GetWindowDC must go back to ReleaseDC together with its window.
struct window_dc_value {
    HWND window = nullptr;
    HDC dc = nullptr;
};
struct window_dc {
    using type = window_dc_value;
    static type invalid() noexcept { return {}; }
    static bool is_valid(const type& v) noexcept { return v.dc != nullptr; }
    static void close(type v) noexcept { ReleaseDC(v.window, v.dc); }
};

// CreateProcess hands back two handles at once; both are ours to close.
struct process_information {
    using type = PROCESS_INFORMATION;
    static type invalid() noexcept { return {}; }
    static bool is_valid(const type& v) noexcept { return v.hProcess != nullptr || v.hThread != nullptr; }
    static void close(type v) noexcept {
        if (v.hThread) CloseHandle(v.hThread);
        if (v.hProcess) CloseHandle(v.hProcess);
    }
};

}  // namespace handle_traits

using unique_hfont = unique_handle<handle_traits::null_is_empty<HFONT, handle_traits::delete_gdi_object>>;
using unique_hpen = unique_handle<handle_traits::null_is_empty<HPEN, handle_traits::delete_gdi_object>>;
using unique_hbrush = unique_handle<handle_traits::null_is_empty<HBRUSH, handle_traits::delete_gdi_object>>;
using unique_hbitmap = unique_handle<handle_traits::null_is_empty<HBITMAP, handle_traits::delete_gdi_object>>;
using unique_hrgn = unique_handle<handle_traits::null_is_empty<HRGN, handle_traits::delete_gdi_object>>;
using unique_hpalette =
    unique_handle<handle_traits::null_is_empty<HPALETTE, handle_traits::delete_gdi_object>>;
using unique_hicon = unique_handle<handle_traits::null_is_empty<HICON, handle_traits::destroy_icon>>;
using unique_hcursor = unique_handle<handle_traits::null_is_empty<HCURSOR, handle_traits::destroy_cursor>>;
using unique_hmenu = unique_handle<handle_traits::null_is_empty<HMENU, handle_traits::destroy_menu>>;
using unique_henhmetafile =
    unique_handle<handle_traits::null_is_empty<HENHMETAFILE, handle_traits::delete_enh_metafile>>;
// A DC of our own (CreateCompatibleDC, CreateDC): DeleteDC.
using unique_memory_dc = unique_handle<handle_traits::null_is_empty<HDC, handle_traits::delete_dc>>;
// A window's DC (GetDC): ReleaseDC with the window it came from.
using unique_window_dc = unique_handle<handle_traits::window_dc>;
using unique_hkey = unique_handle<handle_traits::null_is_empty<HKEY, handle_traits::close_registry_key>>;
using unique_hfile = unique_handle<handle_traits::invalid_value_is_empty<handle_traits::close_kernel_handle>>;
using unique_hfind = unique_handle<handle_traits::invalid_value_is_empty<handle_traits::close_find_handle>>;
// Events, processes, threads, mutexes: kernel handles where null means none.
using unique_kernel_handle =
    unique_handle<handle_traits::null_is_empty<HANDLE, handle_traits::close_kernel_handle>>;
using unique_event = unique_kernel_handle;
using unique_process_information = unique_handle<handle_traits::process_information>;

inline unique_window_dc get_window_dc(HWND window) noexcept {
    return unique_window_dc({window, GetDC(window)});
}

// Selects a GDI object into a DC for one scope and puts the previous one back on leaving it, so
// the caller's object can be deleted safely afterwards. Regions are not selected this way
// (SelectObject returns a region kind, not the previous region): use SelectClipRgn.
class scoped_select {
public:
    scoped_select(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(SelectObject(dc, object)) {}
    scoped_select(HDC dc, HRGN region) = delete;
    scoped_select(const scoped_select&) = delete;
    scoped_select& operator=(const scoped_select&) = delete;
    ~scoped_select() {
        if (ok()) SelectObject(dc_, previous_);
    }
    // False when the selection failed (nothing to restore then).
    bool ok() const noexcept { return previous_ != nullptr && previous_ != HGDI_ERROR; }
    HGDIOBJ previous() const noexcept { return previous_; }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace vx::win
