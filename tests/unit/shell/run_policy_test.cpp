#include "shell/run_policy.h"

#include <gtest/gtest.h>

#include "unit/shell/fakes.h"

namespace vx::shell {
namespace {

using testing::FakeFileSystem;

FakeFileSystem machine() {
    FakeFileSystem fs;
    fs.files = {"C:\\WINDOWS\\NOTEPAD.EXE", "C:\\WINDOWS\\SYSTEM32\\CMD.EXE",
                "D:\\GAMES\\GAME.EXE",      "C:\\TOOLS\\RUN.BAT",
                "C:\\TOOLS\\SAFE.EXE",      "C:\\PROGRAM FILES\\APP.EXE",
                "C:\\TOOLS\\GAME.LNK",      "C:\\TOOLS\\NOTE.LNK",
                "C:\\TOOLS\\WEB.LNK",       "C:\\DOCS\\README.TXT",
                "C:\\DOCS\\GAME.SAV",       "C:\\DOCS\\PAGE.HTML",
                "C:\\TOOLS\\LOOP.LNK"};
    fs.long_names = {{"C:\\PROGRA~1\\APP.EXE", "C:\\PROGRAM FILES\\APP.EXE"},
                     {"C:\\DOCS\\PAGE~1.HTM", "C:\\DOCS\\PAGE.HTML"}};
    fs.files.push_back("C:\\PROGRA~1\\APP.EXE");
    fs.files.push_back("C:\\DOCS\\PAGE~1.HTM");
    fs.links = {{"C:\\TOOLS\\GAME.LNK", {"D:\\GAMES\\GAME.EXE", "", ""}},
                {"C:\\TOOLS\\NOTE.LNK", {"..\\WINDOWS\\NOTEPAD.EXE", "", ""}},
                {"C:\\TOOLS\\WEB.LNK", {"\\\\SERVER\\SHARE\\X.EXE", "", ""}},
                {"C:\\TOOLS\\LOOP.LNK", {"C:\\TOOLS\\LOOP.LNK", "", ""}}};
    fs.associations = {{"C:\\DOCS\\README.TXT", "C:\\WINDOWS\\NOTEPAD.EXE"},
                       {"C:\\DOCS\\GAME.SAV", "D:\\GAMES\\GAME.EXE"},
                       {"C:\\DOCS\\PAGE.HTML", "C:\\WINDOWS\\NOTEPAD.EXE"}};
    return fs;
}

// Drive D barred; BAT, SCR and HTML forbidden.
RunRestrictions restricted() {
    RunRestrictions r;
    r.drive_levels[3] = 500;
    r.forbidden_extensions = "BAT|SCR|HTML|";
    return r;
}

TEST(RunPolicy, DecidesOnTheProgramThatWouldStart) {
    struct Case {
        const char* command;
        RunVerdict verdict;
        const char* program;  // allowed: the program; refused: what was refused
    } cases[] = {
        {"NOTEPAD", RunVerdict::Allowed, "C:\\WINDOWS\\NOTEPAD.EXE"},
        {"notepad readme.txt", RunVerdict::Allowed, "C:\\WINDOWS\\NOTEPAD.EXE"},
        {"D:\\GAMES\\GAME.EXE", RunVerdict::Refused, "D:\\GAMES\\GAME.EXE"},
        {"d:/games/game.exe", RunVerdict::Refused, "D:\\GAMES\\GAME.EXE"},
        {"\"D:\\GAMES\\GAME.EXE\" -fast", RunVerdict::Refused, "D:\\GAMES\\GAME.EXE"},
        {"D:GAME.EXE", RunVerdict::Refused, "D:\\GAME.EXE"},
        {"D:\\GAMES\\GAME", RunVerdict::Refused, "D:\\GAMES\\GAME.EXE"},
        {"C:\\TOOLS\\..\\TOOLS\\.\\RUN.BAT", RunVerdict::Refused, "C:\\TOOLS\\RUN.BAT"},
        {"C:\\TOOLS\\RUN.BAT. x", RunVerdict::Refused, "C:\\TOOLS\\RUN.BAT"},
        {"\"C:\\TOOLS\\RUN.BAT \"", RunVerdict::Refused, "C:\\TOOLS\\RUN.BAT"},
        {"RUN", RunVerdict::Refused, "C:\\TOOLS\\RUN.BAT"},
        {"..\\TOOLS\\RUN", RunVerdict::Refused, "C:\\TOOLS\\RUN.BAT"},
        {"\\\\SERVER\\SHARE\\X.EXE", RunVerdict::Refused, "\\\\SERVER\\SHARE\\X.EXE"},
        {"//SERVER/SHARE/X.EXE", RunVerdict::Refused, "//SERVER/SHARE/X.EXE"},
        {"\\\\?\\D:\\GAMES\\GAME.EXE", RunVerdict::Refused, "\\\\?\\D:\\GAMES\\GAME.EXE"},
        {"\\\\.\\C:\\TOOLS\\SAFE.EXE", RunVerdict::Refused, "\\\\.\\C:\\TOOLS\\SAFE.EXE"},
        {"HTTP://EXAMPLE.COM/X.EXE", RunVerdict::Refused, "HTTP://EXAMPLE.COM/X.EXE"},
        {"C:\\TOOLS\\SAFE.EXE:STREAM", RunVerdict::Refused, "C:\\TOOLS\\SAFE.EXE:STREAM"},
        {"C:\\TOOLS\\GAME.LNK", RunVerdict::Refused, "D:\\GAMES\\GAME.EXE"},
        {"C:\\TOOLS\\WEB.LNK", RunVerdict::Refused, "\\\\SERVER\\SHARE\\X.EXE"},
        {"C:\\TOOLS\\LOOP.LNK", RunVerdict::Refused, "C:\\TOOLS\\LOOP.LNK"},
        {"C:\\TOOLS\\NOTE.LNK", RunVerdict::Allowed, "C:\\WINDOWS\\NOTEPAD.EXE"},
        {"C:\\DOCS\\GAME.SAV", RunVerdict::Refused, "D:\\GAMES\\GAME.EXE"},
        {"C:\\DOCS\\README.TXT", RunVerdict::Allowed, "C:\\WINDOWS\\NOTEPAD.EXE"},
        {"C:\\DOCS\\PAGE~1.HTM", RunVerdict::Refused, "C:\\DOCS\\PAGE.HTML"},
        {"C:\\PROGRA~1\\APP.EXE", RunVerdict::Allowed, "C:\\PROGRAM FILES\\APP.EXE"},
        {"C:\\PROGRAM FILES\\APP.EXE -x", RunVerdict::Allowed, "C:\\PROGRAM FILES\\APP.EXE"},
        {"SAFE D:\\GAMES\\GAME.EXE", RunVerdict::Allowed, "C:\\TOOLS\\SAFE.EXE"},
        {"C:\\TOOLS\\SAFE.EXE::{CLSID}", RunVerdict::Allowed, "C:\\TOOLS\\SAFE.EXE"},
        {"D:\\GAMES\\GAME.EXE::", RunVerdict::Refused, "D:\\GAMES\\GAME.EXE"},
        {"%SYSTEMDRIVE%\\TOOLS\\SAFE.EXE", RunVerdict::NotFound, "%SYSTEMDRIVE%\\TOOLS\\SAFE.EXE"},
        {"NOSUCH", RunVerdict::NotFound, "NOSUCH"},
        {"   ", RunVerdict::NotFound, ""},
    };
    FakeFileSystem fs = machine();
    const RunRestrictions rules = restricted();
    for (const auto& c : cases) {
        const RunDecision d = decide_run(c.command, rules, fs);
        EXPECT_EQ(d.verdict, c.verdict) << c.command << " -> " << d.program << ": " << d.reason;
        EXPECT_EQ(d.program, c.program) << c.command;
        EXPECT_EQ(d.verdict == RunVerdict::Refused, !d.reason.empty() && d.verdict != RunVerdict::NotFound)
            << c.command;
    }
}

TEST(RunPolicy, SearchFoldersOnNetworkSharesCannotBeCleared) {
    FakeFileSystem fs = machine();
    fs.search.insert(fs.search.begin(), "\\\\SERVER\\BIN");
    fs.files.push_back("\\\\SERVER\\BIN\\NOTEPAD.EXE");
    EXPECT_EQ(decide_run("NOTEPAD", restricted(), fs).verdict, RunVerdict::Refused);
    EXPECT_EQ(decide_run("SAFE", restricted(), fs).program, "C:\\TOOLS\\SAFE.EXE");
}

TEST(RunPolicy, UnrestrictedUsersKeepEveryForm) {
    FakeFileSystem fs = machine();
    const RunRestrictions open;
    for (const char* command : {"\\\\SERVER\\SHARE\\X.EXE", "D:\\GAMES\\GAME.EXE", "C:\\TOOLS\\RUN.BAT",
                                "HTTP://EXAMPLE.COM/", "C:\\TOOLS\\WEB.LNK"})
        EXPECT_TRUE(decide_run(command, open, fs).allowed()) << command;
}

TEST(RunPolicy, ProgramLikeExtensionsCountAsThemselves) {
    FakeFileSystem fs = machine();
    fs.associations["C:\\TOOLS\\RUN.BAT"] = "D:\\GAMES\\GAME.EXE";  // never consulted
    RunRestrictions rules;
    rules.forbidden_extensions = "EXE|";
    EXPECT_TRUE(decide_run("C:\\TOOLS\\RUN.BAT", rules, fs).allowed());
    EXPECT_FALSE(decide_run("C:\\DOCS\\README.TXT", rules, fs).allowed());  // notepad would start
}

TEST(RunPolicy, ForbiddenListMatchesWholeExtensions) {
    RunRestrictions r;
    r.forbidden_extensions = "EXE|bat|";
    struct Case {
        const char* ext;
        bool forbidden;
    } cases[] = {{"EXE", true}, {"exe", true}, {"BAT", true}, {"XE", false},
                 {"EX", false}, {"", false},   {"COM", false}};
    for (const auto& c : cases) EXPECT_EQ(r.extension_forbidden(c.ext), c.forbidden) << c.ext;
    EXPECT_TRUE(r.drive_barred('d') == false && !RunRestrictions{}.any() && r.any());
}

TEST(RunPolicy, SelectedFilesAreNotSplitAtBlanks) {
    FakeFileSystem fs = machine();
    fs.files.push_back("C:\\TOOLS\\MY GAME.BAT");
    EXPECT_EQ(decide_file("C:\\TOOLS\\MY GAME.BAT", restricted(), fs).verdict, RunVerdict::Refused);
    EXPECT_TRUE(decide_file("C:\\PROGRAM FILES\\APP.EXE", restricted(), fs).allowed());
}

TEST(RunPolicy, NormalisesPaths) {
    struct Case {
        const char* path;
        const char* cwd;
        const char* expected;  // "" for a refused form
    } cases[] = {
        {"a/b/../c.exe", "C:\\W", "C:\\W\\A\\C.EXE"},
        {"\\x.exe", "D:\\W", "D:\\X.EXE"},
        {"e:x.exe", "C:\\W", "E:\\X.EXE"},
        {"c:x.exe", "C:\\W", "C:\\W\\X.EXE"},
        {"C:\\..\\..\\x.exe. . ", "C:\\", "C:\\X.EXE"},
        {"x.exe", "\\\\SERVER\\SHARE", ""},
        {"C:x:y", "C:\\", ""},
        {"1:\\x", "C:\\", ""},
    };
    for (const auto& c : cases) {
        auto got = normalize_local_path(c.path, c.cwd);
        EXPECT_EQ(got.value_or(""), c.expected) << c.path;
    }
}

}  // namespace
}  // namespace vx::shell
