#include "win/shell/launch_form.h"

#include <memory>
#include <stdexcept>

#include "win/dialogs/selector_dialogs.h"
#include "win/shell/launch_ids.h"
#include "win/util/text.h"
#include "win/util/trace.h"

namespace vx::win::shell {
namespace {

constexpr const char* kLastProgram = "LastProgram";

bool blank(const std::string& text) {
    return text.find_first_not_of(" \t") == std::string::npos;
}

}  // namespace

INT_PTR TLaunchForm::run(HWND owner) {
    return run_modal(GetModuleHandleW(nullptr), IDD_RUN_PROGRAM, owner);
}

bool TLaunchForm::on_init() {
    SendMessageW(item(IDC_RUN_PICTURE), STM_SETICON,
                 reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_APPLICATION)), 0);
    std::string last;
    try {
        last = p_.settings.read("", kLastProgram).value_or("");
    } catch (const std::exception& e) {
        log_error(std::string("LastProgram could not be read: ") + e.what());
    }
    set_item_text(IDC_RUN_COMMAND, last);
    SendMessageW(item(IDC_RUN_COMMAND), EM_SETSEL, 0, -1);
    EnableWindow(item(IDC_RUN_BROWSE), p_.browse ? TRUE : FALSE);
    EnableWindow(item(IDHELP), p_.show_help ? TRUE : FALSE);
    update_ok();
    SetFocus(item(IDC_RUN_COMMAND));
    return true;
}

void TLaunchForm::update_ok() const {
    EnableWindow(item(IDOK), blank(item_text(IDC_RUN_COMMAND)) ? FALSE : TRUE);
}

bool TLaunchForm::on_ok() {
    const std::string typed = item_text(IDC_RUN_COMMAND);
    // Enter reaches here even while OK is disabled.
    if (blank(typed)) return false;
    result_.command = typed;
    result_.minimized = IsDlgButtonChecked(hwnd(), IDC_RUN_MINIMIZED) == BST_CHECKED;
    result_.maximized = IsDlgButtonChecked(hwnd(), IDC_RUN_MAXIMIZED) == BST_CHECKED;
    try {
        p_.settings.write("", kLastProgram, typed);
    } catch (const std::exception& e) {
        log_error(std::string("LastProgram could not be stored: ") + e.what());
    }
    return true;
}

bool TLaunchForm::on_command(int id, int code, HWND) {
    switch (id) {
        case IDC_RUN_COMMAND:
            if (code == EN_CHANGE) update_ok();
            return code == EN_CHANGE;
        case IDC_RUN_MINIMIZED:
        case IDC_RUN_MAXIMIZED:
            // A window starts one way or the other, not both.
            if (code == BN_CLICKED && IsDlgButtonChecked(hwnd(), id) == BST_CHECKED)
                CheckDlgButton(hwnd(), id == IDC_RUN_MINIMIZED ? IDC_RUN_MAXIMIZED : IDC_RUN_MINIMIZED,
                               BST_UNCHECKED);
            return code == BN_CLICKED;
        case IDC_RUN_BROWSE:
            if (code == BN_CLICKED && p_.browse) {
                if (auto chosen = p_.browse(hwnd())) {
                    set_item_text(IDC_RUN_COMMAND, *chosen);
                    update_ok();
                }
            }
            return true;
        case IDHELP:
            if (code == BN_CLICKED && p_.show_help) p_.show_help(kRunProgramHelpTopic);
            return true;
        default:
            return false;
    }
}

std::function<std::optional<std::string>(HWND)> program_selector(std::string restricted_dirs,
                                                                 vx::dialogs::DriveTable drives) {
    auto start_dir = std::make_shared<std::string>();
    return [restricted_dirs = std::move(restricted_dirs), drives,
            start_dir](HWND owner) -> std::optional<std::string> {
        std::string file;
        if (!select_file(owner, "Select a Program", *start_dir, "*.EXE *.BAT *.COM *.PIF *.LNK",
                         restricted_dirs, drives, true, false, file) ||
            file.empty())
            return std::nullopt;
        return file;
    };
}

std::optional<TypedCommand> run_launch_form(HWND owner, LaunchFormPorts& ports) {
    TLaunchForm form(ports);
    if (form.run(owner) != IDOK) return std::nullopt;
    return form.result();
}

}  // namespace vx::win::shell
