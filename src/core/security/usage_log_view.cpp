#include "security/usage_log_view.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "util/file_io.h"

namespace vx::security {
namespace {

char32_t lower_cp(char32_t c) {
    if (c >= U'A' && c <= U'Z') return c + 32;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
    switch (c) {
        case 0x152:
            return 0x153;  // OE ligature
        case 0x160:
            return 0x161;  // S caron
        case 0x17D:
            return 0x17E;  // Z caron
        case 0x178:
            return 0xFF;  // Y diaeresis
        default:
            return c;
    }
}

char32_t upper_cp(char32_t c) {
    if (c >= U'a' && c <= U'z') return c - 32;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
    switch (c) {
        case 0x153:
            return 0x152;
        case 0x161:
            return 0x160;
        case 0x17E:
            return 0x17D;
        case 0xFF:
            return 0x178;
        default:
            return c;
    }
}

template <char32_t (*Map)(char32_t)>
std::string map_case(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            out += static_cast<char>(Map(b));
            ++i;
        } else {
            append_utf8(out, Map(next_utf8(s, i)));
        }
    }
    return out;
}

bool is_ascii(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

std::string fold_case(std::string_view utf8) {
    return map_case<lower_cp>(utf8);
}

std::string upper_case(std::string_view utf8) {
    return map_case<upper_cp>(utf8);
}

HoursMinutes used_time(const UsageRecord& r) {
    const double used = r.used();
    // A used mark behind the start time, or ages past the calendar, only come from a damaged
    // or hand-made file; the rounding below must not see them.
    if (!(used > 0) || !(used < 4e6)) return {};
    const auto ms = static_cast<std::int64_t>(std::llround(used * 86400000.0));
    return {ms / 3600000, static_cast<int>(ms / 60000 % 60)};
}

std::string used_text(HoursMinutes t) {
    if (t.hours == 0 && t.minutes == 0) return " < 1 min";
    return std::to_string(t.hours) + " hr " + std::to_string(t.minutes) + " min";
}

UsageFilter::UsageFilter(const UsageQuery& query) {
    if (query.first_day) first_ = std::floor(*query.first_day);
    // The whole last day: a record that starts in its final seconds belongs to it too.
    if (query.last_day) past_last_ = std::floor(*query.last_day) + 1.0;
    std::string_view filter = query.program_filter;
    if (!filter.empty() && filter.front() == '*') {
        anywhere_ = true;
        filter.remove_prefix(1);
    }
    program_ = fold_case(filter);
    all_users_ = query.user == kAllUsers;
    user_ = query.user;
}

bool UsageFilter::passes(const UsageRecord& r) const {
    if (first_ && !(r.start_time >= *first_)) return false;
    if (past_last_ && !(r.start_time < *past_last_)) return false;
    if (!all_users_ && r.user != user_) return false;
    if (program_.empty()) return true;
    const std::string name = fold_case(r.program);
    if (anywhere_) return name.find(program_) != std::string::npos;
    return name.starts_with(program_);
}

void UsageViewBuilder::offer(UsageRecord&& r) {
    if (!has_valid_times(r)) {
        ++view_.damaged;
        return;
    }
    if (filter_.passes(r)) view_.rows.push_back(std::move(r));
}

void UsageViewBuilder::offer(const UsageRecord& r) {
    offer(UsageRecord(r));
}

UsageView UsageViewBuilder::finish() && {
    sort_usage_rows(view_.rows, sort_, ansi_);
    HoursMinutes total;
    for (const auto& r : view_.rows) {
        const HoursMinutes t = used_time(r);
        total.hours += t.hours;
        total.minutes += t.minutes;
        if (total.minutes >= 60) {
            total.hours += 1;
            total.minutes -= 60;
        }
    }
    view_.total = total;
    return std::move(view_);
}

void sort_usage_rows(std::vector<UsageRecord>& rows, UsageSort sort, const TextCodec* ansi) {
    // Sorting indices with the reading position as the last key gives the stable order
    // without moving the records themselves more than once.
    std::vector<std::uint32_t> order(rows.size());
    std::iota(order.begin(), order.end(), 0u);
    auto by_keys = [&](const std::vector<std::string>& keys) {
        std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
            const int c = keys[a].compare(keys[b]);
            return c != 0 ? c < 0 : a < b;
        });
    };
    // Keys in the stored code page; ASCII-only names are their own key, so a log without
    // accented names pays nothing for it.
    auto stored = [&](std::string s) { return ansi && !is_ascii(s) ? ansi->from_utf8(s) : s; };
    switch (sort) {
        case UsageSort::ByProgram: {
            const bool plain = !ansi || std::all_of(rows.begin(), rows.end(),
                                                    [](const UsageRecord& r) { return is_ascii(r.program); });
            if (plain) {
                std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
                    const int c = rows[a].program.compare(rows[b].program);
                    return c != 0 ? c < 0 : a < b;
                });
            } else {
                std::vector<std::string> keys;
                keys.reserve(rows.size());
                for (const auto& r : rows) keys.push_back(stored(r.program));
                by_keys(keys);
            }
            break;
        }
        case UsageSort::ByUser: {
            std::vector<std::string> keys;
            keys.reserve(rows.size());
            for (const auto& r : rows) keys.push_back(stored(upper_case(r.user)));
            by_keys(keys);
            break;
        }
        case UsageSort::ByDate:
        default:
            std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
                const double x = rows[a].start_time, y = rows[b].start_time;
                return x != y ? x < y : a < b;
            });
            break;
    }
    // Permute in place, cycle by cycle: a second vector of records would double the peak
    // memory of a large log's view.
    for (std::uint32_t i = 0; i < order.size(); ++i) {
        if (order[i] == i) continue;
        UsageRecord held = std::move(rows[i]);
        std::uint32_t j = i;
        for (;;) {
            const std::uint32_t k = order[j];
            order[j] = j;
            if (k == i) {
                rows[j] = std::move(held);
                break;
            }
            rows[j] = std::move(rows[k]);
            j = k;
        }
    }
}

UsageView load_usage_view(const std::string& log_path, const TextCodec& codec,
                          std::span<const UsageRecord> gathered, bool viewing_other_file,
                          const UsageQuery& query, UsageLogSummary* summary) {
    UsageViewBuilder builder(query, &codec);
    UsageLogSummary s;
    if (file_exists(log_path))
        s = read_usage_log(log_path, codec, [&](UsageRecord&& r) { builder.offer(std::move(r)); });
    if (!viewing_other_file)
        for (const auto& r : gathered) builder.offer(r);
    if (summary) *summary = s;
    return std::move(builder).finish();
}

std::vector<std::string> usage_row_columns(const UsageRecord& r, const Locale& locale) {
    return {locale.format_date(r.start_time),
            r.program,
            locale.format_time(r.start_time),
            r.running() ? std::string("Running") : locale.format_time(r.end_time),
            used_text(used_time(r)),
            r.user};
}

std::string usage_row_text(const UsageRecord& r, const Locale& locale) {
    std::string out;
    for (const auto& c : usage_row_columns(r, locale)) {
        out += c;
        out += '|';
    }
    out.pop_back();
    return out;
}

std::string usage_total_text(HoursMinutes total) {
    return "Total| | | |" + std::to_string(total.hours) + " hr " + std::to_string(total.minutes) + " min";
}

}  // namespace vx::security
