#include "win/editor/popup_palette.h"

#include <algorithm>

#include "editor/palette_geometry.h"
#include "win/util/trace.h"
#include "win/util/ui_font.h"

namespace vx::win::editor {
namespace {

constexpr const wchar_t* kPaletteClass = L"TPopUpPalette";
constexpr UINT_PTR kBlinkTimer = 1;

bool mouse_message(UINT m) {
    return (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) || (m >= WM_NCMOUSEMOVE && m <= WM_NCXBUTTONDBLCLK);
}

bool key_message(UINT m) {
    return m >= WM_KEYFIRST && m <= WM_KEYLAST;
}

}  // namespace

TPopUpPalette::~TPopUpPalette() = default;

bool TPopUpPalette::ensure_window(HWND owner) {
    // The palette belongs to the top-level window of whoever opened it, so it stays above that.
    const HWND root = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
    if (hwnd()) {
        SetWindowLongPtrW(hwnd(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(root));
        return true;
    }
    WNDCLASSEXW wc{};
    wc.style = CS_SAVEBITS | CS_DROPSHADOW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kPaletteClass;
    if (!register_class(wc)) return false;
    if (!create(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_CONTROLPARENT, kPaletteClass, L"",
                WS_POPUP | WS_CLIPCHILDREN, 0, 0, vx::editor::kMinPaletteSize, vx::editor::kMinPaletteSize,
                root))
        return false;
    create_children();
    return true;
}

int TPopUpPalette::popup(int x, int y, HWND owner) {
    if (running_) return kCancelled;
    if (!ensure_window(owner)) {
        log_error("palette: the window could not be made");
        return kCancelled;
    }
    begin();
    const SIZE content = content_size();
    const int w = std::max<int>(content.cx, vx::editor::kMinPaletteSize);
    const int h = std::max<int>(content.cy, vx::editor::kMinPaletteSize);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromPoint(POINT{x, y}, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& s = monitor.rcMonitor;
    const port::Point at = vx::editor::place_popup({x, y}, {w, h}, {s.left, s.top, s.right, s.bottom});

    // Keys go on arriving where the focus was; it is given back there if a control of the
    // palette took it.
    const HWND focus = GetFocus();
    result_ = 0;
    GetCursorPos(&pointer_);
    pressed_ = false;
    running_ = true;
    blink_on_ = true;
    SetWindowPos(hwnd(), HWND_TOP, at.x, at.y, w, h, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    UpdateWindow(hwnd());
    SetTimer(hwnd(), kBlinkTimer, kBlinkMs, nullptr);
    if (on_shown) on_shown(*this);

    MSG msg;
    while (result_ == 0) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // The program is ending: the quit goes back for the loop that owns it.
            PostQuitMessage(static_cast<int>(msg.wParam));
            result_ = kCancelled;
            break;
        }
        if (got == -1) {
            result_ = kCancelled;
            break;
        }
        if (filter(msg)) continue;
        // Tab and the mnemonics among the palette's own controls, once one of them has the focus.
        if (key_message(msg.message) && IsDialogMessageW(hwnd(), &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }

    running_ = false;
    if (hwnd()) {
        KillTimer(hwnd(), kBlinkTimer);
        if (GetCapture() == hwnd()) ReleaseCapture();
        pressed_ = false;
        const bool had_focus = own(GetFocus());
        SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0,
                     SWP_NOACTIVATE | SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
        if (had_focus && focus && IsWindow(focus)) {
            SetActiveWindow(GetAncestor(focus, GA_ROOT));
            SetFocus(focus);
        }
    }
    if (result_ != kChosen) cancelled();
    return result_;
}

bool TPopUpPalette::filter(MSG& msg) {
    const UINT m = msg.message;
    if (mouse_message(m)) {
        if (own(msg.hwnd)) return false;
        // A press anywhere else closes the palette and does nothing else: the window under the
        // pointer never sees it.
        if (m == WM_LBUTTONDOWN || m == WM_LBUTTONUP || m == WM_NCLBUTTONDOWN || m == WM_NCLBUTTONDBLCLK)
            finish(kCancelled);
        return true;
    }
    if (!key_message(m)) return false;
    if (m == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
        finish(kCancelled);
        return true;
    }
    if (m == WM_KEYDOWN && msg.wParam == VK_RETURN) {
        accept();
        return true;
    }
    // Typing into the palette's own fields works as anywhere else.
    if (own(msg.hwnd)) return false;
    if (m == WM_KEYDOWN) key(static_cast<UINT>(msg.wParam));
    return true;
}

void TPopUpPalette::finish(int result) {
    if (result_ != 0) return;
    result_ = result;
    // The loop may be waiting for a message; this one wakes it to see the result.
    if (hwnd()) PostMessageW(hwnd(), WM_NULL, 0, 0);
}

void TPopUpPalette::restart_blink() {
    blink_on_ = true;
    if (hwnd() && running_) SetTimer(hwnd(), kBlinkTimer, kBlinkMs, nullptr);
}

void TPopUpPalette::move_highlight(const RECT& before) {
    if (!hwnd()) return;
    restart_blink();
    InvalidateRect(hwnd(), &before, FALSE);
    const RECT now = highlight_rect();
    InvalidateRect(hwnd(), &now, FALSE);
}

void TPopUpPalette::frame_highlight(HDC dc, const RECT& r, int thickness) const {
    const HBRUSH brush = static_cast<HBRUSH>(GetStockObject(highlight_shown() ? WHITE_BRUSH : BLACK_BRUSH));
    RECT f = r;
    for (int i = 0; i < thickness; ++i) {
        FrameRect(dc, &f, brush);
        InflateRect(&f, -1, -1);
    }
}

HWND TPopUpPalette::add_child(const wchar_t* window_class, const wchar_t* text, DWORD style, const RECT& r,
                              int id, DWORD ex_style) {
    const HWND child = CreateWindowExW(
        ex_style, window_class, text, WS_CHILD | style, r.left, r.top, r.right - r.left, r.bottom - r.top,
        hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (child) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(ui_font()), FALSE);
    return child;
}

void TPopUpPalette::on_paint(HDC dc, const PAINTSTRUCT&) {
    RECT client{};
    GetClientRect(hwnd(), &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    // Raised: highlight lines along the top and left, shadow lines along the bottom and right.
    DrawEdge(dc, &client, EDGE_RAISED, BF_RECT);
    paint_content(dc);
}

LRESULT TPopUpPalette::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
    const POINT at{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
    switch (message) {
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_ERASEBKGND:
            return 1;  // the paint fills everything
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(lparam);
            info->ptMinTrackSize = {vx::editor::kMinPaletteSize, vx::editor::kMinPaletteSize};
            return 0;
        }
        case WM_WINDOWPOSCHANGING: {
            auto* pos = reinterpret_cast<WINDOWPOS*>(lparam);
            if (!(pos->flags & SWP_NOSIZE)) {
                pos->cx = std::max(pos->cx, vx::editor::kMinPaletteSize);
                pos->cy = std::max(pos->cy, vx::editor::kMinPaletteSize);
            }
            return 0;
        }
        case WM_TIMER:
            if (wparam != kBlinkTimer) break;
            if (!pressed_) {
                blink_on_ = !blink_on_;
                const RECT r = highlight_rect();
                InvalidateRect(hwnd(), &r, FALSE);
            }
            return 0;
        case WM_KEYDOWN:
            key(static_cast<UINT>(wparam));
            return 0;
        case WM_LBUTTONDOWN:
            if (running_ && mouse_down(at)) {
                pressed_ = true;
                SetCapture(hwnd());
                const RECT r = highlight_rect();
                InvalidateRect(hwnd(), &r, FALSE);
            }
            return 0;
        case WM_MOUSEMOVE: {
            // A window that appears under a resting pointer is told of a move that nobody made;
            // only a real move may carry the highlight away from the current value.
            POINT screen = at;
            ClientToScreen(hwnd(), &screen);
            if (!running_ || (screen.x == pointer_.x && screen.y == pointer_.y)) return 0;
            pointer_ = screen;
            mouse_move(at);
            return 0;
        }
        case WM_LBUTTONUP:
            if (pressed_) {
                pressed_ = false;
                if (GetCapture() == hwnd()) ReleaseCapture();
                restart_blink();
                mouse_up(at);
            }
            return 0;
        case WM_CAPTURECHANGED:
            // Another window took the mouse in the middle of a press: nothing is chosen.
            if (pressed_ && reinterpret_cast<HWND>(lparam) != hwnd()) {
                pressed_ = false;
                restart_blink();
            }
            return 0;
        case WM_ACTIVATEAPP:
            // Another program came to the front: the palette has lost its reason to be open.
            if (!wparam && running_) finish(kCancelled);
            return 0;
        case WM_QUERYENDSESSION:
            if (running_) finish(kCancelled);
            return TRUE;
        case WM_CANCELMODE:
            if (running_) finish(kCancelled);
            break;
        case WM_DESTROY:
            // The owner went away with the palette up; the loop must not wait for it.
            if (running_) finish(kCancelled);
            return 0;
        default: {
            LRESULT result = 0;
            if (child_message(message, wparam, lparam, result)) return result;
            break;
        }
    }
    return Window::handle_message(message, wparam, lparam);
}

RECT GridTracker::rect(vx::editor::Cell c) const {
    const port::Rect r = grid.rect(c);
    return {origin.x + r.left, origin.y + r.top, origin.x + r.right, origin.y + r.bottom};
}

RECT GridTracker::bounds() const {
    const port::Size s = grid.size();
    return {origin.x, origin.y, origin.x + s.width, origin.y + s.height};
}

bool GridTracker::press(POINT p) {
    const auto at = grid.at({p.x - origin.x, p.y - origin.y});
    if (!at) return false;
    cell = *at;
    return true;
}

std::optional<vx::editor::Arrow> arrow_of(UINT vk) {
    using vx::editor::Arrow;
    switch (vk) {
        case VK_LEFT:
            return Arrow::Left;
        case VK_RIGHT:
            return Arrow::Right;
        case VK_UP:
            return Arrow::Up;
        case VK_DOWN:
            return Arrow::Down;
        default:
            return std::nullopt;
    }
}

bool GridTracker::arrow(UINT vk) {
    const auto a = arrow_of(vk);
    if (a) cell = grid.moved(cell, *a);
    return a.has_value();
}

unique_hpalette make_logical_palette(const model::Palette& palette) {
    struct {
        WORD version;
        WORD count;
        PALETTEENTRY entries[256];
    } log{0x300, 256, {}};
    for (size_t i = 0; i < palette.size(); ++i)
        log.entries[i] = {palette[i].red, palette[i].green, palette[i].blue, 0};
    return unique_hpalette(CreatePalette(reinterpret_cast<const LOGPALETTE*>(&log)));
}

void draw_bitmap(HDC dc, HBITMAP bitmap, POINT at, SIZE size) {
    unique_memory_dc memory(CreateCompatibleDC(dc));
    if (!memory || !bitmap) return;
    const scoped_select keep(memory.get(), bitmap);
    BitBlt(dc, at.x, at.y, size.cx, size.cy, memory.get(), 0, 0, SRCCOPY);
}

int64_t screen_colors() {
    const HDC screen = GetDC(nullptr);
    const int64_t colors =
        vx::editor::display_colors(GetDeviceCaps(screen, BITSPIXEL), GetDeviceCaps(screen, PLANES));
    ReleaseDC(nullptr, screen);
    return colors;
}

RECT screen_rect(HWND button) {
    RECT r{};
    GetWindowRect(button, &r);
    return r;
}

}  // namespace vx::win::editor
