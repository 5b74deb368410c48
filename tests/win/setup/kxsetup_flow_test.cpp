// Runs the real kxsetup.exe on a small payload and answers its pages as a user would.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "setup/install.h"
#include "win_text.h"

namespace {

using namespace vx::setup;
namespace fs = std::filesystem;

Bytes slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void spit(const fs::path& p, const Bytes& b) {
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

// Waits for a dialog (or message box) with this title that belongs to the process.
HWND wait_dialog(const wchar_t* title, DWORD pid, int ms = 20000) {
    for (int waited = 0; waited < ms; waited += 50) {
        HWND h = nullptr;
        while ((h = FindWindowExW(nullptr, h, L"#32770", title)) != nullptr) {
            DWORD owner = 0;
            GetWindowThreadProcessId(h, &owner);
            if (owner == pid && IsWindowVisible(h)) return h;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return nullptr;
}

struct WindowsOf {
    DWORD pid;
    std::string out;
};

BOOL CALLBACK describe_if_owned(HWND h, LPARAM lp) {
    auto* c = reinterpret_cast<WindowsOf*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    if (owner == c->pid) {
        wchar_t title[256] = {}, cls[64] = {};
        GetWindowTextW(h, title, 256);
        GetClassNameW(h, cls, 64);
        c->out += "[" + kx::narrow(cls) + " \"" + kx::narrow(title) + "\"" + (IsWindowVisible(h) ? " visible" : "") +
                  "] ";
    }
    return TRUE;
}

// For failure messages: the titles of the process's windows.
std::string windows_of(DWORD pid) {
    WindowsOf ctx{pid, {}};
    EnumWindows(describe_if_owned, reinterpret_cast<LPARAM>(&ctx));
    return ctx.out;
}

void click(HWND dlg, int id) {
    PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
}

bool gone(HWND h, int ms = 10000) {
    for (int waited = 0; waited < ms; waited += 50) {
        if (!IsWindow(h) || !IsWindowVisible(h)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

PROCESS_INFORMATION start(const fs::path& exe, const fs::path& folder) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring cmd = L"\"" + exe.wstring() + L"\"";
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.wstring().c_str(),
                        &si, &pi))
        return {};
    return pi;
}

bool display_available() {
    HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    if (!probe) return false;
    DestroyWindow(probe);
    return true;
}

fs::path build_dir() {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return fs::path(self).parent_path().parent_path().parent_path();
}

fs::path installer_exe() {
    return build_dir() / "apps" / "kxsetup" / "kxsetup.exe";
}

TEST(KxSetupFlow, InstallsWithTheDefaultAnswersAndRefusesALowerCaseDrive) {
    const fs::path exe = installer_exe();
    if (!fs::exists(exe)) GTEST_SKIP() << "kxsetup.exe not built: " << exe.string();
    // Windows need a display (Xvfb under Wine); without one there is nothing to drive.
    if (!display_available()) GTEST_SKIP() << "no display to create windows on";
    const fs::path uninstaller = build_dir() / "apps" / "uninstal" / "UnInstal.exe";
    ASSERT_TRUE(fs::exists(uninstaller));
    const fs::path root = fs::temp_directory_path() / ("kxflow_" + std::to_string(GetCurrentProcessId()));
    fs::remove_all(root);
    fs::create_directories(root / "disk");

    const Bytes program(40000, 'V');
    const std::vector<PackFile> files = {
        {"VXHooks.DLL", Bytes(500, 'H')}, {"VX.DTP", Bytes(30, 'D')}, {"UnInstal.Exe", slurp(uninstaller)}};
    const Payload p = build_payload(program, files, 1 << 20, kDiskCount);
    Bytes setup = slurp(exe);
    setup.insert(setup.end(), p.trailer.begin(), p.trailer.end());
    spit(root / "disk" / "kxsetup.exe", setup);
    for (size_t d = 0; d < p.volumes.size(); ++d)
        spit(root / "disk" / ("Vantorx.00" + std::to_string(d + 1)), p.volumes[d]);

    PROCESS_INFORMATION pi = start(root / "disk" / "kxsetup.exe", root / "disk");
    ASSERT_NE(pi.hProcess, nullptr);
    const DWORD pid = pi.dwProcessId;
    const fs::path dest = root / "Vantora Dest";

    HWND page = wait_dialog(L"License Agreement", pid);
    ASSERT_TRUE(page) << windows_of(pid);
    click(page, IDOK);
    ASSERT_TRUE(gone(page));

    page = wait_dialog(L"Destination Directory", pid);
    ASSERT_TRUE(page);
    std::wstring lower = dest.wstring();
    lower[0] = static_cast<wchar_t>(towlower(lower[0]));
    SetDlgItemTextW(page, 104, lower.c_str());
    click(page, IDOK);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_TRUE(IsWindowVisible(page)) << "a lower-case drive letter must be refused";
    SetDlgItemTextW(page, 104, dest.wstring().c_str());
    click(page, IDOK);
    ASSERT_TRUE(gone(page));

    for (int disk = 2; disk <= 3; ++disk) {
        HWND prompt = wait_dialog(L"Vantora!", pid);
        ASSERT_TRUE(prompt) << "disk " << disk;
        click(prompt, IDOK);
        ASSERT_TRUE(gone(prompt));
    }

    page = wait_dialog(L"Program Group", pid);
    ASSERT_TRUE(page);
    SetDlgItemTextW(page, 102, L"Vantora Flow Test");
    click(page, IDOK);
    ASSERT_TRUE(gone(page));

    page = wait_dialog(L"Windows Interface", pid);
    ASSERT_TRUE(page);
    click(page, IDOK);
    ASSERT_TRUE(gone(page));

    HWND last = wait_dialog(L"Vantora!", pid);
    ASSERT_TRUE(last);
    click(last, IDNO);  // do not start the program
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 20000), WAIT_OBJECT_0);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);

    EXPECT_EQ(slurp(dest / "Vantorx.Exe"), program);
    EXPECT_EQ(slurp(dest / "VXHooks.DLL"), Bytes(500, 'H'));
    EXPECT_EQ(slurp(dest / "VX.DTP"), Bytes(30, 'D'));
    EXPECT_FALSE(fs::exists(dest / "Vantora._KX"));

    HKEY key;
    const wchar_t* uninstall = L"Software\\microsoft\\windows\\currentversion\\uninstall\\Vantora!";
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, uninstall, 0, KEY_READ, &key), ERROR_SUCCESS);
    wchar_t buf[MAX_PATH * 2] = {};
    DWORD size = sizeof buf - sizeof(wchar_t);
    EXPECT_EQ(
        RegQueryValueExW(key, L"UnInstallString", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size),
        ERROR_SUCCESS);
    EXPECT_EQ(fs::path(buf), dest / "UnInstal.Exe");
    size = sizeof buf - sizeof(wchar_t);
    std::fill(std::begin(buf), std::end(buf), L'\0');
    RegQueryValueExW(key, L"Vantora Shortcut", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size);
    RegCloseKey(key);
    const fs::path link(buf);
    EXPECT_TRUE(fs::exists(link)) << link.string();
    EXPECT_EQ(link.filename().wstring(), L"Vantora Flow Test.LNK");

    // The uninstaller takes it all away again but leaves the site's desktop.
    pi = start(dest / "UnInstal.Exe", dest);
    ASSERT_NE(pi.hProcess, nullptr);
    HWND confirm = wait_dialog(L"Vantora!", pi.dwProcessId);
    ASSERT_TRUE(confirm) << windows_of(pi.dwProcessId);
    click(confirm, IDYES);
    ASSERT_TRUE(gone(confirm));
    HWND site = wait_dialog(L"Vantora!", pi.dwProcessId);
    ASSERT_TRUE(site);
    click(site, IDNO);
    ASSERT_TRUE(gone(site));
    HWND done = wait_dialog(L"Vantora!", pi.dwProcessId);
    ASSERT_TRUE(done);
    click(done, IDOK);
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 20000), WAIT_OBJECT_0);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    EXPECT_FALSE(fs::exists(dest / "Vantorx.Exe"));
    EXPECT_FALSE(fs::exists(dest / "VXHooks.DLL"));
    EXPECT_TRUE(fs::exists(dest / "VX.DTP"));
    EXPECT_FALSE(fs::exists(link));
    EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, uninstall, 0, KEY_READ, &key), ERROR_SUCCESS);

    std::error_code ec;
    fs::remove(link, ec);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, uninstall);
    fs::remove_all(root, ec);
}

TEST(KxSetupFlow, CancelAtAMissingDiskLeavesNoArchiveAndNoProgram) {
    const fs::path exe = installer_exe();
    if (!fs::exists(exe) || !display_available()) GTEST_SKIP() << "needs kxsetup.exe and a display";
    const fs::path root = fs::temp_directory_path() / ("kxabort_" + std::to_string(GetCurrentProcessId()));
    fs::remove_all(root);
    fs::create_directories(root / "disk");
    const Payload p = build_payload(Bytes(1000, 'V'), {{"VX.DTP", Bytes(5, 'D')}}, 1 << 20, kDiskCount);
    Bytes setup = slurp(exe);
    setup.insert(setup.end(), p.trailer.begin(), p.trailer.end());
    spit(root / "disk" / "kxsetup.exe", setup);
    spit(root / "disk" / "Vantorx.001", p.volumes[0]);  // disks 2 and 3 never arrive
    const fs::path dest = root / "Dest";
    fs::create_directories(dest);

    PROCESS_INFORMATION pi = start(root / "disk" / "kxsetup.exe", root / "disk");
    ASSERT_NE(pi.hProcess, nullptr);
    HWND page = wait_dialog(L"License Agreement", pi.dwProcessId);
    ASSERT_TRUE(page) << windows_of(pi.dwProcessId);
    click(page, IDOK);
    ASSERT_TRUE(gone(page));
    page = wait_dialog(L"Destination Directory", pi.dwProcessId);
    ASSERT_TRUE(page);
    SetDlgItemTextW(page, 104, dest.wstring().c_str());
    click(page, IDOK);
    ASSERT_TRUE(gone(page));
    HWND prompt = wait_dialog(L"Vantora!", pi.dwProcessId);
    ASSERT_TRUE(prompt);
    click(prompt, IDCANCEL);
    ASSERT_TRUE(gone(prompt));
    HWND ended = wait_dialog(L"Vantora!", pi.dwProcessId);
    ASSERT_TRUE(ended);
    wchar_t text[256] = {};
    GetDlgItemTextW(ended, 0xFFFF, text, 256);
    EXPECT_STREQ(text, L"The Installation process has been terminated.");
    click(ended, IDOK);
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 20000), WAIT_OBJECT_0);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    EXPECT_FALSE(fs::exists(dest / "Vantora._KX"));
    EXPECT_FALSE(fs::exists(dest / "Vantorx.Exe"));
    std::error_code ec;
    fs::remove_all(root, ec);
}

}  // namespace

namespace {

std::wstring reg_value(HKEY root, const wchar_t* key, const wchar_t* name) {
    wchar_t buf[MAX_PATH * 2] = {};
    DWORD size = sizeof buf - sizeof(wchar_t);
    if (RegGetValueW(root, key, name, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS) return {};
    return buf;
}

TEST(KxSetupFlow, BothChoicesSetTheShellAndScheduleTheTaskManager) {
    const fs::path exe = installer_exe();
    if (!fs::exists(exe) || !display_available()) GTEST_SKIP() << "needs kxsetup.exe and a display";
    const wchar_t* winlogon = L"Software\\microsoft\\windows nt\\currentversion\\Winlogon";
    const std::wstring old_shell = reg_value(HKEY_LOCAL_MACHINE, winlogon, L"Shell");
    wchar_t windir[MAX_PATH];
    GetWindowsDirectoryW(windir, MAX_PATH);
    const fs::path wininit = fs::path(windir) / "WinInit.Ini";
    const bool had_wininit = fs::exists(wininit);
    const Bytes old_wininit = had_wininit ? slurp(wininit) : Bytes{};
    // Another installer's pending rename, which must survive.
    spit(wininit, Bytes{'[', 'R', 'e', 'n',  'a', 'm', 'e', ']', '\r', '\n', 'N', 'U',  'L',
                        '=', 'C', ':', '\\', 'o', 'l', 'd', '.', 't',  'm',  'p', '\r', '\n'});

    const fs::path root = fs::temp_directory_path() / ("kxboth_" + std::to_string(GetCurrentProcessId()));
    fs::remove_all(root);
    fs::create_directories(root / "disk");
    const Payload p =
        build_payload(Bytes(2000, 'V'), {{"TaskMan.Exe", Bytes(300, 'T')}}, 1 << 20, kDiskCount);
    Bytes setup = slurp(exe);
    setup.insert(setup.end(), p.trailer.begin(), p.trailer.end());
    spit(root / "disk" / "kxsetup.exe", setup);
    for (size_t d = 0; d < p.volumes.size(); ++d)
        spit(root / "disk" / ("Vantorx.00" + std::to_string(d + 1)), p.volumes[d]);
    const fs::path dest = root / "Dest";

    PROCESS_INFORMATION pi = start(root / "disk" / "kxsetup.exe", root / "disk");
    ASSERT_NE(pi.hProcess, nullptr);
    const DWORD pid = pi.dwProcessId;
    HWND page = wait_dialog(L"License Agreement", pid);
    ASSERT_TRUE(page) << windows_of(pid);
    click(page, IDOK);
    ASSERT_TRUE(gone(page));
    page = wait_dialog(L"Destination Directory", pid);
    ASSERT_TRUE(page);
    SetDlgItemTextW(page, 104, dest.wstring().c_str());
    click(page, IDOK);
    ASSERT_TRUE(gone(page));
    for (int disk = 2; disk <= 3; ++disk) {
        HWND prompt = wait_dialog(L"Vantora!", pid);
        ASSERT_TRUE(prompt);
        click(prompt, IDOK);
        ASSERT_TRUE(gone(prompt));
    }
    page = wait_dialog(L"Program Group", pid);
    ASSERT_TRUE(page);
    click(page, IDCANCEL);  // no shortcut, and the last page still comes
    ASSERT_TRUE(gone(page));
    page = wait_dialog(L"Windows Interface", pid);
    ASSERT_TRUE(page);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, 103)));  // the payload holds a task manager
    CheckDlgButton(page, 103, BST_CHECKED);
    CheckDlgButton(page, 104, BST_CHECKED);
    click(page, IDOK);
    ASSERT_TRUE(gone(page));
    HWND reboot = wait_dialog(L"Vantora!", pid);
    ASSERT_TRUE(reboot);
    click(reboot, IDNO);
    ASSERT_TRUE(gone(reboot));
    HWND run = wait_dialog(L"Vantora!", pid);
    ASSERT_TRUE(run);
    click(run, IDNO);
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 20000), WAIT_OBJECT_0);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);

    const std::wstring shell = reg_value(HKEY_LOCAL_MACHINE, winlogon, L"Shell");
    const Bytes ini = slurp(wininit);
    const std::string ini_text(ini.begin(), ini.end());
    const std::wstring uninstall_key = L"Software\\microsoft\\windows\\currentversion\\uninstall\\Vantora!";
    const std::wstring shortcut = reg_value(HKEY_LOCAL_MACHINE, uninstall_key.c_str(), L"Vantora Shortcut");

    // Put the prefix back before judging, so a failure leaves nothing behind.
    HKEY h;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, winlogon, 0, KEY_SET_VALUE, &h) == ERROR_SUCCESS) {
        RegSetValueExW(h, L"Shell", 0, REG_SZ, reinterpret_cast<const BYTE*>(old_shell.c_str()),
                       static_cast<DWORD>((old_shell.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(h);
    }
    if (had_wininit) {
        spit(wininit, old_wininit);
    } else {
        fs::remove(wininit);
    }
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, uninstall_key.c_str());
    std::error_code ec;
    fs::remove_all(root, ec);

    EXPECT_EQ(fs::path(shell), dest / "Vantorx.Exe");
    EXPECT_TRUE(shortcut.empty());
    const std::string win = kx::narrow(windir);
    EXPECT_EQ(ini_text.rfind("[Rename]\r\nNUL=C:\\old.tmp\r\n", 0), 0u) << ini_text;
    EXPECT_NE(ini_text.find(win + "\\TaskMang.Exe=" + win + "\\TaskMan.Exe\r\n"), std::string::npos)
        << ini_text;
    EXPECT_NE(ini_text.find(win + "\\TaskMan.Exe=" + kx::narrow(dest.wstring()) + "\\TaskMan.Exe\r\n"),
              std::string::npos)
        << ini_text;
}

}  // namespace
