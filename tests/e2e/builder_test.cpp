// "&New" answered "Yes" on a prepared Windows desktop and Start menu: the real shell builds a page
// for the desktop, one for the program folder and one for every program group, saves them into
// the file chosen, and shows them.
#include "e2e/desktop_fixture.h"

#include <commctrl.h>

#include "builder/new_desktop.h"
#include "win/dialogs/selector_ids.h"
#include "win/shell/shell_links.h"

namespace vx::e2e {
namespace {

namespace fs = std::filesystem;
using vx::shell::MenuCommand;

class NewDesktopTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        set_setting("ExitPrompt", "0");
        // The builder's Windows directory (a switch of test builds only).
        root_ = folder() / "windows";
        const fs::path desk = root_ / "Desktop", programs = root_ / "Start Menu" / "Programs";
        fs::create_directories(desk);
        fs::create_directories(programs / "Accessories" / "System");
        fs::create_directories(programs / "Office");
        write(desk / "Notes.txt", "notes");
        write(desk / "Home Page.url", "[InternetShortcut]\r\nURL=http://example.com/home\r\n");
        fs::copy_file(fs::path(VX_FIXTURES_DIR) / "imaging" / "icon.ico", desk / "Logo.ico");
        link(programs / "Recorder.lnk");
        link(programs / "Accessories" / "Pad.lnk");
        link(programs / "Accessories" / "Paint.lnk");
        link(programs / "Accessories" / "System" / "Clean.lnk");
        link(programs / "Office" / "Writer.lnk");
        SetEnvironmentVariableW(L"VX_BUILDER_ROOT", root_.wstring().c_str());
    }
    void TearDown() override {
        DesktopTest::TearDown();
        SetEnvironmentVariableW(L"VX_BUILDER_ROOT", nullptr);
    }
    static void write(const fs::path& p, const std::string& bytes) {
        std::ofstream(p, std::ios::binary) << bytes;
    }
    void link(const fs::path& p) {
        ShellLink l;
        l.target = win::narrow((folder() / "REC.EXE").wstring());
        std::string error;
        ASSERT_TRUE(win::shell::Win32ShellLinks().create(win::narrow(p.wstring()), l, error)) << error;
    }
    static HWND tabs(HWND main) { return GetDlgItem(main, win::shell::kIdPageTabs); }
    static int tab_count(HWND main) {
        return static_cast<int>(SendMessageW(tabs(main), TCM_GETITEMCOUNT, 0, 0));
    }

    fs::path root_;
};

std::vector<std::string> page_names(const model::Desktop& d) {
    std::vector<std::string> out;
    for (const auto& p : d.pages()) out.push_back(p->name);
    return out;
}

// The page's buttons in the order they were made, as caption and command.
std::vector<std::pair<std::string, std::string>> buttons(const model::Page* page) {
    std::vector<std::pair<std::string, std::string>> out;
    if (!page) return out;
    for (auto it = page->objects.rbegin(); it != page->objects.rend(); ++it)
        if (const auto* b = std::get_if<model::ButtonData>(&it->data))
            out.emplace_back(b->caption, b->command);
    std::sort(out.begin(), out.end());
    return out;
}

TEST_F(NewDesktopTest, YesBuildsThePagesFromTheDesktopAndTheStartMenuAndSavesThem) {
    const HWND main = start_on_desktop();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(menu_command(main, MenuCommand::NewDesktop)) << "no \"&New\"";
    const HWND question = wait_for_window(L"#32770", L"New Desktop", 15s);
    ASSERT_NE(question, nullptr) << "no \"New Desktop\" question";
    Sleep(300);
    answer(question, IDYES);

    const HWND selector =
        wait_for_window(L"#32770", win::widen(vx::builder::kNewDesktopFileTitle).c_str(), 15s);
    ASSERT_NE(selector, nullptr) << "the new desktop's file selector did not open";
    Sleep(300);
    const fs::path file = folder() / "BUILT.DTP";
    // The selector opens beside the shown desktop with its name proposed; a new name replaces it.
    EXPECT_EQ(text_of(GetDlgItem(selector, IDC_EDIT_FILTER)), "VX.DTP");
    click_control(selector, IDC_EDIT_FILTER);
    press_key('A', {VK_CONTROL});
    type_text(file.filename().wstring());
    Sleep(300);
    screenshot("selector");
    answer(selector, IDOK);
    ASSERT_TRUE(eventually([&] { return !IsWindow(selector); })) << "the selector took no file";

    // Master is no tab in run mode: Desktop, Programs, System, Accessories, Office.
    ASSERT_TRUE(eventually([&] { return fs::exists(file) && tab_count(main) == 5; }, 30s))
        << "tabs: " << tab_count(main);
    Sleep(800);
    screenshot();

    const model::Desktop d = load_saved(file);
    auto names = page_names(d);
    // Each group's sub-groups come before it; the listing order of siblings is the folder's.
    const auto at = [&](const char* n) { return std::find(names.begin(), names.end(), n) - names.begin(); };
    ASSERT_EQ(names.size(), 5u) << ::testing::PrintToString(names);
    EXPECT_EQ(names[0], "Desktop");
    EXPECT_EQ(names[1], "Programs");
    EXPECT_LT(at("System"), at("Accessories"));
    EXPECT_LT(at("Office"), static_cast<std::ptrdiff_t>(names.size()));

    const std::string programs = (root_ / "Start Menu" / "Programs").string();
    EXPECT_EQ(buttons(d.find_page("Desktop")),
              (std::vector<std::pair<std::string, std::string>>{
                  {"Home Page", "http://example.com/home\r"},
                  {"Logo", (root_ / "Desktop" / "Logo.ico").string() + "\r"},
                  {"Notes", (root_ / "Desktop" / "Notes.txt").string() + "\r"}}));
    // The icon file went into the icon library beside the program.
    EXPECT_TRUE(fs::exists(folder() / "VXIcon.Lib"));
    EXPECT_TRUE(fs::exists(folder() / "VXIndex.Lib"));
    EXPECT_EQ(
        buttons(d.find_page("Programs")),
        (std::vector<std::pair<std::string, std::string>>{{"Recorder", programs + "\\Recorder.lnk\r"}}));
    EXPECT_EQ(buttons(d.find_page("Accessories")), (std::vector<std::pair<std::string, std::string>>{
                                                       {"Pad", programs + "\\Accessories\\Pad.lnk\r"},
                                                       {"Paint", programs + "\\Accessories\\Paint.lnk\r"}}));
    EXPECT_EQ(buttons(d.find_page("System")).size(), 1u);
    EXPECT_EQ(buttons(d.find_page("Office")).size(), 1u);
    // Every button as the import makes it: clear style, its icon shown, text on the left, 180 x 40
    // from the page's origin down the column.
    for (const auto& page : d.pages()) {
        int top = 10;
        for (auto it = page->objects.rbegin(); it != page->objects.rend(); ++it) {
            const auto& b = std::get<model::ButtonData>(it->data);
            EXPECT_EQ(b.btn_style, 0) << b.caption;
            EXPECT_TRUE(b.show_icon) << b.caption;
            EXPECT_EQ(b.text_align, 0) << b.caption;
            EXPECT_EQ(b.bounds.left, 10) << b.caption;
            EXPECT_EQ(b.bounds.top, top) << b.caption;
            EXPECT_EQ(b.bounds.width, 180) << b.caption;
            EXPECT_EQ(b.bounds.height, 40) << b.caption;
            top += 50;
        }
    }
    // The built desktop is the one the shell now keeps.
    press_key(main, VK_F4, {VK_MENU});
    ASSERT_TRUE(wait_for_exit(0, 20s).has_value()) << "the shell did not end";
}

}  // namespace
}  // namespace vx::e2e
