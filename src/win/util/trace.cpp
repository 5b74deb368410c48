#include "win/util/trace.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <utility>

#include "win/util/text.h"

namespace vx::win {
namespace {

std::mutex g_mutex;
LogSink g_sink;
int g_message_trace = -1;  // -1: not yet read from the environment

const char* level_name(LogLevel level) {
    switch (level) {
        case LogLevel::Trace:
            return "trace";
        case LogLevel::Info:
            return "info";
        case LogLevel::Warning:
            return "warning";
        case LogLevel::Error:
            return "error";
    }
    return "?";
}

void default_sink(LogLevel level, std::string_view message) {
    SYSTEMTIME t;
    GetLocalTime(&t);
    char head[64];
    std::snprintf(head, sizeof head, "%02u:%02u:%02u.%03u [%lu] %s: ", t.wHour, t.wMinute, t.wSecond,
                  t.wMilliseconds, GetCurrentProcessId(), level_name(level));
    std::string line = head;
    line.append(message);
    line += "\r\n";
    OutputDebugStringW(widen(line).c_str());
    const wchar_t* path = _wgetenv(L"VX_TRACE_FILE");
    if (path && *path) {
        if (FILE* f = _wfopen(path, L"ab")) {
            std::fwrite(line.data(), 1, line.size(), f);
            std::fclose(f);
        }
    }
}

}  // namespace

void log(LogLevel level, std::string_view message) {
    LogSink sink;
    {
        std::lock_guard lock(g_mutex);
        sink = g_sink;
    }
    // The log is the last resort of the exception handlers, so it must not throw itself.
    try {
        if (sink)
            sink(level, message);
        else
            default_sink(level, message);
    } catch (...) {
        OutputDebugStringW(L"vantora: the log sink failed\r\n");
    }
}

LogSink set_log_sink(LogSink sink) {
    std::lock_guard lock(g_mutex);
    return std::exchange(g_sink, std::move(sink));
}

bool message_trace_enabled() {
    std::lock_guard lock(g_mutex);
    if (g_message_trace < 0) {
        const wchar_t* v = _wgetenv(L"VX_TRACE_MESSAGES");
        g_message_trace = (v && v[0] == L'1') ? 1 : 0;
    }
    return g_message_trace == 1;
}

void enable_message_trace(bool on) {
    std::lock_guard lock(g_mutex);
    g_message_trace = on ? 1 : 0;
}

void trace_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (!message_trace_enabled()) return;
    char buf[160];
    std::snprintf(buf, sizeof buf, "hwnd %p %s wparam 0x%llx lparam 0x%llx", static_cast<void*>(window),
                  describe_message(message).c_str(), static_cast<unsigned long long>(wparam),
                  static_cast<unsigned long long>(lparam));
    log(LogLevel::Trace, buf);
}

std::string last_error_text(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string out;
    if (n && text) {
        out = narrow(std::wstring_view(text, n));
        LocalFree(text);
        while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' '))
            out.pop_back();
    }
    if (out.empty()) out = "error " + std::to_string(code);
    return out;
}

}  // namespace vx::win
