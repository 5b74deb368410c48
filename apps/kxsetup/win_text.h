#pragma once
// The installer's own conversions: it shares nothing with the shell's Win32 layer.
#include <windows.h>

#include <string>
#include <string_view>

namespace kx {

inline std::wstring widen(std::string_view s, UINT cp = CP_UTF8) {
    if (s.empty()) return {};
    const int n = MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

inline std::string narrow(std::wstring_view w, UINT cp = CP_UTF8) {
    if (w.empty()) return {};
    const int n =
        WideCharToMultiByte(cp, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(cp, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

// Folders the installer needs, with a trailing backslash.
std::wstring windows_dir();
std::wstring module_dir();

}  // namespace kx
