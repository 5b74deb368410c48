#pragma once
// A shell test with a desktop of its own: the desktop is built in memory and written as the
// program's VX.DTP in the test's program folder, with the test suite's start recorder beside it,
// so each test states its buttons where it uses them. The recorder's file is VX_RECORD_FILE,
// which the shell and what it starts inherit from the driver.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>

#include "e2e/harness.h"
#include "model/desktop.h"
#include "model/desktop_file.h"
#include "model/image_resolver.h"
#include "model/objects.h"
#include "port/locale.h"
#include "port/text_codec.h"
#include "win/shell/main_form.h"
#include "win/util/text.h"

namespace vx::e2e {

class DesktopTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        const auto helper =
            std::filesystem::path(VX_E2E_BUILD_DIR) / "tests" / "win" / "helpers" / "vx_start_recorder.exe";
        ASSERT_TRUE(std::filesystem::exists(helper)) << "build vx_start_recorder first";
        std::filesystem::copy_file(helper, folder() / "REC.EXE",
                                   std::filesystem::copy_options::overwrite_existing);
        close_recorder_windows();
        record_ = folder() / "record.txt";
        SetEnvironmentVariableW(L"VX_RECORD_FILE", record_.wstring().c_str());
        desktop.create_master_page();
        desktop.add_page("Page 1");
        desktop.add_page(std::string(model::kStartUpPage));
    }
    void TearDown() override {
        close_recorder_windows();
        ShellTest::TearDown();
        SetEnvironmentVariableW(L"VX_RECORD_FILE", nullptr);
    }

    // The recorder with `arguments`, as a program button on `page` at (left, top).
    model::ObjectEntry& add_recorder_button(const std::string& page, const std::string& lines, int left = 20,
                                            int top = 20) {
        model::ButtonData b;
        b.kind = model::kKindProgram;
        b.caption = "Recorder";
        b.bounds = {left, top, 120, 40};
        b.command = lines;
        b.command_lines = static_cast<int32_t>(std::count(lines.begin(), lines.end(), '\r'));
        b.security_level = 0;
        model::Page* p = desktop.find_page(page);
        EXPECT_NE(p, nullptr) << page;
        return desktop.add_object(*p, std::move(b));
    }
    static std::string recorder_line(const std::string& arguments) {
        return "<DEFAULTDIR>REC.EXE " + arguments + "\r";
    }

    void save_desktop() { save_desktop_as(desktop, folder() / "VX.DTP"); }
    // Any desktop, written plain at `path` as a station's administrator might leave it.
    static void save_desktop_as(model::Desktop& d, const std::filesystem::path& path) {
        UsEnglishLocale locale;
        Windows1252Codec codec;
        d.file_name = path.string();
        model::WriteContext ctx{&locale, &codec, -1};
        ASSERT_TRUE(model::save_desktop_file(d, ctx, model::SaveOptions{false, false}));
    }

    // A desktop file as the shell left it, deciphered by the same reader the shell uses.
    static model::Desktop load_saved(const std::filesystem::path& path) {
        model::Desktop d;
        d.file_name = path.string();
        UsEnglishLocale locale;
        Windows1252Codec codec;
        int mark = 0;
        model::ReadContext ctx;
        ctx.locale = &locale;
        ctx.codec = &codec;
        ctx.encryption_mark = &mark;
        ctx.is_administrator = [] { return true; };
        // Pictures beside the file are found, so that an image's name reads back.
        const std::string dir = path.parent_path().string();
        const model::FolderImageResolver images(dir, dir);
        ctx.images = &images;
        EXPECT_TRUE(model::load_desktop_file(d, ctx)) << "no desktop file at " << path.string();
        return d;
    }

    // Starts the shell on the saved desktop and waits for its main window's first page.
    HWND start_on_desktop() {
        save_desktop();
        start_shell();
        const HWND main = wait_for_window(win::shell::kMainFormClass);
        if (main) Sleep(500);  // the first show loads the desktop after the window is up
        return main;
    }

    // The recorder's lines once it has written them; empty when it did not within `timeout`.
    std::map<std::string, std::string> wait_for_record(std::chrono::milliseconds timeout = 15s) {
        std::map<std::string, std::string> out;
        eventually([&] { return std::filesystem::exists(record_); }, timeout);
        std::ifstream in(record_);
        std::string line;
        while (std::getline(in, line)) {
            const auto eq = line.find('=');
            if (eq != std::string::npos) out[line.substr(0, eq)] = line.substr(eq + 1);
        }
        return out;
    }
    bool recorded() const { return std::filesystem::exists(record_); }
    void forget_record() { std::filesystem::remove(record_); }

    // Starts the recorder of `button` with a window titled TRACKED and brings that window to the
    // front, where the usage log's tracking sees it; false when the window did not come.
    bool put_tracked_program_in_front(HWND main, const model::ObjectEntry& button) {
        click_button(main, button);
        const HWND tracked = wait_for_window(L"VxStartRecorder", L"TRACKED");
        if (!tracked) return false;
        SetForegroundWindow(tracked);
        return true;
    }

    // Clicks the middle of a button of the shown page.
    static void click_button(HWND main, const model::ObjectEntry& entry) {
        const auto& b = model::bounds_of(entry.data);
        click(GetDlgItem(main, win::shell::kIdMainArea), b.left + b.width / 2, b.top + b.height / 2);
    }

    // A visible top-level window of this class that belongs to the process owning `main`.
    static HWND wait_for_shell_window(HWND main, const wchar_t* class_name, std::chrono::milliseconds timeout) {
        DWORD shell_pid = 0;
        GetWindowThreadProcessId(main, &shell_pid);
        HWND found = nullptr;
        eventually(
            [&] {
                for (HWND w = FindWindowW(class_name, nullptr); w; w = FindWindowExW(nullptr, w, class_name, nullptr)) {
                    DWORD pid = 0;
                    GetWindowThreadProcessId(w, &pid);
                    if (pid == shell_pid && IsWindowVisible(w)) {
                        found = w;
                        return true;
                    }
                }
                return false;
            },
            timeout);
        return found;
    }
    // A message box (or other standard dialog) of the process that owns `main`.
    static HWND wait_for_dialog(HWND main, std::chrono::milliseconds timeout = 10s) {
        return wait_for_shell_window(main, L"#32770", timeout);
    }
    // Clicks the dialog's button with this id.
    static void answer(HWND dialog, int id) { click_control(dialog, id); }

    // A visible pop-up menu (the menu bar's drop-down, a menu button's menu) of the shell.
    static HWND wait_for_menu(HWND main, std::chrono::milliseconds timeout = 5s) {
        return wait_for_shell_window(main, L"#32768", timeout);
    }

    // Chooses a menu command as a person would from the keyboard: Alt and the menu's letter,
    // then the item's letter. False when the menu did not open (it is hidden for the user).
    static bool menu_command(HWND main, vx::shell::MenuCommand command) {
        using vx::shell::MenuCommand;
        struct Keys {
            MenuCommand command;
            char menu, item;
        } const keys[] = {{MenuCommand::Exit, 'D', 'X'},         {MenuCommand::Run, 'D', 'R'},
                          {MenuCommand::NewDesktop, 'D', 'N'},   {MenuCommand::OpenDesktop, 'D', 'O'},
                          {MenuCommand::ViewUsageLog, 'O', 'L'}, {MenuCommand::About, 'H', 'A'},
                          {MenuCommand::HelpContents, 'H', 'C'}};
        for (const Keys& k : keys) {
            if (k.command != command) continue;
            press_key(main, static_cast<UINT>(k.menu), {VK_MENU});
            if (!wait_for_menu(main, 3s)) {
                press_key(VK_ESCAPE);
                return false;
            }
            press_key(static_cast<UINT>(k.item));
            return true;
        }
        ADD_FAILURE() << "no keys for menu command " << static_cast<int>(command);
        return false;
    }

    // Recorders started with a window outlive the shell that started them.
    static void close_recorder_windows() {
        for (int i = 0; i < 20; ++i) {
            const HWND w = FindWindowW(L"VxStartRecorder", nullptr);
            if (!w) return;
            SendMessageTimeoutW(w, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
            eventually([&] { return !IsWindow(w); }, 3s);
        }
    }

    static std::string upper(std::string s) {
        for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return s;
    }

    model::Desktop desktop;

private:
    std::filesystem::path record_;
};

}  // namespace vx::e2e
