#pragma once
// Windows' own list of file replacements for its next start (MoveFileEx with
// MOVEFILE_DELAY_UNTIL_REBOOT), read back as plain paths, and a guard that puts the list
// back as it was, so a test leaves the prefix's next start unchanged.
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace vx::win::test {

inline constexpr wchar_t kSessionManager[] = L"System\\CurrentControlSet\\Control\\Session Manager";
inline constexpr wchar_t kPendingRenames[] = L"PendingFileRenameOperations";

inline std::vector<BYTE> read_pending_value(bool& present) {
    std::vector<BYTE> raw;
    present = false;
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_READ, &key) != ERROR_SUCCESS) return raw;
    DWORD size = 0;
    if (RegQueryValueExW(key, kPendingRenames, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
        raw.resize(size);
        present =
            RegQueryValueExW(key, kPendingRenames, nullptr, nullptr, raw.data(), &size) == ERROR_SUCCESS;
        raw.resize(size);
    }
    RegCloseKey(key);
    return raw;
}

// Pairs (from, to), in the order Windows will carry them out.
inline std::vector<std::pair<std::wstring, std::wstring>> pending_renames() {
    bool present = false;
    const std::vector<BYTE> raw = read_pending_value(present);
    const std::wstring multi(reinterpret_cast<const wchar_t*>(raw.data()), raw.size() / sizeof(wchar_t));
    std::vector<std::wstring> items;
    for (size_t at = 0; at < multi.size();) {
        const size_t end = std::min(multi.find(L'\0', at), multi.size());
        items.push_back(multi.substr(at, end - at));
        at = end + 1;
    }
    auto plain = [](std::wstring p) {
        if (!p.empty() && p[0] == L'!') p.erase(0, 1);  // "replace an existing file"
        if (p.rfind(L"\\??\\", 0) == 0) p.erase(0, 4);
        return p;
    };
    std::vector<std::pair<std::wstring, std::wstring>> out;
    for (size_t i = 0; i + 1 < items.size(); i += 2)
        if (!items[i].empty()) out.emplace_back(plain(items[i]), plain(items[i + 1]));
    return out;
}

// Whether Windows will put `from` in the place of `to` at its next start.
inline bool replaced_at_restart(const std::filesystem::path& from, const std::filesystem::path& to) {
    const auto pending = pending_renames();
    return std::any_of(pending.begin(), pending.end(), [&](const auto& p) {
        return _wcsicmp(p.first.c_str(), from.wstring().c_str()) == 0 &&
               _wcsicmp(p.second.c_str(), to.wstring().c_str()) == 0;
    });
}

class PendingRenamesGuard {
public:
    PendingRenamesGuard() : saved_(read_pending_value(had_)) {}
    ~PendingRenamesGuard() {
        HKEY key;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
            return;
        if (had_) {
            RegSetValueExW(key, kPendingRenames, 0, REG_MULTI_SZ, saved_.data(),
                           static_cast<DWORD>(saved_.size()));
        } else {
            RegDeleteValueW(key, kPendingRenames);
        }
        RegCloseKey(key);
    }
    PendingRenamesGuard(const PendingRenamesGuard&) = delete;
    PendingRenamesGuard& operator=(const PendingRenamesGuard&) = delete;

private:
    bool had_ = false;
    std::vector<BYTE> saved_;
};

}  // namespace vx::win::test
