#pragma once
// The shell's main window. For now it shows the top panel and an empty page area; the page
// surface, tabs, menus and status bar join it later.
#include <windows.h>

#include <string>

#include "port/settings_store.h"
#include "win/util/handle.h"
#include "win/util/window.h"

namespace vx::win::shell {

inline constexpr const wchar_t* kMainFormClass = L"TMainForm";
inline constexpr const char* kDefaultTitle = "Vantora!";
inline constexpr int kTopPanelHeight = 46;

// The caption: the `Title` setting, "Vantora!" when absent or unreadable.
std::string read_main_title(SettingsStore& settings);

class TMainForm final : public Window {
public:
    explicit TMainForm(SettingsStore& settings) : settings_(settings) {}

    HWND create(HINSTANCE instance);
    void show(int show_command);
    const std::string& title() const noexcept { return title_; }

protected:
    bool on_create(const CREATESTRUCTW& cs) override;
    void on_destroy() override;
    void on_paint(HDC dc, const PAINTSTRUCT& ps) override;
    LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    void paint_top_panel(HDC dc, const RECT& client) const;

    SettingsStore& settings_;
    std::string title_;
    unique_hfont title_font_;
};

}  // namespace vx::win::shell
