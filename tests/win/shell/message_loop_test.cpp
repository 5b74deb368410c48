#include "win/shell/application.h"

#include <gtest/gtest.h>

#include <vector>

#include "win/editor/person.h"
#include "win/support/dialog_template.h"
#include "win/util/modeless.h"

namespace vx::win::shell {
namespace {

using test::DialogTemplate;

// Records the accelerator commands a dialog receives.
INT_PTR CALLBACK probe_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lparam);
        return TRUE;
    }
    if (message == WM_COMMAND && HIWORD(wparam) == 1) {
        reinterpret_cast<std::vector<int>*>(GetWindowLongPtrW(dialog, DWLP_USER))->push_back(LOWORD(wparam));
        return TRUE;
    }
    return FALSE;
}

HWND probe(const DialogTemplate& t, std::vector<int>& commands, int x) {
    const HWND d = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.get(), nullptr, probe_proc,
                                              reinterpret_cast<LPARAM>(&commands));
    if (d) SetWindowPos(d, HWND_TOPMOST, x, 60, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    return d;
}

// Two modeless dialogs, each with Ctrl+Z as its own command: Tab moves the focus within the one
// that has it, and the key gives the command of the window it was typed in.
TEST(MessageLoop, ModelessWindowsTakeTabAndTheirOwnAccelerators) {
    VX_NEED_DISPLAY();
    const DialogTemplate two_edits(2, L"first"), one_edit(1, L"second");
    std::vector<int> first_commands, second_commands;
    const HWND first = probe(two_edits, first_commands, 40);
    const HWND second = probe(one_edit, second_commands, 400);
    ASSERT_TRUE(first && second);
    ACCEL undo_first{FCONTROL | FVIRTKEY, 'Z', 201}, undo_second{FCONTROL | FVIRTKEY, 'Z', 202};
    const HACCEL first_keys = CreateAcceleratorTableW(&undo_first, 1);
    const HACCEL second_keys = CreateAcceleratorTableW(&undo_second, 1);
    const HWND first_edit = GetDlgItem(first, DialogTemplate::kEdit);
    const HWND first_next = GetDlgItem(first, DialogTemplate::kEdit + 1);
    const HWND second_edit = GetDlgItem(second, DialogTemplate::kEdit);

    HWND after_tab = nullptr;
    {
        const ModelessRegistration first_registered(first, first_keys);
        const ModelessRegistration second_registered(second, second_keys);
        test::OnThread on_ui;
        const DWORD ui = GetCurrentThreadId();
        const auto focus = [&] { return on_ui([] { return GetFocus(); }); };
        const auto commands = [&](const std::vector<int>& of) { return on_ui([&] { return of.size(); }); };
        test::Person person(
            [&] {
                test::click_at(test::center_of(first_edit));
                test::wait_until([&] { return focus() == first_edit; });
                test::tap(VK_TAB);
                test::wait_until([&] { return focus() == first_next; });
                after_tab = focus();
                test::tap('Z', {VK_CONTROL});
                test::wait_until([&] { return commands(first_commands) == 1; });
                test::click_at(test::center_of(second_edit));
                test::wait_until([&] { return focus() == second_edit; });
                test::tap('Z', {VK_CONTROL});
                test::wait_until([&] { return commands(second_commands) == 1; });
                PostThreadMessageW(ui, WM_QUIT, 0, 0);
            },
            [ui] { PostThreadMessageW(ui, WM_QUIT, 0, 0); });
        run_message_loop();
        EXPECT_TRUE(person.finish());
    }
    EXPECT_EQ(after_tab, first_next) << "Tab moved the focus to the next edit box";
    EXPECT_EQ(first_commands, std::vector<int>{201});
    EXPECT_EQ(second_commands, std::vector<int>{202}) << "each window's key gives its own command";
    DestroyWindow(first);
    DestroyWindow(second);
    DestroyAcceleratorTable(first_keys);
    DestroyAcceleratorTable(second_keys);
}

}  // namespace
}  // namespace vx::win::shell
