#include "editor/button_properties.h"

#include <gtest/gtest.h>

#include "editor/object_commands.h"
#include "model/shortcut.h"
#include "port/prompter.h"
#include "unit/editor/editor_fixture.h"
#include "unit/port_fakes.h"

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

TEST(ButtonProperties, TheSpeedKeyListOffersKeysNoOtherButtonOfThePageHolds) {
    EXPECT_EQ(model::shortcut_to_text(speed_key_at(0)), "A");
    EXPECT_EQ(model::shortcut_to_text(speed_key_at(26)), "0");
    EXPECT_EQ(model::shortcut_to_text(speed_key_at(36)), "F1");
    EXPECT_EQ(model::shortcut_to_text(speed_key_at(48)), "Ctrl+A");
    EXPECT_EQ(model::shortcut_to_text(speed_key_at(85)), "Ctrl+F12");

    Desktop desktop;
    Page& page = desktop.add_page("P");
    ButtonData other;
    other.speed_key = speed_key_at(1);  // B
    ButtonData own;
    own.speed_key = speed_key_at(48);  // Ctrl+A
    desktop.add_object(page, other);
    desktop.add_object(page, own);
    ShapeData shape;
    desktop.add_object(page, shape);
    // A loaded page starts with every flag set whatever its buttons hold: the offer reads the
    // buttons, so a key is never handed out twice.
    ASSERT_TRUE(page.speed_keys_free.all());
    const auto free = free_speed_keys(page);
    EXPECT_EQ(free.count(), kSpeedKeyCount - 2);

    struct Case {
        uint16_t own;
        uint16_t key;
        bool offered;
    } cases[] = {
        {own.speed_key, speed_key_at(1), false},  {own.speed_key, speed_key_at(48), true},
        {own.speed_key, speed_key_at(0), true},   {0, speed_key_at(48), false},
        {other.speed_key, speed_key_at(1), true}, {0, 0, false},
    };
    for (const Case& c : cases) {
        const auto keys = offered_speed_keys(free, c.own);
        EXPECT_EQ(std::find(keys.begin(), keys.end(), c.key) != keys.end(), c.offered)
            << model::shortcut_to_text(c.own) << " / " << model::shortcut_to_text(c.key);
    }
    const auto keys = offered_speed_keys(free, own.speed_key);
    EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end(), [](uint16_t a, uint16_t b) {
        auto at = [](uint16_t k) {
            for (size_t i = 0; i < kSpeedKeyCount; ++i)
                if (speed_key_at(i) == k) return i;
            return kSpeedKeyCount;
        };
        return at(a) < at(b);
    })) << "table order";
}

TEST(ButtonProperties, ATemplateGetsASpaceBeforeItUnlessTheCaretStartsItsLine) {
    const std::string_view confirm = kCommandTemplates[4].text;
    EXPECT_EQ(confirm, "[O,Continue?]");
    EXPECT_EQ(template_insertion(confirm, 0), "[O,Continue?]");
    EXPECT_EQ(template_insertion(confirm, 7), " [O,Continue?]");
    EXPECT_EQ(kCommandTemplates[1].text, "[E,Select an Executable file=C:\\]");
    EXPECT_EQ(kCommandTemplates[14].text, "<LOGOFF>");
}

TEST(ButtonProperties, MenuBuilderLinesGoBeforeTheCaretsLine) {
    const std::vector<std::string> lines = {"One", "Two"};
    EXPECT_EQ(insert_line_before(lines, 0, std::string(kSeparatorLine)),
              (std::vector<std::string>{"-", "One", "Two"}));
    EXPECT_EQ(insert_line_before(lines, 1, std::string(kBlankLine)),
              (std::vector<std::string>{"One", " ", "Two"}));
    EXPECT_EQ(insert_line_before(lines, 9, "[X,<EXIT>]"),
              (std::vector<std::string>{"One", "Two", "[X,<EXIT>]"}));
    EXPECT_EQ(insert_line_before({}, 0, goto_page_action("Help")), std::vector<std::string>{"[P,Help]"});
    EXPECT_EQ(run_program_action("C:\\A.EXE"), "[R,C:\\A.EXE]");
    EXPECT_EQ(run_button_action("Word"), "[B,Word]");
}

TEST(ButtonProperties, PageChoicesLeaveOutStartUpAndEndWithNextAndPrevious) {
    Desktop desktop;
    desktop.add_page("Work");
    desktop.add_page("Play");
    desktop.add_page(std::string(kStartUpPage));
    Page& next_named = desktop.add_page("Next Page");  // a page may carry the entry's name
    const auto choices = page_choices(desktop);
    EXPECT_EQ(choices, (std::vector<std::string>{"Work", "Play", "Next Page", "Next Page", "Previous Page"}));
    struct Case {
        std::string_view target;
        size_t index;
    } cases[] = {{"Play", 1}, {kNextPage, 3}, {kPreviousPage, 4}, {"Gone", 0}, {"", 0}};
    for (const Case& c : cases) EXPECT_EQ(page_choice_index(choices, c.target), c.index) << c.target;

    ButtonData titled;
    titled.caption = "First";
    ButtonData untitled;
    ButtonData later;
    later.caption = "Second";
    for (const ButtonData& b : {titled, untitled, later}) desktop.add_object(next_named, b);
    EXPECT_EQ(titled_buttons(next_named), (std::vector<std::string>{"First", "Second"}));
}

TEST(ButtonProperties, TabsHelpAndOptionsFollowTheKind) {
    EXPECT_EQ(button_tabs(kKindProgram), (std::vector<std::string>{"Software", "Appearance", "Miscellaneous",
                                                                   "Password", "Timed Execution"}));
    EXPECT_EQ(button_tabs(kKindPageLink),
              (std::vector<std::string>{"Pages", "Appearance", "Miscellaneous", "Password"}));
    EXPECT_EQ(button_tabs(kKindMenu)[0], "Menu");
    EXPECT_EQ(button_tabs(kKindBrowser)[0], "Browser Services");
    EXPECT_EQ(button_tabs(kKindNone), button_tabs(kKindProgram));
    EXPECT_EQ(kind_help_context(kKindPageLink), 751);
    EXPECT_EQ(kind_help_context(kKindMenu), std::nullopt);
    EXPECT_EQ(tab_help_context(3), 755);
    EXPECT_EQ(tab_help_context(kTimedExecutionTab), std::nullopt);
    // Back on the first tab, the kind's own topic; Menu has none and keeps the one shown.
    const struct {
        uint8_t kind;
        int tab;
        std::optional<int> topic;
    } shown[] = {{kKindProgram, 0, 750}, {kKindPageLink, 0, 751}, {kKindBrowser, 0, 752},
                 {kKindMenu, 0, std::nullopt}, {kKindPageLink, 1, 753}, {kKindMenu, 3, 755}};
    for (const auto& c : shown) EXPECT_EQ(shown_tab_help_context(c.kind, c.tab), c.topic) << int(c.kind) << c.tab;
    EXPECT_FALSE(window_options_apply(kKindPageLink));
    EXPECT_TRUE(window_options_apply(kKindBrowser));

    struct Case {
        int32_t style;
        int64_t colors;
        bool offered;
    } cases[] = {{14, 256, false}, {15, 256, true}, {26, 16, true}, {27, 256, false}, {20, 257, false}};
    for (const Case& c : cases)
        EXPECT_EQ(dither_offered(c.style, c.colors), c.offered) << c.style << "/" << c.colors;
}

TEST(ButtonProperties, FindProgramsFillsTheDirectoryAndAsksAboutTheIcon) {
    EXPECT_EQ(program_directory("C:\\APPS\\EDIT.EXE"), "C:\\APPS");
    EXPECT_EQ(program_directory("C:\\EDIT.EXE"), "C:\\");
    EXPECT_EQ(program_directory("EDIT.EXE"), "");
    EXPECT_EQ(import_icon_question("C:\\EDIT.EXE"), "Do you want to import the Icon from C:\\EDIT.EXE?");
}

TEST(ButtonProperties, LaunchDayButtonsAreBitsElevenDownToZero) {
    EXPECT_EQ(launch_day_bit(0), 0x0800);   // Sun
    EXPECT_EQ(launch_day_bit(6), 0x0020);   // Sat
    EXPECT_EQ(launch_day_bit(7), 0x0010);   // 1st
    EXPECT_EQ(launch_day_bit(11), 0x0001);  // Last
    ButtonProperties p = properties_of(ButtonData{}, only_desk_files);
    p.launch_day = 0xFFFF;
    EXPECT_EQ(apply(p, ButtonData{}).launch_day, 0x3FFF) << "bits 14 and 15 are never stored";
    p.launch_day = kLaunchOnDate | kLaunchScheduled | launch_day_bit(1);
    EXPECT_EQ(apply(p, ButtonData{}).launch_day, 0x3400);
}

TEST(ButtonProperties, TheLaunchMomentIsThePickersDayAtTheTypedTime) {
    const DateTime day = make_datetime({2026, 12, 11});
    const DateTime shown = day + (14 * 3600 + 5 * 60 + 42) / 86400.0;  // 14:05:42
    EXPECT_EQ(launch_time_text(shown), "02:05 PM");
    EXPECT_EQ(launch_time_text(day), "12:00 AM");
    EXPECT_EQ(launch_time_text(day + 0.5), "12:00 PM");

    struct Case {
        const char* typed;
        int hour, minute;  // -1: does not read
    } cases[] = {
        {"09:30 AM", 9, 30}, {"9:30 pm", 21, 30}, {"12:00 AM", 0, 0},  {"12:15 PM", 12, 15},
        {"_9:30 AM", 9, 30}, {"17:45", 17, 45},   {"13:00 PM", -1, 0}, {"09:60 AM", -1, 0},
        {"09:3_ AM", -1, 0}, {"", -1, 0},         {"0930", -1, 0},     {"09:30 XM", -1, 0},
    };
    for (const Case& c : cases) {
        const auto t = read_launch_time(c.typed);
        if (c.hour < 0) {
            EXPECT_FALSE(t) << c.typed;
            continue;
        }
        ASSERT_TRUE(t) << c.typed;
        EXPECT_EQ(t->hour * 60 + t->minute, c.hour * 60 + c.minute) << c.typed;
    }

    ButtonData b;
    b.launch_date = shown;
    ButtonProperties p = properties_of(b, only_desk_files);
    p.level = "0";
    EXPECT_EQ(apply(p, b).launch_date, shown) << "a time left as shown keeps its seconds";
    p.launch_time = "08:15 AM";
    p.launch_at = make_datetime({2027, 1, 2}) + (shown - day);
    EXPECT_EQ(apply(p, b).launch_date, make_datetime({2027, 1, 2}, {8, 15}));
    p.launch_time = "8:1";
    EXPECT_EQ(validate(p), (FieldError{ButtonField::LaunchTime,
                                       "The time must be given as hours and minutes, such as 09:30 AM."}));
}

TEST(ButtonProperties, AnEditPasswordMustBeGivenBeforeTheEditorOpens) {
    security::AdminData admin;  // nobody logged in: the access rule never grants at once
    ButtonData b;
    b.password = "Secret";
    b.security_level = 1000;
    struct Case {
        bool edit_password;
        const char* password;
        const char* typed;  // "cancel" cancels the prompt
        bool opens;
        bool asked;
    } cases[] = {
        {false, "Secret", "wrong", true, false}, {true, "", "wrong", true, false},
        {true, "Secret", "secret", true, true},  {true, "Secret", "wrong", false, true},
        {true, "Secret", "cancel", false, true},
    };
    for (const Case& c : cases) {
        b.edit_password = c.edit_password;
        b.password = c.password;
        vx::testing::FakePrompter prompter;
        prompter.answers.push_back(c.typed);
        EXPECT_EQ(may_open_editor(b, admin, prompter), c.opens) << c.password << " " << c.typed;
        EXPECT_EQ(!prompter.log.empty(), c.asked) << c.password << " " << c.typed;
    }
}

}  // namespace
}  // namespace vx::editor
