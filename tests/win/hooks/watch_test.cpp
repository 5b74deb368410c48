#include <gtest/gtest.h>

#include <climits>

#include "watch.h"

namespace vxhooks {
namespace {

constexpr uint32_t kMinute = 60000;

LocalTime at(int32_t day, int32_t hour, int32_t minute) {
    return {day, hour * 60 + minute};
}

TEST(HooksWatch, IdleLockDecision) {
    struct Case {
        const char* what;
        bool armed;
        int32_t minutes;
        uint32_t now, last_input;
        bool due;
    };
    const Case cases[] = {
        {"not armed", false, 15, 100 * kMinute, 0, false},
        {"lock time 0 never locks", true, 0, 100 * kMinute, 0, false},
        {"negative lock time never locks", true, -5, 100 * kMinute, 0, false},
        {"just short of the time", true, 15, 15 * kMinute - 1, 0, false},
        {"exactly the time", true, 15, 15 * kMinute, 0, true},
        {"long idle", true, 15, 500 * kMinute, 10, true},
        {"input stamped after the sampled tick", true, 15, 1000, 1005, false},
        {"tick count wrapped during the idle spell", true, 15, 0xFFFFFF00u + 15 * kMinute, 0xFFFFFF00u, true},
        {"tick count wrapped, not yet idle long enough", true, 15, 0xFFFFFF00u + kMinute, 0xFFFFFF00u, false},
        {"lock time beyond any reachable idle spell", true, INT32_MAX, 0x7FFFFFFFu, 0, false},
    };
    for (const Case& c : cases) {
        Watch w;
        w.set_armed(c.armed);
        w.set_lock_minutes(c.minutes);
        EXPECT_EQ(w.lock_due(c.now, c.last_input), c.due) << c.what;
        // The answer holds until the next input, however often it is asked.
        EXPECT_EQ(w.lock_due(c.now, c.last_input), c.due) << c.what << " (asked again)";
    }
}

TEST(HooksWatch, ExitReportsOncePerDayAtTheFirstCheckOnOrAfterTheTime) {
    Watch w;
    w.set_armed(true);
    w.set_exit_minute(17 * 60, at(1, 9, 0));
    EXPECT_FALSE(w.exit_due(at(1, 16, 59)));
    EXPECT_TRUE(w.exit_due(at(1, 17, 0)));
    EXPECT_FALSE(w.exit_due(at(1, 17, 0))) << "once a day";
    EXPECT_FALSE(w.exit_due(at(1, 23, 59)));
    EXPECT_FALSE(w.exit_due(at(2, 9, 0))) << "the new day's time has not come";
    EXPECT_TRUE(w.exit_due(at(2, 17, 25))) << "a late check (a sleeping machine) still reports";
    EXPECT_FALSE(w.exit_due(at(2, 17, 26)));
    EXPECT_TRUE(w.exit_due(at(3, 18, 0))) << "a day whose time passed between two checks";
}

TEST(HooksWatch, ExitTimeAlreadyGoneByWhenSetWaitsForTomorrow) {
    // A station restarted by the timed exit starts after the exit time: it must not end the
    // new session at once (and again after every restart until midnight).
    for (const LocalTime started : {at(1, 17, 0), at(1, 17, 2), at(1, 23, 59)}) {
        Watch w;
        w.set_armed(true);
        w.set_exit_minute(17 * 60, started);
        EXPECT_FALSE(w.exit_due(started)) << started.minute;
        EXPECT_FALSE(w.exit_due(at(1, 23, 59))) << started.minute;
        EXPECT_TRUE(w.exit_due(at(2, 17, 0))) << started.minute;
    }
    Watch midnight;
    midnight.set_armed(true);
    midnight.set_exit_minute(0, at(1, 10, 0));
    EXPECT_FALSE(midnight.exit_due(at(1, 23, 59)));
    EXPECT_TRUE(midnight.exit_due(at(2, 0, 0)));
}

TEST(HooksWatch, ExitTimesOutsideTheDayNeverReport) {
    for (const int32_t minute : {-1, 24 * 60, 5000, INT32_MAX, INT32_MIN}) {
        Watch w;
        w.set_armed(true);
        w.set_exit_minute(minute, at(1, 0, 0));
        for (const LocalTime t : {at(1, 0, 0), at(1, 12, 0), at(1, 23, 59), at(2, 23, 59)})
            EXPECT_FALSE(w.exit_due(t)) << minute << " at " << t.minute;
    }
}

TEST(HooksWatch, ArmingStartsFromScratchAndDisarmingSilencesBoth) {
    Watch w;
    w.set_lock_minutes(1);
    w.set_exit_minute(600, at(1, 9, 0));
    EXPECT_FALSE(w.lock_due(10 * kMinute, 0)) << "times set before arming count for nothing";
    EXPECT_FALSE(w.exit_due(at(1, 10, 0)));

    w.set_armed(true);
    w.set_lock_minutes(1);
    w.set_exit_minute(600, at(1, 9, 0));
    w.set_armed(false);
    EXPECT_FALSE(w.lock_due(10 * kMinute, 0));
    EXPECT_FALSE(w.exit_due(at(1, 10, 0)));

    // Arming again with only the exit time on (idle lock turned off since): the old lock time
    // must not come back.
    w.set_armed(true);
    w.set_exit_minute(600, at(1, 9, 0));
    EXPECT_FALSE(w.lock_due(10 * kMinute, 0));
    EXPECT_TRUE(w.exit_due(at(1, 10, 0)));

    w.clear();
    w.set_lock_minutes(1);
    EXPECT_FALSE(w.lock_due(10 * kMinute, 0)) << "cleared means disarmed";
}

}  // namespace
}  // namespace vxhooks
