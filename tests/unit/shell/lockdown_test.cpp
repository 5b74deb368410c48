// The rules that keep the station shut and its data whole: the end-of-shell work done once,
// the administration file's locked-down state and when it is read again, and keys that act
// on release.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "shell/admin_state.h"
#include "shell/end_of_shell.h"
#include "shell/key_release.h"
#include "unit/shell/fakes.h"

namespace vx::shell {
namespace {

using testing::FakeSession;
using Log = std::vector<std::string>;

// Every step logs its name into `log`; the settings step fails when asked to.
struct Steps {
    Log log;
    bool settings_fail = false;
    void install(EndOfShell& end) {
        end.set(EndStep::EncipherProtectedFiles, [this] { log.push_back("encipher"); });
        end.set(EndStep::AppendUsageRecords, [this] { log.push_back("records"); });
        end.set(EndStep::WriteSettings, [this] {
            log.push_back("settings");
            if (settings_fail) throw std::runtime_error("registry full");
        });
        end.set(EndStep::ReleaseSystemKeys, [this] { log.push_back("keys"); });
        end.set(EndStep::RemoveHooks, [this] { log.push_back("hooks"); });
    }
};

TEST(EndOfShell, RunsEveryStepOnceInOrderAndAFailureDoesNotStopTheRest) {
    EndOfShell end;
    Steps steps;
    steps.settings_fail = true;
    steps.install(end);
    EXPECT_FALSE(end.done());
    EXPECT_EQ(end.run(), Log{"writing the settings: registry full"});
    EXPECT_EQ(steps.log, (Log{"encipher", "records", "settings", "keys", "hooks"}));
    EXPECT_TRUE(end.done());

    // The session's end, the window's destruction and a forced exit may all come: once only.
    EXPECT_TRUE(end.run().empty());
    EXPECT_TRUE(end.save_now().empty());
    EXPECT_EQ(steps.log.size(), 5u);
}

TEST(EndOfShell, AStepThatEndsTheSessionAgainDoesNotStartTheStepsOver) {
    EndOfShell end;
    Log log;
    end.set(EndStep::EncipherProtectedFiles, [&] {
        log.push_back("encipher");
        EXPECT_TRUE(end.run().empty());
    });
    end.set(EndStep::RemoveHooks, [&] { log.push_back("hooks"); });
    end.run();
    EXPECT_EQ(log, (Log{"encipher", "hooks"}));
}

TEST(EndOfShell, SaveNowKeepsOnlyWhatCanBeKeptTwice) {
    EndOfShell end;
    Steps steps;
    steps.install(end);
    EXPECT_TRUE(end.save_now().empty());
    EXPECT_EQ(steps.log, (Log{"records", "settings"}));
    EXPECT_FALSE(end.done()) << "the shell goes on whole if Windows cancels the end";
    end.run();
    EXPECT_EQ(steps.log, (Log{"records", "settings", "encipher", "records", "settings", "keys", "hooks"}));
}

TEST(EndingSession, ForcedEndsDoTheWorkFirstUnforcedOnesSaveWhatTheyCan) {
    FakeSession inner;
    EndOfShell end;
    Steps steps;
    steps.install(end);
    end.set(EndStep::ReleaseSystemKeys, [&] { inner.set_system_keys_locked(false); });
    EndingSession session(inner, end);
    Log reported;
    session.set_reporter([&](const std::string& f) { reported.push_back(f); });

    session.set_system_keys_locked(true);
    EXPECT_TRUE(session.log_off());
    EXPECT_EQ(steps.log, (Log{"records", "settings"}));
    EXPECT_TRUE(session.restart());
    EXPECT_TRUE(session.shut_down());
    EXPECT_FALSE(end.done());
    EXPECT_EQ(inner.calls, (Log{"keys_locked", "log_off", "restart", "shut_down"}));

    steps.log.clear();
    steps.settings_fail = true;
    EXPECT_TRUE(session.log_off(true));
    EXPECT_EQ(steps.log, (Log{"encipher", "records", "settings", "hooks"}));
    EXPECT_EQ(reported, Log{"writing the settings: registry full"});
    // The keys were let go before Windows was asked, not after.
    EXPECT_EQ(inner.calls, (Log{"keys_locked", "log_off", "restart", "shut_down", "keys_unlocked", "log_off forced"}));

    steps.log.clear();
    EXPECT_TRUE(session.restart(true));
    EXPECT_TRUE(steps.log.empty()) << "done once";
}

DateTime at_seconds(int s) {
    return make_datetime({2026, 5, 4}, {10, 0, 0}) + s / 86400.0;
}

TEST(AdminFileState, ADamagedFileLocksReportsOnceAndUnlocksWhenRepaired) {
    AdminFileState state;
    EXPECT_FALSE(state.read_on_activation(false)) << "no file: nothing to read";
    EXPECT_TRUE(state.read_on_activation(true));

    ASSERT_TRUE(state.begin_read());
    // While the read (and the message about it) is under way, activations read nothing.
    EXPECT_FALSE(state.read_on_activation(true));
    EXPECT_FALSE(state.begin_read());
    AdminReadAction a = state.record(AdminRead::Failed, "'abc' is not a valid integer value", at_seconds(0));
    EXPECT_FALSE(state.read_on_activation(true)) << "nor while the message about it is up";
    state.end_read();
    EXPECT_TRUE(a.show_error);
    EXPECT_FALSE(a.unlocked);
    EXPECT_TRUE(state.damaged());
    EXPECT_EQ(state.error(), "'abc' is not a valid integer value");

    // Tried again on activation and on the timer, but told only once.
    EXPECT_TRUE(state.read_on_activation(true));
    EXPECT_FALSE(state.read_on_timer(at_seconds(AdminFileState::kRetrySeconds - 1)));
    EXPECT_TRUE(state.read_on_timer(at_seconds(AdminFileState::kRetrySeconds)));
    EXPECT_TRUE(state.read_on_timer(at_seconds(-3600))) << "a clock set back does not hold the retry off";
    ASSERT_TRUE(state.begin_read());
    a = state.record(AdminRead::Failed, "'13/45/2099' is not a valid date", at_seconds(10));
    state.end_read();
    EXPECT_FALSE(a.show_error);
    EXPECT_EQ(state.error(), "'13/45/2099' is not a valid date") << "the locked screen says what is wrong now";

    // The file gone (a network folder that went away) is no reason to open the station.
    ASSERT_TRUE(state.begin_read());
    a = state.record(AdminRead::Absent, "cannot be found", at_seconds(20));
    state.end_read();
    EXPECT_FALSE(a.show_error);
    EXPECT_FALSE(a.unlocked);
    EXPECT_TRUE(state.damaged());
    EXPECT_EQ(state.error(), "cannot be found");

    ASSERT_TRUE(state.begin_read());
    a = state.record(AdminRead::Clean, "", at_seconds(30));
    state.end_read();
    EXPECT_TRUE(a.unlocked);
    EXPECT_TRUE(state.loaded());
    EXPECT_FALSE(state.read_on_activation(true)) << "a file read cleanly is not read at every activation";
    EXPECT_FALSE(state.read_on_timer(at_seconds(100)));
}

TEST(AdminFileState, NoFileOrACleanFirstReadNeverLocks) {
    AdminFileState state;
    ASSERT_TRUE(state.begin_read());
    AdminReadAction a = state.record(AdminRead::Absent, "", at_seconds(0));
    state.end_read();
    EXPECT_FALSE(a.show_error || a.unlocked);
    EXPECT_EQ(state.status(), AdminFileStatus::NotRead);
    EXPECT_FALSE(state.read_on_timer(at_seconds(60)));

    ASSERT_TRUE(state.begin_read());
    a = state.record(AdminRead::Clean, "", at_seconds(1));
    state.end_read();
    EXPECT_FALSE(a.unlocked) << "nothing was locked";
    EXPECT_TRUE(state.loaded());
}

TEST(KeyReleases, ActOnceOnReleaseWithThePressesModifiers) {
    constexpr std::uint16_t kCtrl = 0x4000;
    KeyReleases keys;
    struct Step {
        const char* what;
        bool down;
        std::uint16_t key, shortcut;
        bool repeat;
        std::uint16_t released;  // what release() gives
    } steps[] = {
        {"Ctrl+K down", true, 'K', 'K' | kCtrl, false, 0},
        {"auto-repeat while held", true, 'K', 'K' | kCtrl, true, 0},
        {"repeat reads Ctrl released", true, 'K', 'K', true, 0},
        {"K up: Ctrl+K, once", false, 'K', 0, false, 'K' | kCtrl},
        {"a second release is nothing", false, 'K', 0, false, 0},
        {"Escape up, pressed in a dialog", false, 0x1B, 0, false, 0},
        {"repeats of a press seen elsewhere", true, 'M', 'M', true, 0},
        {"M up after them", false, 'M', 0, false, 0},
        {"two keys held: A down", true, 'A', 'A', false, 0},
        {"B down", true, 'B', 'B', false, 0},
        {"A up", false, 'A', 0, false, 'A'},
        {"B up", false, 'B', 0, false, 'B'},
    };
    for (const Step& s : steps) {
        if (s.down)
            keys.press(s.key, s.shortcut, s.repeat);
        else
            EXPECT_EQ(keys.release(s.key), s.released) << s.what;
    }
    keys.press('Q', 'Q', false);
    EXPECT_TRUE(keys.any_held());
    keys.clear();
    EXPECT_EQ(keys.release('Q'), 0) << "the focus went elsewhere while it was held";
}

}  // namespace
}  // namespace vx::shell
