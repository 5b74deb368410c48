// The station's date and time formats: the pictures the system gives, and the core's reading of
// what the system writes with them. (A program started under another locale is tested in
// tests/locale: a Wine program takes its locale from the environment it is started with.)
#include "win/util/system_locale.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "win/util/text.h"

namespace vx::win {
namespace {

const DateTime kEve = make_datetime({2027, 12, 31}, {17, 30, 5});

struct Station {
    const wchar_t* name;
    const char* eve;  // kEve as the station writes it
};

const Station kStations[] = {
    {L"en-US", "12/31/2027 5:30:05 PM"},
    {L"en-GB", "31/12/2027 17:30:05"},
    {L"de-DE", "31.12.2027 17:30:05"},
    {L"ja-JP", "2027/12/31 17:30:05"},
};

TEST(SystemLocale, EachStationWritesWithItsOwnPicturesAndReadsItBack) {
    for (const Station& s : kStations) {
        SCOPED_TRACE(narrow(s.name));
        const SystemLocale locale(s.name);
        wchar_t picture[80]{};
        GetLocaleInfoEx(s.name, LOCALE_SSHORTDATE, picture, 80);
        EXPECT_EQ(locale.pictures().short_date, narrow(picture));
        EXPECT_EQ(locale.format_datetime(kEve), s.eve);
        DateTime back = 0;
        ASSERT_TRUE(locale.parse_datetime(s.eve, back));
        EXPECT_NEAR(back, kEve, 1e-7);
        for (DateTime when : {make_datetime({2027, 1, 2}), make_datetime({1999, 6, 30}, {0, 0, 1}),
                              make_datetime({2049, 2, 28}, {23, 59, 59}), make_datetime({2026, 3, 4}, {12, 0, 0})}) {
            const std::string text = locale.format_datetime(when);
            ASSERT_TRUE(locale.parse_datetime(text, back)) << text;
            EXPECT_NEAR(back, when, 1e-7) << text;
        }
        // Another station's day is refused, never misread.
        for (const Station& other : kStations) {
            if (other.name != s.name) {
                EXPECT_FALSE(locale.parse_datetime(other.eve, back)) << other.eve;
            }
        }
    }
}

// The core's own text of a picture is the system's, so a file written by either reads the same.
TEST(SystemLocale, TheCoresTextOfAPictureIsTheSystems) {
    const char* date_pictures[] = {"M/d/yyyy", "dd.MM.yy", "d-M-y",         "yyyy-MM-dd",
                                   "ddd d MMM yyyy", "dddd, MMMM dd", "d 'de' MMMM", "''yy"};
    const char* time_pictures[] = {"h:mm:ss tt", "hh:mm tt", "H:mm:ss", "HH.mm.ss", "h:mm:ss t", "H' h 'mm"};
    const DateTime moments[] = {kEve, make_datetime({2009, 3, 4}, {9, 5, 7}), make_datetime({2030, 5, 1})};
    for (const wchar_t* name : {L"en-US", L"de-DE"}) {
        const LocalePictures words = system_pictures(name);
        for (DateTime when : moments) {
            const SYSTEMTIME st = to_systemtime(when);
            wchar_t buffer[128];
            for (const char* p : date_pictures) {
                ASSERT_GT(GetDateFormatEx(name, 0, &st, widen(p).c_str(), buffer, 128, nullptr), 0);
                EXPECT_EQ(format_picture(p, when, words), narrow(buffer)) << narrow(name) << " " << p;
            }
            for (const char* p : time_pictures) {
                ASSERT_GT(GetTimeFormatEx(name, 0, &st, widen(p).c_str(), buffer, 128), 0);
                EXPECT_EQ(format_picture(p, when, words), narrow(buffer)) << narrow(name) << " " << p;
            }
        }
    }
}

}  // namespace
}  // namespace vx::win
