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

// For failure messages: the titles of the process's windows.
std::string windows_of(DWORD pid) {
    struct Ctx {
        DWORD pid;
        std::string out;
    } ctx{pid, {}};
    EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
            auto* c = reinterpret_cast<Ctx*>(lp);
            DWORD owner = 0;
            GetWindowThreadProcessId(h, &owner);
            if (owner == c->pid) {
                wchar_t title[256] = {}, cls[64] = {};
                GetWindowTextW(h, title, 256);
                GetClassNameW(h, cls, 64);
                c->out += "[" + kx::narrow(cls) + " \"" + kx::narrow(title) + "\"" +
                          (IsWindowVisible(h) ? " visible" : "") + "] ";
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&ctx));
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

fs::path installer_exe() {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return fs::path(self).parent_path().parent_path().parent_path() / "apps" / "kxsetup" / "kxsetup.exe";
}

TEST(KxSetupFlow, InstallsWithTheDefaultAnswersAndRefusesALowerCaseDrive) {
    const fs::path exe = installer_exe();
    if (!fs::exists(exe)) GTEST_SKIP() << "kxsetup.exe not built: " << exe.string();
    // Windows need a display (Xvfb under Wine); without one there is nothing to drive.
    HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    if (!probe) GTEST_SKIP() << "no display to create windows on";
    DestroyWindow(probe);
    const fs::path root = fs::temp_directory_path() / ("kxflow_" + std::to_string(GetCurrentProcessId()));
    fs::remove_all(root);
    fs::create_directories(root / "disk");

    const Bytes program(40000, 'V');
    const std::vector<PackFile> files = {{"VXHooks.DLL", Bytes(500, 'H')}, {"VX.DTP", Bytes(30, 'D')}};
    const Payload p = build_payload(program, files, 1 << 20, kDiskCount);
    Bytes setup = slurp(exe);
    setup.insert(setup.end(), p.trailer.begin(), p.trailer.end());
    spit(root / "disk" / "kxsetup.exe", setup);
    for (size_t d = 0; d < p.volumes.size(); ++d)
        spit(root / "disk" / ("Vantorx.00" + std::to_string(d + 1)), p.volumes[d]);

    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring cmd = L"\"" + (root / "disk" / "kxsetup.exe").wstring() + L"\"";
    ASSERT_TRUE(CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               (root / "disk").wstring().c_str(), &si, &pi));
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

    std::error_code ec;
    fs::remove(link, ec);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, uninstall);
    fs::remove_all(root, ec);
}

}  // namespace
