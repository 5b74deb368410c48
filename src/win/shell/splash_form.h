#pragma once
// The About box, "About Vantora!".
#include <windows.h>

#include <functional>

#include "win/util/window.h"
#include "help/topics.h"

namespace vx::win::shell {

inline constexpr const char* kVersionText = "Version: 2.0c";
inline constexpr const char* kReleaseDateText = "January 18, 1998";

class TSplashForm : public Dialog {
public:
    static constexpr int kHelpTopic = vx::help::kAboutTopic;

    // `show_help` opens a help topic; unset, the help button does nothing.
    explicit TSplashForm(std::function<void(int topic)> show_help = {}) : show_help_(std::move(show_help)) {}
    INT_PTR run(HWND owner);

protected:
    bool on_init() override;
    bool on_command(int id, int code, HWND control) override;

private:
    std::function<void(int)> show_help_;
};

}  // namespace vx::win::shell
