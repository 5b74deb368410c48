#include "shell/macro.h"

#include <gtest/gtest.h>

#include "shell/text_rules.h"
#include "unit/shell/fakes.h"

namespace vx::shell {
namespace {

using testing::FakePrompter;
using testing::FakeSession;

struct MacroFixture : ::testing::Test {
    FakePrompter prompter;
    FakeSession session;
    MacroEnvironment env;
    LaunchState state;
    MacroFixture() {
        env.program_dir = "C:\\VX";
        env.windows_dir = "C:\\WINDOWS\\";
        env.prompter = &prompter;
        env.session = &session;
    }
    std::string expand(std::string command) { return expand_next_line(command, state, env); }
};

// One line each: the answers given, the expected line, the cancel flag after it, and what was
// asked. The cancel flag starts clear unless the case says otherwise.
TEST_F(MacroFixture, EachLetterAsksAndReplaces) {
    struct Case {
        const char* line;
        std::vector<std::string> answers;
        bool cancel_before;
        const char* expected;
        bool cancel_after;
        const char* asked;
    } cases[] = {
        {"notepad", {}, false, "NOTEPAD", false, ""},
        {"[A,Enter your~message here.]", {}, false, "", false, "alert Vantora!: ENTER YOUR\r\nMESSAGE HERE."},
        {"x [W,500,Please wait...] y", {}, false, "X  Y", false, "wait 500: PLEASE WAIT..."},
        {"[W,Hello, world]", {}, false, "", false, "wait 2000: HELLO, WORLD"},
        {"[O,Continue?]a", {"ok"}, true, "A", false, "okcancel Vantora!: CONTINUE?"},
        {"[O,Continue?]a", {"cancel"}, false, "A", true, "okcancel Vantora!: CONTINUE?"},
        {"[Y,Go?]", {"yes"}, true, "", false, "yesno Vantora!: GO?"},
        {"[Y,Go?]", {"no"}, false, "", true, "yesno Vantora!: GO?"},
        {"edit [T,Name:^def]",
         {"My File.txt"},
         true,
         "EDIT My File.txt",
         false,
         "text Vantora!: NAME: [DEF]"},
        {"edit [T,Name:]", {"cancel"}, false, "EDIT ", true, "text Vantora!: NAME: []"},
        {"run [M,Choose one:|Choice 1|Choice 2]",
         {"1"},
         true,
         "RUN CHOICE 2",
         false,
         "choice Vantora!: CHOOSE ONE:|CHOICE 1|CHOICE 2"},
        {"[M,Pick|\"A|B\"|\"C]D\"] tail", {"1"}, false, "C]D TAIL", false, "choice Vantora!: PICK|A|B|C]D"},
        {"[M,Pick|a|b]", {"cancel"}, false, "", true, "choice Vantora!: PICK|A|B"},
        // No selector yet: F, D and E refuse with the cancel flag and ask nothing.
        {"[F,Select a File=*.*]", {}, false, "", true, ""},
        {"[D,Select a Directory=C:\\]", {}, false, "", true, ""},
        {"[E,Select an Executable file=C:\\]", {}, false, "", true, ""},
        // X, B, P, R keep their text as a command for a menu and drop what came before.
        {"abc [R,notepad~x] tail", {}, false, "R,NOTEPAD\r\nX TAIL", true, ""},
        {"[P,Page 2]", {}, true, "P,PAGE 2", true, ""},
        {"[X,<EXIT>]", {}, false, "X,<EXIT>", true, ""},
    };
    for (const auto& c : cases) {
        prompter.log.clear();
        prompter.answers.assign(c.answers.begin(), c.answers.end());
        state = {};
        state.cancel = c.cancel_before;
        EXPECT_EQ(expand(c.line), c.expected) << c.line;
        EXPECT_EQ(state.cancel, c.cancel_after) << c.line;
        const std::string asked = prompter.log.empty() ? "" : prompter.log.front();
        EXPECT_EQ(asked, c.asked) << c.line;
        EXPECT_LE(prompter.log.size(), 1u) << c.line;
    }
}

TEST_F(MacroFixture, BracketsThatAreNotMacros) {
    struct Case {
        const char* line;
        const char* expected;
        const char* asked;
    } cases[] = {
        // Only the first macro of a line is expanded; the rest is appended unchanged.
        {"[A,one] [A,two]", " [A,TWO]", "alert Vantora!: ONE"},
        // Brackets nest; the inner macro is not run and stays in the arguments.
        {"[A,x[A,inner]y]z", "Z", "alert Vantora!: X[A,INNER]Y"},
        // An unclosed macro runs to the end of the line.
        {"go [A,unclosed", "GO ", "alert Vantora!: UNCLOSED"},
        // "[" without a letter and comma, stray "]", unknown letters: plain text.
        {"C:\\[DIR]\\APP.EXE ]", "C:\\[DIR]\\APP.EXE ]", ""},
        {"[Q,what] [A,hi]", "[Q,WHAT] ", "alert Vantora!: HI"},
        {"[A,", "", "alert Vantora!: "},
        {"[A", "[A", ""},
    };
    for (const auto& c : cases) {
        prompter.log.clear();
        EXPECT_EQ(expand(c.line), c.expected) << c.line;
        EXPECT_EQ(prompter.log.empty() ? "" : prompter.log.front(), c.asked) << c.line;
    }
}

TEST_F(MacroFixture, LinesWordsAndCapitals) {
    std::string command = "<DEFAULTDIR>app.exe\r\n\nsecond <windows>x\rthird";
    EXPECT_EQ(expand_next_line(command, state, env), "C:\\VX\\APP.EXE");
    EXPECT_EQ(command, "\n\nsecond <windows>x\rthird");
    EXPECT_EQ(expand_next_line(command, state, env), "SECOND C:\\WINDOWS\\X");
    EXPECT_EQ(expand_next_line(command, state, env), "THIRD");
    EXPECT_TRUE(command.empty());
    EXPECT_EQ(to_upper("caf\xC3\xA9 \xC3\xB7 \xC3\xBF \xC5\xA1"), "CAF\xC3\x89 \xC3\xB7 \xC5\xB8 \xC5\xA0");
}

TEST_F(MacroFixture, ExitAndLogoffWords) {
    std::string command = "a<EXIT>\rb\rc";
    EXPECT_EQ(expand_next_line(command, state, env), "A<EXIT>");
    EXPECT_TRUE(state.exit);
    EXPECT_EQ(command, "b\rc");  // later lines still run

    state = {};
    command = "<logoff>\rb";
    EXPECT_EQ(expand_next_line(command, state, env), "<LOGOFF>");
    EXPECT_TRUE(state.exit);
    EXPECT_TRUE(command.empty());
    EXPECT_EQ(session.calls, std::vector<std::string>{"log_off"});

    state = {};
    session.accept = false;
    command = "<LOGOFF>\rb";
    expand_next_line(command, state, env);
    EXPECT_FALSE(state.exit);
    EXPECT_TRUE(command.empty());
}

TEST_F(MacroFixture, SelectorResultsPassTheRunCheck) {
    struct Selector : FileSelector {
        std::string asked;
        std::optional<std::string> select_file(const std::string& title, const std::string& folder,
                                               const std::string& mask,
                                               const std::string& proposed) override {
            asked = title + "|" + folder + "|" + mask + "|" + proposed;
            return std::string("D:\\GAMES\\X.EXE");
        }
        std::optional<std::string> select_directory(const std::string& title,
                                                    const std::string& folder) override {
            asked = title + "|" + folder;
            return std::nullopt;
        }
    } selector;
    env.selector = &selector;
    EXPECT_EQ(expand("[F,Pick=C:\\DATA\\*.TXT]"), "D:\\GAMES\\X.EXE");
    EXPECT_EQ(selector.asked, "PICK|C:\\DATA\\|*.TXT|");
    EXPECT_FALSE(state.cancel);

    EXPECT_EQ(expand("[E,Ignored title=C:\\]"), "D:\\GAMES\\X.EXE");
    EXPECT_EQ(selector.asked, "Vantora!|C:\\||");

    EXPECT_EQ(expand("[D,C:\\WORK\\NEW]"), "");
    EXPECT_EQ(selector.asked, "C:\\WORK\\NEW|");
    EXPECT_TRUE(state.cancel);

    state = {};
    env.file_allowed = [](const std::string& path) { return path[0] != 'D'; };
    EXPECT_EQ(expand("[F,Pick=*.*]"), "");
    EXPECT_TRUE(state.cancel);
}

}  // namespace
}  // namespace vx::shell
