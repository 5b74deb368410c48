#pragma once
// The line width and line style palettes: one row per choice, a check mark on the current row
// that follows the pointer and the Up and Down keys, chosen by a release or Enter.
#include <windows.h>

#include <optional>

#include "win/editor/popup_palette.h"

namespace vx::win::editor {

class TRowPalette : public TPopUpPalette {
public:
    int rows() const { return rows_; }
    // The row the check mark is on now, and the row last chosen.
    int marked() const { return marked_; }
    int chosen_row() const { return chosen_; }
    // Client coordinates of a row.
    RECT row_rect(int row) const;

    static constexpr int kWidth = 112;  // the rows' width, in pixels
    static constexpr int kCheckWidth = 20;

protected:
    explicit TRowPalette(int rows) : rows_(rows) {}
    void set_chosen_row(int row) { chosen_ = marked_ = row; }
    virtual void paint_row(HDC dc, int row, const RECT& sample) = 0;

    SIZE content_size() const override;
    void begin() override { marked_ = chosen_; }
    void paint_content(HDC dc) override;
    RECT highlight_rect() const override;
    void key(UINT vk) override;
    bool mouse_down(POINT p) override;
    void mouse_move(POINT p) override;
    void mouse_up(POINT p) override;
    void accept() override;

private:
    // The row under a point, nullopt off the rows (in the frame or beside the palette).
    std::optional<int> row_at(POINT p) const;
    void mark(int row);

    int rows_;
    int marked_ = 0;
    int chosen_ = 0;
};

class TLineWidthPalette final : public TRowPalette {
public:
    TLineWidthPalette() : TRowPalette(static_cast<int>(vx::editor::kLineWidths.size())) {}
    int width() const { return vx::editor::line_width_of_row(chosen_row()); }
    // Only the widths the palette shows (0, 1, 2, 3, 5 ... 15); false, and the width kept, for
    // any other.
    bool set_width(int width);
    // The callers' entry point: the chosen width, or nullopt when the person cancelled.
    std::optional<int> choose(HWND owner, const RECT& button, int current);

protected:
    void paint_row(HDC dc, int row, const RECT& sample) override;
};

class TLineStylePalette final : public TRowPalette {
public:
    TLineStylePalette() : TRowPalette(vx::editor::kLineStyles) {}
    // The pen style: 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot.
    int style() const { return chosen_row(); }
    bool set_style(int style);
    std::optional<int> choose(HWND owner, const RECT& button, int current);

protected:
    void paint_row(HDC dc, int row, const RECT& sample) override;
};

}  // namespace vx::win::editor
