#pragma once
// What the main window's timer does without a click: the timed exit and idle lock, the one-time
// start-up work after a desktop opens, the buttons that launch themselves at a set time, usage
// tracking and the status-bar clock.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/objects.h"
#include "port/clock.h"
#include "port/hooks_api.h"
#include "port/locale.h"
#include "port/process_api.h"
#include "port/profile.h"
#include "port/prompter.h"
#include "port/session_api.h"
#include "shell/launcher.h"
#include "util/datetime.h"

namespace vx::shell {

// The launch-day word of a button.
namespace launch_bits {
constexpr std::uint16_t kSunday = 1u << 11;  // down to Saturday at bit 5
constexpr std::uint16_t kWeek1 = 1u << 4;    // down to week 5 at bit 0
constexpr std::uint16_t kAutomatic = 1u << 12;
constexpr std::uint16_t kOnlyOnDate = 1u << 13;
}  // namespace launch_bits

// The launch window: later than the launch time and earlier than 0.0002 day after it, both
// taken to the whole second.
constexpr double kLaunchWindowSeconds = 0.0002 * 86400.0;

// The week of the month as the launch-day bits count it (1..5, or 0 for no condition).
// `weekday` is 1 for Sunday to 7 for Saturday.
int launch_week_of_month(int day_of_month, int weekday);

// Whether a button with these launch fields is due at `now`.
bool launch_due(std::uint16_t launch_day, DateTime launch_at, DateTime now);

// A scheduled button is named by its object id, which stays valid across edits and names
// nothing once the button is gone.
using ButtonId = model::ObjectId;

struct ScheduleFields {
    std::uint16_t launch_day = 0;
    DateTime launch_at = 0;
};

// The scheduled launch list: newest first, each with its launched flag.
class ScheduleList {
public:
    // Adds the button when on and not listed; removes it when off.
    void set(ButtonId button, bool on);
    void clear() { entries_.clear(); }
    bool empty() const { return entries_.empty(); }
    bool contains(ButtonId button) const;
    bool launched(ButtonId button) const;

    // The buttons due at `now`, in list order; each is marked launched before it is returned,
    // so a button whose password is then refused still counts as launched. `fields_of` reads
    // the button's current launch fields (nullopt: the button is gone, skip it).
    std::vector<ButtonId> take_due(DateTime now,
                                   const std::function<std::optional<ScheduleFields>(ButtonId)>& fields_of);

private:
    struct Entry {
        ButtonId button;
        bool launched;
    };
    std::vector<Entry> entries_;
};

// The administration file's switches the tick reads.
struct TickSettings {
    bool exit_time_on = false;
    bool exit_logs_off = false;
    bool idle_lock_on = false;
    bool usage_log_on = false;
    // The station is locked (an unreadable administration file, a log-in nobody passed):
    // nothing starts by itself. Pending start-up work waits until the station opens.
    bool locked_down = false;
    // A log-in dialog is open: it is the lock already, and its own timer watches the exit time.
    bool login_open = false;
};

// The main window during a tick.
class TickHost {
public:
    virtual ~TickHost() = default;
    virtual void stop_timer() = 0;
    // Restarts with the shown page's interval.
    virtual void start_timer() = 0;
    // Normal window order, main window to the front, the log-in dialog modally, then the
    // top-most windows again.
    virtual void lock_station() = 0;
    // Draws the next icon of a running icon sequence; does nothing when none runs.
    virtual void animate_icon() = 0;
    virtual bool start_up_pending() = 0;
    virtual void run_start_up_work() = 0;
    virtual bool run_mode() = 0;
    // Carries out a scheduled button as if it were clicked.
    virtual void run_scheduled(ButtonId button) = 0;
    virtual std::optional<ScheduleFields> schedule_fields(ButtonId button) = 0;
    virtual void track_usage() = 0;
    virtual bool status_bar_shown() = 0;
    virtual void set_status_clock(const std::string& time_text, const std::string& date_text) = 0;
};

struct TickPorts {
    TickHost& host;
    HooksApi& hooks;
    SessionApi& session;
    const Clock& clock;
    const Locale& locale;
};

// One tick, in its order. The timer is stopped throughout, so a modal dialog shown by a step
// never lets a second tick start; it is started again even when a step throws.
void timer_tick(TickPorts ports, const TickSettings& settings, ScheduleList& schedule);

// What start-up work needs from the main window.
class StartUpHost {
public:
    virtual ~StartUpHost() = default;
    // Reads `path` and, once it has read, makes it the shown desktop and the desktop file;
    // false (the user told why) leaves the shown desktop and the setting as they were.
    virtual bool load_desktop(const std::string& path) = 0;
    // Builds a desktop from the Windows desktop; false when it ended without one.
    virtual bool new_desktop_procedure() = 0;
    virtual void show_first_tab() = 0;
    // The buttons of the page named "StartUp", in the page's object order; none without it.
    virtual std::vector<ButtonView> start_up_buttons() = 0;
    virtual void click(const ButtonView& button) = 0;
    virtual bool exit_command_hidden() = 0;
    virtual void remove_system_menu() = 0;
};

// The start-up work to come.
struct StartUpState {
    // The desktop file the next start-up work opens first; empty: none.
    std::string desktop_to_open;
    // Set when the shell starts and whenever another desktop is to be opened.
    bool pending = true;
    // The shown desktop's start-up work has run (it runs once per desktop).
    bool shown_desktop_started = false;
};

struct StartUpPorts {
    StartUpHost& host;
    Profile& profile;
    ProcessApi& processes;
    Prompter& prompter;
};

// Runs the start-up work: the desktop to open (if any), the "StartUp" page's buttons, the
// WIN.INI `run` entries. A desktop to open that neither loads nor is built leaves the shown one,
// whose start-up work is not run a second time. Clears `desktop_to_open` and `pending`.
void run_start_up_work(StartUpPorts ports, StartUpState& state);

// The entries of the WIN.INI `run` value, in order, blank ones left out.
std::vector<std::string> split_run_entries(const std::string& value);

}  // namespace vx::shell
