#include "editor/palette_geometry.h"

#include <gtest/gtest.h>

#include "objects/patterns.h"

namespace vx::editor {
namespace {

TEST(PaletteDisplay, ColourCountFollowsBitsTimesPlanes) {
    struct Case {
        int bits, planes;
        int64_t colors;
    } cases[] = {{1, 1, 2},           {4, 1, 16},          {1, 4, 16},
                 {8, 1, 256},         {2, 4, 256},         {9, 1, kTrueColor},
                 {16, 1, kTrueColor}, {24, 1, kTrueColor}, {32, 1, kTrueColor}};
    for (const auto& c : cases)
        EXPECT_EQ(display_colors(c.bits, c.planes), c.colors) << c.bits << "x" << c.planes;
    EXPECT_TRUE(palette_editor_available(16));
    EXPECT_TRUE(palette_editor_available(256));
    EXPECT_FALSE(palette_editor_available(65536));
    EXPECT_FALSE(palette_editor_available(kTrueColor));
}

TEST(ColorGrid, EachDisplayGetsItsGridNumberedDownTheColumns) {
    const Grid sixteen = *color_grid(16);
    EXPECT_EQ(sixteen.size(), (port::Size{160, 160}));
    EXPECT_EQ(sixteen.number(*sixteen.at({40 + 5, 80 + 39})), 6) << "column 1, row 2 is entry 6";
    EXPECT_EQ(color_grid(2)->count(), 16) << "a two-colour display shows the first sixteen";

    const Grid full = *color_grid(256);
    EXPECT_EQ(full.size(), (port::Size{160, 160}));
    EXPECT_EQ(full.number({3, 5}), 53);
    EXPECT_EQ(full.number({15, 15}), 255);
    EXPECT_EQ(full.cell_of(53), (Cell{3, 5}));
    EXPECT_EQ(full.rect({3, 5}), (port::Rect{30, 50, 40, 60}));
    EXPECT_FALSE(color_grid(65536));
    EXPECT_FALSE(color_grid(kTrueColor));
}

TEST(ColorGrid, PointsOffTheGridFindNoCellOrTheNearestEdge) {
    const Grid g = *color_grid(16);
    struct Case {
        port::Point p;
        std::optional<Cell> at;
        Cell clamped;
    } cases[] = {{{0, 0}, Cell{0, 0}, {0, 0}},       {{159, 159}, Cell{3, 3}, {3, 3}},
                 {{160, 20}, std::nullopt, {3, 0}},  {{-1, 45}, std::nullopt, {0, 1}},
                 {{-30, -30}, std::nullopt, {0, 0}}, {{500, 500}, std::nullopt, {3, 3}}};
    for (const auto& c : cases) {
        EXPECT_EQ(g.at(c.p), c.at) << c.p.x << "," << c.p.y;
        EXPECT_EQ(g.clamped(c.p), c.clamped) << c.p.x << "," << c.p.y;
    }
}

TEST(ColorGrid, ArrowsStepAndStopAtTheEdges) {
    const Grid g = *color_grid(16);
    EXPECT_EQ(g.moved({1, 1}, Arrow::Left), (Cell{0, 1}));
    EXPECT_EQ(g.moved({1, 1}, Arrow::Right), (Cell{2, 1}));
    EXPECT_EQ(g.moved({1, 1}, Arrow::Up), (Cell{1, 0}));
    EXPECT_EQ(g.moved({1, 1}, Arrow::Down), (Cell{1, 2}));
    EXPECT_EQ(g.moved({0, 0}, Arrow::Left), (Cell{0, 0}));
    EXPECT_EQ(g.moved({0, 0}, Arrow::Up), (Cell{0, 0}));
    EXPECT_EQ(g.moved({3, 3}, Arrow::Right), (Cell{3, 3}));
    EXPECT_EQ(g.moved({3, 3}, Arrow::Down), (Cell{3, 3}));
}

TEST(ColorGrid, TheChosenColourPlacesTheHighlight) {
    port::Palette palette;
    for (int i = 0; i < 256; ++i) palette.entries[static_cast<size_t>(i)] = port::rgb(i, i, i);
    const Grid sixteen = *color_grid(16);
    EXPECT_EQ(color_cell(sixteen, port::palette_index(6), palette), (Cell{1, 2}));
    EXPECT_EQ(color_cell(sixteen, port::palette_index(200), palette), (Cell{0, 0})) << "not on this grid";
    EXPECT_EQ(color_cell(sixteen, port::rgb(9, 9, 9), palette), (Cell{2, 1})) << "the nearest entry";
    EXPECT_EQ(color_cell(*color_grid(256), port::rgb(200, 201, 199), palette), (Cell{12, 8}));
}

TEST(LinePalettes, WidthsFromOutsideMarkTheirRowOthersAreRefused) {
    for (size_t row = 0; row < kLineWidths.size(); ++row) {
        EXPECT_EQ(line_width_row(kLineWidths[row]), static_cast<int>(row)) << kLineWidths[row];
        EXPECT_EQ(line_width_of_row(static_cast<int>(row)), kLineWidths[row]);
    }
    for (int w : {-1, 4, 6, 8, 10, 14, 16, 100}) EXPECT_FALSE(line_width_row(w)) << w;
    for (int s = 0; s < 5; ++s) EXPECT_EQ(line_style_row(s), s);
    EXPECT_FALSE(line_style_row(-1));
    EXPECT_FALSE(line_style_row(5));
}

TEST(PopupPlacement, KeptOnTheScreen) {
    const port::Rect screen{0, 0, 800, 600};
    const port::Size size{168, 168};
    struct Case {
        port::Point at, placed;
    } cases[] = {
        {{100, 100}, {100, 100}},  // room enough
        {{700, 100}, {632, 100}},  // past the right edge: ends at it
        {{100, 500}, {100, 432}},  // past the bottom
        {{790, 590}, {632, 432}},  // both
        {{-50, -20}, {0, 0}},      // above and left of the screen
    };
    for (const auto& c : cases)
        EXPECT_EQ(place_popup(c.at, size, screen), c.placed) << c.at.x << "," << c.at.y;
    // A screen to the left of the primary one, and a palette larger than the screen.
    EXPECT_EQ(place_popup({-100, 10}, size, {-1024, 0, 0, 768}), (port::Point{-168, 10}));
    EXPECT_EQ(place_popup({10, 10}, {300, 300}, {0, 0, 200, 200}), (port::Point{0, 0}));
}

TEST(PatternBox, EachCellShowsItsPatternDownTheColumns) {
    const auto box = pattern_box();
    const auto ink = [&](int x, int y) { return box[static_cast<size_t>(y * kPatternBoxSize + x)]; };
    // Grid lines every 22 pixels, the last one at 154.
    for (int t = 0; t < kPatternBoxSize; ++t) {
        EXPECT_TRUE(ink(0, t) && ink(154, t) && ink(t, 0) && ink(t, 154) && ink(66, t) && ink(t, 110));
    }
    const auto cell_ink = [&](int n) {
        const port::Rect r = kFillGrid.rect(kFillGrid.cell_of(n));
        int count = 0;
        for (int y = r.top + 1; y < r.bottom; ++y)
            for (int x = r.left + 1; x < r.right; ++x) count += ink(x, y);
        return count;
    };
    EXPECT_EQ(cell_ink(0), 21 * 21) << "solid";
    EXPECT_EQ(cell_ink(7), 0) << "column 1, row 0: no fill";
    // Pattern 9 is column 1, row 2; its picture is tiled from the cell's corner.
    const auto p9 = *objects::fill_pattern(9);
    const port::Rect r = kFillGrid.rect({1, 2});
    EXPECT_EQ(r.left, 22);
    EXPECT_EQ(r.top, 44);
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 21; ++x)
            EXPECT_EQ(ink(r.left + 1 + x, r.top + 1 + y),
                      (p9.rows[static_cast<size_t>(y % 8)] & (0x80 >> (x % 8))) != 0)
                << x << "," << y;
    for (int n = 1; n <= 48; ++n)
        if (n != 7) {
            EXPECT_GT(cell_ink(n), 0) << n;
        }
}

TEST(Spectrum, HuesAcrossWhiteToBlackDownGreysAtTheRight) {
    const port::Size size{192, 97};
    EXPECT_EQ(spectrum_color(0, 48, size), port::rgb(255, 0, 0));
    EXPECT_EQ(spectrum_color(0, 0, size), port::rgb(255, 255, 255));
    EXPECT_EQ(spectrum_color(90, 96, size), port::rgb(0, 0, 0));
    EXPECT_EQ(spectrum_color(60, 48, size), port::rgb(0, 255, 0));  // a third of the hues
    EXPECT_EQ(spectrum_color(120, 48, size), port::rgb(0, 0, 255));
    EXPECT_EQ(spectrum_color(191, 0, size), port::rgb(255, 255, 255));
    EXPECT_EQ(spectrum_color(185, 96, size), port::rgb(0, 0, 0));
    const port::Color mid = spectrum_color(181, 48, size);
    EXPECT_EQ(port::red_of(mid), port::green_of(mid));
    EXPECT_EQ(port::green_of(mid), port::blue_of(mid));
    // Points outside take the nearest edge's colour, never a made-up one.
    EXPECT_EQ(spectrum_color(-5, 48, size), spectrum_color(0, 48, size));
    EXPECT_EQ(spectrum_color(40, 500, size), port::rgb(0, 0, 0));
}

}  // namespace
}  // namespace vx::editor
