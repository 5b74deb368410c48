#pragma once
// The selectors' layout and view options as kept in the settings store (one key per user; the
// sections here are below it). Read when a selector opens, written when it is destroyed. A
// store failure never stops a selector: the message is collected for the caller to show and
// the designed default stands.
#include <optional>
#include <string>
#include <vector>

#include "port/settings_store.h"

namespace vx::dialogs {

inline constexpr const char* kFileBrowserSection = "File Browser";
inline constexpr const char* kDirBrowserSection = "Dir Browser";
inline constexpr const char* kFileViewerSection = "File Viewer";

enum class SelectorKind { kFile, kImage, kIcon, kDirectory };

struct WindowPos {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const WindowPos&) const = default;
};
// "left,top,width,height"; nullopt for anything else (or a size that is not positive).
std::optional<WindowPos> parse_window_pos(const std::string& text);
std::string format_window_pos(const WindowPos& pos);

struct FontSettings {
    std::optional<std::string> name;  // absent: the dialog's own font
    std::optional<int> size;
    int style = 0;                          // bits: 1 bold, 2 italic, 4 underline, 8 strike-out
    std::optional<unsigned> normal_text;    // COLORREF; absent: system colour
    std::optional<unsigned> selected_text;  // COLORREF; absent: system colour
};

struct BrowserSettings {
    std::optional<WindowPos> window_pos;
    int detail_width = 0;  // 0: the control's own width
    bool sel_tree_view = false;
    bool generic_icon = false;
    bool show_file_details = false;
    bool invert_list = false;  // "InvertFileList" or, for the image selector, "InvertTreeFileList1"
    bool preview = false;
    bool split_horizontal = false;  // "SplitDir": "Horz" or "Vert"
    int split_pos = 250;
    bool show_system_files = false;
    FontSettings font;
    std::vector<std::string> file_masks;  // "FileMask0", "FileMask1", ... until one is missing
    int text_case = 1;                    // "TextCase" of the program's own section, 0..3
};

struct ViewerSettings {
    FontSettings font;
    bool expand_tabs = true;
    int tab_size = 8;
};

template <class T>
struct Loaded {
    T value;
    std::vector<std::string> errors;  // store failures, for the standard exception box
};

Loaded<BrowserSettings> load_browser_settings(SettingsStore& store, SelectorKind kind);
// Returns the store failures; a failed value does not stop the others being written.
std::vector<std::string> save_browser_settings(SettingsStore& store, SelectorKind kind,
                                               const BrowserSettings& settings);
Loaded<ViewerSettings> load_viewer_settings(SettingsStore& store);

}  // namespace vx::dialogs
