#include "security/admin_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>

#include "port/locale.h"
#include "port/text_codec.h"
#include "security/file_cipher.h"
#include "unit/security/security_fakes.h"
#include "util/file_io.h"

namespace vx::security {
namespace {

using testing::FakeHooks;

const UsEnglishLocale kLocale;
const Windows1252Codec kCodec;
const DateTime kMarch15 = make_datetime({2026, 3, 15}, {10, 0, 0});

struct Read {
    AdminData data;
    FakeHooks hooks;
    void text(std::string_view t, DateTime today = kMarch15) {
        read_admin_text(t, data, AdminReadContext{kLocale, kCodec, hooks, today});
    }
};

std::string fixture(const char* name) {
    return std::string(VX_FIXTURES_DIR) + "/admin/" + name;
}

TEST(AdminFile, ReadsEveryKindOfRecordFromTheSiteFixture) {
    Read r;
    r.data.log_path = "C:\\VX\\VX.LOG";
    r.text(read_text_file(fixture("site.adm")));
    const AdminData& d = r.data;

    EXPECT_EQ(d.settings.idle_lock_time, 15);
    EXPECT_EQ(d.settings.encryption_mark, 3);
    EXPECT_TRUE(d.settings.validate_users && d.settings.disable_system_keys && d.settings.exit_time_on);
    EXPECT_FALSE(d.settings.exit_logs_off);
    EXPECT_EQ(d.settings.exit_time, 1020);
    EXPECT_EQ(d.encryption_key, "Lab Secret");
    EXPECT_EQ(d.log_path, "C:\\LOGS\\VXMarch.Log");

    ASSERT_EQ(d.groups.size(), 3u);
    EXPECT_EQ(d.groups[2].name, "Pupils");
    EXPECT_EQ(d.groups[2].level, 5);
    EXPECT_EQ(d.groups[1].access_lower, 1);

    // The list puts the newest user first; memberships likewise.
    const auto order = d.users_in_list_order();
    ASSERT_EQ(order.size(), 2u);
    const User& ann = d.users[order[0]];
    EXPECT_EQ(ann.name, "ANN");
    EXPECT_EQ(ann.actual, "Ann Pupil");
    EXPECT_EQ(ann.groups, (std::vector<size_t>{1, 2}));
    EXPECT_EQ(ann.launch_days, 8062);
    EXPECT_EQ(seconds_of_day(ann.end), 17 * 3600);
    EXPECT_EQ(date_of(ann.expiry).year, 2027);
    EXPECT_EQ(d.users[order[1]].password, "Open=Sesame");

    EXPECT_EQ(d.guards[1].password, "newpw");
    EXPECT_EQ(d.guards[1].level, 50);
    EXPECT_EQ(d.guards[1].visible, 0);
    EXPECT_EQ(d.guards[2].visible, 1);

    ASSERT_EQ(d.file_types.size(), 3u);
    EXPECT_EQ(d.file_types[0].name, "EXE");
    EXPECT_EQ(d.file_types[1].name, "BAT");
    EXPECT_EQ(d.drives[0], 1000);
    EXPECT_EQ(d.drives[2], 5);
    EXPECT_EQ(d.drives[3], 0);
    ASSERT_EQ(d.directories.size(), 2u);
    EXPECT_EQ(d.directories[0].name, "C:\\SHARED");
    EXPECT_EQ(d.directories[0].level, 5);
    ASSERT_EQ(d.protected_files.size(), 2u);
    EXPECT_EQ(d.protected_files[0].name, "C:\\DATA\\MARKS.XLS");
    EXPECT_EQ(d.protected_files[0].level, 50);
}

TEST(AdminFile, SettingsLineArmsTheHooksLibraryInOrder) {
    struct Case {
        const char* line;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {"Security=1 15 1 3 1 0 1 0 1 120", {"hook 1", "lock 15"}},
        {"Security=0 15 1 3 1 0 1 0 1 120", {"hook 0"}},
        {"Security=0 15 0 0 0 0 0 1 1 1020", {"hook 1", "exit 1020"}},
        {"Security=1 5 0 0 0 0 0 1 0 600", {"hook 1", "lock 5", "exit 600"}},
    };
    for (const Case& c : cases) {
        Read r;
        r.text(c.line);
        EXPECT_EQ(r.hooks.calls, c.calls) << c.line;
    }
}

TEST(AdminFile, KeysAndRecordsFollowTheReadingRules) {
    struct Case {
        const char* name;
        const char* text;
        std::function<void(const AdminData&)> check;
    };
    const Case cases[] = {
        {"keys are case-sensitive", "user=JOHN\nUser=ANN\npassword=x\n",
         [](const AdminData& d) {
             ASSERT_EQ(d.users.size(), 1u);
             EXPECT_EQ(d.users[0].name, "ANN");
             EXPECT_EQ(d.users[0].password, "");
         }},
        {"only the first = splits", "User=ANN\nPassword=a=b\nLine without equals\n",
         [](const AdminData& d) { EXPECT_EQ(d.users[0].password, "a=b"); }},
        {"a user Ann after ANN adds none and changes ANN", "User=ANN\nPassword=one\nUser=Ann\nPassword=two\n",
         [](const AdminData& d) {
             ASSERT_EQ(d.users.size(), 1u);
             EXPECT_EQ(d.users[0].password, "two");
         }},
        {"a repeated group is made current", "Group=Staff\nGroup=Pupils\nGroup=STAFF\nGroupSecurity=7\n",
         [](const AdminData& d) {
             ASSERT_EQ(d.groups.size(), 2u);
             EXPECT_EQ(d.groups[0].level, 7);
         }},
        {"keys before their record are ignored",
         "Actual=x\nPassword=x\nGroupSecurity=9\nFileTypeSecurity=9\nDirSecurity=9\nFileSecurity="
         "9\nUserGroup=0\n"
         "Group=G\nUser=U\n",
         [](const AdminData& d) {
             EXPECT_EQ(d.groups[0].level, 0);
             EXPECT_EQ(d.users[0].password, "");
             EXPECT_TRUE(d.users[0].groups.empty());
         }},
        {"menu password and level without visible go to the next triple's slot",
         "MenuPassword=p0\nMenuSecurity=10\nMenuPassword=p1\nMenuSecurity=20\nMenuVisible=0\nMenuVisible=1\n",
         [](const AdminData& d) {
             EXPECT_EQ(d.guards[0].password, "p1");
             EXPECT_EQ(d.guards[0].level, 20);
             EXPECT_EQ(d.guards[0].visible, 0);
             EXPECT_EQ(d.guards[1].password, "");
         }},
        {"group positions beyond the list and repeats are ignored",
         "Group=A\nGroup=B\nUser=U\nUserGroup=2\nUserGroup=-1\nUserGroup=1\nUserGroup=0\nUserGroup=1\n",
         [](const AdminData& d) {
             EXPECT_EQ(d.users[0].groups, (std::vector<size_t>{0, 1}));
         }},
        {"flags are kept as a byte and launch days as 16 bits",
         "Group=G\nGroupAccess=256\nUser=U\nLaunchDay=69632\n",
         [](const AdminData& d) {
             EXPECT_EQ(d.groups[0].access_lower, 0);
             EXPECT_EQ(d.users[0].launch_days, 4096);
         }},
        {"a user without times has the whole day; stated times read as before",
         "User=ALL\nUser=HALF\nEndTime=5:00:00 PM\nUser=SET\nStartTime=8:00:00 AM\nEndTime=9:00:00 AM\n",
         [](const AdminData& d) {
             const auto window = [&](size_t i) {
                 return std::pair{seconds_of_day(d.users[i].start), seconds_of_day(d.users[i].end)};
             };
             EXPECT_EQ(window(0), std::pair(0, 86399));
             EXPECT_EQ(window(1), std::pair(0, 17 * 3600));
             EXPECT_EQ(window(2), std::pair(8 * 3600, 9 * 3600));
         }},
        {"line ends CR LF, LF or CR; ANSI text becomes UTF-8", "User=Ren\xE9\rPassword=p\r\nActual=A\n",
         [](const AdminData& d) {
             EXPECT_EQ(d.users[0].name, "Ren\xC3\xA9");
             EXPECT_EQ(d.users[0].password, "p");
             EXPECT_EQ(d.users[0].actual, "A");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Read r;
        r.text(c.text);
        c.check(r.data);
    }
}

TEST(AdminFile, LimitsOfDrivesAndGuardsIgnoreTheExcess) {
    std::string text;
    for (int i = 1; i <= 27; ++i) text += "Drive=" + std::to_string(i) + "\n";
    for (int i = 0; i < 33; ++i) text += "MenuPassword=p" + std::to_string(i) + "\nMenuVisible=0\n";
    Read r;
    r.text(text);
    EXPECT_EQ(r.data.drives[0], 1);
    EXPECT_EQ(r.data.drives[25], 26);
    EXPECT_EQ(r.data.guards[31].password, "p31");
}

TEST(AdminFile, BadValuesEndTheReadingWithTheConversionMessage) {
    struct Case {
        const char* text;
        int line;
        const char* message;
    };
    const Case cases[] = {
        {"Group=G\nGroupSecurity=five\nUser=U\n", 2, "'five' is not a valid integer value"},
        {"Security=1 15 1\n", 1, "'' is not a valid integer value"},
        {"Security=1  15 1 3 1 0 1 0 1 120\n", 1, "'' is not a valid integer value"},
        {"Security=1 15 1 3 1 0 1 0 1 120 7\n", 1, "'120 7' is not a valid integer value"},
        {"Drive=99999999999\n", 1, "'99999999999' is not a valid integer value"},
        {"MenuVisible=1x\n", 1, "'1x' is not a valid integer value"},
        {"FileTypeSecurity=\n", 1, "'' is not a valid integer value"},
        {"User=U\nStartTime=25:00:00\n", 2, "'25:00:00' is not a valid date and time"},
        {"User=U\nDate=tomorrow\n", 2, "'tomorrow' is not a valid date and time"},
    };
    for (const Case& c : cases) {
        Read r;
        try {
            r.text(c.text);
            ADD_FAILURE() << "no error for " << c.text;
        } catch (const AdminFileError& e) {
            EXPECT_EQ(e.line(), c.line) << c.text;
            EXPECT_STREQ(e.what(), c.message);
        }
    }
    // What came before the bad line is kept; blanks around a number and a sign are fine.
    Read r;
    EXPECT_THROW(r.text("Group=G\nGroupSecurity= +12 \nUser=U\nLaunchDay=x\nUser=V\n"), AdminFileError);
    EXPECT_EQ(r.data.groups[0].level, 12);
    EXPECT_EQ(r.data.users.size(), 1u);
}

TEST(AdminFile, MonthlyLogNames) {
    const char* names[] = {"VXJan.Log",  "VXFeb.Log",  "VXMarch.Log", "VXApril.Log",
                           "VXMay.Log",  "VXJune.Log", "VXJuly.Log",  "VXAugust.Log",
                           "VXSept.Log", "VXOct.Log",  "VXNov.Log",   "VXDec.Log"};
    for (int m = 1; m <= 12; ++m)
        EXPECT_EQ(monthly_log_path("C:\\LOGS\\VX.LOG", m), std::string("C:\\LOGS\\") + names[m - 1]);

    Read on;
    on.data.log_path = "C:\\VX\\VX.LOG";
    on.text("Security=0 0 0 0 0 0 1 0 0 0\nLogFile=D:\\LOGS\\SITE.LOG\n", make_datetime({2026, 9, 2}));
    EXPECT_EQ(on.data.log_path, "D:\\LOGS\\VXSept.Log");

    Read off;
    off.data.log_path = "C:\\VX\\VX.LOG";
    off.text("Security=0 0 0 0 0 0 0 0 0 0\n");
    EXPECT_EQ(off.data.log_path, "C:\\VX\\VX.LOG");
}

TEST(AdminFile, EachReadingStartsTheLogPathFromTheLogFileSetting) {
    AdminData d;
    FakeHooks hooks;
    AdminReadContext ctx{kLocale, kCodec, hooks, kMarch15};
    ctx.log_file = "C:\\VX\\VX.LOG";
    // Monthly logs without a LogFile= line: the month's name in the setting's folder.
    read_admin_text("Security=0 0 1 0 0 0 1 0 0 0\n", d, ctx);
    EXPECT_EQ(d.log_path, "C:\\VX\\VXMarch.Log");
    // The file's own path, when it names one, and back to the setting once it no longer does.
    read_admin_text("Security=0 0 1 0 0 0 1 0 0 0\nLogFile=D:\\LOGS\\SITE.LOG\n", d, ctx);
    EXPECT_EQ(d.log_path, "D:\\LOGS\\VXMarch.Log");
    read_admin_text("Security=0 0 1 0 0 0 0 0 0 0\n", d, ctx);
    EXPECT_EQ(d.log_path, "C:\\VX\\VX.LOG");
}

TEST(AdminFile, RestrictedDirectoriesNotWrittenAsFullPathsAreKeptAndWarnedAbout) {
    AdminData d;
    FakeHooks hooks;
    AdminReadContext ctx{kLocale, kCodec, hooks, kMarch15};
    ctx.environment = [](std::string_view name) -> std::optional<std::string> {
        if (name == "APPDATA") return std::string("C:\\Users\\Ann\\AppData");
        return std::nullopt;
    };
    read_admin_text(
        "DirName=C:\\Games\nDirSecurity=5\nDirName=\\Secret\nDirName=%APPDATA%\\Tools\n"
        "DirName=C:\\Users\\*\\Desktop\nDirName=%HOMEDRIVE%\\Staff\n",
        d, ctx);
    ASSERT_EQ(d.directories.size(), 5u);
    EXPECT_EQ(d.directories.back().name, "C:\\Games");
    EXPECT_EQ(d.directories.front().name, "%HOMEDRIVE%\\Staff");
    ASSERT_EQ(d.warnings.size(), 4u);
    const int lines[] = {3, 4, 5, 6};
    const char* says[] = {"every drive", "read as C:\\Users\\Ann\\AppData", "wildcards",
                          "%HOMEDRIVE%, which is not known here: every drive is closed"};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(d.warnings[i].line, lines[i]);
        EXPECT_NE(d.warnings[i].text.find(says[i]), std::string::npos) << d.warnings[i].text;
    }
    EXPECT_EQ(admin_warning_text(d.warnings).substr(0, 48), "The administration file was read with care:\nLine");
    EXPECT_EQ(admin_warning_text({}), "");

    // Each reading starts its warnings afresh.
    read_admin_text("DirName=C:\\Games\n", d, ctx);
    EXPECT_TRUE(d.warnings.empty());
}

TEST(AdminFile, SecondReadingReplacesListsAndKeepsKnownNames) {
    Read r;
    r.text(
        "MenuPassword=m\nMenuVisible=0\nUser=ANN\nPassword=one\nGroup=G\nUserGroup=0\n"
        "FileType=EXE\nDrive=5\nDirName=C:\\A\nFileName=C:\\F\n");
    r.data.logged_in = 0;
    r.text("User=ann\nPassword=two\nUserGroup=0\nGroup=g\nFileType=BAT\n");
    const AdminData& d = r.data;
    ASSERT_EQ(d.users.size(), 1u);
    EXPECT_EQ(d.users[0].password, "two");
    EXPECT_EQ(d.users[0].groups.size(), 1u);
    EXPECT_EQ(d.groups.size(), 1u);
    EXPECT_EQ(d.logged_in, 0u);
    EXPECT_EQ(d.guards[0].password, "");
    EXPECT_EQ(d.guards[0].visible, 1);
    ASSERT_EQ(d.file_types.size(), 1u);
    EXPECT_EQ(d.file_types[0].name, "BAT");
    EXPECT_EQ(d.drives[0], 0);
    EXPECT_TRUE(d.directories.empty());
    EXPECT_TRUE(d.protected_files.empty());
}

class AdminFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("vx_admin_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        path_ = admin_file_path(path_to_utf8(dir_));
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    bool load(AdminData& d, int& mark) {
        return load_admin_file(path_, d, AdminReadContext{kLocale, kCodec, hooks_, kMarch15}, mark);
    }

    std::filesystem::path dir_;
    std::string path_;
    FakeHooks hooks_;
};

TEST_F(AdminFileOnDisk, PlainFileIsReadAndLeftEncipheredWithTheSettingsMark) {
    EXPECT_EQ(file_name_of(path_), "ADMAN.ADM");
    const std::string text = "Security=0 0 0 7 1 0 0 0 0 0\r\nUser=ANN\r\nPassword=p\r\n";
    write_file_atomic(path_, text);
    AdminData d;
    d.guards[3].password = "stale";
    int mark = 0;
    ASSERT_TRUE(load(d, mark));
    EXPECT_EQ(mark, 7);
    EXPECT_EQ(d.users.at(0).password, "p");
    EXPECT_EQ(d.guards[3].password, "");

    const Bytes stored = read_file(path_);
    ASSERT_TRUE(has_cipher_trailer(stored));
    int m2 = 0;
    const Bytes plain = cipher_bytes(stored, kAdminKey, CipherDirection::Decipher, m2);
    EXPECT_EQ(std::string(plain.begin(), plain.end()), text);

    // Read again, now enciphered: same result, file still enciphered and byte for byte the same.
    AdminData again;
    ASSERT_TRUE(load(again, mark));
    EXPECT_EQ(again.users.at(0).password, "p");
    EXPECT_EQ(read_file(path_), stored);
}

TEST_F(AdminFileOnDisk, ConversionErrorStillLeavesTheFileEnciphered) {
    write_file_atomic(path_, read_file(fixture("bad-number.adm")));
    AdminData d;
    int mark = 0;
    EXPECT_THROW(load(d, mark), AdminFileError);
    EXPECT_TRUE(has_cipher_trailer(read_file(path_)));
    EXPECT_EQ(d.settings.validate_users, 1);
}

TEST_F(AdminFileOnDisk, EncipheredFileIsReadWithoutWritingAnythingSoAReadOnlyFolderServes) {
    namespace fs = std::filesystem;
    write_file_atomic(path_, std::string_view("Security=0 0 0 2 1 0 0 0 0 0\r\nUser=ANN\r\nPassword=secret\r\n"));
    int mark = 5;
    cipher_file(path_, kAdminKey, CipherDirection::Encipher, mark);
    const Bytes stored = read_file(path_);
    const auto stamp = fs::last_write_time(path_from_utf8(path_));
    // A shared folder the station may only read (root is not stopped by this, so what counts
    // below is that nothing was written at all).
    fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
    AdminData d;
    int loaded_mark = 0;
    const bool loaded = load(d, loaded_mark);
    fs::permissions(dir_, fs::perms::owner_all);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(d.users.at(0).password, "secret");
    EXPECT_EQ(loaded_mark, 2);
    EXPECT_EQ(read_file(path_), stored);
    EXPECT_EQ(fs::last_write_time(path_from_utf8(path_)), stamp);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
    EXPECT_TRUE(d.warnings.empty());
}

TEST_F(AdminFileOnDisk, PlainFileThatCannotBeEncipheredIsStillReadAndSaysSo) {
    // No temporary file fits beside a name this long, so the file cannot be replaced.
    path_ = path_to_utf8(dir_ / (std::string(240, 'a') + ".ADM"));
    const std::string text = "Security=0 0 0 0 1 0 0 0 0 0\r\nUser=ANN\r\nPassword=p\r\n";
    std::ofstream(path_from_utf8(path_), std::ios::binary) << text;
    AdminData d;
    int mark = 0;
    ASSERT_TRUE(load(d, mark));
    EXPECT_EQ(d.users.at(0).password, "p");
    ASSERT_EQ(d.warnings.size(), 1u);
    EXPECT_NE(d.warnings[0].text.find("not enciphered and could not be"), std::string::npos) << d.warnings[0].text;
    EXPECT_EQ(read_text_file(path_), text);
}

TEST_F(AdminFileOnDisk, MissingFileLoadsNothingButResetsTheGuards) {
    AdminData d;
    d.guards[5].visible = 0;
    int mark = 0;
    EXPECT_FALSE(load(d, mark));
    EXPECT_EQ(d.guards[5].visible, 1);
    EXPECT_TRUE(hooks_.calls.empty());
    EXPECT_FALSE(std::filesystem::exists(path_from_utf8(path_)));
}

}  // namespace
}  // namespace vx::security
