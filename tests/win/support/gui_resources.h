#pragma once
// How many GDI and USER objects this process holds, for tests that look for handle leaks.
// Windows answers through GetGuiResources. Wine does not count (it answers 0 with
// ERROR_CALL_NOT_IMPLEMENTED), so there the counts are made from what Wine keeps in the
// process: GDI objects from the GDI handle table the PEB points at, USER objects as the
// thread's windows plus the menus, icons and cursors found by probing the user handle indexes.
#include <windows.h>
#include <winternl.h>

#include <cstdint>

namespace vx::win::test {

struct GuiCounts {
    DWORD gdi = 0;
    DWORD user = 0;
    bool counted = false;  // false: neither way of counting worked here
};

namespace gui_detail {

// Wine's GDI handle table entry: the same 24 bytes in both of its 64-bit and 32-bit builds.
struct GdiEntry {
    uint64_t object;
    uint16_t process;
    uint16_t count;
    uint16_t unique;
    uint8_t type;
    uint8_t flags;
    uint64_t user;
};
static_assert(sizeof(GdiEntry) == 24);

inline DWORD wine_gdi_objects() {
    using Query = LONG(WINAPI*)(HANDLE, PROCESSINFOCLASS, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic{};
    if (!query || query(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0 ||
        !basic.PebBaseAddress)
        return 0;
    const auto* peb = reinterpret_cast<const uint8_t*>(basic.PebBaseAddress);
#ifdef _WIN64
    constexpr size_t kTableField = 0xF8;
#else
    constexpr size_t kTableField = 0x94;
#endif
    const auto* table = *reinterpret_cast<const GdiEntry* const*>(peb + kTableField);
    if (!table) return 0;
    DWORD n = 0;
    for (size_t i = 0; i < 0x10000; ++i) n += table[i].type != 0;
    return n;
}

inline BOOL CALLBACK count_child(HWND, LPARAM counter) {
    ++*reinterpret_cast<DWORD*>(counter);
    return TRUE;
}

inline BOOL CALLBACK count_top(HWND w, LPARAM counter) {
    ++*reinterpret_cast<DWORD*>(counter);
    EnumChildWindows(w, count_child, counter);
    return TRUE;
}

inline DWORD wine_user_objects() {
    DWORD n = 0;
    EnumThreadWindows(GetCurrentThreadId(), count_top, reinterpret_cast<LPARAM>(&n));
    // A user handle with a zero upper word names its index whatever the generation; Wine
    // answers menus and icons of other processes as unknown without asking the server.
    constexpr unsigned kFirst = 0x20, kLast = 0xFFEF;
    for (unsigned h = kFirst; h <= kLast; h += 2) {
        const auto handle = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(h));
        if (IsMenu(static_cast<HMENU>(handle))) {
            ++n;
            continue;
        }
        ICONINFO info{};
        if (GetIconInfo(static_cast<HICON>(handle), &info)) {
            ++n;
            if (info.hbmColor) DeleteObject(info.hbmColor);
            if (info.hbmMask) DeleteObject(info.hbmMask);
        }
    }
    return n;
}

}  // namespace gui_detail

inline GuiCounts gui_counts() {
    GuiCounts c;
    SetLastError(0);
    c.gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const DWORD error = GetLastError();
    c.user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    if (c.gdi != 0 || error != ERROR_CALL_NOT_IMPLEMENTED) {
        c.counted = c.gdi != 0;
        return c;
    }
    // Counted after the probe, which makes and frees bitmaps of its own.
    c.user = gui_detail::wine_user_objects();
    c.gdi = gui_detail::wine_gdi_objects();
    c.counted = c.gdi != 0;
    return c;
}

}  // namespace vx::win::test
