#include "win/security/keyboard_guard.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "win/security/login_ports.h"
#include "win/shell/session_api.h"
#include "win/support/real_input.h"
#include "win/util/text.h"

namespace vx::win::security {
namespace {

using vx::win::test::press_key;

TEST(KeyboardGuard, SwallowsOnlyTheKeysThatLeaveTheShell) {
    struct Case {
        DWORD vk;
        bool alt, ctrl, shift;
        bool swallowed;
    } cases[] = {
        {VK_LWIN, false, false, false, true},
        {VK_RWIN, false, false, false, true},
        {VK_LWIN, false, true, true, true},
        {VK_TAB, true, false, false, true},
        {VK_TAB, true, false, true, true},
        {VK_ESCAPE, true, false, false, true},
        {VK_ESCAPE, false, true, false, true},
        {VK_ESCAPE, false, true, true, true},
        // What users need to type a name and move between fields passes.
        {VK_TAB, false, false, false, false},
        {VK_TAB, false, false, true, false},
        {VK_TAB, false, true, false, false},
        {VK_ESCAPE, false, false, false, false},
        {VK_ESCAPE, false, false, true, false},
        {'A', false, false, true, false},
        {VK_RETURN, false, false, false, false},
        {VK_F4, true, false, false, false},
        {VK_DELETE, true, true, false, false},
        {VK_LMENU, true, false, false, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(swallow_key({c.vk, c.alt, c.ctrl, c.shift}), c.swallowed)
            << "vk " << c.vk << " alt " << c.alt << " ctrl " << c.ctrl << " shift " << c.shift;
}

TEST(KeyboardGuard, StartsAndStopsItsThreadAnyNumberOfTimes) {
    KeyboardGuard guard;
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(guard.start());
        EXPECT_TRUE(guard.start()) << "a second start is harmless";
        EXPECT_TRUE(guard.running());
        guard.stop();
        guard.stop();
        EXPECT_FALSE(guard.running());
    }
    EXPECT_TRUE(guard.start());
    // The destructor stops it.
}

// Keys typed while the guard runs: a window with the focus sees the ordinary ones and never the
// swallowed ones.
class KeySink {
public:
    KeySink() {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &KeySink::proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VxKeySink";
        RegisterClassExW(&wc);
        hwnd = CreateWindowExW(0, L"VxKeySink", L"keys", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                               nullptr, nullptr, wc.hInstance, nullptr);
        SetForegroundWindow(hwnd);
        SetFocus(hwnd);
        keys().clear();
    }
    ~KeySink() { DestroyWindow(hwnd); }
    static std::vector<WPARAM>& keys() {
        static std::vector<WPARAM> k;
        return k;
    }
    void pump() const {
        for (int i = 0; i < 20; ++i) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
            Sleep(10);
        }
    }
    HWND hwnd = nullptr;

private:
    static LRESULT CALLBACK proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
        if (m == WM_KEYDOWN || m == WM_SYSKEYDOWN) keys().push_back(wp);
        return DefWindowProcW(w, m, wp, lp);
    }
};

TEST(KeyboardGuard, TypedKeysReachTheWindowExceptTheSwallowedOnes) {
    KeySink sink;
    if (GetForegroundWindow() != sink.hwnd) GTEST_SKIP() << "no foreground window on this display";
    KeyboardGuard guard;
    ASSERT_TRUE(guard.start());
    press_key('A');
    press_key(VK_LWIN);
    press_key(VK_ESCAPE, {VK_CONTROL});
    press_key('B');
    sink.pump();
    guard.stop();
    press_key(VK_LWIN);
    sink.pump();
    EXPECT_EQ(KeySink::keys(), (std::vector<WPARAM>{'A', VK_CONTROL, 'B', VK_LWIN}));
}

TEST(SessionApi, LockingRunsTheGuardAndTheAdapterRestoresEverythingWhenItGoes) {
    STICKYKEYS before{sizeof(STICKYKEYS), 0};
    SystemParametersInfoW(SPI_GETSTICKYKEYS, sizeof before, &before, 0);
    {
        Win32SessionApi session;
        session.set_system_keys_locked(true);
        EXPECT_TRUE(session.keyboard_guard_running());
        session.set_system_keys_locked(false);
        EXPECT_FALSE(session.keyboard_guard_running());
        session.set_system_keys_locked(true);
    }
    STICKYKEYS after{sizeof(STICKYKEYS), 0};
    SystemParametersInfoW(SPI_GETSTICKYKEYS, sizeof after, &after, 0);
    EXPECT_EQ(after.dwFlags, before.dwFlags);
}

TEST(DirectoryAttributes, OnlyTheHiddenBitChanges) {
    const auto dir = std::filesystem::temp_directory_path() / "vx_protected_dir_test";
    std::filesystem::create_directories(dir);
    const std::wstring wide = dir.wstring();
    // Whatever else the file system keeps on a directory (read-only, system) must stay.
    SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM);
    const DWORD others = GetFileAttributesW(wide.c_str());
    ASSERT_NE(others, INVALID_FILE_ATTRIBUTES);
    Win32DirectoryAttributes attributes;

    attributes.set_hidden(narrow(wide), true);
    EXPECT_EQ(GetFileAttributesW(wide.c_str()), others | FILE_ATTRIBUTE_HIDDEN);
    attributes.set_hidden(narrow(wide), false);
    EXPECT_EQ(GetFileAttributesW(wide.c_str()), others);

    attributes.set_hidden(narrow(wide) + "\\missing", true);  // logged, no throw
    SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    std::filesystem::remove(dir);
}

}  // namespace
}  // namespace vx::win::security
