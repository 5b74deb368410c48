#include "shell/station.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "port/locale.h"
#include "port/text_codec.h"
#include "shell/page_nav.h"
#include "shell/user_restrictions.h"
#include "unit/scratch_dir.h"
#include "unit/shell/fakes.h"
#include "util/file_io.h"

namespace vx::shell {
namespace {

namespace fs = std::filesystem;
using testing::FakePrompter;
using testing::FakeSession;
using testing::MemoryStore;
using Log = std::vector<std::string>;

// What a view is told, with whether the station was locked when it was told.
class RecordingView final : public StationView {
public:
    explicit RecordingView(const Station& station) : station_(station) {}
    void desktop_leaving() override {
        log.push_back("leaving " + std::to_string(station_.desktop().pages().size()));
    }
    void station_changed(StationChange what) override {
        const char* names[] = {"desktop", "lock", "user"};
        log.push_back(std::string(names[static_cast<int>(what)]) + (station_.locked() ? " locked" : ""));
    }
    Log log;

private:
    const Station& station_;
};

// ADMIN is an administrator; the settings line (its fields: idle lock, idle time, usage log,
// mark, validate users, system keys, ...) is the test's.
std::string admin_text(const std::string& settings) {
    return "Security=" + settings +
           "\r\nGroup=Admins\r\nGroupSecurity=1000\r\nUser=ADMIN\r\nPassword=Root\r\nStartTime=12:00:00 "
           "AM\r\n"
           "EndTime=11:59:59 PM\r\nLaunchDay=4095\r\nUserGroup=0\r\n";
}

class StationTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(station.read_settings(dir_.str()), "");
        station.set_session(&session);
    }

    std::string path(const char* name) const { return dir_.file(name); }
    DesktopReadPorts ports() { return {locale, codec, prompter, nullptr}; }
    AdminReadReport read_admin() {
        EXPECT_TRUE(station.begin_admin_read());
        const AdminReadReport report = station.read_admin_file({locale, codec, kNow, kNow, {}});
        station.end_admin_read();
        return report;
    }
    void write_admin(const std::string& text) { write_file_atomic(path("ADMAN.ADM"), text); }
    // The log-in dialog's part: it records who passed.
    void pass_as_admin() { station.edit_admin().logged_in = station.admin().find_user("ADMIN"); }

    static constexpr DateTime kNow = 46000.5;
    vx::testing::ScratchDir dir_;
    const UsEnglishLocale locale;
    const Windows1252Codec codec;
    FakePrompter prompter;
    FakeSession session;
    MemoryStore store;
    Station station{store};
    RecordingView view{station};
    Station::Subscription subscription = station.subscribe(view);
};

TEST_F(StationTest, ADesktopTakesThePlaceOfTheShownOneOnlyOnceItHasRead) {
    // Nothing there at the start: the starter desktop, in memory only.
    station.open_at_start(ports(), kNow);
    EXPECT_TRUE(station.opened());
    ASSERT_EQ(station.desktop().pages().size(), 2u);
    EXPECT_EQ(station.desktop().pages()[1]->name, "StartUp");
    EXPECT_FALSE(fs::exists(dir_.path() / "VX.DTP"));
    EXPECT_EQ(view.log, (Log{"leaving 0", "desktop"}));

    write_file_atomic(path("B.DTP"), std::string("2\r\nMaster=\r\nPageTitle=One\r\nPageTitle=Two\r\n"));
    EXPECT_EQ(station.open(path("B.DTP"), ports(), kNow).outcome, DesktopReadOutcome::Loaded);
    EXPECT_EQ(station.settings().desktop_file, path("B.DTP"));
    EXPECT_EQ(station.tab_count(), 2);
    EXPECT_EQ(station.current_tab(), -1) << "no page shows until a tab is chosen";

    write_file_atomic(path("C.DTP"), std::string("2\r\nMaster=\r\nPageTitle=One\r\nPageDim=ten 10\r\n"));
    view.log.clear();
    EXPECT_EQ(station.open(path("C.DTP"), ports(), kNow).outcome, DesktopReadOutcome::Damaged);
    EXPECT_EQ(station.open(path("NONE.DTP"), ports(), kNow).outcome, DesktopReadOutcome::Missing);
    EXPECT_TRUE(view.log.empty()) << "the shown desktop never left";
    EXPECT_EQ(station.settings().desktop_file, path("B.DTP"));
    EXPECT_EQ(station.desktop().pages()[1]->name, "Two");

    station.desktop().set_current(station.desktop().pages()[1].get());
    EXPECT_EQ(station.current_tab(), 1);
    station.clear();
    EXPECT_TRUE(station.desktop().pages().empty());
    EXPECT_EQ(station.current_tab(), -1);
    EXPECT_EQ(view.log, (Log{"leaving 2", "desktop"}));
}

TEST_F(StationTest, ADemandedLogInThatNobodyPassesLocksUntilSomeoneDoes) {
    write_admin(admin_text("0 0 0 0 1 0 0 0 0 0"));
    EXPECT_EQ(read_admin().outcome, AdminRead::Clean);
    EXPECT_TRUE(station.after_admin_load());
    station.open_at_start(ports(), kNow);
    view.log.clear();

    LoginStart start = station.begin_login();
    ASSERT_TRUE(start.ok());
    EXPECT_TRUE(start.demanded);
    EXPECT_TRUE(station.login_open());
    EXPECT_TRUE(station.tick_settings().login_open);
    EXPECT_EQ(station.begin_login().refused, LoginRefusal::AlreadyOpen) << "one dialog at a time";

    EXPECT_FALSE(station.end_login(start, false));
    EXPECT_FALSE(station.login_open());
    EXPECT_TRUE(station.locked());
    EXPECT_TRUE(station.tick_settings().locked_down);
    EXPECT_EQ(station.locked_text(), "This station is locked.");
    EXPECT_EQ(station.tab_count(), 0) << "a locked station shows no tabs";
    EXPECT_EQ(session.calls, Log{"keys_unlocked"});
    EXPECT_EQ(view.log, Log{"lock locked"});

    start = station.begin_login();
    ASSERT_TRUE(start.ok());
    pass_as_admin();
    EXPECT_TRUE(station.end_login(start, true));
    EXPECT_FALSE(station.locked());
    EXPECT_EQ(station.tab_count(), 1) << "\"Page 1\"; \"StartUp\" has no tab";
    EXPECT_EQ(station.user_name(), "ADMIN");
    EXPECT_TRUE(station.administrator());
    EXPECT_TRUE(station.menu_guards().has_value());
    // The tabs come back before the menu follows the user.
    EXPECT_EQ(view.log, (Log{"lock locked", "lock", "user"}));
}

TEST_F(StationTest, WhoMayBeAskedToLogIn) {
    // No file at all: nobody could pass, and F10 alone must not shut the station for good.
    EXPECT_EQ(read_admin().outcome, AdminRead::Absent);
    EXPECT_EQ(station.begin_login().refused, LoginRefusal::NobodyCanPass);
    EXPECT_FALSE(station.locked());

    // A file with users that does not demand a log-in: asked for, missed, the station stays open
    // and the keys stay as the file wants them.
    write_admin(admin_text("0 0 0 0 0 1 0 0 0 0"));
    EXPECT_EQ(read_admin().outcome, AdminRead::Clean);
    EXPECT_FALSE(station.after_admin_load());
    EXPECT_EQ(session.calls, Log{"keys_locked"});
    const LoginStart start = station.begin_login();
    ASSERT_TRUE(start.ok());
    EXPECT_FALSE(start.demanded);
    EXPECT_FALSE(station.end_login(start, false));
    EXPECT_FALSE(station.locked());
    EXPECT_EQ(session.calls, Log{"keys_locked"});
}

TEST_F(StationTest, ADamagedAdministrationFileLocksUntilItReadsAndLeavesNothingOfItself) {
    write_admin("Security=0 0 0 0 1 0 0 0 0 0\r\nGroup=Pupils\r\nGroupSecurity=five\r\nUser=ANN\r\n");
    AdminReadReport report = read_admin();
    EXPECT_EQ(report.outcome, AdminRead::Failed);
    EXPECT_FALSE(report.error.empty());
    EXPECT_FALSE(report.failure.empty());
    EXPECT_TRUE(station.locked());
    EXPECT_TRUE(station.admin().groups.empty()) << "nothing of a half-read file counts";
    EXPECT_EQ(station.begin_login().refused, LoginRefusal::Damaged);
    EXPECT_NE(station.locked_text().find("cannot be read"), std::string::npos);
    EXPECT_TRUE(station.tick_settings().locked_down);

    // Told once, however often it is tried again.
    EXPECT_TRUE(read_admin().error.empty());

    write_admin(admin_text("0 0 0 0 0 0 0 0 0 0"));
    report = read_admin();
    EXPECT_EQ(report.outcome, AdminRead::Clean);
    EXPECT_FALSE(station.locked());
    EXPECT_EQ(station.admin().users.size(), 1u);
}

TEST_F(StationTest, TheEndOfShellWorkIsDoneOnceBeforeAForcedEnd) {
    write_admin(admin_text("0 0 0 0 0 1 0 0 0 0"));
    ASSERT_EQ(read_admin().outcome, AdminRead::Clean);
    station.after_admin_load();
    station.edit_settings().last_program = "NOTEPAD";

    EXPECT_TRUE(station.session().log_off(true));
    EXPECT_EQ(session.calls, (Log{"keys_locked", "keys_unlocked", "log_off forced"}));
    EXPECT_EQ(store.read("", "LastProgram"), "NOTEPAD");
    EXPECT_TRUE(station.end_of_shell().done());
    EXPECT_TRUE(station.end_of_shell().run().empty());
    EXPECT_EQ(session.calls.size(), 3u);
}

TEST(StationSession, WithoutOneSetTheDefaultIsMadeWhenFirstNeeded) {
    MemoryStore store;
    Station station(store);
    EXPECT_THROW(station.session(), std::logic_error);
    int made = 0;
    FakeSession system;
    station.set_default_session([&]() -> SessionApi& {
        ++made;
        return system;
    });
    EXPECT_EQ(made, 0);
    station.session().set_system_keys_locked(true);
    station.session().set_system_keys_locked(false);
    EXPECT_EQ(made, 1);
    EXPECT_EQ(system.calls, (Log{"keys_locked", "keys_unlocked"}));
}

TEST(StationRules, TheMainTimersPeriod) {
    model::Page page;
    for (auto [interval, period] : {std::pair{0, 50}, {49, 50}, {50, 50}, {350, 350}}) {
        page.interval = interval;
        EXPECT_EQ(main_timer_interval(&page), period) << interval;
    }
    EXPECT_EQ(main_timer_interval(nullptr), 1000);
}

TEST(StationRules, WhatTheLoggedInUserMayReach) {
    security::AdminData admin;
    admin.groups.push_back({});
    admin.groups[0].name = "Pupils";
    admin.groups[0].level = 5;
    admin.users.push_back({});
    admin.users[0].name = "ANN";
    admin.users[0].groups = {0};
    admin.drives[3] = 6;
    admin.forbidden_extensions = "EXE|";
    admin.directories = {{"C:\\OPEN", 5}, {"C:\\STAFF", 6}, {"*:\\SECRET", 0}};

    const RunRestrictions r = run_restrictions(admin);
    EXPECT_TRUE(r.drive_barred('D'));
    EXPECT_FALSE(r.drive_barred('C'));
    EXPECT_TRUE(r.extension_forbidden("EXE"));

    // Nobody logged in passes no folder; ANN passes her own level.
    EXPECT_EQ(restricted_folders(admin, {}), "C:\\OPEN|C:\\STAFF|*:\\SECRET|");
    admin.logged_in = 0;
    EXPECT_EQ(restricted_folders(admin, {}), "C:\\STAFF|");
}

}  // namespace
}  // namespace vx::shell
