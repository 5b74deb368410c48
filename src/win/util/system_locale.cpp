#include "win/util/system_locale.h"

#include <windows.h>

#include <cmath>
#include <iterator>
#include <utility>

#include "win/util/text.h"

namespace vx::win {
namespace {

const wchar_t* name_or_user(const std::wstring& name) {
    return name.empty() ? LOCALE_NAME_USER_DEFAULT : name.c_str();
}

// One value; `fallback` when the system has none.
std::string info(const std::wstring& name, LCTYPE type, const std::string& fallback) {
    wchar_t buffer[128]{};
    const int n = GetLocaleInfoEx(name_or_user(name), type, buffer, static_cast<int>(std::size(buffer)));
    return n > 1 ? narrow(std::wstring(buffer, static_cast<size_t>(n - 1))) : fallback;
}

// The years the system's date functions take.
bool system_can_show(DateTime dt) {
    const int year = date_of(dt).year;
    return year >= 1601 && year <= 9999;
}

}  // namespace

SYSTEMTIME to_systemtime(DateTime dt) {
    const CivilDate d = date_of(dt);
    const CivilTime t = time_of(dt);
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(d.year);
    st.wMonth = static_cast<WORD>(d.month);
    st.wDay = static_cast<WORD>(d.day);
    st.wDayOfWeek = static_cast<WORD>(day_of_week(dt));
    st.wHour = static_cast<WORD>(t.hour);
    st.wMinute = static_cast<WORD>(t.minute);
    st.wSecond = static_cast<WORD>(t.second);
    return st;
}

LocalePictures system_pictures(const std::wstring& locale_name) {
    LocalePictures p;
    p.short_date = info(locale_name, LOCALE_SSHORTDATE, p.short_date);
    p.long_time = info(locale_name, LOCALE_STIMEFORMAT, p.long_time);
    // A locale without designators (most of those on a 24-hour clock) still reads "5:30 PM".
    p.am = info(locale_name, LOCALE_S1159, p.am);
    p.pm = info(locale_name, LOCALE_S2359, p.pm);
    for (LCTYPE i = 0; i < 12; ++i) {
        p.months[i] = info(locale_name, LOCALE_SMONTHNAME1 + i, p.months[i]);
        p.short_months[i] = info(locale_name, LOCALE_SABBREVMONTHNAME1 + i, p.short_months[i]);
        p.day_months[i] = info(locale_name, (LOCALE_SMONTHNAME1 + i) | LOCALE_RETURN_GENITIVE_NAMES, p.months[i]);
        p.day_short_months[i] =
            info(locale_name, (LOCALE_SABBREVMONTHNAME1 + i) | LOCALE_RETURN_GENITIVE_NAMES, p.short_months[i]);
    }
    // The system counts its day names from Monday.
    for (LCTYPE i = 0; i < 7; ++i) {
        const size_t day = (i + 1) % 7;
        p.days[day] = info(locale_name, LOCALE_SDAYNAME1 + i, p.days[day]);
        p.short_days[day] = info(locale_name, LOCALE_SABBREVDAYNAME1 + i, p.short_days[day]);
    }
    return p;
}

SystemLocale::SystemLocale(std::wstring locale_name)
    : PictureLocale(system_pictures(locale_name)), name_(std::move(locale_name)) {}

std::string SystemLocale::format_date(DateTime dt) const {
    if (system_can_show(dt)) {
        const SYSTEMTIME st = to_systemtime(dt);
        const std::wstring picture = widen(pictures().short_date);
        wchar_t buffer[128]{};
        const int n = GetDateFormatEx(name_or_user(name_), 0, &st, picture.c_str(), buffer,
                                      static_cast<int>(std::size(buffer)), nullptr);
        if (n > 1) {
            std::string text = narrow(std::wstring(buffer, static_cast<size_t>(n - 1)));
            DateTime back = -1;
            if (parse_datetime(text, back) && back == std::floor(dt)) return text;
        }
    }
    return PictureLocale::format_date(dt);
}

std::string SystemLocale::format_time(DateTime dt) const {
    if (system_can_show(dt)) {
        const SYSTEMTIME st = to_systemtime(dt);
        const std::wstring picture = widen(pictures().long_time);
        wchar_t buffer[128]{};
        const int n =
            GetTimeFormatEx(name_or_user(name_), 0, &st, picture.c_str(), buffer, static_cast<int>(std::size(buffer)));
        if (n > 1) {
            std::string text = narrow(std::wstring(buffer, static_cast<size_t>(n - 1)));
            DateTime back = -1;
            if (parse_datetime(text, back) && back < 1 && seconds_of_day(back) == seconds_of_day(dt)) return text;
        }
    }
    return PictureLocale::format_time(dt);
}

}  // namespace vx::win
