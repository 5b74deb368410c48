#pragma once
// Drives the real programs: every test gets a fresh program folder, a clean settings key, the
// processes it starts (always ended at tear-down), and helpers to find windows, read them, send
// them messages and save a screenshot.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "win/support/real_input.h"
#include "win/util/handle.h"

namespace vx::e2e {

using namespace std::chrono_literals;

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The temporary program folder of this test (holds vantorx.exe).
    const std::filesystem::path& folder() const { return folder_; }
    // Copies tests/e2e/fixtures/<name>/* into the program folder.
    void copy_fixture(const std::string& name);
    // A value under HKCU\Software\Halvane\Vantora (removed again at tear-down).
    void set_setting(const std::string& name, const std::string& value);

    // Starts vantorx.exe from the program folder; returns its index for wait_for_exit.
    size_t start_shell(const std::wstring& arguments = L"");
    // Starts another program in its own folder, ended at tear-down like the shell.
    size_t start_program(const std::filesystem::path& exe, const std::wstring& arguments = L"");
    DWORD process_id(size_t index) const { return processes_.at(index).get().dwProcessId; }
    // The exit code, or nullopt when it is still running after `timeout`.
    std::optional<DWORD> wait_for_exit(size_t index, std::chrono::milliseconds timeout);
    bool running(size_t index) const;

    // Waits until a top-level window of the class (and title, when given) exists.
    static HWND wait_for_window(const wchar_t* class_name, const wchar_t* title = nullptr,
                                std::chrono::milliseconds timeout = 20s);
    // Polls `condition` until it holds or `timeout` passes.
    template <typename F>
    static bool eventually(F condition, std::chrono::milliseconds timeout = 10s) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            if (condition()) return true;
            if (std::chrono::steady_clock::now() > end) return false;
            Sleep(50);
        }
    }
    static int count_top_level(const wchar_t* class_name);
    // Real input, as a person gives it (SendInput): the top-level window of `window` is brought
    // to the front first, as the person would look at it, and the key goes where the focus is.
    static void press_key(HWND window, UINT virtual_key, std::initializer_list<WORD> modifiers = {});
    // Into whatever has the keyboard now (a pop-up menu, a dialog that just opened).
    static void press_key(UINT virtual_key, std::initializer_list<WORD> modifiers = {});
    static void type_text(const std::wstring& text) { win::test::type_text(text); }
    // A click at a point of the window's client area.
    static void click(HWND window, int x, int y, bool right_button = false);
    // A click in the middle of a dialog's control (a button, an edit).
    static void click_control(HWND dialog, int id);
    // The top-level window in front with the keyboard; false when it did not come.
    static bool bring_to_front(HWND window);
    // The flags of GetGUIThreadInfo for the thread of `window` (GUI_INMENUMODE, ...).
    static DWORD gui_flags(HWND window);
    static std::string text_of(HWND window);

    // Saves the screen as <build>/tests/e2e/screenshots/<Suite>.<Test>.png (with ".<suffix>"
    // before ".png" when given, for a second picture of the same test); returns its path.
    std::filesystem::path screenshot(const std::string& suffix = {});

private:
    void end_everything();

    std::filesystem::path folder_;
    std::vector<win::unique_process_information> processes_;
};

}  // namespace vx::e2e
