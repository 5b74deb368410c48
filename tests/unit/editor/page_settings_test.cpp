#include "editor/page_settings.h"

#include <gtest/gtest.h>

#include "editor/page_commands.h"
#include "unit/editor/editor_fixture.h"

namespace vx::editor {
namespace {

using model::Page;
using model::PageAttributes;
using test::EditSession;

TEST(PageSettings, TheSpeedTrackBarStepsTenMillisecondsFromOne) {
    struct Case {
        int position;
        int interval;
    } const to_interval[] = {{0, 1}, {19, 191}, {40, 401}, {-3, 1}, {41, 401}};
    for (const Case& c : to_interval) EXPECT_EQ(interval_of_track(c.position), c.interval) << c.position;
    struct Back {
        int32_t interval;
        int position;
    } const to_position[] = {{200, 19}, {191, 19}, {201, 20}, {1, 0}, {0, 0}, {-50, 0}, {10000, 40}};
    for (const Back& c : to_position) EXPECT_EQ(track_of_interval(c.interval), c.position) << c.interval;
}

TEST(PageSettings, TypedMarginsComeIntoRangeOrKeepWhatWasThere) {
    struct Case {
        const char* typed;
        int32_t margin;
    } const cases[] = {{"25", 25},  {" 7 ", 7},     {"0", 0},          {"999", 999}, {"1000", 999},
                       {"0005", 5}, {"000", 0},     {"12345678901", 999}, {"", 33},  {"  ", 33},
                       {"-5", 33},  {"1e3", 33},    {"4 2", 33}};
    for (const Case& c : cases) EXPECT_EQ(margin_from(c.typed, 33), c.margin) << '"' << c.typed << '"';
}

TEST(PageSettings, OkWithNothingTouchedChangesNothing) {
    PageAttributes fresh;  // 200 ms sits between two of the track bar's steps
    PageAttributes odd;
    odd.tile_image = true;
    odd.center_image = true;  // a file may say both
    odd.interval = 57;
    odd.visible = false;
    odd.background = "missing.bmp";
    for (const PageAttributes& page : {fresh, odd})
        for (bool admin : {false, true}) {
            const PageSettingsValues v = page_settings_of(page, admin);
            EXPECT_EQ(apply(v, page, std::nullopt), page) << "administrator " << admin;
        }
    EXPECT_EQ(page_settings_of(fresh, false).track, 19);
}

TEST(PageSettings, OkTakesTheDialogsValues) {
    PageAttributes before;
    before.background = "old.bmp";
    PageSettingsValues v = page_settings_of(before, true);
    v.wallpaper = true;
    v.background_color = model::kBlue;
    v.image = "sky.bmp";
    check_layout(v, PictureLayout::Stretch);
    v.tab_icon = 12;
    v.track = 4;
    v.left_margin = "40";
    v.top_margin = "5000";
    v.show_master_items = false;
    v.hide = true;

    PageAttributes after = apply(v, before, std::string("C:\\VX\\sky.bmp"));
    EXPECT_EQ(after.background, "sky.bmp") << "kept as typed";
    EXPECT_TRUE(after.wallpaper);
    EXPECT_EQ(after.background_color, model::kBlue);
    EXPECT_FALSE(after.tile_image);
    EXPECT_FALSE(after.center_image);
    EXPECT_EQ(after.tab_icon, 12);
    EXPECT_EQ(after.interval, 41);
    EXPECT_EQ(after.left_margin, 40);
    EXPECT_EQ(after.top_margin, 999);
    EXPECT_FALSE(after.show_master_items);
    EXPECT_FALSE(after.visible);

    EXPECT_EQ(apply(v, before, std::nullopt).background, "old.bmp") << "a name found nowhere is ignored";
    v.image.clear();
    EXPECT_EQ(apply(v, before, std::nullopt).background, "") << "an empty box takes the image off";
    v.hide_offered = false;
    EXPECT_TRUE(apply(v, before, std::nullopt).visible) << "the hide box counts only where it was shown";

    check_layout(v, PictureLayout::Center);
    EXPECT_EQ(layout_of(v), PictureLayout::Center);
    after = apply(v, before, std::nullopt);
    EXPECT_FALSE(after.tile_image);
    EXPECT_TRUE(after.center_image);
}

TEST(PageSettings, CopyToAllPagesIsOneStepThatKeepsEachPagesOwnFields) {
    EditSession s;
    s.desktop.create_master_page();
    Page& a = s.desktop.add_page("A");
    Page& b = s.desktop.add_page("B");
    Page& startup = s.desktop.add_page("StartUp");
    b.password = "SECRET";
    b.security_level = 10;
    b.group = 2;
    b.palette[3] = {9, 9, 9, 0};
    const std::string before = s.file();

    PageSettingsValues v = page_settings_of(a, true);
    v.image = "sky.bmp";
    v.wallpaper = true;
    v.track = 2;
    v.top_margin = "70";
    v.hide = true;
    v.copy_to_all = true;
    ASSERT_TRUE(s.stack.execute(make_page_settings_ok(s.desktop, a.id, v, std::string("sky.bmp"))));
    EXPECT_EQ(s.stack.undo_label(), labels::kPageSettings);
    for (const Page* p : {&b, &startup}) {
        EXPECT_EQ(p->background, "sky.bmp") << p->name;
        EXPECT_TRUE(p->wallpaper) << p->name;
        EXPECT_EQ(p->interval, 21) << p->name;
        EXPECT_EQ(p->top_margin, 70) << p->name;
        EXPECT_TRUE(p->visible) << p->name << ": visibility is the page's own";
    }
    EXPECT_FALSE(a.visible);
    EXPECT_EQ(b.name, "B");
    EXPECT_EQ(b.password, "SECRET");
    EXPECT_EQ(b.security_level, 10);
    EXPECT_EQ(b.group, 2u);
    EXPECT_EQ(b.palette[3], (model::PaletteEntry{9, 9, 9, 0}));
    EXPECT_EQ(s.desktop.master()->background, "") << "the master page has no look of its own";
    s.stack.undo();
    EXPECT_EQ(s.file(), before);

    v.copy_to_all = false;
    EXPECT_EQ(make_page_settings_ok(s.desktop, a.id, page_settings_of(a, true), std::nullopt), nullptr)
        << "nothing changed, no step";
}

}  // namespace
}  // namespace vx::editor
