#include "win/shell/loading_form.h"

#include <commctrl.h>

#include <algorithm>

#include "win/shell/loading_ids.h"
#include "win/util/trace.h"

namespace vx::win::shell {

TLoadingForm::TLoadingForm(HWND owner, std::string title, std::string file)
    : owner_(owner), title_(std::move(title)), file_(std::move(file)) {}

TLoadingForm::~TLoadingForm() {
    end();
}

void TLoadingForm::begin(int maximum) {
    maximum_ = std::max(1, maximum);
    if (!hwnd() && !create_modeless(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_LOADING), owner_)) {
        // Loading goes on without its window.
        log_error("the loading window cannot be created: " + std::to_string(GetLastError()));
        return;
    }
    SendDlgItemMessageW(hwnd(), IDC_PROGRESS_LOADING, PBM_SETRANGE32, 0, maximum_);
    SendDlgItemMessageW(hwnd(), IDC_PROGRESS_LOADING, PBM_SETPOS, 0, 0);
    // Over the window whose desktop it loads (the template centres it on the screen otherwise).
    RECT own{}, mine{};
    UINT flags = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW;
    int x = 0, y = 0;
    if (owner_ && IsWindowVisible(owner_) && !IsIconic(owner_) && GetWindowRect(owner_, &own) &&
        GetWindowRect(hwnd(), &mine)) {
        x = own.left + ((own.right - own.left) - (mine.right - mine.left)) / 2;
        y = own.top + ((own.bottom - own.top) - (mine.bottom - mine.top)) / 2;
    } else {
        flags |= SWP_NOMOVE;
    }
    SetWindowPos(hwnd(), nullptr, x, y, 0, 0, flags);
    repaint();
}

void TLoadingForm::advance(int tabs) {
    if (!hwnd()) return;
    SendDlgItemMessageW(hwnd(), IDC_PROGRESS_LOADING, PBM_SETPOS, std::clamp(tabs, 0, maximum_), 0);
    repaint();
}

void TLoadingForm::end() {
    if (hwnd() && IsWindow(hwnd())) DestroyWindow(hwnd());
}

int TLoadingForm::gauge_maximum() const {
    return hwnd() ? static_cast<int>(SendDlgItemMessageW(hwnd(), IDC_PROGRESS_LOADING, PBM_GETRANGE, FALSE, 0)) : 0;
}

int TLoadingForm::gauge_position() const {
    return hwnd() ? static_cast<int>(SendDlgItemMessageW(hwnd(), IDC_PROGRESS_LOADING, PBM_GETPOS, 0, 0)) : 0;
}

bool TLoadingForm::on_init() {
    // The shell's name stands out over the file's.
    LOGFONTW lf{};
    if (const HFONT dialog_font = reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0)))
        GetObjectW(dialog_font, sizeof lf, &lf);
    lf.lfHeight = lf.lfHeight ? lf.lfHeight * 2 : -24;
    lf.lfWeight = FW_BOLD;
    title_font_.reset(CreateFontIndirectW(&lf));
    if (title_font_)
        SendDlgItemMessageW(hwnd(), IDC_STATIC_LOADING_TITLE, WM_SETFONT,
                            reinterpret_cast<WPARAM>(title_font_.get()), FALSE);
    set_item_text(IDC_STATIC_LOADING_TITLE, title_);
    set_item_text(IDC_STATIC_LOADING_FILE, file_);
    return true;
}

INT_PTR TLoadingForm::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
    // No focus for it: the keyboard, and the activation, stay with the main window.
    if (message == WM_INITDIALOG) {
        on_init();
        return FALSE;
    }
    // Nothing here answers a person: the window goes when the load is over, not before.
    if (message == WM_CLOSE) return TRUE;
    return Dialog::handle_message(message, wparam, lparam);
}

void TLoadingForm::repaint() const {
    // The load holds the message loop; the window paints itself now rather than when it is over.
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

}  // namespace vx::win::shell
