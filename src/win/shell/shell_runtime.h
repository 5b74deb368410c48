#pragma once
// What turns the main window into a working shell: the launcher behind its buttons, menu
// buttons and speed keys, the timer's work (timed exit, idle lock, start-up work, scheduled
// buttons, usage tracking), the close request and the ways out of Windows, "Run Program" and
// the usage log viewer. The rules are the core's; this object lends them the main window and
// the system.
#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "port/clock.h"
#include "port/hooks_api.h"
#include "port/locale.h"
#include "port/process_api.h"
#include "port/profile.h"
#include "port/session_api.h"
#include "port/settings_store.h"
#include "port/sound.h"
#include "port/text_codec.h"
#include "port/top_most_windows.h"
#include "shell/desktop_buttons.h"
#include "shell/exit_rules.h"
#include "shell/launcher.h"
#include "shell/schedule.h"
#include "shell/station.h"
#include "shell/user_restrictions.h"
#include "win/security/usage_log_session.h"
#include "win/security/usage_log_viewer.h"
#include "win/shell/launch_form.h"
#include "win/shell/main_form.h"
#include "win/shell/query_form.h"
#include "win/shell/shutdown_dialog.h"
#include "win/shell/top_most_windows.h"
#include "win/util/system_locale.h"

namespace vx::win::browser {
class TBrowserWindow;
}
namespace vx::win::help {
class THelpWindow;
}

namespace vx::win::shell {

// The title of the selector "&Open" chooses a desktop file with.
inline constexpr const char* kOpenDesktopTitle = "Select a Desktop File";

// Winlogon's Shell value (NT family) and SYSTEM.INI's boot shell.
class Win32ShellRegistration final : public vx::shell::ShellRegistration {
public:
    bool nt_family() override;
    std::string winlogon_shell() override;
    std::optional<std::string> system_ini_shell() override;
};

// The outside world as the runtime uses it; application.cpp hands it the system's adapters,
// the tests their fakes.
struct ShellPorts {
    ProcessApi& processes;
    vx::shell::LaunchFileSystem& files;
    Sound& sound;
    SessionApi& session;
    HooksApi& hooks;
    Profile& profile;
    const Clock& clock;
    vx::shell::ShellRegistration& registration;
    SettingsStore& settings;       // the viewer's section lives beside the shell's settings
    Prompter* prompter = nullptr;  // null: the main window's own dialogs
    // The questions of the Y, T, M and W macros; null: `prompter` when given, else the query
    // window.
    Prompter* questions = nullptr;
    // "Run Program" and "Shut Down Windows"; null: the shell's dialogs. Tests answer in their place.
    std::function<std::optional<TypedCommand>(HWND owner)> run_program_form = nullptr;
    std::function<bool(HWND owner, ShutdownContext& context)> shut_down_form = nullptr;
    // The desktop file "&Open" chooses, starting in `start_dir`; null: the restricted file
    // selector. Tests answer in its place.
    std::function<std::optional<std::string>(HWND owner, const std::string& start_dir)> open_desktop_form =
        nullptr;
    // The file a new desktop goes to, starting in `start_dir` with `proposed` in the name box;
    // null: the restricted selector. Tests answer in its place.
    std::function<std::optional<std::string>(HWND owner, const std::string& start_dir, const std::string& proposed)>
        new_desktop_form = nullptr;
    // The windows kept on top, which the idle lock's log-in puts in the normal order; null: the
    // system's.
    TopMostWindows* top_most = nullptr;
};

// Work handed to the message loop: runs once the message being handled now is over.
class DeferredWork final : public Window {
public:
    bool create();
    // Without a window the work runs at once.
    void post(std::function<void()> work);
    // Runs what is waiting (the tests call it instead of pumping messages).
    void run_all();

protected:
    LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    static constexpr UINT kRunMessage = WM_APP + 40;
    std::deque<std::function<void()>> queue_;
};

using vx::shell::button_view;

class ShellRuntime final : private vx::shell::LaunchHost,
                           private vx::shell::TickHost,
                           private vx::shell::StartUpHost,
                           private vx::shell::CloseHost,
                           private vx::shell::ExitActionHost,
                           private vx::shell::FileSelector {
public:
    // Fills the main window's commands; the form and the ports outlive the runtime.
    ShellRuntime(TMainForm& form, ShellPorts ports);
    // Writes this run's usage records.
    ~ShellRuntime() override;
    ShellRuntime(const ShellRuntime&) = delete;
    ShellRuntime& operator=(const ShellRuntime&) = delete;

    vx::shell::Launcher& launcher() { return launcher_; }
    // A desktop file given on the command line: opened by the first start-up work.
    void set_desktop_to_open(std::string path) { start_up_.desktop_to_open = std::move(path); }
    bool start_up_pending() override { return start_up_.pending; }

    // The main window's commands, callable directly (the tests drive them so).
    void carry_out_button(const vx::model::ObjectEntry& entry);
    void tick();
    // "E&xit": a close from the system, with the exit choices.
    void exit();
    // The close request; `from_system` for every close but a button's <EXIT> or <LOGOFF>.
    bool may_close(bool from_system);
    // Carries out the shown page's (or the master page's) button with this speed key, once the
    // key's own handling is over; false when no button has it.
    bool speed_key(std::uint16_t shortcut);
    bool has_speed_key(std::uint16_t shortcut);
    void run_program();
    // "&Open": after its guard, a desktop file chosen under the user's restrictions is opened by
    // the next tick's start-up work, as a page link to a desktop file is.
    void choose_desktop_to_open();
    // "&New": after its guard, the new-desktop procedure.
    bool new_desktop();  // true when a new desktop was made
    void view_usage_log();
    // What the viewer is opened with: the user's view of the log and this run's records so far.
    win::security::UsageViewerValue usage_viewer_value();
    // Appends the gathered usage records to the log; nothing when logging is off.
    void flush_usage_log();

    // Where the "Run Program" dialog plugs in: asks for a command line and runs it under the
    // user's restrictions. Until that dialog exists, the shell's text prompt stands in.
    void show_run_program_dialog();
    // Where the "Shut Down Windows" dialog plugs in: offers the rows the exit rules give and
    // performs the one chosen. True when the chosen action was started. With `power_only`
    // only shutting down and restarting are offered.
    bool show_shut_down_dialog(bool power_only = false);

    const vx::shell::ScheduleList& schedule() const { return schedule_; }
    DeferredWork& deferred() { return deferred_; }
    // The locked browser window, once a browser-flag button has opened it.
    win::browser::TBrowserWindow* browser_window() const { return browser_.get(); }
    // The help window, owned by the main window, once a topic was opened (the dialogs' "&Help",
    // "&Contents", F1).
    win::help::THelpWindow* help_window() const { return help_.get(); }
    void show_help(int topic);
    win::security::UsageLogSession* usage_log() { return usage_log_.get(); }

private:
    // LaunchHost
    bool password_prompt(const std::string& password, int level) override;
    void minimize_main_window() override;
    void close_main_window() override;
    int tab_count() override;
    int current_tab() override;
    void select_tab(int index) override;
    bool select_page(const std::string& name) override;
    void show_browser(const std::string& address) override;
    void popup_menu(const std::vector<vx::shell::MenuItem>& items) override;
    std::vector<vx::shell::ButtonView> current_page_buttons() override;
    void open_desktop(const std::string& path) override;

    // TickHost
    void stop_timer() override;
    void start_timer() override;
    void lock_station() override;
    void animate_icon() override {}
    void run_start_up_work() override;
    bool run_mode() override { return true; }
    void run_scheduled(vx::shell::ButtonId button) override;
    std::optional<vx::shell::ScheduleFields> schedule_fields(vx::shell::ButtonId button) override;
    void track_usage() override;
    // The main window updates its own clock before each tick.
    bool status_bar_shown() override { return false; }
    void set_status_clock(const std::string&, const std::string&) override {}

    // StartUpHost
    bool load_desktop(const std::string& path) override;
    bool new_desktop_procedure() override { return form_.new_desktop_procedure(); }
    void show_first_tab() override;
    std::vector<vx::shell::ButtonView> start_up_buttons() override;
    void click(const vx::shell::ButtonView& button) override;
    bool exit_command_hidden() override;
    void remove_system_menu() override;

    // CloseHost
    bool exit_guard_has_password() override;
    bool exit_password_prompt() override;
    bool modify_mode() override;
    bool save_desktop() override;
    bool is_windows_shell() override;
    bool exit_dialog(bool power_only) override { return show_shut_down_dialog(power_only); }

    // ExitActionHost
    bool dos_guard_granted() override;
    bool logoff_guard_granted() override;
    std::string windows_dir() override;

    // FileSelector (the F, D and E macros)
    std::optional<std::string> select_file(const std::string& title, const std::string& folder,
                                           const std::string& mask, const std::string& proposed) override;
    std::optional<std::string> select_directory(const std::string& title, const std::string& folder) override;

    Prompter& prompter();
    // Nothing starts while the station is locked (an unreadable administration file, a log-in
    // not passed), whichever way it is asked: button, speed key, timer, menu, Run Program.
    bool launches_allowed() const;
    // The main window while it exists; null once it is gone.
    HWND owner() const;
    TopMostWindows& top_most() { return ports_.top_most ? *ports_.top_most : system_top_most_; }
    // Brings the launcher up to date with the menu's options and the logged-in user.
    void prepare_launch();
    bool guard_granted(size_t slot);
    // The new desktop's file in the restricted selector; a type the user may not have is told
    // and refused.
    std::optional<std::string> choose_new_desktop_file(const std::string& dir, const std::string& proposed);
    // The logged-in user's drive table and restricted folders, as the selectors take them.
    std::string restricted_folders() const;
    // Mirrors the desktop's scheduled buttons into the launch list.
    void sync_schedule();
    const vx::model::ObjectEntry* find_entry(vx::shell::ButtonId id) const;

    TMainForm& form_;
    vx::shell::Station& station_;
    ShellPorts ports_;
    QueryPrompter query_;
    DeferredWork deferred_;
    SystemLocale locale_;
    std::unique_ptr<TextCodec> codec_;
    vx::shell::Launcher launcher_;
    vx::shell::ScheduleList schedule_;
    std::set<vx::shell::ButtonId> scheduled_ids_;
    std::unique_ptr<win::security::UsageLogSession> usage_log_;
    vx::shell::StartUpState start_up_;
    Win32TopMostWindows system_top_most_;
    std::unique_ptr<win::browser::TBrowserWindow> browser_;
    std::unique_ptr<win::help::THelpWindow> help_;
    bool ticking_ = false;
};

}  // namespace vx::win::shell
