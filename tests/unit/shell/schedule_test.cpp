#include "shell/schedule.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

#include "unit/shell/fakes.h"

namespace vx::shell {
namespace {

using testing::FakeClock;
using testing::FakeHooks;
using testing::FakeProcessApi;
using testing::FakeProfile;
using testing::FakePrompter;
using testing::FakeSession;
using Log = std::vector<std::string>;

DateTime at(int y, int mo, int d, int h, int mi, int s, int ms = 0) {
    return make_datetime({y, mo, d}, {h, mi, s, ms});
}

constexpr std::uint16_t kEveryDay = 0x0FFF | launch_bits::kAutomatic;

TEST(LaunchSchedule, WindowIsComparedToTheSecond) {
    // 9 December 2026 is a Wednesday in the second launch week.
    const DateTime nine = at(2000, 1, 1, 9, 0, 0, 600);
    struct Case {
        int h, m, s, ms;
        bool due;
    } cases[] = {
        {8, 59, 59, 0, false}, {9, 0, 0, 900, false}, {9, 0, 1, 0, true},  {9, 0, 1, 100, true},
        {9, 0, 17, 999, true}, {9, 0, 18, 0, false},  {9, 5, 0, 0, false}, {21, 0, 1, 0, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(launch_due(kEveryDay, nine, at(2026, 12, 9, c.h, c.m, c.s, c.ms)), c.due)
            << c.h << ":" << c.m << ":" << c.s << "." << c.ms;
}

TEST(LaunchSchedule, DaysWeeksAndTheLaunchDate) {
    using namespace launch_bits;
    const std::uint16_t wednesday = kSunday >> 3;
    const std::uint16_t week2 = kWeek1 >> 1;
    struct Case {
        const char* name;
        std::uint16_t word;
        DateTime launch;
        DateTime now;
        bool due;
    } cases[] = {
        {"every day", kEveryDay, at(2026, 1, 1, 9, 0, 0), at(2026, 12, 9, 9, 0, 5), true},
        {"Wednesday, week 2", static_cast<std::uint16_t>(wednesday | week2), at(2026, 1, 1, 9, 0, 0),
         at(2026, 12, 9, 9, 0, 5), true},
        {"not Wednesday", static_cast<std::uint16_t>(kEveryDay & ~wednesday), at(2026, 1, 1, 9, 0, 0),
         at(2026, 12, 9, 9, 0, 5), false},
        {"not week 2", static_cast<std::uint16_t>(kEveryDay & ~week2), at(2026, 1, 1, 9, 0, 0),
         at(2026, 12, 9, 9, 0, 5), false},
        // Sunday the 6th: (6 + 1) mod 7 = 0 gives week 0, which asks for no week bit.
        {"week 0", kSunday, at(2026, 1, 1, 9, 0, 0), at(2026, 12, 6, 9, 0, 5), true},
        {"only on its date", static_cast<std::uint16_t>(kEveryDay | kOnlyOnDate), at(2026, 12, 9, 9, 0, 0),
         at(2026, 12, 9, 9, 0, 5), true},
        {"only on another date", static_cast<std::uint16_t>(kEveryDay | kOnlyOnDate),
         at(2026, 12, 2, 9, 0, 0), at(2026, 12, 9, 9, 0, 5), false},
        {"date but not weekday", static_cast<std::uint16_t>(kOnlyOnDate | kSunday | 0x1F),
         at(2026, 12, 9, 9, 0, 0), at(2026, 12, 9, 9, 0, 5), false},
    };
    for (const auto& c : cases) EXPECT_EQ(launch_due(c.word, c.launch, c.now), c.due) << c.name;

    struct Week {
        int day, weekday, week;
    } weeks[] = {{1, 1, 1}, {6, 1, 0}, {7, 7, 1}, {7, 1, 2}, {14, 7, 2}, {28, 7, 4}, {31, 3, 5}};
    for (const auto& w : weeks) EXPECT_EQ(launch_week_of_month(w.day, w.weekday), w.week) << w.day;
}

TEST(LaunchSchedule, ListRunsEachButtonOnceNewestFirst) {
    ScheduleList list;
    list.set(1, true);
    list.set(2, true);
    list.set(2, true);
    list.set(3, true);
    list.set(3, false);
    EXPECT_FALSE(list.contains(3));

    std::map<ButtonId, ScheduleFields> fields = {{1, {kEveryDay, at(2026, 1, 1, 9, 0, 0)}},
                                                 {2, {kEveryDay, at(2026, 1, 1, 9, 0, 0)}}};
    auto lookup = [&](ButtonId b) -> std::optional<ScheduleFields> {
        auto it = fields.find(b);
        if (it == fields.end()) return std::nullopt;
        return it->second;
    };
    EXPECT_TRUE(list.take_due(at(2026, 12, 9, 8, 0, 0), lookup).empty());
    EXPECT_EQ(list.take_due(at(2026, 12, 9, 9, 0, 3), lookup), (std::vector<ButtonId>{2, 1}));
    EXPECT_TRUE(list.launched(1));
    EXPECT_TRUE(list.take_due(at(2026, 12, 9, 9, 0, 4), lookup).empty());
    EXPECT_TRUE(list.take_due(at(2026, 12, 10, 9, 0, 4), lookup).empty());  // once per loaded desktop

    list.clear();
    EXPECT_TRUE(list.empty());
}

class RecordingTickHost : public TickHost {
public:
    Log log;
    bool pending = true, run = true, status = true, throw_in_start_up = false;
    void stop_timer() override { log.push_back("stop"); }
    void start_timer() override { log.push_back("start"); }
    void lock_station() override { log.push_back("lock"); }
    void animate_icon() override { log.push_back("icon"); }
    bool start_up_pending() override { return pending; }
    void run_start_up_work() override {
        log.push_back("start-up");
        if (throw_in_start_up) throw std::runtime_error("load failed");
    }
    bool run_mode() override { return run; }
    void run_scheduled(ButtonId b) override { log.push_back("run " + std::to_string(b)); }
    std::optional<ScheduleFields> schedule_fields(ButtonId) override {
        return ScheduleFields{kEveryDay, at(2026, 1, 1, 9, 0, 0)};
    }
    void track_usage() override { log.push_back("usage"); }
    bool status_bar_shown() override { return status; }
    void set_status_clock(const std::string& t, const std::string& d) override { log.push_back(t + " " + d); }
};

// A tick at 09:00:05 with button 7 scheduled.
class TimerTick : public ::testing::Test {
protected:
    void SetUp() override {
        clock.value = at(2026, 12, 9, 9, 0, 5);
        list.set(7, true);
    }
    RecordingTickHost host;
    FakeHooks hooks;
    FakeSession session;
    FakeClock clock;
    UsEnglishLocale locale;
    ScheduleList list;
};

TEST_F(TimerTick, StepsRunInOrder) {
    hooks.lock = hooks.exit = true;

    TickSettings all{true, false, true, true};
    timer_tick({host, hooks, session, clock, locale}, all, list);
    EXPECT_EQ(host.log,
              (Log{"stop", "lock", "icon", "start-up", "run 7", "usage", "9:00:05 AM 12/9/2026", "start"}));
    EXPECT_EQ(session.calls, Log{"restart"});

    // Switched off, nothing pending, modify mode, no status bar: only the timer and the icon.
    host.log.clear();
    session.calls.clear();
    list.set(8, true);
    host.pending = host.run = host.status = false;
    timer_tick({host, hooks, session, clock, locale}, TickSettings{}, list);
    EXPECT_EQ(host.log, (Log{"stop", "icon", "start"}));
    EXPECT_TRUE(session.calls.empty());

    all.exit_logs_off = true;
    host.pending = true;
    host.throw_in_start_up = true;
    host.log.clear();
    EXPECT_THROW(timer_tick({host, hooks, session, clock, locale}, all, list), std::runtime_error);
    EXPECT_EQ(session.calls, Log{"log_off"});
    EXPECT_EQ(host.log.back(), "start");
}

TEST_F(TimerTick, LockedStationStartsNothingButStillEndsTheSessionAndKeepsTheClock) {
    hooks.exit = true;

    TickSettings locked{true, false, false, true};
    locked.locked_down = true;
    timer_tick({host, hooks, session, clock, locale}, locked, list);
    EXPECT_EQ(host.log, (Log{"stop", "icon", "usage", "9:00:05 AM 12/9/2026", "start"}));
    EXPECT_EQ(session.calls, Log{"restart"}) << "the timed exit is no way out of the shell";
    EXPECT_FALSE(list.launched(7)) << "a timed button is not used up while the station is locked";
}

TEST_F(TimerTick, WhileALogInIsOpenTheTickNeitherLocksNorEndsTheSession) {
    // The log-in dialog's own timer watches the exit time while it is up.
    hooks.lock = hooks.exit = true;
    TickSettings all{true, false, true, true};
    all.login_open = true;
    timer_tick({host, hooks, session, clock, locale}, all, list);
    EXPECT_EQ(host.log, (Log{"stop", "icon", "start-up", "run 7", "usage", "9:00:05 AM 12/9/2026", "start"}));
    EXPECT_TRUE(session.calls.empty());
}

class RecordingStartUpHost : public StartUpHost {
public:
    Log log;
    bool loads = true, builds = false, exit_hidden = false;
    std::vector<ButtonView> buttons;
    bool load_desktop(const std::string& path) override {
        log.push_back("load " + path);
        return loads;
    }
    bool new_desktop_procedure() override {
        log.push_back("build");
        return builds;
    }
    void show_first_tab() override { log.push_back("first tab"); }
    std::vector<ButtonView> start_up_buttons() override { return buttons; }
    void click(const ButtonView& b) override { log.push_back("click " + b.caption); }
    bool exit_command_hidden() override { return exit_hidden; }
    void remove_system_menu() override { log.push_back("no system menu"); }
};

TEST(StartUpWork, OpensTheDesktopThenStartUpButtonsThenRunEntries) {
    RecordingStartUpHost host;
    FakeProfile profile;
    FakeProcessApi processes;
    FakePrompter prompter;
    ButtonView a, b;
    a.caption = "A";
    b.caption = "B";
    host.buttons = {a, b};
    host.exit_hidden = true;
    profile.set("WIN.INI", "Windows", "run", "C:\\APPS\\MAIL.EXE; notes.exe ;C:\\GONE\\X.EXE;");
    processes.openable = {"MAIL.EXE", "notes.exe"};
    StartUpState state;
    state.desktop_to_open = "C:\\VX\\OTHER.DTP";
    run_start_up_work({host, profile, processes, prompter}, state);
    EXPECT_EQ(host.log, (Log{"load C:\\VX\\OTHER.DTP", "first tab", "click A", "click B", "no system menu"}));
    EXPECT_EQ(processes.log, (Log{"open MAIL.EXE in [C:\\APPS] show 0", "open notes.exe in [] show 0",
                                  "open X.EXE in [C:\\GONE] show 0"}));
    EXPECT_EQ(prompter.log, Log{"alert Error in launching: Unable to locate C:\\GONE\\X.EXE"});
    EXPECT_TRUE(state.desktop_to_open.empty());
    EXPECT_FALSE(state.pending);
    EXPECT_TRUE(state.shown_desktop_started);
}

TEST(StartUpWork, ADesktopThatDoesNotOpenLeavesTheShownOneAsItWas) {
    RecordingStartUpHost host;
    FakeProfile profile;
    FakeProcessApi processes;
    FakePrompter prompter;
    ButtonView a;
    a.caption = "A";
    host.buttons = {a};
    host.loads = false;
    profile.set("WIN.INI", "Windows", "run", "NOTES.EXE");
    processes.openable = {"NOTES.EXE"};

    // Opened later (a button, "&Open"): the shown desktop has started already and stays so.
    StartUpState state;
    state.shown_desktop_started = true;
    state.desktop_to_open = "C:\\VX\\BROKEN.DTP";
    run_start_up_work({host, profile, processes, prompter}, state);
    EXPECT_EQ(host.log, (Log{"load C:\\VX\\BROKEN.DTP", "build"}));
    EXPECT_TRUE(processes.log.empty()) << processes.log.front();
    EXPECT_FALSE(state.pending);
    EXPECT_TRUE(state.desktop_to_open.empty());

    // The first start's desktop to open fails: the desktop shown instead starts as any first.
    host.log.clear();
    state = StartUpState{};
    state.desktop_to_open = "C:\\VX\\BROKEN.DTP";
    run_start_up_work({host, profile, processes, prompter}, state);
    EXPECT_EQ(host.log, (Log{"load C:\\VX\\BROKEN.DTP", "build", "click A"}));
    EXPECT_EQ(processes.log, Log{"open NOTES.EXE in [] show 0"});

    // A desktop the builder made starts too.
    host.log.clear();
    host.builds = true;
    state.pending = true;
    state.desktop_to_open = "C:\\VX\\BROKEN.DTP";
    run_start_up_work({host, profile, processes, prompter}, state);
    EXPECT_EQ(host.log, (Log{"load C:\\VX\\BROKEN.DTP", "build", "click A"}));
}

TEST(StartUpWork, RunEntriesAreSplitAtSemicolons) {
    EXPECT_EQ(split_run_entries(";;a;b"), (Log{"a", "b"}));
    EXPECT_EQ(split_run_entries(std::string(300, 'x')).front().size(), 255u);
}

}  // namespace
}  // namespace vx::shell
