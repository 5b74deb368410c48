#include "shell/schedule.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "shell/text_rules.h"
#include "util/file_io.h"

namespace vx::shell {

int launch_week_of_month(int day_of_month, int weekday) {
    if ((day_of_month + weekday) % 7 != 0) return day_of_month / 7 + 1;
    return day_of_month / 7;
}

bool launch_due(std::uint16_t launch_day, DateTime launch_at, DateTime now) {
    const int now_s = seconds_of_day(now);
    const int at_s = seconds_of_day(launch_at);
    const double after = static_cast<double>(now_s - at_s);
    if (!(after > 0 && after < kLaunchWindowSeconds)) return false;

    const int weekday = day_of_week(now) + 1;  // 1 = Sunday
    if ((launch_day & (1u << (12 - weekday))) == 0) return false;

    const int week = launch_week_of_month(date_of(now).day, weekday);
    if (week >= 1 && week <= 5 && (launch_day & (1u << (5 - week))) == 0) return false;

    if ((launch_day & launch_bits::kOnlyOnDate) != 0 &&
        std::floor(date_only(now)) != std::floor(date_only(launch_at)))
        return false;
    return true;
}

void ScheduleList::set(ButtonId button, bool on) {
    auto it =
        std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.button == button; });
    if (on && it == entries_.end()) entries_.insert(entries_.begin(), {button, false});
    if (!on && it != entries_.end()) entries_.erase(it);
}

bool ScheduleList::contains(ButtonId button) const {
    return std::any_of(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.button == button; });
}

bool ScheduleList::launched(ButtonId button) const {
    for (const Entry& e : entries_)
        if (e.button == button) return e.launched;
    return false;
}

std::vector<ButtonId> ScheduleList::take_due(
    DateTime now, const std::function<std::optional<ScheduleFields>(ButtonId)>& fields_of) {
    std::vector<ButtonId> due;
    for (Entry& e : entries_) {
        if (e.launched) continue;
        const std::optional<ScheduleFields> f = fields_of(e.button);
        if (!f || !launch_due(f->launch_day, f->launch_at, now)) continue;
        e.launched = true;
        due.push_back(e.button);
    }
    return due;
}

void timer_tick(TickPorts ports, const TickSettings& settings, ScheduleList& schedule) {
    TickHost& host = ports.host;
    host.stop_timer();
    struct Restart {
        TickHost& h;
        ~Restart() { h.start_timer(); }
    } restart{host};

    // While a log-in dialog is open the station is locked already, and the dialog's own timer
    // ends the session at the exit time.
    if (settings.exit_time_on && !settings.login_open && ports.hooks.update_exit_time()) {
        if (settings.exit_logs_off)
            ports.session.log_off();
        else
            ports.session.restart();
    }
    if (settings.idle_lock_on && !settings.login_open && ports.hooks.check_lock()) host.lock_station();
    host.animate_icon();
    if (host.start_up_pending() && !settings.locked_down) host.run_start_up_work();
    if (!schedule.empty() && host.run_mode() && !settings.locked_down) {
        // A button run from here may open a modal dialog; the list is read once, before.
        const std::vector<ButtonId> due =
            schedule.take_due(ports.clock.now(), [&](ButtonId b) { return host.schedule_fields(b); });
        for (ButtonId b : due) host.run_scheduled(b);
    }
    if (settings.usage_log_on) host.track_usage();
    if (host.status_bar_shown()) {
        const DateTime now = ports.clock.now();
        host.set_status_clock(ports.locale.format_time(now), ports.locale.format_date(now));
    }
}

std::vector<std::string> split_run_entries(const std::string& value) {
    constexpr size_t kMaxRunValue = 255;
    const std::string v = value.substr(0, kMaxRunValue);
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= v.size()) {
        size_t semi = v.find(';', start);
        if (semi == std::string::npos) semi = v.size();
        std::string entry = trim(std::string_view(v).substr(start, semi - start));
        if (!entry.empty()) out.push_back(entry);
        start = semi + 1;
    }
    return out;
}

void run_start_up_work(StartUpPorts ports, StartUpState& state) {
    StartUpHost& host = ports.host;
    if (!state.desktop_to_open.empty()) {
        const std::string path = std::exchange(state.desktop_to_open, {});
        bool opened = host.load_desktop(path);
        if (opened)
            host.show_first_tab();
        else
            opened = host.new_desktop_procedure();
        if (opened) {
            state.shown_desktop_started = false;
        } else if (state.shown_desktop_started) {
            // Nothing new to start: the shown desktop stays as it was, started already.
            state.pending = false;
            return;
        }
    }
    for (const ButtonView& button : host.start_up_buttons()) host.click(button);

    for (const std::string& entry : split_run_entries(ports.profile.read("WIN.INI", "Windows", "run", ""))) {
        std::string error;
        if (!ports.processes.shell_open(file_name_of(entry), dir_of(entry), ShowState::Normal, error))
            ports.prompter.alert("Error in launching", "Unable to locate " + entry);
    }
    state.pending = false;
    state.shown_desktop_started = true;
    if (host.exit_command_hidden()) host.remove_system_menu();
}

}  // namespace vx::shell
