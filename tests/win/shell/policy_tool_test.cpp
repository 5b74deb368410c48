// vxtool policy check-run on the Win32 file system: the run decision for a user of an
// administration file, whatever way the command is written.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "shell/text_rules.h"
#include "tool/command.h"
#include "util/file_io.h"
#include "win/shell/shell_links.h"
#include "win/util/text.h"

namespace vx::win::shell {
namespace {

namespace fs = std::filesystem;

struct Result {
    int code;
    std::string out, err;
};

std::string upper(const std::string& s) {
    return vx::shell::to_upper(s);
}

// Pupils (level 5) may not open BAT or HTML files nor use drive D:; the administrators may.
std::string admin_text() {
    std::string t =
        "Group=Master User List\r\nGroupSecurity=1000\r\nGroupAccess=1\r\n"
        "Group=Pupils\r\nGroupSecurity=5\r\nGroupAccess=0\r\n"
        "User=ADMIN\r\nPassword=root\r\nLaunchDay=4095\r\nUserGroup=0\r\n"
        "User=ANN\r\nPassword=apple\r\nLaunchDay=4095\r\nUserGroup=1\r\n"
        "FileType=EXE\r\nFileTypeSecurity=0\r\n"
        "FileType=BAT\r\nFileTypeSecurity=1000\r\n"
        "FileType=HTML\r\nFileTypeSecurity=1000\r\n";
    for (char d = 'A'; d <= 'Z'; ++d) t += d == 'D' ? "Drive=1000\r\n" : "Drive=0\r\n";
    return t;
}

class PolicyToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("vx_policy_" + std::to_string(GetCurrentProcessId()));
        fs::remove_all(folder_);
        fs::create_directories(folder_ / "sub");
        for (const char* name : {"TOOL.EXE", "SCRIPT.BAT", "Run Me.bat", "page.html"})
            std::ofstream(folder_ / name, std::ios::binary) << "MZ";
        admin_ = utf8(folder_ / "ADMAN.ADM");
        std::ofstream(folder_ / "ADMAN.ADM", std::ios::binary) << admin_text();
        link(folder_ / "Tool.lnk", folder_ / "TOOL.EXE");
        link(folder_ / "Script.lnk", folder_ / "SCRIPT.BAT");

        wchar_t cwd[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, cwd);
        old_cwd_ = cwd;
        SetCurrentDirectoryW(folder_.wstring().c_str());
    }
    void TearDown() override {
        SetCurrentDirectoryW(old_cwd_.c_str());
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    std::string utf8(const fs::path& p) const { return narrow(p.wstring()); }
    std::string at(const char* name) const { return upper(utf8(folder_ / name)); }
    void link(const fs::path& file, const fs::path& target) const {
        vx::ShellLink l;
        l.target = utf8(target);
        std::string error;
        ASSERT_TRUE(Win32ShellLinks().create(utf8(file), l, error)) << error;
    }
    Result check(const std::string& user, const std::string& command) const {
        std::ostringstream out, err;
        const int code = vx::tool::run(
            {"vxtool", "policy", "check-run", "--admin", admin_, "--user", user, command}, out, err);
        return {code, out.str(), err.str()};
    }

    fs::path folder_;
    std::string admin_;
    std::wstring old_cwd_;
};

TEST_F(PolicyToolTest, DecidesOnTheProgramThatWouldReallyStart) {
    const std::string dir = upper(utf8(folder_));
    std::string slashed = dir;
    for (char& c : slashed)
        if (c == '\\') c = '/';
    struct Case {
        std::string command;
        bool allowed;
        std::string expect;  // allowed: the program; refused: a part of the reason
    };
    std::vector<Case> cases = {
        {dir + "\\TOOL.EXE", true, at("TOOL.EXE")},
        {dir + "\\tool.exe /q", true, at("TOOL.EXE")},
        {"D:\\APPS\\GAME.EXE", false, "drive D: is barred"},
        {"d:game.exe", false, "drive D: is barred"},
        {dir + "\\SCRIPT.BAT", false, "extension BAT is forbidden"},
        {"\"" + dir + "\\Run Me.bat\" /x", false, "extension BAT is forbidden"},
        {dir + "\\Run Me.bat", false, "extension BAT is forbidden"},
        {slashed + "/script.bat", false, "extension BAT is forbidden"},
        {dir + "\\sub\\..\\script.bat", false, "extension BAT is forbidden"},
        {dir + "\\script.bat. ", false, "extension BAT is forbidden"},
        {dir + "\\script.bat::open", false, "extension BAT is forbidden"},
        {dir + "\\Script.lnk", false, "extension BAT is forbidden"},
        {dir + "\\Tool.lnk", true, at("TOOL.EXE")},
        {"script", false, "extension BAT is forbidden"},  // found through PATHEXT
        {"tool", true, at("TOOL.EXE")},
        {"\\\\SERVER\\SHARE\\TOOL.EXE", false, "network, device and address forms"},
        {"\\\\?\\" + dir + "\\TOOL.EXE", false, "network, device and address forms"},
        {"\\\\.\\" + dir + "\\TOOL.EXE", false, "network, device and address forms"},
        {"http://example.com/tool.exe", false, "network, device and address forms"},
        {"nosuchprogram", false, "no program of that name"},
    };
    // A short name hides the long name's extension: the check must see the long one.
    wchar_t short_name[MAX_PATH] = {};
    const DWORD n = GetShortPathNameW((folder_ / "page.html").wstring().c_str(), short_name, MAX_PATH);
    if (n > 0 && n < MAX_PATH && upper(narrow(short_name)) != at("page.html"))
        cases.push_back({narrow(short_name), false, "extension HTML is forbidden"});
    else
        ADD_FAILURE() << "no short name for page.html";

    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        const Result r = check("ANN", c.command);
        EXPECT_EQ(r.code, c.allowed ? 0 : 1) << r.out << r.err;
        if (c.allowed)
            EXPECT_EQ(r.out, "allowed: " + c.expect + "\n");
        else
            EXPECT_TRUE(r.out.rfind("refused: ", 0) == 0 && r.out.find(c.expect) != std::string::npos)
                << r.out;
    }
}

TEST_F(PolicyToolTest, AdministratorsAreNotRestrictedAndTheFileStaysAsItWas) {
    const Bytes before = read_file(admin_);
    const Result admin = check("admin", utf8(folder_ / "SCRIPT.BAT"));
    EXPECT_EQ(admin.code, 0) << admin.out << admin.err;
    EXPECT_EQ(admin.out, "allowed: " + at("SCRIPT.BAT") + "\n");
    EXPECT_EQ(check("ADMIN", "D:\\APPS\\GAME.EXE").out.rfind("refused: no program", 0), 0u);
    EXPECT_EQ(read_file(admin_), before);
}

TEST_F(PolicyToolTest, UsageUnknownUserAndMissingFileAreErrors) {
    const Result unknown = check("BOB", "tool");
    EXPECT_EQ(unknown.code, 2);
    EXPECT_NE(unknown.err.find("no user 'BOB'"), std::string::npos) << unknown.err;

    std::ostringstream out, err;
    EXPECT_EQ(vx::tool::run({"vxtool", "policy", "check-run", "--admin", utf8(folder_ / "NONE.ADM"), "--user",
                             "ANN", "tool"},
                            out, err),
              2);
    EXPECT_NE(err.str().find("no such file"), std::string::npos);
    std::ostringstream out2, err2;
    EXPECT_EQ(vx::tool::run({"vxtool", "policy", "check-run", "tool"}, out2, err2), 2);
    EXPECT_NE(err2.str().find("usage: vxtool policy check-run"), std::string::npos);
}

}  // namespace
}  // namespace vx::win::shell
