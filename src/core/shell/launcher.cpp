#include "shell/launcher.h"

#include "shell/text_rules.h"
#include "util/file_io.h"

namespace vx::shell {
namespace {

const char kErrorCaption[] = "Error";
const char kErrorText[] = "An Error has occurred attempting to execute";

std::string display_caption_of(const std::string& caption) {
    return replace_all(caption, "~", " ");
}

std::string folder_of(const std::string& path) {
    const size_t sep = path.find_last_of("\\/");
    return sep == std::string::npos ? std::string() : path.substr(0, sep + 1);
}

}  // namespace

std::string program_part(const std::string& command) {
    if (!command.empty() && command[0] == '"') {
        const size_t close = command.find('"', 1);
        return command.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    }
    return command.substr(0, command.find_first_of(" \t"));
}

const ButtonView* find_speed_key_button(const std::vector<ButtonView>& page,
                                        const std::vector<ButtonView>& master, std::uint16_t key) {
    if (key == 0) return nullptr;
    for (const auto* list : {&page, &master})
        for (const ButtonView& b : *list)
            if (b.speed_key == key) return &b;
    return nullptr;
}

ShowState show_state_of(const ButtonView& button) {
    if (button.run_hidden) return ShowState::Hidden;
    if (button.run_minimized) return ShowState::Minimized;
    if (button.run_maximized) return ShowState::Maximized;
    return ShowState::Normal;
}

std::vector<MenuItem> build_menu(const std::string& command, const MacroEnvironment& menu_env) {
    // Popping a menu up must not log the user off: "R,<LOGOFF>" does that when chosen.
    MacroEnvironment env = menu_env;
    env.session_words = false;
    std::vector<MenuItem> items;
    std::vector<std::string> hidden;
    bool second_list = false;
    std::string remaining = command;
    LaunchState state;  // menus show every line; a cancel has nothing to skip here
    while (!remaining.empty()) {
        const std::string line = trim(expand_next_line(remaining, state, env));
        if (line == "/\\") {
            second_list = true;
        } else if (second_list) {
            hidden.push_back(line);
        } else {
            items.push_back({line, {}});
        }
    }
    size_t next = 0;
    for (MenuItem& item : items) {
        if (item.caption == "-") continue;  // separators take no command
        if (next < hidden.size()) item.command = hidden[next++];
    }
    return items;
}

Launcher::Launcher(Ports ports, MacroEnvironment env, LaunchOptions options)
    : ports_(ports), env_(std::move(env)), options_(options) {
    env_.prompter = &ports_.prompter;
    env_.file_allowed = [this](const std::string& path) {
        return decide_file(path, restrictions_, ports_.files).allowed();
    };
}

bool Launcher::carry_out(const ButtonView& button) {
    if (button.launch_password && !button.password.empty() &&
        !ports_.host.password_prompt(button.password, button.security_level))
        return false;
    const std::string display = display_caption_of(button.caption);
    if (button.sound && !button.sound_file.empty()) ports_.sound.play(button.sound_file);
    switch (button.kind) {
        case ButtonKind::Program:
            run_program(button, display);
            break;
        case ButtonKind::PageLink:
            if (!button.page_link.empty() && ports_.files.file_exists(button.page_link)) return false;
            show_page_link(button.page_link);
            break;
        case ButtonKind::Menu:
            ports_.host.popup_menu(build_menu(button.command, env_));
            break;
        case ButtonKind::Browser:
            run_browser(button, display);
            break;
        case ButtonKind::None:
            break;
    }
    return true;
}

void Launcher::click(const ButtonView& button) {
    // Only a page link that names an existing file opens as a desktop: a refused password on
    // any button must not turn a page name into a desktop to load (the load would fail and
    // offer to build a new desktop).
    if (!carry_out(button) && button.kind == ButtonKind::PageLink && !button.page_link.empty() &&
        ports_.files.file_exists(button.page_link))
        ports_.host.open_desktop(button.page_link);
}

void Launcher::show_page_link(const std::string& link) {
    const std::string name = trim(link);
    const std::string upper = to_upper(name);
    LaunchHost& host = ports_.host;
    if (upper == "NEXT PAGE") {
        const int next = host.current_tab() + 1;
        if (next < host.tab_count()) host.select_tab(next);
    } else if (upper == "PREVIOUS PAGE") {
        const int prev = host.current_tab() - 1;
        if (prev >= 0) host.select_tab(prev);
    } else {
        host.select_page(name);
    }
}

bool Launcher::bring_running_to_front(const std::string& line) {
    ProcessApi& p = ports_.processes;
    for (WindowId w : p.top_level_windows()) {
        if (!p.window_visible(w)) continue;
        const std::uint32_t pid = p.window_process(w);
        if (pid == 0) continue;
        for (const auto& entry : running_) {
            if (entry.first == pid && iequals(entry.second, line)) {
                p.activate(w);
                return true;
            }
        }
    }
    return false;
}

bool Launcher::start_line(const std::string& command, const std::string& directory, ShowState show,
                          std::uint32_t& pid) {
    ProcessApi& p = ports_.processes;
    std::string error;
    pid = 0;
    if (p.launch_process({command, directory, show}, pid, error)) return true;
    if (p.shell_open(command, directory, show, error)) return true;
    const std::string assoc = trim(p.find_executable(command));
    if (!assoc.empty() && !iequals(assoc, command))
        return p.launch_process({assoc + " " + command, directory, show}, pid, error);
    return false;
}

void Launcher::report_failure(const std::string& line) {
    ports_.prompter.alert(kErrorCaption, std::string(kErrorText) + "\r" + line);
}

void Launcher::run_program(const ButtonView& button, const std::string& display) {
    if (options_.confirm_execution &&
        !ports_.prompter.ask_yes_no("Launch Application", "Do you want to execute " + display + " ?"))
        return;
    LaunchState state;
    std::string remaining = button.command;
    const ShowState show = show_state_of(button);
    while (!remaining.empty()) {
        std::string line = trim(expand_next_line(remaining, state, env_));
        if (line.empty()) continue;
        // Each line starts from the button's directory, so one line's folder never leaks
        // into the next.
        std::string directory = trim(button.directory);
        std::string command = line;
        if (iends_with(line, ".LNK")) {
            if (auto link = ports_.files.read_link(line)) {
                command = trim(link->target);
                if (!trim(link->arguments).empty()) (command += ' ') += trim(link->arguments);
                directory = trim(link->working_directory);
                if (directory.empty()) directory = folder_of(trim(link->target));
            }
        } else {
            if (directory.empty()) directory = folder_of(program_part(line));
            if (!directory.empty() && !ports_.files.directory_exists(directory)) directory.clear();
        }
        // The check skips only its own line: a copy found running must not start twice, and
        // a copy not found must not undo a "No" the user gave to an earlier question.
        if (button.single_instance && bring_running_to_front(line)) continue;
        if (state.cancel) continue;

        std::uint32_t pid = 0;
        if (start_line(command, directory, show, pid)) {
            if (options_.minimize_on_run) ports_.host.minimize_main_window();
            if (pid != 0) ports_.processes.wait_for_input_idle(pid);
            if (button.single_instance) running_.insert(running_.begin(), {pid, line});
        } else if (state.exit) {
            ports_.host.close_main_window();
            return;
        } else {
            report_failure(line);
        }
    }
}

void Launcher::run_browser(const ButtonView& button, const std::string& display) {
    if (options_.confirm_execution &&
        !ports_.prompter.ask_yes_no("Launch Browser", "Do you want to execute " + display + " ?"))
        return;
    const std::string address = trim(button.browser_address);
    if (address.empty()) return;
    if (button.browser) {
        ports_.host.show_browser(address);
        return;
    }
    ShowState show = show_state_of(button);
    if (show == ShowState::Hidden)
        show = button.run_minimized   ? ShowState::Minimized
               : button.run_maximized ? ShowState::Maximized
                                      : ShowState::Normal;
    std::string error;
    if (!ports_.processes.shell_open(address, {}, show, error)) {
        report_failure(address);
        return;
    }
    if (options_.minimize_on_run) ports_.host.minimize_main_window();
}

void Launcher::menu_command(const MenuItem& item) {
    const std::string& c = item.command;
    if (istarts_with(c, "P,")) {
        ButtonView link;
        link.kind = ButtonKind::PageLink;
        link.page_link = c.substr(2);
        click(link);
    } else if (istarts_with(c, "R,")) {
        ButtonView program;
        program.kind = ButtonKind::Program;
        program.caption = item.caption;
        program.command = c.substr(2);
        carry_out(program);
    } else if (istarts_with(c, "B,")) {
        const std::string wanted = c.substr(2);
        for (const ButtonView& b : ports_.host.current_page_buttons()) {
            if (iequals(b.caption, wanted)) {
                click(b);
                return;
            }
        }
    }
}

std::string refusal_text(const RunDecision& refusal) {
    return "You may not run " + refusal.program + ": " + refusal.reason;
}

RunResult Launcher::run_typed(const std::string& typed, bool minimized, bool maximized) {
    const RunRestrictions& restrictions = restrictions_;
    const std::string command = to_upper(trim(typed));
    const RunDecision decision = decide_run(command, restrictions, ports_.files);
    if (decision.verdict == RunVerdict::Refused) return {RunOutcome::Refused, decision};
    if (decision.verdict == RunVerdict::NotFound && restrictions.any()) {
        // What the check cannot find, it cannot clear: report it as a failed start.
        report_failure(command);
        return {RunOutcome::Failed, {}};
    }
    const ShowState show = minimized   ? ShowState::Minimized
                           : maximized ? ShowState::Maximized
                                       : ShowState::Normal;
    std::string error;

    const size_t shell_args = command.find("::");
    if (shell_args != std::string::npos) {
        // The whole part before "::" is the file, blanks included, as the check read it.
        std::string file;
        for (char c : trim(command.substr(0, shell_args)))
            if (c != '"') file.push_back(c);
        const std::string parameters = command.substr(shell_args);
        if (ports_.processes.shell_open_with(file, parameters, folder_of(file), ShowState::Normal, error))
            return {RunOutcome::Started, {}};
        report_failure(command);
        return {RunOutcome::Failed, {}};
    }

    std::string line = command;
    std::string directory;
    if (iends_with(program_part(command), ".LNK")) {
        if (auto link = ports_.files.read_link(program_part(command))) {
            line = trim(link->target);
            if (!trim(link->arguments).empty()) (line += ' ') += trim(link->arguments);
            directory = trim(link->working_directory);
        }
    } else if (const std::string ext = extension_of(program_part(command));
               !ext.empty() && !is_program_extension(ext)) {
        // A document starts through its program; a program's own path is never put in front
        // of itself, which would hand it its own name as an argument.
        const std::string assoc = trim(ports_.processes.find_executable(program_part(command)));
        if (!assoc.empty() && !iequals(assoc, program_part(command))) line = assoc + " " + command;
    }
    if (directory.empty()) directory = folder_of(program_part(line));
    while (!directory.empty() && !ports_.files.directory_exists(directory)) directory.pop_back();

    std::uint32_t pid = 0;
    if (!ports_.processes.launch_process({line, directory, show}, pid, error)) {
        report_failure(command);
        return {RunOutcome::Failed, {}};
    }
    return {RunOutcome::Started, {}};
}

}  // namespace vx::shell
