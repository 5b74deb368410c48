#pragma once
// The rules of the pop-up palettes that choose colours, fill patterns, line widths and line
// styles: which grid a display gets, which cell a point falls in and what the cell means, how the
// arrow keys move the highlight, and where a palette may appear on the screen. The windows only
// draw what these say and report what the person did.
#include <array>
#include <cstdint>
#include <optional>

#include "port/canvas.h"

namespace vx::editor {

// 2 to the power of bits per pixel times planes for palette displays, 16,777,216 above 8 bits.
int64_t display_colors(int bits_per_pixel, int planes);
inline constexpr int64_t kTrueColor = 16777216;

// "Set &Palette..." edits the colours that palette displays show; above 256 colours there is no
// palette to edit.
inline bool palette_editor_available(int64_t colors) {
    return colors <= 256;
}

struct Cell {
    int column = 0;
    int row = 0;
    friend bool operator==(const Cell&, const Cell&) = default;
};

enum class Arrow { Left, Right, Up, Down };

// A grid of square cells numbered down the columns: the cell in column c and row r is number
// c * rows + r, so consecutive palette entries run down a column.
struct Grid {
    int columns = 0;
    int rows = 0;
    int cell = 0;  // pixels

    int count() const { return columns * rows; }
    port::Size size() const { return {columns * cell, rows * cell}; }
    int number(Cell c) const { return c.column * rows + c.row; }
    Cell cell_of(int number) const { return {number / rows, number % rows}; }
    bool contains(int number) const { return number >= 0 && number < count(); }
    // Offsets from the grid's top-left corner.
    port::Rect rect(Cell c) const {
        return {c.column * cell, c.row * cell, (c.column + 1) * cell, (c.row + 1) * cell};
    }
    // The cell under a point, or nullopt off the grid.
    std::optional<Cell> at(port::Point p) const;
    // The cell under a point, taking the nearest edge cell for a point off the grid: a press
    // that wanders off the grid keeps choosing along its edge.
    Cell clamped(port::Point p) const;
    // One step in a direction, stopping at the grid's edges.
    Cell moved(Cell c, Arrow a) const;
};

// The colour palette's grid on a display of `colors`: 4 x 4 cells of 40 pixels up to 16 colours
// (a two- or four-colour display shows the first 16 entries, which the system maps to what it
// can show), 16 x 16 cells of 10 pixels up to 256; none above, where a spectrum is shown.
std::optional<Grid> color_grid(int64_t colors);
// The fill palette's picture: 7 x 7 cells of 22 pixels, pattern number = column * 7 + row.
inline constexpr Grid kFillGrid{7, 7, 22};
// The palette windows frame their grid with 4 pixels on every side.
inline constexpr int kPaletteMargin = 4;
// No palette window is ever smaller than this, however little it shows.
inline constexpr int kMinPaletteSize = 25;

// The cell a chosen colour highlights: its entry for a palette-index colour, the nearest entry
// of `palette` for a plain one; the first cell when that entry is not on the grid.
Cell color_cell(const Grid& grid, port::Color chosen, const port::Palette& palette);

// The fill pattern picture ("Patternbox"): 155 x 155 pixels, true where ink is. Black grid
// lines 22 pixels apart; each cell shows its pattern from the table the objects draw with,
// pattern 0 filled solid and 7 (no fill) left empty.
inline constexpr int kPatternBoxSize = 155;
std::array<bool, kPatternBoxSize * kPatternBoxSize> pattern_box();

// Line widths and styles, one row each.
inline constexpr std::array<int, 10> kLineWidths = {0, 1, 2, 3, 5, 7, 9, 11, 13, 15};
inline constexpr int kLineStyles = 5;  // solid, dash, dot, dash-dot, dash-dot-dot
inline constexpr int kLineRowHeight = 20;
// The row that shows `width`; nullopt for a width the palette does not offer.
std::optional<int> line_width_row(int width);
int line_width_of_row(int row);
std::optional<int> line_style_row(int style);

// Where a palette of `size` asked for at `at` appears: moved left and up as far as it takes to
// end at the screen's right and bottom edges, then right and down so that its top-left corner is
// on the screen when the palette is larger than the screen.
port::Point place_popup(port::Point at, port::Size size, const port::Rect& screen);

// The colour spectrum shown for choosing among true colours: hues from left to right, each from
// white at the top through the pure hue halfway down to black at the bottom, with a strip of
// greys from white to black along the right edge.
port::Color spectrum_color(int x, int y, port::Size size);
inline constexpr int kSpectrumGreyStrip = 12;

}  // namespace vx::editor
