#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "iconlib/animation.h"
#include "iconlib/library.h"
#include "tool/command.h"
#include "unit/iconlib/iconlib_fixtures.h"

namespace vx::iconlib {
namespace {

using namespace vx::iconlib::testing;
using ::testing::HasSubstr;

struct Result {
    int code;
    std::string out, err;
};

Result vxtool(std::vector<std::string> args) {
    args.insert(args.begin(), {"vxtool", "iconlib"});
    std::ostringstream out, err;
    const int code = tool::run(args, out, err);
    return {code, out.str(), err.str()};
}

TEST(IconLibTool, AddListExtractDeleteAndCompact) {
    ScratchDir dir;
    const std::string lib = dir.file("lib");
    write_file_atomic(dir.file("ONE.ICO"), tiny_icon({1}));
    write_file_atomic(dir.file("TWO.CUR"), tiny_icon({2}, 2));
    write_file_atomic(dir.file("THREE.ICO"), tiny_icon({3}));
    const std::vector<std::string> frames = {dir.file("ONE.ICO"), dir.file("THREE.ICO")};

    EXPECT_EQ(vxtool({"add", lib, dir.file("ONE.ICO")}).out, "0\n");
    EXPECT_EQ(vxtool({"add", lib, dir.file("TWO.CUR")}).out, "1\n");
    EXPECT_EQ(vxtool({"animate", dir.file("SPIN.ANI"), "6", frames[0], frames[1]}).code, 0);
    EXPECT_EQ(vxtool({"add", lib, dir.file("SPIN.ANI")}).out, "2\n");
    EXPECT_EQ(vxtool({"add", lib, dir.file("THREE.ICO")}).out, "3\n");
    EXPECT_EQ(vxtool({"add", lib, "C:\\APPS\\NOICON.EXE"}).out, "1\n") << "no icon: the program stock entry";
    EXPECT_EQ(vxtool({"check", lib}).code, 0);

    EXPECT_EQ(vxtool({"delete", lib, "1"}).code, 0);
    const auto list = vxtool({"list", lib});
    EXPECT_EQ(list.code, 0);
    EXPECT_THAT(list.out, HasSubstr("1\tTWO.CUR\tcursor\tdeleted\t70\n"));
    EXPECT_THAT(list.out, HasSubstr("2\tSPIN.ANI\tanimated\tlive\t"));

    const auto extracted = vxtool({"extract", lib, "1", dir.file("out.ani")});
    EXPECT_EQ(extracted.out.substr(0, 11), "2\tanimated\t") << "skips the deleted entry";
    const auto anim = read_animation(read_file(dir.file("out.ani")));
    ASSERT_TRUE(anim);
    EXPECT_EQ(anim->frames.size(), 2u);
    EXPECT_EQ(anim->steps[1].rate, 6u);

    EXPECT_EQ(vxtool({"compact", lib}).out, "1 deleted entries removed\n");
    EXPECT_THAT(vxtool({"list", lib}).out, HasSubstr("2\tTHREE.ICO\ticon\tlive"));
}

TEST(IconLibTool, ReportsBadInput) {
    ScratchDir dir;
    const std::string lib = dir.file("lib");
    write_file_atomic(dir.file("BAD.ICO"), std::string("garbage"));
    const auto bad = vxtool({"add", lib, dir.file("BAD.ICO")});
    EXPECT_EQ(bad.code, 1);
    EXPECT_THAT(bad.err, HasSubstr("not an icon"));
    EXPECT_EQ(vxtool({"extract", lib, "0", dir.file("x")}).code, 1);
    EXPECT_EQ(vxtool({"extract", lib, "65536", dir.file("x")}).code, 1);
    EXPECT_EQ(vxtool({"frobnicate", lib}).code, 2);

    // A live entry whose bytes are damaged is named by check.
    write_file_atomic(dir.file("OK.ICO"), tiny_icon({1}));
    vxtool({"add", lib, dir.file("OK.ICO")});
    write_file_atomic(join_path(lib, kDataFileName), Bytes(70, 0xEE));
    const auto check = vxtool({"check", lib});
    EXPECT_EQ(check.code, 1);
    EXPECT_THAT(check.err, HasSubstr("0\tOK.ICO\tunreadable"));
}

}  // namespace
}  // namespace vx::iconlib
