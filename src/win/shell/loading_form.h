#pragma once
// The loading window (`TLoadingForm`, "Welcome to..."): the shell's title, the file being read
// and a gauge of the pages read, up while a desktop file loads. It never takes the activation
// from the main window, so nothing the main window does on activation runs in the middle of a
// load.
#include <windows.h>

#include <string>

#include "shell/desktop_load.h"
#include "win/util/handle.h"
#include "win/util/window.h"

namespace vx::win::shell {

class TLoadingForm final : public Dialog, public vx::shell::LoadingView {
public:
    // `title` is the main window's caption; `file` the desktop file being read.
    TLoadingForm(HWND owner, std::string title, std::string file);
    ~TLoadingForm() override;

    void begin(int maximum) override;
    void advance(int tabs) override;
    void end() override;

    // The gauge as it stands (the tests read it).
    int gauge_maximum() const;
    int gauge_position() const;

protected:
    bool on_init() override;
    INT_PTR handle_message(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    void repaint() const;

    HWND owner_;
    std::string title_;
    std::string file_;
    int maximum_ = 1;
    unique_hfont title_font_;
};

}  // namespace vx::win::shell
