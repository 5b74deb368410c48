#pragma once
// A designer dialog whose Help button and F1 both open its one help topic.
#include <windows.h>

#include <functional>
#include <utility>

#include "win/util/window.h"

namespace vx::win::editor {

// Opens the help topic; the dialogs call it from their Help button and F1.
using HelpFn = std::function<void(int topic)>;

class HelpedDialog : public Dialog {
public:
    HelpedDialog(int topic, HelpFn help) : topic_(topic), help_(std::move(help)) {}

protected:
    bool on_command(int id, int, HWND) override {
        if (id != IDHELP) return false;
        if (help_) help_(topic_);
        return true;
    }
    INT_PTR handle_message(UINT message, WPARAM wparam, LPARAM lparam) override {
        if (message == WM_HELP) {
            if (help_) help_(topic_);
            return TRUE;
        }
        return Dialog::handle_message(message, wparam, lparam);
    }

private:
    int topic_;
    HelpFn help_;
};

}  // namespace vx::win::editor
