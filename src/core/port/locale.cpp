#include "port/locale.h"

#include <cstdio>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vx {

std::string Locale::format_datetime(DateTime dt) const {
    const CivilTime t = time_of(dt);
    if (t.hour == 0 && t.minute == 0 && t.second == 0) return format_date(dt);
    return format_date(dt) + " " + format_time(dt);
}

namespace {

enum class Field { Literal, Day, DayName, Month, MonthName, Year, Era, Hour12, Hour24, Minute, Second, Designator };

struct Token {
    Field field = Field::Literal;
    int width = 0;     // letters in the picture (capped where more mean nothing further)
    std::string text;  // a literal's characters
};

std::vector<Token> tokenize(std::string_view p) {
    std::vector<Token> out;
    const auto literal = [&](std::string_view s) {
        if (!out.empty() && out.back().field == Field::Literal)
            out.back().text += s;
        else
            out.push_back({Field::Literal, 0, std::string(s)});
    };
    size_t i = 0;
    while (i < p.size()) {
        const char c = p[i];
        if (c == '\'') {
            ++i;
            std::string text;
            while (i < p.size()) {
                if (p[i] == '\'') {
                    if (i + 1 < p.size() && p[i + 1] == '\'') {
                        text += '\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                text += p[i++];
            }
            // Two quotes with nothing between them are empty quoted text, as the system has it.
            if (!text.empty()) literal(text);
            continue;
        }
        size_t n = 1;
        while (i + n < p.size() && p[i + n] == c) ++n;
        const int w = static_cast<int>(n);
        switch (c) {
            case 'd':
                out.push_back(w <= 2 ? Token{Field::Day, w, {}} : Token{Field::DayName, w == 3 ? 3 : 4, {}});
                break;
            case 'M':
                out.push_back(w <= 2 ? Token{Field::Month, w, {}} : Token{Field::MonthName, w == 3 ? 3 : 4, {}});
                break;
            case 'y':
                // The system shows a lone y as two digits, as yy.
                out.push_back({Field::Year, w <= 2 ? 2 : 4, {}});
                break;
            case 'g':
                out.push_back({Field::Era, w, {}});
                break;
            case 'h':
                out.push_back({Field::Hour12, w < 2 ? 1 : 2, {}});
                break;
            case 'H':
                out.push_back({Field::Hour24, w < 2 ? 1 : 2, {}});
                break;
            case 'm':
                out.push_back({Field::Minute, w < 2 ? 1 : 2, {}});
                break;
            case 's':
                out.push_back({Field::Second, w < 2 ? 1 : 2, {}});
                break;
            case 't':
                out.push_back({Field::Designator, w < 2 ? 1 : 2, {}});
                break;
            default:
                literal(p.substr(i, n));
                break;
        }
        i += n;
    }
    return out;
}

std::string number(int value, int width) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*d", width < 1 ? 1 : width, value);
    return buf;
}

// The first character of a UTF-8 text, whatever its length in bytes.
std::string first_character(std::string_view s) {
    if (s.empty()) return {};
    const auto lead = static_cast<unsigned char>(s[0]);
    const size_t n = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    return std::string(s.substr(0, n < s.size() ? n : s.size()));
}

std::string format_tokens(std::string_view picture, DateTime dt, const LocalePictures& w) {
    const CivilDate d = date_of(dt);
    const CivilTime t = time_of(dt);
    const std::vector<Token> tokens = tokenize(picture);
    bool day_number = false;
    for (const Token& tok : tokens) day_number = day_number || tok.field == Field::Day;
    std::string out;
    for (const Token& tok : tokens) {
        switch (tok.field) {
            case Field::Literal:
                out += tok.text;
                break;
            case Field::Day:
                out += number(d.day, tok.width);
                break;
            case Field::DayName: {
                const auto wd = static_cast<size_t>(day_of_week(dt));
                out += tok.width == 3 ? w.short_days[wd] : w.days[wd];
                break;
            }
            case Field::Month:
                out += number(d.month, tok.width);
                break;
            case Field::MonthName: {
                const auto m = static_cast<size_t>(d.month - 1);
                if (day_number)
                    out += tok.width == 3 ? w.day_short_months[m] : w.day_months[m];
                else
                    out += tok.width == 3 ? w.short_months[m] : w.months[m];
                break;
            }
            case Field::Year:
                out += tok.width == 4 ? number(d.year, 4) : number(d.year % 100, tok.width);
                break;
            case Field::Era:
                // The era of every date these files hold is the current one; nothing is shown,
                // so nothing has to be read back.
                break;
            case Field::Hour12:
                out += number(t.hour % 12 == 0 ? 12 : t.hour % 12, tok.width);
                break;
            case Field::Hour24:
                out += number(t.hour, tok.width);
                break;
            case Field::Minute:
                out += number(t.minute, tok.width);
                break;
            case Field::Second:
                out += number(t.second, tok.width);
                break;
            case Field::Designator: {
                const std::string& word = t.hour < 12 ? w.am : w.pm;
                out += tok.width == 1 ? first_character(word) : word;
                break;
            }
        }
    }
    return out;
}

char fold(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

struct Cursor {
    std::string_view s;
    size_t i = 0;

    bool done() const { return i == s.size(); }
    // Blanks, the no-break spaces and the direction marks some systems put into dates.
    size_t blank_at(size_t at) const {
        if (at >= s.size()) return 0;
        if (s[at] == ' ' || s[at] == '\t') return 1;
        static constexpr std::string_view kWide[] = {"\xC2\xA0", "\xE2\x80\xAF", "\xE2\x80\x8E", "\xE2\x80\x8F"};
        for (std::string_view b : kWide)
            if (s.substr(at, b.size()) == b) return b.size();
        return 0;
    }
    void blanks() {
        while (size_t n = blank_at(i)) i += n;
    }
    bool digits(int& v, size_t min_digits, size_t max_digits, size_t* count = nullptr) {
        const size_t start = i;
        v = 0;
        while (i < s.size() && i - start < max_digits && s[i] >= '0' && s[i] <= '9') v = v * 10 + (s[i++] - '0');
        if (count) *count = i - start;
        if (i - start < min_digits) {
            i = start;
            return false;
        }
        return true;
    }
    // Matches `word` here without regard to the case of ASCII letters.
    bool matches(std::string_view word) const {
        if (word.empty() || s.size() - i < word.size()) return false;
        for (size_t k = 0; k < word.size(); ++k)
            if (fold(s[i + k]) != fold(word[k])) return false;
        return true;
    }
};

// A picture's literal: its blanks match any run of blanks (none included), its other
// characters match themselves.
bool match_literal(std::string_view text, Cursor& c) {
    Cursor pic{text};
    while (!pic.done()) {
        if (const size_t n = pic.blank_at(pic.i)) {
            pic.i += n;
            c.blanks();
            continue;
        }
        if (c.done() || fold(c.s[c.i]) != fold(pic.s[pic.i])) return false;
        ++c.i;
        ++pic.i;
    }
    return true;
}

// The longest of the words that matches here, in any of the lists; its index, or nullopt.
template <size_t N>
std::optional<size_t> match_word(Cursor& c, std::initializer_list<const std::array<std::string, N>*> lists) {
    std::optional<size_t> best;
    size_t best_len = 0;
    for (const auto* list : lists)
        for (size_t k = 0; k < N; ++k)
            if ((*list)[k].size() > best_len && c.matches((*list)[k])) best = k, best_len = (*list)[k].size();
    if (best) c.i += best_len;
    return best;
}

// The station's designators and the English ones, whole or by their first character
// (unless both start alike); 0 for before noon, 1 for after.
std::optional<int> match_designator(Cursor& c, const LocalePictures& w) {
    std::vector<std::pair<std::string, int>> words = {{w.am, 0}, {w.pm, 1}, {"AM", 0}, {"PM", 1}, {"A", 0}, {"P", 1}};
    const std::string am1 = first_character(w.am), pm1 = first_character(w.pm);
    if (am1 != pm1) words.insert(words.end(), {{am1, 0}, {pm1, 1}});
    std::optional<int> best;
    size_t best_len = 0;
    for (const auto& [word, half] : words)
        if (word.size() > best_len && c.matches(word)) best = half, best_len = word.size();
    if (best) c.i += best_len;
    return best;
}

struct Parts {
    int day = -1, month = -1, year = -1;
    bool short_year = false;  // fewer year digits than the picture shows
    int hour = -1, minute = -1, second = -1;
    std::optional<int> half;  // 0 before noon, 1 after
};

bool run(const std::vector<Token>& tokens, Cursor& c, Parts& p, const LocalePictures& w) {
    for (size_t k = 0; k < tokens.size(); ++k) {
        const Token& tok = tokens[k];
        switch (tok.field) {
            case Field::Literal: {
                // "9:00 AM" in a picture with seconds: the separator and the seconds go together.
                const bool before_seconds = k + 1 < tokens.size() && tokens[k + 1].field == Field::Second;
                const size_t save = c.i;
                int s = 0;
                if (before_seconds) {
                    if (match_literal(tok.text, c) && c.digits(s, 1, 2)) {
                        p.second = s;
                    } else {
                        c.i = save;
                    }
                    ++k;
                    continue;
                }
                if (!match_literal(tok.text, c)) return false;
                break;
            }
            case Field::Day:
                if (!c.digits(p.day, 1, 2)) return false;
                break;
            case Field::Month:
                if (!c.digits(p.month, 1, 2)) return false;
                break;
            case Field::Year: {
                size_t count = 0;
                if (!c.digits(p.year, 1, 4, &count)) return false;
                if (count <= 2) p.year += p.year < 50 ? 2000 : 1900;  // two-digit years, as the system reads them
                p.short_year = tok.width == 4 && count <= 2;
                break;
            }
            case Field::DayName:
                if (!match_word<7>(c, {&w.days, &w.short_days})) return false;
                break;
            case Field::MonthName: {
                const auto m = match_word<12>(c, {&w.months, &w.short_months, &w.day_months, &w.day_short_months});
                if (!m) return false;
                p.month = static_cast<int>(*m) + 1;
                break;
            }
            case Field::Era:
                while (!c.done() && !c.blank_at(c.i) && !(c.s[c.i] >= '0' && c.s[c.i] <= '9')) ++c.i;
                break;
            case Field::Hour12:
            case Field::Hour24:
                if (!c.digits(p.hour, 1, 2)) return false;
                break;
            case Field::Minute:
                if (!c.digits(p.minute, 1, 2)) return false;
                break;
            case Field::Second:
                if (!c.digits(p.second, 1, 2)) return false;
                break;
            case Field::Designator:
                if (!p.half) p.half = match_designator(c, w);
                break;
        }
    }
    return true;
}

struct DateReading {
    double day = 0;
    bool exact = true;  // as the picture shows it, not only as it allows
};

std::optional<DateReading> read_date(const std::vector<Token>& tokens, Cursor& c, const LocalePictures& w) {
    Parts p;
    if (!run(tokens, c, p, w) || !valid_date(p.year, p.month, p.day)) return std::nullopt;
    return DateReading{static_cast<double>(days_from_civil({p.year, p.month, p.day})), !p.short_year};
}

std::optional<double> read_time(const std::vector<Token>& tokens, Cursor& c, const LocalePictures& w) {
    Parts p;
    if (!run(tokens, c, p, w) || p.hour < 0 || p.minute < 0) return std::nullopt;
    if (!p.half) {
        // A designator where the picture shows none is still plain to read.
        const size_t save = c.i;
        c.blanks();
        p.half = match_designator(c, w);
        if (!p.half) c.i = save;
    }
    int h = p.hour;
    if (p.half) {
        if (h < 1 || h > 12) return std::nullopt;
        h = h % 12 + (*p.half ? 12 : 0);
    }
    const int s = p.second < 0 ? 0 : p.second;
    if (!valid_time(h, p.minute, s)) return std::nullopt;
    return (h * 3600.0 + p.minute * 60.0 + s) / 86400.0;
}

}  // namespace

std::string format_picture(std::string_view picture, DateTime dt, const LocalePictures& words) {
    return format_tokens(picture, dt, words);
}

std::string PictureLocale::format_date(DateTime dt) const {
    return format_picture(pictures_.short_date, dt, pictures_);
}

std::string PictureLocale::format_time(DateTime dt) const {
    return format_picture(pictures_.long_time, dt, pictures_);
}

bool PictureLocale::parse_datetime(std::string_view text, DateTime& out) const {
    Cursor c{text};
    c.blanks();
    const size_t start = c.i;
    const auto date_tokens = tokenize(pictures_.short_date);
    const auto time_tokens = tokenize(pictures_.long_time);
    const auto at_end = [&c] {
        c.blanks();
        return c.done();
    };
    const auto time_alone = [&]() -> std::optional<double> {
        c.i = start;
        const auto time = read_time(time_tokens, c, pictures_);
        return time && at_end() ? time : std::nullopt;
    };
    if (const auto date = read_date(date_tokens, c, pictures_)) {
        if (at_end()) {
            // Where date and time share their separators ("d.M.yyyy", "H.mm.ss"), "8.05.00" is a
            // time as the station writes it and a date only by the reader's leniency.
            const auto time = date->exact ? std::nullopt : time_alone();
            out = time ? *time : date->day;
            return true;
        }
        if (const auto time = read_time(time_tokens, c, pictures_); time && at_end()) {
            out = date->day + *time;
            return true;
        }
    }
    // What is not a date may be a time alone.
    if (const auto time = time_alone()) {
        out = *time;
        return true;
    }
    return false;
}

}  // namespace vx
