#include "win/shell/main_form.h"

#include <algorithm>
#include <exception>

#include "win/util/text.h"
#include "win/util/trace.h"

namespace vx::win::shell {
namespace {

// An empty page area is silver, as it is whenever no page is current.
constexpr COLORREF kNoPageColour = RGB(192, 192, 192);

unique_hfont make_message_font(int height_percent, LONG weight) {
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof ncm;
    LOGFONTW lf{};
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0)) {
        lf = ncm.lfMessageFont;
    } else {
        lf.lfHeight = -12;
        lstrcpynW(lf.lfFaceName, L"Tahoma", LF_FACESIZE);
    }
    lf.lfHeight = lf.lfHeight * height_percent / 100;
    lf.lfWeight = weight;
    return unique_hfont(CreateFontIndirectW(&lf));
}

RECT centred_on_work_area(int width, int height) {
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int w = std::min<int>(width, work.right - work.left);
    const int h = std::min<int>(height, work.bottom - work.top);
    const int x = work.left + (work.right - work.left - w) / 2;
    const int y = work.top + (work.bottom - work.top - h) / 2;
    return RECT{x, y, x + w, y + h};
}

}  // namespace

std::string read_main_title(SettingsStore& settings) {
    try {
        if (auto title = settings.read("", "Title")) return *title;
    } catch (const std::exception& e) {
        log_error(std::string("reading the Title setting: ") + e.what());
    }
    return kDefaultTitle;
}

HWND TMainForm::create(HINSTANCE instance) {
    title_ = read_main_title(settings_);

    WNDCLASSEXW wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.hInstance = instance;
    wc.lpszClassName = kMainFormClass;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    if (!wc.hIcon) wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = nullptr;  // painted in full by on_paint
    if (!register_class(wc)) return nullptr;

    const RECT r = centred_on_work_area(800, 600);
    return Window::create(WS_EX_APPWINDOW, kMainFormClass, widen(title_).c_str(), WS_OVERLAPPEDWINDOW, r.left,
                          r.top, r.right - r.left, r.bottom - r.top, nullptr, nullptr, instance);
}

void TMainForm::show(int show_command) {
    ShowWindow(hwnd(), show_command);
    UpdateWindow(hwnd());
    SetForegroundWindow(hwnd());
}

bool TMainForm::on_create(const CREATESTRUCTW&) {
    title_font_ = make_message_font(150, FW_BOLD);
    return true;
}

void TMainForm::on_destroy() {
    PostQuitMessage(0);
}

LRESULT TMainForm::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_ERASEBKGND) return 1;  // on_paint covers every pixel; erasing first flickers
    return Window::handle_message(message, wparam, lparam);
}

void TMainForm::paint_top_panel(HDC dc, const RECT& client) const {
    RECT panel{client.left, client.top, client.right, client.top + kTopPanelHeight};
    FillRect(dc, &panel, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &panel, BDR_RAISEDINNER, BF_RECT);

    SetBkMode(dc, TRANSPARENT);
    RECT text = panel;
    InflateRect(&text, -12, 0);
    {
        const scoped_select font(
            dc, title_font_ ? static_cast<HGDIOBJ>(title_font_.get()) : GetStockObject(DEFAULT_GUI_FONT));
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        const std::wstring caption = widen(title_);
        DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
}

void TMainForm::on_paint(HDC dc, const PAINTSTRUCT&) {
    RECT client;
    GetClientRect(hwnd(), &client);
    paint_top_panel(dc, client);

    RECT area{client.left, client.top + kTopPanelHeight, client.right, client.bottom};
    if (area.bottom <= area.top) return;
    const unique_hbrush silver(CreateSolidBrush(kNoPageColour));
    FillRect(dc, &area, silver ? silver.get() : static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
    DrawEdge(dc, &area, EDGE_SUNKEN, BF_RECT);
}

}  // namespace vx::win::shell
