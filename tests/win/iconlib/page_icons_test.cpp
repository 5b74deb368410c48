// Icons on the page: a button that names an icon library entry shows it, its cursor comes from
// the library, and the page's tab icon animates in the main window.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <variant>

#include "iconlib/library.h"
#include "util/file_io.h"
#include "win/shell/main_form.h"
#include "win/shell/registry_settings.h"
#include "win/util/text.h"

namespace vx::win::shell {
namespace {

std::string sample(const char* name) {
    return std::string(VX_SAMPLES_DIR) + "/" + name;
}

class PageIconsTest : public ::testing::Test {
protected:
    const std::wstring key =
        L"Software\\Halvane\\VantoraTest\\Icons" + std::to_wstring(GetCurrentProcessId());
    RegistrySettingsStore store{key};
    std::string dir;

    void SetUp() override {
        wchar_t tmp[MAX_PATH]{};
        GetTempPathW(MAX_PATH, tmp);
        dir = narrow(tmp) + "vxicons" + std::to_string(GetCurrentProcessId());
        CreateDirectoryW(widen(dir).c_str(), nullptr);
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES};
        InitCommonControlsEx(&icc);
        // Entries 0 to 2 still icons and cursors, 3 (the demo's page icon) animated.
        AnsiCodePageCodec codec;
        vx::iconlib::IconLibrary library(dir, codec);
        for (const char* name : {"icojs_basic.ico", "icojs_palette.ico", "mini.cur", "mini_busy.ani"}) {
            const std::string copy = join_path(dir, name);
            write_file_atomic(copy, read_file(sample(name)));
            library.add_file(copy, 0, nullptr);
            DeleteFileW(widen(copy).c_str());
        }
        // The demo desktop with its first page's icon the animated entry 3 and its first button
        // showing icon 0 and cursor 2.
        const Bytes demo = read_file(std::string(VX_DATA_DIR) + "/demo/VX.DTP");
        std::istringstream in(std::string(demo.begin(), demo.end()));
        std::string text, line;
        bool done = false, page_icon_done = false;
        while (std::getline(in, line)) {
            if (!page_icon_done && line.rfind("PageAniIcon=", 0) == 0) {
                line = "PageAniIcon=3";
                page_icon_done = true;
            }
            if (!done && line.rfind("BtnAttrib=", 0) == 0) {
                std::istringstream fields(line.substr(10));
                std::vector<std::string> v;
                for (std::string f; fields >> f;) v.push_back(f);
                v[9] = "1", v[15] = "1", v[19] = "0", v[20] = "2";
                line = "BtnAttrib=";
                for (size_t i = 0; i < v.size(); ++i) line += (i ? " " : "") + v[i];
                line += "\r";
                done = true;
            }
            if (line.empty() || line.back() != '\r') line += '\r';
            text += line + "\n";
        }
        write_file_atomic(join_path(dir, "VX.DTP"), Bytes(text.begin(), text.end()));
    }
    void TearDown() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
        for (const char* f : {"VX.DTP", "VX.BAK", "VXIndex.Lib", "VXIcon.Lib"})
            DeleteFileW(widen(join_path(dir, f)).c_str());
        RemoveDirectoryW(widen(dir).c_str());
    }
};

void pump(DWORD ms) {
    const DWORD until = GetTickCount() + ms;
    MSG msg;
    while (static_cast<LONG>(until - GetTickCount()) > 0) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    }
}

TEST_F(PageIconsTest, ButtonsShowTheirLibraryIconAndCursorAndThePageIconAnimates) {
    TMainForm form(store);
    form.set_program_dir(dir);
    ASSERT_TRUE(form.create(GetModuleHandleW(nullptr)));
    form.first_show();
    int with_icon = 0, with_cursor = 0;
    for (const auto& object : form.page_objects()) {
        const auto* button = object->button_state();
        if (!button) continue;
        if (button->icon != port::kNoIcon) ++with_icon;
        if (object->cursor()) ++with_cursor;
    }
    EXPECT_EQ(with_icon, 1);
    EXPECT_EQ(with_cursor, 1);

    // The page icon goes through the animation's frames on its own timer.
    const HWND box = GetDlgItem(form.hwnd(), kIdPaintBox2);
    std::set<LRESULT> shown;
    for (int i = 0; i < 40 && shown.size() < 2; ++i) {
        shown.insert(SendMessageW(box, STM_GETICON, 0, 0));
        pump(50);
    }
    EXPECT_GE(shown.size(), 2u);
    DestroyWindow(form.hwnd());
    MSG m;
    while (PeekMessageW(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

}  // namespace
}  // namespace vx::win::shell
