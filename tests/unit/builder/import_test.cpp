#include "builder/import.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_folders.h"

namespace vx::builder {
namespace {

std::vector<std::string> page_names(const model::Desktop& d) {
    std::vector<std::string> out;
    for (const auto& p : d.pages()) out.push_back(p->name);
    return out;
}

// Captions in creation order (the page keeps its newest object first).
std::vector<std::string> captions(const model::Page& page) {
    std::vector<std::string> out;
    for (auto it = page.objects.rbegin(); it != page.objects.rend(); ++it)
        out.push_back(std::get<model::ButtonData>(it->data).caption);
    return out;
}

TEST(ImportLayout, ColumnsEndSeventyAboveTheSurfaceBottom) {
    struct Case {
        int client_height;
        int count;
        std::vector<std::pair<int, int>> expected;  // left, top of each button
    };
    const Case cases[] = {
        // Nine buttons fill the first column (tops 10 to 410); the tenth starts the next.
        {520, 11, {{10, 10}, {10, 60}, {10, 110}, {10, 160}, {10, 210}, {10, 260}, {10, 310}, {10, 360},
                   {10, 410}, {200, 10}, {200, 60}}},
        // A top exactly 70 above the bottom still fits.
        {130, 3, {{10, 10}, {10, 60}, {200, 10}}},
        {129, 3, {{10, 10}, {200, 10}, {390, 10}}},
    };
    for (const auto& c : cases) {
        ImportCursor cursor(10, 10, c.client_height);
        std::vector<std::pair<int, int>> got;
        for (int i = 0; i < c.count; ++i) {
            const auto b = cursor.place();
            EXPECT_EQ(b.width, 180);
            EXPECT_EQ(b.height, 40);
            got.emplace_back(b.left, b.top);
        }
        EXPECT_EQ(got, c.expected) << c.client_height;
    }
}

TEST(ImportFolder, OneButtonPerFileWithTheImportValues) {
    testing::FakeFolders fs;
    fs.add("C:\\D\\Editor.lnk").add("C:\\D\\Sub\\").add("C:\\D\\notes.txt");
    fs.add("C:\\D\\Site.url", "[InternetShortcut]\r\nURL=http://site.test/\r\n").add("C:\\D\\Bad.url", "junk");
    fs.add("C:\\D\\README");
    model::Desktop d;
    start_new_desktop(d, "C:\\NEW.DTP");
    model::Page& page = add_desktop_page(d);
    page.left_margin = 30;
    std::vector<std::string> icons;
    ImportContext ctx;
    ctx.client_height = 520;
    ctx.created = 45000.5;
    ctx.icon_for = [&](const std::string& path) {
        icons.push_back(path);
        return static_cast<uint16_t>(icons.size() + 6);
    };
    EXPECT_FALSE(import_folder(d, page, Folder{"Desktop", {"C:\\D"}}, fs, ctx));

    EXPECT_EQ(captions(page), (std::vector<std::string>{"Editor", "notes", "Site", "Bad", "README"}));
    const auto& first = std::get<model::ButtonData>(page.objects.back().data);
    model::ButtonData want;
    want.bounds = {30, 10, 180, 40};
    want.caption = "Editor";
    want.btn_style = 0;
    want.show_icon = true;
    want.text_align = 0;
    want.font.color = model::kBlack;
    want.command = "C:\\D\\Editor.lnk\r";
    want.command_lines = 1;
    want.icon = 7;
    want.launch_date = 45000.5;
    EXPECT_EQ(first, want);

    std::vector<std::string> commands;
    for (auto it = page.objects.rbegin(); it != page.objects.rend(); ++it)
        commands.push_back(std::get<model::ButtonData>(it->data).command);
    EXPECT_EQ(commands, (std::vector<std::string>{"C:\\D\\Editor.lnk\r", "C:\\D\\notes.txt\r", "http://site.test/\r",
                                                  "C:\\D\\Bad.url\r", "C:\\D\\README\r"}));
    EXPECT_EQ(icons.size(), 5u);
}

// Start menu: Accessories holds Games (with Cards in it) and System Tools; Office after it.
testing::FakeFolders start_menu() {
    testing::FakeFolders fs;
    fs.add("C:\\P\\Top.lnk");
    fs.add("C:\\P\\Accessories\\Paint.lnk").add("C:\\P\\Accessories\\Games\\Cards\\Solo.lnk");
    fs.add("C:\\P\\Accessories\\Games\\Mines.LNK").add("C:\\P\\Accessories\\Games\\Read me.txt");
    fs.add("C:\\P\\Accessories\\System Tools\\Clean.lnk").add("C:\\P\\Accessories\\Notes.lnk");
    fs.add("C:\\P\\Office\\Write.lnk").add("C:\\P\\Office\\Calc.lnk").add("C:\\P\\Office\\Help.hlp");
    return fs;
}

TEST(ProgramGroups, SubFoldersComeBeforeTheirFolderWithTheirShortcutCounts) {
    auto fs = start_menu();
    std::vector<std::string> got;
    for (const auto& g : walk_program_groups(fs, Folder{"Programs", {"C:\\P"}}))
        got.push_back(g.folder.name + " " + std::to_string(g.item_count));
    EXPECT_EQ(got, (std::vector<std::string>{"Cards 1", "Games 1", "System Tools 1", "Accessories 2", "Office 2"}));

    testing::FakeFolders empty;
    empty.add("C:\\P\\");
    EXPECT_TRUE(walk_program_groups(empty, Folder{"Programs", {"C:\\P"}}).empty());
}

TEST(ProgramGroups, AnExistingNameAddsNoPageAndAStopEndsTheWalk) {
    auto fs = start_menu();
    const auto groups = walk_program_groups(fs, Folder{"Programs", {"C:\\P"}});
    model::Desktop d;
    start_new_desktop(d, "X.DTP");
    add_programs_page(d);
    d.add_page("Games");

    std::vector<int> starts;
    ImportContext ctx;
    ctx.client_height = 520;
    ctx.start_group = [&](int n) { starts.push_back(n); };
    int buttons = 0;
    ctx.after_button = [&](const std::string&) { return ++buttons == 4; };  // "Stop" on the fourth
    EXPECT_TRUE(import_program_groups(d, groups, fs, ctx));

    // "Games" exists, so its buttons join "Cards", the page shown when its turn comes.
    EXPECT_EQ(page_names(d), (std::vector<std::string>{"Programs", "Games", "Cards", "System Tools"}));
    EXPECT_EQ(captions(*d.find_page("Cards")), (std::vector<std::string>{"Solo", "Mines", "Read me"}));
    EXPECT_TRUE(d.find_page("Games")->objects.empty());
    EXPECT_EQ(captions(*d.find_page("System Tools")), std::vector<std::string>{"Clean"});
    EXPECT_EQ(starts, (std::vector<int>{1, 1, 1}));
}

TEST(BuildFromWindows, DesktopAndProgramsPagesThenTheGroups) {
    auto fs = start_menu();
    fs.add("C:\\U\\Desktop\\Mine.lnk").add("C:\\Pub\\Desktop\\Shared.lnk").add("C:\\U\\Programs\\");
    const KnownFolders known{"C:\\U\\Desktop", "C:\\Pub\\Desktop", "C:\\U\\Programs", "C:\\P"};
    ImportContext ctx;
    ctx.client_height = 520;
    int asked = 0;
    ctx.after_button = [&](const std::string&) { return ++asked == 2; };
    // The window shows each page before its buttons arrive.
    std::vector<std::string> shown;
    ctx.page_ready = [&](model::Page& page) { shown.push_back(page.name); };

    model::Desktop d;
    start_new_desktop(d, "N.DTP");
    EXPECT_TRUE(build_from_windows(d, find_windows_folders(fs, "C:\\WIN", known), fs, ctx));
    EXPECT_EQ(page_names(d), (std::vector<std::string>{"Desktop", "Programs", "Cards", "Games"}));
    EXPECT_EQ(shown, (std::vector<std::string>{"Desktop", "Programs", "Cards", "Games"}));
    EXPECT_EQ(captions(*d.find_page("Desktop")), (std::vector<std::string>{"Mine", "Shared"}));
    EXPECT_EQ(captions(*d.find_page("Programs")), std::vector<std::string>{"Top"});

    // An empty program folder: a "Programs" page with no buttons and no group pages.
    testing::FakeFolders bare;
    bare.add("C:\\U\\Desktop\\").add("C:\\U\\Programs\\");
    model::Desktop e;
    start_new_desktop(e, "E.DTP");
    EXPECT_FALSE(build_from_windows(e, find_windows_folders(bare, "C:\\WIN", known), bare, ctx));
    EXPECT_EQ(page_names(e), (std::vector<std::string>{"Desktop", "Programs"}));
    EXPECT_TRUE(e.find_page("Programs")->objects.empty());
}

TEST(GroupList, SortedEntriesCarryTheirCount) {
    EXPECT_EQ(group_list_text("Games", "C:\\P\\Games", 3), "Games|C:\\P\\Games 3");
    EXPECT_EQ(group_list_text("Office", "C:\\P\\Office", 42), "Office|C:\\P\\Office42");
    EXPECT_EQ(group_list_text("Big", "C:\\P\\Big", 123), "Big|C:\\P\\Big123");

    auto fs = start_menu();
    std::vector<ProgramGroup> groups = walk_program_groups(fs, Folder{"Programs", {"C:\\P"}});
    groups.push_back({Folder{"apps", {"C:\\P\\apps"}}, 150});
    std::vector<std::string> got;
    for (const auto& e : group_list(groups)) got.push_back(e.text + " @" + std::to_string(e.group.item_count));
    EXPECT_EQ(got, (std::vector<std::string>{
                       "Accessories|C:\\P\\Accessories 2 @2",
                       "apps|C:\\P\\apps150 @150",
                       "Cards|C:\\P\\Accessories\\Games\\Cards 1 @1",
                       "Games|C:\\P\\Accessories\\Games 1 @1",
                       "Office|C:\\P\\Office 2 @2",
                       "System Tools|C:\\P\\Accessories\\System Tools 1 @1",
                   }));
}

TEST(StartMenuWatch, TheNewFolderBecomesAGroup) {
    auto item = [](const char* name, bool folder) { return FolderItem{name, folder, {std::string("C:\\P\\") + name}}; };
    const std::vector<FolderItem> before{item("Accessories", true), item("Office", true), item("Top.lnk", false)};
    struct Case {
        const char* what;
        std::vector<FolderItem> after;
        bool modify_mode;
        const char* group;  // null: none
        bool dropped;
    };
    const Case cases[] = {
        {"folder in the middle", {before[0], item("Games", true), before[1], before[2]}, false, "Games", false},
        {"folder sorted last", {before[0], before[1], before[2], item("Zip Tools", true)}, false, "Zip Tools", false},
        {"a file is no group", {before[0], item("New.lnk", false), before[1], before[2]}, false, nullptr, false},
        {"fewer entries", {before[0], before[2]}, false, nullptr, false},
        {"renamed, same count", {before[0], item("Works", true), before[2]}, false, nullptr, false},
        {"modify mode", {before[0], item("Games", true), before[1], before[2]}, true, nullptr, true},
    };
    for (const auto& c : cases) {
        const auto out = watch_change(before, c.after, c.modify_mode);
        EXPECT_EQ(out.dropped, c.dropped) << c.what;
        ASSERT_EQ(out.new_group.has_value(), c.group != nullptr) << c.what;
        if (c.group) {
            EXPECT_EQ(out.new_group->name, c.group) << c.what;
        }
    }
}

TEST(NewDesktop, PagesOfBothAnswers) {
    model::Desktop d;
    d.add_page("Old");
    start_new_desktop(d, "C:\\VX\\NEW.DTP");
    EXPECT_EQ(d.file_name, "C:\\VX\\NEW.DTP");
    ASSERT_NE(d.master(), nullptr);
    EXPECT_TRUE(d.pages().empty());
    EXPECT_EQ(d.current(), d.master());
    EXPECT_EQ(d.master()->left_margin, 10);
    EXPECT_EQ(d.master()->top_margin, 10);

    add_desktop_page(d);
    add_programs_page(d);
    EXPECT_EQ(page_names(d), (std::vector<std::string>{"Desktop", "Programs"}));

    model::Desktop blank;
    start_new_desktop(blank, "B.DTP");
    add_blank_pages(blank);
    EXPECT_EQ(page_names(blank), (std::vector<std::string>{"Page 1", "StartUp"}));
    EXPECT_EQ(blank.current()->name, "Page 1");
}

}  // namespace
}  // namespace vx::builder
