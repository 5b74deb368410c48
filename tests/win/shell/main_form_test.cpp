#include "win/shell/main_form.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "../../unit/shell/fakes.h"
#include "model/desktop_file.h"
#include "security/file_cipher.h"
#include "util/file_io.h"
#include "win/shell/registry_settings.h"
#include "win/support/real_input.h"
#include "win/util/text.h"

namespace vx::win::shell {
namespace {

std::wstring window_text(HWND w) {
    wchar_t buf[256]{};
    GetWindowTextW(w, buf, 256);
    return buf;
}

// A program folder of its own and a registry key of its own, so nothing of the machine's shell
// is read or written.
class MainFormTest : public ::testing::Test {
protected:
    const std::wstring key = L"Software\\Halvane\\VantoraTest\\Main" + std::to_wstring(GetCurrentProcessId());
    RegistrySettingsStore store{key};
    std::string dir;

    void SetUp() override {
        wchar_t tmp[MAX_PATH]{};
        GetTempPathW(MAX_PATH, tmp);
        dir = narrow(tmp) + "vxmain" + std::to_string(GetCurrentProcessId());
        CreateDirectoryW(widen(dir).c_str(), nullptr);
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES};
        InitCommonControlsEx(&icc);
    }
    void TearDown() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
        for (const char* f : {"VX.DTP", "VX.BAK"}) DeleteFileW(widen(join_path(dir, f)).c_str());
        RemoveDirectoryW(widen(dir).c_str());
    }
    // The main window ends the message loop when destroyed; the test thread keeps going.
    static void close(TMainForm& form) {
        DestroyWindow(form.hwnd());
        MSG m;
        while (PeekMessageW(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
    void use_demo() {
        write_file_atomic(join_path(dir, "VX.DTP"), read_file(std::string(VX_DATA_DIR) + "/demo/VX.DTP"));
    }
};

TEST_F(MainFormTest, SurfaceHoldsTheShownPagesObjectsAndAButtonClickReachesItsCommand) {
    use_demo();
    TMainForm form(store);
    form.set_program_dir(dir);
    std::vector<std::string> clicked;
    form.commands().carry_out_button = [&](model::ObjectEntry& e) {
        clicked.push_back(std::get<model::ButtonData>(e.data).caption);
    };
    ASSERT_TRUE(form.create(GetModuleHandleW(nullptr)));
    form.first_show();
    ASSERT_EQ(form.station().desktop().current()->name, "Welcome");
    const auto& welcome = form.station().desktop().current()->objects;
    ASSERT_EQ(form.main_area().objects().size(), welcome.size());
    // Bottom first on the surface: the page's oldest entry, which the model keeps last.
    EXPECT_EQ(&form.page_objects().front()->entry(), &welcome.back());
    EXPECT_EQ(&form.page_objects().back()->entry(), &welcome.front());

    // "Office work" stands at 60,130 (160 by 40): a press and release at its middle.
    form.show(SW_SHOWNORMAL);
    ASSERT_TRUE(test::bring_to_front(form.hwnd()));
    const HWND surface = form.main_area().hwnd();
    test::click(surface, 140, 150);
    EXPECT_TRUE(test::pump_until([&] { return !clicked.empty(); }));
    EXPECT_EQ(clicked, std::vector<std::string>{"Office work"});
    // Pressed there, released on the empty page: no click.
    test::drag(surface, {140, 150}, {20, 400});
    test::settle();
    EXPECT_EQ(clicked.size(), 1u);

    ASSERT_TRUE(form.select_tab(1));
    EXPECT_EQ(form.main_area().objects().size(), form.station().desktop().current()->objects.size())
        << "another page replaces the objects";
    close(form);
}

TEST_F(MainFormTest, DemoShowsTabsAndPageKeysMoveBetweenThem) {
    use_demo();
    TMainForm form(store);
    form.set_program_dir(dir);
    ASSERT_TRUE(form.create(GetModuleHandleW(nullptr)));
    form.first_show();
    const HWND tabs = form.page_tabs();
    ASSERT_EQ(TabCtrl_GetItemCount(tabs), 5) << "StartUp has no tab in run mode";
    EXPECT_EQ(form.current_tab(), 0);
    ASSERT_NE(form.station().desktop().current(), nullptr);
    EXPECT_EQ(form.station().desktop().current()->name, "Welcome");
    EXPECT_EQ(window_text(form.panel6()), L"") << "the tabs show the page name";

    form.show(SW_SHOWNORMAL);
    ASSERT_TRUE(test::bring_to_front(form.hwnd()));
    struct Step {
        WORD key;
        int want;
    } steps[] = {{VK_NEXT, 1},  {VK_NEXT, 2}, {VK_PRIOR, 1}, {VK_HOME, 0},
                 {VK_PRIOR, 0}, {VK_NEXT, 1}, {VK_ESCAPE, 0}};
    for (const Step& s : steps) {
        test::press_key(s.key);
        EXPECT_TRUE(test::pump_until([&] { return form.current_tab() == s.want; })) << "key " << s.key;
    }
    // Held down, Page Down repeats its press but is released once: one page on.
    test::hold_key(VK_NEXT, 5);
    test::settle();
    EXPECT_EQ(form.current_tab(), 1);
    // The last tab is the password page; without a logged-in user its prompt is the only way,
    // and it is not answered here, so only reaching the tab before it is checked by keys.
    EXPECT_TRUE(form.select_tab(3));
    EXPECT_EQ(form.station().desktop().current()->name, "Tools");
    close(form);
}

TEST_F(MainFormTest, F1OpensTheHelpsContentsUnlessAButtonTakesItAsItsSpeedKey) {
    use_demo();
    TMainForm form(store);
    form.set_program_dir(dir);
    int contents = 0;
    bool f1_taken = false;
    std::vector<std::uint16_t> speed;
    form.commands().help_contents = [&] { ++contents; };
    form.commands().is_speed_key = [&](std::uint16_t shortcut) { return f1_taken && shortcut == VK_F1; };
    form.commands().speed_key = [&](std::uint16_t shortcut) {
        if (!f1_taken || shortcut != VK_F1) return false;
        speed.push_back(shortcut);
        return true;
    };
    ASSERT_TRUE(form.create(GetModuleHandleW(nullptr)));
    form.first_show();
    form.show(SW_SHOWNORMAL);
    ASSERT_TRUE(test::bring_to_front(form.hwnd()));

    test::press_key(VK_F1);
    EXPECT_TRUE(test::pump_until([&] { return contents == 1; }));
    test::press_key(VK_F1, {VK_SHIFT});  // another key combination, which no help answers
    test::settle();
    EXPECT_EQ(contents, 1);
    f1_taken = true;
    test::press_key(VK_F1);
    EXPECT_TRUE(test::pump_until([&] { return speed.size() == 1; }));
    test::settle();
    EXPECT_EQ(contents, 1);
    close(form);
}

TEST_F(MainFormTest, WithoutDesktopFileANewOneIsKeptInMemoryAndNeverWritten) {
    TMainForm form(store);
    form.set_program_dir(dir);
    ASSERT_TRUE(form.create(GetModuleHandleW(nullptr)));
    form.first_show();
    ASSERT_EQ(TabCtrl_GetItemCount(form.page_tabs()), 1);
    EXPECT_EQ(form.station().desktop().current()->name, "Page 1");
    EXPECT_NE(form.station().desktop().find_page("StartUp"), nullptr);
    EXPECT_FALSE(file_exists(join_path(dir, "VX.DTP"))) << "saved behind the administrator's back";
    close(form);
    EXPECT_FALSE(file_exists(join_path(dir, "VX.DTP"))) << "written at exit";
    // Closing wrote the settings back under their stored spellings.
    EXPECT_EQ(store.read("", "xvalue"), "10");
    EXPECT_EQ(store.read("", "ShowGrid"), "0");
    EXPECT_EQ(store.read("", "AdminDir"), std::nullopt);
    EXPECT_EQ(store.read("", "DeskTopFile"), join_path(dir, "VX.DTP"));
}

TEST_F(MainFormTest, ADamagedDesktopIsToldAndKeptAsItIsForRepair) {
    const std::string path = join_path(dir, "VX.DTP");
    const std::string damaged = "2\r\nMaster=\r\nPageTitle=Page 1\r\nPageDim=ten 10\r\n";
    write_file_atomic(path, damaged);
    vx::shell::testing::FakePrompter prompter;
    TMainForm form(store);
    form.set_program_dir(dir);
    form.set_prompter(&prompter);
    ASSERT_TRUE(form.create(GetModuleHandleW(nullptr)));
    form.first_show();
    ASSERT_EQ(prompter.log.size(), 1u);
    EXPECT_EQ(prompter.log[0], "alert Error In loading Desktop File: " + model::load_error_text(path));
    // What shows is the starter desktop, not what the file held up to its damage.
    EXPECT_EQ(form.station().desktop().current()->name, "Page 1");
    EXPECT_EQ(form.station().desktop().pages().size(), 2u);
    const Bytes kept = read_file(path);
    close(form);
    EXPECT_EQ(read_file(path), kept) << "the damaged file was written over";
    EXPECT_TRUE(vx::security::has_cipher_trailer(kept))
        << "a plain file is left enciphered, as every load leaves it";
}

TEST_F(MainFormTest, ACountLineThatIsNoNumberIsToldAndTheDesktopStillLoads) {
    std::string text = read_text_file(std::string(VX_DATA_DIR) + "/demo/VX.DTP");
    text.replace(0, text.find('\r'), "five");
    write_file_atomic(join_path(dir, "VX.DTP"), text);
    vx::shell::testing::FakePrompter prompter;
    TMainForm form(store);
    form.set_program_dir(dir);
    form.set_prompter(&prompter);
    ASSERT_TRUE(form.create(GetModuleHandleW(nullptr)));
    form.first_show();
    ASSERT_EQ(prompter.log.size(), 1u);
    EXPECT_EQ(prompter.log[0], "alert Error In loading Desktop File: 'five' is not a valid integer value\r" +
                                   join_path(dir, "VX.DTP"));
    EXPECT_EQ(TabCtrl_GetItemCount(form.page_tabs()), 5);
    close(form);
}

}  // namespace
}  // namespace vx::win::shell
