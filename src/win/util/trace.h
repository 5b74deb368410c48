#pragma once
// A small log for the Win32 layer. Every line goes to the debugger (OutputDebugString, which Wine
// shows with WINEDEBUG=+debugstr) and, when VX_TRACE_FILE names a file, is appended there. Tests
// put their own sink in to see what was logged.
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

namespace vx::win {

enum class LogLevel { Trace, Info, Warning, Error };

using LogSink = std::function<void(LogLevel, std::string_view)>;

void log(LogLevel level, std::string_view message);
inline void log_error(std::string_view message) {
    log(LogLevel::Error, message);
}
inline void log_info(std::string_view message) {
    log(LogLevel::Info, message);
}

// Replaces the sink for this process and returns the previous one; an empty sink restores the
// default (debugger plus VX_TRACE_FILE).
LogSink set_log_sink(LogSink sink);

// Message tracing of window procedures costs a lookup per message, so it is off unless
// VX_TRACE_MESSAGES=1 is set in the environment or it is switched on here.
bool message_trace_enabled();
void enable_message_trace(bool on);
void trace_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// "WM_PAINT" for the messages in the table, nullptr for others.
const char* message_name(UINT message);
// Readable for every message: the table name, "WM_USER+5", "WM_APP+1", or the number in hex.
std::string describe_message(UINT message);

// Text of GetLastError() (or the given code), without the trailing line break.
std::string last_error_text(DWORD code = GetLastError());

}  // namespace vx::win
