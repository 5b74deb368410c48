#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "win/shell/profile.h"
#include "win/util/text.h"

namespace vx::win::shell {
namespace {

namespace fs = std::filesystem;

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ini_ = fs::temp_directory_path() / ("vx profile " + std::to_string(GetCurrentProcessId()) + ".ini");
        fs::remove(ini_);
        file_ = narrow(ini_.wstring());
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove(ini_, ignored);
    }
    fs::path ini_;
    std::string file_;
    Win32Profile profile;
};

TEST_F(ProfileTest, ReadsWhatAnInstallerOrAUserWrote) {
    std::ofstream(ini_, std::ios::binary) << "[windows]\r\nrun=C:\\A.EXE C:\\B.EXE\r\nload=\r\n"
                                             "BorderWidth=3\r\n[boot]\r\nshell=progman.exe\r\n";
    EXPECT_EQ(profile.read(file_, "windows", "run", "-"), "C:\\A.EXE C:\\B.EXE");
    EXPECT_EQ(profile.read(file_, "Windows", "RUN", "-"), "C:\\A.EXE C:\\B.EXE") << "names in any case";
    EXPECT_EQ(profile.read(file_, "windows", "load", "-"), "") << "present but empty is not the fallback";
    EXPECT_EQ(profile.read(file_, "windows", "missing", "fallback"), "fallback");
    EXPECT_EQ(profile.read(file_, "nowhere", "run", "fallback"), "fallback");
    EXPECT_EQ(profile.read(file_, "", "run", "fallback"), "fallback");
    EXPECT_EQ(profile.read(file_, "windows", "", "fallback"), "fallback") << "not the list of keys";
    EXPECT_EQ(profile.keys(file_, "windows"), (std::vector<std::string>{"run", "load", "BorderWidth"}));
    EXPECT_TRUE(profile.keys(file_, "nowhere").empty());
    EXPECT_EQ(profile.read(narrow((ini_.wstring() + L".missing")), "boot", "shell", "none"), "none");
}

TEST_F(ProfileTest, WritesAndReadsBackLongAndNonAsciiValues) {
    const std::string long_value(5000, 'x');
    ASSERT_TRUE(profile.write(file_, "boot", "shell", "C:\\VANTORA\\VANTORX.EXE"));
    ASSERT_TRUE(profile.write(file_, "boot", "long", long_value));
    ASSERT_TRUE(profile.write(file_, "boot", "name", "Caf\xC3\xA9"));
    EXPECT_EQ(profile.read(file_, "boot", "shell", ""), "C:\\VANTORA\\VANTORX.EXE");
    EXPECT_EQ(profile.read(file_, "boot", "long", ""), long_value) << "not cut at a buffer size";
    EXPECT_EQ(profile.read(file_, "boot", "name", ""), "Caf\xC3\xA9");
    ASSERT_TRUE(profile.write(file_, "boot", "shell", "explorer.exe"));
    EXPECT_EQ(profile.read(file_, "boot", "shell", ""), "explorer.exe");
    EXPECT_FALSE(profile.write(file_, "boot", "", "x")) << "an empty key would delete the section";
    EXPECT_FALSE(profile.write(file_, "", "shell", "x"));
    EXPECT_EQ(profile.read(file_, "boot", "shell", ""), "explorer.exe");

    std::vector<std::string> many;
    for (int i = 0; i < 300; ++i) {
        many.push_back("key" + std::to_string(i));
        ASSERT_TRUE(profile.write(file_, "many", many.back(), "v"));
    }
    EXPECT_EQ(profile.keys(file_, "many"), many) << "a key list longer than one buffer";
}

}  // namespace
}  // namespace vx::win::shell
