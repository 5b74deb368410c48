#include "backdrop.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace kx {
namespace {

constexpr wchar_t kClassName[] = L"KXSetUp";

void paint_gradient(HDC dc, int width, int height) {
    const COLORREF from = RGB(0, 0, 255), to = RGB(0, 0, 0);
    int ch[3] = {GetRValue(from), GetGValue(from), GetBValue(from)};
    const int end[3] = {GetRValue(to), GetGValue(to), GetBValue(to)};
    int span = 1;
    for (int i = 0; i < 3; ++i) span = std::max(span, std::abs(end[i] - ch[i]));
    const int rows_per_step = std::max(1, height / span);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DC_BRUSH));
    for (int y = 0; y < height; ++y) {
        if (y > 0 && y % rows_per_step == 0)
            for (int i = 0; i < 3; ++i) ch[i] += (end[i] > ch[i]) - (end[i] < ch[i]);
        SetDCBrushColor(dc, RGB(ch[0], ch[1], ch[2]));
        PatBlt(dc, 0, y, width, 1, PATCOPY);
    }
    SelectObject(dc, old);
}

void paint_title(HDC dc) {
    const COLORREF colour = RGB(255, 255, 0);
    HFONT font =
        CreateFontW(-44, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_ROMAN, L"Times New Roman");
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    const wchar_t title[] = L"Vantora! Installation";
    // The shadow contrasts with the title: dark under a light title, light under a dark one.
    const double luminance = 0.3 * GetRValue(colour) + 0.59 * GetGValue(colour) + 0.11 * GetBValue(colour);
    SetTextColor(dc, luminance > 127 ? RGB(0, 0, 0) : RGB(255, 255, 255));
    TextOutW(dc, 24, 28, title, static_cast<int>(std::size(title) - 1));
    SetTextColor(dc, colour);
    TextOutW(dc, 22, 25, title, static_cast<int>(std::size(title) - 1));
    SelectObject(dc, old);
    DeleteObject(font);
}

void paint_logo(HWND hwnd, HDC dc, int width, int height) {
    HBITMAP logo = reinterpret_cast<HBITMAP>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!logo) return;
    BITMAP bm{};
    GetObjectW(logo, sizeof bm, &bm);
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, logo);
    BitBlt(dc, (width - bm.bmWidth) / 2, height - 72, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
}

LRESULT CALLBACK backdrop_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            RECT rc;
            GetClientRect(hwnd, &rc);
            paint_gradient(dc, rc.right, rc.bottom);
            paint_title(dc);
            paint_logo(hwnd, dc, rc.right, rc.bottom);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_DESTROY: {
            HBITMAP logo = reinterpret_cast<HBITMAP>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
            if (logo) DeleteObject(logo);
            return 0;
        }
        default:
            return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

}  // namespace

HWND create_backdrop(HINSTANCE instance) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = backdrop_proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, kClassName, L"Installation", WS_POPUP | WS_VISIBLE, 0, 0,
                                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                                nullptr, instance, nullptr);
    if (hwnd) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(LoadBitmapW(instance, L"logo")));
        UpdateWindow(hwnd);
    }
    return hwnd;
}

}  // namespace kx
