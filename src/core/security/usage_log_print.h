#pragma once
// The printed usage log: where each text of the viewer's list goes on the printer's pages, and
// the viewer's stored settings. Both are worked out here so the window only moves values.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "port/locale.h"
#include "port/settings_store.h"
#include "security/usage_log_view.h"

namespace vx::security {

inline constexpr const char* kUsageLogTitle = "Vantora! Usage Log";

// Everything in printer pixels, as the printer's device context reports them.
struct UsagePrintMetrics {
    int pixels_per_inch_x = 0;
    int pixels_per_inch_y = 0;
    int page_height = 0;
    int line_height = 0;  // the height of the title text
    // The on-screen widths of the first five list columns; the sixth starts after them.
    std::array<int, 5> column_widths{};
};

struct PrintedText {
    int x = 0;
    int y = 0;
    std::string text;
    bool operator==(const PrintedText&) const = default;
};

struct UsagePrintLayout {
    std::vector<std::vector<PrintedText>> pages;  // never empty: the title page is always there
};

UsagePrintLayout layout_usage_print(const UsageView& view, const Locale& locale, const UsagePrintMetrics& m);

// The viewer's settings as stored in the "VXLog" section.
inline constexpr const char* kUsageViewerSection = "VXLog";
inline constexpr std::array<int, 5> kDefaultUsageSections{58, 152, 80, 80, 80};

struct WindowBounds {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const WindowBounds&) const = default;
};

struct UsageViewerSettings {
    std::optional<WindowBounds> window;  // absent: where the window first appears
    std::array<int, 5> sections = kDefaultUsageSections;
    UsageSort sort = UsageSort::ByDate;
    std::string program_filter;
    DateTime start_date = 0;  // whole days
    DateTime end_date = 0;
    bool operator==(const UsageViewerSettings&) const = default;
};

// A value that is absent or not in its form falls back to its default alone; dates default to
// `today`.
UsageViewerSettings read_usage_viewer_settings(SettingsStore& store, const Locale& locale, DateTime today);
// Throws what the store throws.
void write_usage_viewer_settings(SettingsStore& store, const Locale& locale, const UsageViewerSettings& s);

}  // namespace vx::security
