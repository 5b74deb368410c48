#include "win/shell/shutdown_dialog.h"

#include "win/shell/launch_ids.h"
#include "win/util/text.h"

namespace vx::win::shell {
namespace {

constexpr int kRowIds[] = {IDC_SHUT_ROW0, IDC_SHUT_ROW1, IDC_SHUT_ROW2, IDC_SHUT_ROW3};
constexpr size_t kRowCount = sizeof(kRowIds) / sizeof(kRowIds[0]);

}  // namespace

INT_PTR TShutdownForm::run(HWND owner) {
    return run_modal(GetModuleHandleW(nullptr), IDD_SHUT_DOWN, owner);
}

bool TShutdownForm::on_init() {
    SendMessageW(item(IDC_SHUT_PICTURE), STM_SETICON,
                 reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_QUESTION)), 0);
    rows_ = vx::shell::exit_dialog_rows(c_.dos_guard_visible, c_.logoff_guard_visible, c_.user_name_known);
    // The rows are fixed places; the choices fill them from the top, and the places left over
    // are hidden, so a hidden choice leaves no gap.
    for (size_t i = 0; i < kRowCount; ++i) {
        const HWND row = item(kRowIds[i]);
        if (i < rows_.size()) {
            set_item_text(kRowIds[i], rows_[i].caption);
            ShowWindow(row, SW_SHOW);
            EnableWindow(row, TRUE);
        } else {
            ShowWindow(row, SW_HIDE);
            EnableWindow(row, FALSE);
        }
    }
    CheckRadioButton(hwnd(), IDC_SHUT_ROW0, IDC_SHUT_ROW3, IDC_SHUT_ROW0);
    EnableWindow(item(IDHELP), c_.show_help ? TRUE : FALSE);
    return true;
}

bool TShutdownForm::on_ok() {
    for (size_t i = 0; i < rows_.size() && i < kRowCount; ++i) {
        if (IsDlgButtonChecked(hwnd(), kRowIds[i]) != BST_CHECKED) continue;
        started_ = vx::shell::perform_exit_choice(rows_[i].choice, c_.host, c_.session, c_.processes);
        return true;
    }
    return false;
}

bool TShutdownForm::on_command(int id, int code, HWND) {
    if (id == IDHELP && code == BN_CLICKED) {
        if (c_.show_help) c_.show_help(kShutDownHelpContext);
        return true;
    }
    return false;
}

bool run_shutdown_dialog(HWND owner, ShutdownContext& context) {
    TShutdownForm form(context);
    return form.run(owner) == IDOK && form.started();
}

bool windows_user_name_known() {
    wchar_t name[257] = {};
    DWORD size = 257;
    return GetUserNameW(name, &size) && name[0] != L'\0';
}

}  // namespace vx::win::shell
