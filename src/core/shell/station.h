#pragma once
// The running shell's state that belongs to no window: the desktop shown, the administration
// file as read (and with it the logged-in user), the settings, whether the station is locked,
// the run's encryption mark and the work owed before the shell ends. Windows show it and ask it
// to change; they learn of its changes as a `StationView` and keep no copy of their own, nor
// take a control's state (a selected tab, a menu item) for the truth.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/location.h"
#include "model/desktop.h"
#include "port/hooks_api.h"
#include "port/locale.h"
#include "port/session_api.h"
#include "port/settings_store.h"
#include "port/text_codec.h"
#include "security/admin_data.h"
#include "security/login.h"
#include "shell/admin_state.h"
#include "shell/desktop_load.h"
#include "shell/end_of_shell.h"
#include "shell/schedule.h"
#include "shell/settings.h"
#include "util/datetime.h"
#include "util/notifier.h"

namespace vx::shell {

enum class StationChange {
    Desktop,  // another desktop took the place of the shown one: tabs, menu and options follow
    Lock,     // the station locked, or the log-in it waited for was passed
    User,     // someone passed the log-in: the menu's guards follow
};

class StationView {
public:
    virtual ~StationView() = default;
    // The shown desktop is about to go: whatever points into it (a page's objects) lets go.
    virtual void desktop_leaving() {}
    virtual void station_changed(StationChange what) = 0;
};

// What reading the administration file needs of the outside world.
struct AdminFileReading {
    const Locale& locale;
    const TextCodec& codec;
    DateTime today = 0;  // picks the monthly log name
    DateTime now = 0;    // paces the retries of a damaged file
    dialogs::Environment environment = {};
};

// What a reading of the administration file leaves the window to say.
struct AdminReadReport {
    AdminRead outcome = AdminRead::Absent;
    // Shown once as the station locks ("Error"); empty: nothing to show.
    std::string error;
    // The entries read with care, when they differ from those last told ("Administration File").
    std::string warnings;
    // Failed: what the trace records.
    std::string failure;
};

// Why no log-in dialog opens.
enum class LoginRefusal {
    None,
    AlreadyOpen,    // the dialog that is up is the lock already
    Damaged,        // nobody can pass against a file that could not be read
    NobodyCanPass,  // asked for, not demanded, and the file has no users
};

struct LoginStart {
    LoginRefusal refused = LoginRefusal::None;
    // The file demands a log-in: missing it locks the station.
    bool demanded = false;
    bool was_logged_in = false;
    bool ok() const { return refused == LoginRefusal::None; }
};

class Station {
public:
    // Ends a view's subscription when it goes; may outlive the station.
    using Subscription = Notifier<const std::function<void(StationView&)>&>::Subscription;

    explicit Station(SettingsStore& store);
    Station(const Station&) = delete;
    Station& operator=(const Station&) = delete;

    [[nodiscard]] Subscription subscribe(StationView& view);

    // ---- settings ----
    // Reads the registry; returns its message when a value could not be read (the unread
    // values keep their defaults).
    std::string read_settings(const std::string& program_dir);
    const ShellSettings& settings() const { return settings_; }
    ShellSettings& edit_settings() { return settings_; }
    // Returns the registry's message on failure.
    std::string save_settings();
    // The folder of the program (pictures, the icon library, <DEFAULTDIR>).
    const std::string& program_dir() const { return program_dir_; }
    void set_program_dir(std::string dir) { program_dir_ = std::move(dir); }

    // ---- the outside world ----
    // Where the system keys are locked and released and the session ends; none: the default.
    void set_session(SessionApi* inner);
    // The session used while none is set, asked for when first needed (the system's own is
    // made only then).
    void set_default_session(std::function<SessionApi&()> make) { default_session_ = std::move(make); }
    // Told each failure of the end-of-shell work done before an end of the session is asked for.
    void set_end_reporter(std::function<void(const std::string&)> report);
    // The session as the shell uses it: an end of the session asked for here first does (or,
    // unforced, saves what it can of) the end-of-shell work. Throws std::logic_error with no
    // session and no default.
    SessionApi& session();
    // Armed by the administration file; none: nothing armed.
    void set_hooks(HooksApi* hooks) { hooks_ = hooks; }
    HooksApi& hooks();

    // ---- the administration file ----
    const security::AdminData& admin() const { return admin_; }
    // For the log-in, which records who logged in.
    security::AdminData& edit_admin() { return admin_; }
    const AdminFileState& admin_state() const { return admin_state_; }
    bool admin_loaded() const { return admin_state_.loaded(); }
    // A reading and the report of its outcome (and the log-in a clean one brings) are under
    // way: the activations their messages bring must not read again. False when one is.
    bool begin_admin_read() { return admin_state_.begin_read(); }
    void end_admin_read() noexcept { admin_state_.end_read(); }
    // Reads the file named by the settings; a file that fails leaves nothing of itself behind.
    AdminReadReport read_admin_file(const AdminFileReading& reading);
    // After a clean reading: the system keys locked when the file says so. True when the file
    // asks for the log-in dialog.
    bool after_admin_load();
    // The logged-in user's name; empty until someone logs in.
    const std::string& user_name() const;
    bool administrator() const;
    // Menu visibility for the logged-in user; none until a log-in dialog has closed.
    const std::optional<security::MenuVisibility>& menu_guards() const { return menu_guards_; }

    // ---- log-in and lock ----
    // Nothing may be shown or started: the administration file could not be read, or a log-in
    // it demands was not passed.
    bool locked() const { return locked_ || admin_state_.damaged(); }
    // What the locked screen says; empty while not locked.
    std::string locked_text() const;
    // A log-in dialog may open now; when it may, it counts as open until `login_closed`.
    LoginStart begin_login();
    void login_closed() { login_open_ = false; }
    bool login_open() const { return login_open_; }
    // The dialog ended (`dialog_ok`: it said so). True when someone passed: the guards follow
    // the user and a station locked for the log-in opens. Otherwise the keys are let go unless
    // the file keeps them locked, and a demanded log-in that nobody passed locks the station.
    bool end_login(const LoginStart& start, bool dialog_ok);
    // No page may show until someone passes the log-in.
    void lock();

    // ---- the desktop ----
    model::Desktop& desktop() { return desktop_; }
    const model::Desktop& desktop() const { return desktop_; }
    // The desktop was read and shown once (not while the administration file is damaged).
    bool opened() const { return opened_; }
    // The settings' desktop file, or the starter desktop when it is missing or damaged (in
    // memory only: nothing writes it before the administrator saves). The read's outcome says
    // which.
    DesktopReadResult open_at_start(DesktopReadPorts ports, DateTime now);
    // Reads `path`; once it has read it is the desktop and the `DeskTopFile` setting. A file
    // that fails leaves the shown desktop and the setting as they were.
    DesktopReadResult open(const std::string& path, DesktopReadPorts ports, DateTime now);
    // The starter desktop under `path`, in memory.
    void new_desktop(const std::string& path);
    // No desktop at all: no page, no object.
    void clear();
    // The designer is open: the tabs show "Master" first and "StartUp" last, and what the
    // designer changed is saved before the shell ends.
    bool modify_mode() const { return modify_mode_; }
    // The registry the settings live in, for the designer's own values.
    SettingsStore& store() { return store_; }
    void set_modify_mode(bool on) { modify_mode_ = on; }
    // The tabs of the desktop as the user sees them: none while locked.
    std::vector<const model::Page*> tab_pages() const;
    int tab_count() const { return static_cast<int>(tab_pages().size()); }
    // The tab of `page` (of the current page with none given); -1 when no tab shows it.
    int tab_of(const model::Page* page) const;
    int current_tab() const { return tab_of(desktop_.current()); }

    // ---- the run ----
    // The run's one encryption mark: the administration file, the desktop file and the
    // protected files take it from their trailers and write it into them.
    int& encryption_mark() { return encryption_mark_; }
    // What the main timer's work goes by.
    TickSettings tick_settings() const;
    // What is owed before the shell ends; done once, by whichever end comes first. The station
    // sets its own steps (protected files, settings, keys, hooks); the usage records are the
    // runtime's.
    EndOfShell& end_of_shell() { return end_of_shell_; }

private:
    DesktopReadResult read(model::Desktop& into, const std::string& path, DesktopReadPorts ports,
                           DateTime now);
    void replace_desktop(model::Desktop&& next);
    void publish(const std::function<void(StationView&)>& tell) const { views_.notify(tell); }

    SettingsStore& store_;
    bool modify_mode_ = false;
    ShellSettings settings_;
    std::string program_dir_;
    HooksApi* hooks_ = nullptr;
    std::unique_ptr<EndingSession> ending_session_;
    std::function<SessionApi&()> default_session_;
    std::function<void(const std::string&)> end_reporter_;
    security::AdminData admin_;
    AdminFileState admin_state_;
    std::vector<security::AdminWarning> warnings_told_;
    std::optional<security::MenuVisibility> menu_guards_;
    model::Desktop desktop_;
    EndOfShell end_of_shell_;
    int encryption_mark_ = 0;
    bool locked_ = false;
    bool login_open_ = false;
    bool opened_ = false;
    Notifier<const std::function<void(StationView&)>&> views_;
};

}  // namespace vx::shell
