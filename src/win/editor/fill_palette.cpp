#include "win/editor/fill_palette.h"

namespace vx::win::editor {
namespace {

using vx::editor::kPaletteMargin;
using vx::editor::kPatternBoxSize;

constexpr int kCheckTop = kPaletteMargin + kPatternBoxSize + 4;
constexpr int kCheckHeight = 18;

}  // namespace

void TFillPalette::set_value(FillChoice v) {
    if (v.pattern >= 0 && v.pattern < vx::editor::kFillGrid.count()) value_.pattern = v.pattern;
    value_.transparent = v.transparent;
}

std::optional<FillChoice> TFillPalette::choose(HWND owner, const RECT& button, FillChoice current) {
    set_value(current);
    if (popup_below(button, owner) != kChosen) return std::nullopt;
    return value_;
}

SIZE TFillPalette::content_size() const {
    return {kPatternBoxSize + 2 * kPaletteMargin, kCheckTop + kCheckHeight + kPaletteMargin};
}

void TFillPalette::create_children() {
    add_child(L"BUTTON", L"Make Pattern Transparent", WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX,
              {kPaletteMargin + 2, kCheckTop, kPaletteMargin + kPatternBoxSize, kCheckTop + kCheckHeight},
              IDC_PALETTE_TRANSPARENT);
}

void TFillPalette::begin() {
    at_begin_ = value_;
    grid_.cell = grid_.grid.cell_of(value_.pattern);
    CheckDlgButton(hwnd(), IDC_PALETTE_TRANSPARENT, value_.transparent ? BST_CHECKED : BST_UNCHECKED);
    InvalidateRect(hwnd(), nullptr, FALSE);
}

HBITMAP TFillPalette::pattern_box() {
    if (box_) return box_.get();
    const auto ink = vx::editor::pattern_box();
    // A one-bit picture: ink black on white, as a monochrome bitmap resource would be.
    struct {
        BITMAPINFOHEADER head;
        RGBQUAD colors[2];
    } info{};
    info.head.biSize = sizeof info.head;
    info.head.biWidth = kPatternBoxSize;
    info.head.biHeight = -kPatternBoxSize;
    info.head.biPlanes = 1;
    info.head.biBitCount = 1;
    info.colors[0] = {0, 0, 0, 0};
    info.colors[1] = {255, 255, 255, 0};
    void* bits = nullptr;
    box_.reset(CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits,
                                nullptr, 0));
    if (!box_ || !bits) return nullptr;
    const int stride = ((kPatternBoxSize + 31) / 32) * 4;
    auto* rows = static_cast<uint8_t*>(bits);
    for (int y = 0; y < kPatternBoxSize; ++y)
        for (int x = 0; x < kPatternBoxSize; ++x)
            if (!ink[static_cast<size_t>(y * kPatternBoxSize + x)])
                rows[y * stride + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    return box_.get();
}

void TFillPalette::paint_content(HDC dc) {
    draw_bitmap(dc, pattern_box(), {kPaletteMargin, kPaletteMargin}, {kPatternBoxSize, kPatternBoxSize});
    frame_highlight(dc, highlight_rect(), 2);
}

RECT TFillPalette::highlight_rect() const {
    // Over the cell's grid lines: white shows against them, black blends in.
    RECT r = grid_.rect(grid_.cell);
    r.right += 1;
    r.bottom += 1;
    return r;
}

void TFillPalette::key(UINT vk) {
    const RECT before = highlight_rect();
    if (grid_.arrow(vk)) move_highlight(before);
}

bool TFillPalette::mouse_down(POINT p) {
    const RECT before = highlight_rect();
    if (!grid_.press(p)) return false;
    move_highlight(before);
    return true;
}

void TFillPalette::mouse_move(POINT p) {
    if (!pressed()) return;
    const RECT before = highlight_rect();
    grid_.track(p);
    move_highlight(before);
}

void TFillPalette::mouse_up(POINT p) {
    grid_.track(p);
    accept();
}

void TFillPalette::accept() {
    value_.pattern = grid_.number();
    value_.transparent = IsDlgButtonChecked(hwnd(), IDC_PALETTE_TRANSPARENT) == BST_CHECKED;
    finish(kChosen);
}

bool TFillPalette::child_message(UINT message, WPARAM wparam, LPARAM, LRESULT& result) {
    if (message == WM_COMMAND && LOWORD(wparam) == IDC_PALETTE_TRANSPARENT && HIWORD(wparam) == BN_CLICKED) {
        accept();
        result = 0;
        return true;
    }
    return false;
}

}  // namespace vx::win::editor
