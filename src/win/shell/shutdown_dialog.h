#pragma once
// "Shut Down Windows": the Windows exit choices offered when the shell is the Windows shell.
// Which rows are shown and what each does are core's (shell/exit_rules.h); hidden rows leave
// no gap.
#include <windows.h>

#include <functional>
#include <vector>

#include "port/process_api.h"
#include "port/session_api.h"
#include "shell/exit_rules.h"
#include "win/util/window.h"
#include "help/topics.h"

namespace vx::win::shell {

inline constexpr int kShutDownHelpContext = vx::help::kShutDownTopic;

struct ShutdownContext {
    bool dos_guard_visible = false;     // command guard 6's visible flag
    bool logoff_guard_visible = false;  // command guard 7's visible flag
    bool user_name_known = false;       // see windows_user_name_known()
    vx::shell::ExitActionHost& host;
    SessionApi& session;
    ProcessApi& processes;
    // Opens a help topic. Without it the help button is disabled.
    std::function<void(int topic)> show_help;
};

class TShutdownForm : public Dialog {
public:
    explicit TShutdownForm(ShutdownContext& context) : c_(context) {}
    // IDOK when "&Yes" was pressed (see started()), IDCANCEL otherwise.
    INT_PTR run(HWND owner);
    // Whether the chosen action was started.
    bool started() const { return started_; }
    const std::vector<vx::shell::ExitRow>& rows() const { return rows_; }

protected:
    bool on_init() override;
    bool on_ok() override;
    bool on_command(int id, int code, HWND control) override;

private:
    ShutdownContext& c_;
    std::vector<vx::shell::ExitRow> rows_;
    bool started_ = false;
};

// Shows the dialog and performs the choice; true when the chosen action was started.
bool run_shutdown_dialog(HWND owner, ShutdownContext& context);

// Whether Windows reports a logged-on user name (the log-off row needs one).
bool windows_user_name_known();

}  // namespace vx::win::shell
