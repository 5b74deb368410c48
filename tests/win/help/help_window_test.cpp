// The help window: topics, links, Back and Contents, and the dialogs' "&Help" buttons under a
// person's mouse while the dialog is modal.
#include "win/help/help_window.h"

#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "help/topic_table.h"
#include "help/topics.h"
#include "../../unit/shell/fakes.h"
#include "win/editor/person.h"
#include "win/shell/launch_form.h"
#include "win/shell/splash_form.h"
#include "win/util/text.h"

namespace vx::win::help {
namespace {

using namespace vx::win::test;

std::wstring text_of(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

BOOL CALLBACK count_help_window(HWND w, LPARAM count) {
    wchar_t cls[64] = {};
    GetClassNameW(w, cls, 64);
    if (std::wstring(cls) == THelpWindow::kClassName) ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int help_windows() {
    int count = 0;
    EnumWindows(count_help_window, reinterpret_cast<LPARAM>(&count));
    return count;
}

bool link_effect_at(HWND rich, LONG at) {
    CHARRANGE range{at, at + 1};
    SendMessageW(rich, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    CHARFORMAT2W cf{};
    cf.cbSize = sizeof cf;
    SendMessageW(rich, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    return (cf.dwEffects & CFE_LINK) != 0;
}

TEST(HelpWindow, OneWindowShowsEachTopicAndGoesBack) {
    THelpWindow help;
    ASSERT_TRUE(help.show(nullptr, vx::help::kRunProgramTopic));
    const HWND window = help.hwnd();
    ASSERT_TRUE(help.rich()) << "no rich edit control";
    EXPECT_EQ(help.topic(), vx::help::kRunProgramTopic);
    EXPECT_FALSE(help.can_go_back());
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, IDC_BUTTON_HELP_BACK)));
    const std::wstring text = text_of(help.text_control());
    EXPECT_EQ(text.rfind(L"Run Program", 0), 0u);
    // Each link is marked as one over exactly its text, and nothing else is.
    ASSERT_FALSE(help.links().empty());
    const vx::help::Topic* topic = vx::help::find_topic(vx::help::kRunProgramTopic);
    ASSERT_EQ(help.links().size(), vx::help::links_of(*topic).size());
    for (const auto& link : help.links()) {
        EXPECT_TRUE(link_effect_at(help.text_control(), link.first));
        EXPECT_TRUE(link_effect_at(help.text_control(), link.last - 1));
        EXPECT_FALSE(link_effect_at(help.text_control(), link.first - 1));
        EXPECT_NE(vx::help::find_topic(link.topic), nullptr);
    }
    EXPECT_FALSE(link_effect_at(help.text_control(), 0));

    // A form's context shows its form's topic; an unknown number the contents. Same window.
    ASSERT_TRUE(help.show(nullptr, vx::help::kPagePasswordContext));
    EXPECT_EQ(help.topic(), vx::help::kPagePasswordTopic);
    ASSERT_TRUE(help.show(nullptr, 4242));
    EXPECT_EQ(help.topic(), vx::help::kContentsTopic);
    EXPECT_EQ(help.hwnd(), window);
    EXPECT_EQ(help_windows(), 1);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, IDC_BUTTON_HELP_BACK)));

    help.back();
    EXPECT_EQ(help.topic(), vx::help::kPagePasswordTopic);
    help.back();
    EXPECT_EQ(help.topic(), vx::help::kRunProgramTopic);
    EXPECT_FALSE(help.can_go_back());
    help.contents();
    EXPECT_EQ(help.topic(), vx::help::kContentsTopic);
    EXPECT_TRUE(GetWindowLongW(help.text_control(), GWL_STYLE) & ES_READONLY);
}

TEST(HelpWindow, WithoutRichEditShowsThePlainTextWithTheSameButtons) {
    THelpWindow help(false);
    ASSERT_TRUE(help.show(nullptr, vx::help::kShutDownTopic));
    EXPECT_FALSE(help.rich());
    EXPECT_EQ(narrow(text_of(help.text_control())),
              vx::help::plain_text(*vx::help::find_topic(vx::help::kShutDownTopic)));
    EXPECT_TRUE(help.links().empty());
    EXPECT_TRUE(GetWindowLongW(help.text_control(), GWL_STYLE) & ES_READONLY);
    SendMessageW(help.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_BUTTON_HELP_CONTENTS, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(help.hwnd(), IDC_BUTTON_HELP_CONTENTS)));
    EXPECT_EQ(help.topic(), vx::help::kContentsTopic);
    SendMessageW(help.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_BUTTON_HELP_BACK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(help.hwnd(), IDC_BUTTON_HELP_BACK)));
    EXPECT_EQ(help.topic(), vx::help::kShutDownTopic);
}

// The owner every dialog of these tests belongs to, as the main window is in the shell.
struct Owner {
    HWND window = CreateWindowExW(0, L"STATIC", L"Help test owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400,
                                  300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ~Owner() { DestroyWindow(window); }
};

void screenshot_of(HWND window, const std::string& name) {
    RECT r{};
    GetWindowRect(window, &r);
    screenshot(r, name);
}

// Clicks the middle of the shown link `index`.
void click_link(OnThread& on, const THelpWindow& help, size_t index) {
    const POINT at = on([&] {
        const auto& link = help.links().at(index);
        POINTL first{}, last{};
        SendMessageW(help.text_control(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&first), link.first);
        SendMessageW(help.text_control(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&last), link.last - 1);
        // Half a line down from the top of the link's first character.
        POINT p{(first.x + last.x) / 2, first.y + 6};
        if (last.y != first.y) p.x = first.x + 4;
        ClientToScreen(help.text_control(), &p);
        return p;
    });
    click_at(at);
}

// Clicks the dialog's "&Help" and waits for the help window to show a topic; the topic.
int open_help_of(HWND dialog, OnThread& on, const THelpWindow& help) {
    if (!dialog) return 0;
    pause(200);
    click_at(center_of(GetDlgItem(dialog, IDHELP)));
    wait_until([&] { return on([&] { return help.topic(); }) != 0; });
    pause(300);
    return on([&] { return help.topic(); });
}

// The help window's topic once it is `topic`, or whatever it is when the time is up.
int wait_for_topic(OnThread& on, const THelpWindow& help, int topic) {
    wait_until([&] { return on([&] { return help.topic(); }) == topic; });
    pause(300);
    return on([&] { return help.topic(); });
}

// Closes the dialog titled `title` when a person's steps did not.
std::function<void()> cancel_dialog(const wchar_t* title) {
    return [title] {
        if (const HWND dialog = FindWindowW(L"#32770", title)) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    };
}

// The help may cover the dialog; without a window manager a click does not raise the dialog
// again, so the help is moved out of its way (as a person would drag it) before the press.
void press_in_dialog(HWND dialog, HWND help, int id) {
    RECT d{}, h{};
    GetWindowRect(dialog, &d);
    GetWindowRect(help, &h);
    if (h.left < d.right && h.right > d.left && h.top < d.bottom && h.bottom > d.top)
        SetWindowPos(help, nullptr, d.right + 8, h.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    pause(300);
    click_at(center_of(GetDlgItem(dialog, id)));
}

TEST(HelpWindow, RunProgramsHelpButtonOpensItsTopicWhoseLinksAndBackWork) {
    VX_NEED_DISPLAY();
    Owner owner;
    OnThread on;
    THelpWindow help;
    vx::shell::testing::MemoryStore settings;
    shell::LaunchFormPorts ports{settings, {}, [&](int topic) { help.show(owner.window, topic); }};
    shell::TLaunchForm form(ports);
    int opened = 0, linked_to = 0, target = 0, after_back = 0;
    bool owner_disabled = false, menu_shown = true;
    Person person(
        [&] {
            const HWND dialog = find_dialog(L"Run Program");
            opened = open_help_of(dialog, on, help);
            if (!opened) return;
            owner_disabled = !IsWindowEnabled(owner.window);
            screenshot_of(help.hwnd(), "HelpWindow.RunProgram");

            // A right click on the text opens no menu of any kind.
            const POINT inside = center_of(help.text_control());
            move_to(inside);
            send_mouse(inside, MOUSEEVENTF_RIGHTDOWN);
            send_mouse(inside, MOUSEEVENTF_RIGHTUP);
            pause(400);
            const HWND menu = FindWindowW(L"#32768", nullptr);
            menu_shown = menu && IsWindowVisible(menu);
            if (menu_shown) tap(VK_ESCAPE);

            target = on([&] { return help.links().empty() ? 0 : help.links().front().topic; });
            click_link(on, help, 0);
            linked_to = wait_for_topic(on, help, target);
            screenshot_of(help.hwnd(), "HelpWindow.LinkedTopic");

            click_at(center_of(GetDlgItem(help.hwnd(), IDC_BUTTON_HELP_BACK)));
            after_back = wait_for_topic(on, help, vx::help::kRunProgramTopic);
            press_in_dialog(dialog, help.hwnd(), IDCANCEL);
        },
        cancel_dialog(L"Run Program"));
    form.run(owner.window);
    EXPECT_TRUE(person.finish());
    EXPECT_EQ(opened, vx::help::kRunProgramTopic);
    EXPECT_TRUE(owner_disabled) << "the dialog was not modal";
    EXPECT_FALSE(menu_shown);
    EXPECT_NE(target, 0);
    EXPECT_EQ(linked_to, target);
    EXPECT_EQ(after_back, vx::help::kRunProgramTopic);
    EXPECT_EQ(GetWindow(help.hwnd(), GW_OWNER), owner.window);
}

TEST(HelpWindow, AboutsHelpButtonOpensItsTopicAndContentsTheIndex) {
    VX_NEED_DISPLAY();
    Owner owner;
    OnThread on;
    THelpWindow help;
    shell::TSplashForm about([&](int topic) { help.show(owner.window, topic); });
    int opened = 0, contents = 0;
    Person person(
        [&] {
            const HWND dialog = find_dialog(L"About Vantora!");
            opened = open_help_of(dialog, on, help);
            if (!opened) return;
            screenshot_of(help.hwnd(), "HelpWindow.About");
            click_at(center_of(GetDlgItem(help.hwnd(), IDC_BUTTON_HELP_CONTENTS)));
            contents = wait_for_topic(on, help, vx::help::kContentsTopic);
            screenshot_of(help.hwnd(), "HelpWindow.Contents");
            press_in_dialog(dialog, help.hwnd(), IDOK);
        },
        cancel_dialog(L"About Vantora!"));
    about.run(owner.window);
    EXPECT_TRUE(person.finish());
    EXPECT_EQ(opened, vx::help::kAboutTopic);
    EXPECT_EQ(contents, vx::help::kContentsTopic);
}

}  // namespace
}  // namespace vx::win::help
