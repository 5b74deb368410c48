#pragma once
// The ways out of the shell: the close request, whether this program is the Windows shell, and
// the choices of the "Shut Down Windows" dialog.
#include <optional>
#include <string>
#include <vector>

#include "port/process_api.h"
#include "port/prompter.h"
#include "port/session_api.h"

namespace vx::shell {

// The main window and the administration file, as the close request needs them.
class CloseHost {
public:
    virtual ~CloseHost() = default;
    // Command guard 5 (exit): true when it has a password.
    virtual bool exit_guard_has_password() = 0;
    // The password prompt for command guard 5; true when granted.
    virtual bool exit_password_prompt() = 0;
    virtual bool modify_mode() = 0;
    // Saves the designer's desktop; false (the person told why) keeps the shell open, so that
    // nothing the administrator laid out is lost with it.
    virtual bool save_desktop() = 0;
    virtual bool is_windows_shell() = 0;
    // Shows "Shut Down Windows"; true when the chosen action was started. With `power_only`
    // it offers shutting down and restarting alone: the ways out whose guards are unknown
    // (MS-DOS mode, log-off) are left out.
    virtual bool exit_dialog(bool power_only) = 0;
};

struct CloseRequest {
    // Set by "E&xit" and by every close the system asks for: the close box, the system menu,
    // Alt+F4, a close sent by another program. Clear only for the close that a button's
    // <EXIT> or <LOGOFF> causes. Cleared by every close request.
    bool from_system = false;
    bool exit_prompt = false;  // the ExitPrompt setting
    // The user may not see "E&xit": then no close from the system ends the shell.
    bool exit_hidden = false;
    // The administration file exists but could not be read, so its exit guard is unknown.
    bool locked_down = false;
};

// Whether the main window may close. While locked down only a Windows shell may go, and only
// by shutting down or restarting Windows: any other end would leave the user at a desktop no
// rule of the file governs.
bool close_request(CloseRequest& request, CloseHost& host, Prompter& prompter);

// Whether a registered shell value names this program: on the NT family the file-name part
// of its program, in capitals, is "VANTORX.EXE"; elsewhere (SYSTEM.INI) it contains it. The
// program is the quoted part of a quoted value, and of a bare one the part that Windows
// would start, so arguments after it do not count. A value whose last file name is this
// program (a launcher given it as argument) counts too.
bool shell_value_names_us(const std::string& value, bool nt_family);

// Where the shell registration is read from.
class ShellRegistration {
public:
    virtual ~ShellRegistration() = default;
    virtual bool nt_family() = 0;
    // Winlogon's Shell value (NT family). Throws std::runtime_error with the message on failure.
    virtual std::string winlogon_shell() = 0;
    // SYSTEM.INI's boot shell; nullopt when SYSTEM.INI does not exist. Throws on failure.
    virtual std::optional<std::string> system_ini_shell() = 0;
};

// A failure while reading is shown and counts as not the shell.
bool is_windows_shell(ShellRegistration& registration, Prompter& prompter);

enum class ExitChoice { ShutDown, Restart, DosMode, LogOff };

struct ExitRow {
    ExitChoice choice;
    std::string caption;
};

// The dialog's choices top to bottom; hidden ones leave no gap. The first is selected at start.
std::vector<ExitRow> exit_dialog_rows(bool dos_guard_visible, bool logoff_guard_visible,
                                      bool user_name_known);

class ExitActionHost {
public:
    virtual ~ExitActionHost() = default;
    // Command guards 6 and 7: true when the guard has no password or its prompt grants access.
    virtual bool dos_guard_granted() = 0;
    virtual bool logoff_guard_granted() = 0;
    virtual std::string windows_dir() = 0;
};

// Performs a choice made with "&Yes"; true when the action was started.
bool perform_exit_choice(ExitChoice choice, ExitActionHost& host, SessionApi& session, ProcessApi& processes);

}  // namespace vx::shell
