#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "security/file_cipher.h"
#include "tool/command.h"
#include "util/file_io.h"

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

std::string fixture(const char* name) {
    return std::string(VX_FIXTURES_DIR) + "/admin/" + name;
}

TEST(VxToolAdmin, JsonOfPlainAndEncipheredFileLeavesBothUntouched) {
    const auto expected = nlohmann::json::parse(read_text_file(fixture("site.expected.json")));
    const auto scratch = std::filesystem::temp_directory_path() / "vx_admin_tool_test";
    std::filesystem::remove_all(scratch);
    std::filesystem::create_directories(scratch);
    const std::string plain = path_to_utf8(scratch / "plain.adm");
    const std::string enciphered = path_to_utf8(scratch / "ADMAN.ADM");
    write_file_atomic(plain, read_file(fixture("site.adm")));
    write_file_atomic(enciphered, read_file(fixture("site.adm")));
    int mark = 3;
    security::cipher_file(enciphered, security::kAdminKey, security::CipherDirection::Encipher, mark);

    for (const std::string& file : {plain, enciphered}) {
        const Bytes before = read_file(file);
        const Result r = run_tool(
            {"admin", "check", file, "--json", "--date", "3/15/2026", "--log-file", "C:\\VX\\VX.LOG"});
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(nlohmann::json::parse(r.out), expected) << file;
        EXPECT_EQ(read_file(file), before) << file;
    }
    std::filesystem::remove_all(scratch);
}

TEST(VxToolAdmin, TextReportAndErrors) {
    const Result text = run_tool({"admin", "check", fixture("site.adm"), "--date", "3/15/2026"});
    EXPECT_EQ(text.code, 0);
    EXPECT_NE(text.out.find(
                  "ANN (Ann Pupil), password \"apple\", groups [Staff, Pupils], 8:00:00 AM to 5:00:00 PM"),
              std::string::npos)
        << text.out;

    const Result bad = run_tool({"admin", "check", fixture("bad-number.adm"), "--json"});
    EXPECT_EQ(bad.code, 1);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.err, "vxtool admin: 'five' is not a valid integer value (line 3)\n");

    EXPECT_EQ(run_tool({"admin", "check", fixture("no-such.adm")}).code, 1);
    EXPECT_EQ(run_tool({"admin", "show", fixture("site.adm")}).code, 2);
}

TEST(VxToolAdmin, ReadsAnotherStationsFormatsWithLocaleAndReportsEntriesReadWithCare) {
    const std::string german = std::string(VX_FIXTURES_DIR) + "/locale/de_DE.adm";
    // In the default formats a German file does not read...
    EXPECT_EQ(run_tool({"admin", "check", german, "--locale", "M/d/yyyy;h:mm:ss tt"}).code, 1);
    // ...in its own it does, to the same dates as every other station's copy.
    const Result r = run_tool({"admin", "check", german, "--json", "--locale", "dd.MM.yyyy;HH:mm:ss"});
    ASSERT_EQ(r.code, 0) << r.err;
    const auto users = nlohmann::json::parse(r.out).at("users");
    ASSERT_EQ(users.size(), 2u);
    EXPECT_EQ(users[0].at("iso").at("expiry"), "2027-02-01T00:00:00");
    EXPECT_EQ(users[1].at("expiry"), "31.12.2027");
    EXPECT_EQ(users[1].at("iso").at("expiry"), "2027-12-31T00:00:00");
    EXPECT_EQ(users[1].at("iso").at("start"), "1899-12-30T08:00:00");

    for (const char* bad : {"dd.MM.yyyy", "dd.MM;HH:mm", "x;y;z", "zz-NOWHERE"}) {
        const Result b = run_tool({"admin", "check", german, "--locale", bad});
        EXPECT_EQ(b.code, 2) << bad;
        EXPECT_EQ(b.err.rfind("vxtool admin: --locale ", 0), 0u) << b.err;
    }

    const auto scratch = std::filesystem::temp_directory_path() / "vx_admin_tool_care";
    std::filesystem::create_directories(scratch);
    const std::string file = path_to_utf8(scratch / "ADMAN.ADM");
    write_file_atomic(file, std::string_view("Security=0 0 1 0 0 0 1 0 0 0\r\nDirName=Exams\r\n"));
    const Result care = run_tool({"admin", "check", file, "--json", "--date", "2026-09-02"});
    ASSERT_EQ(care.code, 0) << care.err;
    EXPECT_NE(care.err.find("vxtool admin: line 2: The restricted directory \"Exams\" is not a full path"),
              std::string::npos)
        << care.err;
    const auto json = nlohmann::json::parse(care.out);
    EXPECT_EQ(json.at("warnings").at(0).at("line"), 2);
    EXPECT_EQ(file_name_of(json.at("logPath").get<std::string>()), "VXSept.Log");
    std::filesystem::remove_all(scratch);
}

}  // namespace
}  // namespace vx::tool
