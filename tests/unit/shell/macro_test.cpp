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

// Answers the F, D and E macros from a script and records what each asked: nullopt cancels, an
// empty text is OK pressed without a file.
struct ScriptedSelector : FileSelector {
    std::optional<std::string> answer;
    std::string asked;
    std::optional<std::string> select_file(const std::string& title, const std::string& folder,
                                           const std::string& mask, const std::string& proposed) override {
        asked = "file " + title + "|" + folder + "|" + mask + "|" + proposed;
        return answer;
    }
    std::optional<std::string> select_directory(const std::string& title,
                                                const std::string& folder) override {
        asked = "dir " + title + "|" + folder;
        return answer;
    }
};

TEST_F(MacroFixture, SelectorMacrosAskWithTheirArgumentsAndACancelSkipsTheLine) {
    ScriptedSelector selector;
    env.selector = &selector;
    struct Case {
        const char* line;
        std::optional<std::string> answer;
        bool cancel_before;
        const char* asked;
        const char* expected;
        bool cancel_after;
    } cases[] = {
        {"[F,Pick=C:\\DATA\\*.TXT]", "D:\\GAMES\\X.EXE", false, "file PICK|C:\\DATA\\|*.TXT|",
         "D:\\GAMES\\X.EXE", false},
        {"[F,Save as=C:\\DOCS\\REPORT.TXT]", "C:\\DOCS\\R.TXT", false, "file SAVE AS|C:\\DOCS\\||REPORT.TXT",
         "C:\\DOCS\\R.TXT", false},
        {"[F,Pick]", "C:\\A.TXT", false, "file PICK|||", "C:\\A.TXT", false},
        // OK without a file: the macro leaves a gap, the line still runs.
        {"notepad [F,Pick=*.*]", "", false, "file PICK||*.*|", "NOTEPAD ", false},
        {"notepad [F,Pick=*.*]", std::nullopt, false, "file PICK||*.*|", "NOTEPAD ", true},
        // F, D and E only ever set the cancel flag; a chosen file does not undo an earlier No.
        {"notepad [F,Pick=*.*]", "C:\\A.TXT", true, "file PICK||*.*|", "NOTEPAD C:\\A.TXT", true},
        // E is titled with the program's name; its argument is the start folder and mask.
        {"[E,Select an Executable file=C:\\]", "C:\\X.EXE", false, "file Vantora!|C:\\||", "C:\\X.EXE",
         false},
        {"[E,C:\\APPS\\*.EXE]", "C:\\APPS\\Y.EXE", false, "file Vantora!|C:\\APPS\\|*.EXE|",
         "C:\\APPS\\Y.EXE", false},
        {"[E,C:\\APPS\\RUN.EXE]", "C:\\APPS\\RUN.EXE", false, "file Vantora!|C:\\APPS\\||RUN.EXE",
         "C:\\APPS\\RUN.EXE", false},
        {"[E,C:\\APPS\\*.EXE] /x", std::nullopt, false, "file Vantora!|C:\\APPS\\|*.EXE|", " /X", true},
        // D: the title before "=", the program's name when it is empty.
        {"[D,Select a Directory=C:\\]", "C:\\WORK", false, "dir SELECT A DIRECTORY|C:\\", "C:\\WORK", false},
        {"[D,=C:\\WORK]", "C:\\WORK", false, "dir Vantora!|C:\\WORK", "C:\\WORK", false},
        {"[D,C:\\WORK\\NEW]", "C:\\", false, "dir C:\\WORK\\NEW|", "C:\\", false},
        {"xcopy [D,Where to?=C:\\] a:", std::nullopt, false, "dir WHERE TO?|C:\\", "XCOPY  A:", true},
    };
    for (const auto& c : cases) {
        selector.answer = c.answer;
        selector.asked.clear();
        state = {};
        state.cancel = c.cancel_before;
        EXPECT_EQ(expand(c.line), c.expected) << c.line;
        EXPECT_EQ(selector.asked, c.asked) << c.line;
        EXPECT_EQ(state.cancel, c.cancel_after) << c.line;
    }
}

TEST_F(MacroFixture, ChosenFilesPassTheRunCheck) {
    ScriptedSelector selector;
    env.selector = &selector;
    std::vector<std::string> checked;
    env.file_allowed = [&](const std::string& path) {
        checked.push_back(path);
        return path[0] != 'D';
    };
    selector.answer = "D:\\GAMES\\X.EXE";
    EXPECT_EQ(expand("[F,Pick=*.*]"), "");
    EXPECT_TRUE(state.cancel) << "a barred file counts as a cancel";

    state = {};
    selector.answer = "C:\\APPS\\OK.EXE";
    EXPECT_EQ(expand("[E,C:\\APPS\\*.EXE]"), "C:\\APPS\\OK.EXE");
    EXPECT_FALSE(state.cancel);

    state = {};
    selector.answer = "";
    EXPECT_EQ(expand("[E,C:\\APPS\\*.EXE]"), "");
    EXPECT_FALSE(state.cancel);
    EXPECT_EQ(checked, (std::vector<std::string>{"D:\\GAMES\\X.EXE", "C:\\APPS\\OK.EXE"}))
        << "no file, nothing to check";
}

}  // namespace
}  // namespace vx::shell
