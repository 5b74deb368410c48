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
};

struct MenuEntry {
    std::string caption;  // empty for a separator
    MenuCommand command = MenuCommand::None;
    bool visible = true;
    bool checked = false;
    bool new_column = false;
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

}  // namespace vx::shell
