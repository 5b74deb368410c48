#include "win/dialogs/selector_dialogs.h"

#include <commctrl.h>

#include <mmsystem.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdlib>

#include "util/file_io.h"
#include "win/dialogs/selector_ids.h"
#include "win/dialogs/win_file_system.h"
#include "win/imaging/picture.h"
#include "win/shell/registry_settings.h"
#include "win/util/handle.h"
#include "win/util/text.h"
#include "win/util/trace.h"

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

std::string current_directory() {
    std::wstring buffer(MAX_PATH + 1, L'\0');
    const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0 || length >= buffer.size()) return {};
    buffer.resize(length);
    return narrow(buffer);
}

// A font of the stored name, size and style over `base`; empty when none of them is stored, so
// the control keeps the font it has.
unique_hfont stored_font(const dialogs::FontSettings& f, LOGFONTW base) {
    if (!f.name && !f.size && !f.style) return {};
    if (f.name) {
        const std::wstring face = widen(*f.name).substr(0, LF_FACESIZE - 1);
        std::fill(std::begin(base.lfFaceName), std::end(base.lfFaceName), L'\0');
        std::copy(face.begin(), face.end(), base.lfFaceName);
    }
    if (f.size) {
        const unique_window_dc screen = get_window_dc(nullptr);
        base.lfHeight = -MulDiv(*f.size, GetDeviceCaps(screen.get().dc, LOGPIXELSY), 72);
        base.lfWidth = 0;
    }
    base.lfWeight = (f.style & 1) ? FW_BOLD : FW_NORMAL;
    base.lfItalic = (f.style & 2) != 0;
    base.lfUnderline = (f.style & 4) != 0;
    base.lfStrikeOut = (f.style & 8) != 0;
    return unique_hfont(CreateFontIndirectW(&base));
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
                    {settings_.show_system_files, settings_.show_file_details, settings_.text_case,
                     settings_.generic_icon, settings_.detail_width});
    apply_view_settings();
    on_settings_loaded();
    browser_.fill_drives();
    if (const auto start = dialogs::start_directory(values_.start_dir, current_directory(), rules_, fs_))
        show_directory(*start);
    return true;
}

void BrowserDialog::apply_view_settings() {
    LOGFONTW base{};
    const auto dialog_font = reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0));
    if (!dialog_font || !GetObjectW(dialog_font, sizeof base, &base))
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof base, &base);
    browser_font_ = stored_font(settings_.font, base);
    if (browser_font_) {
        for (int id : {IDC_TREE_DIRS, IDC_LIST_FILES})
            if (const HWND control = item(id))
                SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(browser_font_.get()), TRUE);
    }
    // Selecting a directory opens its branch and closes the one left.
    if (settings_.sel_tree_view) {
        const HWND tree = item(IDC_TREE_DIRS);
        SetWindowLongPtrW(tree, GWL_STYLE, GetWindowLongPtrW(tree, GWL_STYLE) | TVS_SINGLEEXPAND);
    }
}

LRESULT BrowserDialog::custom_draw(const NMHDR& header) {
    const auto& font = settings_.font;
    if (!font.normal_text && !font.selected_text) return CDRF_DODEFAULT;
    auto& draw = *reinterpret_cast<NMCUSTOMDRAW*>(const_cast<NMHDR*>(&header));
    if (draw.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (!(draw.dwDrawStage & CDDS_ITEMPREPAINT)) return CDRF_DODEFAULT;
    const bool list = header.idFrom == IDC_LIST_FILES;
    COLORREF& text = list ? reinterpret_cast<NMLVCUSTOMDRAW&>(draw).clrText
                          : reinterpret_cast<NMTVCUSTOMDRAW&>(draw).clrText;
    COLORREF& back = list ? reinterpret_cast<NMLVCUSTOMDRAW&>(draw).clrTextBk
                          : reinterpret_cast<NMTVCUSTOMDRAW&>(draw).clrTextBk;
    const bool selected =
        list ? ListView_GetItemState(header.hwndFrom, static_cast<int>(draw.dwItemSpec), LVIS_SELECTED) != 0
             : (TreeView_GetItemState(header.hwndFrom, reinterpret_cast<HTREEITEM>(draw.dwItemSpec),
                                      TVIS_SELECTED) &
                TVIS_SELECTED) != 0;
    if (selected && font.selected_text) {
        text = *font.selected_text;
        back = GetSysColor(COLOR_HIGHLIGHT);
        // The list would put its own highlight colours over these for an item marked selected.
        draw.uItemState &= ~static_cast<UINT>(CDIS_SELECTED);
    } else if (!selected && font.normal_text) {
        text = *font.normal_text;
    }
    // The list's other columns are painted apart, and take the same colours.
    return list && !(draw.dwDrawStage & CDDS_SUBITEM) ? CDRF_NOTIFYSUBITEMDRAW : CDRF_DODEFAULT;
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
    if (browser_.name_width_changed()) settings_.detail_width = browser_.name_width();
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
            if (header->code == NM_CUSTOMDRAW &&
                (header->idFrom == IDC_TREE_DIRS || header->idFrom == IDC_LIST_FILES)) {
                SetWindowLongPtrW(hwnd(), DWLP_MSGRESULT, custom_draw(*header));
                return TRUE;
            }
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

namespace {

constexpr int kSplitterGap = 5;
constexpr int kSplitMinimum = 40;
constexpr int kIconCell = 40;
constexpr const wchar_t* kMediaAlias = L"vxpreview";
constexpr UINT kMaxPreviewIcons = 64;

RECT child_rect(HWND dialog, HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void place(HWND control, const RECT& r) {
    SetWindowPos(control, nullptr, r.left, r.top, std::max(0L, r.right - r.left),
                 std::max(0L, r.bottom - r.top), SWP_NOZORDER | SWP_NOACTIVATE);
}

bool mci(const std::wstring& command) {
    return mciSendStringW(command.c_str(), nullptr, 0, nullptr) == 0;
}

bool has_extension(const std::string& path, std::initializer_list<const char*> extensions) {
    const size_t dot = path.find_last_of(".\\");
    if (dot == std::string::npos || path[dot] != '.') return false;
    std::string ext = path.substr(dot);
    for (char& c : ext)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    for (const char* e : extensions)
        if (ext == e) return true;
    return false;
}

std::string file_part(const std::string& path) {
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

FileSelectorBase::~FileSelectorBase() {
    close_media();
}

bool FileSelectorBase::on_init() {
    RECT client{};
    GetClientRect(hwnd(), &client);
    base_ = {client.right, client.bottom};
    const RECT tree = child_rect(hwnd(), item(IDC_TREE_DIRS));
    const RECT list = child_rect(hwnd(), item(IDC_LIST_FILES));
    base_body_ = {tree.left, tree.top, list.right, list.bottom};
    base_location_ = child_rect(hwnd(), item(IDC_EDIT_LOCATION));
    for (int id : {IDC_STATIC_FILTER, IDC_EDIT_FILTER, IDC_LIST_FILTER, IDOK, IDCANCEL, IDC_BUTTON_HELP,
                   IDC_CHECK_PREVIEW})
        base_bottom_.push_back({id, child_rect(hwnd(), item(id))});
    return BrowserDialog::on_init();
}

void FileSelectorBase::on_settings_loaded() {
    filter_list_ = filters();
    for (const auto& entry : filter_list_)
        SendMessageW(item(IDC_LIST_FILTER), LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(widen(entry.text()).c_str()));
    SendMessageW(item(IDC_LIST_FILTER), LB_SETCURSEL, 0, 0);
    browser_.set_mask(filter_list_.front().mask);
    set_item_text(IDC_EDIT_FILTER, filter_list_.front().mask);
    // A proposed name (the F macro's, "UNTITLED.PAL" for a palette being saved) waits in the
    // file name box, where OK takes it, while the list keeps showing the files of the mask.
    if (const std::string proposed = file_part(values_.file_name);
        !proposed.empty() && !has_wildcard(proposed))
        set_item_text(IDC_EDIT_FILTER, proposed);
    if (kind_ == dialogs::SelectorKind::kFile) {
        auto loaded = dialogs::load_viewer_settings(store_);
        viewer_ = std::move(loaded.value);
        for (const auto& error : loaded.errors) message_box(hwnd(), error, "Error", MB_OK | MB_ICONERROR);
    }
    make_viewer_font();
    CheckDlgButton(hwnd(), IDC_CHECK_PREVIEW, settings_.preview ? BST_CHECKED : BST_UNCHECKED);
    laid_out_ = true;
    layout();
    update_preview();
}

void FileSelectorBase::make_viewer_font() {
    // Over a fixed face of 10 points, which a stored name or size replaces.
    LOGFONTW base{};
    {
        const unique_window_dc screen = get_window_dc(nullptr);
        base.lfHeight = -MulDiv(10, GetDeviceCaps(screen.get().dc, LOGPIXELSY), 72);
    }
    base.lfCharSet = DEFAULT_CHARSET;
    base.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    std::copy_n(L"Courier New", 12, base.lfFaceName);
    viewer_font_ = stored_font(viewer_.font, base);
    const HGDIOBJ font =
        viewer_font_ ? static_cast<HGDIOBJ>(viewer_font_.get()) : GetStockObject(ANSI_FIXED_FONT);
    SendMessageW(item(IDC_EDIT_PREVIEW), WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
}

void FileSelectorBase::layout() {
    if (!laid_out_ || base_.cx == 0) return;
    RECT client{};
    GetClientRect(hwnd(), &client);
    const LONG dw = client.right - base_.cx, dh = client.bottom - base_.cy;
    place(item(IDC_EDIT_LOCATION),
          {base_location_.left, base_location_.top, base_location_.right + dw, base_location_.bottom});
    for (const auto& [id, r] : base_bottom_) place(item(id), {r.left, r.top + dh, r.right, r.bottom + dh});
    body_ = {base_body_.left, base_body_.top, base_body_.right + dw, base_body_.bottom + dh};

    // The tree gets the stored extent, as far as the window leaves room for the list beside it.
    // It starts the body, or ends it when the list comes first ("InvertFileList").
    const bool horizontal = settings_.split_horizontal;
    const LONG extent = horizontal ? body_.bottom - body_.top : body_.right - body_.left;
    const LONG most = std::max<LONG>(kSplitMinimum, extent - kSplitterGap - kSplitMinimum);
    const LONG pos = std::clamp<LONG>(settings_.split_pos, kSplitMinimum, most);
    const LONG start = horizontal ? body_.top : body_.left;
    const LONG end = horizontal ? body_.bottom : body_.right;
    const LONG bar = settings_.invert_list ? end - pos - kSplitterGap : start + pos;
    const auto span = [&](LONG from, LONG to) {
        return horizontal ? RECT{body_.left, from, body_.right, to} : RECT{from, body_.top, to, body_.bottom};
    };
    splitter_ = span(bar, bar + kSplitterGap);
    const RECT tree = settings_.invert_list ? span(bar + kSplitterGap, end) : span(start, bar);
    const RECT rest = settings_.invert_list ? span(start, bar) : span(bar + kSplitterGap, end);
    place(item(IDC_TREE_DIRS), tree);
    RECT list = rest, preview = rest;
    if (settings_.preview) {
        list.right = rest.left + (rest.right - rest.left) * 55 / 100;
        preview.left = list.right + kSplitterGap;
    }
    place(item(IDC_LIST_FILES), list);
    place(item(IDC_EDIT_PREVIEW), preview);
    place(item(IDC_STATIC_MEDIA), {preview.left, preview.top, preview.right, preview.top + 20});
    const RECT button = child_rect(hwnd(), item(IDC_BUTTON_PLAY));
    const RECT play{preview.left, preview.top + 24, preview.left + (button.right - button.left),
                    preview.top + 24 + (button.bottom - button.top)};
    place(item(IDC_BUTTON_PLAY), play);
    // A film plays in the picture's place, below its name and the button.
    RECT picture = preview;
    if (preview_kind_ == dialogs::PreviewKind::kMedia) picture.top = play.bottom + 4;
    place(item(IDC_PREVIEW_PICTURE), picture);
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void FileSelectorBase::close_media() {
    if (!media_open_) return;
    mci(std::wstring(L"close ") + kMediaAlias);
    media_open_ = media_playing_ = false;
}

void FileSelectorBase::clear_preview() {
    close_media();
    picture_.reset();
    icons_.clear();
    preview_kind_ = dialogs::PreviewKind::kNone;
    set_item_text(IDC_EDIT_PREVIEW, "");
    set_item_text(IDC_STATIC_MEDIA, "");
    for (int id : {IDC_PREVIEW_PICTURE, IDC_STATIC_MEDIA, IDC_BUTTON_PLAY}) ShowWindow(item(id), SW_HIDE);
    // With nothing to show, the empty text box still marks where previews appear.
    ShowWindow(item(IDC_EDIT_PREVIEW), settings_.preview ? SW_SHOW : SW_HIDE);
}

void FileSelectorBase::update_preview() {
    const bool was_media = preview_kind_ == dialogs::PreviewKind::kMedia;
    clear_preview();
    const auto* entry = browser_.entry(ListView_GetNextItem(item(IDC_LIST_FILES), -1, LVNI_SELECTED));
    if (!settings_.preview || !entry || entry->directory) {
        if (was_media) layout();
        return;
    }
    const std::string path = join(browser_.current(), entry->name);
    preview_kind_ = dialogs::preview_kind(kind_, entry->name);
    if (was_media != (preview_kind_ == dialogs::PreviewKind::kMedia)) layout();
    switch (preview_kind_) {
        case dialogs::PreviewKind::kText:
            show_text_preview(path);
            break;
        case dialogs::PreviewKind::kPicture:
            show_picture_preview(path);
            break;
        case dialogs::PreviewKind::kMedia:
            show_media_preview(path);
            break;
        case dialogs::PreviewKind::kIcons:
            show_icon_preview(path);
            break;
        case dialogs::PreviewKind::kNone:
            break;
    }
}

void FileSelectorBase::show_text_preview(const std::string& path) {
    std::string text;
    if (const unique_hfile file(CreateFileW(widen(path).c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                            nullptr));
        file) {
        // Only the start of the file: a preview must not wait for a large file to be read.
        std::string bytes(64 * 1024, '\0');
        DWORD got = 0;
        if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr)) got = 0;
        bytes.resize(got);
        text = dialogs::looks_binary(bytes)
                   ? dialogs::hex_preview(bytes)
                   : ansi_to_utf8(dialogs::preview_text(bytes, viewer_.expand_tabs, viewer_.tab_size));
    }
    set_item_text(IDC_EDIT_PREVIEW, text);
    ShowWindow(item(IDC_EDIT_PREVIEW), SW_SHOW);
}

void FileSelectorBase::show_picture_preview(const std::string& path) {
    ShowWindow(item(IDC_EDIT_PREVIEW), SW_HIDE);
    std::string error;
    picture_ = imaging::load_picture(path, &error);
    if (!picture_) {
        set_item_text(IDC_STATIC_MEDIA, file_part(path) + ": " + (error.empty() ? "no preview" : error));
        ShowWindow(item(IDC_STATIC_MEDIA), SW_SHOW);
        return;
    }
    ShowWindow(item(IDC_PREVIEW_PICTURE), SW_SHOW);
    InvalidateRect(item(IDC_PREVIEW_PICTURE), nullptr, TRUE);
}

void FileSelectorBase::show_media_preview(const std::string& path) {
    ShowWindow(item(IDC_EDIT_PREVIEW), SW_HIDE);
    // A machine without a device for the file (or one where MCI fails) still names the file.
    std::wstring open = L"open \"" + widen(path) + L"\" alias " + kMediaAlias;
    media_open_ = mci(open);
    if (media_open_ && has_extension(path, {".AVI", ".MOV"}) &&
        mci(std::wstring(L"window ") + kMediaAlias + L" handle " +
            std::to_wstring(reinterpret_cast<UINT_PTR>(item(IDC_PREVIEW_PICTURE)))))
        ShowWindow(item(IDC_PREVIEW_PICTURE), SW_SHOW);
    set_item_text(IDC_STATIC_MEDIA,
                  media_open_ ? file_part(path) : file_part(path) + ": cannot be played here");
    set_item_text(IDC_BUTTON_PLAY, "&Play");
    EnableWindow(item(IDC_BUTTON_PLAY), media_open_);
    ShowWindow(item(IDC_STATIC_MEDIA), SW_SHOW);
    ShowWindow(item(IDC_BUTTON_PLAY), SW_SHOW);
}

void FileSelectorBase::toggle_media() {
    if (!media_open_) return;
    if (media_playing_) {
        mci(std::wstring(L"stop ") + kMediaAlias);
        mci(std::wstring(L"seek ") + kMediaAlias + L" to start");
        media_playing_ = false;
    } else {
        // Played with notification, so the button turns back when the piece ends.
        media_playing_ = mciSendStringW((std::wstring(L"play ") + kMediaAlias + L" from 0 notify").c_str(),
                                        nullptr, 0, hwnd()) == 0;
    }
    set_item_text(IDC_BUTTON_PLAY, media_playing_ ? "&Stop" : "&Play");
}

void FileSelectorBase::show_icon_preview(const std::string& path) {
    ShowWindow(item(IDC_EDIT_PREVIEW), SW_HIDE);
    const std::wstring wide = widen(path);
    if (has_extension(path, {".ANI", ".CUR"})) {
        if (HICON cursor = static_cast<HICON>(
                LoadImageW(nullptr, wide.c_str(), IMAGE_CURSOR, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE)))
            icons_.emplace_back(cursor);
    } else {
        const UINT count = ExtractIconExW(wide.c_str(), -1, nullptr, nullptr, 0);
        std::vector<HICON> large(std::min(count, kMaxPreviewIcons), nullptr);
        const UINT got = large.empty() ? 0
                                       : ExtractIconExW(wide.c_str(), 0, large.data(), nullptr,
                                                        static_cast<UINT>(large.size()));
        for (UINT i = 0; i < got && i < large.size(); ++i)
            if (large[i]) icons_.emplace_back(large[i]);
    }
    if (icons_.empty()) {
        set_item_text(IDC_STATIC_MEDIA, file_part(path) + ": no icons");
        ShowWindow(item(IDC_STATIC_MEDIA), SW_SHOW);
        return;
    }
    ShowWindow(item(IDC_PREVIEW_PICTURE), SW_SHOW);
    InvalidateRect(item(IDC_PREVIEW_PICTURE), nullptr, TRUE);
}

void FileSelectorBase::draw_preview(const DRAWITEMSTRUCT& draw) const {
    const RECT& box = draw.rcItem;
    FillRect(draw.hDC, &box, GetSysColorBrush(COLOR_WINDOW));
    if (picture_) {
        BITMAP info{};
        if (!GetObjectW(picture_.get(), sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight == 0)
            return;
        const LONG w = info.bmWidth, h = std::abs(info.bmHeight);
        const LONG room_w = box.right - box.left, room_h = box.bottom - box.top;
        // Shrunk to fit with its proportions kept; never enlarged past its own size.
        double scale =
            std::min(1.0, std::min(static_cast<double>(room_w) / w, static_cast<double>(room_h) / h));
        const int sw = std::max(1, static_cast<int>(w * scale)),
                  sh = std::max(1, static_cast<int>(h * scale));
        const int x = box.left + (room_w - sw) / 2, y = box.top + (room_h - sh) / 2;
        const unique_memory_dc memory(CreateCompatibleDC(draw.hDC));
        const scoped_select picture(memory.get(), picture_.get());
        SetStretchBltMode(draw.hDC, HALFTONE);
        SetBrushOrgEx(draw.hDC, 0, 0, nullptr);
        StretchBlt(draw.hDC, x, y, sw, sh, memory.get(), 0, 0, w, h, SRCCOPY);
        return;
    }
    const int per_row = std::max<int>(1, (box.right - box.left) / kIconCell);
    for (size_t i = 0; i < icons_.size(); ++i) {
        const int x = box.left + static_cast<int>(i % static_cast<size_t>(per_row)) * kIconCell + 4;
        const int y = box.top + static_cast<int>(i / static_cast<size_t>(per_row)) * kIconCell + 4;
        DrawIconEx(draw.hDC, x, y, icons_[i].get(), 32, 32, 0, nullptr, DI_NORMAL);
    }
}

bool FileSelectorBase::on_splitter_mouse(UINT message, POINT at) {
    const bool horizontal = settings_.split_horizontal;
    const LONG along = horizontal ? at.y : at.x;
    const LONG bar_start = horizontal ? splitter_.top : splitter_.left;
    // The tree's extent with the splitter's leading edge at `edge`, from the tree's own side.
    const auto extent_at = [&](LONG edge) {
        return static_cast<int>(settings_.invert_list
                                    ? (horizontal ? body_.bottom : body_.right) - edge - kSplitterGap
                                    : edge - (horizontal ? body_.top : body_.left));
    };
    switch (message) {
        case WM_LBUTTONDOWN: {
            if (!PtInRect(&splitter_, at)) return false;
            const DWORD now = GetTickCount();
            if (last_press_ && now - last_press_ <= GetDoubleClickTime()) {
                // Two presses in a row turn the splitter: tree beside the list or above it.
                last_press_ = 0;
                settings_.split_horizontal = !settings_.split_horizontal;
                layout();
                return true;
            }
            last_press_ = now;
            dragging_ = true;
            drag_grab_ = static_cast<int>(along - bar_start);
            SetCapture(hwnd());
            return true;
        }
        case WM_MOUSEMOVE:
            if (!dragging_) return false;
            last_press_ = 0;  // a drag, not the first press of two
            settings_.split_pos = std::max(kSplitMinimum, extent_at(along - drag_grab_));
            layout();
            // What the window could show is what is kept.
            settings_.split_pos = extent_at(horizontal ? splitter_.top : splitter_.left);
            return true;
        case WM_LBUTTONUP:
            if (!dragging_) return false;
            dragging_ = false;
            ReleaseCapture();
            return true;
        default:
            return false;
    }
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
    if (location.status == dialogs::Location::Status::kMissing && values_.new_file) {
        // Only the name itself may be new: its directory exists and may be reached.
        std::string dir = vx::dir_of(location.directory);
        if (dir.size() == 2 && dir[1] == ':') dir += '\\';
        if (rules_.allows(dir) && fs_.kind(dir) == dialogs::FileSystem::Kind::kDirectory)
            return location.directory;
        return {};
    }
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
        layout();
        update_preview();
        return true;
    }
    if (id == IDC_BUTTON_PLAY && code == BN_CLICKED) {
        toggle_media();
        return true;
    }
    if (id == IDC_LIST_FILTER && code == LBN_DBLCLK) {
        apply_filter_list();
        return true;
    }
    return BrowserDialog::on_command(id, code, control);
}

INT_PTR FileSelectorBase::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_SIZE:
            if (wparam != SIZE_MINIMIZED) layout();
            return FALSE;
        case WM_DRAWITEM: {
            const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
            if (draw->CtlID != IDC_PREVIEW_PICTURE) break;
            draw_preview(*draw);
            return TRUE;
        }
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lparam) == item(IDC_EDIT_PREVIEW) && viewer_.font.normal_text) {
                const HDC dc = reinterpret_cast<HDC>(wparam);
                SetTextColor(dc, *viewer_.font.normal_text);
                SetBkColor(dc, GetSysColor(COLOR_WINDOW));
                return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
            }
            break;
        case MM_MCINOTIFY:
            if (media_playing_) {
                media_playing_ = false;
                set_item_text(IDC_BUTTON_PLAY, "&Play");
            }
            return TRUE;
        case WM_SETCURSOR: {
            POINT at{};
            GetCursorPos(&at);
            ScreenToClient(hwnd(), &at);
            if (reinterpret_cast<HWND>(wparam) != hwnd() || !PtInRect(&splitter_, at)) break;
            SetCursor(LoadCursorW(nullptr, settings_.split_horizontal ? IDC_SIZENS : IDC_SIZEWE));
            SetWindowLongPtrW(hwnd(), DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP: {
            const POINT at{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
            // The dialog class counts double clicks: the second press of a real double click comes
            // as WM_LBUTTONDBLCLK, and it is the press that turns the splitter.
            if (on_splitter_mouse(message == WM_LBUTTONDBLCLK ? WM_LBUTTONDOWN : message, at)) return TRUE;
            break;
        }
        case WM_CAPTURECHANGED:
            dragging_ = false;
            break;
        case WM_DESTROY:
            close_media();
            break;
        default:
            break;
    }
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
    return FileSelectorBase::on_init();
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
            if (error != ERROR_ALREADY_EXISTS) return last_error_text(error);
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

bool select_new_file(HWND owner, const std::string& title, std::string& start_dir, const std::string& mask,
                     const std::string& restricted, const dialogs::DriveTable& drives,
                     std::string& file_name) {
    shell::RegistrySettingsStore store;
    WinFileSystem fs;
    SelectorValues values{title, start_dir, mask, restricted, drives, true, false, file_name, true};
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
