#include "editor/button_properties.h"

#include <gtest/gtest.h>

#include "editor/object_commands.h"
#include "unit/editor/editor_fixture.h"

namespace vx::editor {
namespace {

using namespace vx::model;

bool only_desk_files(const std::string& name) {
    return name.ends_with(".DTP");
}

ButtonData program() {
    ButtonData b;
    b.kind = kKindProgram;
    b.bounds = {12, 34, 80, 40};
    b.caption = "&Word~Processor";
    b.command = "WINWORD.EXE [F,Select a File=*.*]\r\rNOTEPAD.EXE\r";
    b.command_lines = 3;
    b.directory = "C:\\Office";
    b.btn_style = 15;
    b.color = 255;
    b.font = {"Arial", 10, 0x00FF00, 3};
    b.pen = {2, 1};
    b.password = "pw";
    b.launch_password = true;
    b.security_level = 500;
    b.group = 2;
    b.sound = "ding.wav";
    b.sound_on = true;
    b.speed_key = 0x4041;
    b.speed_key_shown = true;
    b.icon = 7;
    b.cursor = 3;
    b.show_cursor = true;
    b.launch_day = 0x1FFF;
    b.launch_date = 46000.375;
    return b;
}

TEST(ButtonProperties, OpeningAndPressingOkChangesNoButton) {
    ButtonData menu;
    menu.kind = kKindMenu;
    menu.command = "Letter\rMemo\r/\\\r[R,LETTER.EXE]\r[R,MEMO.EXE]\r";
    menu.command_lines = 5;
    ButtonData page;
    page.kind = kKindPageLink;
    page.page_link = kNextPage;
    ButtonData desk;
    desk.kind = kKindPageLink;
    desk.page_link = "C:\\VX\\OTHER.DTP";
    ButtonData web;
    web.kind = kKindBrowser;
    web.browser_address = "http://example.org/";
    web.browser = true;
    ButtonData unset;  // kind 0: a file may hold one the editor never set
    unset.command = "KEPT\r";
    unset.command_lines = 1;
    for (const ButtonData& b : {program(), menu, page, desk, web, unset}) {
        const ButtonProperties p = properties_of(b, only_desk_files);
        EXPECT_FALSE(validate(p));
        EXPECT_EQ(apply(p, b), b) << b.command << b.page_link;
    }
    EXPECT_TRUE(properties_of(desk, only_desk_files).desk);
    EXPECT_EQ(properties_of(page, only_desk_files).page, kNextPage);
    const ButtonProperties opened = properties_of(menu, only_desk_files);
    EXPECT_EQ(opened.menu_text, (std::vector<std::string>{"Letter", "Memo"}));
    EXPECT_EQ(opened.menu_actions, (std::vector<std::string>{"[R,LETTER.EXE]", "[R,MEMO.EXE]"}));
    EXPECT_EQ(properties_of(program(), only_desk_files).command,
              (std::vector<std::string>{"WINWORD.EXE [F,Select a File=*.*]", "", "NOTEPAD.EXE"}));
}

TEST(ButtonProperties, EachKindStoresItsOwnFields) {
    ButtonProperties p = properties_of(ButtonData{}, only_desk_files);
    p.kind = kKindMenu;
    p.menu_text = {"One", "Two"};
    p.menu_actions = {"[P,Help]", "[X,<EXIT>]"};
    ButtonData b = apply(p, ButtonData{});
    EXPECT_EQ(b.command, "One\rTwo\r/\\\r[P,Help]\r[X,<EXIT>]\r");
    EXPECT_EQ(b.command_lines, 5);

    p.kind = kKindProgram;
    p.command = {"A.EXE", "B.EXE"};
    p.directory = "C:\\A";
    b = apply(p, b);
    EXPECT_EQ(b.command, "A.EXE\rB.EXE\r");
    EXPECT_EQ(b.command_lines, 2);
    p.command.clear();
    EXPECT_EQ(apply(p, b).command_lines, 0);

    p.kind = kKindPageLink;
    p.page = "Help";
    p.desk_file = "C:\\X.DTP";
    EXPECT_EQ(apply(p, b).page_link, "Help");
    p.desk = true;
    b = apply(p, b);
    EXPECT_EQ(b.page_link, "C:\\X.DTP");
    EXPECT_EQ(b.command, "A.EXE\rB.EXE\r") << "another kind's fields are kept";

    p.kind = kKindBrowser;
    p.address = std::string(127, 'a') + "\xC3\xA9" + "tail";
    p.password = std::string(120, 'p');
    b = apply(p, b);
    EXPECT_EQ(b.browser_address, std::string(127, 'a') + "\xC3\xA9") << "128 characters, not bytes";
    EXPECT_EQ(b.password.size(), kButtonPasswordMax);
    EXPECT_EQ(b.kind, kKindBrowser);
}

TEST(ButtonProperties, PositionAndSizeAsTyped) {
    struct Case {
        const char *x, *y, *w, *h;
        Bounds bounds;
    } cases[] = {
        {"10", "20", "30", "40", {10, 20, 30, 40}}, {" -5", "+7", "30 ", "40", {-5, 7, 30, 40}},
        {"1O", "20", "30", "40", kFallbackBounds},  {"10", "", "30", "40", kFallbackBounds},
        {"10", "20", "0", "0", {10, 20, 30, 30}},   {"10", "20", "-4", "9", {10, 20, 30, 9}},
    };
    for (const auto& c : cases) {
        ButtonProperties p;
        p.level = "0";
        p.x = c.x;
        p.y = c.y;
        p.w = c.w;
        p.h = c.h;
        EXPECT_EQ(apply(p, ButtonData{}).bounds, c.bounds) << c.x << "," << c.y << "," << c.w << "," << c.h;
    }
}

TEST(ButtonProperties, OkRefusesALevelOutsideZeroToOneThousand) {
    ButtonProperties p;
    p.level = "1000";
    EXPECT_EQ(validate(p), std::nullopt);
    p.level = "1001";
    EXPECT_EQ(validate(p),
              (FieldError{ButtonField::Level, "The security level must be a number from 0 to 1000."}));
}

TEST(ButtonProperties, AnEditGoesThroughTheCommandPathAndTheScheduleFollowsIt) {
    test::EditSession s;
    Page& page = s.desktop.add_page("P");
    ButtonData plain = program();
    plain.launch_day = 0;
    const ObjectId id = s.desktop.add_object(page, plain).id;

    ButtonProperties p = properties_of(plain, only_desk_files);
    p.title = "Nightly";
    p.level = "0";
    p.launch_day = kLaunchScheduled | 0x0FFF;
    ASSERT_FALSE(validate(p));
    ASSERT_TRUE(s.stack.execute(make_edit(s.desktop, id, apply(p, plain))));
    EXPECT_EQ(s.data<ButtonData>(id).caption, "Nightly");
    EXPECT_EQ(s.data<ButtonData>(id).security_level, 0);
    ASSERT_EQ(s.desktop.scheduled().size(), 1u);
    EXPECT_EQ(s.desktop.scheduled()[0].object, id);

    s.stack.undo();
    EXPECT_EQ(s.data<ButtonData>(id), plain);
    EXPECT_TRUE(s.desktop.scheduled().empty());
    s.stack.redo();
    EXPECT_EQ(s.data<ButtonData>(id), apply(p, plain));
}

TEST(ButtonProperties, EditLinesAreTheLinesAMultiLineEditShows) {
    EXPECT_EQ(edit_lines(""), std::vector<std::string>{});
    EXPECT_EQ(edit_lines("A\r\nB"), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(edit_lines("A\r\n"), (std::vector<std::string>{"A"}));
    EXPECT_EQ(edit_lines("A\r\n\r\nB\nC\rD"), (std::vector<std::string>{"A", "", "B", "C", "D"}));
    EXPECT_EQ(edit_lines("\r\n"), (std::vector<std::string>{""}));
}

}  // namespace
}  // namespace vx::editor
