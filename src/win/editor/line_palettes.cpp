#include "win/editor/line_palettes.h"

#include "win/util/ui_font.h"

namespace vx::win::editor {
namespace {

using vx::editor::kLineRowHeight;
using vx::editor::kPaletteMargin;

// Drawn rather than taken from a symbol font, which a station may not have.
void check_mark(HDC dc, const RECT& row) {
    const int x = row.left + 5, y = row.top + kLineRowHeight / 2;
    const POINT points[] = {{x, y}, {x + 3, y + 3}, {x + 10, y - 4}};
    unique_hpen pen(CreatePen(PS_SOLID, 2, RGB(0, 0, 0)));
    const HGDIOBJ old = SelectObject(dc, pen.get());
    Polyline(dc, points, 3);
    SelectObject(dc, old);
}

}  // namespace

RECT TRowPalette::row_rect(int row) const {
    const int top = kPaletteMargin + row * kLineRowHeight;
    return {kPaletteMargin, top, kPaletteMargin + kWidth, top + kLineRowHeight};
}

SIZE TRowPalette::content_size() const {
    return {kWidth + 2 * kPaletteMargin, rows_ * kLineRowHeight + 2 * kPaletteMargin};
}

void TRowPalette::paint_content(HDC dc) {
    for (int row = 0; row < rows_; ++row) {
        const RECT r = row_rect(row);
        FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
        if (row == marked_) check_mark(dc, r);
        const RECT sample{r.left + kCheckWidth, r.top, r.right - 6, r.bottom};
        paint_row(dc, row, sample);
    }
    frame_highlight(dc, highlight_rect(), 1);
}

RECT TRowPalette::highlight_rect() const {
    RECT r = row_rect(marked_);
    InflateRect(&r, -1, -1);
    return r;
}

std::optional<int> TRowPalette::row_at(POINT p) const {
    if (p.x < kPaletteMargin || p.x >= kPaletteMargin + kWidth) return std::nullopt;
    const int row = (p.y - kPaletteMargin) / kLineRowHeight;
    if (p.y < kPaletteMargin || row >= rows_) return std::nullopt;
    return row;
}

void TRowPalette::mark(int row) {
    if (row == marked_) return;
    const RECT before = row_rect(marked_);
    marked_ = row;
    move_highlight(before);
}

void TRowPalette::key(UINT vk) {
    if (vk == VK_UP && marked_ > 0) mark(marked_ - 1);
    if (vk == VK_DOWN && marked_ < rows_ - 1) mark(marked_ + 1);
}

bool TRowPalette::mouse_down(POINT p) {
    const auto row = row_at(p);
    if (!row) return false;
    mark(*row);
    return true;
}

void TRowPalette::mouse_move(POINT p) {
    // The mark follows the pointer over the rows, pressed or not, as a menu's highlight does.
    if (const auto row = row_at(p)) mark(*row);
}

void TRowPalette::mouse_up(POINT p) {
    // A release off the rows chooses the row the mark was left on.
    if (const auto row = row_at(p)) mark(*row);
    accept();
}

void TRowPalette::accept() {
    chosen_ = marked_;
    finish(kChosen);
}

bool TLineWidthPalette::set_width(int width) {
    const auto row = vx::editor::line_width_row(width);
    if (!row) return false;
    set_chosen_row(*row);
    return true;
}

std::optional<int> TLineWidthPalette::choose(HWND owner, const RECT& button, int current) {
    set_width(current);
    if (popup_below(button, owner) != kChosen) return std::nullopt;
    return width();
}

void TLineWidthPalette::paint_row(HDC dc, int row, const RECT& sample) {
    const int width = vx::editor::line_width_of_row(row);
    if (width == 0) {
        const HGDIOBJ old = SelectObject(dc, ui_font());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        RECT r = sample;
        DrawTextW(dc, L"None", -1, &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        SelectObject(dc, old);
        return;
    }
    // Square ends, so that every sample is as long as the others.
    const LOGBRUSH ink{BS_SOLID, RGB(0, 0, 0), 0};
    unique_hpen pen(
        ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT, static_cast<DWORD>(width), &ink, 0, nullptr));
    const HGDIOBJ old = SelectObject(dc, pen.get());
    const int y = (sample.top + sample.bottom) / 2;
    MoveToEx(dc, sample.left, y, nullptr);
    LineTo(dc, sample.right, y);
    SelectObject(dc, old);
}

bool TLineStylePalette::set_style(int style) {
    const auto row = vx::editor::line_style_row(style);
    if (!row) return false;
    set_chosen_row(*row);
    return true;
}

std::optional<int> TLineStylePalette::choose(HWND owner, const RECT& button, int current) {
    set_style(current);
    if (popup_below(button, owner) != kChosen) return std::nullopt;
    return style();
}

void TLineStylePalette::paint_row(HDC dc, int row, const RECT& sample) {
    static constexpr int kStyles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT};
    unique_hpen pen(CreatePen(kStyles[row], 1, RGB(0, 0, 0)));
    const HGDIOBJ old = SelectObject(dc, pen.get());
    // Styled pens leave their gaps in the background colour unless told otherwise.
    SetBkMode(dc, TRANSPARENT);
    const int y = (sample.top + sample.bottom) / 2;
    MoveToEx(dc, sample.left, y, nullptr);
    LineTo(dc, sample.right, y);
    SelectObject(dc, old);
}

}  // namespace vx::win::editor
