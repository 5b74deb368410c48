#include "win/editor/tool_palette.h"

#include <commctrl.h>

#include <algorithm>
#include <array>

#include "objects/line_star_paint.h"
#include "objects/shape_paint.h"
#include "win/editor/object_form_ids.h"
#include "win/editor/object_forms.h"
#include "win/editor/popup_palette.h"
#include "win/objects/gdi_canvas.h"
#include "win/util/text.h"
#include "win/util/ui_font.h"

namespace vx::win::editor {
namespace {

namespace bits = vx::editor::attribute_bits;
using Tool = vx::editor::Tool;

constexpr const wchar_t* kClass = kToolPaletteClass;
constexpr const wchar_t* kTitle = L"  Tools";

struct ButtonSpec {
    int id;
    const wchar_t* glyph;
    const wchar_t* hint;
};
constexpr std::array<ButtonSpec, 14> kButtons{{
    {IDC_TOOL_SELECTOR, L"Sel", L"Selector tool"},
    {IDC_TOOL_BUTTON, L"Btn", L"Create software buttons"},
    {IDC_TOOL_SHAPE, L"\x25A1", L"Create Shapes"},
    {IDC_TOOL_IMAGE, L"Img", L"Create Image"},
    {IDC_TOOL_TEXT, L"A", L"Create Text"},
    {IDC_TOOL_LINE, L"/", L"Create line"},
    {IDC_TOOL_FILL_COLOR, L"Fill", L"Main Color"},
    {IDC_TOOL_PATTERN, L"\x2592", L"Object Pattern"},
    {IDC_TOOL_LINE_COLOR, L"Pen", L"Line Color"},
    {IDC_TOOL_LINE_WIDTH, L"\x2261", L"Line Width"},
    {IDC_TOOL_LINE_STYLE, L"- -", L"Line Style"},
    {IDC_TOOL_FONT_COLOR, L"Ink", L"Font Color"},
    {IDC_TOOL_FONT, L"Abc", L"Change Font"},
    {IDC_TOOL_ENHANCED, L"\x00BB", L"Enhanced Features"},
}};

constexpr std::array<std::pair<int, Tool>, 6> kTools{{{IDC_TOOL_SELECTOR, Tool::Selector},
                                                      {IDC_TOOL_BUTTON, Tool::Button},
                                                      {IDC_TOOL_SHAPE, Tool::Shape},
                                                      {IDC_TOOL_IMAGE, Tool::Image},
                                                      {IDC_TOOL_TEXT, Tool::Label},
                                                      {IDC_TOOL_LINE, Tool::Line}}};

}  // namespace

TToolPalette::TToolPalette() {
    style_.color = model::kBlue;
    choose_font = choose_font_dialog;
}

TToolPalette::~TToolPalette() = default;

bool TToolPalette::open(HWND owner, const std::function<std::optional<std::string>(std::string_view)>& read,
                        int screen_width, int screen_height) {
    owner_ = owner;
    if (read) {
        try {
            state_ = vx::editor::read_tool_palette_state(read, screen_width, screen_height);
        } catch (const std::exception& e) {
            state_ = {};
            if (on_error) on_error(e.what());
        }
    }
    WNDCLASSEXW wc{};
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClass;
    if (!register_class(wc)) return false;
    RECT owner_rect{};
    if (owner) GetWindowRect(owner, &owner_rect);
    const int x = state_.has_position ? state_.left : owner_rect.left + 8;
    const int y = state_.has_position ? state_.top : owner_rect.top + 60;
    return create(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST, kClass, kTitle, WS_POPUP | WS_BORDER,
                  x, y, kToolPaletteLargeWidth, kToolPaletteExpandedHeight, owner) != nullptr;
}

void TToolPalette::close(const std::function<void(std::string_view, const std::string&)>& write) {
    if (!hwnd()) return;
    RECT r{};
    GetWindowRect(hwnd(), &r);
    state_.has_position = true;
    state_.left = r.left;
    state_.top = r.top;
    if (write) {
        try {
            vx::editor::write_tool_palette_state(state_, write);
        } catch (const std::exception& e) {
            if (on_error) on_error(e.what());
        }
    }
    DestroyWindow(hwnd());
}

bool TToolPalette::on_create(const CREATESTRUCTW&) {
    const HFONT font = ui_font();
    for (const ButtonSpec& b : kButtons) {
        const bool tool = b.id <= IDC_TOOL_LINE;
        const DWORD style = WS_CHILD | WS_VISIBLE | (tool ? BS_AUTORADIOBUTTON | BS_PUSHLIKE : BS_PUSHBUTTON);
        const HWND w = CreateWindowExW(0, L"BUTTON", b.glyph, style, 0, 0, 10, 10, hwnd(),
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(b.id)), nullptr, nullptr);
        SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    const HWND roll =
        CreateWindowExW(0, L"BUTTON", L"^", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 12, 12, hwnd(),
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_TOOL_ROLL)), nullptr, nullptr);
    SendMessageW(roll, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                            hwnd(), nullptr, nullptr, nullptr);
    for (const ButtonSpec& b : kButtons) {
        TTTOOLINFOW info{};
        info.cbSize = sizeof info;
        info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        info.hwnd = hwnd();
        info.uId = reinterpret_cast<UINT_PTR>(button(b.id));
        info.lpszText = const_cast<wchar_t*>(b.hint);
        SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    }
    show_tool(Tool::Selector);
    layout();
    return true;
}

RECT TToolPalette::title_rect() const {
    RECT r{};
    GetClientRect(hwnd(), &r);
    r.bottom = kToolTitleHeight;
    return r;
}

RECT TToolPalette::samples_rect() const {
    RECT r{};
    GetClientRect(hwnd(), &r);
    r.top = kToolTitleHeight + kToolPanelLargeHeight;
    InflateRect(&r, -4, -4);
    return r;
}

void TToolPalette::layout() {
    if (!hwnd()) return;
    const bool large = state_.large;
    const int width = large ? kToolPaletteLargeWidth : kToolPaletteSmallWidth;
    const bool expanded = large && state_.expanded;
    int client_height =
        large ? (expanded ? kToolPaletteExpandedHeight : kToolPaletteCollapsedHeight) : kToolPanelSmallHeight;
    if (state_.rolled_up) client_height = kToolTitleHeight + 1;
    RECT frame{0, 0, width, client_height};
    AdjustWindowRectEx(&frame, WS_POPUP | WS_BORDER, FALSE, WS_EX_TOOLWINDOW);
    SetWindowPos(hwnd(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Large: two rows of seven in the tool panel; small: two columns of seven.
    const int columns = large ? 7 : 2;
    const int panel_height = large ? kToolPanelLargeHeight : kToolPanelSmallHeight - kToolTitleHeight;
    const int rows = static_cast<int>(kButtons.size()) / columns;
    const int cell_w = (width - 4) / columns, cell_h = std::min(34, (panel_height - 4) / rows);
    for (size_t i = 0; i < kButtons.size(); ++i) {
        const int col = static_cast<int>(i) % columns, row = static_cast<int>(i) / columns;
        const HWND b = button(kButtons[i].id);
        MoveWindow(b, 2 + col * cell_w, kToolTitleHeight + 2 + row * cell_h, cell_w - 1, cell_h - 1, TRUE);
        ShowWindow(b, state_.rolled_up ? SW_HIDE : SW_SHOW);
    }
    // The "Enhanced Features" toggle means nothing where the colour section cannot show.
    EnableWindow(button(IDC_TOOL_ENHANCED), large);
    MoveWindow(button(IDC_TOOL_ROLL), width - 2 - 12, 1, 12, 12, TRUE);
    SetWindowTextW(button(IDC_TOOL_ROLL), state_.rolled_up ? L"v" : L"^");
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void TToolPalette::set_large(bool large) {
    state_.large = large;
    layout();
}
void TToolPalette::set_expanded(bool expanded) {
    state_.expanded = expanded;
    layout();
}
void TToolPalette::set_rolled_up(bool rolled_up) {
    state_.rolled_up = rolled_up;
    layout();
}

void TToolPalette::show_tool(Tool tool) {
    tool_ = tool;
    for (const auto& [id, t] : kTools)
        SendMessageW(button(id), BM_SETCHECK, t == tool ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TToolPalette::choose_tool(Tool tool) {
    show_tool(tool);
    if (tool_chosen) tool_chosen(tool);
}

void TToolPalette::load_from(const model::ObjectData& object) {
    style_ = vx::editor::attributes_of(object, style_);
    InvalidateRect(hwnd(), nullptr, FALSE);
}

void TToolPalette::apply(uint16_t which) {
    InvalidateRect(hwnd(), nullptr, FALSE);
    if (object_form_open())
        object_form_take_attributes(style_, which);
    else if (attribute_changed)
        attribute_changed(style_, which);
}

bool TToolPalette::on_command(int id, int, HWND control) {
    for (const auto& [tool_id, tool] : kTools)
        if (id == tool_id) {
            choose_tool(tool);
            return true;
        }
    const RECT below = control ? screen_rect(control) : RECT{};
    switch (id) {
        case IDC_TOOL_FILL_COLOR:
            if (const auto c = colors_.choose(hwnd(), below, style_.color)) {
                style_.color = *c;
                apply(bits::kFillColor);
            }
            return true;
        case IDC_TOOL_PATTERN:
            if (const auto f = fills_.choose(hwnd(), below, {style_.pattern, style_.transparent})) {
                style_.pattern = static_cast<uint8_t>(f->pattern);
                style_.transparent = f->transparent;
                apply(bits::kPattern);
            }
            return true;
        case IDC_TOOL_LINE_COLOR:
            if (const auto c = colors_.choose(hwnd(), below, style_.pen_color)) {
                style_.pen_color = *c;
                apply(bits::kLineColor);
            }
            return true;
        case IDC_TOOL_LINE_WIDTH:
            if (const auto w = widths_.choose(hwnd(), below, style_.pen.width)) {
                style_.pen.width = *w;
                if (*w == 0)
                    style_.pen.style = vx::editor::kPenClear;
                else if (style_.pen.style == vx::editor::kPenClear)
                    style_.pen.style = model::kPenSolid;
                apply(bits::kLineWidth);
            }
            return true;
        case IDC_TOOL_LINE_STYLE:
            if (const auto s = styles_.choose(hwnd(), below, style_.pen.style)) {
                style_.pen.style = *s;
                apply(bits::kLineStyle);
            }
            return true;
        case IDC_TOOL_FONT_COLOR:
            if (const auto c = colors_.choose(hwnd(), below, style_.font.color)) {
                style_.font.color = *c;
                apply(bits::kFontColor);
            }
            return true;
        case IDC_TOOL_FONT: {
            model::FontData font = style_.font;
            if (choose_font && choose_font(hwnd(), font)) {
                font.color = style_.font.color;
                style_.font = font;
                apply(bits::kFont);
            }
            return true;
        }
        case IDC_TOOL_ENHANCED:
            set_expanded(!state_.expanded);
            return true;
        case IDC_TOOL_ROLL:
            set_rolled_up(!state_.rolled_up);
            return true;
        case IDM_TOOL_LARGE:
            set_large(true);
            return true;
        case IDM_TOOL_SMALL:
            set_large(false);
            return true;
        default:
            return false;
    }
}

LRESULT TToolPalette::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_LBUTTONDOWN: {
            const POINT p{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
            const RECT title = title_rect();
            if (PtInRect(&title, p)) {
                // The title strip moves the window as a caption would.
                ReleaseCapture();
                SendMessageW(hwnd(), WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
                return 0;
            }
            break;
        }
        case WM_CONTEXTMENU: {
            const HMENU menu = CreatePopupMenu();
            AppendMenuW(menu, MF_STRING | (state_.large ? MF_CHECKED : 0), IDM_TOOL_LARGE, L"Large");
            AppendMenuW(menu, MF_STRING | (state_.large ? 0 : MF_CHECKED), IDM_TOOL_SMALL, L"Small");
            TrackPopupMenu(menu, TPM_RIGHTBUTTON, static_cast<short>(LOWORD(lparam)),
                           static_cast<short>(HIWORD(lparam)), 0, hwnd(), nullptr);
            DestroyMenu(menu);
            return 0;
        }
        default:
            break;
    }
    return Window::handle_message(message, wparam, lparam);
}

void TToolPalette::on_paint(HDC dc, const PAINTSTRUCT&) {
    const RECT title = title_rect();
    const HBRUSH caption = GetSysColorBrush(COLOR_ACTIVECAPTION);
    FillRect(dc, &title, caption);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_CAPTIONTEXT));
    const HGDIOBJ old = SelectObject(dc, ui_font());
    RECT text = title;
    text.left += 2;
    DrawTextW(dc, kTitle, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    SelectObject(dc, old);
    if (state_.large && state_.expanded && !state_.rolled_up) paint_samples(dc, samples_rect());
}

// The colour section: the fill with its pattern, the pen, and "Abc" in the font.
void TToolPalette::paint_samples(HDC dc, const RECT& r) const {
    const int third = (r.right - r.left) / 3;
    const int saved = SaveDC(dc);
    {
        SetViewportOrgEx(dc, r.left, r.top, nullptr);
        objects::GdiCanvas canvas(dc);
        model::ShapeData fill;
        fill.bounds = {0, 0, third - 6, r.bottom - r.top};
        fill.shape = vx::objects::kxShapeRectangle;
        fill.color = style_.color;
        fill.pattern = style_.pattern;
        fill.transparent = style_.transparent;
        fill.pen = {1, model::kPenSolid};
        vx::objects::paint_shape(canvas, fill, {});
        SetViewportOrgEx(dc, r.left + third, r.top, nullptr);
        model::LineData pen;
        pen.bounds = {0, 0, third - 6, r.bottom - r.top};
        pen.pen = style_.pen;
        pen.pen_color = style_.pen_color;
        pen.align = 4;
        vx::objects::paint_line(canvas, pen, nullptr);
        SetViewportOrgEx(dc, r.left + 2 * third, r.top, nullptr);
        port::Font f;
        f.name = style_.font.name;
        f.size = style_.font.size;
        f.style = style_.font.style;
        canvas.set_font(f);
        canvas.set_text_color(style_.font.color);
        port::TextFormat format{};
        format.align = port::TextAlign::Center;
        format.prefix = false;
        const int top = (r.bottom - r.top - canvas.text_height()) / 2;
        canvas.draw_text({0, top, third - 6, r.bottom - r.top}, "Abc", format);
    }
    RestoreDC(dc, saved);
}

}  // namespace vx::win::editor
