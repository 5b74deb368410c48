#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "security/usage_log_tracker.h"
#include "security/usage_log_view.h"
#include "unit/usage_log/usage_log_fakes.h"
#include "util/file_io.h"

namespace vx::security {
namespace {

using testing::FakeClock;
using testing::FakeWindows;

const Windows1252Codec kCodec;

class UsageTrackerTest : public ::testing::Test {
protected:
    FakeWindows win;
    FakeClock clock{make_datetime({2026, 3, 5}, {9, 0, 0})};
    UsageTracker tracker{win, clock};

    // Ticks every `step` seconds for `seconds` seconds with `front` in front.
    void in_front(WindowId front, int seconds, int step = 1, const std::string& user = "ANN") {
        win.front = front;
        for (int s = 0; s < seconds; s += step) {
            tracker.track(user);
            clock.advance_seconds(step);
        }
    }
    HoursMinutes used_of(size_t i) const { return used_time(tracker.records().at(i)); }
};

TEST_F(UsageTrackerTest, RecordsTitledWindowsByTheirOwnerAndThread) {
    win.open(1, "Letter - Word", 100);
    win.open(2, "Save As", 100, /*owner=*/1);  // a dialog of the same program
    win.open(3, "", 200);                      // untitled: never recorded
    win.open(4, "Calculator", 300);
    win.open(5, "Second document", 100);  // another window of the same thread

    for (WindowId w : {1, 2, 3, 5, 4}) in_front(w, 2);
    ASSERT_EQ(tracker.records().size(), 2u);
    EXPECT_EQ(tracker.records()[0].program, "Letter - Word");
    EXPECT_EQ(tracker.records()[0].window, 1u);
    EXPECT_EQ(tracker.records()[0].thread, 100u);
    EXPECT_EQ(tracker.records()[1].program, "Calculator");
    EXPECT_TRUE(tracker.records()[1].running());
}

TEST_F(UsageTrackerTest, NobodyLoggedInGivesAnEmptyUserName) {
    win.open(1, "Paint", 7);
    in_front(1, 1, 1, "");
    ASSERT_EQ(tracker.records().size(), 1u);
    EXPECT_EQ(tracker.records()[0].user, "");
}

TEST_F(UsageTrackerTest, UsedTimeGrowsOnlyWhileInFront) {
    win.open(1, "Word", 1);
    win.open(2, "Calc", 2);
    in_front(1, 30);
    EXPECT_EQ(used_text(used_of(0)), " < 1 min");

    in_front(1, 10 * 60, 5);
    in_front(2, 20 * 60, 5);  // Word stays open behind Calc
    in_front(1, 5 * 60, 5);
    // 30 s + 10 min + 5 min, less the first tick of each spell in front, which only marks it.
    EXPECT_EQ(used_of(0), (HoursMinutes{0, 15}));
    EXPECT_EQ(used_of(1), (HoursMinutes{0, 19}));
}

TEST_F(UsageTrackerTest, NoForegroundWindowChangesNothing) {
    win.open(1, "Word", 1);
    in_front(1, 3);
    const auto before = tracker.records();
    in_front(0, 60);
    EXPECT_EQ(tracker.records(), before);
}

TEST_F(UsageTrackerTest, AVanishedWindowEndsAtTheNextTickWhereverItIsListed) {
    win.open(1, "Word", 1);
    win.open(2, "Calc", 2);
    in_front(1, 2);
    in_front(2, 2);
    win.close(2);
    const DateTime closed_at = clock.value;
    in_front(1, 600);  // Word's record comes first, so the walk stops before Calc's
    const UsageRecord& calc = tracker.records()[1];
    EXPECT_FALSE(calc.running());
    EXPECT_EQ(calc.window, 0u);
    EXPECT_DOUBLE_EQ(calc.end_time, closed_at);
}

TEST_F(UsageTrackerTest, AReusedThreadIdStartsANewRecord) {
    win.open(1, "Old program", 55);
    in_front(1, 60);
    win.close(1);
    in_front(0, 1);
    win.open(2, "New program", 55);
    in_front(2, 120);

    ASSERT_EQ(tracker.records().size(), 2u);
    const UsageRecord& old = tracker.records()[0];
    EXPECT_LT(old.used_mark, old.end_time) << "the closed record is not credited";
    EXPECT_EQ(tracker.records()[1].program, "New program");
    EXPECT_EQ(used_of(1), (HoursMinutes{0, 1}));
}

TEST_F(UsageTrackerTest, FlushAppendsClosesOpenRecordsAndEmptiesTheList) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("vx_usage_flush_" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(dir);
    const std::string path = path_to_utf8(dir / "VX.LOG");

    win.open(1, "Word", 1);
    win.open(2, "Calc", 2);
    in_front(1, 60);
    in_front(2, 60);
    win.close(2);
    in_front(1, 5);
    const DateTime calc_end = tracker.records()[1].end_time;
    clock.advance_seconds(100);
    tracker.flush(path, kCodec);
    EXPECT_TRUE(tracker.records().empty());

    // A second run appends after the first.
    in_front(1, 5);
    tracker.flush(path, kCodec);

    const auto log = read_usage_log(path, kCodec);
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].program, "Word");
    EXPECT_NEAR(log[0].end_time, calc_end + 105.0 / 86400, 1e-9);
    EXPECT_DOUBLE_EQ(log[1].end_time, calc_end);
    for (const auto& r : log) {
        EXPECT_EQ(r.window, 0u);
        EXPECT_EQ(r.last_seen, r.end_time);
        EXPECT_FALSE(r.running());
    }

    // A failing write still empties the list, and says so.
    in_front(1, 5);
    EXPECT_THROW(tracker.flush(path_to_utf8(dir / "gone" / "VX.LOG"), kCodec), FileError);
    EXPECT_TRUE(tracker.records().empty());
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}

}  // namespace
}  // namespace vx::security
