#include "win/dialogs/win_file_system.h"

#include <windows.h>

#include <winnetwk.h>

#include <iterator>

#include "win/util/text.h"

namespace vx::win {

dialogs::FileSystem::Kind WinFileSystem::kind(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(widen(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return Kind::kMissing;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? Kind::kDirectory : Kind::kFile;
}

std::optional<std::string> WinFileSystem::real_path(const std::string& path) {
    // The final name of a file on a mapped drive is its share path, which the check refuses;
    // there the long name keeps the drive letter (links on a share are the server's to follow).
    if (path.size() >= 3 && path[1] == ':' &&
        GetDriveTypeW(widen(path.substr(0, 3)).c_str()) == DRIVE_REMOTE) {
        const std::wstring wide = widen(path);
        std::wstring buffer(GetLongPathNameW(wide.c_str(), nullptr, 0), L'\0');
        if (buffer.empty()) return std::nullopt;
        const DWORD length = GetLongPathNameW(wide.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0 || length >= buffer.size()) return std::nullopt;
        buffer.resize(length);
        return narrow(buffer);
    }
    const HANDLE file =
        CreateFileW(widen(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::wstring buffer(1024, L'\0');
    DWORD length = GetFinalPathNameByHandleW(file, buffer.data(), static_cast<DWORD>(buffer.size()),
                                             FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length >= buffer.size()) {
        buffer.resize(length + 1);
        length = GetFinalPathNameByHandleW(file, buffer.data(), static_cast<DWORD>(buffer.size()),
                                           FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    }
    CloseHandle(file);
    if (length == 0 || length >= buffer.size()) return std::nullopt;
    buffer.resize(length);
    // "\\?\C:\Dir" is a drive path in raw form; "\\?\UNC\..." stays as it is and is refused.
    if (buffer.starts_with(L"\\\\?\\") && buffer.size() >= 6 && buffer[5] == L':') buffer.erase(0, 4);
    return narrow(buffer);
}

bool WinFileSystem::is_drive(char letter) {
    if (letter < 'A' || letter > 'Z') return false;
    return (GetLogicalDrives() >> (letter - 'A')) & 1u;
}

std::optional<std::string> WinFileSystem::remote_name(char letter) {
    if (letter < 'A' || letter > 'Z') return std::nullopt;
    const wchar_t local[] = {static_cast<wchar_t>(letter), L':', 0};
    wchar_t remote[1024]{};
    DWORD size = static_cast<DWORD>(std::size(remote));
    if (WNetGetConnectionW(local, remote, &size) != NO_ERROR) return std::nullopt;
    return narrow(remote);
}

dialogs::Environment system_environment() {
    return [](std::string_view name) -> std::optional<std::string> {
        const std::wstring wide = widen(name);
        const DWORD n = GetEnvironmentVariableW(wide.c_str(), nullptr, 0);
        if (n == 0) return std::nullopt;
        std::wstring value(n, L'\0');
        const DWORD got = GetEnvironmentVariableW(wide.c_str(), value.data(), n);
        if (got == 0 || got >= n) return std::nullopt;
        value.resize(got);
        return narrow(value);
    };
}

}  // namespace vx::win
