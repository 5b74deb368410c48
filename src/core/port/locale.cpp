#include "port/locale.h"

#include <cctype>
#include <cstdio>
#include <string>

namespace vx {

std::string Locale::format_datetime(DateTime dt) const {
    const CivilTime t = time_of(dt);
    if (t.hour == 0 && t.minute == 0 && t.second == 0) return format_date(dt);
    return format_date(dt) + " " + format_time(dt);
}

std::string UsEnglishLocale::format_date(DateTime dt) const {
    const CivilDate d = date_of(dt);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d/%d/%04d", d.month, d.day, d.year);
    return buf;
}

std::string UsEnglishLocale::format_time(DateTime dt) const {
    const CivilTime t = time_of(dt);
    const int h12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d:%02d:%02d %s", h12, t.minute, t.second, t.hour < 12 ? "AM" : "PM");
    return buf;
}

namespace {

struct Cursor {
    std::string_view s;
    size_t i = 0;
    void blanks() {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    }
    bool number(int& v, size_t max_digits) {
        size_t start = i;
        v = 0;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) && i - start < max_digits)
            v = v * 10 + (s[i++] - '0');
        return i > start;
    }
    bool eat(char c) {
        if (i < s.size() && s[i] == c) {
            ++i;
            return true;
        }
        return false;
    }
    bool done() const { return i == s.size(); }
};

bool parse_date_part(Cursor& c, CivilDate& d) {
    size_t save = c.i;
    int m = 0, day = 0, y = 0;
    if (!c.number(m, 2) || !c.eat('/') || !c.number(day, 2) || !c.eat('/')) {
        c.i = save;
        return false;
    }
    size_t ystart = c.i;
    if (!c.number(y, 4)) {
        c.i = save;
        return false;
    }
    if (c.i - ystart <= 2) y += y < 50 ? 2000 : 1900;  // two-digit years, as the system reads them
    if (!valid_date(y, m, day)) {
        c.i = save;
        return false;
    }
    d = CivilDate{y, m, day};
    return true;
}

bool parse_time_part(Cursor& c, CivilTime& t) {
    size_t save = c.i;
    int h = 0, mi = 0, s = 0;
    if (!c.number(h, 2) || !c.eat(':') || !c.number(mi, 2)) {
        c.i = save;
        return false;
    }
    if (c.eat(':') && !c.number(s, 2)) {
        c.i = save;
        return false;
    }
    c.blanks();
    auto upper = [](char ch) { return static_cast<char>(std::toupper(static_cast<unsigned char>(ch))); };
    if (c.i + 1 < c.s.size() + 1 && c.i < c.s.size() && (upper(c.s[c.i]) == 'A' || upper(c.s[c.i]) == 'P')) {
        const bool pm = upper(c.s[c.i]) == 'P';
        ++c.i;
        if (c.i < c.s.size() && upper(c.s[c.i]) == 'M') ++c.i;
        if (h < 1 || h > 12) {
            c.i = save;
            return false;
        }
        h = h % 12 + (pm ? 12 : 0);
    }
    if (!valid_time(h, mi, s)) {
        c.i = save;
        return false;
    }
    t = CivilTime{h, mi, s, 0};
    return true;
}

}  // namespace

bool UsEnglishLocale::parse_datetime(std::string_view text, DateTime& out) const {
    Cursor c{text};
    c.blanks();
    CivilDate d;
    CivilTime t;
    const bool has_date = parse_date_part(c, d);
    c.blanks();
    const bool has_time = parse_time_part(c, t);
    c.blanks();
    if ((!has_date && !has_time) || !c.done()) return false;
    double v = has_date ? static_cast<double>(days_from_civil(d)) : 0.0;
    if (has_time) v += (t.hour * 3600.0 + t.minute * 60.0 + t.second) / 86400.0;
    out = v;
    return true;
}

}  // namespace vx
