// The harness brings in <windows.h>, which the common controls need first.
#include "e2e/harness.h"

#include <commctrl.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "win/shell/main_form.h"
#include "win/util/text.h"

namespace vx::e2e {
namespace {

using win::shell::kMainFormClass;
namespace fs = std::filesystem;

class DemoDesktop : public ShellTest {
protected:
    HWND main = nullptr;
    HWND tabs = nullptr;

    // Starts the shell on the demo desktop and waits until its tabs are there.
    void start_demo() {
        fs::copy(fs::path(VX_DATA_DIR) / "demo", folder(),
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        // The stock icon library the native lane makes, when it is there: without it the
        // buttons and tabs simply show no icons.
        const fs::path stock = fs::path(VX_E2E_BUILD_DIR) / ".." / "native" / "data" / "iconlib";
        std::error_code ec;
        for (const char* name : {"VXIndex.Lib", "VXIcon.Lib"})
            fs::copy_file(stock / name, folder() / name, fs::copy_options::overwrite_existing, ec);
        start_shell();
        main = wait_for_window(kMainFormClass);
        ASSERT_NE(main, nullptr);
        // The frame window can be found a moment before its children exist.
        ASSERT_TRUE(eventually(
            [&] { return (tabs = FindWindowExW(main, nullptr, WC_TABCONTROLW, nullptr)) != nullptr; }));
        ASSERT_TRUE(eventually([&] { return TabCtrl_GetItemCount(tabs) == 5; })) << "the demo has five tabs";
    }
    // The page surface as it is on the screen now, one COLORREF per pixel, row by row.
    struct SurfacePixels {
        int width = 0, height = 0;
        std::vector<COLORREF> pixels;
        COLORREF at(int x, int y) const {
            const DWORD bgra =
                pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
            return RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF);
        }
    };
    SurfacePixels grab_surface() const {
        SurfacePixels out;
        HWND surface = FindWindowExW(main, nullptr, win::surface::kScrollBoxClass, nullptr);
        if (!surface) return out;
        RECT client;
        GetClientRect(surface, &client);
        POINT origin{0, 0};
        ClientToScreen(surface, &origin);
        out.width = client.right;
        out.height = client.bottom;
        out.pixels.resize(static_cast<size_t>(out.width) * static_cast<size_t>(out.height));
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), out.width, -out.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(memory, dib);
        BitBlt(memory, 0, 0, out.width, out.height, screen, origin.x, origin.y, SRCCOPY);
        GdiFlush();
        std::memcpy(out.pixels.data(), bits, out.pixels.size() * sizeof(DWORD));
        SelectObject(memory, old);
        DeleteObject(dib);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
        return out;
    }
    // A screenshot kept under the page's name, so that one test can save one per page.
    void screenshot_of(const char* page) {
        const fs::path shot = screenshot();
        if (shot.empty()) return;
        fs::path named = shot;
        named.replace_filename(shot.stem().string() + "." + page + ".png");
        std::error_code ec;
        fs::rename(shot, named, ec);
        if (ec) ADD_FAILURE() << "cannot keep the screenshot as " << named.string();
    }
    int tab() const { return static_cast<int>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0)); }
    bool on_tab(int index) {
        return eventually([&] { return tab() == index; });
    }
};

TEST_F(DemoDesktop, ShowsItsTabsAndPageDownVisitsEveryOpenPage) {
    start_demo();
    EXPECT_EQ(tab(), 0);
    Sleep(300);
    screenshot_of("Welcome");
    const char* const pages[] = {"Office", "Internet", "Tools"};
    for (int i = 1; i <= 3; ++i) {
        press_key(main, VK_NEXT);
        ASSERT_TRUE(on_tab(i)) << "Page Down to tab " << i;
        Sleep(300);
        screenshot_of(pages[i - 1]);
    }
    press_key(main, VK_HOME);
    EXPECT_TRUE(on_tab(0));
}

TEST_F(DemoDesktop, EndAsksForThePagePasswordAndOnlyTheRightOneOpensIt) {
    start_demo();
    press_key(main, VK_END);
    HWND prompt = wait_for_window(L"#32770", L"Password Required");
    ASSERT_NE(prompt, nullptr) << "the staff page asks for its password";
    Sleep(300);
    screenshot();
    EXPECT_EQ(tab(), 0) << "the tab waits for the password";

    // Cancel refuses: the tab stays.
    click_control(prompt, IDCANCEL);
    ASSERT_TRUE(eventually([&] { return !IsWindow(prompt); }));
    EXPECT_EQ(tab(), 0);

    press_key(main, VK_END);
    prompt = wait_for_window(L"#32770", L"Password Required");
    ASSERT_NE(prompt, nullptr);
    HWND edit = FindWindowExW(prompt, nullptr, L"Edit", nullptr);
    ASSERT_NE(edit, nullptr);
    click(edit, 5, 5);
    type_text(L"library");
    press_key(VK_RETURN);
    ASSERT_TRUE(on_tab(4)) << "the right password, in any case, opens the page";
    Sleep(300);
    screenshot_of("Staff");
}

TEST_F(DemoDesktop, WelcomePageShowsItsButtonsOverThePageColour) {
    start_demo();
    Sleep(500);
    screenshot();
    const SurfacePixels s = grab_surface();
    ASSERT_GE(s.width, 600);
    ASSERT_GE(s.height, 250);
    // The Welcome page's colour (light blue) where nothing stands.
    const COLORREF page = RGB(0xA8, 0xD8, 0xF0);
    EXPECT_EQ(s.at(20, 300), page) << "the page background below the buttons";
    EXPECT_EQ(s.at(630, 150), page) << "the page background right of the buttons";
    // The four buttons: most of each body is drawn in the button's own colours.
    struct Box {
        const char* name;
        int left, top, width, height;
    };
    for (const Box& b : {Box{"Office work", 60, 130, 160, 40}, Box{"Internet", 240, 130, 160, 40},
                         Box{"Tools", 420, 130, 160, 40}, Box{"Staff only", 240, 200, 160, 40}}) {
        int painted = 0, total = 0;
        for (int y = b.top + 4; y < b.top + b.height - 4; y += 2)
            for (int x = b.left + 4; x < b.left + b.width - 4; x += 2, ++total)
                if (s.at(x, y) != page) ++painted;
        EXPECT_GT(painted * 2, total) << b.name << ": " << painted << " of " << total << " pixels drawn";
    }
}

// Off until the main window gives the desktop loader its picture folders (the program's and the
// desktop file's): without them every image object loads without its picture.
TEST_F(DemoDesktop, WelcomeLogoIsDrawnWithItsWhiteAsThePageColour) {
    start_demo();
    Sleep(500);
    const SurfacePixels s = grab_surface();
    ASSERT_GE(s.width, 104);
    ASSERT_GE(s.height, 76);
    // The logo (an image object at 40,12, 64 by 64) is found beside the desktop file and drawn
    // transparent: its white shows the page colour, its blue cover stays.
    int blue = 0, white = 0;
    for (int y = 12; y < 76; ++y)
        for (int x = 40; x < 104; ++x) {
            blue += s.at(x, y) == RGB(0x1F, 0x4E, 0x8C);
            white += s.at(x, y) == RGB(0xFF, 0xFF, 0xFF);
        }
    EXPECT_GT(blue, 500) << "the logo's cover";
    EXPECT_EQ(white, 0) << "the logo's white is replaced by the page colour";
}

}  // namespace
}  // namespace vx::e2e
