#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "win/shell/hooks_api.h"

namespace {

// The library as the world sees it: loaded from the build, its exports found by their plain
// names (what a 32-bit __stdcall export would lose if the names kept their decorations).
class HooksLibrary : public ::testing::Test {
protected:
    using SetHookProcFn = void(__stdcall*)(int32_t*, int32_t);
    using SetTimeFn = void(__stdcall*)(int32_t);
    using UpdateFn = uint8_t(__stdcall*)();

    void SetUp() override {
        std::wstring path = L"" VX_HOOKS_DLL;
        for (wchar_t& c : path)
            if (c == L'/') c = L'\\';
        module_ = LoadLibraryW(path.c_str());
        ASSERT_NE(module_, nullptr) << "cannot load " << VX_HOOKS_DLL;
        set_hook_proc = find<SetHookProcFn>("SetHookProc");
        set_lock_time = find<SetTimeFn>("SetLockTime");
        set_exit_time = find<SetTimeFn>("SetExitTime");
        update_lock_time = find<UpdateFn>("UpdateLockTime");
        update_exit_time = find<UpdateFn>("UpdateExitTime");
        remove_hook_proc = find<SetTimeFn>("RemoveHookProc");
    }
    void TearDown() override {
        if (module_) FreeLibrary(module_);
    }

    template <typename Fn>
    Fn find(const char* name) {
        FARPROC p = GetProcAddress(module_, name);
        EXPECT_NE(p, nullptr) << name << " is not exported by that name";
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(p));
    }

    HMODULE module_ = nullptr;
    SetHookProcFn set_hook_proc = nullptr;
    SetTimeFn set_lock_time = nullptr, set_exit_time = nullptr, remove_hook_proc = nullptr;
    UpdateFn update_lock_time = nullptr, update_exit_time = nullptr;
};

int32_t minute_of_day_now() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return t.wHour * 60 + t.wMinute;
}

TEST_F(HooksLibrary, ExportsTheSixCallsByName) {
    for (const char* name :
         {"SetHookProc", "SetLockTime", "SetExitTime", "UpdateLockTime", "UpdateExitTime", "RemoveHookProc"})
        EXPECT_NE(GetProcAddress(module_, name), nullptr) << name;
}

TEST_F(HooksLibrary, AnswersFollowArmingAndTheLocalClock) {
    ASSERT_TRUE(set_hook_proc && set_lock_time && set_exit_time && update_lock_time && update_exit_time &&
                remove_hook_proc);
    EXPECT_EQ(update_lock_time(), 0) << "not armed";
    EXPECT_EQ(update_exit_time(), 0) << "not armed";

    int32_t shell_variable = 0;
    set_hook_proc(&shell_variable, 1);
    EXPECT_EQ(shell_variable, 0) << "the caller's variable is left alone";
    // About 694 days of idle time: no station here has been idle that long.
    set_lock_time(1000000);
    // The current minute has already begun, so today's exit has gone by: the first one is
    // tomorrow's, and a shell started at its exit time does not end at once.
    set_exit_time(minute_of_day_now());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(update_lock_time(), 0);
        EXPECT_EQ(update_exit_time(), 0);
    }
    set_exit_time(-1);
    EXPECT_EQ(update_exit_time(), 0);

    set_hook_proc(nullptr, 0);  // a null address is accepted
    set_lock_time(0);
    remove_hook_proc(1);
    EXPECT_EQ(update_lock_time(), 0);
    EXPECT_EQ(update_exit_time(), 0);
}

TEST_F(HooksLibrary, InputEndsAnIdleSpell) {
    ASSERT_TRUE(set_hook_proc && set_lock_time && update_lock_time && remove_hook_proc);
    set_hook_proc(nullptr, 1);
    set_lock_time(1);
    LASTINPUTINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetLastInputInfo(&info));
    const DWORD idle = GetTickCount() - info.dwTime;
    // Whether this session has been idle for a minute depends on what ran before; when it has,
    // the library must say so.
    if (idle >= 61000) {
        EXPECT_EQ(update_lock_time(), 1) << "idle for " << idle << " ms";
    }

    INPUT moves[2] = {};
    moves[0].type = moves[1].type = INPUT_MOUSE;
    moves[0].mi.dwFlags = moves[1].mi.dwFlags = MOUSEEVENTF_MOVE;
    moves[0].mi.dx = 1;
    moves[1].mi.dx = -1;
    ASSERT_EQ(SendInput(2, moves, sizeof(INPUT)), 2u);
    Sleep(50);
    EXPECT_EQ(update_lock_time(), 0) << "input just now";
    remove_hook_proc(1);
}

// The shell's adapter, linked by import: every call reaches the library, and a closed gate
// answers false whatever the library would say.
TEST(HooksAdapter, CallsTheLibraryAndGatesTheQuestions) {
    vx::win::shell::LibraryHooksApi hooks;
    hooks.set_hook_proc(true);
    hooks.set_lock_time(1);
    hooks.set_exit_time(minute_of_day_now());
    LASTINPUTINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetLastInputInfo(&info));
    if (GetTickCount() - info.dwTime >= 61000) {
        EXPECT_TRUE(hooks.check_lock());
    }
    EXPECT_FALSE(hooks.update_exit_time()) << "today's exit has gone by";
    hooks.enable_lock(false);
    hooks.enable_exit(false);
    EXPECT_FALSE(hooks.check_lock());
    EXPECT_FALSE(hooks.update_exit_time());
    hooks.remove();
    hooks.enable_lock(true);
    EXPECT_FALSE(hooks.check_lock()) << "removed";
    hooks.remove();  // the destructor's second removal is harmless too
}

}  // namespace
