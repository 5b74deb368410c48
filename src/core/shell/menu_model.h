#pragma once
// The main menu of run mode as data: captions, commands, separators and which of them the
// administration file lets the user see. The window builds its HMENU from this.
#include <string>
#include <vector>

#include "model/desktop.h"
#include "security/login.h"

namespace vx::shell {

// Commands of the main window. Later subsystems handle the ones the shell does not yet.
enum class MenuCommand {
    None,
    NewDesktop,
    OpenDesktop,
    Setup,  // modify mode
    Run,
    Exit,
    GotoPage,  // `page_index` says which tab
    MinimizeOnRun,
    ConfirmExecution,
    DesktopSetup,
    ViewUsageLog,
    HelpContents,
    About,
    // Modify mode.
    ExitSetup,
    SetupWizard,
    Undo,
    Redo,
    Cut,
    Copy,
    Paste,
    Duplicate,
    Delete,
    SelectAll,
    EditObject,
    CopyStyle,
    PasteStyle,
    BringToFront,
    SendToBack,
    Group,
    Ungroup,
    AlignIcons,
    SetGrid,
    ShowGrid,
    SnapToGrid,
    ShowMousePosition,
    ShowAlignmentTools,
    AddPage,
    DeletePage,
    RenamePage,
    CopyPage,
    MovePage,
    PageSettings,
    ShowMasterItems,
    SetPalette,
    PagePassword,
};

struct MenuEntry {
    std::string caption;  // empty for a separator
    MenuCommand command = MenuCommand::None;
    bool visible = true;
    bool checked = false;
    bool new_column = false;
    bool enabled = true;
    int page_index = -1;
    std::vector<MenuEntry> items;  // a submenu when not empty

    bool separator() const { return caption.empty(); }
};

struct MenuState {
    // Visibility from the administration file; nullopt before the user guards were applied
    // (then every item keeps its design-time visibility: shown).
    std::optional<security::MenuVisibility> guards;
    bool run_minimized = false;
    bool confirm = false;
    bool usage_log = false;  // the administration file turns the usage log on
    // The administration file could not be read: nothing that starts, opens or ends anything.
    bool locked_down = false;
    // Commands this shell cannot carry out yet: their items are not offered, whatever the
    // administration file says, so that no item does nothing.
    std::vector<MenuCommand> unavailable;
};

// "&Desktop", "&Page", "&Options", "&Help" for run mode. The page menu lists the run-mode
// pages with a new column every 20 items; "StartUp" keeps its place but is hidden. A separator
// shows only beside the items it separates: the one before "&Setup" when "&Setup" and "&New"
// or "&Open" show, the ones before "&Run..." and "E&xit" with them, and the Help menu's with
// "&Run...". Locked down, only "&Help" with "&About..." is left.
std::vector<MenuEntry> run_main_menu(const model::Desktop& desktop, const MenuState& state);

// Whether the user can reach `command`: its item and the menu holding it are both visible.
bool command_shown(const std::vector<MenuEntry>& menu, MenuCommand command);

// The same page items for the popup menu's page list.
std::vector<MenuEntry> page_menu_entries(const model::Desktop& desktop);

// What the modify menu's enabling and checks depend on.
struct ModifyMenuState {
    size_t selected = 0;
    bool first_selected_grouped = false;  // the first selected object has a group tag above 0
    bool clipboard_has_text = false;
    // The undo stack's labels ("Move": the item reads "&Undo Move"); empty when there is no step.
    std::string undo_label;
    std::string redo_label;
    bool master_current = false;     // the "Master" tab is shown
    bool startup_current = false;    // the "StartUp" page is shown
    bool show_master_items = false;  // the current page's flag
    bool palette_display = false;    // a display of at most 256 colours
    bool show_grid = false;
    bool snap_to_grid = false;
    bool show_mouse_position = false;
    bool show_alignment_tools = true;
    // Commands this shell cannot carry out yet: not offered, as in run mode.
    std::vector<MenuCommand> unavailable;
};

// The modify menu bar: "&Desktop", "&Edit", "A&rrange", "&Page" (with the "&Goto..." submenu:
// "Master" first, then every page, "StartUp" last, `page_index` the modify-mode tab index, a
// new column every 20 items) and "&Help". Page commands that rename, delete, copy or move the
// page are disabled on "Master" and "StartUp", the page settings, the master items and the
// password on "Master"; object commands by the selection. Undo and Redo name their step.
std::vector<MenuEntry> modify_main_menu(const model::Desktop& desktop, const ModifyMenuState& state);
// The popup: the same submenus without "&Help", with every command that needs a selection
// disabled without one and "&Paste" without clipboard text.
std::vector<MenuEntry> modify_popup_menu(const model::Desktop& desktop, const ModifyMenuState& state);

}  // namespace vx::shell
