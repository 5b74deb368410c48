#include "security/usage_log_print.h"

#include <gtest/gtest.h>

#include <map>

namespace vx::security {
namespace {

const UsEnglishLocale kLocale;

UsageRecord rec(std::string program, DateTime start, double used_minutes) {
    UsageRecord r;
    r.program = std::move(program);
    r.user = "ann";
    r.start_time = start;
    r.used_mark = start + used_minutes / 1440.0;
    r.end_time = start + 1.0 / 24;
    r.last_seen = r.end_time;
    return r;
}

UsageView view_of(std::vector<UsageRecord> records) {
    UsageViewBuilder b(UsageQuery{});
    for (auto& r : records) b.offer(std::move(r));
    return std::move(b).finish();
}

// 600 dpi: margins of 450 (top) and 300 (left) pixels.
UsagePrintMetrics metrics(int page_height) {
    return {600, 600, page_height, 50, {58, 152, 80, 80, 80}};
}

TEST(UsagePrintLayout, TitleRowsAndTotalSitAtTheMarginsAndScaledColumns) {
    const DateTime day = make_datetime({2026, 3, 5}, {9, 0, 0});
    const auto view = view_of({rec("Letter - Word", day, 35), rec("Sheet", day + 0.01, 25)});
    const auto layout = layout_usage_print(view, kLocale, metrics(6600));

    ASSERT_EQ(layout.pages.size(), 1u);
    const auto& page = layout.pages[0];
    ASSERT_EQ(page.size(), 1u + 6 * 2 + 2);
    EXPECT_EQ(page[0], (PrintedText{300, 450, "Vantora! Usage Log"}));
    // Each column starts three times the on-screen widths before it from the margin.
    const int xs[6] = {300, 300 + 3 * 58, 300 + 3 * 210, 300 + 3 * 290, 300 + 3 * 370, 300 + 3 * 450};
    for (std::size_t row = 0; row < 2; ++row) {
        const auto cols = usage_row_columns(view.rows[row], kLocale);
        for (std::size_t c = 0; c < 6; ++c)
            EXPECT_EQ(page[1 + row * 6 + c], (PrintedText{xs[c], 600 + 50 * static_cast<int>(row), cols[c]}));
    }
    EXPECT_EQ(page[13], (PrintedText{300, 700, "Total"}));
    EXPECT_EQ(page[14], (PrintedText{xs[4], 700, "1 hr 0 min"}));
}

TEST(UsagePrintLayout, EmptyViewPrintsTitleAndZeroTotal) {
    const auto layout = layout_usage_print(UsageView{}, kLocale, metrics(6600));
    ASSERT_EQ(layout.pages.size(), 1u);
    ASSERT_EQ(layout.pages[0].size(), 3u);
    EXPECT_EQ(layout.pages[0][2].text, "0 hr 0 min");
}

TEST(UsagePrintLayout, StartsANewPageBeforeALineWouldReachTheBottomMargin) {
    std::vector<UsageRecord> records;
    const DateTime day = make_datetime({2026, 3, 5}, {9, 0, 0});
    for (int i = 0; i < 7; ++i) records.push_back(rec("P" + std::to_string(i), day + i * 0.001, 1));
    const auto view = view_of(records);
    // Lines at 600, 650, 700; the fourth would end at 800, past 1200 - 450.
    const auto layout = layout_usage_print(view, kLocale, metrics(1200));

    ASSERT_EQ(layout.pages.size(), 3u);
    std::vector<std::string> firsts;
    for (const auto& page : layout.pages) {
        EXPECT_EQ(page.front(), (PrintedText{300, 450, "Vantora! Usage Log"}));
        for (const auto& t : page) EXPECT_LE(t.y + 50, 750);
        EXPECT_EQ(page[1].y, 600);
        firsts.push_back(page[1].text);
    }
    EXPECT_EQ(layout.pages[0].size(), 1u + 18);
    EXPECT_EQ(layout.pages[1].size(), 1u + 18);
    EXPECT_EQ(layout.pages[2].size(), 1u + 6 + 2);
    EXPECT_EQ(layout.pages[2].back().text, "0 hr 7 min");
}

TEST(UsagePrintLayout, DegeneratePrinterMetricsStillEndWithOneLinePerPage) {
    const DateTime day = make_datetime({2026, 3, 5}, {9, 0, 0});
    const auto view = view_of({rec("A", day, 1), rec("B", day, 1), rec("C", day, 1)});
    for (const UsagePrintMetrics& m :
         {UsagePrintMetrics{}, UsagePrintMetrics{-5, -5, -100, -3, {-1, -1, -1, -1, -1}}}) {
        const auto layout = layout_usage_print(view, kLocale, m);
        EXPECT_EQ(layout.pages.size(), 4u);
    }
}

class MapStore final : public SettingsStore {
public:
    std::map<std::string, std::string> values;  // "section/name"
    std::optional<std::string> read(const std::string& section, const std::string& name) override {
        auto it = values.find(section + "/" + name);
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
    void write(const std::string& section, const std::string& name, const std::string& value) override {
        values[section + "/" + name] = value;
    }
};

TEST(UsageViewerSettings, WrittenInTheirStoredFormAndReadBack) {
    MapStore store;
    UsageViewerSettings s;
    s.window = WindowBounds{10, 20, 500, 300};
    s.sections = {60, 150, 81, 82, 83};
    s.sort = UsageSort::ByUser;
    s.program_filter = "*word";
    s.start_date = make_datetime({2026, 3, 1});
    s.end_date = make_datetime({2026, 3, 5});
    write_usage_viewer_settings(store, kLocale, s);

    const std::map<std::string, std::string> expected{{"VXLog/Window", "10,20,500,300"},
                                                      {"VXLog/Sections", "60,150,81,82,83"},
                                                      {"VXLog/SortBy", "3"},
                                                      {"VXLog/ProgramName", "*word"},
                                                      {"VXLog/StartDate", "3/1/2026"},
                                                      {"VXLog/EndDate", "3/5/2026"}};
    EXPECT_EQ(store.values, expected);
    EXPECT_EQ(read_usage_viewer_settings(store, kLocale, 0), s);
}

TEST(UsageViewerSettings, MissingOrMalformedValuesFallBackOneByOne) {
    const DateTime today = make_datetime({2026, 3, 5}, {14, 30, 0});
    const DateTime midnight = make_datetime({2026, 3, 5});

    MapStore empty;
    const auto d = read_usage_viewer_settings(empty, kLocale, today);
    EXPECT_FALSE(d.window);
    EXPECT_EQ(d.sections, kDefaultUsageSections);
    EXPECT_EQ(d.sort, UsageSort::ByDate);
    EXPECT_EQ(d.program_filter, "");
    EXPECT_EQ(d.start_date, midnight);
    EXPECT_EQ(d.end_date, midnight);

    struct Case {
        const char* name;
        const char* value;
    };
    const Case bad[] = {
        {"Window", "1,2,3"},
        {"Window", "1,2,0,300"},
        {"Window", "1,2,3,4,5"},
        {"Window", "a,b,c,d"},
        {"Sections", "1,2,3,4"},
        {"Sections", "1,2,3,4,5,6"},
        {"Sections", "1,2,-3,4,5"},
        {"Sections", "1,,3,4,5"},
        {"SortBy", "0"},
        {"SortBy", "4"},
        {"SortBy", "two"},
        {"StartDate", "yesterday"},
        {"StartDate", ""},
        {"EndDate", "13/45/2026"},
    };
    for (const auto& c : bad) {
        MapStore store;
        store.values[std::string("VXLog/") + c.name] = c.value;
        store.values["VXLog/ProgramName"] = "keep";
        const auto s = read_usage_viewer_settings(store, kLocale, today);
        auto expected = d;
        expected.program_filter = "keep";
        EXPECT_EQ(s, expected) << c.name << "=" << c.value;
    }

    MapStore spaced;
    spaced.values["VXLog/Window"] = " 5, 6 ,700,400 ";
    spaced.values["VXLog/StartDate"] = "3/1/2026 9:00:00 AM";
    const auto s = read_usage_viewer_settings(spaced, kLocale, today);
    EXPECT_EQ(s.window, (WindowBounds{5, 6, 700, 400}));
    EXPECT_EQ(s.start_date, make_datetime({2026, 3, 1}));
}

}  // namespace
}  // namespace vx::security
