#pragma once
// The page dialogs of modify mode. Each works on the values it is given and hands back new ones
// on OK, nothing on Cancel; the main window turns them into steps of the history.
// - TAddPageForm: "Add Page" (an empty title) and "Rename Page" (the current name).
// - TMoveForm: "Move Page", before or after one of the other pages.
// - TPageAtt: "Page Settings" (editor::PageSettingsValues).
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/location.h"
#include "editor/page_commands.h"
#include "editor/page_settings.h"
#include "iconlib/library.h"
#include "model/desktop.h"
#include "win/editor/helped_dialog.h"

namespace vx::win::editor {

inline constexpr int kPageTitleHelpContext = 301;
inline constexpr int kMovePageHelpContext = 322;
inline constexpr const char* kAddPageCaption = "Add Page";
inline constexpr const char* kRenamePageCaption = "Rename Page";
inline constexpr const char* kBackgroundImageTitle = "Select Background Image";
inline constexpr const char* kBackgroundImageMask = "*.BMP *.PCX *.JPG *.PNG *.ICO *.WMF *.TIF";

// The title typed; nothing on Cancel. OK stays unavailable while the box is empty: a page
// without a name would have no tab to click and no item in the page menus.
std::optional<std::string> show_page_title(HWND owner, const std::string& caption, const std::string& initial,
                                           HelpFn help);

struct MoveChoice {
    size_t target = 0;  // index into the names handed in
    vx::editor::PagePlace place = vx::editor::PagePlace::Before;
    bool operator==(const MoveChoice&) const = default;
};
// `names` are the pages offered (every page but "StartUp"), `current` the page being moved.
std::optional<MoveChoice> show_move_page(HWND owner, const std::vector<std::string>& names, size_t current,
                                         HelpFn help);

struct PageSettingsRequest {
    vx::editor::PageSettingsValues values;
    model::Palette palette = model::default_palette();  // the page's, for the colour palette
    int64_t display_colors = 0;                           // 0: the screen's
    std::string program_dir;                              // the icon library's folder
    // Where a typed image name is found (resolve_image_file); OK hands it back with the values.
    std::function<std::optional<std::string>(const std::string& typed)> find_image;
    // The image selector's start and the directory it last showed (the ImageDir setting).
    std::string image_dir;
    vx::dialogs::DriveTable drives{};
    std::string restricted;
    // The box "Show items from Master Page" acts at once, whatever OK or Cancel does later.
    std::function<void(bool show)> show_master_items;
    // The other holders of icon numbers (the desktop and its history), renumbered with the
    // dialog's tab icon when the library window moves or compacts entries; may be null.
    vx::iconlib::IconReferences* icon_references = nullptr;

    // The pickers; unset, the pop-up colour palette below the button, the image selector and the
    // icon library window. Tests replace them.
    std::function<std::optional<model::Color>(HWND owner, const RECT& button, model::Color current)> choose_color;
    std::function<bool(HWND owner, std::string& dir, std::string& file)> choose_image;
    std::function<bool(HWND owner, uint16_t& number)> choose_icon;
};

struct PageSettingsResult {
    vx::editor::PageSettingsValues values;
    std::optional<std::string> found_image;
    std::string image_dir;       // the directory the image selector last showed
    bool library_changed = false;  // the icon library window's OK ran: its frames read again
};
std::optional<PageSettingsResult> show_page_settings(HWND owner, PageSettingsRequest request);

}  // namespace vx::win::editor
