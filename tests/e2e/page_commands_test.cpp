// Pages as an administrator manages them in modify mode: added, renamed, copied, moved and
// deleted through the "&Page" menu, moved by dragging a tab onto another, given a background
// colour or a wallpaper in "Page Settings"; "E&xit Setup" writes exactly that, and Undo of every
// step leaves the file as it was.
#include "e2e/designer_fixture.h"

#include <commctrl.h>

#include <fstream>

#include "iconlib/icon_page.h"
#include "port/canvas.h"
#include "win/editor/page_form_ids.h"
#include "win/iconlib/icon_form_ids.h"
#include "win/editor/palette_ids.h"

namespace vx::e2e {
namespace {

class PageCommandsTest : public DesignerFixture {
protected:
    void SetUp() override {
        DesignerFixture::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        // A page link on the master page and one on an ordinary page, both to "Page 1".
        model::ButtonData link;
        link.kind = model::kKindPageLink;
        link.caption = "Go";
        link.page_link = "Page 1";
        link.bounds = {20, 20, 100, 40};
        desktop.add_object(*desktop.master(), link);
        model::Page& second = desktop.add_page("Page 2");  // before "StartUp"
        link.bounds = {20, 100, 100, 40};
        desktop.add_object(second, link);
    }

    // An item of the "&Page" menu by its letter; the dialog it opens, titled `title`.
    HWND page_menu(HWND main, char letter, const wchar_t* title) {
        press_key(main, 'P', {VK_MENU});
        if (!wait_for_menu(main, 3s)) {
            ADD_FAILURE() << "the Page menu did not open";
            return nullptr;
        }
        press_key(static_cast<UINT>(letter));
        const HWND dialog = wait_for_window(L"#32770", title, 10s);
        if (dialog) Sleep(300);
        return dialog;
    }

    static POINT tab_centre(HWND main, int index) {
        const RECT r = remote_tab_rect(tabs(main), index);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }

    void click_tab(HWND main, int index) {
        const POINT c = tab_centre(main, index);
        bring_to_front(main);
        click(tabs(main), c.x, c.y);
        ASSERT_TRUE(eventually([&] { return selected_tab(main) == index; }, 3s)) << "tab " << index;
        Sleep(200);
    }

    // A person's drag of one tab onto another: pressed, moved on in steps, let go over the target.
    void drag_tab(HWND main, int from, int to) {
        const POINT a = tab_centre(main, from), b = tab_centre(main, to);
        bring_to_front(main);
        const HWND strip = tabs(main);
        win::test::send_mouse(win::test::to_screen(strip, a.x, a.y), 0);
        win::test::settle(std::chrono::milliseconds(150));
        win::test::send_mouse(win::test::to_screen(strip, a.x, a.y), MOUSEEVENTF_LEFTDOWN);
        win::test::settle(std::chrono::milliseconds(300));
        for (int step = 1; step <= 4; ++step) {
            win::test::send_mouse(win::test::to_screen(strip, a.x + (b.x - a.x) * step / 4, a.y), 0);
            win::test::settle(std::chrono::milliseconds(80));
        }
        win::test::settle(std::chrono::milliseconds(300));
        win::test::send_mouse(win::test::to_screen(strip, b.x, b.y), MOUSEEVENTF_LEFTUP);
        Sleep(400);
    }

    // Add "Tools", rename "Page 1" to "Home", drag Home's tab onto Tools', and give Home a yellow
    // background and a top margin of 25 in "Page Settings".
    void manage_pages(HWND main) {
        HWND dialog = page_menu(main, 'A', L"Add Page");
        ASSERT_NE(dialog, nullptr) << "no Add Page";
        type_text(L"Tools");
        press_key(VK_RETURN);
        ASSERT_TRUE(eventually([&] { return tab_count(main) == 5; })) << "no tab for the new page";
        // The strip is filled again before its tab is selected: wait for both.
        EXPECT_TRUE(eventually([&] { return tab_count(main) == 5 && selected_tab(main) == 3; }, 3s))
            << "the new page stands before StartUp and is shown";

        click_tab(main, 1);
        ASSERT_FALSE(HasFatalFailure());
        dialog = page_menu(main, 'R', L"Rename Page");
        ASSERT_NE(dialog, nullptr) << "no Rename Page";
        type_text(L"Home");  // the old name is selected: typing replaces it
        press_key(VK_RETURN);
        ASSERT_TRUE(eventually([&] { return !IsWindow(dialog); }));
        Sleep(300);

        drag_tab(main, 1, 3);
        ASSERT_TRUE(eventually([&] { return selected_tab(main) == 3; }, 3s))
            << "the dragged tab is not where it was dropped";
        screenshot("tabs");

        dialog = page_menu(main, 'S', L"Page Settings");
        ASSERT_NE(dialog, nullptr) << "no Page Settings";
        click_control(dialog, IDC_BUTTON_PAGE_COLOR);
        const HWND palette = wait_for_shell_window(main, L"TPopUpPalette", 5s);
        ASSERT_NE(palette, nullptr) << "no colour palette";
        Sleep(300);
        const HWND blue = GetDlgItem(palette, IDC_PALETTE_BLUE_EDIT);
        ASSERT_TRUE(blue && IsWindowVisible(blue)) << "the palette shows no spectrum (a palette display?)";
        click_control(palette, IDC_PALETTE_BLUE_EDIT);
        press_key(VK_END);
        for (int i = 0; i < 3; ++i) press_key(VK_BACK);
        type_text(L"0");
        click_control(palette, IDC_PALETTE_OK);
        ASSERT_TRUE(eventually([&] { return !IsWindowVisible(palette); }, 3s)) << "the palette stayed";
        click_control(dialog, IDC_EDIT_PAGE_TOP);
        press_key(VK_END);
        for (int i = 0; i < 3; ++i) press_key(VK_BACK);
        type_text(L"25");
        Sleep(300);
        screenshot("page-settings");
        answer(dialog, IDOK);
        ASSERT_TRUE(eventually([&] { return !IsWindow(dialog); })) << "OK did not close Page Settings";
        Sleep(400);
        screenshot("after");
    }

    static std::string text_of_desktop(const model::Desktop& d) {
        UsEnglishLocale locale;
        Windows1252Codec codec;
        return model::write_desktop_text(d, model::WriteContext{&locale, &codec, -1});
    }
    static std::vector<std::string> page_names(const model::Desktop& d) {
        std::vector<std::string> out;
        for (const auto& p : d.pages()) out.push_back(p->name);
        return out;
    }
};

TEST_F(PageCommandsTest, PagesAddedRenamedDraggedAndSetReachTheSavedFile) {
    const HWND main = start_on_desktop();
    ASSERT_NE(main, nullptr);
    enter_modify_mode(main);
    ASSERT_FALSE(HasFatalFailure());
    manage_pages(main);
    ASSERT_FALSE(HasFatalFailure());
    leave_modify_mode(main);
    ASSERT_FALSE(HasFatalFailure());

    const model::Desktop result = saved();
    EXPECT_EQ(page_names(result), (std::vector<std::string>{"Page 2", "Tools", "Home", "StartUp"}));
    ASSERT_NE(result.master(), nullptr);
    ASSERT_EQ(result.master()->objects.size(), 1u);
    EXPECT_EQ(std::get<model::ButtonData>(result.master()->objects.front().data).page_link, "Home");
    const model::Page* second = result.find_page("Page 2");
    ASSERT_NE(second, nullptr);
    ASSERT_EQ(second->objects.size(), 1u);
    EXPECT_EQ(std::get<model::ButtonData>(second->objects.front().data).page_link, "Home");
    const model::Page* home = result.find_page("Home");
    ASSERT_NE(home, nullptr);
    EXPECT_EQ(home->background_color, port::rgb(192, 192, 0));
    EXPECT_EQ(home->top_margin, 25);
    EXPECT_FALSE(home->wallpaper);
    const model::Page* tools = result.find_page("Tools");
    ASSERT_NE(tools, nullptr);
    const model::PageAttributes fresh;
    EXPECT_EQ(tools->background_color, fresh.background_color);
    EXPECT_EQ(tools->interval, fresh.interval);
    EXPECT_EQ(tools->tab_icon, fresh.tab_icon);
}

TEST_F(PageCommandsTest, UndoOfEveryPageStepLeavesTheFileAsItWas) {
    const HWND main = start_on_desktop();
    ASSERT_NE(main, nullptr);
    const std::string before = text_of_desktop(saved());
    enter_modify_mode(main);
    ASSERT_FALSE(HasFatalFailure());
    manage_pages(main);
    ASSERT_FALSE(HasFatalFailure());
    for (int i = 0; i < 4; ++i) {
        press_key(main, 'Z', {VK_CONTROL});
        Sleep(300);
    }
    EXPECT_EQ(tab_count(main), 4) << "the added page is still there";
    leave_modify_mode(main);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(text_of_desktop(saved()), before);
}

TEST_F(PageCommandsTest, ACopyRenamedAndMovedFirstKeepsTheLinksOfItsSourceAndADeletedPageGoes) {
    model::ButtonData b;
    b.kind = model::kKindProgram;
    b.caption = "Tool";
    b.bounds = {200, 60, 100, 40};
    desktop.add_object(*desktop.find_page("Page 1"), b);
    const HWND main = start_on_desktop();
    ASSERT_NE(main, nullptr);
    enter_modify_mode(main);
    ASSERT_FALSE(HasFatalFailure());

    // "&Copy..." asks nothing: the copy stands before StartUp and is shown.
    press_key(main, 'P', {VK_MENU});
    ASSERT_TRUE(wait_for_menu(main, 3s));
    press_key('C');
    ASSERT_TRUE(eventually([&] { return tab_count(main) == 5 && selected_tab(main) == 3; }))
        << "no tab for the copy, or it is not shown";
    HWND dialog = page_menu(main, 'R', L"Rename Page");
    ASSERT_NE(dialog, nullptr);
    type_text(L"Copy");
    press_key(VK_RETURN);
    ASSERT_TRUE(eventually([&] { return !IsWindow(dialog); }));
    Sleep(300);

    // "&Move...": before "Page 1", the first entry of the list.
    dialog = page_menu(main, 'M', L"Move Page");
    ASSERT_NE(dialog, nullptr) << "no Move Page";
    click_control(dialog, IDC_COMBO_MOVE_TARGET);
    Sleep(300);
    press_key(VK_HOME);
    press_key(VK_RETURN);
    Sleep(200);
    answer(dialog, IDOK);
    ASSERT_TRUE(eventually([&] { return !IsWindow(dialog); }));
    ASSERT_TRUE(eventually([&] { return selected_tab(main) == 1; }, 3s)) << "the moved page is not first";

    click_tab(main, 3);  // Page 2
    ASSERT_FALSE(HasFatalFailure());
    press_key(main, 'P', {VK_MENU});
    ASSERT_TRUE(wait_for_menu(main, 3s));
    press_key('D');
    const HWND question = wait_for_window(L"#32770", L"Delete Page", 10s);
    ASSERT_NE(question, nullptr) << "no Delete Page question";
    Sleep(300);
    press_key('Y');
    ASSERT_TRUE(eventually([&] { return tab_count(main) == 4; })) << "the page was not deleted";
    Sleep(500);  // the display catches up with the strip drawn again
    screenshot("tabs");
    leave_modify_mode(main);
    ASSERT_FALSE(HasFatalFailure());

    const model::Desktop result = saved();
    EXPECT_EQ(page_names(result), (std::vector<std::string>{"Copy", "Page 1", "StartUp"}));
    UsEnglishLocale locale;
    Windows1252Codec codec;
    const model::WriteContext ctx{&locale, &codec, -1};
    ASSERT_NE(result.find_page("Copy"), nullptr);
    model::Page copy = *result.find_page("Copy");  // its objects, under the source's name
    EXPECT_EQ(copy.objects.size(), 1u);
    ASSERT_NE(result.find_page("Page 1"), nullptr);
    copy.name = "Page 1";
    EXPECT_EQ(model::write_page_group(copy, ctx), model::write_page_group(*result.find_page("Page 1"), ctx));
    ASSERT_EQ(result.master()->objects.size(), 1u);
    EXPECT_EQ(std::get<model::ButtonData>(result.master()->objects.front().data).page_link, "Page 1")
        << "the link follows the source, not its copy";
}

TEST_F(PageCommandsTest, AWallpaperTypedAndATabIconChosenInPageSettingsAreShownAndSaved) {
    {
        // A 2 x 2 picture, red, beside the program.
        BITMAPFILEHEADER file{};
        BITMAPINFOHEADER info{};
        info.biSize = sizeof info;
        info.biWidth = 2;
        info.biHeight = 2;
        info.biPlanes = 1;
        info.biBitCount = 24;
        const unsigned char row[8] = {0, 0, 255, 0, 0, 255, 0, 0};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof info;
        file.bfSize = file.bfOffBits + 2 * sizeof row;
        std::ofstream out(folder() / "SKY.BMP", std::ios::binary);
        out.write(reinterpret_cast<const char*>(&file), sizeof file);
        out.write(reinterpret_cast<const char*>(&info), sizeof info);
        for (int i = 0; i < 2; ++i) out.write(reinterpret_cast<const char*>(row), sizeof row);
    }
    // The stock icon library the native lane makes, for the tab icon.
    const std::filesystem::path stock = std::filesystem::path(VX_E2E_BUILD_DIR) / ".." / "native" / "data" / "iconlib";
    for (const char* name : {"VXIndex.Lib", "VXIcon.Lib"}) {
        ASSERT_TRUE(std::filesystem::exists(stock / name)) << "build the native lane first";
        std::filesystem::copy_file(stock / name, folder() / name, std::filesystem::copy_options::overwrite_existing);
    }
    const HWND main = start_on_desktop();
    ASSERT_NE(main, nullptr);
    enter_modify_mode(main);
    ASSERT_FALSE(HasFatalFailure());
    const HWND dialog = page_menu(main, 'S', L"Page Settings");
    ASSERT_NE(dialog, nullptr) << "no Page Settings";
    click_control(dialog, IDC_EDIT_PAGE_IMAGE);
    type_text(L"SKY.BMP");
    click_control(dialog, IDC_RADIO_PAGE_WALLPAPER);
    click_control(dialog, IDC_RADIO_PAGE_STRETCH);
    // The tab icon: the third entry of the library, clicked in its window, and OK.
    click_control(dialog, IDC_BUTTON_PAGE_ICON);
    const HWND library = wait_for_window(L"#32770", L"Vantora Icon Library", 10s);
    ASSERT_NE(library, nullptr) << "no icon library window";
    Sleep(300);
    const HWND grid = GetDlgItem(library, IDC_ICON_GRID);
    RECT cells;
    GetClientRect(grid, &cells);
    const int cell_w = cells.right / vx::iconlib::kButtonsPerRow, cell_h = cells.bottom / vx::iconlib::kButtonRows;
    click(grid, 2 * cell_w + cell_w / 2, cell_h / 2);
    Sleep(200);
    screenshot("icon-library");
    answer(library, IDOK);
    ASSERT_TRUE(eventually([&] { return !IsWindow(library); })) << "OK did not close the icon library";
    Sleep(200);
    screenshot("settings");
    answer(dialog, IDOK);
    ASSERT_TRUE(eventually([&] { return !IsWindow(dialog); })) << "OK did not close Page Settings";
    Sleep(500);
    screenshot("wallpaper");
    leave_modify_mode(main);
    ASSERT_FALSE(HasFatalFailure());

    const model::Desktop result = saved();
    const model::Page* page = result.find_page("Page 1");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->background, "SKY.BMP");
    EXPECT_TRUE(page->wallpaper);
    EXPECT_FALSE(page->tile_image);
    EXPECT_FALSE(page->center_image);
    EXPECT_EQ(page->tab_icon, 2);
}

}  // namespace
}  // namespace vx::e2e
