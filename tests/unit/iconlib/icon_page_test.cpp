#include "iconlib/icon_page.h"

#include <gtest/gtest.h>

#include "unit/iconlib/iconlib_fixtures.h"

namespace vx::iconlib {
namespace {

using namespace vx::iconlib::testing;

std::vector<IndexRecord> index_of(size_t count, std::vector<size_t> dead = {}) {
    std::vector<IndexRecord> recs(count);
    for (auto& r : recs) r.type = kTypeIcon;
    for (size_t d : dead) recs[d].type = -kTypeIcon;
    return recs;
}

TEST(IconPage, ButtonsSkipDeletedEntriesAndScrollByRows) {
    EXPECT_EQ(scroll_maximum(0), 0);
    EXPECT_EQ(scroll_maximum(1), 0);
    EXPECT_EQ(scroll_maximum(10), 0);
    EXPECT_EQ(scroll_maximum(11), 1);
    EXPECT_EQ(scroll_maximum(75), 7);

    const auto recs = index_of(75, {1, 2, 12});
    auto buttons = fill_buttons(recs, 0);
    EXPECT_EQ(buttons[0], 0);
    EXPECT_EQ(buttons[1], 3);
    EXPECT_EQ(buttons[9], 11);
    EXPECT_EQ(buttons[10], 13);
    EXPECT_EQ(buttons[69], 72);

    buttons = fill_buttons(recs, 1);
    EXPECT_EQ(buttons[0], 10);
    EXPECT_EQ(buttons[2], 13);
    EXPECT_EQ(buttons[63], 74);
    EXPECT_EQ(buttons[64], -1);
    EXPECT_EQ(fill_buttons(recs, 9)[0], -1);
    EXPECT_EQ(fill_buttons({}, 0)[0], -1);
}

TEST(IconPage, OpeningAndKeys) {
    EXPECT_EQ(open_on(47).position, 4);
    EXPECT_EQ(open_on(47).button, 7);

    struct Case {
        int from;
        MarkKey key;
        int to;
    };
    const std::vector<Case> cases = {
        {5, MarkKey::left, 4}, {0, MarkKey::left, 0}, {69, MarkKey::right, 69}, {9, MarkKey::right, 10},
        {15, MarkKey::up, 5},  {5, MarkKey::up, 5},   {55, MarkKey::down, 65},  {65, MarkKey::down, 65},
    };
    for (const auto& c : cases) EXPECT_EQ(move_mark(c.from, c.key), c.to) << c.from;
}

TEST(IconPage, AnimationsAreFoundByTypeOrContent) {
    Bytes chunks;
    append_chunk(chunks, "anih", anih(2, 2));
    append_chunk(chunks, "LIST", fram_list(2));
    const Bytes ani = riff(chunks);

    EXPECT_EQ(entry_animation({0, kTypeAnimated, ani})->frames.size(), 2u);
    EXPECT_TRUE(entry_animation({0, kTypeCursor, ani})) << "an animated cursor added under a .CUR name";
    EXPECT_FALSE(entry_animation({0, kTypeIcon, tiny_icon({1})}));
    EXPECT_FALSE(entry_animation({0, kTypeAnimated, Bytes(ani.begin(), ani.begin() + 40)}));
}

}  // namespace
}  // namespace vx::iconlib
