#pragma once
// The idle lock and timed exit library: the six calls the shell makes. The names are exported
// undecorated in both the 32- and the 64-bit library, so the shell can also find them by name.
#include <stdint.h>

#if defined(VXHOOKS_BUILDING)
#define VXHOOKS_API
#else
#define VXHOOKS_API __declspec(dllimport)
#endif

extern "C" {

// Arms (enable 1) or disarms (0) the library. Arming forgets any earlier times, so a time the
// caller does not set again stays off. `shell_variable` is the caller's; the library neither
// reads nor writes it and accepts a null address.
VXHOOKS_API void __stdcall SetHookProc(int32_t* shell_variable, int32_t enable);
// Minutes without keyboard or mouse input before UpdateLockTime answers true; 0 or less: never.
VXHOOKS_API void __stdcall SetLockTime(int32_t minutes);
// Minutes after local midnight (0 to 1439) at which UpdateExitTime answers true once a day;
// anything else: never.
VXHOOKS_API void __stdcall SetExitTime(int32_t minutes_after_midnight);
// Non-zero while the idle time has run out, until the next input.
VXHOOKS_API uint8_t __stdcall UpdateLockTime(void);
// Non-zero once per day, at the first call on or after the exit time.
VXHOOKS_API uint8_t __stdcall UpdateExitTime(void);
// Disarms the library and forgets both times.
VXHOOKS_API void __stdcall RemoveHookProc(int32_t unused);

}  // extern "C"
