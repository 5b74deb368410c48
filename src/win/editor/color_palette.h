#pragma once
// TColorPalette: the pop-up colour chooser. On displays of up to 256 colours it shows the
// logical palette as a grid of cells and chooses palette-index colours, which such displays
// show exactly; above 256 colours it shows a spectrum with "Red", "Green" and "Blue" track bars
// and chooses any colour.
#include <windows.h>

#include <optional>

#include "editor/palette_geometry.h"
#include "model/desktop.h"
#include "port/canvas.h"
#include "win/editor/popup_palette.h"

namespace vx::win::editor {

class TColorPalette final : public TPopUpPalette {
public:
    // `colors` is the display's colour count; 0 takes the screen's when the palette pops up.
    explicit TColorPalette(int64_t colors = 0) : colors_(colors) {}

    // What the grid shows and palette-index colours mean; the desktop's logical palette.
    void set_palette(const model::Palette& palette);
    void set_display_colors(int64_t colors) { colors_ = colors; }
    int64_t display_colors() const;

    port::Color color() const { return color_; }
    void set_color(port::Color c) { color_ = c; }

    // The callers' entry point: pops up below `button` (screen coordinates) showing `current`;
    // the chosen colour, or nullopt when the person cancelled.
    std::optional<port::Color> choose(HWND owner, const RECT& button, port::Color current);

    // What the window shows, for its callers' tests.
    bool spectrum_shown() const { return !grid_; }
    const GridTracker* grid() const { return grid_ ? &*grid_ : nullptr; }
    RECT spectrum_rect() const;
    // The colour in the sample (spectrum mode).
    port::Color sample() const { return port::rgb(bars_[0], bars_[1], bars_[2]); }
    HWND control(int id) const { return GetDlgItem(hwnd(), id); }

protected:
    SIZE content_size() const override;
    void create_children() override;
    void begin() override;
    void cancelled() override { color_ = color_at_begin_; }
    void paint_content(HDC dc) override;
    RECT highlight_rect() const override;
    void key(UINT vk) override;
    bool mouse_down(POINT p) override;
    void mouse_move(POINT p) override;
    void mouse_up(POINT p) override;
    void accept() override;
    bool child_message(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

private:
    void paint_grid(HDC dc);
    void paint_spectrum(HDC dc);
    void show_spectrum_controls(bool show);
    // The three components into the bars, the edits and the sample.
    void show_components(int red, int green, int blue);
    void pick(POINT p);
    COLORREF rgb_of(port::Color c) const;
    void choose_sample();

    int64_t colors_;
    model::Palette palette_ = model::default_palette();
    port::Palette colors_of_palette_{};
    unique_hpalette gdi_palette_;
    port::Color color_ = 0;
    port::Color color_at_begin_ = 0;
    std::optional<GridTracker> grid_;
    unique_hbitmap spectrum_;
    POINT picked_{-1, -1};  // the point of the spectrum last taken, in client coordinates
    int bars_[3] = {};
    bool updating_ = false;  // the edits are being set from the bars, not typed into
};

}  // namespace vx::win::editor
