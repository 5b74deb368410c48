// Runs the real kxsetup.exe and UnInstal.Exe on small payloads and answers their pages with
// the mouse and the keyboard, as the person installing would.
#include <objbase.h>

#include <fstream>
#include <functional>
#include <iterator>

#include "e2e/harness.h"
#include "setup/install.h"
#include "win/shell/main_form.h"
#include "win/support/pending_renames.h"
#include "win/util/text.h"

namespace vx::e2e {
namespace {

using namespace vx::setup;
namespace fs = std::filesystem;

constexpr wchar_t kUninstallKey[] = L"Software\\microsoft\\windows\\currentversion\\uninstall\\Vantora!";
constexpr wchar_t kWinlogon[] = L"Software\\microsoft\\windows nt\\currentversion\\Winlogon";

Bytes slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void spit(const fs::path& p, const Bytes& b) {
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

Bytes bytes_of(std::string_view s) {
    return Bytes(s.begin(), s.end());
}

std::wstring reg_value(HKEY root, const wchar_t* key, const wchar_t* name) {
    wchar_t buf[MAX_PATH * 2] = {};
    DWORD size = sizeof buf - sizeof(wchar_t);
    if (RegGetValueW(root, key, name, RRF_RT_REG_SZ | RRF_RT_REG_MULTI_SZ, nullptr, buf, &size) !=
        ERROR_SUCCESS)
        return {};
    std::wstring value(buf, size / sizeof(wchar_t));
    while (!value.empty() && value.back() == L'\0') value.pop_back();
    return value;
}

void set_reg_value(HKEY root, const wchar_t* key, const wchar_t* name, const std::wstring& value) {
    HKEY h;
    if (RegOpenKeyExW(root, key, 0, KEY_SET_VALUE, &h) != ERROR_SUCCESS) return;
    RegSetValueExW(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(h);
}

fs::path windows_folder() {
    wchar_t buf[MAX_PATH];
    GetWindowsDirectoryW(buf, MAX_PATH);
    return buf;
}

// ---- real input ----

void send(std::vector<INPUT> in) {
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
    Sleep(30);
}

INPUT key(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}

void click_at(POINT p) {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    INPUT in[3] = {};
    for (auto& i : in) {
        i.type = INPUT_MOUSE;
        i.mi.dx = static_cast<LONG>((p.x * 65535LL) / (w - 1));
        i.mi.dy = static_cast<LONG>((p.y * 65535LL) / (h - 1));
    }
    in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
    in[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
    send({in[0]});
    send({in[1], in[2]});
}

// Clicks the middle of a dialog's control.
void press(HWND dlg, int id) {
    HWND item = GetDlgItem(dlg, id);
    ASSERT_NE(item, nullptr) << "no control " << id;
    RECT r;
    GetWindowRect(item, &r);
    click_at({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

// Clicks into an edit, selects what it holds and types `text` over it.
void type_into(HWND dlg, int id, const std::wstring& text) {
    press(dlg, id);
    send({key(VK_END, false), key(VK_END, true), key(VK_SHIFT, false), key(VK_HOME, false),
          key(VK_HOME, true), key(VK_SHIFT, true)});
    // A few characters at a time, as typing goes: the input queue does not take a whole path at once.
    for (size_t at = 0; at < text.size(); at += 8) {
        std::vector<INPUT> chars;
        for (wchar_t c : text.substr(at, 8)) {
            for (bool up : {false, true}) {
                INPUT in{};
                in.type = INPUT_KEYBOARD;
                in.ki.wScan = c;
                in.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
                chars.push_back(in);
            }
        }
        send(chars);
    }
}

std::wstring item_text(HWND dlg, int id) {
    wchar_t buf[1024] = {};
    GetDlgItemTextW(dlg, id, buf, 1024);
    return buf;
}

// The text of a message box.
std::string message_of(HWND box) {
    return win::narrow(item_text(box, 0xFFFF));
}

// ---- the programs ----

class InstallerTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        disk_ = folder() / "disk";
        fs::create_directories(disk_);
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kUninstallKey);
    }
    void TearDown() override {
        ShellTest::TearDown();
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kUninstallKey);
        std::error_code ec;
        if (!shortcut_.empty()) fs::remove(shortcut_, ec);
    }

    static fs::path built(const char* relative) { return fs::path(VX_E2E_BUILD_DIR) / relative; }

    // The installer with the directory of `files` appended, and its volumes, on the disk.
    void make_disk(const Bytes& program, const std::vector<PackFile>& files, uint64_t disk_size = 1 << 20) {
        const Payload p = build_payload(program, files, disk_size, kDiskCount);
        Bytes setup = slurp(built("apps/kxsetup/kxsetup.exe"));
        ASSERT_FALSE(setup.empty());
        setup.insert(setup.end(), p.trailer.begin(), p.trailer.end());
        spit(disk_ / "kxsetup.exe", setup);
        for (size_t d = 0; d < p.volumes.size(); ++d)
            spit(disk_ / ("Vantorx.00" + std::to_string(d + 1)), p.volumes[d]);
    }

    // The process id, for finding its dialogs.
    DWORD start(const fs::path& exe) {
        const size_t index = start_program(exe);
        started_.push_back(index);
        return process_id(index);
    }
    bool ended(DWORD pid) {
        for (size_t index : started_)
            if (process_id(index) == pid) return wait_for_exit(index, 20s).has_value();
        return false;
    }

    // A visible dialog or message box of the process with this title.
    static HWND wait_dialog(const wchar_t* title, DWORD pid) {
        HWND found = nullptr;
        eventually(
            [&] {
                HWND h = nullptr;
                while ((h = FindWindowExW(nullptr, h, L"#32770", title)) != nullptr) {
                    DWORD owner = 0;
                    GetWindowThreadProcessId(h, &owner);
                    if (owner == pid && IsWindowVisible(h)) return (found = h) != nullptr;
                }
                return false;
            },
            20s);
        return found;
    }
    static bool gone(HWND h) {
        return eventually([&] { return !IsWindow(h) || !IsWindowVisible(h); });
    }
    // Answers a page or message box with one click and waits for it to close.
    static void answer(HWND dlg, int id) {
        ASSERT_NE(dlg, nullptr);
        press(dlg, id);
        ASSERT_TRUE(gone(dlg)) << "still open after clicking " << id;
    }

    // The pages up to the disks, into `dest`.
    void agree_and_choose(DWORD pid, const fs::path& dest) {
        answer(wait_dialog(L"License Agreement", pid), IDOK);
        HWND page = wait_dialog(L"Destination Directory", pid);
        ASSERT_NE(page, nullptr);
        type_into(page, 104, dest.wstring());
        ASSERT_TRUE(eventually([&] { return item_text(page, 104) == dest.wstring(); }))
            << win::narrow(item_text(page, 104));
        answer(page, IDOK);
        for (int disk = 2; disk <= 3; ++disk) answer(wait_dialog(L"Vantora!", pid), IDOK);
    }

    fs::path disk_, shortcut_;
    std::vector<size_t> started_;
};

TEST_F(InstallerTest, InstallsWithTheDefaultAnswersAndUninstallsKeepingTheSitesFiles) {
    const fs::path dest = folder() / "Vantora Dest";
    const Bytes program(40000, 'V');
    const Bytes uninstaller = slurp(built("apps/uninstal/UnInstal.exe"));
    ASSERT_FALSE(uninstaller.empty());
    make_disk(program, {{"VXHooks.DLL", Bytes(500, 'H')},
                        {"VX.DTP", Bytes(30, 'D')},
                        {"VXIcon.Lib", Bytes(40, 'I')},
                        {"VXIndex.Lib", Bytes(28, 'X')},
                        {"UnInstal.Exe", uninstaller}});
    const DWORD pid = start(disk_ / "kxsetup.exe");

    answer(wait_dialog(L"License Agreement", pid), IDOK);
    HWND page = wait_dialog(L"Destination Directory", pid);
    ASSERT_NE(page, nullptr);
    std::wstring lower = dest.wstring();
    lower[0] = static_cast<wchar_t>(towlower(lower[0]));
    type_into(page, 104, lower);
    press(page, IDOK);
    Sleep(500);
    EXPECT_TRUE(IsWindowVisible(page)) << "a lower-case drive letter must be refused";
    type_into(page, 104, dest.wstring());
    answer(page, IDOK);
    for (int disk = 2; disk <= 3; ++disk) answer(wait_dialog(L"Vantora!", pid), IDOK);

    page = wait_dialog(L"Program Group", pid);
    ASSERT_NE(page, nullptr);
    type_into(page, 102, L"Vantora Flow Test");
    answer(page, IDOK);
    answer(wait_dialog(L"Windows Interface", pid), IDOK);
    HWND last = wait_dialog(L"Vantora!", pid);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(message_of(last),
              "Vantora! has been successfully installed.\r\n\r\nDo you wish to run Vantora!?");
    answer(last, IDNO);  // do not start the program
    EXPECT_TRUE(ended(pid));

    EXPECT_EQ(slurp(dest / "Vantorx.Exe"), program);
    EXPECT_EQ(slurp(dest / "VXHooks.DLL"), Bytes(500, 'H'));
    EXPECT_EQ(slurp(dest / "VX.DTP"), Bytes(30, 'D'));
    EXPECT_FALSE(fs::exists(dest / "Vantora._KX"));
    EXPECT_EQ(fs::path(reg_value(HKEY_LOCAL_MACHINE, kUninstallKey, L"UnInstallString")),
              dest / "UnInstal.Exe");
    shortcut_ = reg_value(HKEY_LOCAL_MACHINE, kUninstallKey, L"Vantora Shortcut");
    EXPECT_TRUE(fs::exists(shortcut_)) << shortcut_.string();
    EXPECT_EQ(shortcut_.filename().wstring(), L"Vantora Flow Test.LNK");

    // The uninstaller takes the program away but keeps the site's desktop and icon library.
    const DWORD un = start(dest / "UnInstal.Exe");
    answer(wait_dialog(L"Vantora!", un), IDYES);
    HWND site = wait_dialog(L"Vantora!", un);
    ASSERT_NE(site, nullptr);
    EXPECT_EQ(message_of(site),
              "Do you also wish to remove the desktops, the icon library and the log files of this site?");
    answer(site, IDNO);
    answer(wait_dialog(L"Vantora!", un), IDOK);
    EXPECT_TRUE(ended(un));
    EXPECT_FALSE(fs::exists(dest / "Vantorx.Exe"));
    EXPECT_FALSE(fs::exists(dest / "VXHooks.DLL"));
    EXPECT_TRUE(fs::exists(dest / "VX.DTP"));
    EXPECT_TRUE(fs::exists(dest / "VXIcon.Lib"));
    EXPECT_TRUE(fs::exists(dest / "VXIndex.Lib"));
    EXPECT_FALSE(fs::exists(shortcut_));
    EXPECT_TRUE(reg_value(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayName").empty());
}

TEST_F(InstallerTest, CancelAtAMissingDiskLeavesNoArchiveAndNoProgram) {
    const Payload p = build_payload(Bytes(1000, 'V'), {{"VX.DTP", Bytes(5, 'D')}}, 1 << 20, kDiskCount);
    Bytes setup = slurp(built("apps/kxsetup/kxsetup.exe"));
    setup.insert(setup.end(), p.trailer.begin(), p.trailer.end());
    spit(disk_ / "kxsetup.exe", setup);
    spit(disk_ / "Vantorx.001", p.volumes[0]);  // disks 2 and 3 never arrive
    const fs::path dest = folder() / "Dest";
    fs::create_directories(dest);

    const DWORD pid = start(disk_ / "kxsetup.exe");
    answer(wait_dialog(L"License Agreement", pid), IDOK);
    HWND page = wait_dialog(L"Destination Directory", pid);
    ASSERT_NE(page, nullptr);
    type_into(page, 104, dest.wstring());
    answer(page, IDOK);
    answer(wait_dialog(L"Vantora!", pid), IDCANCEL);
    HWND ended_box = wait_dialog(L"Vantora!", pid);
    ASSERT_NE(ended_box, nullptr);
    EXPECT_EQ(message_of(ended_box), "The Installation process has been terminated.");
    answer(ended_box, IDOK);
    EXPECT_TRUE(ended(pid));
    EXPECT_FALSE(fs::exists(dest / "Vantora._KX"));
    EXPECT_FALSE(fs::exists(dest / "Vantorx.Exe"));
    EXPECT_FALSE(fs::exists(dest / "Vantorx.Exe.$$$"));
}

TEST_F(InstallerTest, BothChoicesQuoteTheShellAndSwapTheTaskManagerKeepingTheSystemsOwn) {
    win::test::PendingRenamesGuard keep_pending;
    const std::wstring old_shell = reg_value(HKEY_LOCAL_MACHINE, kWinlogon, L"Shell");
    const fs::path win = windows_folder();
    const fs::path wininit = win / "WinInit.Ini", system_taskman = win / "TaskMan.Exe",
                   kept = win / "TaskMang.Exe";
    ASSERT_FALSE(fs::exists(system_taskman))
        << "the prefix has a task manager of its own; the test would lose it";
    ASSERT_FALSE(fs::exists(kept));
    const bool had_wininit = fs::exists(wininit);
    const Bytes old_wininit = had_wininit ? slurp(wininit) : Bytes{};
    // Another installer's pending rename, which nothing may disturb.
    const Bytes others = bytes_of("[Rename]\r\nNUL=C:\\old.tmp\r\n");
    spit(wininit, others);
    spit(system_taskman, bytes_of("the system's task manager"));
    struct Restore {
        std::function<void()> f;
        ~Restore() { f(); }
    } restore{[&] {
        set_reg_value(HKEY_LOCAL_MACHINE, kWinlogon, L"Shell", old_shell);
        std::error_code ec;
        if (had_wininit) {
            spit(wininit, old_wininit);
        } else {
            fs::remove(wininit, ec);
        }
        fs::remove(system_taskman, ec);
        fs::remove(kept, ec);
    }};

    const fs::path dest = folder() / "Program Files" / "Vantora";
    make_disk(Bytes(2000, 'V'), {{"TaskMan.Exe", Bytes(300, 'T')}});
    const DWORD pid = start(disk_ / "kxsetup.exe");
    agree_and_choose(pid, dest);
    answer(wait_dialog(L"Program Group", pid), IDCANCEL);  // no shortcut, and the last page still comes
    HWND page = wait_dialog(L"Windows Interface", pid);
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, 103)));  // the payload holds a task manager
    press(page, 103);
    press(page, 104);
    EXPECT_EQ(IsDlgButtonChecked(page, 103), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(page, 104), BST_CHECKED);
    answer(page, IDOK);
    HWND reboot = wait_dialog(L"Vantora!", pid);
    ASSERT_NE(reboot, nullptr);
    EXPECT_EQ(
        message_of(reboot),
        "Vantora! had been successfully installed\r\n\r\nThe system should be rebooted for the Vantora! "
        "changes to take effect.\r\n\r\nReboot Windows?");
    answer(reboot, IDNO);
    answer(wait_dialog(L"Vantora!", pid), IDNO);  // do not run it
    EXPECT_TRUE(ended(pid));

    // Quoted: bare, "C:\...\Program Files\..." lets Windows try "C:\...\Program.exe" first.
    EXPECT_EQ(reg_value(HKEY_LOCAL_MACHINE, kWinlogon, L"Shell"),
              L"\"" + (dest / "Vantorx.Exe").wstring() + L"\"");
    EXPECT_TRUE(reg_value(HKEY_LOCAL_MACHINE, kUninstallKey, L"Vantora Shortcut").empty());
    EXPECT_EQ(reg_value(HKEY_LOCAL_MACHINE, kUninstallKey, L"Vantora Previous Shell"), old_shell);
    EXPECT_EQ(reg_value(HKEY_LOCAL_MACHINE, kUninstallKey, L"Vantora TaskMan"), L"1");
    // The swap is done at once, not left to a file that only Windows 9x reads.
    EXPECT_EQ(slurp(system_taskman), Bytes(300, 'T'));
    EXPECT_EQ(slurp(kept), bytes_of("the system's task manager"));
    EXPECT_EQ(slurp(dest / "TaskMan.Exe"), Bytes(300, 'T'));
    EXPECT_EQ(slurp(wininit), others);
}

TEST_F(InstallerTest, ReinstallOverTheRunningShellSaysWhatWaitsForTheRestart) {
    win::test::PendingRenamesGuard keep_pending;
    // The shell runs from its folder with its hooks library loaded.
    start_shell();
    ASSERT_NE(wait_for_window(win::shell::kMainFormClass), nullptr);
    const fs::path dest = folder();
    const Bytes old_program = slurp(dest / "vantorx.exe"), old_hooks = slurp(dest / "VXHooks.dll");
    ASSERT_FALSE(old_hooks.empty());
    // A newer build: the same programs with something more at their end.
    Bytes new_program = old_program, new_hooks = old_hooks;
    for (Bytes* b : {&new_program, &new_hooks}) b->insert(b->end(), 4096, 0x5A);
    const Bytes help = bytes_of("help text");
    make_disk(new_program, {{"VXHooks.DLL", new_hooks}, {"Vantorx.Cnt", help}}, 8 << 20);

    const DWORD pid = start(disk_ / "kxsetup.exe");
    agree_and_choose(pid, dest);
    answer(wait_dialog(L"Program Group", pid), IDCANCEL);
    answer(wait_dialog(L"Windows Interface", pid), IDOK);
    HWND last = wait_dialog(L"Vantora!", pid);
    ASSERT_NE(last, nullptr);
    const std::string said = message_of(last);
    Sleep(300);
    screenshot();
    answer(last, IDNO);
    EXPECT_TRUE(ended(pid));

    // Every file is either new now or waits whole beside the old one for the restart, and
    // the closing message says which.
    EXPECT_EQ(slurp(dest / "Vantorx.Cnt"), help);
    const struct {
        const char* name;
        const Bytes &old_bytes, &new_bytes;
    } files[] = {{"Vantorx.Exe", old_program, new_program}, {"VXHooks.DLL", old_hooks, new_hooks}};
    int waiting = 0;
    for (const auto& f : files) {
        const fs::path target = dest / f.name, staged = dest / (std::string(f.name) + ".$$$");
        const bool now = slurp(target) == f.new_bytes;
        const std::string listed = "\r\n" + win::narrow(target.wstring());
        if (now) {
            EXPECT_FALSE(fs::exists(staged)) << f.name;
            EXPECT_EQ(said.find(listed), std::string::npos) << f.name << " is listed but in place:\n" << said;
        } else {
            ++waiting;
            EXPECT_EQ(slurp(target), f.old_bytes) << f.name;
            EXPECT_EQ(slurp(staged), f.new_bytes) << f.name;
            EXPECT_TRUE(win::test::replaced_at_restart(staged, target)) << f.name;
            EXPECT_NE(said.find(listed), std::string::npos) << f.name << " waits but is not listed:\n"
                                                            << said;
        }
    }
    if (waiting > 0) {
        EXPECT_EQ(said.find("successfully"), std::string::npos) << said;
        EXPECT_NE(said.find("Reboot Windows?"), std::string::npos) << said;
    } else {
        EXPECT_EQ(said, "Vantora! has been successfully installed.\r\n\r\nDo you wish to run Vantora!?");
    }
    // The running shell holds its library: this Windows (or Wine) does not let it be replaced.
    EXPECT_GT(waiting, 0) << said;
    // The record names the files they become, never where they wait.
    const std::wstring files_value = reg_value(HKEY_LOCAL_MACHINE, kUninstallKey, L"Vantora Files");
    EXPECT_EQ(files_value.find(L".$$$"), std::wstring::npos);
}

}  // namespace
}  // namespace vx::e2e
