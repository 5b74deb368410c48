#include "editor/palette_geometry.h"

#include <algorithm>

#include "objects/patterns.h"

namespace vx::editor {

int64_t display_colors(int bits_per_pixel, int planes) {
    const int bits = bits_per_pixel * planes;
    if (bits < 1) return 2;  // no display answers this; treat it as the poorest
    return bits < 9 ? int64_t{1} << bits : kTrueColor;
}

std::optional<Cell> Grid::at(port::Point p) const {
    if (p.x < 0 || p.y < 0 || p.x >= columns * cell || p.y >= rows * cell) return std::nullopt;
    return Cell{p.x / cell, p.y / cell};
}

Cell Grid::clamped(port::Point p) const {
    return {std::clamp(p.x < 0 ? 0 : p.x / cell, 0, columns - 1),
            std::clamp(p.y < 0 ? 0 : p.y / cell, 0, rows - 1)};
}

Cell Grid::moved(Cell c, Arrow a) const {
    switch (a) {
        case Arrow::Left:
            c.column = std::max(c.column - 1, 0);
            break;
        case Arrow::Right:
            c.column = std::min(c.column + 1, columns - 1);
            break;
        case Arrow::Up:
            c.row = std::max(c.row - 1, 0);
            break;
        case Arrow::Down:
            c.row = std::min(c.row + 1, rows - 1);
            break;
    }
    return c;
}

std::optional<Grid> color_grid(int64_t colors) {
    if (colors <= 16) return Grid{4, 4, 40};
    if (colors <= 256) return Grid{16, 16, 10};
    return std::nullopt;
}

Cell color_cell(const Grid& grid, port::Color chosen, const port::Palette& palette) {
    const int entry = port::is_palette_index(chosen) ? (chosen & 0xFF) : palette.nearest(chosen);
    return grid.contains(entry) ? grid.cell_of(entry) : Cell{};
}

std::array<bool, kPatternBoxSize * kPatternBoxSize> pattern_box() {
    std::array<bool, kPatternBoxSize * kPatternBoxSize> ink{};
    const auto set = [&](int x, int y) { ink[static_cast<size_t>(y * kPatternBoxSize + x)] = true; };
    const int step = kFillGrid.cell;
    for (int k = 0; k <= kFillGrid.columns; ++k)
        for (int t = 0; t < kPatternBoxSize; ++t) {
            set(k * step, t);
            set(t, k * step);
        }
    for (int n = 0; n < kFillGrid.count(); ++n) {
        const port::Rect r = kFillGrid.rect(kFillGrid.cell_of(n));
        const auto pattern = objects::fill_pattern(n);
        if (!pattern && n != objects::kPatternSolid) continue;
        for (int y = r.top + 1; y < r.bottom; ++y)
            for (int x = r.left + 1; x < r.right; ++x) {
                // Tiled from the cell's corner, as a brush aligned to it would draw.
                const int px = (x - r.left - 1) % 8, py = (y - r.top - 1) % 8;
                if (!pattern || (pattern->rows[static_cast<size_t>(py)] & (0x80 >> px))) set(x, y);
            }
    }
    return ink;
}

std::optional<int> line_width_row(int width) {
    if (std::find(kLineWidths.begin(), kLineWidths.end(), width) == kLineWidths.end()) return std::nullopt;
    return std::clamp((width > 1 ? 1 : 0) + (width + 1) / 2, 0, static_cast<int>(kLineWidths.size()) - 1);
}

int line_width_of_row(int row) {
    return kLineWidths[static_cast<size_t>(std::clamp(row, 0, static_cast<int>(kLineWidths.size()) - 1))];
}

std::optional<int> line_style_row(int style) {
    if (style < 0 || style >= kLineStyles) return std::nullopt;
    return style;
}

port::Point place_popup(port::Point at, port::Size size, const port::Rect& screen) {
    port::Point p = at;
    if (p.x + size.width > screen.right) p.x = screen.right - size.width;
    if (p.y + size.height > screen.bottom) p.y = screen.bottom - size.height;
    p.x = std::max(p.x, screen.left);
    p.y = std::max(p.y, screen.top);
    return p;
}

port::Color spectrum_color(int x, int y, port::Size size) {
    const int w = std::max(size.width, kSpectrumGreyStrip + 2), h = std::max(size.height, 2);
    x = std::clamp(x, 0, w - 1);
    y = std::clamp(y, 0, h - 1);
    if (x >= w - kSpectrumGreyStrip) {
        const int v = 255 - y * 255 / (h - 1);
        return port::rgb(v, v, v);
    }
    // The pure hue: six sectors of red, yellow, green, cyan, blue and magenta.
    const int hue = x * 1536 / (w - kSpectrumGreyStrip);  // 0 .. 1535, 256 steps a sector
    const int sector = hue / 256, f = hue % 256;
    int r = 0, g = 0, b = 0;
    switch (sector) {
        case 0:
            r = 255, g = f;
            break;
        case 1:
            r = 255 - f, g = 255;
            break;
        case 2:
            g = 255, b = f;
            break;
        case 3:
            g = 255 - f, b = 255;
            break;
        case 4:
            b = 255, r = f;
            break;
        default:
            b = 255 - f, r = 255;
            break;
    }
    // From white at the top to the hue halfway down, then to black at the bottom.
    const int half = (h - 1) / 2;
    const auto toward = [](int from, int to, int num, int den) { return from + (to - from) * num / den; };
    if (y <= half) {
        const int den = std::max(half, 1);
        return port::rgb(toward(255, r, y, den), toward(255, g, y, den), toward(255, b, y, den));
    }
    const int den = std::max(h - 1 - half, 1);
    return port::rgb(toward(r, 0, y - half, den), toward(g, 0, y - half, den), toward(b, 0, y - half, den));
}

}  // namespace vx::editor
