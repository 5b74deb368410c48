#include "win/surface/scroll_box.h"

#include <windowsx.h>

#include <algorithm>

#include "win/util/handle.h"

namespace vx::win::surface {

HWND TKXScrollBox::create(HWND parent, HINSTANCE instance, int id) {
    WNDCLASSEXW wc{};
    wc.style = CS_DBLCLKS;
    wc.hInstance = instance;
    wc.lpszClassName = kScrollBoxClass;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = nullptr;  // never erased separately: the paint covers every pixel
    if (!register_class(wc)) return nullptr;
    return Window::create(WS_EX_CLIENTEDGE, kScrollBoxClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0,
                          0, 185, 41, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance);
}

void TKXScrollBox::set_objects(std::vector<HostedObject*> objects) {
    objects_ = std::move(objects);
    captured_ = nullptr;
    if (hwnd()) {
        update_ranges();
        InvalidateRect(hwnd(), nullptr, FALSE);
    }
}

HostedObject* TKXScrollBox::object_at(POINT p) const {
    for (auto it = objects_.rbegin(); it != objects_.rend(); ++it)
        if ((*it)->visible() && (*it)->hit_test(p)) return *it;
    return nullptr;
}

void TKXScrollBox::set_auto_scroll(bool on) {
    auto_scroll_ = on;
    update_ranges();
}

void TKXScrollBox::update_ranges() {
    if (!hwnd()) return;
    extent_x_ = extent_y_ = 0;
    if (auto_scroll_)
        for (const HostedObject* o : objects_)
            if (o->visible()) {
                const RECT r = o->bounds();
                extent_x_ = std::max<int>(extent_x_, r.right);
                extent_y_ = std::max<int>(extent_y_, r.bottom);
            }
    // Two passes: showing one bar shrinks the client and may make the other necessary.
    for (int pass = 0; pass < 2; ++pass) {
        RECT client;
        GetClientRect(hwnd(), &client);
        SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
        const int cw = client.right, ch = client.bottom;
        pos_x_ = std::clamp(pos_x_, 0, std::max(0, extent_x_ - cw));
        pos_y_ = std::clamp(pos_y_, 0, std::max(0, extent_y_ - ch));
        si.nMax = extent_x_ > cw ? extent_x_ - 1 : 0;
        si.nPage = extent_x_ > cw ? static_cast<UINT>(cw) : 0;
        si.nPos = pos_x_;
        SetScrollInfo(hwnd(), SB_HORZ, &si, TRUE);
        si.nMax = extent_y_ > ch ? extent_y_ - 1 : 0;
        si.nPage = extent_y_ > ch ? static_cast<UINT>(ch) : 0;
        si.nPos = pos_y_;
        SetScrollInfo(hwnd(), SB_VERT, &si, TRUE);
    }
}

void TKXScrollBox::on_paint(HDC dc, const PAINTSTRUCT&) {
    RECT client;
    GetClientRect(hwnd(), &client);
    HPALETTE old_palette = nullptr;
    if (palette_) {
        old_palette = SelectPalette(dc, palette_, FALSE);
        RealizePalette(dc);
    }
    if (on_paint_) {
        on_paint_(dc, client, scroll_pos());
    } else {
        const unique_hbrush brush(CreateSolidBrush(color_));
        FillRect(dc, &client, brush.get());
    }
    // Objects paint in page coordinates; the viewport origin removes the scroll position.
    POINT old_origin{};
    SetViewportOrgEx(dc, -pos_x_, -pos_y_, &old_origin);
    for (HostedObject* o : objects_)
        if (o->visible()) o->paint(dc);
    SetViewportOrgEx(dc, old_origin.x, old_origin.y, nullptr);
    if (old_palette) SelectPalette(dc, old_palette, FALSE);
}

void TKXScrollBox::on_size(UINT, int, int) {
    update_ranges();
    InvalidateRect(hwnd(), nullptr, FALSE);
}

POINT TKXScrollBox::to_page(LPARAM lparam) const {
    return {GET_X_LPARAM(lparam) + pos_x_, GET_Y_LPARAM(lparam) + pos_y_};
}

void TKXScrollBox::scroll(int bar, WPARAM request) {
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(hwnd(), bar, &si);
    int pos = si.nPos;
    const int line = 16;
    switch (LOWORD(request)) {
        case SB_LINEUP:
            pos -= line;
            break;
        case SB_LINEDOWN:
            pos += line;
            break;
        case SB_PAGEUP:
            pos -= static_cast<int>(si.nPage);
            break;
        case SB_PAGEDOWN:
            pos += static_cast<int>(si.nPage);
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            pos = si.nTrackPos;
            break;
        case SB_TOP:
            pos = si.nMin;
            break;
        case SB_BOTTOM:
            pos = si.nMax;
            break;
        default:
            return;
    }
    const int max_pos = std::max(0, si.nMax - static_cast<int>(si.nPage) + 1);
    pos = std::clamp(pos, 0, max_pos);
    int& current = bar == SB_HORZ ? pos_x_ : pos_y_;
    if (pos == current) return;
    current = pos;
    si.fMask = SIF_POS;
    si.nPos = pos;
    SetScrollInfo(hwnd(), bar, &si, TRUE);
    // The background may be a tiled wallpaper anchored to the page, so redraw rather than blit.
    InvalidateRect(hwnd(), nullptr, FALSE);
}

LRESULT TKXScrollBox::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_HSCROLL:
            scroll(SB_HORZ, wparam);
            return 0;
        case WM_VSCROLL:
            scroll(SB_VERT, wparam);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN: {
            const POINT p = to_page(lparam);
            if (HostedObject* o = object_at(p)) {
                captured_ = o;
                SetCapture(hwnd());
                o->mouse_down(p, message == WM_LBUTTONDOWN ? MK_LBUTTON : MK_RBUTTON);
                // The press is drawn now, not when the queue runs dry: in a quick click the
                // release is already waiting and runs the command first, so the user would
                // never see the button go down.
                UpdateWindow(hwnd());
                return 0;
            }
            break;  // the page itself: the owner's popup menu sees the release
        }
        case WM_LBUTTONUP:
        case WM_RBUTTONUP: {
            const POINT p = to_page(lparam);
            if (captured_) {
                HostedObject* o = captured_;
                captured_ = nullptr;
                ReleaseCapture();
                o->mouse_up(p, message == WM_LBUTTONUP ? MK_LBUTTON : MK_RBUTTON);
                return 0;
            }
            if (message == WM_RBUTTONUP) {
                POINT screen{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
                ClientToScreen(hwnd(), &screen);
                SendMessageW(GetParent(hwnd()), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd()),
                             MAKELPARAM(screen.x, screen.y));
                return 0;
            }
            break;
        }
        case WM_MOUSEMOVE: {
            const POINT p = to_page(lparam);
            if (captured_)
                captured_->mouse_move(p);
            else if (HostedObject* o = object_at(p))
                o->mouse_move(p);
            return 0;
        }
        case WM_SETCURSOR:
            if (LOWORD(lparam) == HTCLIENT) {
                POINT p;
                GetCursorPos(&p);
                ScreenToClient(hwnd(), &p);
                p.x += pos_x_;
                p.y += pos_y_;
                const HostedObject* o = object_at(p);
                SetCursor(o && o->cursor() ? o->cursor() : LoadCursorW(nullptr, IDC_ARROW));
                return TRUE;
            }
            break;
        case WM_CAPTURECHANGED:
            captured_ = nullptr;
            break;
        default:
            break;
    }
    return Window::handle_message(message, wparam, lparam);
}

}  // namespace vx::win::surface
