#include "win/dialogs/file_browser.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlwapi.h>

#include "dialogs/selector_rules.h"
#include "security/admin_data.h"
#include "win/util/text.h"

namespace vx::win {
namespace {

std::string join(const std::string& dir, const std::string& name) {
    return dir.ends_with('\\') ? dir + name : dir + "\\" + name;
}

std::string size_text(const WIN32_FIND_DATAW& data) {
    const unsigned long long size =
        (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return std::to_string((size + 1023) / 1024) + " KB";
}

// The system's small icon for a path, or for a kind of entry when `generic`; -1 when none.
int system_icon(const std::wstring& path, DWORD attributes, bool generic) {
    SHFILEINFOW info{};
    UINT flags = SHGFI_SYSICONINDEX | SHGFI_SMALLICON;
    if (generic) flags |= SHGFI_USEFILEATTRIBUTES;
    if (!SHGetFileInfoW(path.c_str(), generic ? attributes : 0, &info, sizeof info, flags)) return -1;
    return info.iIcon;
}

std::string time_text(const WIN32_FIND_DATAW& data) {
    FILETIME local{};
    SYSTEMTIME st{};
    if (!FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) || !FileTimeToSystemTime(&local, &st))
        return {};
    wchar_t date[64] = {};
    wchar_t time[64] = {};
    GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, 64);
    GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, time, 64);
    return narrow(std::wstring(date) + L" " + time);
}

}  // namespace

void FileBrowser::attach(HWND tree, HWND list, const dialogs::Restrictions* rules, dialogs::FileSystem* fs,
                         Options options) {
    tree_ = tree;
    list_ = list;
    rules_ = rules;
    fs_ = fs;
    options_ = options;
    if (!list_) return;
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT);
    // The system's own list, shared: the list view must not destroy it (LVS_SHAREIMAGELISTS).
    SHFILEINFOW info{};
    const auto images = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoW(L"folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                       SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES));
    if (images) ListView_SetImageList(list_, images, LVSIL_SMALL);
    generic_folder_icon_ = system_icon(L"folder", FILE_ATTRIBUTE_DIRECTORY, true);
    generic_file_icon_ = system_icon(L"file", FILE_ATTRIBUTE_NORMAL, true);
    const wchar_t* titles[] = {L"Name", L"Size", L"Modified"};
    given_name_width_ = options_.name_width > 0 ? options_.name_width : 180;
    const int widths[] = {given_name_width_, 70, 120};
    const int columns = options_.show_details ? 3 : 1;
    for (int i = 0; i < columns; ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<wchar_t*>(titles[i]);
        column.cx = widths[i];
        column.iSubItem = i;
        ListView_InsertColumn(list_, i, &column);
    }
}

HTREEITEM FileBrowser::add_node(HTREEITEM parent, const std::string& path, const std::string& label) {
    nodes_.push_back({path, false});
    const std::wstring text = widen(label);
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN;
    insert.item.pszText = const_cast<wchar_t*>(text.c_str());
    insert.item.lParam = static_cast<LPARAM>(nodes_.size() - 1);
    insert.item.cChildren = 1;  // known only when expanded
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(tree_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

void FileBrowser::fill_drives() {
    TreeView_DeleteAllItems(tree_);
    nodes_.clear();
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (!rules_->drive_offered(letter) || !fs_->is_drive(letter)) continue;
        const std::string root{letter, ':', '\\'};
        // A substituted drive is the folder it stands for.
        if (!rules_->allows(root) || !leads_somewhere_allowed(root)) continue;
        add_node(TVI_ROOT, root, std::string{letter, ':'});
    }
}

std::vector<WIN32_FIND_DATAW> FileBrowser::read_dir(const std::string& directory) const {
    std::vector<WIN32_FIND_DATAW> out;
    // Where the folder really lies (another drive letter, a mounted volume) its entries are
    // judged there too; where the system cannot say, each directory is judged by its own end.
    const auto real = fs_->real_path(directory);
    const auto real_dir = real ? dialogs::canonical_path(*real) : std::nullopt;
    WIN32_FIND_DATAW data{};
    const HANDLE find = FindFirstFileW(widen(join(directory, "*")).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return out;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        if (!options_.show_system_files &&
            (data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
            continue;
        const std::string path = join(directory, narrow(name));
        const bool is_dir = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (is_dir && (real_dir ? !rules_->allows_entry(directory, *real_dir, narrow(name))
                                : !rules_->allows(path) || !leads_somewhere_allowed(path)))
            continue;
        // A link or junction is judged by where it leads.
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && !leads_somewhere_allowed(path))
            continue;
        out.push_back(data);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return out;
}

void FileBrowser::populate(HTREEITEM item) {
    TVITEMW tv{};
    tv.mask = TVIF_PARAM;
    tv.hItem = item;
    if (!TreeView_GetItem(tree_, &tv)) return;
    const size_t index = static_cast<size_t>(tv.lParam);
    if (index >= nodes_.size() || nodes_[index].populated) return;
    nodes_[index].populated = true;
    const std::string path = nodes_[index].path;
    bool any = false;
    for (const auto& data : read_dir(path)) {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        const std::string name = narrow(data.cFileName);
        add_node(item, join(path, name), dialogs::apply_text_case(name, options_.text_case));
        any = true;
    }
    if (!any) {
        tv.mask = TVIF_CHILDREN;
        tv.cChildren = 0;
        TreeView_SetItem(tree_, &tv);
    }
}

std::string FileBrowser::path_of(HTREEITEM item) const {
    TVITEMW tv{};
    tv.mask = TVIF_PARAM;
    tv.hItem = item;
    if (!item || !TreeView_GetItem(tree_, &tv)) return {};
    const size_t index = static_cast<size_t>(tv.lParam);
    return index < nodes_.size() ? nodes_[index].path : std::string{};
}

bool FileBrowser::leads_somewhere_allowed(const std::string& path) const {
    const auto real = fs_->real_path(path);
    const auto canonical = real ? dialogs::canonical_path(*real) : std::nullopt;
    return canonical && rules_->allows(*canonical);
}

bool FileBrowser::go_to(const std::string& directory) {
    if (!rules_->allows(directory) || fs_->kind(directory) != dialogs::FileSystem::Kind::kDirectory ||
        !leads_somewhere_allowed(directory))
        return false;
    const std::string wanted = security::ansi_upper(directory);
    HTREEITEM item = TreeView_GetRoot(tree_);
    HTREEITEM found = nullptr;
    while (item) {
        const std::string path = security::ansi_upper(path_of(item));
        const bool same = path == wanted;
        const bool ancestor =
            wanted.starts_with(path) && (path.ends_with('\\') || wanted[path.size()] == '\\');
        if (same) {
            found = item;
            break;
        }
        if (ancestor) {
            populate(item);
            TreeView_Expand(tree_, item, TVE_EXPAND);
            item = TreeView_GetChild(tree_, item);
        } else {
            item = TreeView_GetNextSibling(tree_, item);
        }
    }
    if (!found) return false;  // hidden (system) directories are not shown, so not entered either
    current_ = path_of(found);
    TreeView_SelectItem(tree_, found);
    TreeView_EnsureVisible(tree_, found);
    refresh_list();
    return true;
}

bool FileBrowser::matches(const std::wstring& name) const {
    const std::wstring masks = widen(mask_);
    size_t pos = 0;
    bool any_mask = false;
    while (pos < masks.size()) {
        size_t end = masks.find_first_of(L" ;", pos);
        if (end == std::wstring::npos) end = masks.size();
        const std::wstring one = masks.substr(pos, end - pos);
        pos = end + 1;
        if (one.empty()) continue;
        any_mask = true;
        if (PathMatchSpecW(name.c_str(), one.c_str())) return true;
    }
    return !any_mask;
}

void FileBrowser::refresh_list() {
    if (!list_) return;
    ListView_DeleteAllItems(list_);
    entries_.clear();
    if (current_.empty()) return;
    auto found = read_dir(current_);
    std::vector<WIN32_FIND_DATAW> shown;
    for (bool dirs : {true, false})
        for (const auto& data : found) {
            const bool is_dir = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            if (is_dir != dirs || (!is_dir && !matches(data.cFileName))) continue;
            shown.push_back(data);
        }
    for (const auto& data : shown) {
        const bool is_dir = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const std::string name = narrow(data.cFileName);
        entries_.push_back({name, is_dir});
        const std::wstring label = widen(
            (is_dir ? "[" : "") + dialogs::apply_text_case(name, options_.text_case) + (is_dir ? "]" : ""));
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
        item.iItem = static_cast<int>(entries_.size() - 1);
        item.pszText = const_cast<wchar_t*>(label.c_str());
        item.lParam = static_cast<LPARAM>(entries_.size() - 1);
        item.iImage = icon_of(join(current_, name), is_dir);
        const int at =
            static_cast<int>(SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        if (!options_.show_details || is_dir) continue;
        const std::wstring size = widen(size_text(data));
        const std::wstring when = widen(time_text(data));
        ListView_SetItemText(list_, at, 1, const_cast<wchar_t*>(size.c_str()));
        ListView_SetItemText(list_, at, 2, const_cast<wchar_t*>(when.c_str()));
    }
}

int FileBrowser::icon_of(const std::string& path, bool directory) const {
    if (options_.generic_icon) return directory ? generic_folder_icon_ : generic_file_icon_;
    return system_icon(widen(path), 0, false);
}

int FileBrowser::name_width() const {
    return list_ ? ListView_GetColumnWidth(list_, 0) : 0;
}

const FileBrowser::ListEntry* FileBrowser::entry(int index) const {
    if (index < 0) return nullptr;
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (!SendMessageW(list_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
    const auto at = static_cast<size_t>(item.lParam);
    return at < entries_.size() ? &entries_[at] : nullptr;
}

int FileBrowser::find_entry(const std::string& name) const {
    for (size_t i = 0; i < entries_.size(); ++i)
        if (security::same_without_case(entries_[i].name, name)) return static_cast<int>(i);
    return -1;
}

}  // namespace vx::win
