#pragma once
// The main window's registry settings: the values, their defaults, and reading and writing them
// through the settings port. Window code only moves these values into controls.
#include <functional>
#include <string>
#include <string_view>

#include "model/desktop.h"
#include "port/settings_store.h"

namespace vx::shell {

struct ShellSettings {
    std::string desktop_file;        // DeskTopFile
    std::string image_dir;           // ImageDir
    std::string pal_dir;             // PalDir
    std::string icon_dir;            // IconDir
    std::string file_dir;            // FileDir
    std::string admin_dir;           // AdminDir: read only
    std::string log_file;            // LogFile
    std::string title = "Vantora!";  // Title: read only
    bool backup = true;              // BackUpMenu
    bool exit_prompt = true;         // ExitPrompt
    bool show_grid = false;          // Showgrid
    bool snap_to_grid = false;       // Snaptogrid
    bool show_mouse = false;         // ShowMouse
    bool allow_popup = true;         // AllowPopup
    bool run_minimized = false;      // RunMinimized
    bool confirm = false;            // Confirm
    bool align_show = true;          // AlignShow
    std::string last_program;        // LastProgram
    int style = 0;                   // Style
    int x_value = 10;                // Xvalue
    int y_value = 10;                // Yvalue
    std::string temp_dir;            // TempDir

    bool operator==(const ShellSettings&) const = default;
};

// Every value at its default for a program living in `program_dir`.
ShellSettings default_settings(std::string_view program_dir);

struct SettingsOutcome {
    ShellSettings settings;
    // Empty when every value was read (or written); otherwise the registry's message.
    std::string error;
    bool ok() const { return error.empty(); }
};

// Reads in table order. On a registry failure the values not yet read keep their defaults and
// the message is returned for the caller to report. Text that is not a number leaves an integer
// or flag at its default: a hand-edited registry must not stop the shell.
SettingsOutcome read_settings(SettingsStore& store, std::string_view program_dir);

// Writes every value except the read-only `AdminDir` and `Title`. Stops at the first failure and
// returns its message.
std::string write_settings(SettingsStore& store, const ShellSettings& settings);

// The temporary folder in use: `TempDir` when it names an existing folder, else the current one.
std::string effective_temp_dir(const ShellSettings& settings,
                               const std::function<bool(const std::string&)>& is_dir,
                               const std::string& current_dir);

// A window that would open out of reach (left beyond the screen width minus 30, or top beyond
// the height minus 30) is moved back to that edge 0.
model::WindowBounds reset_offscreen(model::WindowBounds bounds, int screen_width, int screen_height);

// What the "Desktop Setup" dialog shows and sets: the desktop's window options and four of the
// registry settings.
struct SetupValues {
    model::WindowOptions options;  // status bar, menu bar, tabs, sizing, animated icon, scrolling
    bool exit_prompt = true;       // ExitPrompt
    bool backup = true;            // BackUpMenu
    bool allow_popup = true;       // AllowPopup
    std::string temp_dir;          // TempDir
    // "Use Windows temp directory": the directory is the TEMP variable's and cannot be typed.
    bool use_windows_temp = false;
};

// Two folder names name the same folder: without regard to case, either separator, and a
// trailing separator or none ("C:\Temp\" is "c:/TEMP").
bool same_directory(std::string_view a, std::string_view b);

// The dialog's starting values. The box is ticked when the stored folder is the TEMP
// variable's; with TEMP unset there is nothing to use, so it is never ticked then.
SetupValues setup_values(const ShellSettings& settings, const model::WindowOptions& options,
                         std::string_view windows_temp);

// What OK changes. The window grows by the border change when sizing is turned on and shrinks
// by it when turned off; leaving the option as it was keeps the size, so that pressing OK
// twice does not grow the window twice.
struct SetupResult {
    ShellSettings settings;
    model::WindowOptions options;
    int size_change = 0;  // added to the window's width and height
};

// `border_width_text`: the "BorderWidth" value of WIN.INI's "Windows" section ("1" when absent).
SetupResult apply_setup(const SetupValues& values, const ShellSettings& settings,
                        const model::WindowOptions& options, std::string_view windows_temp,
                        const std::string& border_width_text);

}  // namespace vx::shell
