#pragma once
// The settings port on the registry: text values under one key of the current user, with the
// sections as subkeys.
#include <windows.h>

#include <string>

#include "port/settings_store.h"

namespace vx::win::shell {

inline constexpr const wchar_t* kSettingsKey = L"Software\\Halvane\\Vantora";

class RegistrySettingsStore final : public SettingsStore {
public:
    explicit RegistrySettingsStore(std::wstring key = kSettingsKey, HKEY root = HKEY_CURRENT_USER)
        : key_(std::move(key)), root_(root) {}

    // Text values as stored; a number stored by hand (REG_DWORD) reads as its decimal text.
    std::optional<std::string> read(const std::string& section, const std::string& name) override;
    void write(const std::string& section, const std::string& name, const std::string& value) override;

private:
    std::wstring key_for(const std::string& section) const;

    std::wstring key_;
    HKEY root_;
};

}  // namespace vx::win::shell
