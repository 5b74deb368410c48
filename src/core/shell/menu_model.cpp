#include "shell/menu_model.h"

#include <algorithm>

namespace vx::shell {
namespace {

MenuEntry item(std::string caption, MenuCommand command, bool visible = true) {
    MenuEntry e;
    e.caption = std::move(caption);
    e.command = command;
    e.visible = visible;
    return e;
}

MenuEntry separator(bool visible = true) {
    MenuEntry e;
    e.visible = visible;
    return e;
}

MenuEntry checked_item(std::string caption, MenuCommand command, bool checked) {
    MenuEntry e = item(std::move(caption), command);
    e.checked = checked;
    return e;
}

MenuEntry history_item(std::string_view verb, const std::string& label, MenuCommand command) {
    MenuEntry e = item(std::string(verb) + (label.empty() ? "" : " " + label), command);
    e.enabled = !label.empty();
    return e;
}

// "Master" first, then the pages as the modify-mode tabs stand, "StartUp" last.
MenuEntry goto_menu(const model::Desktop& desktop) {
    MenuEntry go = item("&Goto...", MenuCommand::None);
    const std::vector<const model::Page*> tabs = desktop.tab_pages(true);
    for (size_t i = 0; i < tabs.size(); ++i) {
        const bool master = tabs[i] == desktop.master();
        MenuEntry e = item(master ? std::string(model::kMasterTab) : tabs[i]->name, MenuCommand::GotoPage);
        e.page_index = static_cast<int>(i);
        e.new_column = i > 0 && i % 20 == 0;
        go.items.push_back(std::move(e));
    }
    return go;
}

// The modify menus' submenus; `popup` applies the popup's stricter enabling.
std::vector<MenuEntry> modify_menus(const model::Desktop& desktop, const ModifyMenuState& s, bool popup) {
    const bool any = s.selected > 0;
    auto en = [](MenuEntry e, bool enabled) {
        e.enabled = enabled;
        return e;
    };
    // The popup disables what needs a selection; the bar's Edit menu only the three it names.
    auto object = [&](std::string caption, MenuCommand c) {
        return en(item(std::move(caption), c), !popup || any);
    };

    MenuEntry desk = item("&Desktop", MenuCommand::None);
    desk.items.push_back(item("E&xit Setup", MenuCommand::ExitSetup));
    desk.items.push_back(item("Desktop Setup...", MenuCommand::DesktopSetup));
    desk.items.push_back(item("Setup &Wizard...", MenuCommand::SetupWizard));

    MenuEntry edit = item("&Edit", MenuCommand::None);
    edit.items.push_back(history_item("&Undo", s.undo_label, MenuCommand::Undo));
    edit.items.push_back(history_item("&Redo", s.redo_label, MenuCommand::Redo));
    edit.items.push_back(separator());
    edit.items.push_back(object("Cu&t", MenuCommand::Cut));
    edit.items.push_back(object("&Copy", MenuCommand::Copy));
    edit.items.push_back(en(item("&Paste", MenuCommand::Paste), !popup || s.clipboard_has_text));
    edit.items.push_back(object("Dup&licate", MenuCommand::Duplicate));
    edit.items.push_back(object("&Delete", MenuCommand::Delete));
    edit.items.push_back(separator());
    edit.items.push_back(item("&Select All", MenuCommand::SelectAll));
    edit.items.push_back(separator());
    edit.items.push_back(en(item("&Edit Object...", MenuCommand::EditObject), any));
    edit.items.push_back(en(item("C&opy Style", MenuCommand::CopyStyle), any));
    edit.items.push_back(en(item("Past&e Style", MenuCommand::PasteStyle), any));

    MenuEntry arrange = item("A&rrange", MenuCommand::None);
    arrange.items.push_back(en(item("Bring to &Front", MenuCommand::BringToFront), any));
    arrange.items.push_back(en(item("Send to &Back", MenuCommand::SendToBack), any));
    arrange.items.push_back(separator());
    arrange.items.push_back(en(item("&Group", MenuCommand::Group), s.selected >= 2));
    arrange.items.push_back(en(item("&Ungroup", MenuCommand::Ungroup), any && s.first_selected_grouped));
    arrange.items.push_back(separator());
    arrange.items.push_back(item("&Align Icons...", MenuCommand::AlignIcons));
    arrange.items.push_back(separator());
    arrange.items.push_back(item("Set &Grid...", MenuCommand::SetGrid));
    arrange.items.push_back(checked_item("Sho&w Grid", MenuCommand::ShowGrid, s.show_grid));
    arrange.items.push_back(checked_item("S&nap to Grid", MenuCommand::SnapToGrid, s.snap_to_grid));
    arrange.items.push_back(
        checked_item("Show &Mouse Position", MenuCommand::ShowMousePosition, s.show_mouse_position));
    arrange.items.push_back(
        checked_item("Show &Alignment Tools", MenuCommand::ShowAlignmentTools, s.show_alignment_tools));

    const bool ordinary = !s.master_current && !s.startup_current;
    MenuEntry page = item("&Page", MenuCommand::None);
    page.items.push_back(item("&Add...", MenuCommand::AddPage));
    page.items.push_back(en(item("&Delete...", MenuCommand::DeletePage), ordinary));
    page.items.push_back(en(item("&Rename...", MenuCommand::RenamePage), ordinary));
    page.items.push_back(en(item("&Copy...", MenuCommand::CopyPage), ordinary));
    page.items.push_back(en(item("&Move...", MenuCommand::MovePage), ordinary));
    page.items.push_back(separator());
    page.items.push_back(en(item("&Settings...", MenuCommand::PageSettings), !s.master_current));
    MenuEntry master_items =
        checked_item("Show Master &Items", MenuCommand::ShowMasterItems, s.show_master_items);
    page.items.push_back(en(std::move(master_items), !s.master_current));
    // The master page has no attributes of its own in the file, its password neither.
    page.items.push_back(en(item("Set &Password...", MenuCommand::PagePassword), !s.master_current));
    page.items.push_back(en(item("Set &Palette...", MenuCommand::SetPalette), s.palette_display));
    page.items.push_back(separator());
    page.items.push_back(goto_menu(desktop));

    std::vector<MenuEntry> menus{std::move(desk), std::move(edit), std::move(arrange), std::move(page)};
    // What this shell cannot carry out yet is not offered; separators left with nothing
    // beside them go too.
    for (MenuEntry& m : menus) {
        for (MenuEntry& e : m.items)
            if (!e.separator() &&
                std::find(s.unavailable.begin(), s.unavailable.end(), e.command) != s.unavailable.end())
                e.visible = false;
        bool shown_before = false;
        for (size_t i = 0; i < m.items.size(); ++i) {
            MenuEntry& e = m.items[i];
            if (!e.separator()) {
                shown_before = shown_before || e.visible;
                continue;
            }
            bool shown_after = false;
            for (size_t j = i + 1; j < m.items.size() && !m.items[j].separator(); ++j)
                shown_after = shown_after || m.items[j].visible;
            e.visible = shown_before && shown_after;
            if (e.visible) shown_before = false;
        }
    }
    return menus;
}

}  // namespace

std::vector<MenuEntry> page_menu_entries(const model::Desktop& desktop) {
    std::vector<MenuEntry> out;
    int tab = 0;
    for (const model::PageMenuItem& p : desktop.page_menu_items()) {
        MenuEntry e = item(p.page->name, MenuCommand::GotoPage, !p.hidden);
        e.new_column = p.new_column;
        // Hidden "StartUp" has no tab in run mode; the visible items match the tabs in order.
        e.page_index = p.hidden ? -1 : tab++;
        out.push_back(std::move(e));
    }
    return out;
}

bool command_shown(const std::vector<MenuEntry>& menu, MenuCommand command) {
    for (const MenuEntry& top : menu) {
        if (!top.visible) continue;
        for (const MenuEntry& e : top.items)
            if (e.visible && !e.separator() && e.command == command) return true;
    }
    return false;
}

std::vector<MenuEntry> run_main_menu(const model::Desktop& desktop, const MenuState& state) {
    if (state.locked_down) {
        MenuEntry help = item("&Help", MenuCommand::None);
        help.items.push_back(item("&About...", MenuCommand::About));
        return {std::move(help)};
    }
    using security::GuardSlot;
    auto available = [&](MenuCommand c) {
        return std::find(state.unavailable.begin(), state.unavailable.end(), c) == state.unavailable.end();
    };
    // Before the log-in dialog has closed every item keeps its design-time visibility: shown.
    auto slot = [&](GuardSlot s) { return !state.guards || state.guards->slot[s]; };
    auto shown = [&](GuardSlot s, MenuCommand c) { return slot(s) && available(c); };
    const bool new_shown = shown(security::kGuardNew, MenuCommand::NewDesktop);
    const bool open_shown = shown(security::kGuardOpen, MenuCommand::OpenDesktop);
    const bool setup_shown = shown(security::kGuardSetup, MenuCommand::Setup);
    const bool run_shown = shown(security::kGuardRun, MenuCommand::Run);
    const bool exit_shown = shown(security::kGuardExit, MenuCommand::Exit);

    MenuEntry desk = item("&Desktop", MenuCommand::None, slot(security::kGuardDesktopMenu));
    desk.items.push_back(item("&New", MenuCommand::NewDesktop, new_shown));
    desk.items.push_back(item("&Open", MenuCommand::OpenDesktop, open_shown));
    desk.items.push_back(separator(setup_shown && (new_shown || open_shown)));
    desk.items.push_back(item("&Setup", MenuCommand::Setup, setup_shown));
    desk.items.push_back(separator(run_shown));
    desk.items.push_back(item("&Run...", MenuCommand::Run, run_shown));
    desk.items.push_back(separator(exit_shown));
    desk.items.push_back(item("E&xit", MenuCommand::Exit, exit_shown));

    MenuEntry page = item("&Page", MenuCommand::None, slot(security::kGuardPageMenus));
    page.items = page_menu_entries(desktop);

    MenuEntry options = item("&Options", MenuCommand::None, slot(security::kGuardOptionsMenu));
    MenuEntry minimize = item("Minimize on &Run", MenuCommand::MinimizeOnRun);
    minimize.checked = state.run_minimized;
    MenuEntry confirm = item("&Confirm Execution", MenuCommand::ConfirmExecution);
    confirm.checked = state.confirm;
    options.items.push_back(std::move(minimize));
    options.items.push_back(std::move(confirm));
    const bool log_shown = state.usage_log && shown(security::kGuardViewUsageLog, MenuCommand::ViewUsageLog);
    options.items.push_back(separator(log_shown));
    options.items.push_back(item("View Usage &Log", MenuCommand::ViewUsageLog, log_shown));

    MenuEntry help = item("&Help", MenuCommand::None, slot(security::kGuardHelpMenu));
    help.items.push_back(item("&Contents", MenuCommand::HelpContents));
    help.items.push_back(separator(run_shown));
    help.items.push_back(item("&About...", MenuCommand::About));

    return {std::move(desk), std::move(page), std::move(options), std::move(help)};
}

std::vector<MenuEntry> modify_main_menu(const model::Desktop& desktop, const ModifyMenuState& state) {
    std::vector<MenuEntry> menus = modify_menus(desktop, state, false);
    MenuEntry help = item("&Help", MenuCommand::None);
    help.items.push_back(item("&Contents", MenuCommand::HelpContents));
    help.items.push_back(item("&About...", MenuCommand::About));
    menus.push_back(std::move(help));
    return menus;
}

std::vector<MenuEntry> modify_popup_menu(const model::Desktop& desktop, const ModifyMenuState& state) {
    return modify_menus(desktop, state, true);
}

}  // namespace vx::shell
