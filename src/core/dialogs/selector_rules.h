#pragma once
// The selectors' rules that need no window: the filter list, OK and Cancel by focus, the
// letter case of shown names and the icon selector's add mode.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vx {
class SettingsStore;
}

namespace vx::dialogs {

// At most this many "FileMask<n>" values are read, however many are stored.
inline constexpr int kMaxFileMasks = 1001;

// Entries as shown in the filter list: "Name|mask".
struct FilterEntry {
    std::string name;
    std::string mask;
    std::string text() const { return name + "|" + mask; }
};
FilterEntry parse_filter_entry(std::string_view text);

// The file (and image) selector's list: the default entry for `mask` ("*.*" when empty), the
// stored extra entries, and the fixed entries when nothing extra is stored.
std::vector<FilterEntry> file_filter_list(std::string_view mask, const std::vector<std::string>& extra);
// The icon selector's list: the default entry, then its fixed picture and icon entries.
std::vector<FilterEntry> icon_filter_list(std::string_view mask);

// Where the keyboard focus is when OK or Cancel arrives.
enum class Focus { kFileList, kFilterBox, kLocationBox, kFilterList, kOther };

enum class OkAction {
    kActivateItem,   // as a double-click on the file list: open the directory or choose the file
    kFocusFileList,  // leave the box (applying its text) for the file list
    kApplyFilter,    // apply the highlighted filter
    kCloseOk,
    kBeep,  // a file is required and none is named
};
OkAction ok_action(Focus focus, bool has_file_name, bool file_required);

enum class CancelAction { kFocusFilterBox, kCloseCancel };
CancelAction cancel_action(Focus focus);

// "TextCase": 0 names as stored, 1 names stored all in capitals shown with only their first
// letter capital (the rest as stored), 2 lower case, 3 upper case. Other values count as 1.
std::string apply_text_case(std::string_view name, int text_case);

// The add mode of the icon selector: for every chosen file with n >= 1 icons, `add` is called
// for icon indexes 0 .. n-1. Returns how many were added. Directories must not be passed.
int add_icons_of_files(const std::vector<std::string>& files,
                       const std::function<int(const std::string&)>& count,
                       const std::function<void(const std::string&, int)>& add);

// The text preview of a file's first bytes (ANSI, one byte a character): at most `max_bytes`
// are shown, lines end in CR LF, tabs are expanded to `tab_size` columns when asked, and other
// control characters (a binary file) show as '.' so the preview never misbehaves on them.
std::string preview_text(std::string_view bytes, bool expand_tabs, int tab_size,
                         size_t max_bytes = 64 * 1024);

// A file whose first bytes hold a NUL, or more than one control character in sixteen (beyond
// tabs, line ends and form feeds), is shown as bytes rather than text.
bool looks_binary(std::string_view bytes);
// The preview of such a file: offset, sixteen bytes in hex and as characters per line (CR LF
// between lines), at most `max_bytes` of them.
std::string hex_preview(std::string_view bytes, size_t max_bytes = 4096);

// Extensions (upper case, with the dot) the previews know.
bool is_picture_preview(std::string_view file_name);  // through the imaging layer
bool is_media_preview(std::string_view file_name);    // played, not drawn
bool is_icon_preview(std::string_view file_name);     // icon selector

enum class SelectorKind;
// How a selector of `kind` previews the file `file_name`.
enum class PreviewKind { kNone, kText, kPicture, kMedia, kIcons };
PreviewKind preview_kind(SelectorKind kind, std::string_view file_name);

}  // namespace vx::dialogs
