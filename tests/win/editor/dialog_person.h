#pragma once
// A person at a modal dialog of the designer: the dialog is found by its title, the person's
// steps run on their own thread while the dialog's loop runs on the test's, and the controls are
// clicked, read and typed into as the person would.
#include <windows.h>

#include <functional>
#include <string>

#include "win/editor/person.h"
#include "win/util/text.h"

namespace vx::win::test {

// Runs `show` (which opens the dialog titled `title`) while a person does `steps` on it;
// `closed` says whether the dialog went before the person gave up on it.
template <typename Show>
auto with_person(const wchar_t* title, std::function<void(HWND)> steps, Show show, bool* closed) {
    Person person(
        [&] {
            if (const HWND dialog = find_dialog(title)) {
                pause(200);
                steps(dialog);
            }
        },
        [title] {
            if (const HWND dialog = FindWindowW(L"#32770", title)) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
    auto result = show();
    *closed = person.finish();
    return result;
}

inline void click_item(HWND dialog, int id) {
    click_at(center_of(GetDlgItem(dialog, id)));
}

inline std::string text_of(HWND dialog, int id) {
    wchar_t text[256] = {};
    GetWindowTextW(GetDlgItem(dialog, id), text, 256);
    return narrow(text);
}

inline bool checked(HWND dialog, int id) {
    return SendMessageW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Replaces what an edit box holds with `typed`.
inline void retype(HWND dialog, int id, const std::wstring& typed) {
    click_item(dialog, id);
    tap(VK_END);
    tap(VK_HOME, {VK_SHIFT});
    tap(VK_DELETE);
    if (!typed.empty()) type_slowly(typed);
}

}  // namespace vx::win::test
