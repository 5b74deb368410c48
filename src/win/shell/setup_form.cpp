#include "win/shell/setup_form.h"

#include <commctrl.h>

#include "win/shell/setup_ids.h"
#include "win/util/text.h"
#include "win/util/trace.h"

namespace vx::win::shell {
namespace {

constexpr int kAttributeControls[] = {IDC_CHECK_ANI_ICON,  IDC_CHECK_ALLOW_POPUP, IDC_CHECK_MENU_BAR,
                                      IDC_CHECK_PAGE_TABS, IDC_CHECK_STATUS_BAR,  IDC_CHECK_SIZEABLE,
                                      IDC_CHECK_SCROLLING, IDC_CHECK_EXIT_PROMPT};
constexpr int kDirectoryControls[] = {IDC_STATIC_TEMP_DIR,    IDC_EDIT_TEMP_DIR, IDC_BUTTON_BROWSE_TEMP,
                                      IDC_CHECK_WINDOWS_TEMP, IDC_CHECK_BACKUP,  IDC_STATIC_TEMP_NOTE};

}  // namespace

INT_PTR TSetupForm::run(HWND owner) {
    return run_modal(GetModuleHandleW(nullptr), IDD_DESKTOP_SETUP, owner);
}

bool TSetupForm::on_init() {
    const HWND tabs = item(IDC_TAB_SETUP);
    int index = 0;
    for (const wchar_t* caption : {L"Desktop Attributes", L"Directories"}) {
        std::wstring text = caption;
        TCITEMW tab{};
        tab.mask = TCIF_TEXT;
        tab.pszText = text.data();
        SendMessageW(tabs, TCM_INSERTITEMW, static_cast<WPARAM>(index++), reinterpret_cast<LPARAM>(&tab));
    }
    const auto& o = v_.values.options;
    set_check(IDC_CHECK_ANI_ICON, o.ani_icon);
    set_check(IDC_CHECK_ALLOW_POPUP, v_.values.allow_popup);
    set_check(IDC_CHECK_MENU_BAR, o.menu_bar);
    set_check(IDC_CHECK_PAGE_TABS, o.page_tabs);
    set_check(IDC_CHECK_STATUS_BAR, o.status_bar);
    set_check(IDC_CHECK_SIZEABLE, o.sizeable);
    set_check(IDC_CHECK_SCROLLING, o.scrolling);
    set_check(IDC_CHECK_EXIT_PROMPT, v_.values.exit_prompt);
    set_check(IDC_CHECK_BACKUP, v_.values.backup);
    typed_temp_ = v_.values.temp_dir;
    set_item_text(IDC_EDIT_TEMP_DIR, v_.values.temp_dir);
    set_check(IDC_CHECK_WINDOWS_TEMP, v_.values.use_windows_temp);
    // Without a TEMP variable there is no Windows temp directory to use.
    EnableWindow(item(IDC_CHECK_WINDOWS_TEMP), !v_.windows_temp.empty() || v_.values.use_windows_temp);
    update_temp_row();
    select_page(kAttributesPage);
    return true;
}

void TSetupForm::select_page(Page page) {
    page_ = page;
    SendMessageW(item(IDC_TAB_SETUP), TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
    for (int id : kAttributeControls) ShowWindow(item(id), page == kAttributesPage ? SW_SHOW : SW_HIDE);
    for (int id : kDirectoryControls) ShowWindow(item(id), page == kDirectoriesPage ? SW_SHOW : SW_HIDE);
}

void TSetupForm::set_check(int id, bool on) const {
    CheckDlgButton(hwnd(), id, on ? BST_CHECKED : BST_UNCHECKED);
}

bool TSetupForm::checked(int id) const {
    return IsDlgButtonChecked(hwnd(), id) == BST_CHECKED;
}

void TSetupForm::update_temp_row() const {
    const bool windows_temp = checked(IDC_CHECK_WINDOWS_TEMP);
    if (windows_temp) set_item_text(IDC_EDIT_TEMP_DIR, v_.windows_temp);
    EnableWindow(item(IDC_EDIT_TEMP_DIR), !windows_temp);
    EnableWindow(item(IDC_BUTTON_BROWSE_TEMP), !windows_temp);
}

void TSetupForm::help(int topic) const {
    if (v_.show_help)
        v_.show_help(topic);
    else
        log_info("Desktop Setup: no help for topic " + std::to_string(topic));
}

bool TSetupForm::on_ok() {
    auto& o = v_.values.options;
    o.ani_icon = checked(IDC_CHECK_ANI_ICON);
    v_.values.allow_popup = checked(IDC_CHECK_ALLOW_POPUP);
    o.menu_bar = checked(IDC_CHECK_MENU_BAR);
    o.page_tabs = checked(IDC_CHECK_PAGE_TABS);
    o.status_bar = checked(IDC_CHECK_STATUS_BAR);
    o.sizeable = checked(IDC_CHECK_SIZEABLE);
    o.scrolling = checked(IDC_CHECK_SCROLLING);
    v_.values.exit_prompt = checked(IDC_CHECK_EXIT_PROMPT);
    v_.values.backup = checked(IDC_CHECK_BACKUP);
    v_.values.use_windows_temp = checked(IDC_CHECK_WINDOWS_TEMP);
    v_.values.temp_dir = item_text(IDC_EDIT_TEMP_DIR);
    return true;
}

bool TSetupForm::on_command(int id, int code, HWND) {
    if (code != BN_CLICKED) return false;
    switch (id) {
        case IDHELP:
            help(page_ == kAttributesPage ? kAttributesHelp : kDirectoriesHelp);
            return true;
        case IDC_CHECK_WINDOWS_TEMP:
            // Unticking gives back what was typed before, not the TEMP folder.
            if (checked(IDC_CHECK_WINDOWS_TEMP))
                typed_temp_ = item_text(IDC_EDIT_TEMP_DIR);
            else
                set_item_text(IDC_EDIT_TEMP_DIR, typed_temp_);
            update_temp_row();
            return true;
        case IDC_BUTTON_BROWSE_TEMP: {
            if (!v_.browse) return true;
            std::string directory = item_text(IDC_EDIT_TEMP_DIR);
            if (v_.browse(directory)) set_item_text(IDC_EDIT_TEMP_DIR, directory);
            return true;
        }
        default:
            return false;
    }
}

INT_PTR TSetupForm::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lparam);
            if (header->idFrom == IDC_TAB_SETUP && header->code == TCN_SELCHANGE) {
                const auto sel = SendMessageW(item(IDC_TAB_SETUP), TCM_GETCURSEL, 0, 0);
                select_page(sel == kDirectoriesPage ? kDirectoriesPage : kAttributesPage);
                return TRUE;
            }
            break;
        }
        case WM_HELP:
            help(page_ == kAttributesPage ? kAttributesContext : kDirectoriesContext);
            return TRUE;
        default:
            break;
    }
    return Dialog::handle_message(message, wparam, lparam);
}

}  // namespace vx::win::shell
