#include "win/shell/prompter.h"

#include <gtest/gtest.h>

#include <thread>

namespace vx::win::shell {
namespace {

// Answers the text dialog from another thread, as a person would, once it is on screen.
void answer_when_shown(const wchar_t* caption, const wchar_t* text, WPARAM button) {
    for (int i = 0; i < 200; ++i) {
        if (HWND dialog = FindWindowW(L"#32770", caption)) {
            if (text)
                SendMessageW(FindWindowExW(dialog, nullptr, L"Edit", nullptr), WM_SETTEXT, 0,
                             reinterpret_cast<LPARAM>(text));
            PostMessageW(dialog, WM_COMMAND, button, 0);
            return;
        }
        Sleep(25);
    }
}

TEST(Win32Prompter, TextDialogReturnsTheTypedTextOrNothingOnCancel) {
    Win32Prompter prompter;
    std::thread ok(answer_when_shown, L"Password Required", L"secret", IDOK);
    EXPECT_EQ(prompter.ask_text("Password Required", "Enter it", {}, true), "secret");
    ok.join();

    std::thread cancel(answer_when_shown, L"Password Required", nullptr, IDCANCEL);
    EXPECT_EQ(prompter.ask_text("Password Required", "Enter it", "x", true), std::nullopt);
    cancel.join();
}

}  // namespace
}  // namespace vx::win::shell
