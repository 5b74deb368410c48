#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "tool/command.h"
#include "util/file_io.h"

namespace vx::tool {
namespace {

struct Result {
    int code;
    std::string out, err;
};

Result log_tool(std::vector<std::string> args) {
    args.insert(args.begin(), {"vxtool", "log"});
    std::ostringstream out, err;
    const int code = run(args, out, err);
    return {code, out.str(), err.str()};
}

const std::string kSample = std::string(VX_FIXTURES_DIR) + "/usage_log/sample.log";

TEST(VxToolLog, DumpPrintsTheViewersRowsThroughTheQuery) {
    struct Case {
        std::vector<std::string> options;
        std::string out;
    };
    const Case cases[] = {
        {{},
         "3/4/2026|Paint|10:00:00 AM|Running| < 1 min|\n"
         "3/5/2026|Letter - Word|9:00:00 AM|9:50:00 AM|0 hr 35 min|ANN\n"
         "3/5/2026|Caf\xC3\xA9 Calc|11:59:00 PM|12:29:00 AM|0 hr 25 min|bob\n"
         "Total| | | |1 hr 0 min\n"},
        {{"--from", "2026-03-05", "--to", "2026-03-05", "--sort", "program"},
         "3/5/2026|Caf\xC3\xA9 Calc|11:59:00 PM|12:29:00 AM|0 hr 25 min|bob\n"
         "3/5/2026|Letter - Word|9:00:00 AM|9:50:00 AM|0 hr 35 min|ANN\n"
         "Total| | | |1 hr 0 min\n"},
        {{"--program", "*word", "--user", "ANN"},
         "3/5/2026|Letter - Word|9:00:00 AM|9:50:00 AM|0 hr 35 min|ANN\nTotal| | | |0 hr 35 min\n"},
        {{"--program", "word"}, "Total| | | |0 hr 0 min\n"},
        {{"--to", "2026-03-04"}, "3/4/2026|Paint|10:00:00 AM|Running| < 1 min|\nTotal| | | |0 hr 0 min\n"},
        {{"--csv", "--sort", "user", "--from", "2026-03-04"},
         "start,end,program,user,minutes\n"
         "2026-03-04 10:00:00,,Paint,,0\n"
         "2026-03-05 09:00:00,2026-03-05 09:50:00,Letter - Word,ANN,35\n"
         "2026-03-05 23:59:00,2026-03-06 00:29:00,Caf\xC3\xA9 Calc,bob,25\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"dump", kSample};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const Result r = log_tool(args);
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err, "");
    }
}

TEST(VxToolLog, BadArgumentsAndDamagedFiles) {
    for (const auto& args : std::vector<std::vector<std::string>>{{"dump"},
                                                                  {"dump", kSample, "--sort", "size"},
                                                                  {"dump", kSample, "--from", "2026-02-30"},
                                                                  {"dump", kSample, "--to", "5/3/2026"},
                                                                  {"dump", kSample, "extra"},
                                                                  {"dump", kSample, "--bogus"},
                                                                  {"list", kSample}}) {
        const Result r = log_tool(args);
        EXPECT_EQ(r.code, 2) << args.back();
        EXPECT_NE(r.err.find("usage:"), std::string::npos);
    }
    EXPECT_EQ(log_tool({"dump", kSample + ".missing"}).code, 1);

    // A torn tail is reported, and the whole records before it still print.
    const auto path = std::filesystem::temp_directory_path() /
                      ("vx_log_tail_" + std::to_string(std::random_device{}()) + ".log");
    Bytes data = read_file(kSample);
    data.resize(data.size() + 20, 0xFF);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    const Result r = log_tool({"dump", path_to_utf8(path), "--csv"});
    std::filesystem::remove(path);
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("Letter - Word"), std::string::npos);
    EXPECT_NE(r.err.find("20 bytes"), std::string::npos);
}

}  // namespace
}  // namespace vx::tool
