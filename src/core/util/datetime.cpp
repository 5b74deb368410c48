#include "util/datetime.h"

#include <cmath>

namespace vx {
namespace {

// Days from 1970-01-01 to 1899-12-30.
constexpr int64_t kEpochShift = -25569;

// Howard Hinnant's civil calendar conversions, proleptic Gregorian.
int64_t days_from_unix_civil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

}  // namespace

int64_t days_from_civil(const CivilDate& d) {
    return days_from_unix_civil(d.year, static_cast<unsigned>(d.month), static_cast<unsigned>(d.day)) -
           kEpochShift;
}

CivilDate civil_from_days(int64_t days) {
    int64_t z = days + kEpochShift + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t y = static_cast<int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return CivilDate{static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

bool valid_date(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int limit = kDays[month - 1] + (month == 2 && leap ? 1 : 0);
    return day <= limit;
}

bool valid_time(int hour, int minute, int second) {
    return hour >= 0 && hour < 24 && minute >= 0 && minute < 60 && second >= 0 && second < 60;
}

DateTime make_datetime(const CivilDate& d, const CivilTime& t) {
    const double frac = (t.hour * 3600000.0 + t.minute * 60000.0 + t.second * 1000.0 + t.msec) / 86400000.0;
    return static_cast<double>(days_from_civil(d)) + frac;
}

DateTime date_only(DateTime dt) {
    return std::floor(dt);
}

CivilDate date_of(DateTime dt) {
    return civil_from_days(static_cast<int64_t>(std::floor(dt)));
}

CivilTime time_of(DateTime dt) {
    double frac = dt - std::floor(dt);
    auto ms = static_cast<int64_t>(std::llround(frac * 86400000.0));
    if (ms >= 86400000) ms = 86399999;
    CivilTime t;
    t.hour = static_cast<int>(ms / 3600000);
    t.minute = static_cast<int>(ms / 60000 % 60);
    t.second = static_cast<int>(ms / 1000 % 60);
    t.msec = static_cast<int>(ms % 1000);
    return t;
}

int seconds_of_day(DateTime dt) {
    const CivilTime t = time_of(dt);
    return t.hour * 3600 + t.minute * 60 + t.second;
}

int day_of_week(DateTime dt) {
    // Day 0 (30 Dec 1899) was a Saturday.
    const int64_t d = static_cast<int64_t>(std::floor(dt));
    return static_cast<int>(((d + 6) % 7 + 7) % 7);
}

}  // namespace vx
