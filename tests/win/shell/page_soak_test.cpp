// A station that flips pages for days must hold as many GDI and USER objects at the end as at
// the start: whatever a page view or a paint makes, it gives back.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "iconlib/library.h"
#include "util/file_io.h"
#include "win/shell/main_form.h"
#include "win/shell/registry_settings.h"
#include "win/support/gui_resources.h"
#include "win/util/text.h"

namespace vx::win::shell {
namespace {

class PageSoak : public ::testing::Test {
protected:
    const std::wstring key = L"Software\\Halvane\\VantoraTest\\Soak" + std::to_wstring(GetCurrentProcessId());
    std::string dir;
    std::vector<std::string> files;

    void SetUp() override {
        wchar_t tmp[MAX_PATH]{};
        GetTempPathW(MAX_PATH, tmp);
        dir = narrow(tmp) + "vxsoak" + std::to_string(GetCurrentProcessId());
        CreateDirectoryW(widen(dir).c_str(), nullptr);
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES};
        InitCommonControlsEx(&icc);
        const std::string data = std::string(VX_DATA_DIR) + "/demo/";
        const std::string fixtures = std::string(VX_FIXTURES_DIR) + "/imaging/";
        copy(data + "VX.DTP", "VX.DTP");
        copy(data + "LOGO.BMP", "LOGO.BMP");
        copy(data + "PAPER.PNG", "PAPER.PNG");
        copy(fixtures + "icon.ico", "STILL.ICO");
        copy(fixtures + "alpha.png", "ALPHA.PNG");
        files.push_back(join_path(dir, "VX.BAK"));
        // An icon library of three entries: a still icon, an animation and a cursor.
        AnsiCodePageCodec codec;
        vx::iconlib::IconLibrary library(dir, codec);
        for (const char* name : {"icojs_basic.ico", "mini_busy.ani", "mini.cur"}) {
            copy(std::string(VX_SAMPLES_DIR) + "/" + name, name);
            library.add_file(path(name), 0, nullptr);
        }
        files.push_back(library.index_path());
        files.push_back(library.data_path());
    }
    void TearDown() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
        for (const std::string& f : files) DeleteFileW(widen(f).c_str());
        RemoveDirectoryW(widen(dir).c_str());
    }
    void copy(const std::string& from, const std::string& name) {
        const std::string to = join_path(dir, name);
        write_file_atomic(to, read_file(from));
        files.push_back(to);
    }
    std::string path(const char* name) const { return join_path(dir, name); }
};

TEST_F(PageSoak, TenThousandPageViewsHoldTheHandleCountsFlat) {
    RegistrySettingsStore store{key};
    TMainForm form(store);
    form.set_program_dir(dir);
    ASSERT_TRUE(form.create(GetModuleHandleW(nullptr)));
    form.first_show();
    // The demo's four open pages, each with what it lacks: buttons showing a still icon file
    // and the library's icons and cursor, image objects of an icon and of a see-through
    // picture, and tab icons, one of them animated.
    const auto pages = form.station().desktop().tab_pages(false);
    ASSERT_GE(pages.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        model::Page& page = *const_cast<model::Page*>(pages[i]);
        model::ButtonData b;
        b.bounds = {500, 300, 120, 48};
        b.caption = "Icon file";
        b.ani_icon = path("STILL.ICO");
        b.show_icon = true;
        form.station().desktop().add_object(page, b);
        model::ButtonData library = b;
        library.bounds.top = 240;
        library.ani_icon.clear();
        library.icon = static_cast<uint16_t>(i % 2);
        library.show_cursor = true;
        library.cursor = 2;
        form.station().desktop().add_object(page, library);
        page.tab_icon = static_cast<int32_t>(i % 3);
        model::ImageData icon;
        icon.bounds = {500, 360, 48, 48};
        icon.picture_path = path("STILL.ICO");
        form.station().desktop().add_object(page, icon);
        model::ImageData alpha;
        alpha.bounds = {560, 360, 48, 48};
        alpha.stretch = true;
        alpha.picture_path = path("ALPHA.PNG");
        form.station().desktop().add_object(page, alpha);
    }
    ShowWindow(form.hwnd(), SW_SHOWNOACTIVATE);

    int views = 0;
    const auto view_pages = [&](int count) {
        for (int i = 0; i < count; ++i, ++views) {
            ASSERT_TRUE(form.select_tab(views % 4));
            UpdateWindow(form.main_area().hwnd());
            MSG m;
            while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
        }
    };
    // One round first: the caches of fonts, brushes and library icons fill on the first views.
    view_pages(8);
    const test::GuiCounts start = test::gui_counts();
    ASSERT_TRUE(start.counted) << "no way to count GUI objects here";
    std::printf("after %d page views: %lu GDI, %lu USER objects\n", views, start.gdi, start.user);
    for (int round = 0; round < 4; ++round) {
        view_pages(2500);
        const test::GuiCounts now = test::gui_counts();
        std::printf("after %d page views: %lu GDI, %lu USER objects\n", views, now.gdi, now.user);
    }
    const test::GuiCounts end = test::gui_counts();
    EXPECT_EQ(end.gdi, start.gdi);
    EXPECT_EQ(end.user, start.user);
    RecordProperty("gdi_objects", std::to_string(start.gdi) + " -> " + std::to_string(end.gdi));
    RecordProperty("user_objects", std::to_string(start.user) + " -> " + std::to_string(end.user));

    DestroyWindow(form.hwnd());
    MSG m;
    while (PeekMessageW(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

}  // namespace
}  // namespace vx::win::shell
