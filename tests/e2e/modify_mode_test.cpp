// The designer as an administrator uses it: "&Setup" from the menu, objects selected, dragged
// and sized with the mouse, copied and pasted, taken back with Undo, and "E&xit Setup" writes
// exactly the result into the desktop file.
#include "e2e/designer_fixture.h"

#include <algorithm>

#include "win/editor/button_form_ids.h"
#include "win/editor/object_form_ids.h"

namespace vx::e2e {
namespace {

TEST_F(DesignerTest, MouseEditsReachTheSavedFileExactlyAndUndoTakesThemBack) {
    auto& a = add_button("A", {40, 40, 100, 40});
    auto& b = add_button("B", {200, 40, 100, 40});
    auto& c = add_button("C", {40, 160, 100, 40});
    auto& g1 = add_button("G1", {400, 40, 60, 30}, 7);
    auto& g2 = add_button("G2", {400, 120, 60, 30}, 7);
    const HWND main = start_on_desktop();
    ASSERT_NE(main, nullptr);
    enter_modify_mode(main);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_TRUE(wait_for_shell_window(main, win::editor::kToolPaletteClass, 5s)) << "no tool palette";

    // A band drawn from the right to the left takes A and B, which lie wholly inside it.
    drag(main, {330, 20}, {20, 100});
    drag(main, {90, 60}, {120, 80});  // A and B move by (30, 20)
    // C alone, sized through its bottom-right handle past its top-left corner: it flips.
    click_at(main, 90, 180);
    drag(main, {139, 199}, {10, 150});
    // One member of a group takes the group along.
    drag(main, {430, 55}, {430, 255});
    screenshot("selection");
    // A copied and pasted: the copy lies on top of it. Delete of B, then taken back.
    click_at(main, 100, 80);
    press_key(main, 'C', {VK_CONTROL});
    press_key(main, 'V', {VK_CONTROL});
    Sleep(300);
    click_at(main, 260, 80);
    press_key(main, VK_DELETE);
    Sleep(200);
    press_key(main, 'Z', {VK_CONTROL});
    Sleep(300);
    leave_modify_mode(main);
    ASSERT_FALSE(HasFatalFailure());

    std::get<model::ButtonData>(a.data).bounds = {70, 60, 100, 40};
    std::get<model::ButtonData>(b.data).bounds = {230, 60, 100, 40};
    std::get<model::ButtonData>(c.data).bounds = {11, 151, 29, 9};
    std::get<model::ButtonData>(g1.data).bounds = {400, 240, 60, 30};
    std::get<model::ButtonData>(g2.data).bounds = {400, 320, 60, 30};
    model::ObjectData copy = a.data;
    desktop.add_object(*desktop.find_page("Page 1"), std::move(copy));
    const model::Desktop result = saved();
    EXPECT_EQ(object_texts(result.find_page("Page 1")), object_texts(desktop.find_page("Page 1")));
}

TEST_F(DesignerTest, UndoingEveryStepLeavesTheFileAsItWas) {
    add_button("A", {40, 40, 100, 40});
    add_button("B", {200, 40, 100, 40}, 3);
    add_button("C", {40, 160, 100, 40}, 3);
    const HWND main = start_on_desktop();
    ASSERT_NE(main, nullptr);
    enter_modify_mode(main);
    ASSERT_FALSE(HasFatalFailure());
    drag(main, {90, 60}, {150, 90});     // A moves
    drag(main, {199, 109}, {250, 200});  // the bottom-right handle of A, now at (200, 110)
    click_at(main, 250, 60);             // B and C, one group
    press_key(main, VK_DELETE);
    Sleep(300);
    drag(main, {10, 300}, {600, 350});  // a band over nothing clears the selection
    for (int i = 0; i < 3; ++i) press_key(main, 'Z', {VK_CONTROL});
    Sleep(300);
    leave_modify_mode(main);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(object_texts(saved().find_page("Page 1")), object_texts(desktop.find_page("Page 1")));
}

TEST_F(DesignerTest, ASelectionDraggedOffTheBottomOntoATabMovesToThatPage) {
    auto& a = add_button("A", {40, 40, 100, 40});
    auto& b = add_button("B", {40, 120, 100, 40});
    desktop.add_page("Page 2");  // before "StartUp"
    const HWND main = start_on_desktop();
    ASSERT_NE(main, nullptr);
    enter_modify_mode(main);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_EQ(tab_count(main), 4);
    drag(main, {20, 20}, {200, 180});  // a band around A and B
    const RECT tab = remote_tab_rect(tabs(main), 2);
    ASSERT_GT(tab.right, tab.left) << "no rectangle for the tab of Page 2";
    RECT area;
    GetClientRect(surface(main), &area);
    bring_to_front(main);
    // Pressed on A, out through the bottom of the page, up onto the tab, let go there.
    const HWND page = surface(main);
    win::test::send_mouse(win::test::to_screen(page, 90, 60), 0);
    win::test::settle(std::chrono::milliseconds(150));
    win::test::send_mouse(win::test::to_screen(page, 90, 60), MOUSEEVENTF_LEFTDOWN);
    win::test::settle(std::chrono::milliseconds(100));
    win::test::send_mouse(win::test::to_screen(page, 90, area.bottom / 2), 0);
    win::test::settle(std::chrono::milliseconds(150));
    win::test::send_mouse(win::test::to_screen(page, 90, area.bottom + 15), 0);
    win::test::settle(std::chrono::milliseconds(300));
    const POINT on_tab = win::test::to_screen(tabs(main), (tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
    // The display's own pointer follows a little later; the release must find it over the tab.
    win::test::send_mouse(on_tab, 0);
    win::test::settle(std::chrono::milliseconds(400));
    screenshot("over-tab");
    win::test::send_mouse(on_tab, MOUSEEVENTF_LEFTUP);
    Sleep(400);
    leave_modify_mode(main);
    ASSERT_FALSE(HasFatalFailure());

    const model::Desktop result = saved();
    ASSERT_NE(result.find_page("Page 1"), nullptr);
    EXPECT_TRUE(result.find_page("Page 1")->objects.empty()) << "A or B stayed on its page";
    model::Page& second = *desktop.find_page("Page 2");
    desktop.add_object(second, a.data);
    desktop.add_object(second, b.data);
    auto moved = object_texts(result.find_page("Page 2"));
    auto expected = object_texts(&second);
    std::sort(moved.begin(), moved.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(moved, expected);
}

TEST_F(DesignerTest, AButtonDrawnAndFilledInRunsInRunMode) {
    const HWND main = start_on_desktop();
    ASSERT_NE(main, nullptr);
    enter_modify_mode(main);
    ASSERT_FALSE(HasFatalFailure());
    const HWND tools = wait_for_shell_window(main, win::editor::kToolPaletteClass, 5s);
    ASSERT_NE(tools, nullptr);
    click_control(tools, IDC_TOOL_BUTTON);
    Sleep(200);
    drag(main, {30, 30}, {190, 80});
    const HWND form = wait_for_window(L"#32770", L"Icon / Control Attributes", 10s);
    ASSERT_NE(form, nullptr) << "the button's dialog did not open";
    Sleep(300);
    click_control(form, IDC_BTN_TITLE);
    type_text(L"Recorder");
    // The program's folder from "Action Scripts", the rest typed after it.
    click_control(form, IDC_BTN_COMMAND);
    click_control(form, IDC_BTN_SCRIPTS);
    ASSERT_NE(wait_for_menu(main), nullptr) << "no Action Scripts menu";
    press_key('V');  // "DefaultDir (&Vantora Directory)"
    ASSERT_TRUE(eventually([&] { return text_of(GetDlgItem(form, IDC_BTN_COMMAND)) == "<DEFAULTDIR>"; }))
        << text_of(GetDlgItem(form, IDC_BTN_COMMAND));
    click_control(form, IDC_BTN_COMMAND);
    press_key(VK_END);
    type_text(L"REC.EXE drawn");
    Sleep(200);
    screenshot("dialog");
    answer(form, IDOK);
    ASSERT_TRUE(eventually([&] { return !IsWindow(form); })) << "OK did not close the dialog";
    leave_modify_mode(main);
    ASSERT_FALSE(HasFatalFailure());

    const model::Desktop result = saved();
    const auto* b = only_object<model::ButtonData>(result);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->kind, model::kKindProgram);
    EXPECT_EQ(b->caption, "Recorder");
    EXPECT_EQ(b->command, recorder_line("drawn"));
    EXPECT_EQ(b->bounds, (model::Bounds{30, 30, 160, 50}));
    // Run mode carries the new button out.
    click_at(main, 100, 55);
    Sleep(500);
    screenshot("run");
    const auto record = wait_for_record();
    ASSERT_FALSE(record.empty()) << "the drawn button started nothing";
    EXPECT_NE(upper(record.at("cmdline")).find(" DRAWN"), std::string::npos) << record.at("cmdline");
}

TEST_F(DesignerTest, TheShapeToolDrawsAShapeOnTheGrid) {
    set_setting("Showgrid", "1");
    set_setting("Snaptogrid", "1");
    const HWND main = start_on_desktop();
    ASSERT_NE(main, nullptr);
    enter_modify_mode(main);
    ASSERT_FALSE(HasFatalFailure());
    const HWND tools = wait_for_shell_window(main, win::editor::kToolPaletteClass, 5s);
    ASSERT_NE(tools, nullptr);
    click_control(tools, IDC_TOOL_SHAPE);
    Sleep(200);
    // With snap on, the band's corners go down to the grid lines: (23, 47) starts at (20, 40).
    drag(main, {23, 47}, {118, 95});
    const HWND form = wait_for_window(L"#32770", L"Select a Shape...", 10s);
    ASSERT_NE(form, nullptr) << "the shape's dialog did not open";
    Sleep(300);
    answer(form, IDOK);
    ASSERT_TRUE(eventually([&] { return !IsWindow(form); })) << "OK did not close the dialog";
    Sleep(300);
    screenshot("grid");
    leave_modify_mode(main);
    ASSERT_FALSE(HasFatalFailure());

    const model::Desktop result = saved();
    const auto* shape = only_object<model::ShapeData>(result);
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->bounds, (model::Bounds{20, 40, 90, 50}));
}

}  // namespace
}  // namespace vx::e2e
