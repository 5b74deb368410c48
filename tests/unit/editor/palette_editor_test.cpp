#include "editor/palette_editor.h"

#include <gtest/gtest.h>

#include <vector>

namespace vx::editor {
namespace {

model::Palette greys() {
    model::Palette p{};
    for (size_t i = 0; i < p.size(); ++i) {
        const auto v = static_cast<uint8_t>(i);
        p[i] = {v, v, v, 0};
    }
    return p;
}

TEST(PaletteEditor, EditsTheSelectedEntryAndResetsFromTheCopyTakenAtTheStart) {
    PaletteEditor e(greys());
    EXPECT_EQ(e.selected(), 0);
    e.select(300);
    EXPECT_EQ(e.selected(), 255);
    e.select(-4);
    EXPECT_EQ(e.selected(), 0);

    e.select(40);
    e.set_selected({10, 300, -5});
    EXPECT_EQ(e.selected_entry(), (model::PaletteEntry{10, 255, 0, 0}));
    e.select(41);
    e.set_selected({1, 2, 3});
    e.reset_color();
    EXPECT_EQ(e.palette()[41], greys()[41]);
    EXPECT_EQ(e.palette()[40], (model::PaletteEntry{10, 255, 0, 0})) << "only the selected entry";
    EXPECT_EQ(e.original(), greys());
    e.reset_palette();
    EXPECT_EQ(e.palette(), greys());
}

TEST(PaletteEditor, UntickingTheWindowsColoursTakesBackOnlyWhatTheTickChanged) {
    PaletteEditor e(greys());
    e.select(3);
    e.set_selected({9, 9, 9});
    e.select(100);
    e.set_selected({1, 2, 3});
    e.use_windows16(true);
    for (size_t i = 0; i < 16; ++i) EXPECT_EQ(e.palette()[i], model::windows16_colors()[i]) << i;
    EXPECT_EQ(e.palette()[9], (model::PaletteEntry{255, 0, 0, 0})) << "red comes tenth";
    e.use_windows16(false);
    EXPECT_EQ(e.palette()[3], (model::PaletteEntry{9, 9, 9, 0})) << "an edit made before the tick";
    EXPECT_EQ(e.palette()[100], (model::PaletteEntry{1, 2, 3, 0})) << "an edit outside the sixteen";
    EXPECT_EQ(e.palette()[4], greys()[4]);
}

TEST(PaletteEditor, LoadedColoursReplaceTheEntriesTheyCover) {
    PaletteEditor e(greys());
    const std::vector<imaging::Rgb> colors = {{1, 2, 3}, {4, 5, 6}};
    e.load_colors(colors);
    EXPECT_EQ(e.palette()[0], (model::PaletteEntry{1, 2, 3, 0}));
    EXPECT_EQ(e.palette()[1], (model::PaletteEntry{4, 5, 6, 0}));
    EXPECT_EQ(e.palette()[2], greys()[2]);

    const auto r = e.load_text("JASC-PAL\r\n0100\r\n3\r\n7 7 7\r\n8 8 8\r\n9 9 9\r\n");
    EXPECT_EQ(r.entries, 3);
    EXPECT_EQ(e.palette()[0], (model::PaletteEntry{0, 0, 0, 0}));
    EXPECT_EQ(e.palette()[2], (model::PaletteEntry{9, 9, 9, 0}));
    EXPECT_EQ(e.original(), greys()) << "Cancel still has the palette the dialog opened with";
}

TEST(PaletteEditor, BrightnessMovesAllThreeBarsWithinTheirRange) {
    struct Case {
        Rgb3 bars;
        int shown, moved;
        Rgb3 result;
    } cases[] = {
        {{100, 50, 200}, 200, 220, {120, 70, 220}}, {{100, 50, 200}, 200, 150, {50, 0, 150}},
        {{250, 10, 0}, 250, 255, {255, 15, 5}},     {{30, 10, 0}, 30, 0, {0, 0, 0}},
        {{40, 40, 40}, 40, 40, {40, 40, 40}},
    };
    for (const auto& c : cases) EXPECT_EQ(shift_brightness(c.bars, c.shown, c.moved), c.result);
    EXPECT_EQ(brightness(10, 200, 30), 200);
}

}  // namespace
}  // namespace vx::editor
