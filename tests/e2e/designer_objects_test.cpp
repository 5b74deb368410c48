// Objects made the way an administrator makes them: a band drawn with a tool of the palette,
// the object's dialog filled in with the mouse and the keys, OK, and "E&xit Setup". The saved
// file must hold exactly what was made, and run mode must carry it out.
#include <fstream>

#include "e2e/designer_fixture.h"
#include "editor/palette_geometry.h"
#include "win/editor/button_form_ids.h"
#include "win/editor/object_form_ids.h"
#include "win/editor/palette_ids.h"

namespace vx::e2e {
namespace {

class DesignerButtonTest : public DesignerTest {
protected:
    // Modify mode, a button drawn with the button tool, its dialog switched to `kind` and given
    // `title`: the dialog, or null with the test failed.
    HWND open_new_button(HWND main, int kind, POINT from, POINT to, const wchar_t* title) {
        enter_modify_mode(main);
        if (HasFatalFailure()) return nullptr;
        const HWND form = draw_new(main, IDC_TOOL_BUTTON, from, to, L"Icon / Control Attributes");
        if (!form) {
            ADD_FAILURE() << "the button's dialog did not open";
            return nullptr;
        }
        click_control(form, kind);
        Sleep(200);
        click_control(form, IDC_BTN_TITLE);
        type_text(title);
        return form;
    }
};

// The dialog's notebook shows each tab as it is chosen; every tab of the Menu kind is pictured.
TEST_F(DesignerButtonTest, AMenuButtonWithTwoOptionsIsSavedInFiveLinesAndRunsTheChosenAction) {
    const HWND main = start_on_desktop();
    ASSERT_NE(main, nullptr);
    const HWND form = open_new_button(main, IDC_BTN_KIND_MENU, {30, 30}, {190, 80}, L"Choices");
    ASSERT_NE(form, nullptr);
    click_control(form, IDC_BTN_MENU_TEXT);
    type_text(L"&First");
    press_key(VK_RETURN);
    type_text(L"&Second");
    const std::string first = "R," + recorder_line("first");
    const std::string second = "R," + recorder_line("second");
    click_control(form, IDC_BTN_MENU_ACTIONS);
    type_text(win::widen(first.substr(0, first.size() - 1)));
    press_key(VK_RETURN);
    type_text(win::widen(second.substr(0, second.size() - 1)));
    const HWND notebook = GetDlgItem(form, IDC_BTN_TABS);
    const int tabs = static_cast<int>(SendMessageW(notebook, TCM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ(tabs, 4) << "a Menu button has no Timed Execution tab";
    screenshot("menu");
    for (int i = 1; i < tabs; ++i) {
        click_tab(notebook, i);
        screenshot("tab" + std::to_string(i));
    }
    click_tab(notebook, 0);
    confirm(form);
    leave_modify_mode(main);
    ASSERT_FALSE(HasFatalFailure());

    const model::Desktop result = saved();
    const auto* b = only_object<model::ButtonData>(result);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->kind, model::kKindMenu);
    EXPECT_EQ(b->caption, "Choices");
    EXPECT_EQ(b->command, "&First\r&Second\r/\\\r" + first + second);
    EXPECT_EQ(b->command_lines, 5);

    click_at(main, 100, 55);
    HWND popup = nullptr;
    ASSERT_TRUE(eventually([&] { return (popup = wait_for_menu(main, 100ms)) != nullptr; })) << "no pop-up menu";
    // Pressed again while the menu stays open, should a press not reach it (see the launch tests).
    for (int tries = 0; tries < 3 && IsWindowVisible(popup); ++tries) {
        press_key('S');
        eventually([&] { return !IsWindowVisible(popup); }, 1500ms);
    }
    const auto record = wait_for_record();
    ASSERT_FALSE(record.empty()) << "the chosen option ran nothing";
    EXPECT_NE(upper(record.at("cmdline")).find("SECOND"), std::string::npos) << record.at("cmdline");
}

TEST_F(DesignerButtonTest, APageButtonChosenFromThePageListOpensThatPageInRunMode) {
    desktop.add_page("Games");  // before "StartUp"
    const HWND main = start_on_desktop();
    ASSERT_NE(main, nullptr);
    const HWND form = open_new_button(main, IDC_BTN_KIND_PAGE, {40, 40}, {200, 90}, L"To the games");
    ASSERT_NE(form, nullptr);
    click_control(form, IDC_BTN_PAGE_RADIO);
    // The page list opens under the click; its first letter picks the page, Enter takes it.
    click_control(form, IDC_BTN_PAGE_LIST);
    Sleep(200);
    press_key('G');
    press_key(VK_RETURN);
    Sleep(200);
    screenshot("page");
    confirm(form);
    leave_modify_mode(main);
    ASSERT_FALSE(HasFatalFailure());

    const model::Desktop result = saved();
    const auto* b = only_object<model::ButtonData>(result);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->kind, model::kKindPageLink);
    EXPECT_EQ(b->caption, "To the games");
    EXPECT_EQ(b->page_link, "Games");

    ASSERT_EQ(selected_tab(main), 0);
    click_at(main, 120, 65);
    EXPECT_TRUE(eventually([&] { return selected_tab(main) == 1; })) << "the button did not open its page";
}

// A 2 by 2 picture the image dialog can find by the name typed.
void write_bitmap(const std::filesystem::path& path) {
    const uint8_t bmp[] = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  //
                           40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 16, 0, 0, 0,
                           0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  //
                           0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 255, 0, 0, 0};
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bmp), sizeof bmp);
}

TEST_F(DesignerTest, OneObjectOfEveryKindAndTwoShapesGivenTheMainColorReachTheSavedFile) {
    write_bitmap(folder() / "DOT.BMP");
    const HWND main = start_on_desktop();
    ASSERT_NE(main, nullptr);
    enter_modify_mode(main);
    ASSERT_FALSE(HasFatalFailure());

    HWND form = draw_new(main, IDC_TOOL_SHAPE, {20, 20}, {120, 80}, L"Select a Shape...");
    ASSERT_NE(form, nullptr) << "no shape dialog";
    screenshot("shape");
    confirm(form);
    form = draw_new(main, IDC_TOOL_SHAPE, {140, 20}, {240, 80}, L"Select a Shape...");
    ASSERT_NE(form, nullptr) << "no dialog for the second shape";
    confirm(form);
    form = draw_new(main, IDC_TOOL_TEXT, {20, 120}, {220, 170}, L"Enter the text below...");
    ASSERT_NE(form, nullptr) << "no label dialog";
    click_control(form, IDC_LABEL_MEMO);
    press_key('A', {VK_CONTROL});
    type_text(L"Welcome");
    screenshot("label");
    confirm(form);
    form = draw_new(main, IDC_TOOL_IMAGE, {260, 120}, {340, 200}, L"Select an Image...");
    ASSERT_NE(form, nullptr) << "no image dialog";
    click_control(form, IDC_IMAGE_FILE);
    type_text((folder() / "DOT.BMP").wstring());
    Sleep(300);
    screenshot("image");
    confirm(form);
    form = draw_new(main, IDC_TOOL_LINE, {20, 240}, {300, 260}, L"Line Style");
    ASSERT_NE(form, nullptr) << "no line dialog";
    screenshot("line");
    confirm(form);

    // Both shapes inside one band, then "Main Color": a point of the spectrum and OK.
    drag(main, {10, 10}, {250, 90});
    const HWND tools = wait_for_shell_window(main, win::editor::kToolPaletteClass, 5s);
    ASSERT_NE(tools, nullptr);
    click_control(tools, IDC_TOOL_FILL_COLOR);
    const HWND colors = wait_for_shell_window(main, L"TPopUpPalette", 5s);
    ASSERT_NE(colors, nullptr) << "the colour palette did not pop up";
    Sleep(300);
    click(colors, vx::editor::kPaletteMargin + 150, vx::editor::kPaletteMargin + 30);
    Sleep(200);
    int rgb[3] = {};
    const int edits[3] = {IDC_PALETTE_RED_EDIT, IDC_PALETTE_GREEN_EDIT, IDC_PALETTE_BLUE_EDIT};
    for (int i = 0; i < 3; ++i) rgb[i] = std::stoi(text_of(GetDlgItem(colors, edits[i])));
    screenshot("main-color");
    click_control(colors, IDC_PALETTE_OK);
    Sleep(300);
    leave_modify_mode(main);
    ASSERT_FALSE(HasFatalFailure());

    const model::Desktop result = saved();
    const model::Page* page = result.find_page("Page 1");
    ASSERT_NE(page, nullptr);
    std::vector<const model::ObjectData*> made;  // in the order they were made
    for (auto it = page->objects.rbegin(); it != page->objects.rend(); ++it) made.push_back(&it->data);
    ASSERT_EQ(made.size(), 5u);
    const model::Color chosen = port::rgb(rgb[0], rgb[1], rgb[2]);
    for (int i : {0, 1}) {
        const auto* shape = std::get_if<model::ShapeData>(made[i]);
        ASSERT_NE(shape, nullptr) << i;
        EXPECT_EQ(shape->color, chosen) << "shape " << i;
    }
    EXPECT_EQ(model::bounds_of(*made[0]), (model::Bounds{20, 20, 100, 60}));
    EXPECT_EQ(model::bounds_of(*made[1]), (model::Bounds{140, 20, 100, 60}));
    const auto* label = std::get_if<model::LabelData>(made[2]);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text, "Welcome\r");
    EXPECT_EQ(label->bounds, (model::Bounds{20, 120, 200, 50}));
    const auto* image = std::get_if<model::ImageData>(made[3]);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->image_name, (folder() / "DOT.BMP").string());
    EXPECT_NE(image->color, chosen) << "only the shapes were selected";
    const auto* line = std::get_if<model::LineData>(made[4]);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->bounds, (model::Bounds{20, 240, 280, 20}));
}

}  // namespace
}  // namespace vx::e2e
