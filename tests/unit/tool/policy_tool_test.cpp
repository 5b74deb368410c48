// vxtool policy check-run on the host's file system, drives mapped onto folders. The Win32
// file system has its own test under Wine.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "tool/command.h"
#include "util/file_io.h"

namespace vx::tool {
namespace {

namespace fs = std::filesystem;

struct Result {
    int code;
    std::string out, err;
};

class PolicyToolNative : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("vx_policy_native_" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "c" / "Apps");
        std::ofstream(root_ / "c" / "Apps" / "tool.exe") << "MZ";
        std::ofstream(root_ / "c" / "Apps" / "Run.Bat") << "@echo";
        std::string admin =
            "Group=Pupils\r\nGroupSecurity=5\r\nGroupAccess=0\r\n"
            "User=ANN\r\nPassword=apple\r\nLaunchDay=4095\r\nUserGroup=0\r\n"
            "FileType=BAT\r\nFileTypeSecurity=1000\r\n";
        for (char d = 'A'; d <= 'Z'; ++d) admin += d == 'D' ? "Drive=1000\r\n" : "Drive=0\r\n";
        admin_ = path_to_utf8(root_ / "ADMAN.ADM");
        std::ofstream(admin_, std::ios::binary) << admin;
    }
    void TearDown() override { fs::remove_all(root_); }

    Result check(const std::string& command) const {
        std::ostringstream out, err;
        const int code = run({"vxtool", "policy", "check-run", "--admin", admin_, "--user", "ann", "--drive",
                              "C=" + path_to_utf8(root_ / "c"), command},
                             out, err);
        return {code, out.str(), err.str()};
    }

    fs::path root_;
    std::string admin_;
};

TEST_F(PolicyToolNative, MappedDrivesAndNamesWithoutRegardToCase) {
    struct Case {
        const char* command;
        int code;
        const char* out;
    } cases[] = {
        {"c:\\apps\\TOOL.exe -x", 0, "allowed: C:\\APPS\\TOOL.EXE\n"},
        {"C:/Apps/sub/../tool", 0, "allowed: C:\\APPS\\TOOL.EXE\n"},
        {"\"C:\\APPS\\RUN.BAT\"", 1, "refused: extension BAT is forbidden (C:\\APPS\\RUN.BAT)\n"},
        {"C:\\APPS\\RUN", 1, "refused: extension BAT is forbidden (C:\\APPS\\RUN.BAT)\n"},
        {"D:\\GAME.EXE", 1, "refused: drive D: is barred (D:\\GAME.EXE)\n"},
        {"\\\\HOST\\SHARE\\TOOL.EXE", 1,
         "refused: network, device and address forms are not allowed (\\\\HOST\\SHARE\\TOOL.EXE)\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        const Result r = check(c.command);
        EXPECT_EQ(r.code, c.code) << r.err;
        EXPECT_EQ(r.out, c.out);
    }
    std::ostringstream out, err;
    EXPECT_EQ(run({"vxtool", "policy", "check-run", "--admin", admin_, "--user", "ann", "--drive", "CX", "x"},
                  out, err),
              2);
}

}  // namespace
}  // namespace vx::tool
#endif
