#include <gtest/gtest.h>

#include "shell/menu_model.h"

namespace vx::shell {
namespace {

const MenuEntry* find(const std::vector<MenuEntry>& menu, MenuCommand command) {
    for (const MenuEntry& top : menu)
        for (const MenuEntry& e : top.items)
            if (!e.separator() && e.command == command) return &e;
    return nullptr;
}

struct Desk {
    model::Desktop desktop;
    Desk(int pages = 2) {
        desktop.create_master_page();
        for (int i = 1; i <= pages; ++i) desktop.add_page("Page " + std::to_string(i));
        desktop.add_page(std::string(model::kStartUpPage));
    }
};

TEST(ModifyMenu, ObjectCommandsFollowTheSelection) {
    Desk d;
    struct Case {
        const char* what;
        size_t selected;
        bool grouped;
        MenuCommand command;
        bool bar, popup;  // enabled in the menu bar, in the popup
    } cases[] = {
        {"edit object without a selection", 0, false, MenuCommand::EditObject, false, false},
        {"edit object", 1, false, MenuCommand::EditObject, true, true},
        {"copy style without a selection", 0, false, MenuCommand::CopyStyle, false, false},
        {"paste style", 1, false, MenuCommand::PasteStyle, true, true},
        {"front without a selection", 0, false, MenuCommand::BringToFront, false, false},
        {"back", 1, false, MenuCommand::SendToBack, true, true},
        {"group one object", 1, false, MenuCommand::Group, false, false},
        {"group two", 2, false, MenuCommand::Group, true, true},
        {"ungroup an ungrouped first", 2, false, MenuCommand::Ungroup, false, false},
        {"ungroup a grouped first", 1, true, MenuCommand::Ungroup, true, true},
        {"cut without a selection: only the popup says so", 0, false, MenuCommand::Cut, true, false},
        {"copy with a selection", 1, false, MenuCommand::Copy, true, true},
        {"delete without a selection", 0, false, MenuCommand::Delete, true, false},
        {"duplicate without a selection", 0, false, MenuCommand::Duplicate, true, false},
        {"select all", 0, false, MenuCommand::SelectAll, true, true},
        {"align icons", 0, false, MenuCommand::AlignIcons, true, true},
    };
    for (const Case& c : cases) {
        ModifyMenuState s;
        s.selected = c.selected;
        s.first_selected_grouped = c.grouped;
        const auto bar = modify_main_menu(d.desktop, s);
        const auto popup = modify_popup_menu(d.desktop, s);
        ASSERT_TRUE(find(bar, c.command) && find(popup, c.command)) << c.what;
        EXPECT_EQ(find(bar, c.command)->enabled, c.bar) << c.what;
        EXPECT_EQ(find(popup, c.command)->enabled, c.popup) << c.what;
    }
}

TEST(ModifyMenu, PasteInThePopupNeedsClipboardText) {
    Desk d;
    ModifyMenuState s;
    EXPECT_FALSE(find(modify_popup_menu(d.desktop, s), MenuCommand::Paste)->enabled);
    EXPECT_TRUE(find(modify_main_menu(d.desktop, s), MenuCommand::Paste)->enabled);
    s.clipboard_has_text = true;
    EXPECT_TRUE(find(modify_popup_menu(d.desktop, s), MenuCommand::Paste)->enabled);
}

TEST(ModifyMenu, UndoAndRedoNameTheirStep) {
    Desk d;
    ModifyMenuState s;
    auto bar = modify_main_menu(d.desktop, s);
    EXPECT_EQ(find(bar, MenuCommand::Undo)->caption, "&Undo");
    EXPECT_FALSE(find(bar, MenuCommand::Undo)->enabled);
    EXPECT_FALSE(find(bar, MenuCommand::Redo)->enabled);
    s.undo_label = "Move";
    s.redo_label = "Bring to Front";
    bar = modify_main_menu(d.desktop, s);
    EXPECT_EQ(find(bar, MenuCommand::Undo)->caption, "&Undo Move");
    EXPECT_TRUE(find(bar, MenuCommand::Undo)->enabled);
    EXPECT_EQ(find(bar, MenuCommand::Redo)->caption, "&Redo Bring to Front");
}

TEST(ModifyMenu, PageCommandsByTheCurrentPage) {
    Desk d;
    const MenuCommand ordinary_only[] = {MenuCommand::RenamePage, MenuCommand::DeletePage,
                                         MenuCommand::CopyPage, MenuCommand::MovePage};
    const MenuCommand not_master[] = {MenuCommand::PageSettings, MenuCommand::ShowMasterItems,
                                      MenuCommand::PagePassword};
    struct Case {
        const char* what;
        bool master, startup;
    } cases[] = {{"an ordinary page", false, false}, {"Master", true, false}, {"StartUp", false, true}};
    for (const Case& c : cases) {
        ModifyMenuState s;
        s.master_current = c.master;
        s.startup_current = c.startup;
        for (bool popup : {false, true}) {
            const auto menu = popup ? modify_popup_menu(d.desktop, s) : modify_main_menu(d.desktop, s);
            for (MenuCommand m : ordinary_only)
                EXPECT_EQ(find(menu, m)->enabled, !c.master && !c.startup)
                    << c.what << " " << static_cast<int>(m);
            for (MenuCommand m : not_master)
                EXPECT_EQ(find(menu, m)->enabled, !c.master) << c.what << " " << static_cast<int>(m);
            EXPECT_TRUE(find(menu, MenuCommand::AddPage)->enabled) << c.what;
        }
    }
}

TEST(ModifyMenu, ChecksAndThePaletteDisplay) {
    Desk d;
    ModifyMenuState s;
    s.show_master_items = true;
    s.snap_to_grid = true;
    s.show_alignment_tools = false;
    auto bar = modify_main_menu(d.desktop, s);
    EXPECT_TRUE(find(bar, MenuCommand::ShowMasterItems)->checked);
    EXPECT_TRUE(find(bar, MenuCommand::SnapToGrid)->checked);
    EXPECT_FALSE(find(bar, MenuCommand::ShowGrid)->checked);
    EXPECT_FALSE(find(bar, MenuCommand::ShowMousePosition)->checked);
    EXPECT_FALSE(find(bar, MenuCommand::ShowAlignmentTools)->checked);
    EXPECT_FALSE(find(bar, MenuCommand::SetPalette)->enabled) << "more than 256 colours";
    s.palette_display = true;
    EXPECT_TRUE(find(modify_main_menu(d.desktop, s), MenuCommand::SetPalette)->enabled);
}

TEST(ModifyMenu, GotoListsMasterThenEveryTabWithColumnsOfTwenty) {
    Desk d(25);
    const auto bar = modify_main_menu(d.desktop, ModifyMenuState{});
    const MenuEntry* go = nullptr;
    for (const MenuEntry& e : bar[3].items)
        if (e.caption == "&Goto...") go = &e;
    ASSERT_TRUE(go);
    ASSERT_EQ(go->items.size(), 27u);  // Master, 25 pages, StartUp
    EXPECT_EQ(go->items[0].caption, "Master");
    EXPECT_EQ(go->items[0].page_index, 0);
    EXPECT_EQ(go->items[1].caption, "Page 1");
    EXPECT_EQ(go->items[1].page_index, 1);
    EXPECT_EQ(go->items[26].caption, "StartUp");
    EXPECT_EQ(go->items[26].page_index, 26);
    for (size_t i = 0; i < go->items.size(); ++i) {
        EXPECT_EQ(go->items[i].command, MenuCommand::GotoPage);
        EXPECT_EQ(go->items[i].new_column, i == 20) << i;
    }
    EXPECT_EQ(bar.back().caption, "&Help");
    EXPECT_NE(modify_popup_menu(d.desktop, ModifyMenuState{}).back().caption, "&Help");
}

TEST(ModifyMenu, UnavailableCommandsAreNotOfferedNorTheirLoneSeparators) {
    Desk d;
    ModifyMenuState s;
    s.unavailable = {MenuCommand::AlignIcons, MenuCommand::SetupWizard};
    const auto bar = modify_main_menu(d.desktop, s);
    EXPECT_FALSE(command_shown(bar, MenuCommand::AlignIcons));
    EXPECT_FALSE(command_shown(bar, MenuCommand::SetupWizard));
    EXPECT_TRUE(command_shown(bar, MenuCommand::SetGrid));
    // Arrange: front, back | group, ungroup | (align icons) | grid items: one separator between
    // the group items and the grid items, not two in a row.
    const MenuEntry& arrange = bar[2];
    int visible_separators = 0;
    bool last_was_separator = false;
    for (const MenuEntry& e : arrange.items) {
        if (!e.visible) continue;
        if (e.separator()) {
            EXPECT_FALSE(last_was_separator);
            ++visible_separators;
        }
        last_was_separator = e.separator();
    }
    EXPECT_EQ(visible_separators, 2);
}

}  // namespace
}  // namespace vx::shell
