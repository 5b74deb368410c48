#include "win/dialogs/selector_dialogs.h"

#include <commctrl.h>

#include "win/dialogs/selector_ids.h"
#include "win/dialogs/win_file_system.h"
#include "win/shell/registry_settings.h"
#include "win/util/text.h"

namespace vx::win {
namespace {

constexpr const char* kHelpText =
    "Choose a drive and directory in the tree on the left, then a file in the list.\n"
    "Type a location to go there directly. Only the drives and directories you may use are shown.";

std::string join(const std::string& dir, const std::string& name) {
    return dir.ends_with('\\') ? dir + name : dir + "\\" + name;
}

bool has_wildcard(const std::string& text) {
    return text.find_first_of("*?") != std::string::npos;
}

std::string system_error_text(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length ? std::wstring(buffer, length) : L"Error " + std::to_wstring(code);
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    return narrow(text);
}

std::string current_directory() {
    std::wstring buffer(MAX_PATH + 1, L'\0');
    const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0 || length >= buffer.size()) return {};
    buffer.resize(length);
    return narrow(buffer);
}

}  // namespace

int system_message_box(HWND owner, const std::string& text, const std::string& caption, UINT flags) {
    return MessageBoxW(owner, widen(text).c_str(), widen(caption).c_str(), flags);
}

BrowserDialog::BrowserDialog(dialogs::SelectorKind kind, SettingsStore& store, dialogs::FileSystem& fs,
                             SelectorValues& values)
    : kind_(kind), store_(store), fs_(fs), values_(values), rules_(values.drives, values.restricted) {}

BrowserDialog::~BrowserDialog() {
    watch_.stop();
}

bool BrowserDialog::on_init() {
    auto loaded = dialogs::load_browser_settings(store_, kind_);
    settings_ = std::move(loaded.value);
    for (const auto& error : loaded.errors) message_box(hwnd(), error, "Error", MB_OK | MB_ICONERROR);
    if (!values_.title.empty()) SetWindowTextW(hwnd(), widen(values_.title).c_str());
    if (settings_.window_pos) {
        const auto& p = *settings_.window_pos;
        SetWindowPos(hwnd(), nullptr, p.left, p.top, p.width, p.height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    rules_.resolve_entries(fs_);
    browser_.attach(item(IDC_TREE_DIRS), item(IDC_LIST_FILES), &rules_, &fs_,
                    {settings_.show_system_files, settings_.show_file_details, settings_.text_case});
    on_settings_loaded();
    browser_.fill_drives();
    if (const auto start = dialogs::start_directory(values_.start_dir, current_directory(), rules_, fs_))
        show_directory(*start);
    return true;
}

bool BrowserDialog::show_directory(const std::string& directory) {
    if (!browser_.go_to(directory)) return false;
    shown_location_ = browser_.current();
    set_item_text(IDC_EDIT_LOCATION, shown_location_);
    watch_generation_ = watch_.start(hwnd(), kDirChangedMessage, widen(browser_.current()));
    on_directory_shown();
    return true;
}

void BrowserDialog::focus_location() {
    PostMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item(IDC_EDIT_LOCATION)), TRUE);
}

void BrowserDialog::refuse_location(const std::string& typed) {
    message_box(hwnd(), dialogs::invalid_location_message(typed), "Invalid Location", MB_OK | MB_ICONERROR);
    focus_location();
}

void BrowserDialog::on_missing_location(const std::string& typed, const std::string&) {
    refuse_location(typed);
}

void BrowserDialog::leave_location() {
    const std::string typed = item_text(IDC_EDIT_LOCATION);
    if (typed == shown_location_ || checking_location_ || closing_) return;
    // A message box below takes the focus away again; that must not check twice.
    checking_location_ = true;
    const auto location = dialogs::resolve_location(typed, browser_.current(), rules_, fs_);
    switch (location.status) {
        case dialogs::Location::Status::kDirectory:
            if (show_directory(location.directory)) {
                if (!location.file_name.empty()) on_typed_file(location.file_name);
            } else {
                refuse_location(typed);
            }
            break;
        case dialogs::Location::Status::kMissing:
            on_missing_location(typed, location.directory);
            break;
        case dialogs::Location::Status::kRefused:
            refuse_location(typed);
            break;
    }
    checking_location_ = false;
}

void BrowserDialog::show_help() {
    message_box(hwnd(), kHelpText, "Help", MB_OK | MB_ICONINFORMATION);
}

void BrowserDialog::save_settings() {
    RECT rect{};
    if (GetWindowRect(hwnd(), &rect))
        settings_.window_pos =
            dialogs::WindowPos{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
    for (const auto& error : dialogs::save_browser_settings(store_, kind_, settings_))
        message_box(nullptr, error, "Error", MB_OK | MB_ICONERROR);
}

bool BrowserDialog::on_command(int id, int code, HWND) {
    if (id == IDC_EDIT_LOCATION && code == EN_KILLFOCUS) {
        leave_location();
        return true;
    }
    if (id == IDC_BUTTON_HELP && code == BN_CLICKED) {
        show_help();
        return true;
    }
    return false;
}

INT_PTR BrowserDialog::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wparam) == IDOK) {
                on_ok_pressed();
                return TRUE;
            }
            if (LOWORD(wparam) == IDCANCEL) {
                on_cancel_pressed();
                return TRUE;
            }
            break;
        case WM_HELP:
            show_help();
            return TRUE;
        case WM_CONTEXTMENU:
            return TRUE;  // no menus of the shell or of anyone else
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lparam);
            if (header->idFrom == IDC_TREE_DIRS) {
                if (header->code == TVN_ITEMEXPANDINGW) {
                    const auto* tv = reinterpret_cast<const NMTREEVIEWW*>(lparam);
                    if (tv->action & TVE_EXPAND) browser_.populate(tv->itemNew.hItem);
                } else if (header->code == TVN_SELCHANGEDW) {
                    const auto* tv = reinterpret_cast<const NMTREEVIEWW*>(lparam);
                    const std::string path = browser_.path_of(tv->itemNew.hItem);
                    if (!path.empty() && path != browser_.current() && tv->action != TVC_UNKNOWN)
                        show_directory(path);
                } else if (header->code == TVN_BEGINDRAGW || header->code == TVN_BEGINRDRAGW) {
                    return TRUE;
                }
            }
            break;
        }
        case kDirChangedMessage:
            if (static_cast<unsigned>(wparam) == watch_generation_) {
                browser_.refresh_list();
                watch_generation_ = watch_.start(hwnd(), kDirChangedMessage, widen(browser_.current()));
            }
            return TRUE;
        case WM_DESTROY:
            closing_ = true;
            watch_.stop();
            save_settings();
            break;
        default:
            break;
    }
    return Dialog::handle_message(message, wparam, lparam);
}

// ---- file, image and icon selectors

void FileSelectorBase::on_settings_loaded() {
    filter_list_ = filters();
    for (const auto& entry : filter_list_)
        SendMessageW(item(IDC_LIST_FILTER), LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(widen(entry.text()).c_str()));
    SendMessageW(item(IDC_LIST_FILTER), LB_SETCURSEL, 0, 0);
    browser_.set_mask(filter_list_.front().mask);
    set_item_text(IDC_EDIT_FILTER, filter_list_.front().mask);
    if (kind_ == dialogs::SelectorKind::kFile) {
        auto loaded = dialogs::load_viewer_settings(store_);
        viewer_ = std::move(loaded.value);
        for (const auto& error : loaded.errors) message_box(hwnd(), error, "Error", MB_OK | MB_ICONERROR);
    }
    SendMessageW(item(IDC_EDIT_PREVIEW), WM_SETFONT,
                 reinterpret_cast<WPARAM>(GetStockObject(ANSI_FIXED_FONT)), 0);
    CheckDlgButton(hwnd(), IDC_CHECK_PREVIEW, settings_.preview ? BST_CHECKED : BST_UNCHECKED);
    layout_preview();
}

void FileSelectorBase::layout_preview() {
    // The preview takes the right half of the list's place in the template.
    RECT list{131, 25, 353, 185};
    MapDialogRect(hwnd(), &list);
    RECT half{243, 25, 353, 185};
    MapDialogRect(hwnd(), &half);
    const int right = settings_.preview ? half.left - (list.right - half.right) : list.right;
    MoveWindow(item(IDC_LIST_FILES), list.left, list.top, right - list.left, list.bottom - list.top, TRUE);
    ShowWindow(item(IDC_EDIT_PREVIEW), settings_.preview ? SW_SHOW : SW_HIDE);
    update_preview();
}

void FileSelectorBase::update_preview() {
    std::string text;
    const auto* entry = browser_.entry(ListView_GetNextItem(item(IDC_LIST_FILES), -1, LVNI_SELECTED));
    // Pictures and media wait for the imaging layer; only text is previewed here.
    if (settings_.preview && entry && !entry->directory && !dialogs::is_picture_preview(entry->name)) {
        const HANDLE file =
            CreateFileW(widen(join(browser_.current(), entry->name)).c_str(), GENERIC_READ,
                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            std::string bytes(64 * 1024, '\0');
            DWORD got = 0;
            if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr)) got = 0;
            CloseHandle(file);
            bytes.resize(got);
            text = ansi_to_utf8(dialogs::preview_text(bytes, viewer_.expand_tabs, viewer_.tab_size));
        }
    }
    set_item_text(IDC_EDIT_PREVIEW, text);
}

dialogs::Focus FileSelectorBase::focus() const {
    const HWND focused = GetFocus();
    if (focused && focused == item(IDC_LIST_FILES)) return dialogs::Focus::kFileList;
    if (focused && focused == item(IDC_EDIT_FILTER)) return dialogs::Focus::kFilterBox;
    if (focused && focused == item(IDC_EDIT_LOCATION)) return dialogs::Focus::kLocationBox;
    if (focused && focused == item(IDC_LIST_FILTER)) return dialogs::Focus::kFilterList;
    return dialogs::Focus::kOther;
}

std::string FileSelectorBase::chosen_file() const {
    const std::string text = item_text(IDC_EDIT_FILTER);
    if (text.empty() || has_wildcard(text)) return {};
    const auto location = dialogs::resolve_location(text, browser_.current(), rules_, fs_);
    if (location.status != dialogs::Location::Status::kDirectory || location.file_name.empty()) return {};
    return join(location.directory, location.file_name);
}

void FileSelectorBase::activate_list_item() {
    const int index = ListView_GetNextItem(item(IDC_LIST_FILES), -1, LVNI_SELECTED);
    const auto* entry = browser_.entry(index);
    if (!entry) return;
    if (entry->directory) {
        const auto target = dialogs::canonical_path(join(browser_.current(), entry->name));
        if (target) show_directory(*target);
        return;
    }
    set_item_text(IDC_EDIT_FILTER, entry->name);
    const std::string file = chosen_file();
    if (file.empty() || !accept()) return;
    values_.file_name = file;
    values_.start_dir = browser_.current();
    finish(IDOK);
}

void FileSelectorBase::apply_filter_text() {
    const std::string text = item_text(IDC_EDIT_FILTER);
    if (text.empty() || has_wildcard(text)) {
        browser_.set_mask(text.empty() ? "*.*" : text);
        browser_.refresh_list();
    }
}

void FileSelectorBase::apply_filter_list() {
    const auto index = SendMessageW(item(IDC_LIST_FILTER), LB_GETCURSEL, 0, 0);
    if (index < 0 || static_cast<size_t>(index) >= filter_list_.size()) return;
    set_item_text(IDC_EDIT_FILTER, filter_list_[static_cast<size_t>(index)].mask);
    apply_filter_text();
}

void FileSelectorBase::on_typed_file(const std::string& name) {
    set_item_text(IDC_EDIT_FILTER, name);
    browser_.set_mask(name);
    browser_.refresh_list();
    const int at = browser_.find_entry(name);
    if (at >= 0)
        ListView_SetItemState(item(IDC_LIST_FILES), at, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
}

void FileSelectorBase::on_ok_pressed() {
    const dialogs::Focus where = focus();
    const std::string file = chosen_file();
    switch (dialogs::ok_action(where, !file.empty(), values_.file_required)) {
        case dialogs::OkAction::kActivateItem:
            activate_list_item();
            break;
        case dialogs::OkAction::kFocusFileList:
            if (where == dialogs::Focus::kLocationBox)
                leave_location();
            else
                apply_filter_text();
            if (!checking_location_ && item_text(IDC_EDIT_LOCATION) == shown_location_)
                PostMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item(IDC_LIST_FILES)), TRUE);
            break;
        case dialogs::OkAction::kApplyFilter:
            apply_filter_list();
            break;
        case dialogs::OkAction::kBeep:
            MessageBeep(MB_OK);
            break;
        case dialogs::OkAction::kCloseOk:
            if (!accept()) break;
            values_.file_name = file;
            values_.start_dir = browser_.current();
            finish(IDOK);
            break;
    }
}

void FileSelectorBase::on_cancel_pressed() {
    if (dialogs::cancel_action(focus()) == dialogs::CancelAction::kFocusFilterBox)
        PostMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item(IDC_EDIT_FILTER)), TRUE);
    else
        finish(IDCANCEL);
}

bool FileSelectorBase::on_command(int id, int code, HWND control) {
    if (id == IDC_CHECK_PREVIEW && code == BN_CLICKED) {
        settings_.preview = IsDlgButtonChecked(hwnd(), IDC_CHECK_PREVIEW) == BST_CHECKED;
        layout_preview();
        return true;
    }
    if (id == IDC_LIST_FILTER && code == LBN_DBLCLK) {
        apply_filter_list();
        return true;
    }
    return BrowserDialog::on_command(id, code, control);
}

INT_PTR FileSelectorBase::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lparam);
        if (header->idFrom == IDC_LIST_FILES) {
            switch (header->code) {
                case NM_DBLCLK:
                    activate_list_item();
                    return TRUE;
                case LVN_ITEMCHANGED: {
                    const auto* lv = reinterpret_cast<const NMLISTVIEW*>(lparam);
                    if ((lv->uNewState & LVIS_SELECTED) && !(lv->uOldState & LVIS_SELECTED)) {
                        const auto* entry = browser_.entry(lv->iItem);
                        if (entry && !entry->directory) set_item_text(IDC_EDIT_FILTER, entry->name);
                        update_preview();
                    }
                    break;
                }
                case LVN_BEGINDRAG:
                case LVN_BEGINRDRAG:
                case NM_RCLICK:
                    return TRUE;  // nothing leaves the dialog
                default:
                    break;
            }
        }
    }
    return BrowserDialog::handle_message(message, wparam, lparam);
}

bool TIconSelectorDialog::on_init() {
    if (add_mode_) {
        const HWND list = item(IDC_LIST_FILES);
        SetWindowLongPtrW(list, GWL_STYLE,
                          GetWindowLongPtrW(list, GWL_STYLE) & ~static_cast<LONG_PTR>(LVS_SINGLESEL));
    }
    return BrowserDialog::on_init();
}

bool TIconSelectorDialog::accept() {
    if (!add_mode_ || !adder_.count || !adder_.add) return true;
    std::vector<std::string> files;
    const HWND list = item(IDC_LIST_FILES);
    for (int i = ListView_GetNextItem(list, -1, LVNI_SELECTED); i >= 0;
         i = ListView_GetNextItem(list, i, LVNI_SELECTED)) {
        const auto* entry = browser_.entry(i);
        if (entry && !entry->directory) files.push_back(join(browser_.current(), entry->name));
    }
    added_ += dialogs::add_icons_of_files(files, adder_.count, adder_.add);
    return true;
}

// ---- directory selector

void TDirSelectorDialog::on_ok_pressed() {
    const HWND focused = GetFocus();
    if (focused && focused == item(IDC_EDIT_LOCATION) && item_text(IDC_EDIT_LOCATION) != shown_location_) {
        leave_location();
        return;
    }
    if (browser_.current().empty()) return;
    values_.start_dir = browser_.current();
    finish(IDOK);
}

void TDirSelectorDialog::on_missing_location(const std::string& typed, const std::string& directory) {
    if (!allow_create_) {
        refuse_location(typed);
        return;
    }
    if (message_box(hwnd(), dialogs::create_directory_question(directory), application_title,
                    MB_YESNO | MB_ICONQUESTION) != IDYES) {
        focus_location();
        return;
    }
    if (const auto error = create_directories(directory)) {
        message_box(hwnd(), dialogs::create_directory_failed_message(*error), application_title,
                    MB_OK | MB_ICONERROR);
        focus_location();
        return;
    }
    values_.start_dir = directory;
    finish(IDOK);
}

std::optional<std::string> create_directories(const std::string& directory) {
    size_t pos = 3;  // past "C:\"
    while (pos <= directory.size()) {
        size_t end = directory.find('\\', pos);
        if (end == std::string::npos) end = directory.size();
        const std::wstring level = widen(directory.substr(0, end));
        if (!CreateDirectoryW(level.c_str(), nullptr)) {
            const DWORD error = GetLastError();
            if (error != ERROR_ALREADY_EXISTS) return system_error_text(error);
        }
        pos = end + 1;
    }
    return std::nullopt;
}

// ---- the calls

namespace {

template <class Dialog>
bool run(Dialog& dialog, int resource, HWND owner) {
    return dialog.run_modal(GetModuleHandleW(nullptr), resource, owner) == IDOK;
}

}  // namespace

bool select_file(HWND owner, const std::string& title, std::string& start_dir, const std::string& mask,
                 const std::string& restricted, const dialogs::DriveTable& drives, bool file_required,
                 bool second_option, std::string& file_name) {
    shell::RegistrySettingsStore store;
    WinFileSystem fs;
    SelectorValues values{title,  start_dir,     mask,          restricted,
                          drives, file_required, second_option, file_name};
    TFileSelectorDialog dialog(store, fs, values);
    if (!run(dialog, IDD_FILE_SELECTOR, owner)) return false;
    start_dir = values.start_dir;
    file_name = values.file_name;
    return true;
}

bool select_image(HWND owner, const std::string& title, std::string& start_dir, const std::string& mask,
                  const std::string& restricted, const dialogs::DriveTable& drives, bool file_required,
                  std::string& file_name) {
    shell::RegistrySettingsStore store;
    WinFileSystem fs;
    SelectorValues values{title, start_dir, mask, restricted, drives, file_required, false, file_name};
    TImageSelectorDialog dialog(store, fs, values);
    if (!run(dialog, IDD_FILE_SELECTOR, owner)) return false;
    start_dir = values.start_dir;
    file_name = values.file_name;
    return true;
}

bool select_icon(HWND owner, const std::string& title, std::string& start_dir, const std::string& mask,
                 const std::string& restricted, const dialogs::DriveTable& drives, int& added, bool add_mode,
                 std::string& file_name, TIconSelectorDialog::IconAdder adder) {
    shell::RegistrySettingsStore store;
    WinFileSystem fs;
    SelectorValues values{title, start_dir, mask, restricted, drives, false, false, file_name};
    TIconSelectorDialog dialog(store, fs, values, add_mode, std::move(adder));
    const bool ok = run(dialog, IDD_FILE_SELECTOR, owner);
    added += dialog.added();
    if (!ok) return false;
    start_dir = values.start_dir;
    file_name = values.file_name;
    return true;
}

bool select_directory(HWND owner, const std::string& title, std::string& directory, bool allow_create,
                      const dialogs::DriveTable& drives, const std::string& restricted) {
    shell::RegistrySettingsStore store;
    WinFileSystem fs;
    SelectorValues values{title, directory, {}, restricted, drives, false, false, {}};
    TDirSelectorDialog dialog(store, fs, values, allow_create);
    if (!run(dialog, IDD_DIR_SELECTOR, owner)) return false;
    directory = values.start_dir;
    return true;
}

}  // namespace vx::win
