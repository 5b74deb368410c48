// The shell's own "am I the Windows shell" check on the real registry, with the Winlogon value
// as this installer writes it now (quoted) and as earlier installs left it (bare, with blanks).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../../unit/shell/fakes.h"
#include "shell/exit_rules.h"
#include "win/shell/shell_runtime.h"
#include "win/util/text.h"

namespace vx::win::shell {
namespace {

constexpr wchar_t kWinlogon[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";

struct SavedShell {
    std::wstring value;
    DWORD type = REG_SZ;
    bool present = false;
    SavedShell() {
        wchar_t buf[1024] = {};
        DWORD size = sizeof buf - sizeof(wchar_t);
        present = RegGetValueW(HKEY_LOCAL_MACHINE, kWinlogon, L"Shell",
                               RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, &type, buf,
                               &size) == ERROR_SUCCESS;
        value = buf;
    }
    ~SavedShell() {
        if (present) {
            set(value, type);
        } else {
            HKEY h;
            if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kWinlogon, 0, KEY_SET_VALUE, &h) == ERROR_SUCCESS) {
                RegDeleteValueW(h, L"Shell");
                RegCloseKey(h);
            }
        }
    }
    static void set(const std::wstring& v, DWORD t) {
        HKEY h;
        ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kWinlogon, 0, KEY_SET_VALUE, &h), ERROR_SUCCESS);
        RegSetValueExW(h, L"Shell", 0, t, reinterpret_cast<const BYTE*>(v.c_str()),
                       static_cast<DWORD>((v.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(h);
    }
};

TEST(ShellRegistration, QuotedAndBareValuesWithBlanksNameThisProgram) {
    SavedShell keep;
    const struct {
        const wchar_t* value;
        DWORD type;
        bool ours;
    } cases[] = {
        {L"\"C:\\Program Files\\Vantora\\Vantorx.Exe\"", REG_SZ, true},
        {L"C:\\Program Files\\Vantora\\Vantorx.Exe", REG_SZ, true},
        {L"\"%ProgramFiles%\\Vantora\\Vantorx.Exe\"", REG_EXPAND_SZ, true},
        {L"explorer.exe", REG_SZ, false},
    };
    Win32ShellRegistration registration;
    for (const auto& c : cases) {
        SavedShell::set(c.value, c.type);
        vx::shell::testing::FakePrompter prompter;
        EXPECT_EQ(vx::shell::is_windows_shell(registration, prompter), c.ours) << narrow(c.value);
        EXPECT_EQ(prompter.log, std::vector<std::string>{}) << narrow(c.value);
    }
}

}  // namespace
}  // namespace vx::win::shell
