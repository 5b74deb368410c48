#include <gtest/gtest.h>

#include <limits>
#include <random>

#include "security/usage_log_view.h"

namespace vx::security {
namespace {

const Windows1252Codec kCodec;
const UsEnglishLocale kLocale;

std::string sample_path() {
    return std::string(VX_FIXTURES_DIR) + "/usage_log/sample.log";
}

DateTime at(int day, int h, int m, double s = 0) {
    return make_datetime({2026, 3, day}, {h, m, 0}) + s / 86400.0;
}

UsageRecord rec(std::string program, std::string user, DateTime start, double used_minutes = 0,
                double end_minutes = 60) {
    UsageRecord r;
    r.program = std::move(program);
    r.user = std::move(user);
    r.start_time = start;
    r.used_mark = start + used_minutes / 1440.0;
    r.end_time = start + end_minutes / 1440.0;
    r.last_seen = r.end_time;
    return r;
}

TEST(UsageFilter, ProgramFilterIsPrefixOrAnywhereWithoutCase) {
    struct Case {
        const char* filter;
        const char* program;
        bool passes;
    };
    const Case cases[] = {
        {"", "Letter - Word", true},
        {"*word", "Letter - Word", true},
        {"word", "Letter - Word", false},
        {"LETTER", "Letter - Word", true},
        {"*", "anything", true},
        {"*ter - w", "Letter - Word", true},
        {"Letter - Word and more", "Letter - Word", false},
        {"*CAF\xC3\x89", "Un caf\xC3\xA9", true},  // accented letters of the ANSI page fold too
        {"caf\xC3\xA9", "CAF\xC3\x89", true},
    };
    for (const auto& c : cases) {
        UsageQuery q;
        q.program_filter = c.filter;
        EXPECT_EQ(UsageFilter(q).passes(rec(c.program, "ANN", at(5, 9, 0))), c.passes)
            << "filter '" << c.filter << "' on '" << c.program << "'";
    }
}

TEST(UsageFilter, UserIsAllOrExact) {
    const UsageRecord r = rec("Word", "ANN", at(5, 9, 0));
    for (auto [user, passes] : std::vector<std::pair<std::string, bool>>{
             {"ALL", true}, {"ANN", true}, {"ann", false}, {"AN", false}, {"", false}}) {
        UsageQuery q;
        q.user = user;
        EXPECT_EQ(UsageFilter(q).passes(r), passes) << user;
    }
    UsageQuery q;
    q.user = "";
    EXPECT_TRUE(UsageFilter(q).passes(rec("Word", "", at(5, 9, 0)))) << "records of nobody logged in";
}

TEST(UsageFilter, DateRangeCoversWholeDays) {
    UsageQuery q;
    q.first_day = at(5, 14, 30);  // a time part in the setting does not cut the first day
    q.last_day = at(5, 8, 0);
    const UsageFilter f(q);
    struct Case {
        DateTime start;
        bool passes;
    };
    const Case cases[] = {
        {at(5, 0, 0), true},          {at(5, 23, 59), true}, {at(5, 23, 59, 59.5), true},
        {at(4, 23, 59, 59.9), false}, {at(6, 0, 0), false},
    };
    for (const auto& c : cases) EXPECT_EQ(f.passes(rec("W", "U", c.start)), c.passes) << c.start;
}

TEST(UsageRows, TextsAndTotalsAsTheListShowsThem) {
    UsageQuery q;
    const UsageView v = load_usage_view(sample_path(), kCodec, {}, true, q);
    ASSERT_EQ(v.rows.size(), 3u);
    EXPECT_EQ(usage_row_text(v.rows[0], kLocale), "3/4/2026|Paint|10:00:00 AM|Running| < 1 min|");
    EXPECT_EQ(usage_row_text(v.rows[1], kLocale),
              "3/5/2026|Letter - Word|9:00:00 AM|9:50:00 AM|0 hr 35 min|ANN");
    EXPECT_EQ(usage_row_text(v.rows[2], kLocale),
              "3/5/2026|Caf\xC3\xA9 Calc|11:59:00 PM|12:29:00 AM|0 hr 25 min|bob");
    EXPECT_EQ(usage_total_text(v.total), "Total| | | |1 hr 0 min") << "35 + 25 minutes carry into an hour";

    // Whole days count as 24 hours; minutes carry one hour at a time.
    std::vector<UsageRecord> recs = {rec("A", "U", at(1, 8, 0), 26 * 60 + 5, 27 * 60),
                                     rec("B", "U", at(2, 8, 0), 59), rec("C", "U", at(3, 8, 0), 59.99)};
    UsageViewBuilder b(q);
    for (auto& r : recs) b.offer(r);
    const UsageView w = std::move(b).finish();
    EXPECT_EQ(usage_row_columns(w.rows[0], kLocale)[4], "26 hr 5 min");
    EXPECT_EQ(w.total, (HoursMinutes{28, 3}));
    EXPECT_EQ(usage_total_text(UsageView{}.total), "Total| | | |0 hr 0 min");
}

// The viewer's own way: each kept record goes in before the first entry that sorts after it,
// names compared as the file stores them.
std::vector<UsageRecord> insertion_order(const std::vector<UsageRecord>& in, UsageSort sort) {
    auto after = [&](const UsageRecord& e, const UsageRecord& x) {
        switch (sort) {
            case UsageSort::ByProgram:
                return kCodec.from_utf8(e.program) > kCodec.from_utf8(x.program);
            case UsageSort::ByUser:
                return kCodec.from_utf8(upper_case(e.user)) > kCodec.from_utf8(upper_case(x.user));
            default:
                return e.start_time > x.start_time;
        }
    };
    std::vector<UsageRecord> out;
    for (const auto& x : in) {
        auto it = out.begin();
        while (it != out.end() && !after(*it, x)) ++it;
        out.insert(it, x);
    }
    return out;
}

TEST(UsageRows, SortOrdersEqualTheOneByOneInsertion) {
    std::mt19937 rng(1234);
    // The OE ligature sorts below e-acute in the ANSI page but above it in code points.
    const char* programs[] = {"Word", "word", "Calc", "Caf\xC3\xA9", "\xC5\x92uvre", "Paint", "Word 2"};
    const char* users[] = {"ann",
                           "ANN",
                           "Bob",
                           "",
                           "bob",
                           "\xC3\xA9ve",
                           "\xC5\x93"
                           "dipe"};
    std::vector<UsageRecord> recs;
    for (int i = 0; i < 400; ++i) {
        UsageRecord r = rec(programs[rng() % 7], users[rng() % 7], at(5, static_cast<int>(rng() % 4), 0));
        r.thread = static_cast<std::uint32_t>(i);  // tells equal-keyed records apart
        recs.push_back(r);
    }
    for (UsageSort s : {UsageSort::ByDate, UsageSort::ByProgram, UsageSort::ByUser}) {
        std::vector<UsageRecord> sorted = recs;
        sort_usage_rows(sorted, s, &kCodec);
        EXPECT_EQ(sorted, insertion_order(recs, s)) << static_cast<int>(s);
    }
    // ASCII-only names take the path without keys.
    std::vector<UsageRecord> plain;
    for (const auto& r : recs)
        if (r.program[0] == 'W' || r.program[0] == 'w' || r.program[0] == 'P') plain.push_back(r);
    std::vector<UsageRecord> sorted = plain;
    sort_usage_rows(sorted, UsageSort::ByProgram, &kCodec);
    EXPECT_EQ(sorted, insertion_order(plain, UsageSort::ByProgram));
}

TEST(UsageView, GatheredRecordsJoinUnlessAnotherFileIsViewed) {
    const std::vector<UsageRecord> gathered = {rec("Notepad", "ANN", at(5, 10, 0), 0.5, 0)};
    UsageQuery q;
    q.first_day = q.last_day = at(5, 0, 0);
    q.sort = UsageSort::ByProgram;

    const UsageView own = load_usage_view(sample_path(), kCodec, gathered, false, q);
    ASSERT_EQ(own.rows.size(), 3u);
    EXPECT_EQ(own.rows[2].program, "Notepad");
    EXPECT_EQ(usage_row_columns(own.rows[2], kLocale)[3], "Running");

    EXPECT_EQ(load_usage_view(sample_path(), kCodec, gathered, true, q).rows.size(), 2u);

    const UsageView fresh =
        load_usage_view(std::string(VX_FIXTURES_DIR) + "/usage_log/none.log", kCodec, gathered, false, q);
    EXPECT_EQ(fresh.rows.size(), 1u) << "no log yet: this run's records alone";
}

TEST(UsageView, ImpossibleDatesAreLeftOutAndCounted) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    UsageRecord bad_start = rec("A", "U", at(5, 9, 0));
    bad_start.start_time = nan;
    UsageRecord bad_used = rec("B", "U", at(5, 9, 0));
    bad_used.used_mark = 1e300;
    UsageViewBuilder b(UsageQuery{});
    b.offer(bad_start);
    b.offer(bad_used);
    b.offer(rec("C", "U", at(5, 9, 0), 3));
    const UsageView v = std::move(b).finish();
    ASSERT_EQ(v.rows.size(), 1u);
    EXPECT_EQ(v.damaged, 2u);
    EXPECT_EQ(v.total, (HoursMinutes{0, 3}));
}

}  // namespace
}  // namespace vx::security
