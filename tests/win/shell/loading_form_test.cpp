// "Welcome to...": the window itself, and the window a real desktop load puts up.
#include "win/shell/loading_form.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "util/file_io.h"
#include "win/shell/loading_ids.h"
#include "win/shell/main_form.h"
#include "win/shell/registry_settings.h"
#include "win/support/real_input.h"
#include "win/support/screenshot.h"
#include "win/util/text.h"

namespace vx::win::shell {
namespace {

std::wstring window_text(HWND w) {
    wchar_t buf[256]{};
    GetWindowTextW(w, buf, 256);
    return buf;
}

std::filesystem::path screenshot_path(const char* name) {
    return std::filesystem::path(VX_WIN_SCREENSHOT_DIR) / (std::string(name) + ".png");
}

class LoadingFormTest : public ::testing::Test {
protected:
    const std::wstring key =
        L"Software\\Halvane\\VantoraTest\\Loading" + std::to_wstring(GetCurrentProcessId());
    RegistrySettingsStore store{key};
    std::string dir;

    void SetUp() override {
        wchar_t tmp[MAX_PATH]{};
        GetTempPathW(MAX_PATH, tmp);
        dir = narrow(tmp) + "vxloading" + std::to_string(GetCurrentProcessId());
        CreateDirectoryW(widen(dir).c_str(), nullptr);
        INITCOMMONCONTROLSEX icc{sizeof icc,
                                 ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&icc);
    }
    void TearDown() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
        DeleteFileW(widen(join_path(dir, "VX.DTP")).c_str());
        RemoveDirectoryW(widen(dir).c_str());
    }
    static void close(TMainForm& form) {
        DestroyWindow(form.hwnd());
        MSG m;
        while (PeekMessageW(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
};

TEST_F(LoadingFormTest, ShowsTheTitleTheFileAndTheGaugeAndLeavesTheMainWindowActive) {
    TMainForm main(store);
    main.set_program_dir(dir);
    ASSERT_TRUE(main.create(GetModuleHandleW(nullptr)));
    main.show(SW_SHOWNORMAL);
    ASSERT_TRUE(test::bring_to_front(main.hwnd()));

    const std::string file = join_path(dir, "VX.DTP");
    {
        TLoadingForm loading(main.hwnd(), "Vantora!", file);
        loading.begin(4);
        const HWND window = loading.hwnd();
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(IsWindowVisible(window));
        EXPECT_EQ(window_text(window), L"Welcome to...");
        EXPECT_EQ(GetWindow(window, GW_OWNER), main.hwnd());
        RECT own{}, mine{};
        GetWindowRect(main.hwnd(), &own);
        GetWindowRect(window, &mine);
        EXPECT_NEAR((mine.left + mine.right) / 2, (own.left + own.right) / 2, 2)
            << "centred over the main window";
        EXPECT_NEAR((mine.top + mine.bottom) / 2, (own.top + own.bottom) / 2, 2);
        EXPECT_EQ(window_text(GetDlgItem(window, IDC_STATIC_LOADING_TITLE)), L"Vantora!");
        EXPECT_EQ(window_text(GetDlgItem(window, IDC_STATIC_LOADING_FILE)), widen(file));
        EXPECT_EQ(loading.gauge_maximum(), 4);
        EXPECT_EQ(loading.gauge_position(), 0);
        loading.advance(3);
        EXPECT_EQ(loading.gauge_position(), 3);
        EXPECT_EQ(GetForegroundWindow(), main.hwnd()) << "the loading window took the activation";
        EXPECT_EQ(GetActiveWindow(), main.hwnd());

        test::settle();
        EXPECT_TRUE(test::save_screen(screenshot_path("LoadingForm.Gauge")));
        loading.advance(9);
        EXPECT_EQ(loading.gauge_position(), 4) << "never beyond the end";
        loading.end();
        EXPECT_FALSE(IsWindow(window));
    }
    EXPECT_EQ(GetActiveWindow(), main.hwnd());
    close(main);
}

// What the main window's loading window went through, seen from inside the thread: the load
// holds the message loop, so nothing but a hook sees the window while it is up.
struct LoadingWatch {
    static inline HWND window = nullptr;
    static inline std::vector<std::string> log;
    static inline bool was_visible = false;

    static LRESULT CALLBACK call(int code, WPARAM wparam, LPARAM lparam) {
        const auto* msg = reinterpret_cast<const CWPSTRUCT*>(lparam);
        if (code == HC_ACTION && msg) {
            const HWND parent = GetParent(msg->hwnd);
            if (parent && GetDlgCtrlID(msg->hwnd) == IDC_PROGRESS_LOADING &&
                window_text(parent) == L"Welcome to...") {
                window = parent;
                was_visible = was_visible || IsWindowVisible(parent);
                if (msg->message == PBM_SETRANGE32) log.push_back("range " + std::to_string(msg->lParam));
                if (msg->message == PBM_SETPOS) log.push_back("pos " + std::to_string(msg->wParam));
            }
        }
        return CallNextHookEx(nullptr, code, wparam, lparam);
    }
};

TEST_F(LoadingFormTest, TheMainWindowReadsItsDesktopUnderTheWelcomeWindow) {
    // The demo: five pages with tabs and "StartUp"; its count line says 5.
    write_file_atomic(join_path(dir, "VX.DTP"), read_file(std::string(VX_DATA_DIR) + "/demo/VX.DTP"));
    LoadingWatch::window = nullptr;
    LoadingWatch::log.clear();
    LoadingWatch::was_visible = false;
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, &LoadingWatch::call, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);

    TMainForm form(store);
    form.set_program_dir(dir);
    ASSERT_TRUE(form.create(GetModuleHandleW(nullptr)));
    form.first_show();
    UnhookWindowsHookEx(hook);

    ASSERT_FALSE(form.station().desktop().pages().empty());
    EXPECT_TRUE(LoadingWatch::was_visible);
    EXPECT_EQ(LoadingWatch::log, (std::vector<std::string>{"range 4", "pos 0", "pos 1", "pos 2", "pos 3",
                                                           "pos 4", "pos 4", "pos 4"}));
    EXPECT_FALSE(IsWindow(LoadingWatch::window)) << "gone once the desktop has loaded";
    close(form);
}

}  // namespace
}  // namespace vx::win::shell
