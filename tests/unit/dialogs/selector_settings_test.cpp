#include "dialogs/selector_settings.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

namespace vx::dialogs {
namespace {

struct MemoryStore : SettingsStore {
    std::map<std::pair<std::string, std::string>, std::string> values;
    bool fail = false;
    std::optional<std::string> read(const std::string& section, const std::string& name) override {
        if (fail) throw std::runtime_error("Cannot open the settings to read " + name);
        const auto it = values.find({section, name});
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
    void write(const std::string& section, const std::string& name, const std::string& value) override {
        if (fail) throw std::runtime_error("Cannot write " + name);
        values[{section, name}] = value;
    }
};

TEST(BrowserSettings, DefaultsWhenEmptyOrBroken) {
    MemoryStore store;
    store.values[{"File Browser", "SplitPos"}] = "abc";
    store.values[{"File Browser", "WindowPos"}] = "1,2,-3,4";
    store.values[{"", "TextCase"}] = "7";
    const auto loaded = load_browser_settings(store, SelectorKind::kFile);
    EXPECT_TRUE(loaded.errors.empty());
    EXPECT_EQ(loaded.value.split_pos, 250);
    EXPECT_FALSE(loaded.value.split_horizontal);
    EXPECT_FALSE(loaded.value.preview);
    EXPECT_FALSE(loaded.value.window_pos);
    EXPECT_EQ(loaded.value.text_case, 1);

    store.fail = true;
    const auto failed = load_browser_settings(store, SelectorKind::kImage);
    EXPECT_FALSE(failed.errors.empty());
    EXPECT_EQ(failed.value.split_pos, 250);
    EXPECT_FALSE(save_browser_settings(store, SelectorKind::kImage, failed.value).empty());
}

TEST(BrowserSettings, RoundTripPerSelectorKind) {
    struct Case {
        SelectorKind kind;
        const char* section;
        const char* pos_name;
        const char* invert_name;
    } cases[] = {
        {SelectorKind::kFile, "File Browser", "WindowPos", "InvertFileList"},
        {SelectorKind::kImage, "File Browser", "WindowPos", "InvertTreeFileList1"},
        {SelectorKind::kIcon, "File Browser", "Window", "InvertFileList"},
        {SelectorKind::kDirectory, "Dir Browser", "WindowPos", nullptr},
    };
    for (const auto& c : cases) {
        MemoryStore store;
        BrowserSettings s;
        s.window_pos = WindowPos{10, 20, 600, 400};
        s.invert_list = true;
        s.split_horizontal = true;
        s.split_pos = 180;
        s.show_system_files = true;
        s.file_masks = {"A|*.A", "B|*.B"};
        EXPECT_TRUE(save_browser_settings(store, c.kind, s).empty());
        EXPECT_EQ((store.values[{c.section, c.pos_name}]), "10,20,600,400");
        const auto back = load_browser_settings(store, c.kind).value;
        EXPECT_EQ(back.window_pos, s.window_pos);
        EXPECT_TRUE(back.show_system_files);
        if (c.invert_name) {
            EXPECT_EQ((store.values[{c.section, c.invert_name}]), "1");
            EXPECT_TRUE(back.invert_list);
            EXPECT_TRUE(back.split_horizontal);
            EXPECT_EQ(back.split_pos, 180);
            EXPECT_EQ(back.file_masks, s.file_masks);
            // Reopening must not grow the stored list.
            EXPECT_TRUE(save_browser_settings(store, c.kind, back).empty());
            EXPECT_EQ(load_browser_settings(store, c.kind).value.file_masks.size(), 2u);
        }
    }
}

TEST(BrowserSettings, FileMasksStopAtTheFirstGap) {
    MemoryStore store;
    store.values[{"File Browser", "FileMask0"}] = "A|*.A";
    store.values[{"File Browser", "FileMask1"}] = "B|*.B";
    store.values[{"File Browser", "FileMask3"}] = "D|*.D";
    EXPECT_EQ(load_browser_settings(store, SelectorKind::kFile).value.file_masks,
              (std::vector<std::string>{"A|*.A", "B|*.B"}));
}

TEST(ViewerSettings, DefaultsAndStoredValues) {
    MemoryStore store;
    auto v = load_viewer_settings(store).value;
    EXPECT_TRUE(v.expand_tabs);
    EXPECT_EQ(v.tab_size, 8);
    EXPECT_EQ(v.font.style, 0);
    store.values[{"File Viewer", "ExpandTabs"}] = "0";
    store.values[{"File Viewer", "TabSize"}] = "4";
    store.values[{"File Viewer", "FontName"}] = "Courier New";
    v = load_viewer_settings(store).value;
    EXPECT_FALSE(v.expand_tabs);
    EXPECT_EQ(v.tab_size, 4);
    EXPECT_EQ(v.font.name.value_or(""), "Courier New");
}

TEST(WindowPos, Parse) {
    EXPECT_EQ(parse_window_pos("-5,0,300,200"), (WindowPos{-5, 0, 300, 200}));
    for (const char* bad : {"", "1,2,3", "1,2,3,4,5", "1,2,0,4", "a,b,c,d", "1,,3,4"})
        EXPECT_FALSE(parse_window_pos(bad)) << bad;
}

}  // namespace
}  // namespace vx::dialogs
