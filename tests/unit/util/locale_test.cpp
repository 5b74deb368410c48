#include <gtest/gtest.h>

#include <initializer_list>

#include "port/locale.h"

namespace vx {
namespace {

LocalePictures pictures(const char* date, const char* time, const char* am = "AM", const char* pm = "PM") {
    LocalePictures p;
    p.short_date = date;
    p.long_time = time;
    p.am = am;
    p.pm = pm;
    return p;
}

// The stations the shell meets most: their short date and long time as the system gives them.
const LocalePictures kUs = pictures("M/d/yyyy", "h:mm:ss tt");
const LocalePictures kBritish = pictures("dd/MM/yyyy", "HH:mm:ss");
const LocalePictures kGerman = pictures("dd.MM.yyyy", "HH:mm:ss");
const LocalePictures kJapanese = pictures("yyyy/MM/dd", "H:mm:ss", "\xE5\x8D\x88\xE5\x89\x8D", "\xE5\x8D\x88\xE5\xBE\x8C");
const LocalePictures kDutch = pictures("d-M-yyyy", "H:mm:ss");
const LocalePictures kKorean = pictures("yyyy-MM-dd", "tt h:mm:ss", "\xEC\x98\xA4\xEC\xA0\x84", "\xEC\x98\xA4\xED\x9B\x84");
const LocalePictures kFinnish = pictures("d.M.yyyy", "H.mm.ss", "ap.", "ip.");

TEST(LocalePicture, ShowsEachPartAsThePictureSays) {
    const DateTime morning = make_datetime({2027, 3, 4}, {9, 5, 7});
    const DateTime evening = make_datetime({2009, 12, 31}, {21, 30, 0});
    const DateTime midnight = make_datetime({2027, 3, 4}, {0, 0, 0});
    const LocalePictures words;
    struct Case {
        const char* picture;
        DateTime when;
        const char* text;
    } cases[] = {
        {"M/d/yyyy", morning, "3/4/2027"},
        {"MM/dd/yy", morning, "03/04/27"},
        {"dd.MM.yyyy", morning, "04.03.2027"},
        {"d-M-y", evening, "31-12-09"},
        {"yyyy-MM-dd", evening, "2009-12-31"},
        {"ddd d MMM yyyy", morning, "Thu 4 Mar 2027"},
        {"dddd, MMMM dd", evening, "Thursday, December 31"},
        {"d 'de' MMMM", morning, "4 de March"},
        {"''yy", morning, "27"},
        {"'It''s' yy", morning, "It's 27"},
        {"h:mm:ss tt", morning, "9:05:07 AM"},
        {"hh:mm tt", evening, "09:30 PM"},
        {"h:mm:ss t", evening, "9:30:00 P"},
        {"H:mm:ss", morning, "9:05:07"},
        {"HH:mm:ss", morning, "09:05:07"},
        {"HH.mm", evening, "21.30"},
        {"h:mm:ss tt", midnight, "12:00:00 AM"},
        {"H:m:s", midnight, "0:0:0"},
    };
    for (const auto& c : cases) EXPECT_EQ(format_picture(c.picture, c.when, words), c.text) << c.picture;
}

TEST(LocalePicture, MonthNamesBesideADayTakeTheirOwnForm) {
    LocalePictures german = pictures("d. MMM yyyy", "HH:mm:ss");
    german.short_months[11] = "Dez";
    german.day_short_months[11] = "Dez.";
    const DateTime eve = make_datetime({2027, 12, 31});
    EXPECT_EQ(format_picture("d. MMM yyyy", eve, german), "31. Dez. 2027");
    EXPECT_EQ(format_picture("MMM yyyy", eve, german), "Dez 2027");
    const PictureLocale locale(german);
    for (const char* text : {"31. Dez. 2027", "31. dez 2027"}) {
        DateTime out = 0;
        ASSERT_TRUE(locale.parse_datetime(text, out)) << text;
        EXPECT_EQ(out, eve) << text;
    }
}

TEST(LocalePicture, ReadsWhatTheStationWritesAndNothingInAnotherOrder) {
    const DateTime new_year_eve = make_datetime({2027, 12, 31});
    const DateTime feb1 = make_datetime({2027, 2, 1});
    const DateTime jan2 = make_datetime({2027, 1, 2});
    const auto time = [](int h, int m, int s) { return make_datetime({1899, 12, 30}, {h, m, s}); };
    struct Case {
        const LocalePictures* locale;
        const char* text;
        bool ok;
        DateTime value;
    } cases[] = {
        // The same day written by four stations.
        {&kGerman, "31.12.2027", true, new_year_eve},
        {&kBritish, "31/12/2027", true, new_year_eve},
        {&kUs, "12/31/2027", true, new_year_eve},
        {&kJapanese, "2027/12/31", true, new_year_eve},
        // Ambiguous days follow the station's order, never a guess.
        {&kBritish, "01/02/2027", true, feb1},
        {&kUs, "01/02/2027", true, jan2},
        {&kGerman, "1.2.27", true, feb1},
        {&kDutch, "1-2-2027", true, feb1},
        // Another station's date is refused rather than misread.
        {&kGerman, "12/31/2027", false, 0},
        {&kUs, "31.12.2027", false, 0},
        {&kBritish, "12/31/2027", false, 0},
        {&kJapanese, "31/12/2027", false, 0},
        {&kGerman, "31.13.2027", false, 0},
        {&kGerman, "29.02.2027", false, 0},
        // Date and time together, and the time alone.
        {&kGerman, " 31.12.2027 23:59:59 ", true, new_year_eve + time(23, 59, 59)},
        {&kGerman, "31.12.2027 8:00", true, new_year_eve + time(8, 0, 0)},
        {&kUs, "12/31/2027 5:30:00 PM", true, new_year_eve + time(17, 30, 0)},
        {&kUs, "12/31/2027 9:00 am", true, new_year_eve + time(9, 0, 0)},
        {&kUs, "17:00:01", true, time(17, 0, 1)},
        {&kUs, "13:00:00 PM", false, 0},
        {&kUs, "12:00:00 AM", true, time(0, 0, 0)},
        {&kBritish, "5:30:00 PM", true, time(17, 30, 0)},
        {&kJapanese, "2027/12/31 \xE5\x8D\x88\xE5\xBE\x8C 5:30:00", false, 0},
        {&kJapanese, "17:30:00", true, time(17, 30, 0)},
        {&kKorean, "\xEC\x98\xA4\xED\x9B\x84 5:30:00", true, time(17, 30, 0)},
        {&kKorean, "2027-12-31 \xEC\x98\xA4\xEC\xA0\x84 12:15:00", true, new_year_eve + time(0, 15, 0)},
        {&kFinnish, "31.12.2027 8.05.00", true, new_year_eve + time(8, 5, 0)},
        {&kFinnish, "8.05.00", true, time(8, 5, 0)},
        {&kGerman, "31.12.2027 x", false, 0},
        {&kGerman, "31.12.2027 25:00:00", false, 0},
        {&kGerman, "", false, 0},
        {&kGerman, "morgen", false, 0},
    };
    for (const auto& c : cases) {
        const PictureLocale locale(*c.locale);
        DateTime out = -1;
        EXPECT_EQ(locale.parse_datetime(c.text, out), c.ok) << c.locale->short_date << " '" << c.text << "'";
        if (c.ok)
            EXPECT_NEAR(out, c.value, 1e-9) << c.text;
        else
            EXPECT_EQ(out, -1) << c.text;
    }
}

TEST(LocalePicture, EveryStationReadsBackWhatItWrote) {
    LocalePictures named = pictures("ddd dd MMM yyyy", "hh:mm:ss tt");
    LocalePictures quoted = pictures("d' de 'MMMM' de 'yyyy", "H' h 'mm' min 'ss' s'");
    LocalePictures hungarian = pictures("yyyy. MM. dd.", "H:mm:ss");
    const DateTime moments[] = {
        make_datetime({2027, 12, 31}),           make_datetime({2027, 1, 2}, {12, 0, 0}),
        make_datetime({1999, 6, 30}, {23, 59, 59}), make_datetime({2049, 2, 28}, {0, 0, 1}),
        make_datetime({2050, 7, 4}, {11, 59, 59}),
    };
    for (const LocalePictures* p : std::initializer_list<const LocalePictures*>{&kUs, &kBritish, &kGerman, &kJapanese, &kDutch, &kKorean, &kFinnish,
                                    &named, &quoted, &hungarian}) {
        const PictureLocale locale(*p);
        for (DateTime m : moments) {
            const std::string text = locale.format_datetime(m);
            DateTime back = -1;
            ASSERT_TRUE(locale.parse_datetime(text, back)) << p->short_date << " '" << text << "'";
            EXPECT_NEAR(back, m, 1e-9) << text;
        }
    }
}

}  // namespace
}  // namespace vx
