#include <gtest/gtest.h>

#include <filesystem>

#include "port/locale.h"
#include "port/text_codec.h"
#include "util/datetime.h"
#include "util/file_io.h"

namespace vx {
namespace {

TEST(DateTime, KnownDayNumbersAndWeekdays) {
    struct Case {
        CivilDate date;
        int64_t days;
        int weekday;
    } cases[] = {
        {{1899, 12, 30}, 0, 6},    {{1900, 1, 1}, 2, 1},      {{1998, 12, 25}, 36154, 5},
        {{2026, 12, 9}, 46365, 3}, {{2000, 2, 29}, 36585, 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(days_from_civil(c.date), c.days) << c.date.year << "-" << c.date.month;
        const CivilDate back = civil_from_days(c.days);
        EXPECT_EQ(back.year, c.date.year);
        EXPECT_EQ(back.month, c.date.month);
        EXPECT_EQ(back.day, c.date.day);
        EXPECT_EQ(day_of_week(static_cast<double>(c.days) + 0.75), c.weekday);
    }
}

TEST(DateTime, TimeOfDayRoundsToTheMillisecond) {
    const DateTime dt = make_datetime({1998, 12, 25}, {17, 0, 1});
    const CivilTime t = time_of(dt);
    EXPECT_EQ(t.hour, 17);
    EXPECT_EQ(t.minute, 0);
    EXPECT_EQ(t.second, 1);
    EXPECT_EQ(seconds_of_day(dt), 17 * 3600 + 1);
}

TEST(UsEnglishLocale, FormatsAndParses) {
    UsEnglishLocale loc;
    EXPECT_EQ(loc.format_datetime(make_datetime({1998, 12, 25}, {9, 0, 0})), "12/25/1998 9:00:00 AM");
    EXPECT_EQ(loc.format_datetime(make_datetime({2026, 1, 2})), "1/2/2026");
    EXPECT_EQ(loc.format_time(make_datetime({2026, 1, 2}, {0, 5, 9})), "12:05:09 AM");
    EXPECT_EQ(loc.format_time(make_datetime({2026, 1, 2}, {12, 5, 9})), "12:05:09 PM");

    struct Case {
        const char* text;
        bool ok;
        DateTime value;
    } cases[] = {
        {"12/25/1998 9:00:00 AM", true, make_datetime({1998, 12, 25}, {9, 0, 0})},
        {" 1/2/2026 ", true, make_datetime({2026, 1, 2})},
        {"5:30:00 PM", true, make_datetime({1899, 12, 30}, {17, 30, 0})},
        {"17:00:01", true, make_datetime({1899, 12, 30}, {17, 0, 1})},
        {"12:00:00 AM", true, 0.0},
        {"2/30/2026", false, 0},
        {"13:00:00 PM", false, 0},
        {"tomorrow", false, 0},
        {"", false, 0},
        {"1/2/2026 x", false, 0},
    };
    for (const auto& c : cases) {
        DateTime out = -1;
        EXPECT_EQ(loc.parse_datetime(c.text, out), c.ok) << c.text;
        if (c.ok) {
            EXPECT_NEAR(out, c.value, 1e-9) << c.text;
        } else {
            EXPECT_EQ(out, -1) << c.text;
        }
    }
}

TEST(Windows1252Codec, EveryByteRoundTrips) {
    Windows1252Codec codec;
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(codec.from_utf8(codec.to_utf8(all)), all);
    EXPECT_EQ(codec.to_utf8("\x80"), "\xE2\x82\xAC");
    EXPECT_EQ(codec.from_utf8("\xE6\x97\xA5"), "?");  // no place in the code page
}

TEST(FileIo, AtomicWriteReplacesAndLeavesNoTemporaryFile) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "vx_file_io_test";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string target = path_to_utf8(dir / "a.txt");
    write_file_atomic(target, std::string_view("first"));
    write_file_atomic(target, std::string_view("second"));
    EXPECT_EQ(read_text_file(target), "second");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);

    // A folder that does not exist: nothing is written, the error names the file.
    const std::string bad = path_to_utf8(dir / "missing" / "b.txt");
    EXPECT_THROW(write_file_atomic(bad, std::string_view("x")), FileError);
    fs::remove_all(dir);
}

TEST(FileIo, PathParts) {
    EXPECT_EQ(dir_of("C:\\VX\\VX.DTP"), "C:\\VX");
    EXPECT_EQ(file_name_of("C:\\VX/VX.DTP"), "VX.DTP");
    EXPECT_EQ(join_path("C:\\VX", "A.LIB"), "C:\\VX\\A.LIB");
    EXPECT_EQ(join_path("/tmp/x/", "A.LIB"), "/tmp/x/A.LIB");
    EXPECT_EQ(join_path("", "A.LIB"), "A.LIB");
}

}  // namespace
}  // namespace vx
