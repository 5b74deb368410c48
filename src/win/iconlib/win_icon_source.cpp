#include "win/iconlib/win_icon_source.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <algorithm>

#include "util/file_io.h"
#include "win/iconlib/library_images.h"
#include "win/shell/shell_links.h"
#include "win/util/handle.h"
#include "win/util/text.h"

namespace vx::win::iconlib {

namespace {

std::string upper_extension(const std::string& path) {
    const std::string name = file_name_of(path);
    const auto dot = name.rfind('.');
    if (dot == std::string::npos) return {};
    std::string ext = name.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c); });
    return ext;
}

std::vector<Bytes> extracted(const std::string& path, int index) {
    if (path.empty() || index < 0) return {};
    HICON large = nullptr;
    if (ExtractIconExW(widen(path).c_str(), index, &large, nullptr, 1) == 0 || !large) return {};
    unique_hicon icon(large);
    return icon_images(icon.get());
}

}  // namespace

std::optional<std::string> Win32IconSource::short_path(const std::string& path) {
    const std::wstring wide = widen(path);
    const DWORD needed = GetShortPathNameW(wide.c_str(), nullptr, 0);
    if (needed == 0) return std::nullopt;
    std::wstring out(needed, L'\0');
    const DWORD got = GetShortPathNameW(wide.c_str(), out.data(), needed);
    if (got == 0 || got >= needed) return std::nullopt;
    out.resize(got);
    return narrow(out);
}

std::vector<Bytes> Win32IconSource::extract_icon(const std::string& path, int index) {
    return extracted(path, index);
}

std::vector<Bytes> Win32IconSource::shortcut_icon(const std::string& path) {
    shell::Win32ShellLinks links;
    const auto link = links.resolve(path);
    if (!link) return {};
    if (!link->icon_location.empty()) {
        auto images = extracted(link->icon_location, link->icon_index);
        if (!images.empty()) return images;
    }
    if (link->target.empty()) return {};
    SHFILEINFOW info{};
    if (!SHGetFileInfoW(widen(link->target).c_str(), 0, &info, sizeof info, SHGFI_ICON | SHGFI_LARGEICON) ||
        !info.hIcon)
        return {};
    unique_hicon icon(info.hIcon);
    return icon_images(icon.get());
}

int icon_count(const std::string& path) {
    const std::string ext = upper_extension(path);
    if (ext == "ICO" || ext == "CUR" || ext == "ANI" || ext == "LNK") return 1;
    const UINT count = ExtractIconExW(widen(path).c_str(), -1, nullptr, nullptr, 0);
    return count == UINT_MAX ? 0 : static_cast<int>(std::min<UINT>(count, 0x10000));
}

}  // namespace vx::win::iconlib
