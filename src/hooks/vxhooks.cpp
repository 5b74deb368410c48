// The exports: each call samples the system (input tick, tick count, local time) and leaves the
// decision to the Watch. One lock guards it, since the shell's main window and its log-in
// dialog may both ask.
#include <windows.h>

#include "vxhooks.h"
#include "watch.h"

namespace {

SRWLOCK g_lock = SRWLOCK_INIT;
vxhooks::Watch g_watch;

class Guard {
public:
    Guard() { AcquireSRWLockExclusive(&g_lock); }
    ~Guard() { ReleaseSRWLockExclusive(&g_lock); }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;
};

vxhooks::LocalTime local_now() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    // Only equality of days matters; 31-day months and 12 * 31-day years keep days apart.
    return {t.wYear * 372 + (t.wMonth - 1) * 31 + (t.wDay - 1), t.wHour * 60 + t.wMinute};
}

}  // namespace

extern "C" {

void __stdcall SetHookProc(int32_t* /*shell_variable*/, int32_t enable) {
    Guard guard;
    g_watch.set_armed(enable != 0);
}

void __stdcall SetLockTime(int32_t minutes) {
    Guard guard;
    g_watch.set_lock_minutes(minutes);
}

void __stdcall SetExitTime(int32_t minutes_after_midnight) {
    const vxhooks::LocalTime now = local_now();
    Guard guard;
    g_watch.set_exit_minute(minutes_after_midnight, now);
}

uint8_t __stdcall UpdateLockTime(void) {
    LASTINPUTINFO info{};
    info.cbSize = sizeof info;
    if (!GetLastInputInfo(&info)) return 0;
    // Sampled after the input stamp, so the stamp is never later than the tick.
    const DWORD now = GetTickCount();
    Guard guard;
    return g_watch.lock_due(now, info.dwTime) ? 1 : 0;
}

uint8_t __stdcall UpdateExitTime(void) {
    const vxhooks::LocalTime now = local_now();
    Guard guard;
    return g_watch.exit_due(now) ? 1 : 0;
}

void __stdcall RemoveHookProc(int32_t /*unused*/) {
    Guard guard;
    g_watch.clear();
}

}  // extern "C"
