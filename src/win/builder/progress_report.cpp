#include "win/builder/progress_report.h"

#include <commctrl.h>

#include <algorithm>

#include "win/builder/builder_ids.h"
#include "win/util/text.h"
#include "win/util/trace.h"

namespace vx::win::builder {

TProgressReport::TProgressReport(HWND owner, AskFn ask) : owner_(owner), ask_(std::move(ask)) {}

TProgressReport::~TProgressReport() {
    if (hwnd() && IsWindow(hwnd())) DestroyWindow(hwnd());
}

bool TProgressReport::ensure_window() {
    if (hwnd()) return true;
    if (create_modeless(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_PROGRESS_REPORT), owner_))
        return true;
    log_error("the progress window cannot be created: " + std::to_string(GetLastError()));
    return false;
}

void TProgressReport::lay_out(bool gauge) {
    RECT client{};
    GetClientRect(hwnd(), &client);
    const int width = client.right;
    const int height = gauge ? kProgressHeightWithGauge : kProgressHeightWithoutGauge;
    RECT frame{0, 0, width, height};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(hwnd(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(hwnd(), GWL_EXSTYLE)));
    SetWindowPos(hwnd(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT stop{};
    GetWindowRect(item(IDC_BUTTON_PROGRESS_STOP), &stop);
    const int stop_w = stop.right - stop.left;
    SetWindowPos(item(IDC_BUTTON_PROGRESS_STOP), nullptr, (width - stop_w) / 2,
                 gauge ? kStopTopWithGauge : kStopTopWithoutGauge, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(item(IDC_PROGRESS_GAUGE), gauge ? SW_SHOWNA : SW_HIDE);
}

void TProgressReport::start(int maximum) {
    stopped_ = false;
    maximum_ = std::max(0, maximum);
    position_ = 0;
    if (!ensure_window()) return;
    SendDlgItemMessageW(hwnd(), IDC_PROGRESS_GAUGE, PBM_SETRANGE32, 0, std::max(1, maximum_));
    SendDlgItemMessageW(hwnd(), IDC_PROGRESS_GAUGE, PBM_SETPOS, 0, 0);
    // The caption stays the window's own rather than going blank until a step names one.
    SetWindowTextW(hwnd(), widen(kProgressCaption).c_str());
    set_item_text(IDC_STATIC_PROGRESS_PROMPT, "");
    lay_out(maximum_ > 1);
    // Over the window it reports for.
    RECT own{}, mine{};
    if (owner_ && IsWindowVisible(owner_) && GetWindowRect(owner_, &own) && GetWindowRect(hwnd(), &mine))
        SetWindowPos(hwnd(), nullptr, own.left + ((own.right - own.left) - (mine.right - mine.left)) / 2,
                     own.top + ((own.bottom - own.top) - (mine.bottom - mine.top)) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TProgressReport::step(const std::optional<std::string>& caption,
                           const std::optional<std::string>& prompt, int increment) {
    if (!ensure_window()) return;
    if (!IsWindowVisible(hwnd()))
        SetWindowPos(hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    if (caption) SetWindowTextW(hwnd(), widen(*caption).c_str());
    if (prompt) set_item_text(IDC_STATIC_PROGRESS_PROMPT, *prompt);
    if (increment >= 0) {
        position_ = std::min(maximum_, position_ + increment);
        SendDlgItemMessageW(hwnd(), IDC_PROGRESS_GAUGE, PBM_SETPOS, position_, 0);
    }
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

bool TProgressReport::poll() {
    if (!hwnd()) return stopped_;
    MSG msg;
    // Bounded: a window that never validates its paint must not hold the import here.
    for (int round = 0; round < 500 && (PeekMessageW(&msg, hwnd(), 0, 0, PM_REMOVE) ||
                                        PeekMessageW(&msg, stop_button(), 0, 0, PM_REMOVE) ||
                                        PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE));
         ++round) {
        if (IsDialogMessageW(hwnd(), &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return stopped_;
}

void TProgressReport::finish() {
    stopped_ = false;
    if (hwnd()) ShowWindow(hwnd(), SW_HIDE);
}

bool TProgressReport::gauge_shown() const {
    return hwnd() && IsWindowVisible(item(IDC_PROGRESS_GAUGE));
}

int TProgressReport::gauge_position() const {
    return position_;
}

HWND TProgressReport::stop_button() const {
    return item(IDC_BUTTON_PROGRESS_STOP);
}

std::string TProgressReport::prompt() const {
    return hwnd() ? item_text(IDC_STATIC_PROGRESS_PROMPT) : std::string();
}

bool TProgressReport::on_command(int id, int code, HWND) {
    if (id != IDC_BUTTON_PROGRESS_STOP || (code != BN_CLICKED && code != 0)) return false;
    // A second press while the question is up asks nothing more.
    if (asking_) return true;
    asking_ = true;
    stopped_ = ask_ && ask_(kAbortCaption, kAbortQuestion);
    asking_ = false;
    return true;
}

INT_PTR TProgressReport::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
    // Escape and the close box are no way around the question.
    if (message == WM_COMMAND && LOWORD(wparam) == IDCANCEL) return TRUE;
    return Dialog::handle_message(message, wparam, lparam);
}

}  // namespace vx::win::builder
