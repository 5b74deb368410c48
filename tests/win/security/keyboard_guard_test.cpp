#include "win/security/keyboard_guard.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "win/security/login_ports.h"
#include "win/shell/session_api.h"
#include "win/util/text.h"

namespace vx::win::security {
namespace {

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
