#include "win/editor/color_palette.h"

// After windows.h, which it needs.
#include <commctrl.h>

#include <algorithm>
#include <string>

#include "win/editor/palette_ids.h"
#include "win/objects/gdi_canvas.h"
#include "win/objects/image_pictures.h"
#include "win/surface/page_objects.h"
#include "win/util/text.h"

namespace vx::win::editor {
namespace {

using vx::editor::kPaletteMargin;

// Spectrum mode, in client coordinates: the picture, three rows of a label, a track bar and an
// edit, then the sample and "OK".
constexpr SIZE kSpectrumSize{192, 96};
constexpr int kRowsTop = kPaletteMargin + 96 + 6;
constexpr int kRowHeight = 24;
constexpr int kButtonsTop = kRowsTop + 3 * kRowHeight + 2;
constexpr SIZE kSpectrumClient{kSpectrumSize.cx + 2 * kPaletteMargin, kButtonsTop + 24 + kPaletteMargin};

constexpr int kBars[3] = {IDC_PALETTE_RED_BAR, IDC_PALETTE_GREEN_BAR, IDC_PALETTE_BLUE_BAR};
constexpr int kEdits[3] = {IDC_PALETTE_RED_EDIT, IDC_PALETTE_GREEN_EDIT, IDC_PALETTE_BLUE_EDIT};
constexpr int kLabels[3] = {IDC_PALETTE_RED_LABEL, IDC_PALETTE_GREEN_LABEL, IDC_PALETTE_BLUE_LABEL};
constexpr const wchar_t* kLabelTexts[3] = {L"Red", L"Green", L"Blue"};

}  // namespace

void TColorPalette::set_palette(const model::Palette& palette) {
    palette_ = palette;
    gdi_palette_.reset();
    if (hwnd()) InvalidateRect(hwnd(), nullptr, FALSE);
}

int64_t TColorPalette::display_colors() const {
    return colors_ > 0 ? colors_ : screen_colors();
}

std::optional<port::Color> TColorPalette::choose(HWND owner, const RECT& button, port::Color current) {
    set_color(current);
    if (popup_below(button, owner) != kChosen) return std::nullopt;
    return color_;
}

RECT TColorPalette::spectrum_rect() const {
    return {kPaletteMargin, kPaletteMargin, kPaletteMargin + kSpectrumSize.cx,
            kPaletteMargin + kSpectrumSize.cy};
}

SIZE TColorPalette::content_size() const {
    if (!grid_) return kSpectrumClient;
    const port::Size s = grid_->grid.size();
    return {s.width + 2 * kPaletteMargin, s.height + 2 * kPaletteMargin};
}

void TColorPalette::create_children() {
    const INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    for (int i = 0; i < 3; ++i) {
        const int y = kRowsTop + i * kRowHeight;
        add_child(L"STATIC", kLabelTexts[i], SS_LEFT | SS_CENTERIMAGE, {kPaletteMargin, y, 44, y + 22},
                  kLabels[i]);
        const HWND bar = add_child(TRACKBAR_CLASSW, L"", WS_TABSTOP | TBS_HORZ | TBS_NOTICKS | TBS_BOTH,
                                   {44, y, 156, y + 22}, kBars[i]);
        SendMessageW(bar, TBM_SETRANGE, FALSE, MAKELPARAM(0, 255));
        SendMessageW(bar, TBM_SETPAGESIZE, 0, 16);
        const HWND edit =
            add_child(L"EDIT", L"0", WS_TABSTOP | ES_NUMBER | ES_AUTOHSCROLL,
                      {158, y + 1, kSpectrumClient.cx - kPaletteMargin, y + 21}, kEdits[i], WS_EX_CLIENTEDGE);
        SendMessageW(edit, EM_LIMITTEXT, 3, 0);
    }
    add_child(L"BUTTON", L"", WS_TABSTOP | BS_OWNERDRAW, {kPaletteMargin, kButtonsTop, 128, kButtonsTop + 24},
              IDC_PALETTE_SAMPLE);
    add_child(L"BUTTON", L"OK", WS_TABSTOP | BS_PUSHBUTTON,
              {134, kButtonsTop, kSpectrumClient.cx - kPaletteMargin, kButtonsTop + 24}, IDC_PALETTE_OK);
}

void TColorPalette::show_spectrum_controls(bool show) {
    for (int id : {IDC_PALETTE_RED_LABEL, IDC_PALETTE_GREEN_LABEL, IDC_PALETTE_BLUE_LABEL,
                   IDC_PALETTE_RED_BAR, IDC_PALETTE_GREEN_BAR, IDC_PALETTE_BLUE_BAR, IDC_PALETTE_RED_EDIT,
                   IDC_PALETTE_GREEN_EDIT, IDC_PALETTE_BLUE_EDIT, IDC_PALETTE_SAMPLE, IDC_PALETTE_OK})
        ShowWindow(control(id), show ? SW_SHOWNA : SW_HIDE);
}

void TColorPalette::begin() {
    color_at_begin_ = color_;
    colors_of_palette_ = surface::port_palette(palette_);
    if (!gdi_palette_) gdi_palette_ = make_logical_palette(palette_);
    const auto grid = vx::editor::color_grid(display_colors());
    if (grid) {
        grid_ = GridTracker{*grid};
        grid_->cell = vx::editor::color_cell(*grid, color_, colors_of_palette_);
    } else {
        grid_.reset();
        picked_ = {-1, -1};
        const COLORREF c = rgb_of(color_);
        show_components(GetRValue(c), GetGValue(c), GetBValue(c));
    }
    show_spectrum_controls(!grid_);
    InvalidateRect(hwnd(), nullptr, FALSE);
}

COLORREF TColorPalette::rgb_of(port::Color c) const {
    return objects::rgb_of(c, &colors_of_palette_);
}

void TColorPalette::paint_content(HDC dc) {
    if (grid_)
        paint_grid(dc);
    else
        paint_spectrum(dc);
}

void TColorPalette::paint_grid(HDC dc) {
    const HPALETTE previous = gdi_palette_ ? SelectPalette(dc, gdi_palette_.get(), TRUE) : nullptr;
    if (previous) RealizePalette(dc);
    const auto& g = grid_->grid;
    // Small cells touch; large ones keep a border of the frame's colour between them.
    const int gap = g.cell >= 20 ? 2 : 0;
    for (int n = 0; n < g.count(); ++n) {
        RECT r = grid_->rect(g.cell_of(n));
        InflateRect(&r, -gap, -gap);
        unique_hbrush brush(CreateSolidBrush(PALETTEINDEX(static_cast<WORD>(n))));
        FillRect(dc, &r, brush.get());
    }
    frame_highlight(dc, highlight_rect(), 2);
    if (previous) SelectPalette(dc, previous, TRUE);
}

void TColorPalette::paint_spectrum(HDC dc) {
    if (!spectrum_) {
        uint32_t* px = nullptr;
        spectrum_ = objects::top_down_dib({kSpectrumSize.cx, kSpectrumSize.cy}, px);
        for (int y = 0; px && y < kSpectrumSize.cy; ++y)
            for (int x = 0; x < kSpectrumSize.cx; ++x) {
                const port::Color c = vx::editor::spectrum_color(x, y, {kSpectrumSize.cx, kSpectrumSize.cy});
                px[y * kSpectrumSize.cx + x] = static_cast<uint32_t>(
                    (port::red_of(c) << 16) | (port::green_of(c) << 8) | port::blue_of(c));
            }
    }
    const RECT s = spectrum_rect();
    draw_bitmap(dc, spectrum_.get(), {s.left, s.top}, kSpectrumSize);
    if (picked_.x >= 0) frame_highlight(dc, highlight_rect(), 1);
}

RECT TColorPalette::highlight_rect() const {
    if (grid_) {
        RECT r = grid_->rect(grid_->cell);
        // The frame lies over the cell's edge, so it shows on small cells as well.
        InflateRect(&r, 1, 1);
        return r;
    }
    return {picked_.x - 3, picked_.y - 3, picked_.x + 4, picked_.y + 4};
}

void TColorPalette::key(UINT vk) {
    if (!grid_) return;
    const RECT before = highlight_rect();
    if (!grid_->arrow(vk)) return;
    color_ = port::palette_index(grid_->number());
    move_highlight(before);
}

bool TColorPalette::mouse_down(POINT p) {
    if (grid_) {
        const RECT before = highlight_rect();
        if (!grid_->press(p)) return false;
        move_highlight(before);
        return true;
    }
    const RECT s = spectrum_rect();
    if (!PtInRect(&s, p)) return false;
    pick(p);
    return true;
}

void TColorPalette::mouse_move(POINT p) {
    if (!pressed()) return;
    if (grid_) {
        const RECT before = highlight_rect();
        grid_->track(p);
        move_highlight(before);
    } else {
        pick(p);
    }
}

void TColorPalette::mouse_up(POINT p) {
    if (grid_) {
        grid_->track(p);
        color_ = port::palette_index(grid_->number());
        finish(kChosen);
        return;
    }
    pick(p);
}

void TColorPalette::pick(POINT p) {
    const RECT s = spectrum_rect();
    const RECT before = highlight_rect();
    picked_ = {std::clamp<LONG>(p.x, s.left, s.right - 1), std::clamp<LONG>(p.y, s.top, s.bottom - 1)};
    const port::Color c = vx::editor::spectrum_color(picked_.x - s.left, picked_.y - s.top,
                                                     {kSpectrumSize.cx, kSpectrumSize.cy});
    show_components(port::red_of(c), port::green_of(c), port::blue_of(c));
    move_highlight(before);
}

void TColorPalette::show_components(int red, int green, int blue) {
    const int values[3] = {red, green, blue};
    updating_ = true;
    for (int i = 0; i < 3; ++i) {
        bars_[i] = values[i];
        SendMessageW(control(kBars[i]), TBM_SETPOS, TRUE, values[i]);
        SetWindowTextW(control(kEdits[i]), std::to_wstring(values[i]).c_str());
    }
    updating_ = false;
    InvalidateRect(control(IDC_PALETTE_SAMPLE), nullptr, FALSE);
}

void TColorPalette::choose_sample() {
    color_ = sample();
    finish(kChosen);
}

void TColorPalette::accept() {
    if (!grid_) {
        choose_sample();
        return;
    }
    finish(kChosen);
}

bool TColorPalette::child_message(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    switch (message) {
        case WM_HSCROLL: {
            const HWND bar = reinterpret_cast<HWND>(lparam);
            for (int i = 0; i < 3; ++i) {
                if (bar != control(kBars[i])) continue;
                int values[3] = {bars_[0], bars_[1], bars_[2]};
                values[i] = static_cast<int>(SendMessageW(bar, TBM_GETPOS, 0, 0));
                show_components(values[0], values[1], values[2]);
            }
            result = 0;
            return true;
        }
        case WM_COMMAND: {
            const int id = LOWORD(wparam), code = HIWORD(wparam);
            if ((id == IDC_PALETTE_OK || id == IDC_PALETTE_SAMPLE) && code == BN_CLICKED) {
                choose_sample();
                return true;
            }
            for (int i = 0; i < 3; ++i) {
                if (id != kEdits[i] || code != EN_CHANGE || updating_) continue;
                wchar_t text[8] = {};
                GetWindowTextW(control(id), text, 8);
                const int v = static_cast<int>(wcstol(text, nullptr, 10));
                if (!*text || v < 0 || v > 255) return true;  // half typed: the bar waits
                bars_[i] = v;
                SendMessageW(control(kBars[i]), TBM_SETPOS, TRUE, v);
                InvalidateRect(control(IDC_PALETTE_SAMPLE), nullptr, FALSE);
                return true;
            }
            return false;
        }
        case WM_DRAWITEM: {
            const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
            if (draw->CtlID != IDC_PALETTE_SAMPLE) return false;
            RECT r = draw->rcItem;
            const bool down = (draw->itemState & ODS_SELECTED) != 0;
            DrawFrameControl(draw->hDC, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (down ? DFCS_PUSHED : 0));
            InflateRect(&r, -4, -4);
            if (down) OffsetRect(&r, 1, 1);
            unique_hbrush brush(CreateSolidBrush(RGB(bars_[0], bars_[1], bars_[2])));
            FillRect(draw->hDC, &r, brush.get());
            FrameRect(draw->hDC, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
            if (draw->itemState & ODS_FOCUS) {
                InflateRect(&r, 2, 2);
                DrawFocusRect(draw->hDC, &r);
            }
            result = TRUE;
            return true;
        }
        default:
            return false;
    }
}

}  // namespace vx::win::editor
