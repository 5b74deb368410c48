#include "builder/new_desktop.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "unit/port_fakes.h"

namespace vx::builder {
namespace {

TEST(NewDesktopQuestions, TheAnswersDecideFileAndKind) {
    struct Case {
        const char* name;
        std::vector<std::string> answers;  // the build question, then the overwrite question
        std::optional<std::string> chosen;
        bool exists;
        std::optional<NewDesktopPlan> expected;
        size_t questions;
    };
    const Case cases[] = {
        {"yes, new file", {"yes"}, "C:\\D\\NEW.DTP", false, NewDesktopPlan{"C:\\D\\NEW.DTP", true}, 1},
        {"no, new file", {"no"}, "C:\\D\\NEW.DTP", false, NewDesktopPlan{"C:\\D\\NEW.DTP", false}, 1},
        {"selector cancelled", {"yes"}, std::nullopt, false, std::nullopt, 1},
        {"overwrite declined", {"yes", "no"}, "C:\\D\\VX.DTP", true, std::nullopt, 2},
        {"overwrite accepted",
         {"no", "yes"},
         "C:\\D\\VX.DTP",
         true,
         NewDesktopPlan{"C:\\D\\VX.DTP", false},
         2},
    };
    for (const auto& c : cases) {
        testing::FakePrompter prompter;
        prompter.answers.assign(c.answers.begin(), c.answers.end());
        std::string asked_dir, asked_name;
        const NewDesktopQuestions q{prompter,
                                    [&](const std::string& dir, const std::string& proposed) {
                                        asked_dir = dir;
                                        asked_name = proposed;
                                        return c.chosen;
                                    },
                                    [&](const std::string&) { return c.exists; }};
        const auto plan = ask_new_desktop(q, "C:\\D\\VX.DTP");
        ASSERT_EQ(plan.has_value(), c.expected.has_value()) << c.name;
        if (plan) {
            EXPECT_EQ(plan->file, c.expected->file) << c.name;
            EXPECT_EQ(plan->from_windows, c.expected->from_windows) << c.name;
        }
        // The selector starts beside the current desktop file and proposes its name.
        EXPECT_EQ(asked_dir, "C:\\D") << c.name;
        EXPECT_EQ(asked_name, "VX.DTP") << c.name;
        ASSERT_EQ(prompter.log.size(), c.questions) << c.name;
        EXPECT_EQ(prompter.log[0], std::string("yesno New Desktop: ") + kBuildQuestion) << c.name;
        if (c.questions > 1) {
            EXPECT_EQ(prompter.log[1], std::string("yesno New Desktop: ") + kOverwriteQuestion) << c.name;
        }
    }
}

TEST(NewDesktopFile, TheUsersRestrictionsApply) {
    shell::RunRestrictions r;
    r.forbidden_extensions = "EXE|DTP|";
    r.drive_levels[3] = 500;  // D:
    struct Case {
        const char* path;
        const char* refusal;  // empty: allowed
    };
    const Case cases[] = {
        {"C:\\DESK\\NEW.TXT", ""},
        {"C:\\DESK\\NEW.DTP", "You may not create C:\\DESK\\NEW.DTP: extension DTP is forbidden"},
        {"C:\\DESK\\new.dtp", "You may not create C:\\DESK\\new.dtp: extension DTP is forbidden"},
        {"d:\\NEW.TXT", "You may not create d:\\NEW.TXT: drive D: is barred"},
        {"\\\\SERVER\\SHARE\\NEW.TXT", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(new_desktop_file_refusal(c.path, r), c.refusal) << c.path;
    EXPECT_EQ(new_desktop_file_refusal("C:\\DESK\\NEW.DTP", {}), "");
}

}  // namespace
}  // namespace vx::builder
