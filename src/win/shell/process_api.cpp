#include "win/shell/process_api.h"

#include <objbase.h>
#include <shellapi.h>

#include <cwctype>

#include "win/util/com.h"
#include "win/util/program_folder.h"
#include "win/util/text.h"
#include "win/util/trace.h"

namespace vx::win::shell {

namespace {

HWND hwnd_of(WindowId window) {
    return reinterpret_cast<HWND>(window);
}

BOOL CALLBACK collect_window(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<WindowId>*>(list)->push_back(reinterpret_cast<WindowId>(window));
    return TRUE;
}

// Splits a ";" list, dropping empty entries and surrounding blanks. A quoted part is kept
// whole (a PATH folder may hold a ";") and loses its quotes.
std::vector<std::wstring> split_list(const std::wstring& list) {
    std::vector<std::wstring> out;
    std::wstring item;
    bool quoted = false;
    auto finish = [&] {
        while (!item.empty() && item.back() == L' ') item.pop_back();
        while (!item.empty() && item.front() == L' ') item.erase(item.begin());
        if (!item.empty()) out.push_back(item);
        item.clear();
    };
    for (const wchar_t c : list) {
        if (c == L'"') {
            quoted = !quoted;
        } else if (c == L';' && !quoted) {
            finish();
        } else {
            item.push_back(c);
        }
    }
    finish();
    return out;
}

std::wstring environment(const wchar_t* name) {
    const DWORD needed = GetEnvironmentVariableW(name, nullptr, 0);
    if (needed == 0) return {};
    std::wstring value(needed, L'\0');
    const DWORD got = GetEnvironmentVariableW(name, value.data(), needed);
    value.resize(got < needed ? got : 0);
    return value;
}

}  // namespace

std::string Win32ProcessApi::long_path(const std::string& path) {
    const std::wstring wide = widen(path);
    const DWORD needed = GetLongPathNameW(wide.c_str(), nullptr, 0);
    if (needed == 0) return path;
    std::wstring out(needed, L'\0');
    const DWORD got = GetLongPathNameW(wide.c_str(), out.data(), needed);
    if (got == 0 || got >= needed) return path;
    out.resize(got);
    return narrow(out);
}

std::vector<std::string> Win32ProcessApi::search_folders() {
    std::vector<std::string> folders;
    std::wstring buffer(32768, L'\0');
    if (std::string folder = program_folder(); !folder.empty()) folders.push_back(std::move(folder));
    DWORD n = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (n > 0 && n < buffer.size()) folders.push_back(narrow(std::wstring_view(buffer.data(), n)));
    n = GetSystemDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
    if (n > 0 && n < buffer.size()) folders.push_back(narrow(std::wstring_view(buffer.data(), n)));
    n = GetWindowsDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
    if (n > 0 && n < buffer.size()) {
        const std::wstring windows(buffer.data(), n);
        folders.push_back(narrow(windows + (windows.ends_with(L'\\') ? L"System" : L"\\System")));
        folders.push_back(narrow(windows));
    }
    for (const std::wstring& folder : split_list(environment(L"PATH"))) folders.push_back(narrow(folder));
    return folders;
}

std::vector<std::string> Win32ProcessApi::path_extensions() {
    std::vector<std::wstring> list = split_list(environment(L"PATHEXT"));
    if (list.empty()) list = {L".COM", L".EXE", L".BAT", L".CMD"};
    std::vector<std::string> out;
    for (std::wstring& ext : list) {
        for (wchar_t& c : ext) c = static_cast<wchar_t>(std::towupper(c));
        if (ext.front() != L'.') ext.insert(ext.begin(), L'.');
        out.push_back(narrow(ext));
    }
    return out;
}

int Win32ProcessApi::show_command(ShowState show) {
    switch (show) {
        case ShowState::Minimized:
            return SW_SHOWMINIMIZED;
        case ShowState::Maximized:
            return SW_SHOWMAXIMIZED;
        case ShowState::Hidden:
            return SW_HIDE;
        case ShowState::Normal:
            break;
    }
    return SW_SHOWNORMAL;
}

bool Win32ProcessApi::start_process(const StartRequest& request, std::string& error) {
    std::uint32_t process_id = 0;
    return launch_process(request, process_id, error);
}

bool Win32ProcessApi::launch_process(const StartRequest& request, std::uint32_t& process_id,
                                     std::string& error) {
    process_id = 0;
    if (request.command_line.empty()) {
        error = "empty command line";
        return false;
    }
    // Process creation may write into the command line, so it gets its own copy.
    std::wstring command = widen(request.command_line);
    const std::wstring directory = widen(request.working_directory);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(show_command(request.show));
    unique_process_information info;
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE,
                        CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS, nullptr,
                        directory.empty() ? nullptr : directory.c_str(), &startup, info.put())) {
        error = last_error_text(GetLastError());
        return false;
    }
    PROCESS_INFORMATION pi = info.release();
    CloseHandle(pi.hThread);
    last_process_.reset(pi.hProcess);
    last_process_id_ = pi.dwProcessId;
    process_id = pi.dwProcessId;
    return true;
}

void Win32ProcessApi::wait_for_input_idle(std::uint32_t process_id) {
    if (process_id == 0) return;
    unique_kernel_handle process;
    if (process_id == last_process_id_ && last_process_) {
        process = std::move(last_process_);
        last_process_id_ = 0;
    } else {
        process.reset(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, process_id));
    }
    // A console program has no input queue and returns at once; that is fine.
    if (process) WaitForInputIdle(process.get(), input_idle_limit_ms_);
}

bool Win32ProcessApi::shell_open(const std::string& target, const std::string& directory, ShowState show,
                                 std::string& error) {
    return shell_open_with(target, {}, directory, show, error);
}

bool Win32ProcessApi::shell_open_with(const std::string& target, const std::string& parameters,
                                      const std::string& directory, ShowState show, std::string& error) {
    if (target.empty()) {
        error = "nothing to open";
        return false;
    }
    const std::wstring file = widen(target);
    const std::wstring params = widen(parameters);
    const std::wstring dir = widen(directory);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // No system error boxes: the shell reports failures with its own alert. Synchronous, since
    // the shell may end right after the call.
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = L"open";
    info.lpFile = file.c_str();
    info.lpParameters = params.empty() ? nullptr : params.c_str();
    info.lpDirectory = dir.empty() ? nullptr : dir.c_str();
    info.nShow = show_command(show);
    // The "open" verb may hand over to shell extensions that live in COM.
    ComScope com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const BOOL ok = ShellExecuteExW(&info);
    const DWORD code = GetLastError();
    if (ok && reinterpret_cast<INT_PTR>(info.hInstApp) > 32) return true;
    error = last_error_text(ok ? static_cast<DWORD>(reinterpret_cast<INT_PTR>(info.hInstApp)) : code);
    return false;
}

std::string Win32ProcessApi::find_executable(const std::string& document) {
    if (document.empty()) return {};
    wchar_t result[MAX_PATH + 1] = {};
    const auto code = reinterpret_cast<INT_PTR>(FindExecutableW(widen(document).c_str(), nullptr, result));
    if (code <= 32) return {};
    return narrow(result);
}

std::vector<WindowId> Win32ProcessApi::top_level_windows() {
    std::vector<WindowId> windows;
    EnumWindows(collect_window, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

WindowId Win32ProcessApi::foreground_window() {
    return reinterpret_cast<WindowId>(GetForegroundWindow());
}

WindowId Win32ProcessApi::owner_of(WindowId window) {
    return reinterpret_cast<WindowId>(GetWindow(hwnd_of(window), GW_OWNER));
}

std::string Win32ProcessApi::window_title(WindowId window) {
    const HWND h = hwnd_of(window);
    const int length = GetWindowTextLengthW(h);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(h, text.data(), length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return narrow(text);
}

std::uint32_t Win32ProcessApi::window_thread(WindowId window) {
    return GetWindowThreadProcessId(hwnd_of(window), nullptr);
}

std::uint32_t Win32ProcessApi::window_process(WindowId window) {
    DWORD process_id = 0;
    if (!GetWindowThreadProcessId(hwnd_of(window), &process_id)) return 0;
    return process_id;
}

bool Win32ProcessApi::window_exists(WindowId window) {
    return window != 0 && IsWindow(hwnd_of(window));
}

bool Win32ProcessApi::window_visible(WindowId window) {
    return window != 0 && IsWindowVisible(hwnd_of(window));
}

void Win32ProcessApi::activate(WindowId window) {
    const HWND h = hwnd_of(window);
    if (!IsWindow(h)) return;
    if (IsIconic(h)) ShowWindow(h, SW_RESTORE);
    BringWindowToTop(h);
    SetForegroundWindow(h);
}

}  // namespace vx::win::shell
