#include "shell/page_nav.h"

#include <gtest/gtest.h>

#include "shell/menu_model.h"

namespace vx::shell {
namespace {

TEST(PageKeys, SelectTabsWithinBounds) {
    struct Case {
        PageKey key;
        int current, count;
        std::optional<int> want;
    } cases[] = {
        {PageKey::PageDown, 0, 3, 1},
        {PageKey::PageDown, 2, 3, std::nullopt},
        {PageKey::PageUp, 1, 3, 0},
        {PageKey::PageUp, 0, 3, std::nullopt},
        {PageKey::Home, 2, 3, 0},
        {PageKey::Escape, 2, 3, 0},
        {PageKey::Home, 0, 3, std::nullopt},
        {PageKey::End, 0, 3, 2},
        {PageKey::End, 2, 3, std::nullopt},
        {PageKey::PageDown, 0, 0, std::nullopt},
        {PageKey::End, -1, 2, 1},
        {PageKey::PageDown, -1, 2, 0},
    };
    for (const Case& c : cases) {
        const KeyAction a = page_key_action(c.key, c.current, c.count);
        EXPECT_EQ(a.tab, c.want) << int(c.key) << " from " << c.current;
        EXPECT_FALSE(a.login);
    }
    const KeyAction f10 = page_key_action(PageKey::F10, 0, 3);
    EXPECT_TRUE(f10.login);
    EXPECT_FALSE(f10.tab);
}

TEST(ShowPage, PlanFollowsPageAndWhatIsLoaded) {
    model::Page page;
    page.name = "Office";
    page.interval = 350;
    page.tab_icon = 4;
    page.wallpaper = true;
    page.background = "CLOUDS.BMP";

    ShowPagePlan p = plan_show_page(page, "", 3, false);
    EXPECT_EQ(p.palette_entries, 255);
    EXPECT_EQ(p.timer_interval, 350);
    EXPECT_EQ(p.load_wallpaper, "CLOUDS.BMP");
    EXPECT_TRUE(p.reload_tab_icon);
    EXPECT_EQ(p.panel_text, "Office");

    p = plan_show_page(page, "CLOUDS.BMP", 4, true);
    EXPECT_FALSE(p.load_wallpaper);
    EXPECT_FALSE(p.reload_tab_icon);
    EXPECT_EQ(p.panel_text, "");

    page.wallpaper = false;
    EXPECT_FALSE(plan_show_page(page, "", 4, true).load_wallpaper);
}

TEST(ShowPage, WallpaperLookupOrder) {
    EXPECT_EQ(wallpaper_candidates("pics\\SKY.BMP", "C:\\VX", "D:\\DESK\\LAB.DTP"),
              (std::vector<std::string>{"pics\\SKY.BMP", "C:\\VX\\SKY.BMP", "D:\\DESK\\SKY.BMP"}));
    EXPECT_EQ(wallpaper_candidates("SKY.BMP", "C:\\VX", "C:\\VX\\VX.DTP"),
              (std::vector<std::string>{"SKY.BMP", "C:\\VX\\SKY.BMP"}));
    EXPECT_TRUE(wallpaper_candidates("", "C:\\VX", "C:\\VX\\VX.DTP").empty());
}

TEST(Background, ModeAndGeometry) {
    model::Page page;
    EXPECT_EQ(background_mode(nullptr, true), BackgroundMode::Silver);
    EXPECT_EQ(background_mode(&page, true), BackgroundMode::Colour);  // wallpaper flag off
    page.wallpaper = true;
    page.background = "A.BMP";
    EXPECT_EQ(background_mode(&page, false), BackgroundMode::Colour);  // not found
    EXPECT_EQ(background_mode(&page, true), BackgroundMode::Tile);
    page.tile_image = false;
    page.center_image = true;
    EXPECT_EQ(background_mode(&page, true), BackgroundMode::Centre);
    page.center_image = false;
    EXPECT_EQ(background_mode(&page, true), BackgroundMode::Stretch);

    // Scrolled by (5, 0): tiles start left of the client so the pattern moves with the page.
    const auto tiles = tile_origins(40, 30, 70, 50, 5, 0);
    EXPECT_EQ(tiles, (std::vector<std::pair<int, int>>{{-5, 0}, {35, 0}, {-5, 30}, {35, 30}}));
    EXPECT_TRUE(tile_origins(0, 30, 70, 50, 0, 0).empty());

    const CentreLayout c = centre_layout(40, 20, 100, 60);
    EXPECT_EQ(c.picture, (Rect{30, 20, 70, 40}));
    EXPECT_EQ(c.bands,
              (std::vector<Rect>{{0, 0, 100, 20}, {0, 40, 100, 60}, {0, 20, 30, 40}, {70, 20, 100, 40}}));
    // A picture larger than the surface leaves no band.
    EXPECT_TRUE(centre_layout(200, 100, 100, 60).bands.empty());
}

TEST(TopPanel, HeightFollowsWhatIsShown) {
    struct Case {
        bool status, icon, tabs;
        bool visible;
        int height;
        bool status_area;
    } cases[] = {
        {true, true, true, true, 46, true},     {true, false, false, true, 22, true},
        {false, false, true, true, 26, false},  {false, true, false, true, 46, true},
        {false, false, false, false, 0, false}, {true, false, true, true, 46, true},
    };
    for (const Case& c : cases) {
        model::WindowOptions o;
        o.status_bar = c.status;
        o.ani_icon = c.icon;
        o.page_tabs = c.tabs;
        const TopPanelLayout t = top_panel_layout(o, 22, 26);
        EXPECT_EQ(t.visible, c.visible);
        EXPECT_EQ(t.height, c.height) << c.status << c.icon << c.tabs;
        EXPECT_EQ(t.status_area, c.status_area);
    }
    EXPECT_EQ(sizing_border_change("3"), 6);
    EXPECT_EQ(sizing_border_change(""), 2);
    EXPECT_EQ(sizing_border_change("x"), 2);
}

TEST(MainMenu, RunModeItemsAndGuards) {
    model::Desktop desktop;
    desktop.create_master_page();
    for (int i = 0; i < 22; ++i) desktop.add_page("P" + std::to_string(i));
    desktop.add_page("StartUp");

    auto menu = run_main_menu(desktop, {});
    ASSERT_EQ(menu.size(), 4u);
    EXPECT_EQ(menu[0].caption, "&Desktop");
    std::vector<std::string> desk;
    for (const auto& e : menu[0].items) desk.push_back(e.separator() ? "-" : e.caption);
    EXPECT_EQ(desk, (std::vector<std::string>{"&New", "&Open", "-", "&Setup", "-", "&Run...", "-", "E&xit"}));
    for (const auto& e : menu[0].items) EXPECT_TRUE(e.visible);
    EXPECT_EQ(menu[1].caption, "&Page");
    EXPECT_EQ(menu[2].caption, "&Options");
    EXPECT_EQ(menu[3].caption, "&Help");

    const auto& pages = menu[1].items;
    ASSERT_EQ(pages.size(), 23u);
    EXPECT_TRUE(pages[20].new_column);
    EXPECT_FALSE(pages[19].new_column);
    EXPECT_EQ(pages[21].page_index, 21);
    EXPECT_FALSE(pages[22].visible);  // StartUp
    EXPECT_EQ(pages[22].caption, "StartUp");

    // A user who may not run or exit: those items and the separators before them go.
    MenuState state;
    security::MenuVisibility v;
    v.slot.fill(true);
    v.slot[security::kGuardRun] = false;
    v.slot[security::kGuardExit] = false;
    v.slot[security::kGuardHelpMenu] = false;
    v.separator_before_setup = true;
    state.guards = v;
    menu = run_main_menu(desktop, state);
    std::vector<std::string> shown;
    for (const auto& e : menu[0].items)
        if (e.visible) shown.push_back(e.separator() ? "-" : e.caption);
    EXPECT_EQ(shown, (std::vector<std::string>{"&New", "&Open", "-", "&Setup"}));
    EXPECT_FALSE(menu[3].visible);
    EXPECT_FALSE(command_shown(menu, MenuCommand::Exit));
    EXPECT_TRUE(command_shown(menu, MenuCommand::Setup));
    EXPECT_FALSE(command_shown(menu, MenuCommand::About)) << "its menu is hidden";

    // The whole "&Desktop" menu hidden takes "E&xit" with it.
    v.slot[security::kGuardExit] = true;
    v.slot[security::kGuardDesktopMenu] = false;
    state.guards = v;
    EXPECT_FALSE(command_shown(run_main_menu(desktop, state), MenuCommand::Exit));
}

TEST(FirstTab, APasswordOnTheFirstPageIsNeverPassedUnasked) {
    // Pages at level 5 and 50; Ann's group is at level 5 without access to lower levels.
    security::AdminData admin;
    security::Group pupils;
    pupils.name = "Pupils";
    pupils.level = 5;
    admin.groups.push_back(pupils);
    security::User ann;
    ann.name = "ANN";
    ann.groups = {0};
    admin.users.push_back(ann);

    auto page = [](const char* password, uint32_t level) {
        model::Page p;
        p.password = password;
        p.security_level = level;
        return p;
    };
    const model::Page open = page("", 1000), five = page("key", 5), fifty = page("key", 50);
    struct Case {
        std::vector<const model::Page*> tabs;
        bool logged_in;
        int want;
    } const cases[] = {
        {{&open, &fifty}, false, 0},
        {{&fifty, &open}, false, 1},   // the protected first page is passed over, not shown
        {{&five, &open}, false, 1},    // nobody logged in: every password asks
        {{&five, &open}, true, 0},     // Ann's level opens it without a question
        {{&fifty, &five}, true, 1},
        {{&fifty, &fifty}, true, 0},   // every page asks: the first, whose prompt decides
        {{}, true, -1},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        admin.logged_in = c.logged_in ? std::optional<size_t>(0) : std::nullopt;
        EXPECT_EQ(first_tab_to_show(c.tabs, admin), c.want) << "case " << i;
    }
    EXPECT_FALSE(page_opens_unasked(fifty, admin));
    EXPECT_TRUE(page_opens_unasked(open, admin));
}

TEST(MainMenu, ItemsThatCannotBeCarriedOutAreNotOfferedAndSeparatorsFollowTheirItems) {
    model::Desktop desktop;
    desktop.create_master_page();
    desktop.add_page("Page 1");
    auto shown = [](const MenuEntry& menu) {
        std::vector<std::string> out;
        for (const auto& e : menu.items)
            if (e.visible) out.push_back(e.separator() ? "-" : e.caption);
        return out;
    };
    using L = std::vector<std::string>;
    struct Case {
        std::vector<MenuCommand> unavailable;
        std::vector<security::GuardSlot> hidden;  // guards the user does not pass
        L desktop_menu, help_menu;
    } const cases[] = {
        {{}, {}, {"&New", "&Open", "-", "&Setup", "-", "&Run...", "-", "E&xit"}, {"&Contents", "-", "&About..."}},
        {{MenuCommand::NewDesktop, MenuCommand::Setup},
         {},
         {"&Open", "-", "&Run...", "-", "E&xit"},
         {"&Contents", "-", "&About..."}},
        // The Help menu's separator follows "&Run...".
        {{}, {security::kGuardRun}, {"&New", "&Open", "-", "&Setup", "-", "E&xit"}, {"&Contents", "&About..."}},
        {{}, {security::kGuardNew, security::kGuardOpen}, {"&Setup", "-", "&Run...", "-", "E&xit"},
         {"&Contents", "-", "&About..."}},
        {{MenuCommand::Setup}, {security::kGuardExit}, {"&New", "&Open", "-", "&Run..."}, {"&Contents", "-", "&About..."}},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        MenuState state;
        state.unavailable = c.unavailable;
        if (!c.hidden.empty()) {
            security::MenuVisibility v;
            v.slot.fill(true);
            for (auto slot : c.hidden) v.slot[slot] = false;
            state.guards = v;
        }
        const auto menu = run_main_menu(desktop, state);
        EXPECT_EQ(shown(menu[0]), c.desktop_menu) << "case " << i;
        EXPECT_EQ(shown(menu[3]), c.help_menu) << "case " << i;
        for (MenuCommand u : c.unavailable) EXPECT_FALSE(command_shown(menu, u)) << "case " << i;
    }
}

TEST(MainMenu, LockedDownOffersNothingThatStartsOrEnds) {
    model::Desktop desktop;
    desktop.create_master_page();
    desktop.add_page("Page 1");
    MenuState state;
    state.locked_down = true;
    const auto menu = run_main_menu(desktop, state);
    ASSERT_EQ(menu.size(), 1u);
    EXPECT_EQ(menu[0].caption, "&Help");
    ASSERT_EQ(menu[0].items.size(), 1u);
    EXPECT_EQ(menu[0].items[0].command, MenuCommand::About);
    for (MenuCommand c : {MenuCommand::Run, MenuCommand::Exit, MenuCommand::NewDesktop, MenuCommand::OpenDesktop,
                          MenuCommand::Setup, MenuCommand::ViewUsageLog, MenuCommand::GotoPage})
        EXPECT_FALSE(command_shown(menu, c));
}

}  // namespace
}  // namespace vx::shell
