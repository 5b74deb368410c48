#pragma once
// The command macro language of program buttons: one stored command is a run of lines, each
// expanded just before it is started. Directory words are replaced, and one bracket macro per
// line asks the person at the station something and puts the answer in its place.
//
// Choices where the rules leave room (see docs/macros.md):
// - A macro begins at a "[" directly followed by a macro letter and a comma; any other "[" is
//   plain text, and so is a "]" that closes no macro.
// - Brackets nest: the macro ends at the "]" that balances its "[". An inner macro is not
//   expanded (only one macro is expanded per line); its text stays in the outer arguments.
// - Inside the M macro's arguments a double quote toggles quoting, and a quoted "]" does not
//   end the macro.
// - A macro whose "]" never comes runs to the end of the line, so its question is still asked.
#include <functional>
#include <optional>
#include <string>

#include "port/prompter.h"
#include "port/session_api.h"

namespace vx::shell {

// The state one launch carries from line to line.
struct LaunchState {
    // Lines are skipped while set; O, Y, T, M and the single-instance check assign it, the
    // other macros only set it.
    bool cancel = false;
    // Set by <EXIT> and by an accepted <LOGOFF>: a line that cannot start closes the shell.
    bool exit = false;
};

// The restricted file and folder pickers. Absent until those dialogs exist; the F, D and E
// macros then refuse with the cancel flag.
class FileSelector {
public:
    virtual ~FileSelector() = default;
    virtual std::optional<std::string> select_file(const std::string& title, const std::string& folder,
                                                   const std::string& mask, const std::string& proposed) = 0;
    virtual std::optional<std::string> select_directory(const std::string& title,
                                                        const std::string& folder) = 0;
};

struct MacroEnvironment {
    std::string program_dir;  // <DEFAULTDIR>
    std::string windows_dir;  // <WINDOWS>
    std::string program_name = "Vantora!";
    Prompter* prompter = nullptr;
    SessionApi* session = nullptr;
    FileSelector* selector = nullptr;
    // <LOGOFF> and <EXIT> act only when a line is about to start; a menu being built keeps
    // them as text for the command it will run.
    bool session_words = true;
    // When set, a file that F or E returns must pass it (the user's run restrictions).
    std::function<bool(const std::string& path)> file_allowed;
};

// Takes the next line off `remaining` (which keeps what follows the line's CR) and expands it.
// The result is not trimmed; <LOGOFF> empties `remaining`.
std::string expand_next_line(std::string& remaining, LaunchState& state, const MacroEnvironment& env);

// The bracket macros of one line that is already in capitals; exposed for the menu lists and
// the tests.
std::string expand_bracket_macro(const std::string& line, LaunchState& state, const MacroEnvironment& env);

// The M macro's argument split at unquoted "|", quotes dropped: prompt first, then choices.
std::vector<std::string> split_choices(const std::string& arguments);

}  // namespace vx::shell
