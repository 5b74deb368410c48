#include "security/usage_log_print.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace vx::security {

namespace {

int clamp_int(std::int64_t v) {
    return static_cast<int>(
        std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

std::string total_hours_text(HoursMinutes t) {
    return std::to_string(t.hours) + " hr " + std::to_string(t.minutes) + " min";
}

}  // namespace

UsagePrintLayout layout_usage_print(const UsageView& view, const Locale& locale, const UsagePrintMetrics& m) {
    const std::int64_t top = std::llround(0.75 * std::max(0, m.pixels_per_inch_y));
    const std::int64_t left = std::llround(0.5 * std::max(0, m.pixels_per_inch_x));
    // A printer that reports no text height would otherwise put every line on the same spot.
    const std::int64_t line = std::max(1, m.line_height);
    const std::int64_t bottom = static_cast<std::int64_t>(m.page_height) - top;

    std::array<std::int64_t, 6> column_x{};
    std::int64_t before = 0;
    for (std::size_t i = 0; i < column_x.size(); ++i) {
        column_x[i] = left + 3 * before;
        if (i < m.column_widths.size()) before += std::max(0, m.column_widths[i]);
    }

    UsagePrintLayout layout;
    std::int64_t y = 0;
    bool page_has_lines = false;
    auto new_page = [&] {
        layout.pages.emplace_back();
        layout.pages.back().push_back({clamp_int(left), clamp_int(top), kUsageLogTitle});
        y = top + 3 * line;
        page_has_lines = false;
    };
    // A page too short for even one line still takes one, so printing always ends.
    auto next_line = [&]() -> std::vector<PrintedText>& {
        if (page_has_lines && y + line > bottom) new_page();
        page_has_lines = true;
        return layout.pages.back();
    };
    auto advance = [&] { y += line; };

    new_page();
    for (const auto& r : view.rows) {
        auto cols = usage_row_columns(r, locale);
        auto& page = next_line();
        for (std::size_t i = 0; i < cols.size() && i < column_x.size(); ++i)
            page.push_back({clamp_int(column_x[i]), clamp_int(y), std::move(cols[i])});
        advance();
    }
    auto& page = next_line();
    page.push_back({clamp_int(left), clamp_int(y), "Total"});
    page.push_back({clamp_int(column_x[4]), clamp_int(y), total_hours_text(view.total)});
    return layout;
}

namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

bool parse_int(std::string_view s, int& out) {
    s = trim(s);
    if (s.empty()) return false;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc{} && p == s.data() + s.size();
}

// Exactly N comma-separated integers, or nothing.
template <std::size_t N>
std::optional<std::array<int, N>> parse_ints(std::string_view text) {
    std::array<int, N> out{};
    std::size_t i = 0;
    while (true) {
        const auto comma = text.find(',');
        if (i == N || !parse_int(text.substr(0, comma), out[i])) return std::nullopt;
        ++i;
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    if (i != N) return std::nullopt;
    return out;
}

template <std::size_t N>
std::string join_ints(const std::array<int, N>& v) {
    std::string out;
    for (std::size_t i = 0; i < N; ++i) {
        if (i) out += ',';
        out += std::to_string(v[i]);
    }
    return out;
}

std::optional<DateTime> parse_day(const std::optional<std::string>& text, const Locale& locale) {
    if (!text) return std::nullopt;
    DateTime v = 0;
    if (!locale.parse_datetime(*text, v) || !is_valid_datetime(v)) return std::nullopt;
    return std::floor(v);
}

}  // namespace

UsageViewerSettings read_usage_viewer_settings(SettingsStore& store, const Locale& locale, DateTime today) {
    UsageViewerSettings s;
    const char* section = kUsageViewerSection;
    if (auto w = store.read(section, "Window")) {
        // A window of no size could never be seen again to be made larger.
        if (auto v = parse_ints<4>(*w); v && (*v)[2] > 0 && (*v)[3] > 0)
            s.window = WindowBounds{(*v)[0], (*v)[1], (*v)[2], (*v)[3]};
    }
    if (auto t = store.read(section, "Sections")) {
        if (auto v = parse_ints<5>(*t); v && std::all_of(v->begin(), v->end(), [](int x) { return x >= 0; }))
            s.sections = *v;
    }
    if (auto t = store.read(section, "SortBy")) {
        int v = 0;
        if (parse_int(*t, v) && v >= 1 && v <= 3) s.sort = static_cast<UsageSort>(v);
    }
    if (auto t = store.read(section, "ProgramName")) s.program_filter = *t;
    const DateTime day = std::floor(today);
    s.start_date = parse_day(store.read(section, "StartDate"), locale).value_or(day);
    s.end_date = parse_day(store.read(section, "EndDate"), locale).value_or(day);
    return s;
}

void write_usage_viewer_settings(SettingsStore& store, const Locale& locale, const UsageViewerSettings& s) {
    const char* section = kUsageViewerSection;
    if (s.window) {
        const auto& w = *s.window;
        store.write(section, "Window", join_ints(std::array<int, 4>{w.left, w.top, w.width, w.height}));
    }
    store.write(section, "Sections", join_ints(s.sections));
    store.write(section, "SortBy", std::to_string(static_cast<int>(s.sort)));
    store.write(section, "ProgramName", s.program_filter);
    store.write(section, "StartDate", locale.format_date(s.start_date));
    store.write(section, "EndDate", locale.format_date(s.end_date));
}

}  // namespace vx::security
