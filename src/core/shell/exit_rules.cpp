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
    if (host.modify_mode()) host.save_desktop();
    if (!request.from_system) return true;
    if (host.is_windows_shell()) return host.exit_dialog(false);
    if (request.exit_prompt)
        return prompter.ask_yes_no("Exit Vantora!", "Do you really want to exit Vantora!?");
    return true;
}

bool shell_value_names_us(const std::string& value, bool nt_family) {
    // Quotes around a path with blanks are not part of its name.
    std::string v;
    for (char c : value)
        if (c != '"') v.push_back(c);
    const std::string name = to_upper(trim(file_name_of(trim(v))));
    if (nt_family) return name == "VANTORX.EXE";
    return name.find("VANTORX.EXE") != std::string::npos;
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
