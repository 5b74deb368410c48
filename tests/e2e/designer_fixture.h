#pragma once
// Modify mode as the administrator reaches it: "&Setup" and "E&xit Setup" from the keyboard, the
// tab strip of the shell's process, and the desktop file the designer saved, read back as the
// shell reads it.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "e2e/desktop_fixture.h"

namespace vx::e2e {

class DesignerFixture : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        set_setting("ExitPrompt", "0");
    }

    static HWND tabs(HWND main) { return GetDlgItem(main, win::shell::kIdPageTabs); }
    static HWND surface(HWND main) { return GetDlgItem(main, win::shell::kIdMainArea); }
    static int tab_count(HWND main) { return static_cast<int>(SendMessageW(tabs(main), TCM_GETITEMCOUNT, 0, 0)); }
    static int selected_tab(HWND main) { return static_cast<int>(SendMessageW(tabs(main), TCM_GETCURSEL, 0, 0)); }

    // "&Setup" from the keyboard; modify mode shows "Master" first and "StartUp" last.
    void enter_modify_mode(HWND main) {
        const int run_tabs = tab_count(main);
        press_key(main, 'D', {VK_MENU});
        ASSERT_TRUE(wait_for_menu(main, 3s)) << "the Desktop menu did not open";
        press_key('S');
        ASSERT_TRUE(eventually([&] { return tab_count(main) == run_tabs + 2; })) << "no Master and StartUp tabs";
        EXPECT_EQ(selected_tab(main), 1) << "the first page is not shown";
        Sleep(300);
    }

    void leave_modify_mode(HWND main) {
        const int modify_tabs = tab_count(main);
        press_key(main, 'D', {VK_MENU});
        ASSERT_TRUE(wait_for_menu(main, 3s)) << "the Desktop menu did not open";
        press_key('X');
        ASSERT_TRUE(eventually([&] { return tab_count(main) == modify_tabs - 2; })) << "still in modify mode";
    }

    static void drag(HWND main, POINT from, POINT to) {
        bring_to_front(main);
        win::test::drag(surface(main), from, to);
        Sleep(300);
    }
    static void click_at(HWND main, int x, int y) { click(surface(main), x, y); }

    // A tab's rectangle in the tab strip of another process: the message's answer is written
    // into memory of that process, then read back.
    static RECT remote_tab_rect(HWND strip, int index) {
        RECT r{};
        DWORD pid = 0;
        GetWindowThreadProcessId(strip, &pid);
        const HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (!process) return r;
        void* remote = VirtualAllocEx(process, nullptr, sizeof r, MEM_COMMIT, PAGE_READWRITE);
        if (remote) {
            SendMessageW(strip, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(remote));
            SIZE_T read = 0;
            ReadProcessMemory(process, remote, &r, sizeof r, &read);
            VirtualFreeEx(process, remote, 0, MEM_RELEASE);
        }
        CloseHandle(process);
        return r;
    }

    // The desktop file as the shell left it, deciphered by the same reader the shell uses.
    model::Desktop saved() const {
        model::Desktop d;
        d.file_name = (folder() / "VX.DTP").string();
        UsEnglishLocale locale;
        Windows1252Codec codec;
        int mark = 0;
        model::ReadContext ctx;
        ctx.locale = &locale;
        ctx.codec = &codec;
        ctx.encryption_mark = &mark;
        ctx.is_administrator = [] { return true; };
        EXPECT_TRUE(model::load_desktop_file(d, ctx)) << "no desktop file";
        return d;
    }

    // Each object of the page in the desktop file's own words, front first.
    static std::vector<std::string> object_texts(const model::Page* page) {
        UsEnglishLocale locale;
        Windows1252Codec codec;
        model::WriteContext ctx{&locale, &codec, -1};
        std::vector<std::string> out;
        if (!page) return out;
        for (const auto& e : page->objects) out.push_back(model::write_object_group(e.data, ctx));
        return out;
    }
};

}  // namespace vx::e2e
