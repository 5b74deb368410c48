#include "win/builder/win_folders.h"

#include <windows.h>
// After windows.h, which these need.
#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>

#include "editor/surface_edit.h"
#include "win/util/handle.h"
#include "win/util/text.h"

namespace vx::win::builder {

std::optional<std::vector<vx::builder::DirEntry>> Win32FolderSource::list(const std::string& directory) {
    const DWORD attributes = GetFileAttributesW(widen(directory).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    std::wstring pattern = widen(directory);
    if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
    pattern += L'*';
    std::vector<vx::builder::DirEntry> out;
    WIN32_FIND_DATAW data;
    unique_hfind find(FindFirstFileW(pattern.c_str(), &data));
    // An empty directory on some file systems has not even "." to find.
    if (!find) return GetLastError() == ERROR_FILE_NOT_FOUND ? std::optional(out) : std::nullopt;
    do {
        const std::wstring_view name(data.cFileName);
        if (name == L"." || name == L"..") continue;
        out.push_back({narrow(name), (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileW(find.get(), &data));
    return out;
}

std::optional<std::string> Win32FolderSource::read(const std::string& path, size_t limit) {
    unique_hfile file(CreateFileW(widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    std::string bytes(limit, '\0');
    size_t got = 0;
    while (got < limit) {
        DWORD n = 0;
        const DWORD want = static_cast<DWORD>(std::min<size_t>(limit - got, 1 << 20));
        if (!ReadFile(file.get(), bytes.data() + got, want, &n, nullptr)) return std::nullopt;
        if (n == 0) break;
        got += n;
    }
    bytes.resize(got);
    return bytes;
}

namespace {

std::string known_folder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::string out;
    if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path)) && path) out = narrow(path);
    CoTaskMemFree(path);
    return out;
}

std::string windows_directory() {
    wchar_t dir[MAX_PATH]{};
    const UINT n = GetWindowsDirectoryW(dir, MAX_PATH);
    return n > 0 && n < MAX_PATH ? narrow(dir) : std::string();
}

}  // namespace

vx::builder::WindowsFolders windows_folders(vx::builder::FolderSource& fs) {
#ifdef VX_BUILDER_FOLDERS_SEAM
    wchar_t root[MAX_PATH]{};
    const DWORD n = GetEnvironmentVariableW(L"VX_BUILDER_ROOT", root, MAX_PATH);
    if (n > 0 && n < MAX_PATH) return vx::builder::find_windows_folders(fs, narrow(root), {});
#endif
    const vx::builder::KnownFolders known{
        known_folder(FOLDERID_Desktop), known_folder(FOLDERID_PublicDesktop), known_folder(FOLDERID_Programs),
        known_folder(FOLDERID_CommonPrograms)};
    return vx::builder::find_windows_folders(fs, windows_directory(), known);
}

std::string icon_source_of(const std::string& path, ShellLinks& links) {
    vx::editor::DroppedFile file{path, std::nullopt};
    if (vx::editor::is_shortcut_path(path)) file.link = links.resolve(path);
    return vx::editor::dropped_button_source(file).icon_source;
}

}  // namespace vx::win::builder
