// A program for the tests to start: it writes how it was started (command line, working folder,
// start-up window state) into the file named by VX_RECORD_FILE, UTF-8, one "name=value" line
// each. With "--window TITLE" (in any letter case, as the shell hands command lines over in
// capitals) it then shows a top-level window with that title until it is
// closed or a minute has passed, so that window searches and activation can be tried on it.
#include <windows.h>

#include <shellapi.h>

#include <string>

namespace {

std::string utf8(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr,
                        nullptr);
    return out;
}

std::wstring environment(const wchar_t* name) {
    wchar_t buffer[32768];
    const DWORD n = GetEnvironmentVariableW(name, buffer, 32768);
    return n > 0 && n < 32768 ? std::wstring(buffer, n) : std::wstring();
}

// Written beside the target and renamed, so a test polling for the file never reads half of it.
bool record(const std::wstring& path, const std::string& text) {
    const std::wstring temp = path + L".part";
    HANDLE file =
        CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return ok && MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

LRESULT CALLBACK window_proc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, w, l);
}

void show_window_until_closed(const std::wstring& title, int show) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = window_proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VxStartRecorder";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 10, 10, 200, 120,
                                  nullptr, nullptr, wc.hInstance, nullptr);
    if (!window) return;
    ShowWindow(window, show);
    SetTimer(window, 1, 60000, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.hwnd == window) DestroyWindow(window);
        DispatchMessageW(&msg);
    }
}

}  // namespace

int main() {
    const std::wstring out = environment(L"VX_RECORD_FILE");
    if (out.empty()) return 2;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
    wchar_t folder[MAX_PATH + 1] = {};
    GetCurrentDirectoryW(MAX_PATH + 1, folder);
    const std::string text = "cmdline=" + utf8(GetCommandLineW()) + "\ncwd=" + utf8(folder) +
                             "\nshow=" + std::to_string(show) +
                             "\npid=" + std::to_string(GetCurrentProcessId()) + "\n";
    if (!record(out, text)) return 3;

    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    for (int i = 1; argv && i + 1 < argc; ++i) {
        if (lstrcmpiW(argv[i], L"--window") == 0) {
            show_window_until_closed(argv[i + 1], show >= 0 ? show : SW_SHOWNORMAL);
            break;
        }
    }
    if (argv) LocalFree(argv);
    return 0;
}
