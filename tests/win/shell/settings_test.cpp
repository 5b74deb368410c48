#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "win/shell/main_form.h"
#include "win/shell/registry_settings.h"

namespace vx::win::shell {
namespace {

// A key of this test process only, so parallel runs and the e2e tests never meet.
class RegistrySettings : public ::testing::Test {
protected:
    const std::wstring key = L"Software\\Halvane\\VantoraTest\\" + std::to_wstring(GetCurrentProcessId());
    RegistrySettingsStore store{key};
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str()); }
};

TEST_F(RegistrySettings, WritesAndReadsTextInSectionsWithNamesInAnyCase) {
    EXPECT_EQ(store.read("", "Title"), std::nullopt) << "absent key";
    store.write("", "Title", "Caf\xC3\xA9 \xE2\x82\xAC");
    store.write("", "Empty", "");
    store.write("File Browser", "Left", "12");
    EXPECT_EQ(store.read("", "TITLE"), "Caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(store.read("", "Empty"), "");
    EXPECT_EQ(store.read("File Browser", "left"), "12");
    EXPECT_EQ(store.read("", "Left"), std::nullopt) << "sections are separate";
    EXPECT_EQ(store.read("", "Missing"), std::nullopt) << "absent value";
}

TEST_F(RegistrySettings, HandEditedValuesOfOtherKinds) {
    HKEY raw = nullptr;
    ASSERT_EQ(
        RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw, nullptr),
        ERROR_SUCCESS);
    unique_hkey k(raw);
    const DWORD number = 40;
    RegSetValueExW(k.get(), L"Xvalue", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    const BYTE blob[] = {1, 2, 3};
    RegSetValueExW(k.get(), L"Blob", 0, REG_BINARY, blob, sizeof blob);
    // A string stored without its terminator, as some tools write them.
    RegSetValueExW(k.get(), L"Bare", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"abc"), 3 * sizeof(wchar_t));

    EXPECT_EQ(store.read("", "Xvalue"), "40");
    EXPECT_EQ(store.read("", "Bare"), "abc");
    EXPECT_THROW(store.read("", "Blob"), std::runtime_error);
}

class FakeSettings : public SettingsStore {
public:
    std::optional<std::string> title;
    bool fail = false;
    std::optional<std::string> read(const std::string&, const std::string& name) override {
        if (fail) throw std::runtime_error("registry unavailable");
        return name == "Title" ? title : std::nullopt;
    }
    void write(const std::string&, const std::string&, const std::string&) override {}
};

TEST(MainTitle, FromTheSettingElseTheApplicationTitle) {
    FakeSettings s;
    EXPECT_EQ(read_main_title(s), "Vantora!");
    s.title = "Library Kiosk";
    EXPECT_EQ(read_main_title(s), "Library Kiosk");
    s.fail = true;
    EXPECT_EQ(read_main_title(s), "Vantora!") << "a registry failure keeps the default";
}

}  // namespace
}  // namespace vx::win::shell
