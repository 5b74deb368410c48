#include "win/editor/align_form.h"

#include <commctrl.h>

#include "editor/surface_edit.h"
#include "win/util/handle.h"
#include "win/util/ui_font.h"

namespace vx::win::editor {
namespace {

using vx::editor::Alignment;
using vx::editor::NudgeDirection;

constexpr const wchar_t* kClass = L"VxAlignForm";
constexpr UINT_PTR kRepeatTimer = 1;

// Pixels: the buttons are pictures, not text, so they do not follow the dialog font.
constexpr int kMargin = 4;
constexpr int kCell = 26;
constexpr int kStep = kCell + 2;
constexpr int kArrow = 18;
constexpr int kStarLeft = kMargin + 4 * kStep + 6;
constexpr int kCheckTop = kMargin + 2 * kStep + 2;
constexpr int kCheckHeight = 16;
constexpr int kClientWidth = kStarLeft + 3 * kArrow + kMargin;
constexpr int kClientHeight = kCheckTop + kCheckHeight + kMargin;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW;

struct PartInfo {
    AlignPart part;
    const wchar_t* hint;
};

constexpr PartInfo kParts[] = {
    {AlignPart::Left, L"Align Object Left"},
    {AlignPart::CenterH, L"Center Object (Left to Right)"},
    {AlignPart::Right, L"Align Object Right"},
    {AlignPart::Front, L"Bring Object to Front"},
    {AlignPart::Top, L"Align Object to the Top"},
    {AlignPart::CenterV, L"Center Object (Top to Bottom)"},
    {AlignPart::Bottom, L"Align Object  to the Bottom"},
    {AlignPart::Back, L"Send Object to Back"},
    {AlignPart::StarUp, L"Incrementally moves the selected object"},
    {AlignPart::StarLeft, L"Incrementally moves the selected object"},
    {AlignPart::StarRight, L"Incrementally moves the selected object"},
    {AlignPart::StarDown, L"Incrementally moves the selected object"},
    {AlignPart::Relative, nullptr},
};

std::optional<Alignment> alignment_of(AlignPart part) {
    switch (part) {
        case AlignPart::Left:
            return Alignment::Left;
        case AlignPart::CenterH:
            return Alignment::CenterH;
        case AlignPart::Right:
            return Alignment::Right;
        case AlignPart::Top:
            return Alignment::Top;
        case AlignPart::CenterV:
            return Alignment::CenterV;
        case AlignPart::Bottom:
            return Alignment::Bottom;
        default:
            return std::nullopt;
    }
}

std::optional<NudgeDirection> direction_of(AlignPart part) {
    switch (part) {
        case AlignPart::StarUp:
            return NudgeDirection::Up;
        case AlignPart::StarLeft:
            return NudgeDirection::Left;
        case AlignPart::StarRight:
            return NudgeDirection::Right;
        case AlignPart::StarDown:
            return NudgeDirection::Down;
        default:
            return std::nullopt;
    }
}

void fill(HDC dc, int left, int top, int right, int bottom, int color) {
    const RECT r{left, top, right, bottom};
    FillRect(dc, &r, GetSysColorBrush(color));
}

// A bar of the alignment pictures: `length` long from `from` past the guide line at `guide_pos`,
// 4 pixels thick from `offset` across it.
void bar(HDC dc, bool horizontal_guide, int guide_pos, int from, int length, int offset) {
    if (horizontal_guide)
        fill(dc, offset, guide_pos + from, offset + 4, guide_pos + from + length, COLOR_HIGHLIGHT);
    else
        fill(dc, guide_pos + from, offset, guide_pos + from + length, offset + 4, COLOR_HIGHLIGHT);
}

void triangle(HDC dc, const RECT& r, NudgeDirection d) {
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2, s = 5;
    POINT p[3];
    switch (d) {
        case NudgeDirection::Up:
            p[0] = {cx, cy - s};
            p[1] = {cx - s, cy + s - 1};
            p[2] = {cx + s, cy + s - 1};
            break;
        case NudgeDirection::Down:
            p[0] = {cx, cy + s};
            p[1] = {cx - s, cy - s + 1};
            p[2] = {cx + s, cy - s + 1};
            break;
        case NudgeDirection::Left:
            p[0] = {cx - s, cy};
            p[1] = {cx + s - 1, cy - s};
            p[2] = {cx + s - 1, cy + s};
            break;
        case NudgeDirection::Right:
            p[0] = {cx + s, cy};
            p[1] = {cx - s + 1, cy - s};
            p[2] = {cx - s + 1, cy + s};
            break;
    }
    const scoped_select brush(dc, GetSysColorBrush(COLOR_BTNTEXT));
    const scoped_select pen(dc, static_cast<HPEN>(GetStockObject(NULL_PEN)));
    Polygon(dc, p, 3);
}

}  // namespace

TAlignForm::TAlignForm(AlignCallbacks callbacks) : callbacks_(std::move(callbacks)) {}

TAlignForm::~TAlignForm() = default;

POINT TAlignForm::initial_position(const std::string& stored, SIZE screen, POINT designed) {
    const vx::port::Point at =
        vx::editor::align_window_position(stored, {designed.x, designed.y}, {screen.cx, screen.cy});
    return POINT{at.x, at.y};
}

bool TAlignForm::open(HWND owner, const std::string& stored_position, SIZE screen) {
    WNDCLASSEXW wc{};
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = kClass;
    if (!register_class(wc)) return false;
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    const POINT at = initial_position(stored_position, screen, {screen.cx - width - 16, 96});
    owner_ = owner;
    if (!create(kExStyle, kClass, L" Align", kStyle, at.x, at.y, width, height, owner)) return false;
    registration_ = ModelessRegistration(hwnd(), nullptr, false);
    add_tooltips();
    return true;
}

void TAlignForm::show() {
    ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
}

void TAlignForm::hide() {
    stop_nudge();
    ShowWindow(hwnd(), SW_HIDE);
}

std::string TAlignForm::position_text() const {
    RECT r{};
    GetWindowRect(hwnd(), &r);
    return std::to_string(r.left) + "," + std::to_string(r.top);
}

RECT TAlignForm::part_rect(AlignPart part) const {
    const int n = static_cast<int>(part);
    if (n < 8) {
        const int x = kMargin + (n % 4) * kStep, y = kMargin + (n / 4) * kStep;
        return {x, y, x + kCell, y + kCell};
    }
    const auto cell = [](int column, int row) {
        const int x = kStarLeft + column * kArrow, y = kMargin + 1 + row * kArrow;
        return RECT{x, y, x + kArrow, y + kArrow};
    };
    switch (part) {
        case AlignPart::StarUp:
            return cell(1, 0);
        case AlignPart::StarLeft:
            return cell(0, 1);
        case AlignPart::StarRight:
            return cell(2, 1);
        case AlignPart::StarDown:
            return cell(1, 2);
        default:
            return {kMargin, kCheckTop, kClientWidth - kMargin, kCheckTop + kCheckHeight};
    }
}

std::optional<AlignPart> TAlignForm::part_at(POINT client) const {
    for (const PartInfo& info : kParts) {
        const RECT r = part_rect(info.part);
        if (PtInRect(&r, client)) return info.part;
    }
    return std::nullopt;
}

void TAlignForm::add_tooltips() {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    tooltip_ = CreateWindowExW(
        WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!tooltip_) return;  // the window works without its hints
    for (const PartInfo& info : kParts) {
        if (!info.hint) continue;
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_SUBCLASS;
        tool.hwnd = hwnd();
        tool.uId = static_cast<UINT_PTR>(info.part);
        tool.rect = part_rect(info.part);
        tool.lpszText = const_cast<wchar_t*>(info.hint);
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void TAlignForm::return_activation() const {
    if (owner_ && GetActiveWindow() == hwnd() && IsWindowVisible(owner_) && IsWindowEnabled(owner_))
        SetActiveWindow(owner_);
}

void TAlignForm::press(AlignPart part) {
    if (const auto how = alignment_of(part)) {
        if (callbacks_.align) callbacks_.align(*how, relative_);
    } else if (part == AlignPart::Front) {
        if (callbacks_.bring_to_front) callbacks_.bring_to_front();
    } else if (part == AlignPart::Back) {
        if (callbacks_.send_to_back) callbacks_.send_to_back();
    } else if (part == AlignPart::Relative) {
        relative_ = !relative_;
        const RECT r = part_rect(part);
        InvalidateRect(hwnd(), &r, TRUE);
    }
}

void TAlignForm::stop_nudge() {
    if (!held_) return;
    held_.reset();
    round_ = 0;
    KillTimer(hwnd(), kRepeatTimer);
    if (callbacks_.nudge_end) callbacks_.nudge_end();
}

bool TAlignForm::on_close() {
    hide();
    return_activation();
    if (callbacks_.hidden) callbacks_.hidden();
    return true;
}

void TAlignForm::on_destroy() {
    stop_nudge();
    registration_ = ModelessRegistration();
}

LRESULT TAlignForm::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
    const POINT at{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
    switch (message) {
        case WM_MOUSEACTIVATE:
            // The page keeps the activation and the keyboard; the caption still activates, so
            // the window can be dragged, and gives the activation back when the drag ends.
            if (LOWORD(lparam) == HTCLIENT) return MA_NOACTIVATE;
            break;
        case WM_EXITSIZEMOVE:
            return_activation();
            return 0;
        case WM_LBUTTONDOWN: {
            const auto part = part_at(at);
            if (!part) return 0;
            SetCapture(hwnd());
            pressed_ = part;
            const RECT r = part_rect(*part);
            InvalidateRect(hwnd(), &r, TRUE);
            if (const auto d = direction_of(*part)) {
                held_ = part;
                round_ = 1;
                SetTimer(hwnd(), kRepeatTimer, kRepeatMs, nullptr);
                if (callbacks_.nudge) callbacks_.nudge(*d, round_);
            }
            return 0;
        }
        case WM_TIMER:
            if (wparam != kRepeatTimer) break;
            if (held_) {
                if (const auto d = direction_of(*held_); d && callbacks_.nudge)
                    callbacks_.nudge(*d, ++round_);
            } else {
                KillTimer(hwnd(), kRepeatTimer);
            }
            return 0;
        case WM_LBUTTONUP: {
            const std::optional<AlignPart> was = pressed_;
            const bool released_on_it = was && part_at(at) == was;
            if (GetCapture() == hwnd()) ReleaseCapture();
            stop_nudge();
            if (was) {
                pressed_.reset();
                const RECT r = part_rect(*was);
                InvalidateRect(hwnd(), &r, TRUE);
                if (released_on_it && !direction_of(*was)) press(*was);
            }
            return_activation();
            return 0;
        }
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lparam) != hwnd()) {
                stop_nudge();
                if (pressed_) {
                    pressed_.reset();
                    InvalidateRect(hwnd(), nullptr, TRUE);
                }
            }
            return 0;
        default:
            break;
    }
    return Window::handle_message(message, wparam, lparam);
}

void TAlignForm::on_paint(HDC dc, const PAINTSTRUCT&) {
    for (const PartInfo& info : kParts) paint_part(dc, info.part);
}

void TAlignForm::paint_part(HDC dc, AlignPart part) const {
    RECT r = part_rect(part);
    const bool down = pressed_ == part;
    if (part == AlignPart::Relative) {
        const int box = 13, top = r.top + (kCheckHeight - box) / 2;
        RECT check{r.left + 1, top, r.left + 1 + box, top + box};
        DrawFrameControl(dc, &check, DFC_BUTTON, DFCS_BUTTONCHECK | (relative_ ? DFCS_CHECKED : 0));
        RECT label{check.right + 5, r.top, r.right, r.bottom};
        const scoped_select font(dc, ui_font());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        DrawTextW(dc, L"Relative to Object", -1, &label, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        return;
    }
    DrawEdge(dc, &r, down ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_MIDDLE);
    const int shift = down ? 1 : 0;
    if (const auto d = direction_of(part)) {
        OffsetRect(&r, shift, shift);
        triangle(dc, r, *d);
        return;
    }
    const int l = r.left + shift, t = r.top + shift, w = r.right - r.left, cx = l + w / 2, cy = t + w / 2;
    switch (part) {
        // A guide line and two bars of different lengths lined up on it.
        case AlignPart::Left:
            fill(dc, l + 5, t + 4, l + 7, t + w - 4, COLOR_BTNTEXT);
            bar(dc, false, l + 7, 0, 14, t + 7);
            bar(dc, false, l + 7, 0, 9, t + 15);
            break;
        case AlignPart::CenterH:
            fill(dc, cx - 1, t + 4, cx + 1, t + w - 4, COLOR_BTNTEXT);
            bar(dc, false, cx, -7, 14, t + 7);
            bar(dc, false, cx, -5, 10, t + 15);
            break;
        case AlignPart::Right:
            fill(dc, l + w - 7, t + 4, l + w - 5, t + w - 4, COLOR_BTNTEXT);
            bar(dc, false, l + w - 7, -14, 14, t + 7);
            bar(dc, false, l + w - 7, -9, 9, t + 15);
            break;
        case AlignPart::Top:
            fill(dc, l + 4, t + 5, l + w - 4, t + 7, COLOR_BTNTEXT);
            bar(dc, true, t + 7, 0, 14, l + 7);
            bar(dc, true, t + 7, 0, 9, l + 15);
            break;
        case AlignPart::CenterV:
            fill(dc, l + 4, cy - 1, l + w - 4, cy + 1, COLOR_BTNTEXT);
            bar(dc, true, cy, -7, 14, l + 7);
            bar(dc, true, cy, -5, 10, l + 15);
            break;
        case AlignPart::Bottom:
            fill(dc, l + 4, t + w - 7, l + w - 4, t + w - 5, COLOR_BTNTEXT);
            bar(dc, true, t + w - 7, -14, 14, l + 7);
            bar(dc, true, t + w - 7, -9, 9, l + 15);
            break;
        case AlignPart::Front:
        case AlignPart::Back: {
            // The selected object (dark) above or below another one (white).
            const RECT behind{l + 5, t + 5, l + 16, t + 16}, before{l + 10, t + 10, l + 21, t + 21};
            const bool front = part == AlignPart::Front;
            const auto draw = [dc](const RECT& box, int color) {
                FillRect(dc, &box, GetSysColorBrush(color));
                FrameRect(dc, &box, GetSysColorBrush(COLOR_BTNTEXT));
            };
            draw(behind, front ? COLOR_WINDOW : COLOR_HIGHLIGHT);
            draw(before, front ? COLOR_HIGHLIGHT : COLOR_WINDOW);
            break;
        }
        default:
            break;
    }
}

}  // namespace vx::win::editor
