// UnInstal.Exe: removes Vantora! as the installer recorded it in its uninstall entry.
#include <windows.h>

#include <string>
#include <vector>

#include "setup/install.h"
#include "win_fs.h"
#include "win_text.h"

namespace {

constexpr wchar_t kProduct[] = L"Vantora!";
constexpr wchar_t kUninstallKey[] = L"Software\\microsoft\\windows\\currentversion\\uninstall\\Vantora!";

std::wstring value(HKEY key, const wchar_t* name) {
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS || size == 0)
        return {};
    std::wstring s(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(s.data()), &size) !=
        ERROR_SUCCESS)
        return {};
    s.resize(size / sizeof(wchar_t));
    return s;
}

std::vector<std::wstring> split_multi(const std::wstring& multi) {
    std::vector<std::wstring> out;
    for (size_t at = 0; at < multi.size();) {
        const size_t end = multi.find(L'\0', at);
        const std::wstring item = multi.substr(at, end == std::wstring::npos ? std::wstring::npos : end - at);
        if (!item.empty()) out.push_back(item);
        if (end == std::wstring::npos) break;
        at = end + 1;
    }
    return out;
}

// A file in use (this program, or a running shell) goes at the next start instead.
void remove_file(const std::wstring& path) {
    if (!DeleteFileW(path.c_str()) && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

void restore_shell(const std::wstring& previous) {
    if (kx::is_windows_nt()) {
        const std::wstring shell = previous.empty() ? L"explorer.exe" : previous;
        HKEY h;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\microsoft\\windows nt\\currentversion\\Winlogon", 0,
                          KEY_SET_VALUE, &h) == ERROR_SUCCESS) {
            RegSetValueExW(h, L"Shell", 0, REG_SZ, reinterpret_cast<const BYTE*>(shell.c_str()),
                           static_cast<DWORD>((shell.size() + 1) * sizeof(wchar_t)));
            RegCloseKey(h);
        }
    } else {
        const std::wstring shell = previous.empty() ? L"Explorer.exe" : previous;
        WritePrivateProfileStringW(L"Boot", L"Shell", shell.c_str(),
                                   (kx::windows_dir() + L"SYSTEM.INI").c_str());
    }
}

void restore_taskman() {
    const std::wstring win = kx::windows_dir();
    const std::wstring kept = win + L"TaskMang.Exe", system = win + L"TaskMan.Exe";
    if (GetFileAttributesW(kept.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    if (!MoveFileExW(kept.c_str(), system.c_str(), MOVEFILE_REPLACE_EXISTING))
        MoveFileExW(kept.c_str(), system.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT);
}

int run() {
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        MessageBoxW(nullptr, L"Vantora! is not installed on this machine.", kProduct,
                    MB_OK | MB_ICONINFORMATION);
        return 1;
    }
    const std::wstring dest = value(key, L"InstallLocation");
    const std::wstring shortcut = value(key, L"Vantora Shortcut");
    const bool shell = value(key, L"Vantora Shell") == L"1";
    const std::wstring previous_shell = value(key, L"Vantora Previous Shell");
    const bool taskman = value(key, L"Vantora TaskMan") == L"1";
    const std::vector<std::wstring> files = split_multi(value(key, L"Vantora Files"));
    RegCloseKey(key);

    if (MessageBoxW(nullptr, L"Do you wish to remove Vantora! and all of its components?", kProduct,
                    MB_YESNO | MB_ICONQUESTION) != IDYES)
        return 0;
    // Desktops, usage logs and the icon library are the site's own work, even where the
    // installer first put them there; they stay unless asked for.
    const bool site_files =
        MessageBoxW(
            nullptr,
            L"Do you also wish to remove the desktops, the icon library and the log files of this site?",
            kProduct, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;

    for (const auto& f : files) {
        if (!site_files && vx::setup::site_data(kx::narrow(f))) continue;
        remove_file(f);
    }
    if (site_files && !dest.empty()) {
        for (const wchar_t* pattern : {L"*.DTP", L"*.LOG", L"*.LIB"}) {
            WIN32_FIND_DATAW fd;
            HANDLE find = FindFirstFileW((dest + pattern).c_str(), &fd);
            if (find == INVALID_HANDLE_VALUE) continue;
            do remove_file(dest + fd.cFileName);
            while (FindNextFileW(find, &fd));
            FindClose(find);
        }
    }
    if (!dest.empty()) remove_file(dest + L"UnInstal.Exe");
    if (!shortcut.empty()) DeleteFileW(shortcut.c_str());
    if (shell) restore_shell(previous_shell);
    if (taskman) restore_taskman();
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kUninstallKey);
    if (!dest.empty()) RemoveDirectoryW(dest.c_str());  // only when nothing of the site's is left
    MessageBoxW(nullptr, L"Vantora! has been removed.", kProduct, MB_OK | MB_ICONINFORMATION);
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return run();
}
