#include "win/shell/profile.h"

#include <windows.h>

#include "win/util/text.h"

namespace vx::win::shell {

namespace {

// The profile calls truncate silently: they return size - 1 (a value) or size - 2 (a list)
// when the buffer was too small, so grow until the answer fits.
std::wstring read_profile(const wchar_t* section, const wchar_t* key, const wchar_t* fallback,
                          const wchar_t* file, DWORD list_slack) {
    std::wstring buffer(1024, L'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD got = GetPrivateProfileStringW(section, key, fallback, buffer.data(), size, file);
        if (got + list_slack < size || size >= (1u << 24)) {
            buffer.resize(got);
            return buffer;
        }
        buffer.assign(buffer.size() * 4, L'\0');
    }
}

}  // namespace

std::string Win32Profile::read(const std::string& file, const std::string& section, const std::string& key,
                               const std::string& fallback) {
    // A null key would list the section's keys instead of reading one value.
    if (section.empty() || key.empty()) return fallback;
    const std::wstring w_fallback = widen(fallback);
    return narrow(
        read_profile(widen(section).c_str(), widen(key).c_str(), w_fallback.c_str(), widen(file).c_str(), 1));
}

bool Win32Profile::write(const std::string& file, const std::string& section, const std::string& key,
                         const std::string& value) {
    // A null key or value would delete a section or a key instead of writing one.
    if (section.empty() || key.empty()) return false;
    return WritePrivateProfileStringW(widen(section).c_str(), widen(key).c_str(), widen(value).c_str(),
                                      widen(file).c_str()) != FALSE;
}

std::vector<std::string> Win32Profile::keys(const std::string& file, const std::string& section) {
    std::vector<std::string> out;
    if (section.empty()) return out;
    const std::wstring list = read_profile(widen(section).c_str(), nullptr, L"", widen(file).c_str(), 2);
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find(L'\0', start);
        if (end == std::wstring::npos) end = list.size();
        if (end > start) out.push_back(narrow(std::wstring_view(list).substr(start, end - start)));
        start = end + 1;
    }
    return out;
}

}  // namespace vx::win::shell
