#include "system.h"

#include <windows.h>

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>

#include "win_fs.h"
#include "win_text.h"

namespace kx {
namespace {

constexpr wchar_t kUninstallKey[] = L"Software\\microsoft\\windows\\currentversion\\uninstall\\Vantora!";

std::wstring reg_string(HKEY root, const wchar_t* key, const wchar_t* value) {
    wchar_t buf[MAX_PATH * 2] = {};
    DWORD size = sizeof buf - sizeof(wchar_t);
    // Without RRF_NOEXPAND the expandable type is refused outright (ERROR_INVALID_PARAMETER).
    if (RegGetValueW(root, key, value, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, buf,
                     &size) != ERROR_SUCCESS)
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

namespace {

std::wstring value_of(HKEY key, const wchar_t* name) {
    DWORD size = 0, type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || size == 0) return {};
    std::wstring s(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(s.data()), &size) !=
        ERROR_SUCCESS)
        return {};
    s.resize(size / sizeof(wchar_t));
    // A string's own terminator; a multi-string keeps its inner ones.
    while (type != REG_MULTI_SZ && !s.empty() && s.back() == L'\0') s.pop_back();
    return s;
}

}  // namespace

vx::setup::InstallRecord read_uninstall_record() {
    vx::setup::InstallRecord r;
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return r;
    r.destination = narrow(value_of(key, L"InstallLocation"));
    r.shortcut = narrow(value_of(key, L"Vantora Shortcut"));
    r.shell = value_of(key, L"Vantora Shell") == L"1";
    r.previous_shell = narrow(value_of(key, L"Vantora Previous Shell"));
    r.taskman = value_of(key, L"Vantora TaskMan") == L"1";
    const std::wstring multi = value_of(key, L"Vantora Files");
    for (size_t at = 0; at < multi.size();) {
        const size_t end = std::min(multi.find(L'\0', at), multi.size());
        if (end > at) r.files.push_back(narrow(std::wstring_view(multi).substr(at, end - at)));
        at = end + 1;
    }
    RegCloseKey(key);
    return r;
}

bool register_uninstaller(const vx::setup::InstallRecord& r) {
    HKEY key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    std::wstring dest = widen(r.destination);
    if (!dest.empty() && dest.back() != L'\\') dest += L'\\';
    bool ok = set_reg_string(key, L"DisplayName", L"Vantora!") &&
              set_reg_string(key, L"UnInstallString", dest + L"UnInstal.Exe");
    set_reg_string(key, L"InstallLocation", dest);
    set_reg_string(key, L"Vantora Shortcut", widen(r.shortcut));
    set_reg_string(key, L"Vantora Shell", r.shell ? L"1" : L"0");
    set_reg_string(key, L"Vantora Previous Shell", widen(r.previous_shell));
    set_reg_string(key, L"Vantora TaskMan", r.taskman ? L"1" : L"0");
    std::wstring multi;
    for (const auto& f : r.files) multi += widen(f) + L'\0';
    multi += L'\0';
    RegSetValueExW(key, L"Vantora Files", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(multi.data()),
                   static_cast<DWORD>(multi.size() * sizeof(wchar_t)));
    RegCloseKey(key);
    return ok;
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
        const bool ok = set_reg_string(h, L"Shell", widen(vx::setup::winlogon_shell_value(narrow(program))));
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
