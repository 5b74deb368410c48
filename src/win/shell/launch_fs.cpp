#include "win/shell/launch_fs.h"

#include <windows.h>

#include "shell/text_rules.h"
#include "win/shell/process_api.h"
#include "win/shell/shell_links.h"
#include "win/util/program_folder.h"
#include "win/util/text.h"

namespace vx::win::shell {
namespace {

DWORD attributes_of(const std::string& path) {
    if (path.empty()) return INVALID_FILE_ATTRIBUTES;
    return GetFileAttributesW(widen(path).c_str());
}

std::string system_folder(UINT (*get)(LPWSTR, UINT)) {
    wchar_t buffer[MAX_PATH + 1] = {};
    const UINT n = get(buffer, MAX_PATH);
    if (n == 0 || n > MAX_PATH) return {};
    return narrow(buffer);
}

UINT windows_folder(LPWSTR buffer, UINT size) {
    return GetWindowsDirectoryW(buffer, size);
}
UINT system32_folder(LPWSTR buffer, UINT size) {
    return GetSystemDirectoryW(buffer, size);
}

std::string environment(const wchar_t* name) {
    const DWORD n = GetEnvironmentVariableW(name, nullptr, 0);
    if (n == 0) return {};
    std::wstring value(n, L'\0');
    const DWORD got = GetEnvironmentVariableW(name, value.data(), n);
    if (got == 0 || got >= n) return {};
    value.resize(got);
    return narrow(value);
}

// A ";" list as the shell reads PATH and PATHEXT: blanks around an entry and quotes around a
// folder do not count, and empty entries are skipped.
std::vector<std::string> split_list(const std::string& list) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= list.size()) {
        const size_t end = list.find(';', start);
        std::string raw = list.substr(start, end == std::string::npos ? std::string::npos : end - start);
        std::string part;
        for (char c : raw)
            if (c != '"') part.push_back(c);
        const size_t first = part.find_first_not_of(" \t");
        part = first == std::string::npos ? std::string()
                                          : part.substr(first, part.find_last_not_of(" \t") - first + 1);
        if (!part.empty()) parts.push_back(part);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return parts;
}

}  // namespace

bool Win32LaunchFileSystem::file_exists(const std::string& path) {
    const DWORD a = attributes_of(path);
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32LaunchFileSystem::directory_exists(const std::string& path) {
    const DWORD a = attributes_of(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Win32LaunchFileSystem::long_path(const std::string& path) {
    if (path.empty()) return path;
    const std::wstring wide = widen(path);
    const DWORD n = GetLongPathNameW(wide.c_str(), nullptr, 0);
    if (n == 0) return path;
    std::wstring result(n, L'\0');
    const DWORD got = GetLongPathNameW(wide.c_str(), result.data(), n);
    if (got == 0 || got >= n) return path;
    result.resize(got);
    return narrow(result);
}

std::optional<vx::shell::ShellLinkInfo> Win32LaunchFileSystem::read_link(const std::string& path) {
    Win32ShellLinks links;
    const auto link = links.resolve(path);
    if (!link) return std::nullopt;
    return vx::shell::ShellLinkInfo{link->target, link->arguments, link->working_directory};
}

std::string Win32LaunchFileSystem::current_directory() {
    const DWORD n = GetCurrentDirectoryW(0, nullptr);
    if (n == 0) return {};
    std::wstring dir(n, L'\0');
    const DWORD got = GetCurrentDirectoryW(n, dir.data());
    if (got == 0 || got >= n) return {};
    dir.resize(got);
    return narrow(dir);
}

std::vector<std::string> Win32LaunchFileSystem::search_folders() {
    // The order process creation searches a bare name in.
    std::vector<std::string> folders;
    if (std::string folder = program_folder(); !folder.empty()) folders.push_back(std::move(folder));
    folders.push_back(current_directory());
    folders.push_back(system_folder(system32_folder));
    // The 16-bit system folder is searched too, between the two.
    const std::string windows = system_folder(windows_folder);
    if (!windows.empty()) folders.push_back(windows + "\\SYSTEM");
    folders.push_back(windows);
    for (auto& p : split_list(environment(L"PATH"))) folders.push_back(p);
    std::erase_if(folders, [](const std::string& f) { return f.empty(); });
    return folders;
}

std::vector<std::string> Win32LaunchFileSystem::path_extensions() {
    std::vector<std::string> exts;
    for (std::string& e : split_list(environment(L"PATHEXT")))
        exts.push_back(vx::shell::to_upper(e[0] == '.' ? e : "." + e));
    if (exts.empty()) exts = {".COM", ".EXE", ".BAT", ".CMD"};
    return exts;
}

std::string Win32LaunchFileSystem::associated_program(const std::string& document) {
    return Win32ProcessApi{}.find_executable(document);
}

}  // namespace vx::win::shell
