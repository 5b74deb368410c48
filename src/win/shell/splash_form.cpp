#include "win/shell/splash_form.h"

#include <string>

#include "win/shell/setup_ids.h"
#include "win/util/trace.h"

namespace vx::win::shell {

INT_PTR TSplashForm::run(HWND owner) {
    return run_modal(GetModuleHandleW(nullptr), IDD_ABOUT, owner);
}

bool TSplashForm::on_init() {
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
    if (!icon) icon = LoadIconW(nullptr, IDI_APPLICATION);
    SendDlgItemMessageW(hwnd(), IDC_STATIC_ABOUT_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    set_item_text(IDC_STATIC_ABOUT_VERSION, std::string(kVersionText) + "\r\n" + kReleaseDateText);
    return true;
}

bool TSplashForm::on_command(int id, int code, HWND) {
    if (id != IDHELP || code != BN_CLICKED) return false;
    if (show_help_)
        show_help_(kHelpTopic);
    else
        log_info("About: no help for topic " + std::to_string(kHelpTopic));
    return true;
}

}  // namespace vx::win::shell
