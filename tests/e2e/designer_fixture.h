#pragma once
// The designer as an administrator reaches it: a desktop of the test's own, "&Setup" and
// "E&xit Setup" from the keyboard, real mouse input on the page, and the desktop file read back
// as the shell left it.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <string>
#include <vector>

#include "e2e/desktop_fixture.h"
#include "win/editor/tool_palette.h"

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

    model::ObjectEntry& add_button(const std::string& caption, model::Bounds bounds, int tag = 0) {
        model::ButtonData b;
        b.kind = model::kKindProgram;
        b.caption = caption;
        b.bounds = bounds;
        b.tag = tag;
        return desktop.add_object(*desktop.find_page("Page 1"), std::move(b));
    }

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

    // Slower than a quick flick of the hand: the display's own pointer follows each move a
    // little later, and a release sent before it arrives is taken where the pointer still is.
    static void drag(HWND main, POINT from, POINT to) {
        using std::chrono::milliseconds;
        bring_to_front(main);
        const HWND page = surface(main);
        win::test::send_mouse(win::test::to_screen(page, from.x, from.y), 0);
        win::test::settle(milliseconds(150));
        win::test::send_mouse(win::test::to_screen(page, from.x, from.y), MOUSEEVENTF_LEFTDOWN);
        win::test::settle(milliseconds(100));
        win::test::send_mouse(win::test::to_screen(page, (from.x + to.x) / 2, (from.y + to.y) / 2), 0);
        win::test::settle(milliseconds(100));
        win::test::send_mouse(win::test::to_screen(page, to.x, to.y), 0);
        win::test::settle(milliseconds(300));
        win::test::send_mouse(win::test::to_screen(page, to.x, to.y), MOUSEEVENTF_LEFTUP);
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

    // A band drawn with a tool of the palette; the new object's dialog, or null when it did not
    // open.
    HWND draw_new(HWND main, int tool_button, POINT from, POINT to, const wchar_t* dialog_title) {
        const HWND tools = wait_for_shell_window(main, win::editor::kToolPaletteClass, 5s);
        if (!tools) return nullptr;
        click_control(tools, tool_button);
        Sleep(200);
        drag(main, from, to);
        const HWND form = wait_for_window(L"#32770", dialog_title, 10s);
        if (form) Sleep(300);
        return form;
    }
    // OK, and the dialog gone.
    void confirm(HWND form) {
        answer(form, IDOK);
        EXPECT_TRUE(eventually([&] { return !IsWindow(form); })) << "OK did not close the dialog";
        Sleep(200);
    }
    // A click in the middle of a tab of a tab strip of another process.
    static void click_tab(HWND strip, int index) {
        const RECT r = remote_tab_rect(strip, index);
        click(strip, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        Sleep(250);
    }

    // The desktop file as the shell left it, deciphered by the same reader the shell uses.
    model::Desktop saved() const { return load_saved(folder() / "VX.DTP"); }

    // The one object of the page, when it is one and of that kind; else null, and the test fails.
    template <typename T>
    static const T* only_object(const model::Desktop& d, const char* page_name = "Page 1") {
        const model::Page* page = d.find_page(page_name);
        if (!page || page->objects.size() != 1) {
            ADD_FAILURE() << page_name << " does not hold exactly one object";
            return nullptr;
        }
        const T* object = std::get_if<T>(&page->objects.front().data);
        if (!object) ADD_FAILURE() << "the object of " << page_name << " is of another kind";
        return object;
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

// The designer's own tests use the fixture as it is.
using DesignerTest = DesignerFixture;

}  // namespace vx::e2e
