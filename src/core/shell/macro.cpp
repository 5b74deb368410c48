#include "shell/macro.h"

#include <vector>

#include "shell/text_rules.h"

namespace vx::shell {
namespace {

constexpr size_t kMaxChoices = 30;
constexpr int kDefaultWaitMs = 2000;

bool is_macro_letter(char c) {
    switch (c) {
        case 'A':
        case 'W':
        case 'O':
        case 'Y':
        case 'T':
        case 'M':
        case 'F':
        case 'D':
        case 'E':
        case 'X':
        case 'B':
        case 'P':
        case 'R':
            return true;
        default:
            return false;
    }
}

// The position just past the "]" that closes the macro whose arguments start at `from`, or
// npos when the line ends first.
size_t find_close(const std::string& line, size_t from, bool quotes_count) {
    int depth = 0;
    bool quoted = false;
    for (size_t i = from; i < line.size(); ++i) {
        const char c = line[i];
        if (quotes_count && c == '"') {
            quoted = !quoted;
        } else if (quoted) {
            continue;
        } else if (c == '[') {
            ++depth;
        } else if (c == ']') {
            if (depth == 0) return i + 1;
            --depth;
        }
    }
    return std::string::npos;
}

std::string tildes_to_breaks(const std::string& text) {
    return replace_all(text, "~", "\r\n");
}

// "title=folder\mask": a last path part with a wildcard is the mask, otherwise a proposed name.
// E takes no title (it shows the program's name): its argument is the path alone, and in the
// editor's "title=folder" form the part before the "=" is dropped.
struct SelectorArgs {
    std::string title, folder, mask, proposed;
};

SelectorArgs parse_selector(const std::string& args, bool titled) {
    SelectorArgs out;
    std::string path = args;
    {
        const size_t eq = args.find('=');
        if (eq != std::string::npos) {
            out.title = args.substr(0, eq);
            path = args.substr(eq + 1);
        } else if (titled) {
            out.title = args;
            path.clear();
        }
    }
    const size_t sep = path.find_last_of("\\/");
    const std::string last = sep == std::string::npos ? path : path.substr(sep + 1);
    const std::string folder = sep == std::string::npos ? std::string() : path.substr(0, sep + 1);
    if (last.find_first_of("*?") != std::string::npos) {
        out.folder = folder;
        out.mask = last;
    } else if (sep == std::string::npos && path.find(':') == path.size() - 1 && !path.empty()) {
        out.folder = path;  // "C:" alone is a folder
    } else {
        out.folder = folder;
        out.proposed = last;
    }
    return out;
}

std::string join_selected(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (name.empty()) return folder;
    return with_trailing_backslash(folder) + name;
}

}  // namespace

std::vector<std::string> split_choices(const std::string& arguments) {
    std::vector<std::string> parts(1);
    bool quoted = false;
    for (char c : arguments) {
        if (c == '"') {
            quoted = !quoted;
        } else if (c == '|' && !quoted) {
            parts.emplace_back();
        } else {
            parts.back().push_back(c);
        }
    }
    return parts;
}

std::string expand_bracket_macro(const std::string& line, LaunchState& state, const MacroEnvironment& env) {
    size_t open = std::string::npos;
    for (size_t i = 0; i + 2 < line.size(); ++i) {
        if (line[i] == '[' && is_macro_letter(line[i + 1]) && line[i + 2] == ',') {
            open = i;
            break;
        }
    }
    if (open == std::string::npos) return line;

    const char letter = line[open + 1];
    const size_t args_begin = open + 3;
    const size_t close = find_close(line, args_begin, letter == 'M');
    const size_t args_end = close == std::string::npos ? line.size() : close - 1;
    const std::string raw_args = line.substr(args_begin, args_end - args_begin);
    const std::string args = tildes_to_breaks(raw_args);
    const std::string before = line.substr(0, open);
    const std::string after = close == std::string::npos ? std::string() : line.substr(close);

    Prompter* ask = env.prompter;
    std::string value;
    switch (letter) {
        case 'A':
            if (ask) ask->alert(env.program_name, args);
            break;
        case 'W': {
            int delay = kDefaultWaitMs;
            std::string message = args;
            const size_t comma = args.find(',');
            if (comma != std::string::npos && comma > 0 && comma <= 9 &&
                args.find_first_not_of("0123456789") == comma) {
                delay = std::stoi(args.substr(0, comma));
                message = args.substr(comma + 1);
            }
            if (ask) ask->show_wait(message, delay);
            break;
        }
        case 'O':
            state.cancel = !(ask && ask->ask_ok_cancel(env.program_name, args));
            break;
        case 'Y':
            state.cancel = !(ask && ask->ask_yes_no(env.program_name, args));
            break;
        case 'T': {
            const size_t caret = args.find('^');
            const std::string prompt = args.substr(0, caret);
            const std::string initial = caret == std::string::npos ? std::string() : args.substr(caret + 1);
            std::optional<std::string> text;
            if (ask) text = ask->ask_text(env.program_name, prompt, initial);
            state.cancel = !text.has_value();
            if (text) value = *text;
            break;
        }
        case 'M': {
            // Quotes belong to the raw text: a "~" inside quotes is still a line break.
            std::vector<std::string> parts = split_choices(args);
            const std::string prompt = parts.front();
            std::vector<std::string> choices;
            for (size_t i = 1; i < parts.size() && choices.size() < kMaxChoices; ++i)
                if (!parts[i].empty()) choices.push_back(parts[i]);
            std::optional<size_t> pick;
            if (ask && !choices.empty()) pick = ask->ask_choice(env.program_name, prompt, choices);
            const bool chosen = pick && *pick < choices.size();
            state.cancel = !chosen;
            if (chosen) value = choices[*pick];
            break;
        }
        case 'F':
        case 'E': {
            std::optional<std::string> file;
            if (env.selector) {
                const SelectorArgs sel = parse_selector(args, letter == 'F');
                file = env.selector->select_file(letter == 'F' ? sel.title : env.program_name, sel.folder,
                                                 sel.mask, sel.proposed);
            }
            // A file the user may not run is refused like a cancelled choice, so the macro
            // cannot hand a barred program to the line. OK without a file leaves a gap and
            // nothing to check.
            if (file && !file->empty() && env.file_allowed && !env.file_allowed(*file)) file.reset();
            if (file) {
                value = *file;
            } else {
                state.cancel = true;
            }
            break;
        }
        case 'D': {
            std::optional<std::string> dir;
            if (env.selector) {
                SelectorArgs sel = parse_selector(args, true);
                const std::string title = sel.title.empty() ? env.program_name : sel.title;
                dir = env.selector->select_directory(title, join_selected(sel.folder, sel.proposed));
            }
            if (dir) {
                value = *dir;
            } else {
                state.cancel = true;
            }
            break;
        }
        default:  // X, B, P, R: a command for the menu handler, not for this line
            state.cancel = true;
            return std::string(1, letter) + "," + args + after;
    }
    return before + value + after;
}

std::string expand_next_line(std::string& remaining, LaunchState& state, const MacroEnvironment& env) {
    const size_t cr = remaining.find('\r');
    std::string raw = remaining.substr(0, cr);
    remaining = cr == std::string::npos ? std::string() : remaining.substr(cr + 1);

    std::string line;
    line.reserve(raw.size());
    for (char c : raw)
        if (c != '\n') line.push_back(c);
    line = to_upper(line);

    line = replace_all(line, "<DEFAULTDIR>", with_trailing_backslash(env.program_dir));
    if (env.session_words && line.find("<LOGOFF>") != std::string::npos) {
        remaining.clear();
        if (env.session && env.session->log_off()) state.exit = true;
    }
    if (env.session_words && line.find("<EXIT>") != std::string::npos) state.exit = true;
    line = replace_all(line, "<WINDOWS>", with_trailing_backslash(env.windows_dir));
    return expand_bracket_macro(line, state, env);
}

}  // namespace vx::shell
