#include "win/shell/launch_fs.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "shell/text_rules.h"
#include "win/shell/shell_links.h"
#include "win/util/text.h"

namespace vx::win::shell {
namespace {

namespace fs = std::filesystem;

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const wchar_t* name, const wchar_t* value) : name_(name) {
        wchar_t buffer[32768] = {};
        const DWORD n = GetEnvironmentVariableW(name, buffer, 32768);
        had_ = n > 0 && n < 32768;
        old_ = buffer;
        SetEnvironmentVariableW(name, value);
    }
    ~ScopedEnv() { SetEnvironmentVariableW(name_.c_str(), had_ ? old_.c_str() : nullptr); }

private:
    std::wstring name_, old_;
    bool had_ = false;
};

std::string upper(const std::string& s) {
    return vx::shell::to_upper(s);
}

class LaunchFsTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("vx launch fs " + std::to_string(GetCurrentProcessId()));
        fs::remove_all(folder_);
        fs::create_directories(folder_ / "Long Folder Name");
        program_ = folder_ / "Long Folder Name" / "Program File.exe";
        std::ofstream(program_, std::ios::binary) << "MZ";
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    std::string utf8(const fs::path& p) const { return narrow(p.wstring()); }

    fs::path folder_, program_;
    Win32LaunchFileSystem files;
};

TEST_F(LaunchFsTest, FilesAndFoldersAreToldApartAndTrailingDotsAreTheSystemsToStrip) {
    EXPECT_TRUE(files.file_exists(utf8(program_)));
    EXPECT_FALSE(files.directory_exists(utf8(program_)));
    EXPECT_TRUE(files.directory_exists(utf8(folder_ / "Long Folder Name")));
    EXPECT_FALSE(files.file_exists(utf8(folder_ / "Long Folder Name")));
    EXPECT_FALSE(files.file_exists(utf8(folder_ / "missing.exe")));
    EXPECT_FALSE(files.file_exists(""));
    EXPECT_FALSE(files.directory_exists(""));
    // Names compare without regard to case, as the checker hands them over in capitals.
    EXPECT_TRUE(files.file_exists(upper(utf8(program_))));
}

TEST_F(LaunchFsTest, ShortNamesComeBackLong) {
    wchar_t short_name[MAX_PATH] = {};
    const DWORD n = GetShortPathNameW(program_.wstring().c_str(), short_name, MAX_PATH);
    ASSERT_GT(n, 0u);
    ASSERT_LT(n, static_cast<DWORD>(MAX_PATH));
    const std::string short_path = narrow(short_name);
    if (upper(short_path) == upper(utf8(program_))) GTEST_SKIP() << "this volume keeps no short names";
    EXPECT_EQ(upper(files.long_path(short_path)), upper(utf8(program_)));
    EXPECT_EQ(upper(files.long_path(upper(short_path))), upper(utf8(program_)));
    // Unknown paths stay as they were.
    EXPECT_EQ(files.long_path("C:\\NO SUCH\\PROG~1.EXE"), "C:\\NO SUCH\\PROG~1.EXE");
    EXPECT_EQ(files.long_path(""), "");
}

TEST_F(LaunchFsTest, LinksGiveTargetArgumentsAndFolder) {
    const fs::path link = folder_ / "Program.lnk";
    ShellLink made;
    made.target = utf8(program_);
    made.arguments = "/quiet";
    made.working_directory = utf8(folder_);
    std::string error;
    ASSERT_TRUE(Win32ShellLinks().create(utf8(link), made, error)) << error;

    const auto read = files.read_link(utf8(link));
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(upper(read->target), upper(utf8(program_)));
    EXPECT_EQ(read->arguments, "/quiet");
    EXPECT_EQ(upper(read->working_directory), upper(utf8(folder_)));
    // In capitals, as the checker asks.
    EXPECT_TRUE(files.read_link(upper(utf8(link))).has_value());
    EXPECT_FALSE(files.read_link(utf8(program_)).has_value());
    EXPECT_FALSE(files.read_link(utf8(folder_ / "none.lnk")).has_value());
}

TEST_F(LaunchFsTest, SearchFoldersFollowProcessCreationThenPath) {
    const fs::path extra = folder_ / "Long Folder Name";
    const std::wstring path_value = L"\"" + extra.wstring() + L"\";;C:\\windows\\system32";
    ScopedEnv path(L"PATH", path_value.c_str());
    const std::vector<std::string> folders = files.search_folders();
    ASSERT_GE(folders.size(), 5u);

    wchar_t module[MAX_PATH] = {}, sys[MAX_PATH] = {}, win[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    GetSystemDirectoryW(sys, MAX_PATH);
    GetWindowsDirectoryW(win, MAX_PATH);
    EXPECT_EQ(upper(folders[0]), upper(utf8(fs::path(module).parent_path())));
    EXPECT_EQ(upper(folders[1]), upper(files.current_directory()));
    EXPECT_EQ(upper(folders[2]), upper(narrow(sys)));
    // The 16-bit system folder comes before the Windows folder.
    EXPECT_EQ(upper(folders[3]), upper(narrow(win) + "\\SYSTEM"));
    EXPECT_EQ(upper(folders[4]), upper(narrow(win)));
    // PATH last, without its quotes and empty entries.
    ASSERT_EQ(folders.size(), 7u);
    EXPECT_EQ(upper(folders[5]), upper(utf8(extra)));
    EXPECT_EQ(upper(folders[6]), "C:\\WINDOWS\\SYSTEM32");
}

TEST_F(LaunchFsTest, PathExtensionsFromTheEnvironmentOrTheSystemDefault) {
    {
        ScopedEnv pathext(L"PATHEXT", L".com;.exe; .bat ;;.VBS");
        EXPECT_EQ(files.path_extensions(), (std::vector<std::string>{".COM", ".EXE", ".BAT", ".VBS"}));
    }
    {
        ScopedEnv pathext(L"PATHEXT", nullptr);
        EXPECT_EQ(files.path_extensions(), (std::vector<std::string>{".COM", ".EXE", ".BAT", ".CMD"}));
    }
}

TEST_F(LaunchFsTest, AssociatedProgramOfARegisteredType) {
    // A type of this test's own.
    const std::wstring ext = L".vxlfs" + std::to_wstring(GetCurrentProcessId() % 1000);
    const std::wstring type = L"VxLaunchFsTest" + std::to_wstring(GetCurrentProcessId());
    const std::wstring command = L"\"" + program_.wstring() + L"\" \"%1\"";
    ASSERT_EQ(RegSetKeyValueW(HKEY_CLASSES_ROOT, ext.c_str(), nullptr, REG_SZ, type.c_str(),
                              static_cast<DWORD>((type.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetKeyValueW(HKEY_CLASSES_ROOT, (type + L"\\shell\\open\\command").c_str(), nullptr, REG_SZ,
                              command.c_str(), static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    const fs::path document = folder_ / (L"letter" + ext);
    std::ofstream(document) << "text";

    EXPECT_EQ(upper(files.associated_program(utf8(document))), upper(utf8(program_)));
    std::ofstream(folder_ / "readme.txt") << "text";
    EXPECT_NE(upper(files.associated_program(utf8(folder_ / "readme.txt"))).find("NOTEPAD.EXE"),
              std::string::npos);
    EXPECT_EQ(files.associated_program(utf8(folder_ / "nothing.unknownext")), "");
    EXPECT_EQ(files.associated_program(""), "");

    RegDeleteTreeW(HKEY_CLASSES_ROOT, ext.c_str());
    RegDeleteTreeW(HKEY_CLASSES_ROOT, type.c_str());
}

}  // namespace
}  // namespace vx::win::shell
