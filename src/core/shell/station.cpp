#include "shell/station.h"

#include <algorithm>
#include <exception>
#include <map>
#include <stdexcept>

#include "security/access.h"
#include "security/admin_file.h"

namespace vx::shell {

Station::Station(SettingsStore& store) : store_(store) {
    end_of_shell_.set(EndStep::EncipherProtectedFiles, [this] {
        if (admin_state_.loaded()) security::encipher_protected_files(admin_, encryption_mark_);
    });
    end_of_shell_.set(EndStep::WriteSettings, [this] {
        const std::string error = save_settings();
        if (!error.empty()) throw std::runtime_error(error);
    });
    end_of_shell_.set(EndStep::ReleaseSystemKeys, [this] {
        if (admin_state_.loaded() && admin_.settings.disable_system_keys)
            session().set_system_keys_locked(false);
    });
    end_of_shell_.set(EndStep::RemoveHooks, [this] {
        if (hooks_) hooks_->remove_hook_proc();
    });
}

Station::Subscription Station::subscribe(StationView& view) {
    return views_.subscribe([&view](const std::function<void(StationView&)>& tell) { tell(view); });
}

// ---- settings and ports ----

std::string Station::read_settings(const std::string& program_dir) {
    program_dir_ = program_dir;
    auto outcome = shell::read_settings(store_, program_dir);
    settings_ = std::move(outcome.settings);
    return outcome.error;
}

std::string Station::save_settings() {
    return write_settings(store_, settings_);
}

void Station::set_session(SessionApi* inner) {
    ending_session_ = inner ? std::make_unique<EndingSession>(*inner, end_of_shell_) : nullptr;
    if (ending_session_) ending_session_->set_reporter(end_reporter_);
}

void Station::set_end_reporter(std::function<void(const std::string&)> report) {
    end_reporter_ = std::move(report);
    if (ending_session_) ending_session_->set_reporter(end_reporter_);
}

SessionApi& Station::session() {
    if (!ending_session_) {
        if (!default_session_) throw std::logic_error("the station has no session to end");
        set_session(&default_session_());
    }
    return *ending_session_;
}

HooksApi& Station::hooks() {
    static NoHooks none;
    return hooks_ ? *hooks_ : none;
}

// ---- the administration file ----

AdminReadReport Station::read_admin_file(const AdminFileReading& reading) {
    security::AdminReadContext ctx{reading.locale, reading.codec, hooks(), reading.today, &encryption_mark_};
    ctx.log_file = settings_.log_file;
    ctx.environment = reading.environment;
    const std::string path = security::admin_file_path(settings_.admin_dir);
    AdminReadReport report;
    std::string error = "The administration file " + path + " cannot be found.";
    try {
        if (security::load_admin_file(path, admin_, ctx, encryption_mark_)) report.outcome = AdminRead::Clean;
    } catch (const std::exception& e) {
        report.outcome = AdminRead::Failed;
        error = e.what();
        report.failure = "the administration file " + path + " cannot be read: " + error;
        // Nothing of a half-read file may count: its users could log in, its lists restrict too
        // little.
        admin_ = security::AdminData{};
    }
    if (admin_state_.record(report.outcome, error, reading.now).show_error) report.error = error;
    // Read again on every activation: the same doubtful entries are told once, a change again.
    if (report.outcome == AdminRead::Clean && admin_.warnings != warnings_told_) {
        warnings_told_ = admin_.warnings;
        report.warnings = security::admin_warning_text(admin_.warnings);
    }
    return report;
}

bool Station::after_admin_load() {
    // The keys are locked before the dialog so that nobody can switch away from it.
    return security::begin_after_admin_load(admin_, session());
}

const std::string& Station::user_name() const {
    static const std::string nobody;
    const security::User* user = admin_.current_user();
    return user ? user->name : nobody;
}

bool Station::administrator() const {
    return security::administrator_logged_in(admin_);
}

// ---- log-in and lock ----

std::string Station::locked_text() const {
    if (admin_state_.damaged())
        return "This station is locked: its administration file cannot be read.\r\n\r\n" +
               admin_state_.error() +
               "\r\n\r\nNothing can be started until the file is repaired. It is read again every few "
               "seconds.";
    if (locked_) return "This station is locked.";
    return {};
}

LoginStart Station::begin_login() {
    LoginStart start;
    if (login_open_) {
        start.refused = LoginRefusal::AlreadyOpen;
        return start;
    }
    if (admin_state_.damaged()) {
        start.refused = LoginRefusal::Damaged;
        return start;
    }
    start.demanded = admin_state_.loaded() && admin_.settings.validate_users != 0;
    // Asked for by F10 alone, with nobody who could pass: the dialog closes only on a successful
    // log-in, so it would shut the station for good.
    if (!start.demanded && admin_.users.empty()) {
        start.refused = LoginRefusal::NobodyCanPass;
        return start;
    }
    start.was_logged_in = admin_.logged_in.has_value();
    login_open_ = true;
    return start;
}

bool Station::end_login(const LoginStart& start, bool dialog_ok) {
    login_open_ = false;
    // A failure after the checks passed (a protected file that would not switch) still leaves
    // the user logged in.
    const bool passed = dialog_ok || (!start.was_logged_in && admin_.logged_in.has_value());
    if (!passed) {
        if (!admin_.settings.disable_system_keys) session().set_system_keys_locked(false);
        if (start.demanded && !admin_.logged_in) lock();
        return false;
    }
    menu_guards_ = security::apply_user_guards(admin_);
    if (locked_) {
        locked_ = false;
        publish([](StationView& v) { v.station_changed(StationChange::Lock); });
    }
    publish([](StationView& v) { v.station_changed(StationChange::User); });
    return true;
}

void Station::lock() {
    locked_ = true;
    publish([](StationView& v) { v.station_changed(StationChange::Lock); });
}

// ---- the desktop ----

DesktopReadResult Station::read(model::Desktop& into, const std::string& path, DesktopReadPorts ports,
                                DateTime now) {
    DesktopRead request;
    request.path = path;
    request.program_dir = program_dir_;
    request.now = now;
    request.administrator = administrator();
    request.encryption_mark = &encryption_mark_;
    return read_desktop(into, request, ports);
}

void Station::replace_desktop(model::Desktop&& next) {
    publish([](StationView& v) { v.desktop_leaving(); });
    desktop_ = std::move(next);
    desktop_.set_current(nullptr);
    publish([](StationView& v) { v.station_changed(StationChange::Desktop); });
}

DesktopReadResult Station::open_at_start(DesktopReadPorts ports, DateTime now) {
    opened_ = true;
    model::Desktop loaded;
    DesktopReadResult result = read(loaded, settings_.desktop_file, ports, now);
    if (result.outcome == DesktopReadOutcome::Loaded) {
        replace_desktop(std::move(loaded));
        return result;
    }
    // No usable desktop: the window offers the designer on the starter desktop. Nothing is
    // written: a missing file stays missing until the administrator saves, a damaged one stays
    // as it is for repair.
    new_desktop(settings_.desktop_file);
    return result;
}

DesktopReadResult Station::open(const std::string& path, DesktopReadPorts ports, DateTime now) {
    model::Desktop loaded;
    DesktopReadResult result = read(loaded, path, ports, now);
    if (result.outcome != DesktopReadOutcome::Loaded) return result;
    settings_.desktop_file = path;
    replace_desktop(std::move(loaded));
    return result;
}

void Station::new_desktop(const std::string& path) {
    model::Desktop starter;
    make_starter_desktop(starter, path);
    replace_desktop(std::move(starter));
}

void Station::clear() {
    replace_desktop(model::Desktop{});
}

std::vector<const model::Page*> Station::tab_pages() const {
    if (locked()) return {};
    return desktop_.tab_pages(modify_mode_);
}

int Station::tab_of(const model::Page* page) const {
    if (!page) return -1;
    const auto pages = tab_pages();
    const auto it = std::find(pages.begin(), pages.end(), page);
    return it == pages.end() ? -1 : static_cast<int>(it - pages.begin());
}

// ---- the run ----

TickSettings Station::tick_settings() const {
    TickSettings s;
    s.locked_down = locked();
    s.login_open = login_open_;
    if (!admin_state_.loaded()) return s;
    const auto& a = admin_.settings;
    s.exit_time_on = a.exit_time_on != 0;
    s.exit_logs_off = a.exit_logs_off != 0;
    s.idle_lock_on = a.idle_lock_on != 0;
    s.usage_log_on = a.usage_log_on != 0;
    return s;
}

}  // namespace vx::shell
