// The administration file as sites keep it, in the real shell with real input: enciphered on a
// shared folder the station may only read, and with a restricted directory that is not written
// as a full path.
#include <windows.h>
// windows.h first
#include <commctrl.h>

#include <cctype>
#include <fstream>

#include "e2e/desktop_fixture.h"
#include "security/file_cipher.h"
#include "util/file_io.h"
#include "win/security/security_resources.h"

namespace vx::e2e {
namespace {

// A left click in the middle of `control`, through the system's input queue.
void real_click(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    SetForegroundWindow(GetAncestor(control, GA_ROOT));
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
    Sleep(200);
}

// Letters typed as keys.
void real_type(const std::string& letters) {
    for (char c : letters) {
        INPUT in[2]{};
        in[0].type = in[1].type = INPUT_KEYBOARD;
        in[0].ki.wVk = in[1].ki.wVk = static_cast<WORD>(std::toupper(static_cast<unsigned char>(c)));
        in[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, in, sizeof(INPUT));
    }
    Sleep(200);
}

class AdminFileTest : public DesktopTest {
protected:
    static std::string message_text(HWND box) { return text_of(GetDlgItem(box, 0xFFFF)); }
};

TEST_F(AdminFileTest, AnEncipheredFileOnAReadOnlySharedFolderServesTheLogIn) {
    const auto share = folder() / "share";
    std::filesystem::create_directories(share);
    const std::string path = (share / "ADMAN.ADM").string();
    {
        std::ofstream admin(path, std::ios::binary);
        admin << "Security=0 0 0 3 1 0 0 0 0 0\r\nGroup=Pupils\r\nGroupSecurity=5\r\n"
                 "User=ANN\r\nPassword=apple\r\nLaunchDay=4095\r\nUserGroup=0\r\n";
    }
    int mark = 3;
    security::cipher_file(path, security::kAdminKey, security::CipherDirection::Encipher, mark);
    const Bytes stored = read_file(path);
    SetFileAttributesW(win::widen(path).c_str(), FILE_ATTRIBUTE_READONLY);
    set_setting("AdminDir", share.string());
    set_setting("ExitPrompt", "0");

    const HWND main = start_on_desktop();
    ASSERT_NE(main, nullptr);
    const HWND login = wait_for_window(L"#32770", L"Validate User");
    ASSERT_NE(login, nullptr) << "the file on the read-only folder was not read";
    screenshot();
    real_click(GetDlgItem(login, IDC_EDIT_NAME));
    real_type("ann");
    real_click(GetDlgItem(login, IDC_EDIT_PASSWORD));
    real_type("apple");
    real_click(GetDlgItem(login, IDOK));
    EXPECT_TRUE(eventually([&] { return !IsWindow(login); })) << "the log-in did not pass";
    const HWND tabs = GetDlgItem(main, win::shell::kIdPageTabs);
    EXPECT_TRUE(eventually([&] { return SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0) > 0; }))
        << "the station stayed locked";
    Sleep(1000);  // the first page is shown once the log-in is over
    screenshot();
    EXPECT_EQ(read_file(path), stored) << "the file was written";
    SetFileAttributesW(win::widen(path).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(AdminFileTest, ARestrictedDirectoryReadWithCareIsNamedOnce) {
    {
        std::ofstream admin(folder() / "ADMAN.ADM", std::ios::binary);
        admin << "Security=0 0 0 0 0 0 0 0 0 0\r\nDirName=C:\\Exams\r\nDirName=\\Staff\r\nDirSecurity=50\r\n";
    }
    set_setting("ExitPrompt", "0");
    const HWND main = start_on_desktop();
    ASSERT_NE(main, nullptr);
    const HWND box = wait_for_dialog(main);
    ASSERT_NE(box, nullptr) << "nothing was said about the entry";
    const std::string text = message_text(box);
    EXPECT_NE(text.find("Line 3: The restricted directory \"\\Staff\" is not a full path"), std::string::npos)
        << text;
    EXPECT_NE(text.find("every drive"), std::string::npos) << text;
    screenshot();
    real_click(GetDlgItem(box, IDOK));
    ASSERT_TRUE(eventually([&] { return !IsWindow(box); }));
    // The station goes on, and being brought forward again does not bring the message back.
    real_click(GetDlgItem(main, win::shell::kIdMainArea));
    Sleep(1500);
    EXPECT_EQ(wait_for_dialog(main, 1s), nullptr);
}

}  // namespace
}  // namespace vx::e2e
