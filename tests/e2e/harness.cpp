#include "e2e/harness.h"

#include <optional>
#include <system_error>

#include "win/shell/application.h"
#include "win/shell/main_form.h"
#include "win/shell/registry_settings.h"
#include "win/support/screenshot.h"
#include "win/util/text.h"

namespace vx::e2e {
namespace fs = std::filesystem;

namespace {

std::wstring env(const wchar_t* name) {
    wchar_t buf[1024];
    const DWORD n = GetEnvironmentVariableW(name, buf, 1024);
    return n && n < 1024 ? std::wstring(buf, n) : std::wstring();
}

std::string current_test_name() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string(info->test_suite_name()) + "." + info->name();
}

// Windows of the shell left by an earlier run that died before its tear-down would answer this
// run's FindWindow: end their processes first.
void end_stray_shells() {
    for (const wchar_t* cls : {win::shell::kMainFormClass, win::shell::kApplicationClass}) {
        for (int i = 0; i < 10; ++i) {
            const HWND w = FindWindowW(cls, nullptr);
            if (!w) break;
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            win::unique_kernel_handle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
            if (!process) break;
            TerminateProcess(process.get(), 99);
            WaitForSingleObject(process.get(), 5000);
        }
    }
}

void delete_settings() {
    RegDeleteTreeW(HKEY_CURRENT_USER, win::shell::kSettingsKey);
}

}  // namespace

void ShellTest::SetUp() {
    if (env(L"DISPLAY").empty()) {
        if (env(L"VX_E2E_REQUIRE_DISPLAY") == L"1")
            GTEST_FAIL() << "no X display: scripts/run-tests starts Xvfb for these tests";
        GTEST_SKIP()
            << "no X display (DISPLAY is unset): run scripts/run-tests, or start Xvfb and set DISPLAY";
    }
    end_stray_shells();
    delete_settings();

    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    folder_ =
        fs::path(temp) / ("vx-e2e-" + std::to_string(GetCurrentProcessId()) + "-" + current_test_name());
    std::error_code ec;
    fs::remove_all(folder_, ec);
    fs::create_directories(folder_);
    fs::copy_file(fs::path(VX_E2E_BUILD_DIR) / "apps" / "vantorx" / "vantorx.exe", folder_ / "vantorx.exe",
                  fs::copy_options::overwrite_existing);
    // The shell links the hooks library by import: it must sit beside the program.
    const fs::path hooks = fs::path(VX_E2E_BUILD_DIR) / "apps" / "vantorx" / "VXHooks.dll";
    if (fs::exists(hooks))
        fs::copy_file(hooks, folder_ / "VXHooks.dll", fs::copy_options::overwrite_existing);
}

void ShellTest::TearDown() {
    end_everything();
    delete_settings();
    if (!folder_.empty()) {
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }
}

void ShellTest::end_everything() {
    for (auto& p : processes_) {
        const HANDLE h = p.get().hProcess;
        if (h && WaitForSingleObject(h, 0) == WAIT_TIMEOUT) {
            TerminateProcess(h, 99);
            WaitForSingleObject(h, 10000);
        }
    }
    processes_.clear();
}

void ShellTest::copy_fixture(const std::string& name) {
    fs::copy(fs::path(VX_FIXTURES_DIR) / "e2e" / name, folder_,
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

void ShellTest::set_setting(const std::string& name, const std::string& value) {
    win::shell::RegistrySettingsStore().write("", name, value);
}

size_t ShellTest::start_shell(const std::wstring& arguments) {
    return start_program(folder_ / "vantorx.exe", arguments);
}

size_t ShellTest::start_program(const fs::path& exe, const std::wstring& arguments) {
    std::wstring command = L"\"" + exe.wstring() + L"\"";
    if (!arguments.empty()) command += L" " + arguments;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    win::unique_process_information pi;
    if (!CreateProcessW(exe.wstring().c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        exe.parent_path().wstring().c_str(), &si, pi.put())) {
        ADD_FAILURE() << "cannot start " << exe.string() << ": error " << GetLastError();
    }
    processes_.push_back(std::move(pi));
    return processes_.size() - 1;
}

std::optional<DWORD> ShellTest::wait_for_exit(size_t index, std::chrono::milliseconds timeout) {
    const HANDLE h = processes_.at(index).get().hProcess;
    if (!h || WaitForSingleObject(h, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(h, &code);
    return code;
}

bool ShellTest::running(size_t index) const {
    const HANDLE h = processes_.at(index).get().hProcess;
    return h && WaitForSingleObject(h, 0) == WAIT_TIMEOUT;
}

HWND ShellTest::wait_for_window(const wchar_t* class_name, const wchar_t* title,
                                std::chrono::milliseconds timeout) {
    HWND found = nullptr;
    eventually([&] { return (found = FindWindowW(class_name, title)) != nullptr; }, timeout);
    return found;
}

namespace {
struct ClassCount {
    const wchar_t* cls;
    int n = 0;
};

// A named CALLBACK, not a lambda: on i686 WNDENUMPROC is __stdcall, which a lambda's conversion
// to a function pointer cannot give.
BOOL CALLBACK count_class(HWND w, LPARAM lp) {
    auto* c = reinterpret_cast<ClassCount*>(lp);
    wchar_t name[256];
    if (GetClassNameW(w, name, 256) && lstrcmpW(name, c->cls) == 0) ++c->n;
    return TRUE;
}
}  // namespace

int ShellTest::count_top_level(const wchar_t* class_name) {
    ClassCount ctx{class_name};
    EnumWindows(count_class, reinterpret_cast<LPARAM>(&ctx));
    return ctx.n;
}

bool ShellTest::bring_to_front(HWND window) {
    const HWND top = GetAncestor(window, GA_ROOT);
    // In front is not enough: a window that was just given back the activation (a message box
    // closed over it) may not have the keyboard focus yet, and a key sent then is lost.
    // Only the foreground process may hand the foreground on; the driver is the one giving input.
    DWORD pid = 0;
    GetWindowThreadProcessId(top, &pid);
    AllowSetForegroundWindow(pid);
    return win::test::bring_to_front(top);
}

DWORD ShellTest::gui_flags(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return 0;
    return info.flags;
}

void ShellTest::press_key(HWND window, UINT virtual_key, std::initializer_list<WORD> modifiers) {
    if (!bring_to_front(window)) ADD_FAILURE() << "the window did not come to the front for a key";
    press_key(virtual_key, modifiers);
}

void ShellTest::press_key(UINT virtual_key, std::initializer_list<WORD> modifiers) {
    win::test::press_key(static_cast<WORD>(virtual_key), modifiers);
    // The other process handles it in its own time; a short pause keeps keys in order with
    // what the test does next.
    Sleep(100);
}

void ShellTest::click(HWND window, int x, int y, bool right_button) {
    if (!bring_to_front(window)) ADD_FAILURE() << "the window did not come to the front for a click";
    win::test::click(window, x, y, right_button);
    Sleep(100);
}

void ShellTest::click_control(HWND dialog, int id) {
    const HWND control = GetDlgItem(dialog, id);
    if (!control) {
        ADD_FAILURE() << "the dialog has no control " << id;
        return;
    }
    RECT r;
    GetClientRect(control, &r);
    click(control, r.right / 2, r.bottom / 2);
}

std::string ShellTest::text_of(HWND window) {
    // WM_GETTEXT through SendMessage works across processes, unlike a cached title.
    wchar_t buf[512];
    const LRESULT n = SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buf));
    return win::narrow(std::wstring_view(buf, static_cast<size_t>(n)));
}

fs::path ShellTest::screenshot(const std::string& suffix) {
    const fs::path dir = VX_E2E_SCREENSHOT_DIR;
    std::error_code ec;
    fs::create_directories(dir, ec);
    const fs::path path = dir / (current_test_name() + (suffix.empty() ? "" : "." + suffix) + ".png");

    if (!win::test::save_screen(path)) ADD_FAILURE() << "screenshot: cannot write " << path.string();
    std::cout << "[ SCREENSHOT ] " << path.string() << std::endl;
    return path;
}

}  // namespace vx::e2e
