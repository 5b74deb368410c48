#include "shell/exit_rules.h"

#include <stdexcept>

#include "shell/text_rules.h"
#include "util/file_io.h"

namespace vx::shell {

bool close_request(CloseRequest& request, CloseHost& host, Prompter& prompter) {
    // The flag belongs to this one request, whichever way it ends.
    struct ClearFlag {
        bool& flag;
        ~ClearFlag() { flag = false; }
    } clear{request.from_system};

    if (request.locked_down) return request.from_system && host.is_windows_shell() && host.exit_dialog(true);
    if (request.from_system && request.exit_hidden) return false;
    if (host.exit_guard_has_password() && !host.exit_password_prompt()) return false;
    if (host.modify_mode() && !host.save_desktop()) return false;
    if (!request.from_system) return true;
    if (host.is_windows_shell()) return host.exit_dialog(false);
    if (request.exit_prompt)
        return prompter.ask_yes_no("Exit Vantora!", "Do you really want to exit Vantora!?");
    return true;
}

namespace {

// The program part of a shell command line. Quoted, it is what the quotes hold. Bare (as
// older installations wrote it, blanks in the folder names and all), Windows tries each
// blank-separated prefix in turn: the first one that ends in ".exe" is the program.
std::string program_part(const std::string& value) {
    const std::string v = trim(value);
    if (!v.empty() && v.front() == '"') {
        const size_t close = v.find('"', 1);
        return v.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    }
    for (size_t blank = v.find(' '); blank != std::string::npos; blank = v.find(' ', blank + 1))
        if (to_upper(trim(v.substr(0, blank))).ends_with(".EXE")) return v.substr(0, blank);
    return v;
}

}  // namespace

bool shell_value_names_us(const std::string& value, bool nt_family) {
    auto names_us = [nt_family](const std::string& path) {
        const std::string name = to_upper(trim(file_name_of(trim(path))));
        return nt_family ? name == "VANTORX.EXE" : name.find("VANTORX.EXE") != std::string::npos;
    };
    // The value's last file name counts as well: a launcher that starts this program as its
    // argument is the shell's way in too, and leaving must not end in an empty session.
    std::string bare;
    for (char c : value)
        if (c != '"') bare.push_back(c);
    return names_us(program_part(value)) || names_us(bare);
}

bool is_windows_shell(ShellRegistration& registration, Prompter& prompter) {
    try {
        if (registration.nt_family()) return shell_value_names_us(registration.winlogon_shell(), true);
        const std::optional<std::string> value = registration.system_ini_shell();
        return value && shell_value_names_us(*value, false);
    } catch (const std::exception& e) {
        prompter.alert("Vantora!", e.what());
        return false;
    }
}

std::vector<ExitRow> exit_dialog_rows(bool dos_guard_visible, bool logoff_guard_visible,
                                      bool user_name_known) {
    std::vector<ExitRow> rows = {{ExitChoice::ShutDown, "&Shut down the Computer?"},
                                 {ExitChoice::Restart, "&Restart the Computer?"}};
    if (dos_guard_visible) rows.push_back({ExitChoice::DosMode, "Restart the Computer in &MS-DOS Mode?"});
    if (logoff_guard_visible && user_name_known)
        rows.push_back({ExitChoice::LogOff, "Log on as a different User?"});
    return rows;
}

bool perform_exit_choice(ExitChoice choice, ExitActionHost& host, SessionApi& session,
                         ProcessApi& processes) {
    switch (choice) {
        case ExitChoice::ShutDown:
            return session.shut_down();
        case ExitChoice::Restart:
            return session.restart();
        case ExitChoice::DosMode: {
            if (!host.dos_guard_granted()) return false;
            std::string error;
            const std::string dir = host.windows_dir();
            return processes.shell_open(with_trailing_backslash(dir) + "Exit to Dos.PIF", dir,
                                        ShowState::Normal, error);
        }
        case ExitChoice::LogOff:
            return host.logoff_guard_granted() && session.log_off();
    }
    return false;
}

}  // namespace vx::shell
