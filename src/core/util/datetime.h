#pragma once
// Date-times as the stored files hold them: a day count from 30 December 1899, the
// fraction being the time of day. Negative values are not used by any stored file.
#include <cstdint>

namespace vx {

using DateTime = double;

struct CivilDate {
    int year = 1899;
    int month = 12;  // 1..12
    int day = 30;    // 1..31
};

struct CivilTime {
    int hour = 0;  // 0..23
    int minute = 0;
    int second = 0;
    int msec = 0;
};

// Day number of a civil date (30 Dec 1899 is 0). No range check beyond what the
// arithmetic needs; use valid_date() first for untrusted input.
int64_t days_from_civil(const CivilDate& d);
CivilDate civil_from_days(int64_t days);
bool valid_date(int year, int month, int day);
bool valid_time(int hour, int minute, int second);

DateTime make_datetime(const CivilDate& d, const CivilTime& t = {});
CivilDate date_of(DateTime dt);
// Rounded to the millisecond, as the time-of-day part of a day count is usually read.
CivilTime time_of(DateTime dt);
// Seconds since midnight, truncated.
int seconds_of_day(DateTime dt);
// 0 = Sunday .. 6 = Saturday.
int day_of_week(DateTime dt);
// The date part alone (midnight of the same day).
DateTime date_only(DateTime dt);

}  // namespace vx
