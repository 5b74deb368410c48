#include "win/surface/scroll_box.h"

#include <windowsx.h>

#include <algorithm>

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
    tool_->release(*this);
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

void TKXScrollBox::set_tool(SurfaceTool* tool) {
    if (!tool) tool = &run_tool_;
    if (tool == tool_) return;
    SurfaceTool* leaving = tool_;
    // The capture's end tells the tool that still serves; without a capture it is told here.
    if (hwnd() && GetCapture() == hwnd()) ReleaseCapture();
    leaving->release(*this);
    tool_ = tool;
    if (hwnd()) InvalidateRect(hwnd(), nullptr, FALSE);
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

POINT TKXScrollBox::to_screen(POINT page) const {
    POINT p{page.x - pos_x_, page.y - pos_y_};
    ClientToScreen(hwnd(), &p);
    return p;
}

void TKXScrollBox::invalidate(const RECT& page_rect) const {
    if (!hwnd()) return;
    RECT r = page_rect;
    OffsetRect(&r, -pos_x_, -pos_y_);
    InvalidateRect(hwnd(), &r, FALSE);
}

HDC TKXScrollBox::back_buffer(HDC screen, SIZE size) {
    if (buffer_dc_ && buffer_size_.cx == size.cx && buffer_size_.cy == size.cy) return buffer_dc_.get();
    buffer_dc_.reset();
    buffer_bitmap_.reset();
    buffer_size_ = {0, 0};
    unique_memory_dc dc(CreateCompatibleDC(screen));
    unique_hbitmap bitmap;
    // A 32-bit DIB section copies to a true-colour screen as fast as painting there directly; a
    // palette display needs the compatible bitmap, which holds the palette's indexes.
    if (GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE) {
        bitmap.reset(CreateCompatibleBitmap(screen, size.cx, size.cy));
    } else {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), size.cx, -size.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap.reset(CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    }
    if (!dc || !bitmap || !SelectObject(dc.get(), bitmap.get())) return nullptr;
    buffer_bitmap_ = std::move(bitmap);
    buffer_dc_ = std::move(dc);
    buffer_size_ = size;
    return buffer_dc_.get();
}

void TKXScrollBox::on_paint(HDC dc, const PAINTSTRUCT& ps) {
    RECT client;
    GetClientRect(hwnd(), &client);
    RECT dirty;
    if (!IntersectRect(&dirty, &ps.rcPaint, &client)) return;
    // The page is composed off the screen and shown in one copy, so an object never flashes
    // the background that lies under it.
    HDC target = back_buffer(dc, {client.right, client.bottom});
    if (!target) target = dc;
    HPALETTE old_palette = nullptr, old_target_palette = nullptr;
    if (palette_) {
        old_palette = SelectPalette(dc, palette_, FALSE);
        RealizePalette(dc);
        if (target != dc) {
            old_target_palette = SelectPalette(target, palette_, FALSE);
            RealizePalette(target);
        }
    }
    paint_page(target, client, dirty);
    if (target != dc)
        BitBlt(dc, dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top, target, dirty.left,
               dirty.top, SRCCOPY);
    // A palette selected into a DC cannot be deleted: its owner may replace it before the next paint.
    if (old_target_palette) SelectPalette(target, old_target_palette, FALSE);
    if (old_palette) SelectPalette(dc, old_palette, FALSE);
}

void TKXScrollBox::paint_page(HDC dc, const RECT& client, const RECT& dirty) {
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, dirty.left, dirty.top, dirty.right, dirty.bottom);
    if (on_paint_) {
        on_paint_(dc, client, scroll_pos());
    } else {
        const unique_hbrush brush(CreateSolidBrush(color_));
        FillRect(dc, &client, brush.get());
    }
    // Objects paint in page coordinates; the viewport origin removes the scroll position.
    SetViewportOrgEx(dc, -pos_x_, -pos_y_, nullptr);
    RECT page_dirty = dirty;
    OffsetRect(&page_dirty, pos_x_, pos_y_);
    for (HostedObject* o : objects_) {
        if (!o->visible()) continue;
        const RECT r = o->bounds();
        RECT overlap;
        if (IntersectRect(&overlap, &r, &page_dirty)) o->paint(dc);
    }
    tool_->paint_overlay(*this, dc, page_dirty);
    RestoreDC(dc, saved);
}

void TKXScrollBox::on_size(UINT, int, int) {
    update_ranges();
    InvalidateRect(hwnd(), nullptr, FALSE);
}

void TKXScrollBox::on_destroy() {
    buffer_dc_.reset();
    buffer_bitmap_.reset();
    buffer_size_ = {0, 0};
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
    const auto which = [message]() -> UINT {
        if (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP || message == WM_LBUTTONDBLCLK) return MK_LBUTTON;
        if (message == WM_MBUTTONDOWN || message == WM_MBUTTONUP || message == WM_MBUTTONDBLCLK) return MK_MBUTTON;
        return MK_RBUTTON;
    };
    const UINT keys = GET_KEYSTATE_WPARAM(wparam);
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
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            if (tool_->mouse_down(*this, to_page(lparam), which(), keys)) return 0;
            break;
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
            if (tool_->double_click(*this, to_page(lparam), which(), keys)) return 0;
            break;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            if (tool_->mouse_up(*this, to_page(lparam), which(), keys)) return 0;
            break;
        case WM_MOUSEMOVE:
            tool_->mouse_move(*this, to_page(lparam), keys);
            return 0;
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
        case WM_CHAR:
            if (tool_->key(*this, message, wparam, lparam)) return 0;
            break;
        case WM_SETCURSOR:
            if (LOWORD(lparam) == HTCLIENT) {
                POINT p;
                GetCursorPos(&p);
                ScreenToClient(hwnd(), &p);
                p.x += pos_x_;
                p.y += pos_y_;
                const HCURSOR cursor = tool_->cursor(*this, p);
                SetCursor(cursor ? cursor : LoadCursorW(nullptr, IDC_ARROW));
                return TRUE;
            }
            break;
        case WM_CAPTURECHANGED:
            tool_->release(*this);
            break;
        default:
            break;
    }
    return Window::handle_message(message, wparam, lparam);
}

}  // namespace vx::win::surface
