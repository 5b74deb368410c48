#include "win/shell/registry_settings.h"

#include <stdexcept>

#include "win/util/handle.h"
#include "win/util/text.h"
#include "win/util/trace.h"

namespace vx::win::shell {
namespace {

[[noreturn]] void fail(const char* what, const std::string& name, LSTATUS status) {
    throw std::runtime_error(std::string(what) + " \"" + name +
                             "\": " + last_error_text(static_cast<DWORD>(status)));
}

}  // namespace

std::wstring RegistrySettingsStore::key_for(const std::string& section) const {
    return section.empty() ? key_ : key_ + L"\\" + widen(section);
}

std::optional<std::string> RegistrySettingsStore::read(const std::string& section, const std::string& name) {
    unique_hkey key;
    LSTATUS status = RegOpenKeyExW(root_, key_for(section).c_str(), 0, KEY_QUERY_VALUE, key.put());
    if (status == ERROR_FILE_NOT_FOUND) return std::nullopt;
    if (status != ERROR_SUCCESS) fail("Cannot open the settings to read", name, status);

    const std::wstring wname = widen(name);
    DWORD type = 0;
    DWORD size = 0;
    status = RegQueryValueExW(key.get(), wname.c_str(), nullptr, &type, nullptr, &size);
    if (status == ERROR_FILE_NOT_FOUND) return std::nullopt;
    if (status != ERROR_SUCCESS) fail("Cannot read the setting", name, status);

    if (type == REG_DWORD) {
        DWORD number = 0;
        size = sizeof number;
        status = RegQueryValueExW(key.get(), wname.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&number),
                                  &size);
        if (status != ERROR_SUCCESS) fail("Cannot read the setting", name, status);
        return std::to_string(number);
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) fail("The setting is not text", name, ERROR_INVALID_DATA);

    // The value may grow between the two calls; ask again until it fits.
    std::wstring text;
    for (int attempt = 0; attempt < 4; ++attempt) {
        text.assign(size / sizeof(wchar_t) + 1, L'\0');
        DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        status = RegQueryValueExW(key.get(), wname.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(text.data()), &bytes);
        if (status == ERROR_MORE_DATA) {
            size = bytes;
            continue;
        }
        if (status != ERROR_SUCCESS) fail("Cannot read the setting", name, status);
        // Stored strings may or may not carry their terminator.
        text.resize(bytes / sizeof(wchar_t));
        while (!text.empty() && text.back() == L'\0') text.pop_back();
        return narrow(text);
    }
    fail("Cannot read the setting", name, ERROR_MORE_DATA);
}

void RegistrySettingsStore::write(const std::string& section, const std::string& name,
                                  const std::string& value) {
    unique_hkey key;
    LSTATUS status = RegCreateKeyExW(root_, key_for(section).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                     key.put(), nullptr);
    if (status != ERROR_SUCCESS) fail("Cannot open the settings to write", name, status);
    const std::wstring text = widen(value);
    status =
        RegSetValueExW(key.get(), widen(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS) fail("Cannot write the setting", name, status);
}

}  // namespace vx::win::shell
