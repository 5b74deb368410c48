#pragma once
// Carrying out a button: programs, page links, menus and web addresses, and the typed command
// of "Run Program". The main window supplies what only it knows through LaunchHost; the rest of
// the outside world comes in through the ports.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "model/objects.h"
#include "port/process_api.h"
#include "port/prompter.h"
#include "port/sound.h"
#include "security/level.h"
#include "shell/macro.h"
#include "shell/run_policy.h"

namespace vx::shell {

enum class ButtonKind { None = 0, Program = 1, PageLink = 2, Menu = 3, Browser = 4 };

// The launch fields of a button, copied out of the desktop model by the caller.
struct ButtonView {
    model::ObjectId id = model::kNoId;  // the object it was copied from
    ButtonKind kind = ButtonKind::None;
    std::string caption;
    std::string command;  // lines, each ending in CR
    std::string directory;
    std::string password;
    bool launch_password = false;
    security::SecurityLevel security_level = security::kAdministratorLevel;
    std::string sound_file;
    bool sound = false;
    bool run_minimized = false;
    bool run_maximized = false;
    bool run_hidden = false;
    bool single_instance = false;
    bool browser = false;
    std::string browser_address;
    std::string page_link;
    std::uint16_t speed_key = 0;  // 0: none
};

// One entry of a menu button's pop-up: a visible caption and the hidden command paired with it.
struct MenuItem {
    std::string caption;
    std::string command;  // empty when the second list had no partner for it
};

struct LaunchOptions {
    bool confirm_execution = false;  // "&Confirm Execution"
    bool minimize_on_run = false;    // "Minimize on &Run"
};

// The main window, as the launcher needs it.
class LaunchHost {
public:
    virtual ~LaunchHost() = default;
    // The password prompt for a guard with this password and level; true when granted.
    virtual bool password_prompt(const std::string& password, int level) = 0;
    virtual void minimize_main_window() = 0;
    // Closes through the close request, which still applies the exit guard.
    virtual void close_main_window() = 0;
    virtual int tab_count() = 0;
    virtual int current_tab() = 0;
    virtual void select_tab(int index) = 0;
    // Selects the tab of the page with this name; false when there is none.
    virtual bool select_page(const std::string& name) = 0;
    virtual void show_browser(const std::string& address) = 0;
    virtual void popup_menu(const std::vector<MenuItem>& items) = 0;
    virtual std::vector<ButtonView> current_page_buttons() = 0;
    // Start-up work is to open this desktop file at the next tick.
    virtual void open_desktop(const std::string& path) = 0;
};

// The button a speed key reaches: the current page's first, else the master page's.
const ButtonView* find_speed_key_button(const std::vector<ButtonView>& page,
                                        const std::vector<ButtonView>& master, std::uint16_t key);

// The start-up window state of a program button: hidden wins, then minimised, then maximised.
ShowState show_state_of(const ButtonView& button);

// The menu a menu button pops up, built from its expanded command lines.
std::vector<MenuItem> build_menu(const std::string& command, const MacroEnvironment& env);

enum class RunOutcome { Started, Refused, Failed };

// What became of a typed command. A refusal carries the check's verdict: the program refused
// and why, for the person who typed it (the launcher itself shows nothing for a refusal).
struct RunResult {
    RunOutcome outcome = RunOutcome::Failed;
    RunDecision refusal;  // set when Refused

    bool operator==(RunOutcome o) const { return outcome == o; }
};

// "You may not run PROGRAM: reason", the message of a refusal.
std::string refusal_text(const RunDecision& refusal);

class Launcher {
public:
    struct Ports {
        Prompter& prompter;
        ProcessApi& processes;
        Sound& sound;
        LaunchFileSystem& files;
        LaunchHost& host;
    };
    Launcher(Ports ports, MacroEnvironment env, LaunchOptions options);
    // The macro environment refers back to this launcher.
    Launcher(const Launcher&) = delete;
    Launcher& operator=(const Launcher&) = delete;

    // The current user's restrictions: "Run Program" and the files of the F and E macros obey them.
    void set_restrictions(RunRestrictions restrictions) { restrictions_ = std::move(restrictions); }

    LaunchOptions& options() { return options_; }
    MacroEnvironment& environment() { return env_; }

    // False when the launch password was refused or a page-link button names an existing
    // file (the caller then opens that file as a desktop); true otherwise.
    bool carry_out(const ButtonView& button);
    // A click, speed key or timed launch: carry out, and open the page link as a desktop on false.
    void click(const ButtonView& button);
    // The menu command handler for a chosen item.
    void menu_command(const MenuItem& item);
    // "Run Program": the typed command under the user's restrictions. A failed start is told
    // here; a refusal is returned with its reason, and the caller tells it.
    RunResult run_typed(const std::string& command, bool minimized, bool maximized);

    // Programs started by single-instance buttons, newest first.
    const std::vector<std::pair<std::uint32_t, std::string>>& running() const { return running_; }

private:
    void run_program(const ButtonView& button, const std::string& display_caption);
    void show_page_link(const std::string& link);
    void run_browser(const ButtonView& button, const std::string& display_caption);
    // Activates a visible window of a copy of `line` started earlier; true when one was found.
    bool bring_running_to_front(const std::string& line);
    bool start_line(const std::string& command, const std::string& directory, ShowState show,
                    std::uint32_t& pid);
    void report_failure(const std::string& line);

    Ports ports_;
    MacroEnvironment env_;
    LaunchOptions options_;
    RunRestrictions restrictions_;
    std::vector<std::pair<std::uint32_t, std::string>> running_;
};

// The program part of a command line: the quoted part, or up to the first blank.
std::string program_part(const std::string& command);

}  // namespace vx::shell
