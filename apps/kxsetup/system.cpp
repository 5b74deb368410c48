#include "system.h"

#include <windows.h>

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "win_text.h"

namespace kx {
namespace {

constexpr wchar_t kUninstallKey[] = L"Software\\microsoft\\windows\\currentversion\\uninstall\\Vantora!";

std::wstring reg_string(HKEY root, const wchar_t* key, const wchar_t* value) {
    wchar_t buf[MAX_PATH * 2] = {};
    DWORD size = sizeof buf - sizeof(wchar_t);
    if (RegGetValueW(root, key, value, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ, nullptr, buf, &size) !=
        ERROR_SUCCESS)
        return {};
    return buf;
}

bool set_reg_string(HKEY key, const wchar_t* name, const std::wstring& value) {
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

std::wstring programs_folder() {
    std::wstring dir =
        reg_string(HKEY_CURRENT_USER,
                   L"Software\\microsoft\\windows\\currentversion\\explorer\\Shell Folders", L"programs");
    if (dir.empty()) {
        wchar_t buf[MAX_PATH];
        if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, buf))) dir = buf;
    }
    if (!dir.empty() && dir.back() != L'\\') dir += L'\\';
    return dir;
}

}  // namespace

std::wstring create_shortcut(const std::wstring& group, const std::wstring& target,
                             const std::wstring& folder) {
    const std::wstring dir = programs_folder();
    if (dir.empty()) return {};
    CreateDirectoryW(dir.c_str(), nullptr);
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return {};
    link->SetPath(target.c_str());
    link->SetWorkingDirectory(folder.c_str());
    link->SetShowCmd(SW_SHOWNORMAL);
    IPersistFile* file = nullptr;
    std::wstring path = dir + group + L".LNK";
    bool ok = false;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        ok = SUCCEEDED(file->Save(path.c_str(), TRUE));
        file->Release();
    }
    link->Release();
    return ok ? path : std::wstring();
}

bool register_uninstaller(const InstallRecord& r) {
    HKEY key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    std::wstring dest = r.destination;
    if (!dest.empty() && dest.back() != L'\\') dest += L'\\';
    bool ok = set_reg_string(key, L"DisplayName", L"Vantora!") &&
              set_reg_string(key, L"UnInstallString", dest + L"UnInstal.Exe");
    set_reg_string(key, L"InstallLocation", dest);
    set_reg_string(key, L"Vantora Shortcut", r.shortcut);
    set_reg_string(key, L"Vantora Shell", r.shell ? L"1" : L"0");
    set_reg_string(key, L"Vantora Previous Shell", r.previous_shell);
    set_reg_string(key, L"Vantora TaskMan", r.taskman ? L"1" : L"0");
    std::wstring multi;
    for (const auto& f : r.files) multi += f + L'\0';
    multi += L'\0';
    RegSetValueExW(key, L"Vantora Files", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(multi.data()),
                   static_cast<DWORD>(multi.size() * sizeof(wchar_t)));
    RegCloseKey(key);
    return ok;
}

bool is_windows_nt() {
    OSVERSIONINFOW v{};
    v.dwOSVersionInfoSize = sizeof v;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExW(&v)) return true;
#pragma GCC diagnostic pop
    return v.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

bool set_shell(const std::wstring& program, std::wstring& previous, std::wstring& error) {
    if (is_windows_nt()) {
        const wchar_t* key = L"Software\\microsoft\\windows nt\\currentversion\\Winlogon";
        previous = reg_string(HKEY_LOCAL_MACHINE, key, L"Shell");
        HKEY h;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) !=
            ERROR_SUCCESS) {
            error = L"The Windows shell setting could not be changed.";
            return false;
        }
        const bool ok = set_reg_string(h, L"Shell", program);
        RegCloseKey(h);
        if (!ok) error = L"The Windows shell setting could not be changed.";
        return ok;
    }
    // The boot section takes an 8.3 path. Without one, writing the long path could leave
    // Windows without a shell at the next start, so nothing is written.
    const std::wstring system_ini = windows_dir() + L"SYSTEM.INI";
    wchar_t prev[MAX_PATH];
    GetPrivateProfileStringW(L"Boot", L"Shell", L"", prev, MAX_PATH, system_ini.c_str());
    previous = prev;
    std::wstring exe = program.substr(0, program.size() - 4) + L".EXE";
    wchar_t shortp[MAX_PATH];
    const DWORD n = GetShortPathNameW(exe.c_str(), shortp, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
        error = L"The short name of \"" + exe +
                L"\" is not available, so Vantora! was not made the Windows shell.";
        return false;
    }
    if (!WritePrivateProfileStringW(L"Boot", L"Shell", shortp, system_ini.c_str())) {
        error = L"SYSTEM.INI could not be changed.";
        return false;
    }
    return true;
}

bool write_rename_section(const std::vector<vx::setup::RenameLine>& lines) {
    if (lines.empty()) return true;
    const std::wstring path = windows_dir() + L"WinInit.Ini";
    std::string existing;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        char buf[4096];
        DWORD n = 0;
        while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0) existing.append(buf, n);
        CloseHandle(h);
    }
    // The file is in the ANSI code page; the core speaks UTF-8.
    std::vector<vx::setup::RenameLine> ansi;
    for (const auto& l : lines)
        ansi.push_back({narrow(widen(l.target), CP_ACP), narrow(widen(l.replacement), CP_ACP)});
    const std::string merged = vx::setup::merge_rename_section(existing, ansi);
    // Write beside and replace, so a failure leaves the old file whole.
    const std::wstring temp = path + L".new";
    h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD n = 0;
    const bool wrote =
        WriteFile(h, merged.data(), static_cast<DWORD>(merged.size()), &n, nullptr) && n == merged.size();
    const bool closed = CloseHandle(h);
    if (!wrote || !closed ||
        !MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temp.c_str());
        return false;
    }
    return true;
}

void start_program(const std::wstring& destination) {
    std::wstring dest = destination;
    if (!dest.empty() && dest.back() != L'\\') dest += L'\\';
    ShellExecuteW(nullptr, L"open", (dest + L"Vantorx.Exe").c_str(), nullptr, dest.c_str(), SW_SHOWNORMAL);
}

void restart_windows() {
    HANDLE token;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        TOKEN_PRIVILEGES tp{};
        tp.PrivilegeCount = 1;
        tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        if (LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &tp.Privileges[0].Luid))
            AdjustTokenPrivileges(token, FALSE, &tp, 0, nullptr, nullptr);
        CloseHandle(token);
    }
    ExitWindowsEx(EWX_REBOOT, 0);
}

}  // namespace kx
