// The viewer's registry values are whatever a user or a tool left there: any text in any of
// them reads to usable settings, and any printer metrics give a print layout that ends.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "security/usage_log_print.h"

namespace {

class TextStore final : public vx::SettingsStore {
public:
    std::map<std::string, std::string> values;
    std::optional<std::string> read(const std::string&, const std::string& name) override {
        auto it = values.find(name);
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
    void write(const std::string&, const std::string& name, const std::string& value) override {
        values[name] = value;
    }
};

int take_int(std::string_view& s) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4 && !s.empty(); ++i) {
        v = (v << 8) | static_cast<unsigned char>(s.front());
        s.remove_prefix(1);
    }
    return static_cast<int>(v);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vx::security;
    static const vx::UsEnglishLocale locale;
    std::string_view in(reinterpret_cast<const char*>(data), size);

    // Newline-separated values in the order of the names below; a missing line is an absent value.
    static const char* const names[] = {"Window",      "Sections",  "SortBy",
                                        "ProgramName", "StartDate", "EndDate"};
    TextStore store;
    for (const char* name : names) {
        if (in.empty()) break;
        const auto nl = in.find('\n');
        store.values[name] = std::string(in.substr(0, nl));
        in.remove_prefix(nl == std::string_view::npos ? in.size() : nl + 1);
    }
    const auto s = read_usage_viewer_settings(store, locale, 46000.5);
    if (s.sort < UsageSort::ByDate || s.sort > UsageSort::ByUser) __builtin_trap();
    if (s.window && (s.window->width <= 0 || s.window->height <= 0)) __builtin_trap();
    TextStore again;
    write_usage_viewer_settings(again, locale, s);
    if (!(read_usage_viewer_settings(again, locale, 46000.5) == s)) __builtin_trap();

    // What is left sets the printer's metrics, with a few rows to place.
    UsagePrintMetrics m;
    m.pixels_per_inch_x = take_int(in) % 100000;
    m.pixels_per_inch_y = take_int(in) % 100000;
    m.page_height = take_int(in);
    m.line_height = take_int(in);
    for (auto& w : m.column_widths) w = take_int(in);
    UsageView view;
    UsageRecord r;
    r.program = "P";
    r.start_time = r.end_time = r.used_mark = r.last_seen = 46000.25;
    view.rows.assign(static_cast<std::size_t>(in.size() % 64), r);
    const auto layout = layout_usage_print(view, locale, m);
    if (layout.pages.empty() || layout.pages.size() > view.rows.size() + 1) __builtin_trap();
    return 0;
}
