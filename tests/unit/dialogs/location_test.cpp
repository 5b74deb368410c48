#include "dialogs/location.h"

#include <gtest/gtest.h>

#include "fake_file_system.h"

namespace vx::dialogs {
namespace {

using testing::FakeFileSystem;
using Status = Location::Status;

DriveTable drives_with(std::initializer_list<std::pair<char, int>> levels) {
    DriveTable table{};
    table.fill(0);
    for (auto [letter, level] : levels) table[static_cast<size_t>(letter - 'A')] = level;
    return table;
}

TEST(CanonicalPath, LexicalForms) {
    struct Case {
        const char* text;
        const char* base;
        const char* expected;  // null: refused
    } cases[] = {
        {"c:\\Docs\\Sub", "", "C:\\Docs\\Sub"},
        {"C:/Docs//Sub/", "", "C:\\Docs\\Sub"},
        {"  C:\\Docs  ", "", "C:\\Docs"},
        {"C:", "", "C:\\"},
        {"C:\\Docs\\..\\..\\..\\Win", "", "C:\\Win"},
        {"C:\\Docs\\.\\Sub\\.", "", "C:\\Docs\\Sub"},
        {"C:\\Secret.\\x", "", "C:\\Secret\\x"},
        {"C:\\Secret. . \\x", "", "C:\\Secret\\x"},
        {"Sub\\Deeper", "D:\\Work", "D:\\Work\\Sub\\Deeper"},
        {"..\\Other", "D:\\Work", "D:\\Other"},
        {"\\Root", "D:\\Work", "D:\\Root"},
        {"D:Sub", "D:\\Work", "D:\\Work\\Sub"},
        {"C:Sub", "D:\\Work", "C:\\Sub"},
        {"Sub", "", nullptr},
        {"\\\\server\\share\\dir", "", nullptr},
        {"//server/share", "", nullptr},
        {"\\\\?\\C:\\Secret", "", nullptr},
        {"\\\\.\\PhysicalDrive0", "", nullptr},
        {"file:///C:/Secret", "", nullptr},
        {"http://host/x", "", nullptr},
        {"C:\\Docs\\a.txt:stream", "", nullptr},
        {"%WINDIR%\\System32", "", nullptr},
        {"C:\\%USERPROFILE%", "", nullptr},
        {"C:\\Docs\\CON", "", nullptr},
        {"C:\\Docs\\nul.txt", "", nullptr},
        {"C:\\Docs\\LPT1 .x", "", nullptr},
        {"C:\\Docs\\...", "", nullptr},
        {"C:\\Do*cs", "", nullptr},
        {"C:\\Docs\\a\tb", "", nullptr},
        {"", "", nullptr},
    };
    for (const auto& c : cases) {
        const auto got = canonical_path(c.text, c.base);
        if (c.expected)
            EXPECT_EQ(got.value_or("<refused>"), c.expected) << c.text;
        else
            EXPECT_FALSE(got) << c.text << " gave " << *got;
    }
}

class LocationTest : public ::testing::Test {
protected:
    LocationTest() {
        fs.dir("C:\\")
            .dir("C:\\Docs")
            .file("C:\\Docs\\Report.txt")
            .dir("C:\\Secret")
            .dir("C:\\SECRE~1", "C:\\Secret")
            .dir("C:\\Docs\\Link", "C:\\Secret\\Inner")  // a junction into the restricted tree
            .dir("C:\\Docs\\Net", "\\\\server\\share")
            .dir("C:\\SecretBox")
            .dir("D:\\")
            .dir("E:\\");
    }
    Location resolve(const char* typed) { return resolve_location(typed, "C:\\Docs", rules, fs); }

    FakeFileSystem fs;
    Restrictions rules{drives_with({{'D', 3}}), "c:\\secret|"};
};

TEST_F(LocationTest, RefusesWhatLeadsOutOfBounds) {
    const char* refused[] = {
        "C:\\Secret",
        "c:/SECRET/",
        "C:\\Secret.",
        "C:\\Secret \\",
        "C:\\SECRE~1",
        "..\\Secret",
        "C:\\Docs\\Link",
        "C:\\Docs\\Link\\New",
        "C:\\Docs\\Net",
        "D:\\",
        "\\\\server\\share",
        "%TEMP%",
        "file:///C:/Docs",
        "C:\\Docs\\Report.txt\\*.txt",
        "Q:\\",
        "C:\\Secret\\New\\Deeper",
        "C:\\Docs\\Missing\\*.txt",
    };
    for (const char* typed : refused) EXPECT_EQ(resolve(typed).status, Status::kRefused) << typed;
}

TEST_F(LocationTest, AcceptsDirectoriesFilesAndMasks) {
    struct Case {
        const char* typed;
        Status status;
        const char* directory;
        const char* file_name;
    } cases[] = {
        {"c:\\docs", Status::kDirectory, "C:\\Docs", ""},
        {"C:\\SecretBox", Status::kDirectory, "C:\\SecretBox", ""},  // a prefix is not a parent
        {"C:/Docs/report.TXT", Status::kDirectory, "C:\\Docs", "Report.txt"},
        {"Report.txt", Status::kDirectory, "C:\\Docs", "Report.txt"},
        {"C:\\Docs\\*.txt", Status::kDirectory, "C:\\Docs", "*.txt"},
        {"*.doc", Status::kDirectory, "C:\\Docs", "*.doc"},
        {"E:", Status::kDirectory, "E:\\", ""},
        {"C:\\Docs\\New\\Deeper", Status::kMissing, "C:\\Docs\\New\\Deeper", ""},
        {"C:\\New", Status::kMissing, "C:\\New", ""},
    };
    for (const auto& c : cases) {
        const auto got = resolve(c.typed);
        EXPECT_EQ(got.status, c.status) << c.typed;
        EXPECT_EQ(got.directory, c.directory) << c.typed;
        EXPECT_EQ(got.file_name, c.file_name) << c.typed;
    }
}

TEST(Restrictions, ShortNameEntriesMatchTheLongNameOnceResolved) {
    FakeFileSystem fs;
    fs.dir("C:\\").dir("C:\\PROGRA~1", "C:\\Program Files");
    Restrictions rules(drives_with({}), "C:\\PROGRA~1|");
    EXPECT_TRUE(rules.allows("C:\\Program Files\\App"));
    rules.resolve_entries(fs);
    EXPECT_FALSE(rules.allows("C:\\Program Files\\App"));
    EXPECT_FALSE(rules.allows("C:\\progra~1"));
    EXPECT_TRUE(rules.allows("C:\\Program"));
}

TEST(Restrictions, RootEntryClosesTheDrive) {
    Restrictions rules(drives_with({}), "D:\\|");
    EXPECT_FALSE(rules.allows("D:\\"));
    EXPECT_FALSE(rules.allows("D:\\Any"));
    EXPECT_TRUE(rules.allows("C:\\Any"));
}

TEST(RestrictedEntry, EveryEntryRestrictsWhatItMostPlausiblyNames) {
    const Environment env = [](std::string_view name) -> std::optional<std::string> {
        if (name == "WINDIR") return std::string(R"(C:\Windows)");
        if (name == "SHARE") return std::string(R"(\\lab\staff)");
        return std::nullopt;
    };
    struct Case {
        const char* entry;
        const char* pattern;
        bool noted;
    } cases[] = {
        {R"(C:\Secret)", R"(C:\SECRET)", false},
        {R"( c:/secret/ )", R"(C:\SECRET)", false},
        {R"(C:\Docs\..\Secret)", R"(C:\SECRET)", false},
        {R"(\Secret)", R"(*:\SECRET)", true},
        {R"(Secret\Exams)", R"(*:\SECRET\EXAMS)", true},
        {R"(*:\Exams)", R"(*:\EXAMS)", true},
        {R"(%WINDIR%\Temp)", R"(C:\WINDOWS\TEMP)", true},
        {R"(%SHARE%\Marks)", R"(\\LAB\STAFF\MARKS)", true},
        {R"(%NOSUCH%\Temp)", R"(*:\)", true},
        {R"(%WINDIR)", R"(*:\%WINDIR)", true},
        {R"(C:\Users\*\Desktop)", R"(C:\USERS\*\DESKTOP)", true},
        {R"(C:\Data?)", R"(C:\DATA?)", true},
        {R"(C:\A\...\B)", R"(C:\A\*\B)", true},
        {R"(C:\Sec|ret<)", R"(C:\SEC?RET?)", true},
        {R"(\\server\share\Staff)", R"(\\SERVER\SHARE\STAFF)", true},
        {R"(//server/share)", R"(\\SERVER\SHARE)", true},
        {R"(\\server)", R"(*:\)", true},
        {R"(\\\server\share)", R"(*:\)", true},
        {R"(\\srv|x\share\a:b)", R"(\\SRV_X\SHARE\A)", true},
        {R"(\\.\\\?\Exams)", R"(*:\EXAMS)", true},
        {R"(\\?\C:\Secret)", R"(C:\SECRET)", true},
        {R"(\\?\UNC\server\share\x)", R"(\\SERVER\SHARE\X)", true},
        {R"(\\localhost\D$\Exams)", R"(D:\EXAMS)", true},
        {R"(file:///C:/Secret)", R"(C:\SECRET)", true},
        {R"(C:\Secret:stream)", R"(C:\SECRET)", true},
        {R"("C:\Program Files\Secret")", R"(C:\PROGRAM FILES\SECRET)", true},
        {"", R"(*:\)", true},
    };
    for (const auto& c : cases) {
        const RestrictedEntry got = read_restricted_entry(c.entry, env);
        EXPECT_EQ(got.pattern, c.pattern) << c.entry;
        EXPECT_EQ(!got.note.empty(), c.noted) << c.entry << ": " << got.note;
        // A pattern reads as itself, so the selectors take the shell's list as the shell meant it.
        EXPECT_EQ(read_restricted_entry(got.pattern).pattern, got.pattern) << c.entry;
        EXPECT_EQ(Restrictions(drives_with({}), got.pattern + "|").restricted(),
                  std::vector<std::string>{got.pattern})
            << c.entry;
    }
    // Without the station's environment a variable cannot be known: everything is closed.
    EXPECT_EQ(read_restricted_entry(R"(%WINDIR%\Temp)").pattern, R"(*:\)");
}

TEST(Restrictions, PatternsCloseWhatTheyMatchAndNothingBeside) {
    const Restrictions rules(drives_with({}), R"(\Secret|C:\Users\*\Desktop|C:\Data?||)");
    struct Case {
        const char* path;
        bool allowed;
    } cases[] = {
        {R"(C:\Secret)", false},        {R"(D:\SECRET\Sub)", false},  {R"(C:\SecretBox)", true},
        {R"(C:\Work\Secret)", true},    {R"(C:\Users\Ann\Desktop)", false},
        {R"(C:\Users\Ann\Desktop\Notes)", false},                     {R"(C:\Users\Ann)", true},
        {R"(C:\Users\Desktop)", true},  {R"(C:\Data1)", false},       {R"(C:\Data)", true},
        {R"(C:\Data12)", true},         {"C:\\Data\xC3\x84", false},
    };
    for (const auto& c : cases) EXPECT_EQ(rules.allows(c.path), c.allowed) << c.path;

    const Restrictions unknown(drives_with({}), R"(%HOME%\Exams|)");
    EXPECT_FALSE(unknown.allows(R"(C:\)"));
    EXPECT_FALSE(unknown.allows(R"(E:\Anything)"));
}

TEST(Restrictions, NetworkEntriesCloseTheDrivesMappedToTheirShare) {
    FakeFileSystem fs;
    fs.dir(R"(M:\)").dir(R"(N:\)").dir(R"(N:\Staff)");
    fs.remotes = {{'N', R"(\\Lab\Staff\)"}, {'M', R"(\\lab\pupils)"}};
    Restrictions rules(drives_with({}), R"(\\lab\staff\Marks|\\LAB\PUPILS|)");
    rules.resolve_entries(fs);
    EXPECT_FALSE(rules.allows(R"(N:\Marks)"));
    EXPECT_FALSE(rules.allows(R"(N:\marks\2027)"));
    EXPECT_TRUE(rules.allows(R"(N:\Timetables)"));
    EXPECT_FALSE(rules.allows(R"(M:\)"));
    EXPECT_TRUE(rules.allows(R"(C:\Marks)"));
}

TEST(Restrictions, AFolderSeenThroughAnotherDriveIsTheFolderItIs) {
    // X: stands for C:\Data (a substituted drive); D: is barred.
    const Restrictions rules(drives_with({{'D', 5}}), R"(C:\Data\Secret|X:\Hidden|)");
    struct Case {
        const char* shown;
        const char* real;
        const char* name;
        bool allowed;
    } cases[] = {
        {R"(X:\)", R"(C:\Data)", "Secret", false},
        {R"(X:\)", R"(C:\Data)", "secret", false},
        {R"(X:\)", R"(C:\Data)", "Public", true},
        {R"(X:\)", R"(C:\Data)", "Hidden", false},
        {R"(C:\Data)", R"(C:\Data)", "Secret", false},
        {R"(C:\Data)", R"(C:\Data)", "Public", true},
        {R"(C:\Mnt)", R"(D:\)", "Anything", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rules.allows_entry(c.shown, c.real, c.name), c.allowed) << c.shown << " " << c.name;
}

TEST(StartDirectory, FallsBackToFirstOfferedDriveFromC) {
    FakeFileSystem fs;
    fs.dir("A:\\").dir("C:\\").dir("C:\\Work").dir("C:\\Secret").dir("E:\\").dir("F:\\");
    struct Case {
        DriveTable drives;
        const char* restricted;
        const char* start;
        const char* expected;  // null: none
    } cases[] = {
        {drives_with({}), "", "C:\\Work", "C:\\Work"},
        {drives_with({}), "", "", "C:\\Work"},              // current directory
        {drives_with({{'C', 2}}), "", "C:\\Work", "E:\\"},  // D: is no drive
        {drives_with({{'C', 2}, {'E', 1}}), "", "C:\\Work", "F:\\"},
        {drives_with({}), "", "C:\\Gone", "C:\\"},  // stays on its drive
        {drives_with({}), "C:\\Secret|", "C:\\Secret", "C:\\"},
        {drives_with({}), "C:\\|", "C:\\Work", "E:\\"},
        {drives_with({}), "", "\\\\server\\share", "C:\\"},
        {drives_with({{'C', 1}, {'E', 1}, {'F', 1}}), "", "C:\\Work", nullptr},  // A: is never a fallback
    };
    for (const auto& c : cases) {
        const auto got = start_directory(c.start, "C:\\Work", Restrictions(c.drives, c.restricted), fs);
        if (c.expected)
            EXPECT_EQ(got.value_or("<none>"), c.expected) << c.start;
        else
            EXPECT_FALSE(got) << c.start;
    }
}

TEST(LocationMessages, Texts) {
    EXPECT_EQ(invalid_location_message("X:\\Y"),
              "X:\\Y\nis not a valid location! A location must\npoint to an existing DOS directory.");
    EXPECT_EQ(create_directory_question("C:\\New"), "C:\\New\ndoes not exist! Do you want to create it?");
    EXPECT_EQ(create_directory_failed_message("Access is denied."),
              "Unable to create directory.\n\nAccess is denied.");
}

}  // namespace
}  // namespace vx::dialogs
