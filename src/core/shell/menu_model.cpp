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

MenuEntry separator(bool visible) {
    MenuEntry e;
    e.visible = visible;
    return e;
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

}  // namespace vx::shell
