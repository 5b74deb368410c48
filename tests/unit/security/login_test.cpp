#include "security/login.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "security/file_cipher.h"
#include "unit/security/security_fakes.h"
#include "util/file_io.h"

namespace vx::security {
namespace {

using testing::admin_from;
using testing::FakeDde;
using testing::FakeDirs;
using testing::FakeHooks;
using testing::FakeSession;

// ANN: 8:00 to 17:00, every day but Thursday, weeks 1 to 4, expiry 6/23/2027 in force.
// BOB: any time, every day and week, no expiry in force. CAROL: every day, no week at all, so
// only on days whose week is 0. ADMIN: level 1000.
const char* kSite =
    "Group=Admins\nGroupSecurity=1000\nGroup=Pupils\nGroupSecurity=5\n"
    "User=ADMIN\nPassword=Root\nStartTime=12:00:00 AM\nEndTime=11:59:59 PM\nLaunchDay=4095\nUserGroup=0\n"
    "User=ANN\nPassword=apple\nStartTime=8:00:00 AM\nEndTime=5:00:00 PM\nDate=6/23/2027\nLaunchDay=8062\n"
    "UserGroup=1\n"
    "User=BOB\nPassword=pear\nStartTime=12:00:00 AM\nEndTime=11:59:59 PM\nDate=1/1/2000\nLaunchDay=4095\n"
    "UserGroup=1\n"
    "User=CAROL\nPassword=plum\nStartTime=12:00:00 AM\nEndTime=11:59:59 PM\nLaunchDay=4064\nUserGroup=1\n";

DateTime at(int y, int mo, int d, int h = 12, int mi = 0, int s = 0) {
    return make_datetime({y, mo, d}, {h, mi, s});
}

TEST(Login, WeekOfMonth) {
    struct Case {
        int y, m, d, week;
    };
    const Case cases[] = {
        {2026, 5, 1, 0},   // a Friday the 1st: no week condition that day
        {2026, 3, 1, 1},   // Sunday
        {2026, 8, 1, 1},   // Saturday
        {2026, 5, 8, 1},   // Friday the 8th
        {2026, 12, 9, 2},  // Wednesday
        {2026, 5, 29, 4},  // Friday
        {2026, 5, 31, 5},  // Sunday
    };
    for (const Case& c : cases) EXPECT_EQ(week_of_month(at(c.y, c.m, c.d)), c.week) << c.m << "/" << c.d;
}

TEST(Login, CheckStepsInOrder) {
    struct Case {
        const char* name;
        const char* user;
        const char* password;
        DateTime now;
        LoginFailure failure;
    };
    const Case cases[] = {
        {"unknown user", "EVE", "x", at(2026, 12, 9), LoginFailure::UnknownUser},
        {"empty name", "", "", at(2026, 12, 9), LoginFailure::UnknownUser},
        {"wrong password", "ANN", "PEAR", at(2026, 12, 9), LoginFailure::WrongPassword},
        {"empty password", "ANN", "", at(2026, 12, 9), LoginFailure::WrongPassword},
        {"upper-cased fields match", "ANN", "APPLE", at(2026, 12, 9), LoginFailure::None},
        {"typed lower case is upper-cased too", "ann", "apple", at(2026, 12, 9), LoginFailure::None},
        {"at the end time to the second", "ANN", "APPLE", at(2026, 12, 9, 17, 0, 0), LoginFailure::None},
        {"one second after the end time", "ANN", "APPLE", at(2026, 12, 9, 17, 0, 1),
         LoginFailure::OutsideHours},
        {"at the start time", "ANN", "APPLE", at(2026, 12, 9, 8, 0, 0), LoginFailure::None},
        {"one second before the start", "ANN", "APPLE", at(2026, 12, 9, 7, 59, 59),
         LoginFailure::OutsideHours},
        {"Thursday bit clear", "ANN", "APPLE", at(2026, 12, 10), LoginFailure::NotToday},
        {"week 5 bit clear", "ANN", "APPLE", at(2026, 5, 31), LoginFailure::NotThisWeek},
        {"Friday the 1st tests no week", "CAROL", "PLUM", at(2027, 1, 1), LoginFailure::None},
        {"Saturday the 1st is week 1", "CAROL", "PLUM", at(2026, 8, 1), LoginFailure::NotThisWeek},
        {"on the expiry date", "ANN", "APPLE", at(2027, 6, 23, 16), LoginFailure::None},
        {"after the expiry date", "ANN", "APPLE", at(2027, 6, 25), LoginFailure::Expired},
        {"expiry not in force", "BOB", "PEAR", at(2026, 12, 9), LoginFailure::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AdminData d = admin_from(kSite);
        const LoginResult r = check_login(d, c.user, c.password, c.now);
        EXPECT_EQ(r.failure, c.failure);
        EXPECT_EQ(d.logged_in.has_value(), r.ok());
        if (r.ok()) {
            EXPECT_EQ(d.users[*d.logged_in].name, ansi_upper(c.user));
        }
    }
}

TEST(Login, UnlockKeepsTheLoggedInUserAndNeedsLevel1000ForSomeoneElse) {
    AdminData d = admin_from(kSite);
    ASSERT_TRUE(check_login(d, "ANN", "APPLE", at(2026, 12, 9)).ok());
    const size_t ann = *d.logged_in;

    EXPECT_EQ(check_login(d, "BOB", "PEAR", at(2026, 12, 9)).failure, LoginFailure::NeedsAdministrator);
    EXPECT_TRUE(check_login(d, "ANN", "APPLE", at(2026, 12, 9)).ok());
    const LoginResult admin = check_login(d, "ADMIN", "ROOT", at(2026, 12, 9));
    ASSERT_TRUE(admin.ok());
    EXPECT_EQ(d.users[*admin.user].name, "ADMIN");
    EXPECT_EQ(d.logged_in, ann);
    // The administrator still has to be inside his own hours.
    EXPECT_EQ(check_login(d, "ADMIN", "ROOT", at(2026, 12, 9, 23, 59, 59)).failure, LoginFailure::None);
    EXPECT_EQ(check_login(d, "ADMIN", "WRONG", at(2026, 12, 9)).failure, LoginFailure::WrongPassword);
}

TEST(Login, LockoutAfterThreeFailuresLiftsAfterAMinute) {
    LoginLockout lock;
    const DateTime t0 = at(2026, 12, 9, 10);
    const DateTime second = 1.0 / 86400;
    EXPECT_FALSE(lock.record_failure(t0));
    EXPECT_FALSE(lock.record_failure(t0));
    EXPECT_FALSE(lock.locked(t0));
    EXPECT_TRUE(lock.record_failure(t0 + second));
    EXPECT_TRUE(lock.locked(t0 + 60 * second));
    // Failures while locked cannot be typed, and do not extend the lock.
    EXPECT_FALSE(lock.record_failure(t0 + 30 * second));
    EXPECT_TRUE(lock.locked(t0 + 60 * second));
    EXPECT_FALSE(lock.locked(t0 + 61 * second));
    EXPECT_EQ(lock.failures(), 0);
    EXPECT_FALSE(lock.record_failure(t0 + 62 * second));

    // A clock set back an hour does not stretch the lock to an hour.
    LoginLockout back;
    for (int i = 0; i < 3; ++i) back.record_failure(t0);
    EXPECT_TRUE(back.locked(t0 - 3600 * second));
    EXPECT_FALSE(back.locked(t0 - 3540 * second));

    LoginLockout reset;
    reset.record_failure(t0);
    reset.record_failure(t0);
    reset.record_success();
    EXPECT_FALSE(reset.record_failure(t0));
}

TEST(Login, UserGuardsSetMenusDrivesAndForbiddenExtensions) {
    AdminData d = admin_from(std::string(kSite) +
                             "FileType=exe\nFileTypeSecurity=6\nFileType=TXT\nFileTypeSecurity=0\n"
                             "FileType=bat\nFileTypeSecurity=3\nFileType=DOC\nFileTypeSecurity=5\n"
                             "Drive=1000\nDrive=0\nDrive=5\nDrive=3\nDrive=6\n"
                             "MenuVisible=1\nMenuSecurity=5\nMenuVisible=0\nMenuSecurity=6\nMenuVisible=0\n"
                             "MenuSecurity=5\nMenuVisible=0\nMenuSecurity=6\nMenuVisible=0\nMenuSecurity=6\n"
                             "MenuVisible=0\n");
    ASSERT_TRUE(check_login(d, "ANN", "APPLE", at(2026, 12, 9)).ok());
    const MenuVisibility m = apply_user_guards(d);
    EXPECT_TRUE(m.slot[kGuardDesktopMenu]);
    EXPECT_TRUE(m.slot[kGuardNew]);    // level 5, ANN's own
    EXPECT_FALSE(m.slot[kGuardOpen]);  // level 6
    EXPECT_TRUE(m.slot[kGuardSetup]);  // level 5
    EXPECT_FALSE(m.slot[kGuardRun]);
    EXPECT_FALSE(m.slot[kGuardExit]);
    EXPECT_TRUE(m.slot[kGuardMaster]);  // untouched slots stay visible
    EXPECT_TRUE(m.separator_before_setup);
    EXPECT_FALSE(m.separator_before_run || m.help_separator_after_run || m.separator_before_exit);
    // Drives: hierarchical, so level 3 opens to ANN's level 5 group too.
    EXPECT_EQ(d.drives[0], 1000);
    EXPECT_EQ(d.drives[1], 0);
    EXPECT_EQ(d.drives[2], 0);
    EXPECT_EQ(d.drives[3], 0);
    EXPECT_EQ(d.drives[4], 6);
    // File types are not hierarchical: level 3 is forbidden to a level-5 group without the flag.
    EXPECT_EQ(d.forbidden_extensions, "EXE|BAT|");
    // Rebuilt, not appended, when applied again.
    apply_user_guards(d);
    EXPECT_EQ(d.forbidden_extensions, "EXE|BAT|");
}

TEST(Login, SeparatorBeforeSetupNeedsNewOrOpen) {
    AdminData d = admin_from(std::string(kSite) +
                             "MenuVisible=1\nMenuSecurity=9\nMenuVisible=0\nMenuSecurity=9\nMenuVisible=0\n");
    ASSERT_TRUE(check_login(d, "ANN", "APPLE", at(2026, 12, 9)).ok());
    const MenuVisibility m = apply_user_guards(d);
    EXPECT_TRUE(m.slot[kGuardSetup] && m.slot[kGuardRun] && m.slot[kGuardExit]);
    EXPECT_FALSE(m.separator_before_setup);
    EXPECT_TRUE(m.separator_before_run && m.help_separator_after_run && m.separator_before_exit);
}

TEST(Login, AfterLoadLocksKeysAndAsksForLogInAsTheFileSays) {
    struct Case {
        const char* security;
        bool login;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {"Security=0 0 0 0 1 1 0 0 0 0\n", true, {"keys_locked"}},
        {"Security=0 0 0 0 0 1 0 0 0 0\n", false, {"keys_locked"}},
        {"Security=0 0 0 0 1 0 0 0 0 0\n", true, {}},
    };
    for (const Case& c : cases) {
        FakeSession session;
        EXPECT_EQ(begin_after_admin_load(admin_from(c.security), session), c.login) << c.security;
        EXPECT_EQ(session.calls, c.calls) << c.security;
    }
}

TEST(Login, TimedExitFromTheDialog) {
    struct Case {
        const char* security;
        bool due;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {"Security=0 0 0 0 1 1 0 1 1 1020\n", true, {"keys_unlocked", "log_off forced"}},
        {"Security=0 0 0 0 1 1 0 1 0 1020\n", true, {"keys_unlocked", "restart forced"}},
        {"Security=0 0 0 0 1 1 0 1 0 1020\n", false, {}},
        {"Security=0 0 0 0 1 1 0 0 1 1020\n", true, {}},
    };
    for (const Case& c : cases) {
        const AdminData d = admin_from(c.security);
        FakeHooks hooks;
        hooks.exit = c.due;
        FakeSession session;
        EXPECT_EQ(login_timed_exit(d, hooks, session), !c.calls.empty());
        EXPECT_EQ(session.calls, c.calls) << c.security;
    }
}

class LoginFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("vx_login_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string file(const char* name, std::string_view content) {
        const std::string p = path_to_utf8(dir_ / name);
        write_file_atomic(p, content);
        return p;
    }

    std::filesystem::path dir_;
    FakeDde dde;
    FakeDirs dirs;
    FakeSession session;
    LoginPorts ports{dde, dirs, session};
};

TEST_F(LoginFiles, SuccessSwitchesDirectoriesAndProtectedFilesByLevel) {
    int mark = 4;
    const std::string open_file = file("marks.xls", "pupil marks");
    const std::string closed_file = file("salaries.xls", "staff pay");
    // Both start enciphered with the site's key, as the shell leaves them.
    for (const auto& p : {open_file, closed_file}) cipher_file(p, "Lab Key", CipherDirection::Encipher, mark);
    const Bytes closed_before = read_file(closed_file);

    AdminData d = admin_from(std::string(kSite) + "Security=0 0 0 4 1 0 0 0 0 0\nEncryption=Lab Key\n" +
                             "DirName=C:\\PUPILS\nDirSecurity=5\nDirName=C:\\STAFF\nDirSecurity=50\n" +
                             "FileName=" + open_file + "\nFileSecurity=5\nFileName=" + closed_file +
                             "\nFileSecurity=50\n");
    const LoginResult r = check_login(d, "ANN", "APPLE", at(2026, 12, 9));
    ASSERT_TRUE(r.ok());
    apply_login_success(d, ports, mark);

    EXPECT_EQ(dde.text, "ANN");
    EXPECT_EQ(dirs.calls, (std::vector<std::string>{"C:\\STAFF hidden", "C:\\PUPILS shown"}));
    EXPECT_EQ(read_text_file(open_file), "pupil marks");
    EXPECT_EQ(read_file(closed_file), closed_before);
    EXPECT_EQ(session.calls, std::vector<std::string>{"keys_unlocked"});

    // Disable system keys keeps them locked after the log-in.
    d.settings.disable_system_keys = 1;
    session.calls.clear();
    apply_login_success(d, ports, mark);
    EXPECT_TRUE(session.calls.empty());

    // As the shell ends every protected file is enciphered again and the keys are released.
    session.calls.clear();
    end_of_shell(d, session, mark);
    EXPECT_EQ(session.calls, std::vector<std::string>{"keys_unlocked"});
    EXPECT_TRUE(has_cipher_trailer(read_file(open_file)));
    EXPECT_EQ(read_file(closed_file), closed_before);
    int m = 0;
    const Bytes plain = cipher_bytes(read_file(open_file), "Lab Key", CipherDirection::Decipher, m);
    EXPECT_EQ(std::string(plain.begin(), plain.end()), "pupil marks");
}

TEST_F(LoginFiles, AnAdministratorsUnlockOpensOnlyWhatTheUserAtTheStationMaySee) {
    int mark = 4;
    const std::string pupils = file("marks.xls", "pupil marks");
    const std::string staff = file("salaries.xls", "staff pay");
    for (const auto& p : {pupils, staff}) cipher_file(p, "Lab Key", CipherDirection::Encipher, mark);
    const Bytes staff_before = read_file(staff);
    AdminData d = admin_from(std::string(kSite) + "Security=0 0 0 4 1 0 0 0 0 0\nEncryption=Lab Key\n" +
                             "DirName=C:\\STAFF\nDirSecurity=50\nFileName=" + pupils + "\nFileSecurity=5\n" +
                             "FileName=" + staff + "\nFileSecurity=50\n");
    ASSERT_TRUE(check_login(d, "ANN", "APPLE", at(2026, 12, 9)).ok());
    // The idle lock: the administrator unlocks Ann's station, and Ann stays at it.
    const LoginResult unlock = check_login(d, "ADMIN", "ROOT", at(2026, 12, 9, 13));
    ASSERT_TRUE(unlock.ok());
    apply_login_success(d, ports, mark);

    EXPECT_EQ(dde.text, "ANN");
    EXPECT_EQ(dirs.calls, std::vector<std::string>{"C:\\STAFF hidden"});
    EXPECT_EQ(read_text_file(pupils), "pupil marks");
    EXPECT_EQ(read_file(staff), staff_before);
}

TEST_F(LoginFiles, AFileThatWillNotSwitchLeavesNeitherTheKeysLockedNorTheOtherFiles) {
    int mark = 4;
    // No temporary file fits beside a name this long, so the file cannot be replaced.
    const std::string stuck = path_to_utf8(dir_ / (std::string(240, 'x') + ".xls"));
    std::ofstream(path_from_utf8(stuck), std::ios::binary) << "plain";
    const std::string marks = file("marks.xls", "pupil marks");
    cipher_file(marks, "Lab Key", CipherDirection::Encipher, mark);
    AdminData d =
        admin_from(std::string(kSite) + "Security=0 0 0 4 1 1 0 0 0 0\nEncryption=Lab Key\n" +
                   "FileName=" + stuck + "\nFileSecurity=50\nFileName=" + marks + "\nFileSecurity=5\n");
    d.settings.disable_system_keys = 0;
    ASSERT_TRUE(check_login(d, "ANN", "APPLE", at(2026, 12, 9)).ok());
    try {
        apply_login_success(d, ports, mark);
        ADD_FAILURE() << "no failure reported";
    } catch (const ProtectedFileError& e) {
        EXPECT_NE(std::string(e.what()).find(stuck), std::string::npos) << e.what();
        EXPECT_EQ(std::string(e.what()).find("marks.xls"), std::string::npos) << e.what();
    }
    EXPECT_EQ(read_text_file(marks), "pupil marks");
    EXPECT_EQ(session.calls, std::vector<std::string>{"keys_unlocked"});

    // At the end of the shell the same: the keys go back, the other file is enciphered again.
    d.settings.disable_system_keys = 1;
    session.calls.clear();
    EXPECT_THROW(end_of_shell(d, session, mark), ProtectedFileError);
    EXPECT_EQ(session.calls, std::vector<std::string>{"keys_unlocked"});
    EXPECT_TRUE(has_cipher_trailer(read_file(marks)));
}

}  // namespace
}  // namespace vx::security
