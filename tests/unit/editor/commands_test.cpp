#include <gtest/gtest.h>

#include <limits>

#include "editor/button_properties.h"
#include "editor/object_commands.h"
#include "editor/page_commands.h"
#include "iconlib/library.h"
#include "unit/editor/editor_fixture.h"

namespace vx::editor {
namespace {

using namespace vx::model;
using test::EditSession;

bool no_files(const std::string&) {
    return false;
}

std::vector<ObjectId> scheduled_ids(const Desktop& d) {
    std::vector<ObjectId> ids;
    for (const auto& s : d.scheduled()) ids.push_back(s.object);
    return ids;
}

TEST(EditorCommands, UndoingAWholeSessionRestoresTheFileByteForByteAndRedoingRepeatsIt) {
    EditSession s;
    s.load("full.dtp");
    const std::string original = s.file();
    const auto original_schedule = scheduled_ids(s.desktop);
    Page& programs = s.page("Programs");
    const ObjectId word = programs.objects.back().id;  // the file's first button, scheduled
    const ObjectId calc = std::prev(programs.objects.end(), 2)->id;

    ShapeData panel;
    panel.bounds = {300, 200, 120, 80};
    ObjectId created = kNoId;
    ASSERT_TRUE(s.stack.execute(make_create(s.desktop, programs.id, panel, &created)));
    ASSERT_TRUE(s.stack.execute(make_move(s.desktop, {created, calc}, 15, -5)));
    ASSERT_TRUE(s.stack.execute(make_group(s.desktop, {created, calc})));
    ASSERT_TRUE(s.stack.execute(make_bring_to_front(s.desktop, {calc})));

    ButtonProperties edited = properties_of(s.data<ButtonData>(word), no_files);
    edited.title = "Writer";
    edited.level = "250";
    edited.kind = kKindMenu;
    edited.menu_text = {"Letter", "Memo"};
    edited.menu_actions = {"[R,LETTER.EXE]", "[R,MEMO.EXE]"};
    ASSERT_FALSE(validate(edited));
    ASSERT_TRUE(s.stack.execute(make_edit(s.desktop, word, apply(edited, s.data<ButtonData>(word)))));

    // Cut the group and the scheduled button, and paste them on another page.
    const std::string clip = copy_text(s.desktop, {calc, created, word}, test::write_context());
    std::vector<CommandPtr> cut;
    cut.push_back(make_delete(s.desktop, {calc, created, word}));
    ASSERT_TRUE(s.stack.execute(combine(labels::kCut, std::move(cut))));
    EXPECT_TRUE(scheduled_ids(s.desktop).empty());
    Paste paste = make_paste(s.desktop, s.page("Secret").id, clip, test::read_context());
    ASSERT_EQ(paste.objects.size(), 3u) << paste.error;
    ASSERT_TRUE(s.stack.execute(std::move(paste.command)));

    PageId added = kNoId;
    ASSERT_TRUE(s.stack.execute(make_add_page(s.desktop, "Tools", &added)));
    ASSERT_TRUE(s.stack.execute(make_rename_page(s.desktop, s.page("Secret").id, "Private")));

    const std::string forward = s.file();
    EXPECT_NE(forward, original);
    EXPECT_NE(forward.find("Title=Writer"), std::string::npos);
    EXPECT_EQ(s.desktop.scheduled().size(), 1u) << "the pasted button takes its own place in the schedule";
    EXPECT_EQ(s.desktop.current()->id, added);

    while (s.stack.undo()) {
    }
    EXPECT_EQ(s.file(), original);
    EXPECT_EQ(scheduled_ids(s.desktop), original_schedule) << "the scheduled button is back under its id";
    EXPECT_FALSE(s.stack.dirty());

    while (s.stack.redo()) {
    }
    EXPECT_EQ(s.file(), forward);
    EXPECT_TRUE(s.stack.dirty());
}

TEST(EditorCommands, BringToFrontAndSendToBackTakeEachObjectInSelectionOrder) {
    struct Case {
        bool to_front;
        std::vector<int> selected;  // positions in the page's list, front first
        std::vector<int> after;     // empty: nothing changes
    } cases[] = {
        {true, {2}, {2, 0, 1, 3}},
        {true, {0}, {}},
        {true, {2, 3}, {3, 2, 0, 1}},
        {true, {0, 3}, {3, 0, 1, 2}},
        {false, {0}, {1, 2, 3, 0}},
        {false, {0, 1}, {2, 3, 0, 1}},
        {false, {3}, {}},
    };
    for (const auto& c : cases) {
        EditSession s;
        Page& p = s.desktop.add_page("P");
        for (int i = 0; i < 4; ++i) s.desktop.add_object(p, ShapeData{});
        const std::vector<ObjectId> before = EditSession::order(p);
        std::vector<ObjectId> selected;
        for (int i : c.selected) selected.push_back(before[static_cast<size_t>(i)]);
        CommandPtr cmd =
            c.to_front ? make_bring_to_front(s.desktop, selected) : make_send_to_back(s.desktop, selected);
        if (c.after.empty()) {
            EXPECT_EQ(cmd, nullptr);
            continue;
        }
        const ObjectEntry* first = &p.objects.front();
        ASSERT_TRUE(s.stack.execute(std::move(cmd)));
        std::vector<ObjectId> expected;
        for (int i : c.after) expected.push_back(before[static_cast<size_t>(i)]);
        EXPECT_EQ(EditSession::order(p), expected);
        EXPECT_EQ(&s.desktop.find_object(before[0]).entry->data, &first->data)
            << "restacking keeps the records where they are";
        s.stack.undo();
        EXPECT_EQ(EditSession::order(p), before);
    }
}

TEST(EditorCommands, GroupTakesTheLargestTagOfTheWholeDesktopAndUngroupClearsIt) {
    EditSession s;
    Page& master = s.desktop.create_master_page();
    Page& hidden = s.desktop.add_hidden_page("H");
    Page& p = s.desktop.add_page("P");
    ShapeData tagged;
    tagged.tag = 7;
    s.desktop.add_object(master, tagged);
    tagged.tag = 3;
    s.desktop.add_object(hidden, tagged);
    const ObjectId a = s.desktop.add_object(p, ButtonData{}).id;
    const ObjectId b = s.desktop.add_object(p, LineData{}).id;

    ASSERT_TRUE(s.stack.execute(make_group(s.desktop, {a, b})));
    EXPECT_EQ(tag_of(s.desktop.find_object(a).entry->data), 8);
    EXPECT_EQ(tag_of(s.desktop.find_object(b).entry->data), 8);
    ASSERT_TRUE(s.stack.execute(make_ungroup(s.desktop, {a, b})));
    EXPECT_EQ(tag_of(s.desktop.find_object(a).entry->data), 0);
    EXPECT_EQ(make_ungroup(s.desktop, {a, b}), nullptr) << "nothing to ungroup";
    s.stack.undo();
    EXPECT_EQ(tag_of(s.desktop.find_object(b).entry->data), 8);
}

TEST(EditorCommands, MovesAndResizesChangeOnlyTheBoundsAndNeverOverflow) {
    EditSession s;
    Page& p = s.desktop.add_page("P");
    LabelData far;
    far.bounds = {std::numeric_limits<int32_t>::max() - 1, -5, 10, 10};
    const ObjectId id = s.desktop.add_object(p, far).id;
    EXPECT_EQ(make_move(s.desktop, {id}, 0, 0), nullptr);
    ASSERT_TRUE(s.stack.execute(make_move(s.desktop, {id, id}, 10, -3)));
    EXPECT_EQ(s.data<LabelData>(id).bounds, (Bounds{std::numeric_limits<int32_t>::max(), -8, 10, 10}));
    ASSERT_TRUE(s.stack.execute(make_resize(s.desktop, id, {1, 2, 3, 4})));
    EXPECT_EQ(make_resize(s.desktop, id, {1, 2, 3, 4}), nullptr);
    far.bounds = {1, 2, 3, 4};
    EXPECT_EQ(s.data<LabelData>(id), far);
    EXPECT_EQ(s.stack.undo_label(), labels::kResize);
}

TEST(EditorCommands, AnEditOfAnotherKindOrOfNothingIsRefused) {
    EditSession s;
    Page& p = s.desktop.add_page("P");
    const ObjectId id = s.desktop.add_object(p, ShapeData{}).id;
    EXPECT_EQ(make_edit(s.desktop, id, ButtonData{}), nullptr) << "a shape cannot become a button";
    EXPECT_EQ(make_edit(s.desktop, id, ShapeData{}), nullptr);
    EXPECT_EQ(make_edit(s.desktop, 999, ShapeData{}), nullptr);
}

TEST(EditorCommands, PasteTakesOnlyObjectsAndARefusedTextPastesNothing) {
    EditSession s;
    Page& p = s.desktop.add_page("P");
    const ObjectId old = s.desktop.add_object(p, ShapeData{}).id;
    const std::string before = s.file();
    const PageAttributes attributes = p;

    ShapeData first;
    first.bounds = {1, 1, 10, 10};
    LabelData second;
    second.bounds = {2, 2, 10, 10};
    const WriteContext w = test::write_context();
    // Page lines in the clipboard must not touch the page pasted on.
    const std::string text = write_object_group(first, w) + "PageVisible=0\r\nPageTitle=Elsewhere\r\n" +
                             "PageAttrib=0 1 0 50 255 1\r\n" + write_object_group(second, w);
    Paste paste = make_paste(s.desktop, p.id, text, test::read_context());
    ASSERT_TRUE(paste.command) << paste.error;
    ASSERT_TRUE(s.stack.execute(std::move(paste.command)));
    EXPECT_EQ(EditSession::order(p), (std::vector<ObjectId>{paste.objects[1], paste.objects[0], old}))
        << "the last object of the text is on top";
    EXPECT_EQ(s.data<LabelData>(paste.objects[1]), second);
    EXPECT_EQ(s.desktop.pages().size(), 1u);
    EXPECT_EQ(static_cast<const PageAttributes&>(p), attributes);

    const std::string damaged = write_object_group(first, w) + "ShapeAttrib=1 2\r\n";
    const Paste refused = make_paste(s.desktop, p.id, damaged, test::read_context());
    EXPECT_EQ(refused.command, nullptr);
    EXPECT_FALSE(refused.error.empty());
    EXPECT_EQ(make_paste(s.desktop, p.id, "no objects here", test::read_context()).command, nullptr);

    s.stack.undo();
    EXPECT_EQ(s.file(), before);
}

TEST(EditorCommands, ObjectsMovedToAnotherPageKeepTheirIdsAndComeBackToTheirPlaces) {
    EditSession s;
    Page& master = s.desktop.create_master_page();
    Page& p = s.desktop.add_page("P");
    const ObjectId a = s.desktop.add_object(p, ShapeData{}).id;
    const ObjectId b = s.desktop.add_object(p, LineData{}).id;
    const ObjectId c = s.desktop.add_object(p, LabelData{}).id;
    const ObjectId m = s.desktop.add_object(master, ImageData{}).id;
    ASSERT_TRUE(s.stack.execute(make_move_to_page(s.desktop, {a, c, m}, master.id)));
    EXPECT_EQ(EditSession::order(master), (std::vector<ObjectId>{c, a, m}));
    EXPECT_EQ(EditSession::order(p), (std::vector<ObjectId>{b}));
    s.stack.undo();
    EXPECT_EQ(EditSession::order(p), (std::vector<ObjectId>{c, b, a}));
    EXPECT_EQ(EditSession::order(master), (std::vector<ObjectId>{m}));
}

TEST(EditorCommands, AStepIsPublishedOnceWithEachChangedObjectOnce) {
    EditSession s;
    Page& p = s.desktop.add_page("P");
    const ObjectId a = s.desktop.add_object(p, ShapeData{}).id;
    const ObjectId b = s.desktop.add_object(p, ShapeData{}).id;
    std::vector<CommandPtr> parts;
    parts.push_back(make_move(s.desktop, {a, b}, 1, 1));
    parts.push_back(make_group(s.desktop, {b, a}));
    ASSERT_TRUE(s.stack.execute(combine("Nudge", std::move(parts))));
    ASSERT_EQ(s.notices.size(), 1u);
    EXPECT_EQ(s.notices[0], (ChangeSet{{Change::What::Objects, p.id, {a, b}}}));

    ASSERT_TRUE(s.stack.execute(make_add_page(s.desktop, "Q")));
    EXPECT_EQ(s.notices.back().front().what, Change::What::PageList);
    s.subscription.reset();
    s.stack.undo();
    EXPECT_EQ(s.notices.size(), 2u) << "no notice after the subscription ends";
}

// ---- pages ----

std::vector<std::string> page_names(const Desktop& d) {
    std::vector<std::string> out;
    for (const auto& p : d.pages()) out.push_back(p->name + "#" + std::to_string(p->number));
    return out;
}

TEST(PageCommands, AddedPagesGoBeforeStartUpAndUndoGivesTheCurrentPageBack) {
    EditSession s;
    s.desktop.add_page("A");
    s.desktop.add_page("StartUp");
    Page& a = s.page("A");
    s.desktop.set_current(&a);
    PageId added = kNoId;
    ASSERT_TRUE(s.stack.execute(make_add_page(s.desktop, "B", &added)));
    EXPECT_EQ(page_names(s.desktop), (std::vector<std::string>{"A#0", "B#1", "StartUp#2"}));
    EXPECT_EQ(s.desktop.current()->id, added);
    s.stack.undo();
    EXPECT_EQ(page_names(s.desktop), (std::vector<std::string>{"A#0", "StartUp#1"}));
    EXPECT_EQ(s.desktop.current(), &a);
    s.stack.redo();
    EXPECT_EQ(s.desktop.page_by_id(added)->name, "B") << "redo brings back the same page";
}

TEST(PageCommands, DeletingAPageMovesToTheNextOrPreviousAndUndoBringsItBackWhole) {
    struct Case {
        const char* deleted;
        const char* current_after;
    } cases[] = {{"A", "B"}, {"B", "StartUp"}, {"StartUp", "B"}};
    for (const auto& c : cases) {
        EditSession s;
        s.desktop.create_master_page();
        for (const char* name : {"A", "B", "StartUp"}) s.desktop.add_page(name);
        ButtonData timed;
        timed.launch_day = kLaunchScheduled;
        Page& victim = s.page(c.deleted);
        const ObjectId button = s.desktop.add_object(victim, timed).id;
        s.desktop.set_current(&victim);
        const std::string before = s.file();

        ASSERT_TRUE(s.stack.execute(make_delete_page(s.desktop, victim.id)));
        EXPECT_EQ(s.desktop.current()->name, c.current_after) << c.deleted;
        EXPECT_FALSE(s.desktop.find_object(button));
        EXPECT_TRUE(s.desktop.scheduled().empty());
        EXPECT_EQ(s.desktop.pages().back()->number, 1) << "pages are renumbered";

        s.stack.undo();
        EXPECT_EQ(s.file(), before) << c.deleted;
        EXPECT_EQ(s.desktop.current()->name, c.deleted);
        EXPECT_EQ(s.desktop.find_object(button).page->name, c.deleted);
        EXPECT_EQ(s.desktop.scheduled().size(), 1u);
    }
    EditSession s;
    EXPECT_EQ(make_delete_page(s.desktop, s.desktop.create_master_page().id), nullptr)
        << "the master page stays";
}

TEST(PageCommands, RenamingRetargetsExactLinksOnEveryPage) {
    EditSession s;
    Page& master = s.desktop.create_master_page();
    Page& help = s.desktop.add_page("Help");
    Page& other = s.desktop.add_page("Other");
    ButtonData link;
    link.kind = kKindPageLink;
    link.page_link = "Help";
    const ObjectId on_master = s.desktop.add_object(master, link).id;
    const ObjectId on_page = s.desktop.add_object(other, link).id;
    link.page_link = "help";
    const ObjectId other_case = s.desktop.add_object(other, link).id;

    EXPECT_EQ(make_rename_page(s.desktop, help.id, "Help"), nullptr);
    ASSERT_TRUE(s.stack.execute(make_rename_page(s.desktop, help.id, "Info")));
    EXPECT_EQ(help.name, "Info");
    EXPECT_EQ(s.data<ButtonData>(on_master).page_link, "Info") << "the master page's links follow too";
    EXPECT_EQ(s.data<ButtonData>(on_page).page_link, "Info");
    EXPECT_EQ(s.data<ButtonData>(other_case).page_link, "help");
    s.stack.undo();
    EXPECT_EQ(help.name, "Help");
    EXPECT_EQ(s.data<ButtonData>(on_master).page_link, "Help");
}

TEST(PageCommands, ACopyIsWhatASaveAndLoadWouldGiveUnderFreshIds) {
    EditSession s;
    s.load("full.dtp");
    Page& source = s.page("Programs");
    const std::string before = s.file();
    PageCopy copy = make_copy_page(s.desktop, source.id, test::read_context(), test::write_context());
    ASSERT_TRUE(copy.command) << copy.error;
    ASSERT_TRUE(s.stack.execute(std::move(copy.command)));

    const Page& made = *s.desktop.page_by_id(copy.page);
    EXPECT_EQ(s.desktop.pages()[s.desktop.pages().size() - 2].get(), &made) << "before StartUp";
    EXPECT_EQ(s.desktop.current(), &made);
    EXPECT_EQ(write_page_group(made, test::write_context()), write_page_group(source, test::write_context()));
    for (const auto& e : made.objects) EXPECT_EQ(s.desktop.find_object(e.id).page, &made);
    s.stack.undo();
    EXPECT_EQ(s.file(), before);
}

TEST(PageCommands, LinksFollowOnlyThePageTheyLeadTo) {
    // A copy keeps its source's name; links lead to the first page of a name.
    EditSession s;
    Page& help = s.desktop.add_page("Help");
    Page& other = s.desktop.add_page("Other");
    ButtonData link;
    link.kind = kKindPageLink;
    link.page_link = "Help";
    const ObjectId button = s.desktop.add_object(other, link).id;
    PageCopy copy = make_copy_page(s.desktop, help.id, test::read_context(), test::write_context());
    ASSERT_TRUE(copy.command) << copy.error;
    ASSERT_TRUE(s.stack.execute(std::move(copy.command)));
    ASSERT_TRUE(s.stack.execute(make_rename_page(s.desktop, copy.page, "Help 2")));
    EXPECT_EQ(s.desktop.page_by_id(copy.page)->name, "Help 2");
    EXPECT_EQ(s.data<ButtonData>(button).page_link, "Help") << "the link leads to the source, not the copy";
    ASSERT_TRUE(s.stack.execute(make_rename_page(s.desktop, help.id, "Info")));
    EXPECT_EQ(s.data<ButtonData>(button).page_link, "Info");

    // Another page of the name in other letter case stands first: it is the one links reach.
    EditSession t;
    t.desktop.add_page("HELP");
    Page& second = t.desktop.add_page("Help");
    const ObjectId stays = t.desktop.add_object(second, link).id;
    ASSERT_TRUE(t.stack.execute(make_rename_page(t.desktop, second.id, "Info")));
    EXPECT_EQ(t.data<ButtonData>(stays).page_link, "Help");
}

TEST(PageCommands, MovingAPageBeforeOrAfterAnotherKeepsStartUpLast) {
    struct Case {
        const char* page;
        const char* target;
        PagePlace place;
        std::vector<std::string> after;  // empty: nothing changes
    } cases[] = {
        {"A", "C", PagePlace::After, {"B#0", "C#1", "A#2", "StartUp#3"}},
        {"C", "A", PagePlace::Before, {"C#0", "A#1", "B#2", "StartUp#3"}},
        {"A", "B", PagePlace::Before, {}},
        {"B", "A", PagePlace::After, {}},
        {"A", "StartUp", PagePlace::After, {}},
        {"StartUp", "A", PagePlace::Before, {}},
    };
    for (const auto& c : cases) {
        EditSession s;
        for (const char* name : {"A", "B", "C", "StartUp"}) s.desktop.add_page(name);
        CommandPtr cmd = make_move_page(s.desktop, s.page(c.page).id, s.page(c.target).id, c.place);
        if (c.after.empty()) {
            EXPECT_EQ(cmd, nullptr) << c.page << " to " << c.target;
            continue;
        }
        ASSERT_TRUE(s.stack.execute(std::move(cmd)));
        EXPECT_EQ(page_names(s.desktop), c.after);
        s.stack.undo();
        EXPECT_EQ(page_names(s.desktop), (std::vector<std::string>{"A#0", "B#1", "C#2", "StartUp#3"}));
    }
    EditSession s;
    for (const char* name : {"A", "B", "C"}) s.desktop.add_page(name);
    ASSERT_TRUE(s.stack.execute(make_drop_page(s.desktop, s.page("A").id, s.page("B").id)));
    EXPECT_EQ(page_names(s.desktop), (std::vector<std::string>{"B#0", "A#1", "C#2"}))
        << "from the left: after";
    ASSERT_TRUE(s.stack.execute(make_drop_page(s.desktop, s.page("C").id, s.page("B").id)));
    EXPECT_EQ(page_names(s.desktop), (std::vector<std::string>{"C#0", "B#1", "A#2"}))
        << "from the right: before";
}

TEST(PageCommands, SettingsCopiedToAllPagesLeaveNamesPasswordsSecurityAndPalettes) {
    EditSession s;
    Page& a = s.desktop.add_page("A");
    Page& b = s.desktop.add_page("B");
    b.password = "SECRET";
    b.security_level = 10;
    b.palette[3] = {9, 9, 9, 0};
    PageAttributes look = a;
    look.background = "sky.bmp";
    look.wallpaper = true;
    look.interval = 51;
    look.left_margin = 40;
    look.show_master_items = false;
    look.password = "NOT COPIED";
    std::vector<CommandPtr> ok;
    ok.push_back(make_page_settings(s.desktop, a.id, look));
    ok.push_back(make_copy_to_all_pages(s.desktop, a.id, look));
    ASSERT_TRUE(s.stack.execute(combine(labels::kPageSettings, std::move(ok))));
    EXPECT_EQ(a.password, "NOT COPIED");
    EXPECT_EQ(b.background, "sky.bmp");
    EXPECT_TRUE(b.wallpaper);
    EXPECT_EQ(b.interval, 51);
    EXPECT_EQ(b.left_margin, 40);
    EXPECT_FALSE(b.show_master_items);
    EXPECT_EQ(b.name, "B");
    EXPECT_EQ(b.password, "SECRET");
    EXPECT_EQ(b.security_level, 10);
    EXPECT_EQ(b.palette[3], (PaletteEntry{9, 9, 9, 0}));
    s.stack.undo();
    EXPECT_EQ(b.background, "");
    EXPECT_EQ(a.password, "");

    model::Palette edited = a.palette;
    edited[200] = {1, 2, 3, 0};
    EXPECT_EQ(make_set_palette(s.desktop, a.id, a.palette), nullptr) << "an unchanged palette is no step";
    ASSERT_TRUE(s.stack.execute(make_set_palette(s.desktop, a.id, edited)));
    EXPECT_EQ(s.stack.undo_label(), labels::kSetPalette);
    EXPECT_EQ(a.palette[200], (PaletteEntry{1, 2, 3, 0}));
    EXPECT_EQ(b.palette[200], s.desktop.logical_palette[200]) << "only the page it was set on";
    s.stack.undo();
    EXPECT_NE(a.palette[200], (PaletteEntry{1, 2, 3, 0}));

    ASSERT_TRUE(s.stack.execute(make_show_master_items(s.desktop, a.id, false)));
    EXPECT_EQ(s.stack.undo_label(), labels::kShowMasterItems);
    EXPECT_EQ(make_show_master_items(s.desktop, a.id, false), nullptr);
}

// The library moved entry 5 to 2 (2, 3 and 4 move up one): whatever named those icons, on the
// desktop or in a step still to be undone, names them after the move, and the file must be saved.
TEST(IconRenumbering, TheDesktopAndEveryStepOfTheHistoryFollowTheLibrary) {
    EditSession s;
    Page& master = s.desktop.create_master_page();
    Page& a = s.desktop.add_page("A");
    Page& b = s.desktop.add_page("B");
    s.desktop.add_page("StartUp");
    const auto button = [](uint16_t icon, uint16_t cursor) {
        ButtonData d;
        d.icon = icon;
        d.cursor = cursor;
        return d;
    };
    const ObjectId on_master = s.desktop.add_object(master, button(5, 0)).id;
    const ObjectId edited = s.desktop.add_object(a, button(2, 5)).id;
    const ObjectId deleted = s.desktop.add_object(a, button(4, 9)).id;
    s.desktop.add_object(b, button(3, 3));
    b.tab_icon = 5;
    a.tab_icon = -1;  // names no entry
    const PageId b_id = b.id;
    ASSERT_TRUE(s.stack.execute(make_edit(s.desktop, edited, button(3, 4))));
    ASSERT_TRUE(s.stack.execute(make_delete(s.desktop, {deleted})));
    ASSERT_TRUE(s.stack.execute(make_delete_page(s.desktop, b_id)));
    s.stack.mark_saved();

    s.stack.renumber_icons([](uint16_t n) { return iconlib::moved_number(n, 5, 2); });
    EXPECT_TRUE(s.stack.dirty()) << "the file still holds the old numbers";
    EXPECT_EQ(s.data<ButtonData>(on_master).icon, 2);
    EXPECT_EQ(s.data<ButtonData>(edited).icon, 4);
    EXPECT_EQ(s.data<ButtonData>(edited).cursor, 5);
    EXPECT_EQ(s.desktop.find_page("A")->tab_icon, -1);

    while (s.stack.undo()) {
    }
    EXPECT_EQ(s.data<ButtonData>(edited).icon, 3) << "the edit's old side, renumbered";
    EXPECT_EQ(s.data<ButtonData>(edited).cursor, 2);
    EXPECT_EQ(s.data<ButtonData>(deleted).icon, 5);
    EXPECT_EQ(s.data<ButtonData>(deleted).cursor, 9);
    const Page* back = s.desktop.find_page("B");
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->tab_icon, 2);
    const auto& kept = std::get<ButtonData>(back->objects.front().data);
    EXPECT_EQ(kept.icon, 4);
    EXPECT_EQ(kept.cursor, 4);
}

}  // namespace
}  // namespace vx::editor
