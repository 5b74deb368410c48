#pragma once
// "Run Program": the user types a command; the caller hands it to Launcher::run_typed, which
// makes the run decision under the user's restrictions.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "dialogs/location.h"
#include "port/settings_store.h"
#include "win/util/window.h"
#include "help/topics.h"

namespace vx::win::shell {

inline constexpr int kRunProgramHelpTopic = vx::help::kRunProgramTopic;

struct TypedCommand {
    std::string command;  // as typed
    bool minimized = false;
    bool maximized = false;
};

struct LaunchFormPorts {
    // The LastProgram setting is read from and written to here.
    SettingsStore& settings;
    // The "Select a Program" file selector; the chosen file or nullopt. Without it the browse
    // button is disabled.
    std::function<std::optional<std::string>(HWND owner)> browse;
    // Opens a help topic. Without it the help button is disabled.
    std::function<void(int topic)> show_help;
};

// `TLaunchForm`.
class TLaunchForm : public Dialog {
public:
    explicit TLaunchForm(LaunchFormPorts& ports) : p_(ports) {}
    // IDOK with result() filled, IDCANCEL otherwise.
    INT_PTR run(HWND owner);
    const TypedCommand& result() const { return result_; }

protected:
    bool on_init() override;
    bool on_ok() override;
    bool on_command(int id, int code, HWND control) override;

private:
    void update_ok() const;

    LaunchFormPorts& p_;
    TypedCommand result_;
};

// A browse function for LaunchFormPorts: the file selector titled "Select a Program" with the
// mask "*.EXE *.BAT *.COM *.PIF *.LNK", limited to the user's restricted directories
// ("C:\\DIR|D:\\OTHER|") and drive levels. It starts where the previous choice was made.
std::function<std::optional<std::string>(HWND owner)> program_selector(std::string restricted_dirs,
                                                                       vx::dialogs::DriveTable drives);

// Shows "Run Program"; the typed command and its window state, or nullopt on cancel. On OK the
// command is kept as LastProgram (a failure to store it is logged, the command still runs).
std::optional<TypedCommand> run_launch_form(HWND owner, LaunchFormPorts& ports);

}  // namespace vx::win::shell
