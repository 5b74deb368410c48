#include "win/shell/session_api.h"

#include <string>

#include "win/util/trace.h"

namespace vx::win {

namespace {

// SPI_SETSCREENSAVERRUNNING: the task-switch and restart keys do nothing while it is set.
constexpr UINT kScreenSaverRunning = 97;

bool enable_shutdown_privilege() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return false;
    TOKEN_PRIVILEGES tp{};
    tp.PrivilegeCount = 1;
    tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    bool ok = LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &tp.Privileges[0].Luid) &&
              AdjustTokenPrivileges(token, FALSE, &tp, 0, nullptr, nullptr) &&
              GetLastError() == ERROR_SUCCESS;
    CloseHandle(token);
    return ok;
}

}  // namespace

Win32SessionApi::~Win32SessionApi() {
    if (locked_) set_system_keys_locked(false);
}

bool Win32SessionApi::exit_windows(UINT how, bool forced) {
    // Logging off needs no privilege; a restart or shut-down is still attempted without it, and
    // Windows then reports the refusal.
    if (!enable_shutdown_privilege() && how != EWX_LOGOFF)
        log_error("the shutdown privilege could not be enabled: " + last_error_text());
    if (ExitWindowsEx(how | (forced ? EWX_FORCE : 0U), SHTDN_REASON_MAJOR_OTHER | SHTDN_REASON_FLAG_PLANNED))
        return true;
    log_error("ExitWindowsEx failed: " + last_error_text());
    return false;
}

bool Win32SessionApi::log_off(bool forced) {
    return exit_windows(EWX_LOGOFF, forced);
}
bool Win32SessionApi::restart(bool forced) {
    return exit_windows(EWX_REBOOT, forced);
}
bool Win32SessionApi::shut_down() {
    return exit_windows(EWX_SHUTDOWN, false);
}

void Win32SessionApi::set_system_keys_locked(bool locked) {
    BOOL previous = FALSE;
    SystemParametersInfoW(kScreenSaverRunning, locked ? TRUE : FALSE, &previous, 0);
    if (locked) {
        guard_.start();
        hot_keys_.turn_off();
    } else {
        guard_.stop();
        hot_keys_.restore();
    }
    locked_ = locked;
}

void RecordingSessionApi::record(const char* line) {
    const HANDLE file = CreateFileW(path_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        log_error("session recorder: cannot open its file: " + last_error_text());
        return;
    }
    const std::string text = std::string(line) + "\r\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

bool RecordingSessionApi::log_off(bool forced) {
    record(forced ? "log_off forced" : "log_off");
    return true;
}
bool RecordingSessionApi::restart(bool forced) {
    record(forced ? "restart forced" : "restart");
    return true;
}
bool RecordingSessionApi::shut_down() {
    record("shut_down");
    return true;
}
void RecordingSessionApi::set_system_keys_locked(bool locked) {
    record(locked ? "keys 1" : "keys 0");
}

std::unique_ptr<SessionApi> session_recorder_from_environment() {
#ifdef VX_SESSION_RECORDING
    wchar_t path[MAX_PATH * 2]{};
    const DWORD n = GetEnvironmentVariableW(L"VX_SESSION_RECORD", path, static_cast<DWORD>(std::size(path)));
    if (n > 0 && n < std::size(path)) {
        log_info("session calls are recorded, not carried out");
        return std::make_unique<RecordingSessionApi>(path);
    }
#endif
    return nullptr;
}

}  // namespace vx::win
