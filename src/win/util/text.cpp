#include "win/util/text.h"

#include <windows.h>

namespace vx::win {

std::wstring widen(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string narrow(std::wstring_view wide) {
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr,
                        nullptr);
    return out;
}

std::string ansi_to_utf8(std::string_view ansi, unsigned code_page) {
    if (ansi.empty()) return {};
    const UINT cp = code_page ? code_page : CP_ACP;
    const int n = MultiByteToWideChar(cp, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(cp, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
    return narrow(wide);
}

std::string utf8_to_ansi(std::string_view utf8, unsigned code_page) {
    const std::wstring wide = widen(utf8);
    if (wide.empty()) return {};
    const UINT cp = code_page ? code_page : CP_ACP;
    const int n =
        WideCharToMultiByte(cp, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(cp, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

}  // namespace vx::win
