#pragma once
// Real key presses through SendInput, as a person types them: they reach whichever window of the
// display has the focus, the way the tests' windows meet real input.
#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace vx::win::test {

// Presses the keys in order and releases them in reverse: {VK_CONTROL, VK_ESCAPE} is Ctrl+Esc.
inline void press(std::initializer_list<WORD> keys) {
    std::vector<INPUT> in;
    for (WORD k : keys) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = k;
        in.push_back(i);
    }
    for (auto it = keys.end(); it != keys.begin();) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = *--it;
        i.ki.dwFlags = KEYEVENTF_KEYUP;
        in.push_back(i);
    }
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

// Letters and digits, one key each (letters come out in lower case).
inline void type_keys(const std::string& text) {
    for (char c : text) {
        const char upper = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        press({static_cast<WORD>(upper)});
    }
}

}  // namespace vx::win::test
