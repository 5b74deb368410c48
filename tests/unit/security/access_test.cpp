#include "security/access.h"

#include <gtest/gtest.h>

#include "security/page_password.h"
#include "unit/security/security_fakes.h"

namespace vx::security {
namespace {

using testing::admin_from;
using testing::FakePrompter;

// One user per group kind, logged in by name.
AdminData site_as(const char* user) {
    AdminData d = admin_from(
        "Group=Five\nGroupSecurity=5\nGroupAccess=0\n"
        "Group=FiveUp\nGroupSecurity=5\nGroupAccess=1\n"
        "Group=Admins\nGroupSecurity=1000\nGroupAccess=0\n"
        "User=PUPIL\nUserGroup=0\nUser=HELPER\nUserGroup=1\nUser=ADMIN\nUserGroup=2\nUser=NOBODY\n"
        "MenuPassword=\nMenuVisible=1\n");
    d.logged_in = d.find_user(user);
    d.guards[kGuardMaster].password = "Skeleton";
    return d;
}

TEST(AccessRule, GroupLevelsAndFlags) {
    struct Case {
        const char* user;  // nullptr: nobody logged in
        int level;
        bool hierarchical;
        bool pass;
    };
    const Case cases[] = {
        {nullptr, 0, false, false},
        {nullptr, 0, true, false},
        // Level 5 without the access flag opens exactly level 5 (and 0).
        {"PUPIL", 5, false, true},
        {"PUPIL", 0, false, true},
        {"PUPIL", 3, false, false},
        {"PUPIL", 6, false, false},
        {"PUPIL", 3, true, true},
        {"PUPIL", 6, true, false},
        {"HELPER", 3, false, true},
        {"HELPER", 5, false, true},
        {"HELPER", 6, false, false},
        {"ADMIN", 1, false, true},
        {"ADMIN", 999, false, true},
        {"ADMIN", 1000, false, true},
        {"ADMIN", 1001, false, false},
        {"NOBODY", 0, false, true},
        {"NOBODY", 1, true, false},
    };
    for (const Case& c : cases) {
        const AdminData d = site_as(c.user ? c.user : "");
        EXPECT_EQ(access_rule(d, c.level, c.hierarchical), c.pass)
            << (c.user ? c.user : "(none)") << " level " << c.level << " H " << c.hierarchical;
    }
    const AdminData d = site_as("PUPIL");
    EXPECT_TRUE(has_level_at_least(d, d.users[*d.find_user("PUPIL")], 5));
    EXPECT_FALSE(has_level_at_least(d, d.users[*d.find_user("PUPIL")], 6));
    EXPECT_TRUE(has_level_at_least(d, d.users[*d.find_user("ADMIN")], 1000));
    EXPECT_FALSE(has_level_at_least(d, d.users[*d.find_user("NOBODY")], 0));
}

TEST(PasswordPrompt, GrantsWithoutAskingOrAsksAndChecks) {
    struct Case {
        const char* name;
        const char* user;
        int level;
        std::optional<std::string> typed;  // nullopt: cancelled
        bool asked;
        bool granted;
    };
    const Case cases[] = {
        {"nobody logged in: asks even at level 0", "", 0, "Secret", true, true},
        {"logged-in user at level 0: no dialog", "PUPIL", 0, std::nullopt, false, true},
        {"level-1000 user: no dialog", "ADMIN", 700, std::nullopt, false, true},
        {"level the user lacks: asks", "PUPIL", 3, "secret", true, true},
        {"compared without regard to case", "", 9, "sEcReT", true, true},
        {"master password opens any guard", "", 9, "SKELETON", true, true},
        {"wrong password refuses", "PUPIL", 3, "guess", true, false},
        {"cancel refuses", "PUPIL", 3, std::nullopt, true, false},
        {"empty text refuses", "", 9, "", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const AdminData d = site_as(c.user);
        FakePrompter p;
        p.answers.push_back(c.typed.value_or("cancel"));
        EXPECT_EQ(password_prompt(d, p, "", "Secret", c.level), c.granted);
        std::vector<std::string> expected;
        if (c.asked) expected.push_back("text Password Required: ");
        if (c.asked && c.typed && !c.granted)
            expected.push_back("alert Whoops!: That's not the correct password!");
        ASSERT_EQ(p.log.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i)
            EXPECT_EQ(p.log[i].rfind(expected[i], 0), 0u) << p.log[i];
    }
}

TEST(PasswordPrompt, UnsetMasterPasswordOpensNothing) {
    AdminData d = site_as("");
    d.guards[kGuardMaster].password.clear();
    EXPECT_FALSE(password_matches(d, "", "Secret"));
    EXPECT_FALSE(password_matches(d, "x", "Secret"));
    EXPECT_TRUE(password_matches(d, "SECRET", "Secret"));
    // Letters beyond ASCII are compared without regard to case too.
    EXPECT_TRUE(password_matches(d, "caf\xC3\xA9", "CAF\xC3\x89"));
}

TEST(PagePassword, PanelOnlyForAdministratorsAndAllUsersShownAsAnyGroup) {
    const char* text =
        "Group=Pupils\nGroupSecurity=5\nGroup=Master User List\nGroupSecurity=1000\n"
        "User=PUPIL\nUserGroup=0\nUser=ADMIN\nUserGroup=1\n";
    AdminData d = admin_from(text);
    EXPECT_FALSE(page_password_view(d).show_level_panel);
    d.logged_in = d.find_user("PUPIL");
    EXPECT_FALSE(page_password_view(d).show_level_panel);
    d.logged_in = d.find_user("ADMIN");
    const PagePasswordView v = page_password_view(d);
    EXPECT_TRUE(v.show_level_panel);
    EXPECT_EQ(v.groups, (std::vector<std::string>{"Pupils", "Any Group"}));
}

}  // namespace
}  // namespace vx::security
