#include <gtest/gtest.h>

#include <sstream>

#include "tool/command.h"

namespace vx::tool {
namespace {

struct Result {
    int code;
    std::string out, err;
};

Result run_tool(std::vector<std::string> args) {
    args.insert(args.begin(), "vxtool");
    std::ostringstream out, err;
    const int code = run(args, out, err);
    return {code, out.str(), err.str()};
}

TEST(VxTool, HelpVersionAndUnknownCommands) {
    auto help = run_tool({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("vxtool --version"), std::string::npos);

    auto version = run_tool({"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_NE(version.out.find("2.0c"), std::string::npos);

    auto none = run_tool({});
    EXPECT_EQ(none.code, 2);

    auto unknown = run_tool({"frobnicate"});
    EXPECT_EQ(unknown.code, 2);
    EXPECT_NE(unknown.err.find("unknown command"), std::string::npos);
}

TEST(VxTool, OptionHelpers) {
    Args a{"x", "--user", "ANN", "--json", "y"};
    std::string user;
    EXPECT_TRUE(take_option(a, "--user", user));
    EXPECT_EQ(user, "ANN");
    EXPECT_TRUE(take_flag(a, "--json"));
    EXPECT_FALSE(take_flag(a, "--json"));
    EXPECT_EQ(a, (Args{"x", "y"}));
}

}  // namespace
}  // namespace vx::tool
