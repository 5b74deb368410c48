#include "model/desktop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace vx::model {
namespace {

std::vector<std::string> names(const Desktop& d) {
    std::vector<std::string> out;
    for (const auto& p : d.pages()) out.push_back(p->name + "#" + std::to_string(p->number));
    return out;
}

std::vector<std::string> names(const std::vector<const Page*>& pages) {
    std::vector<std::string> out;
    for (const Page* p : pages) out.push_back(p->number == kMasterPageNumber ? "Master" : p->name);
    return out;
}

TEST(Desktop, NewPagesGoBeforeStartUpAndTakeItsNumber) {
    Desktop d;
    d.create_master_page();
    d.add_page("A");
    d.add_page("B");
    d.add_page("StartUp");
    Page& c = d.add_page("C");
    EXPECT_EQ(names(d), (std::vector<std::string>{"A#0", "B#1", "C#2", "StartUp#3"}));
    EXPECT_EQ(d.current(), &c);

    EXPECT_EQ(names(d.tab_pages(false)), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(names(d.tab_pages(true)), (std::vector<std::string>{"Master", "A", "B", "C", "StartUp"}));
    // A damaged file with two "StartUp" pages must keep their order through save and load.
    d.add_page("StartUp");
    d.add_page("D");
    EXPECT_EQ(names(d), (std::vector<std::string>{"A#0", "B#1", "C#2", "D#3", "StartUp#4", "StartUp#5"}));
    d.delete_page(5);
    d.delete_page(3);
    d.renumber_pages();
    const auto menu = d.page_menu_items();
    ASSERT_EQ(menu.size(), 4u);
    EXPECT_TRUE(menu[3].hidden);
    EXPECT_FALSE(menu[2].hidden);
}

TEST(Desktop, NewPageRecordTakesTheNewPageValuesAndTheLogicalPalette) {
    Desktop d;
    d.logical_palette[7] = {1, 2, 3, 4};
    const Page& p = d.add_page("P");
    EXPECT_TRUE(p.tile_image && p.visible && p.show_master_items);
    EXPECT_FALSE(p.center_image || p.wallpaper);
    EXPECT_EQ(p.left_margin, 10);
    EXPECT_EQ(p.top_margin, 10);
    EXPECT_EQ(p.security_level, 1000);
    EXPECT_EQ(p.tab_icon, 3);
    EXPECT_EQ(p.interval, 200);
    EXPECT_EQ(p.background_color, kSilver);
    EXPECT_EQ(p.palette[7], (PaletteEntry{1, 2, 3, 4}));
    EXPECT_TRUE(p.speed_keys_free.all());
}

TEST(Desktop, FindPageByNumber) {
    Desktop d;
    EXPECT_EQ(d.find_page(-1), nullptr);
    Page& master = d.create_master_page();
    Page& a = d.add_page("A");
    EXPECT_EQ(d.find_page(-1), &master) << "also with no objects";
    EXPECT_EQ(d.find_page(0), &a);
    EXPECT_EQ(d.find_page(1), nullptr);
    EXPECT_EQ(d.last_page(), &a);
}

TEST(Desktop, DeletingTheCurrentPageMovesToNextElsePrevious) {
    struct Case {
        const char* deleted;
        const char* current_after;  // nullptr: none
    } cases[] = {{"A", "B"}, {"B", "C"}, {"C", "B"}};
    for (const auto& c : cases) {
        Desktop d;
        d.add_page("A");
        d.add_page("B");
        d.add_page("C");
        Page* victim = d.find_page(std::string_view(c.deleted));
        d.set_current(victim);
        ASSERT_TRUE(d.delete_page(victim->number));
        ASSERT_NE(d.current(), nullptr) << c.deleted;
        EXPECT_EQ(d.current()->name, c.current_after) << c.deleted;
    }
    Desktop single;
    single.add_page("Only");
    EXPECT_TRUE(single.delete_page(0));
    EXPECT_EQ(single.current(), nullptr);
    EXPECT_FALSE(single.delete_page(5));
}

TEST(Desktop, MenuColumnsBreakEveryTwentyItems) {
    Desktop d;
    for (int i = 0; i < 41; ++i) d.add_page("P" + std::to_string(i));
    const auto items = d.page_menu_items();
    for (size_t i = 0; i < items.size(); ++i) EXPECT_EQ(items[i].new_column, i == 20 || i == 40) << i;
}

TEST(Desktop, ObjectsAreNewestFirstAndLeaveTheScheduleWhenDeleted) {
    Desktop d;
    Page& p = d.add_page("P");
    ButtonData first;
    first.caption = "first";
    ObjectEntry& e1 = d.add_object(p, first);
    ObjectEntry& e2 = d.add_object(p, ShapeData{});
    EXPECT_EQ(&p.objects.front(), &e2);
    d.schedule(e1.id);
    d.schedule(e1.id);
    EXPECT_EQ(d.scheduled().size(), 1u);
    d.delete_object(p, e1);
    EXPECT_TRUE(d.scheduled().empty());
    EXPECT_EQ(p.objects.size(), 1u);

    ObjectEntry& e3 = d.add_object(p, ButtonData{});
    d.schedule(e3.id);
    d.delete_page(p.number);
    EXPECT_TRUE(d.scheduled().empty()) << "a deleted page's buttons cannot stay scheduled";
}

TEST(Desktop, ClearFreesEveryPageIncludingHiddenOnes) {
    Desktop d;
    d.create_master_page();
    d.add_page("A");
    d.add_hidden_page("H");
    EXPECT_EQ(d.hidden_pages().size(), 1u);
    EXPECT_TRUE(d.pages().size() == 1u);
    d.clear();
    EXPECT_TRUE(d.pages().empty());
    EXPECT_TRUE(d.hidden_pages().empty());
    EXPECT_EQ(d.master(), nullptr);
    EXPECT_EQ(d.current(), nullptr);
}

TEST(Desktop, IdsNameOneRecordForTheDesktopsWholeLife) {
    Desktop d;
    std::vector<uint64_t> seen;
    for (int round = 0; round < 2; ++round) {
        d.clear();
        Page& master = d.create_master_page();
        Page& page = d.add_page("P");
        Page& hidden = d.add_hidden_page("H");
        const ObjectEntry& on_master = d.add_object(master, ShapeData{});
        const ObjectEntry& on_page = d.add_object(page, ButtonData{});
        const ObjectEntry& on_hidden = d.add_object(hidden, LineData{});
        for (const auto& [p, e] :
             {std::pair{&master, &on_master}, {&page, &on_page}, {&hidden, &on_hidden}}) {
            const ObjectRef ref = d.find_object(e->id);
            EXPECT_EQ(ref.page, p);
            EXPECT_EQ(ref.entry, e);
            EXPECT_EQ(d.page_by_id(p->id), p);
        }
        for (uint64_t id : {master.id, page.id, hidden.id, on_master.id, on_page.id, on_hidden.id}) {
            EXPECT_NE(id, kNoId);
            EXPECT_EQ(std::count(seen.begin(), seen.end(), id), 0) << "id " << id << " handed out twice";
            seen.push_back(id);
        }
    }
    EXPECT_FALSE(d.find_object(kNoId));
    EXPECT_FALSE(d.find_object(seen.front())) << "an id of a cleared desktop names nothing";
}

TEST(Desktop, AnObjectTakenOutGoesBackWhereItStoodAndTheScheduleFollowsItsLaunchWord) {
    Desktop d;
    Page& p = d.add_page("P");
    ButtonData timed;
    timed.launch_day = kLaunchScheduled;
    const ObjectId back = d.add_object(p, ShapeData{}).id;
    const ObjectId middle = d.add_object(p, timed).id;
    d.add_object(p, LabelData{});
    ASSERT_EQ(d.scheduled().size(), 1u);
    EXPECT_EQ(d.scheduled()[0].object, middle);

    const auto placed = d.remove_object(middle);
    ASSERT_TRUE(placed);
    EXPECT_EQ(placed->index, 1u);
    EXPECT_TRUE(d.scheduled().empty());
    EXPECT_FALSE(d.remove_object(middle));

    d.insert_object(p, placed->index, placed->entry);
    EXPECT_EQ(std::next(p.objects.begin())->id, middle);
    EXPECT_EQ(p.objects.back().id, back);
    ASSERT_EQ(d.scheduled().size(), 1u) << "a button put back is scheduled again";

    ObjectEntry& entry = *d.find_object(middle).entry;
    d.set_object_data(entry, ButtonData{});
    EXPECT_TRUE(d.scheduled().empty()) << "clearing the scheduling bit takes it out";
}

TEST(Desktop, MovePageRenumbers) {
    Desktop d;
    d.add_page("A");
    d.add_page("B");
    d.add_page("C");
    d.move_page(2, 0);
    EXPECT_EQ(names(d), (std::vector<std::string>{"C#0", "A#1", "B#2"}));
}

}  // namespace
}  // namespace vx::model
