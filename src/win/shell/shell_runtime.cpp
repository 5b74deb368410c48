#include "win/shell/shell_runtime.h"

#include <commctrl.h>

#include <cmath>
#include <exception>
#include <stdexcept>

#include "help/topics.h"
#include "security/access.h"
#include "shell/browser_rule.h"
#include "shell/text_rules.h"
#include "shell/window_order.h"
#include "util/file_io.h"
#include "win/browser/browser_window.h"
#include "win/help/help_window.h"
#include "win/dialogs/selector_dialogs.h"
#include "win/dialogs/win_file_system.h"
#include "win/security/usage_log_viewer.h"
#include "win/shell/application.h"
#include "win/util/program_folder.h"
#include "builder/new_desktop.h"
#include "win/util/text.h"
#include "win/util/trace.h"

namespace vx::win::shell {
namespace {

using vx::shell::ButtonId;
using vx::shell::ButtonView;

std::string system_windows_dir() {
    wchar_t dir[MAX_PATH]{};
    const UINT n = GetWindowsDirectoryW(dir, MAX_PATH);
    return n > 0 && n < MAX_PATH ? narrow(dir) : std::string("C:\\WINDOWS");
}

}  // namespace

// ---- the registration of the Windows shell ----

bool Win32ShellRegistration::nt_family() {
    // Every Windows this program still runs on is of the NT family; the old test is kept so
    // that the rule reads the same on any system.
    return (GetVersion() & 0x80000000u) == 0;
}

std::string Win32ShellRegistration::winlogon_shell() {
    wchar_t value[1024]{};
    DWORD size = sizeof value - sizeof(wchar_t);
    const LSTATUS status =
        RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon",
                     L"Shell", RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, value, &size);
    // No value is no registration, not a failure worth a message.
    if (status == ERROR_FILE_NOT_FOUND) return {};
    if (status != ERROR_SUCCESS)
        throw std::runtime_error("Cannot read the Windows shell setting: " +
                                 last_error_text(static_cast<DWORD>(status)));
    return narrow(value);
}

std::optional<std::string> Win32ShellRegistration::system_ini_shell() {
    const std::string ini = join_path(system_windows_dir(), "SYSTEM.INI");
    if (!file_exists(ini)) return std::nullopt;
    wchar_t value[1024]{};
    GetPrivateProfileStringW(L"boot", L"shell", L"", value, 1024, widen(ini).c_str());
    return narrow(value);
}

// ---- the runtime ----

namespace {

vx::shell::MacroEnvironment make_environment(SessionApi& session, Prompter& prompter) {
    vx::shell::MacroEnvironment env;
    env.program_dir = program_folder();
    env.windows_dir = system_windows_dir();
    env.prompter = &prompter;
    env.session = &session;
    return env;
}

}  // namespace

ShellRuntime::ShellRuntime(TMainForm& form, ShellPorts ports)
    : form_(form),
      station_(form.station()),
      ports_(ports),
      query_([this] { return owner(); }),
      codec_(std::make_unique<AnsiCodePageCodec>()),
      launcher_(vx::shell::Launcher::Ports{ports.prompter ? *ports.prompter : form.prompter(),
                                           ports.processes, ports.sound, ports.files, *this},
                make_environment(ports.session, ports.prompter ? *ports.prompter : form.prompter()),
                vx::shell::LaunchOptions{}) {
    auto& env = launcher_.environment();
    // The macros' questions come in the query window; the launcher's own messages do not.
    env.prompter = ports.questions ? ports.questions : ports.prompter ? ports.prompter : &query_;
    // The macros' dialogs carry the application's title, as every dialog of the runtime does;
    // the `Title` setting names the main window alone.
    env.program_name = narrow(kApplicationTitle);
    // <DEFAULTDIR> is the main window's program folder (the tests move it).
    if (!form.program_dir().empty()) env.program_dir = form.program_dir();
    env.selector = this;
    // The runtime's session ends go through the main window's, which does the end-of-shell work
    // before an end that would not wait for it.
    form_.set_session(&ports.session);
    if (ports.prompter) form_.set_prompter(ports.prompter);
    env.session = &form_.session();
    station_.end_of_shell().set(vx::shell::EndStep::AppendUsageRecords, [this] {
        if (!usage_log_) return;
        std::string failure;
        usage_log_->set_reporter([&failure](const std::string& message) { failure = message; });
        usage_log_->flush(nullptr);
        usage_log_->set_reporter(nullptr);
        if (!failure.empty()) throw std::runtime_error(failure);
    });

    deferred_.create();
    MainFormCommands& c = form_.commands();
    // A click arrives inside the clicked object's own mouse handling; what the button does may
    // replace the page's objects, so it runs once that handling is over.
    c.carry_out_button = [this](model::ObjectEntry& entry) {
        const ButtonView view = button_view(entry);
        deferred_.post([this, view] {
            if (!launches_allowed()) return;
            prepare_launch();
            launcher_.click(view);
        });
    };
    c.tick = [this] { tick(); };
    c.exit = [this] { exit(); };
    c.may_close = [this](bool from_system) { return may_close(from_system); };
    c.speed_key = [this](std::uint16_t key) { return speed_key(key); };
    c.is_speed_key = [this](std::uint16_t key) { return has_speed_key(key); };
    c.run_program = [this] { run_program(); };
    c.open_desktop = [this] { choose_desktop_to_open(); };
    c.new_desktop = [this] { new_desktop(); };
    c.offer_new_desktop = [this] { return new_desktop(); };
    c.view_usage_log = [this] { view_usage_log(); };
    form_.set_new_desktop_chooser([this](const std::string& dir, const std::string& proposed) {
        return choose_new_desktop_file(dir, proposed);
    });
    c.help_topic = [this](int topic) { show_help(topic); };
    c.help_contents = [this] { show_help(vx::help::kContentsTopic); };
}

ShellRuntime::~ShellRuntime() {
    MainFormCommands& c = form_.commands();
    c.carry_out_button = nullptr;
    c.tick = nullptr;
    c.exit = nullptr;
    c.may_close = nullptr;
    c.speed_key = nullptr;
    c.is_speed_key = nullptr;
    c.run_program = nullptr;
    c.open_desktop = nullptr;
    c.new_desktop = nullptr;
    c.offer_new_desktop = nullptr;
    c.view_usage_log = nullptr;
    form_.set_new_desktop_chooser(nullptr);
    c.help_topic = nullptr;
    c.help_contents = nullptr;
    station_.end_of_shell().set(vx::shell::EndStep::AppendUsageRecords, nullptr);
    if (ports_.prompter) form_.set_prompter(nullptr);
    // Records gathered since the end-of-shell work (or all of them, when the window outlives
    // the runtime).
    flush_usage_log();
}

bool ShellRuntime::launches_allowed() const {
    if (!station_.locked()) return true;
    log_info("the station is locked: nothing is started");
    return false;
}

Prompter& ShellRuntime::prompter() {
    return ports_.prompter ? *ports_.prompter : form_.prompter();
}

HWND ShellRuntime::owner() const {
    return form_.hwnd() && IsWindow(form_.hwnd()) ? form_.hwnd() : nullptr;
}

void ShellRuntime::prepare_launch() {
    auto& options = launcher_.options();
    options.confirm_execution = station_.settings().confirm;
    options.minimize_on_run = station_.settings().run_minimized;
    // The log-in may have happened since the last launch; the restrictions follow the user.
    const auto restrictions = vx::shell::run_restrictions(station_.admin());
    launcher_.set_restrictions(restrictions);
    launcher_.environment().file_allowed = [this, restrictions](const std::string& path) {
        return vx::shell::decide_file(path, restrictions, ports_.files).allowed();
    };
}

void ShellRuntime::carry_out_button(const model::ObjectEntry& entry) {
    if (!launches_allowed()) return;
    prepare_launch();
    launcher_.click(button_view(entry));
}

bool ShellRuntime::guard_granted(size_t slot) {
    // A file that could not be read has guards nobody knows: none of them passes.
    if (station_.admin_state().damaged()) return false;
    if (!station_.admin_loaded()) return true;
    const auto& guard = station_.admin().guards[slot];
    if (guard.password.empty()) return true;
    return vx::security::password_prompt(station_.admin(), prompter(), "", guard.password, guard.level);
}

// ---- the tick ----

void ShellRuntime::sync_schedule() {
    std::set<ButtonId> now;
    for (const auto& s : station_.desktop().scheduled()) now.insert(s.object);
    for (ButtonId id : scheduled_ids_)
        if (!now.count(id)) schedule_.set(id, false);
    for (const auto& s : station_.desktop().scheduled()) schedule_.set(s.object, true);
    scheduled_ids_ = std::move(now);
}

const model::ObjectEntry* ShellRuntime::find_entry(ButtonId id) const {
    for (const auto& s : station_.desktop().scheduled())
        if (s.object == id) return station_.desktop().find_object(id).entry;
    return nullptr;
}

void ShellRuntime::tick() {
    // A modal dialog of one step lets timer messages through; the first tick finishes first.
    if (ticking_) return;
    ticking_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{ticking_};
    try {
        sync_schedule();
        vx::shell::timer_tick(
            vx::shell::TickPorts{*this, ports_.hooks, form_.session(), ports_.clock, locale_},
            station_.tick_settings(), schedule_);
    } catch (const std::exception& e) {
        log_error(std::string("main timer: ") + e.what());
    }
}

void ShellRuntime::stop_timer() {
    form_.stop_main_timer();
}

void ShellRuntime::start_timer() {
    if (owner()) form_.start_main_timer();
}

void ShellRuntime::lock_station() {
    if (!owner()) return;
    // Nothing may stay above the log-in, also no window another program keeps on top; those
    // windows are on top again once the log-in is over.
    const vx::shell::NormalWindowOrder order(top_most());
    if (IsIconic(form_.hwnd())) ShowWindow(form_.hwnd(), SW_RESTORE);
    SetForegroundWindow(form_.hwnd());
    if (form_.commands().login)
        form_.commands().login();
    else
        log_info("idle lock: no log-in dialog to show yet");
}

void ShellRuntime::run_start_up_work() {
    if (!launches_allowed()) return;
    vx::shell::run_start_up_work(vx::shell::StartUpPorts{*this, ports_.profile, ports_.processes, prompter()},
                                 start_up_);
}

std::optional<vx::shell::ScheduleFields> ShellRuntime::schedule_fields(ButtonId button) {
    const model::ObjectEntry* entry = find_entry(button);
    if (!entry) return std::nullopt;
    const auto* b = std::get_if<model::ButtonData>(&entry->data);
    if (!b) return std::nullopt;
    return vx::shell::ScheduleFields{b->launch_day, b->launch_date};
}

void ShellRuntime::run_scheduled(ButtonId button) {
    // An earlier button of the same tick may have opened another desktop.
    const model::ObjectEntry* entry = find_entry(button);
    if (!entry || !launches_allowed()) return;
    carry_out_button(*entry);
}

void ShellRuntime::track_usage() {
    const auto& admin = station_.admin();
    std::string path = admin.log_path.empty() ? station_.settings().log_file : admin.log_path;
    if (!usage_log_) {
        usage_log_ =
            std::make_unique<win::security::UsageLogSession>(ports_.processes, ports_.clock, *codec_, path);
    } else if (usage_log_->log_path() != path) {
        usage_log_->set_log_path(path);
    }
    const vx::security::User* user = admin.current_user();
    usage_log_->tick(user ? user->name : std::string());
}

void ShellRuntime::flush_usage_log() {
    if (!usage_log_ || usage_log_->gathered().empty()) return;
    usage_log_->flush(owner());
}

// ---- the launcher's view of the main window ----

bool ShellRuntime::password_prompt(const std::string& password, int level) {
    return vx::security::password_prompt(station_.admin(), prompter(), "", password, level);
}

void ShellRuntime::minimize_main_window() {
    if (owner()) ShowWindow(form_.hwnd(), SW_MINIMIZE);
}

void ShellRuntime::close_main_window() {
    form_.close_by_command();
}

int ShellRuntime::tab_count() {
    return station_.tab_count();
}

int ShellRuntime::current_tab() {
    return station_.current_tab();
}

void ShellRuntime::select_tab(int index) {
    form_.select_tab(index);
}

bool ShellRuntime::select_page(const std::string& name) {
    const auto pages = station_.tab_pages();
    for (size_t i = 0; i < pages.size(); ++i) {
        if (vx::security::same_without_case(pages[i]->name, name)) {
            form_.select_tab(static_cast<int>(i));
            return true;
        }
    }
    return false;
}

void ShellRuntime::show_help(int topic) {
    if (!help_) help_ = std::make_unique<win::help::THelpWindow>();
    if (!help_->show(owner(), topic)) log(LogLevel::Warning, "the help window could not be opened");
}

void ShellRuntime::show_browser(const std::string& address) {
    // A browser-flag button promises one address and nothing else. The system's browser has an
    // address bar, downloads and File/Open, so it is never used in place of the locked window.
    const vx::shell::BrowserRule rule(address);
    if (!rule.valid()) {
        prompter().alert("Vantora!", "The address " + address +
                                         " cannot be shown: Vantora!'s own browser window shows web pages "
                                         "(http and https) only. It is not opened in any other browser.");
        return;
    }
    if (!browser_) browser_ = std::make_unique<win::browser::TBrowserWindow>();
    if (!browser_->show(owner(), rule))
        prompter().alert("Vantora!", "Vantora!'s browser window could not be opened for " + address + ".");
}

void ShellRuntime::popup_menu(const std::vector<vx::shell::MenuItem>& items) {
    if (items.empty() || !owner()) return;
    HMENU menu = CreatePopupMenu();
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].caption == "-")
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuW(menu, MF_STRING, i + 1, widen(items[i].caption).c_str());
    }
    POINT at;
    GetCursorPos(&at);
    // Without the foreground the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(form_.hwnd());
    const int chosen =
        static_cast<int>(TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY,
                                        at.x, at.y, 0, form_.hwnd(), nullptr));
    PostMessageW(form_.hwnd(), WM_NULL, 0, 0);
    DestroyMenu(menu);
    if (chosen > 0 && static_cast<size_t>(chosen) <= items.size() && launches_allowed()) {
        prepare_launch();
        launcher_.menu_command(items[static_cast<size_t>(chosen) - 1]);
    }
}

std::vector<ButtonView> ShellRuntime::current_page_buttons() {
    return vx::shell::page_buttons(station_.desktop().current());
}

void ShellRuntime::open_desktop(const std::string& path) {
    // Opened at the next tick, when the click that asked for it is over.
    start_up_.desktop_to_open = path;
    start_up_.pending = true;
}

bool ShellRuntime::has_speed_key(std::uint16_t shortcut) {
    return vx::shell::speed_key_button(station_.desktop(), shortcut).has_value();
}

bool ShellRuntime::speed_key(std::uint16_t shortcut) {
    const std::optional<ButtonView> button = vx::shell::speed_key_button(station_.desktop(), shortcut);
    if (!button) return false;
    deferred_.post([this, view = *button] {
        if (!launches_allowed()) return;
        prepare_launch();
        launcher_.click(view);
    });
    return true;
}

// ---- start-up work ----

bool ShellRuntime::load_desktop(const std::string& path) {
    if (!form_.open_desktop_file(path)) return false;
    // The buttons of the old desktop are gone; the new one's launch flags start clear.
    schedule_.clear();
    scheduled_ids_.clear();
    return true;
}

void ShellRuntime::show_first_tab() {
    form_.show_first_tab();
}

std::vector<ButtonView> ShellRuntime::start_up_buttons() {
    return vx::shell::start_up_buttons(station_.desktop());
}

void ShellRuntime::click(const ButtonView& button) {
    if (!launches_allowed()) return;
    prepare_launch();
    launcher_.click(button);
}

bool ShellRuntime::exit_command_hidden() {
    return !form_.exit_shown();
}

void ShellRuntime::remove_system_menu() {
    if (!owner()) return;
    // Without the system menu the window shows no close box. Alt+F4 still asks for the close;
    // the close request refuses it.
    const LONG style = GetWindowLongW(form_.hwnd(), GWL_STYLE);
    SetWindowLongW(form_.hwnd(), GWL_STYLE, style & ~WS_SYSMENU);
    SetWindowPos(form_.hwnd(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

// ---- closing ----

void ShellRuntime::exit() {
    // The same close as the close box's.
    if (owner()) PostMessageW(form_.hwnd(), WM_CLOSE, 0, 0);
}

bool ShellRuntime::may_close(bool from_system) {
    vx::shell::CloseRequest request;
    request.from_system = from_system;
    request.exit_prompt = station_.settings().exit_prompt;
    request.exit_hidden = !form_.exit_shown();
    request.locked_down = station_.admin_state().damaged();
    return vx::shell::close_request(request, *this, prompter());
}

bool ShellRuntime::exit_guard_has_password() {
    return station_.admin_loaded() && !station_.admin().guards[vx::security::kGuardExit].password.empty();
}

bool ShellRuntime::exit_password_prompt() {
    return guard_granted(vx::security::kGuardExit);
}

bool ShellRuntime::modify_mode() {
    return form_.modify_mode();
}

bool ShellRuntime::save_desktop() {
    // Only what the designer changed: a starter desktop nobody touched stays off the disk.
    if (!form_.design() || !form_.design()->undo.dirty()) return true;
    const std::string error = form_.save_desktop();
    if (error.empty()) return true;
    log_error("at exit, saving the desktop: " + error);
    prompter().alert("Error", "The desktop could not be saved to " + station_.desktop().file_name + ".\r" + error +
                                  "\rVantora! stays open so that nothing is lost.");
    return false;
}

bool ShellRuntime::is_windows_shell() {
    return vx::shell::is_windows_shell(ports_.registration, prompter());
}

bool ShellRuntime::show_shut_down_dialog(bool power_only) {
    const auto& admin = station_.admin();
    ShutdownContext context{!power_only && admin.guards[vx::security::kGuardExitToDos].visible != 0,
                            !power_only && admin.guards[vx::security::kGuardLogOff].visible != 0,
                            windows_user_name_known(),
                            *this,
                            form_.session(),
                            ports_.processes,
                            {}};
    if (ports_.shut_down_form) return ports_.shut_down_form(owner(), context);
    return run_shutdown_dialog(owner(), context);
}

bool ShellRuntime::dos_guard_granted() {
    return guard_granted(vx::security::kGuardExitToDos);
}

bool ShellRuntime::logoff_guard_granted() {
    return guard_granted(vx::security::kGuardLogOff);
}

std::string ShellRuntime::windows_dir() {
    return system_windows_dir();
}

// ---- Run Program and the usage log viewer ----

void ShellRuntime::run_program() {
    if (!launches_allowed() || !guard_granted(vx::security::kGuardRun)) return;
    show_run_program_dialog();
}

void ShellRuntime::show_run_program_dialog() {
    std::optional<TypedCommand> typed;
    if (ports_.run_program_form) {
        typed = ports_.run_program_form(owner());
    } else {
        LaunchFormPorts form_ports{
            ports_.settings, program_selector(restricted_folders(), station_.admin().drives), {}};
        typed = run_launch_form(owner(), form_ports);
    }
    if (!typed || vx::shell::trim(typed->command).empty()) return;
    // The form stored it; the copy the window writes back at exit must not undo that.
    station_.edit_settings().last_program = typed->command;
    prepare_launch();
    const vx::shell::RunResult run = launcher_.run_typed(typed->command, typed->minimized, typed->maximized);
    // The launcher refuses without a word; the person who typed it is told why.
    if (run.outcome == vx::shell::RunOutcome::Refused)
        prompter().alert("Run Program", vx::shell::refusal_text(run.refusal));
}

void ShellRuntime::choose_desktop_to_open() {
    if (!launches_allowed() || !guard_granted(vx::security::kGuardOpen)) return;
    const std::string start_dir = dir_of(station_.settings().desktop_file);
    std::optional<std::string> chosen;
    if (ports_.open_desktop_form) {
        chosen = ports_.open_desktop_form(owner(), start_dir);
    } else {
        std::string folder = start_dir, file;
        if (win::select_file(owner(), kOpenDesktopTitle, folder, "*.DTP", restricted_folders(),
                             station_.admin().drives, true, false, file) &&
            !file.empty())
            chosen = file;
    }
    if (!chosen) return;
    // The selector keeps to the drives and folders; the file types are the launcher's rule.
    const auto decision =
        vx::shell::decide_file(*chosen, vx::shell::run_restrictions(station_.admin()), ports_.files);
    if (!decision.allowed()) {
        prompter().alert("Vantora!", "You may not open " + *chosen + ": " + decision.reason);
        return;
    }
    open_desktop(*chosen);
}

bool ShellRuntime::new_desktop() {
    return guard_granted(vx::security::kGuardNew) && form_.new_desktop_procedure();
}

std::optional<std::string> ShellRuntime::choose_new_desktop_file(const std::string& dir, const std::string& proposed) {
    std::optional<std::string> chosen;
    if (ports_.new_desktop_form) {
        chosen = ports_.new_desktop_form(owner(), dir, proposed);
    } else {
        std::string folder = dir, file = proposed;
        if (win::select_new_file(owner(), vx::builder::kNewDesktopFileTitle, folder, vx::builder::kDesktopMask,
                                 restricted_folders(), station_.admin().drives, file) &&
            !file.empty())
            chosen = file;
    }
    if (!chosen) return std::nullopt;
    // The selector keeps to the drives and folders; the file types are the user's restrictions.
    const std::string refusal =
        vx::builder::new_desktop_file_refusal(*chosen, vx::shell::run_restrictions(station_.admin()));
    if (!refusal.empty()) {
        prompter().alert("Vantora!", refusal);
        return std::nullopt;
    }
    return chosen;
}

void ShellRuntime::view_usage_log() {
    if (!guard_granted(vx::security::kGuardViewUsageLog)) return;
    win::security::UsageViewerValue value = usage_viewer_value();
    const DateTime today = std::floor(ports_.clock.now());
    win::security::show_usage_log_viewer(form_.instance(), owner(), value, ports_.settings, today);
}

win::security::UsageViewerValue ShellRuntime::usage_viewer_value() {
    auto& admin = station_.admin();
    win::security::UsageViewerValue value;
    value.log_path = admin.log_path.empty() ? station_.settings().log_file : admin.log_path;
    // A copy: the timer goes on gathering while the viewer is open.
    if (usage_log_) value.gathered.assign(usage_log_->gathered().begin(), usage_log_->gathered().end());
    for (size_t i : admin.users_in_list_order()) value.users.push_back(admin.users[i].name);
    const auto& view_guard = admin.guards[vx::security::kGuardLogViewerView];
    value.view_allowed = view_guard.visible != 0 || vx::security::access_rule(admin, view_guard.level);
    value.codec = codec_.get();
    value.locale = &locale_;
    value.pass_view_guard = [this] { return guard_granted(vx::security::kGuardLogViewerView); };
    // "View" opens the restricted file selector over what this user may see and open.
    value.drives = admin.drives;
    value.restricted_dirs = restricted_folders();
    value.forbidden_extensions = admin.forbidden_extensions;
    value.report_error = [this](const std::string& message) { prompter().alert("Error", message); };
    return value;
}

// ---- the F, D and E macros ----

std::string ShellRuntime::restricted_folders() const {
    return vx::shell::restricted_folders(station_.admin(), system_environment());
}

std::optional<std::string> ShellRuntime::select_file(const std::string& title, const std::string& folder,
                                                     const std::string& mask, const std::string& proposed) {
    std::string start = folder;
    std::string chosen = proposed;
    // The macros take OK without a file (the line then runs with a gap); only the editor insists.
    if (!win::select_file(owner(), title, start, mask, restricted_folders(), station_.admin().drives, false,
                          false, chosen))
        return std::nullopt;
    return chosen;
}

std::optional<std::string> ShellRuntime::select_directory(const std::string& title,
                                                          const std::string& folder) {
    std::string chosen = folder;
    if (!win::select_directory(owner(), title, chosen, false, station_.admin().drives, restricted_folders()))
        return std::nullopt;
    return chosen;
}

// ---- work for later in the message loop ----

bool DeferredWork::create() {
    static const wchar_t* kClass = L"VxDeferredWork";
    WNDCLASSEXW wc{};
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    if (!register_class(wc)) return false;
    return Window::create(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance) != nullptr;
}

void DeferredWork::post(std::function<void()> work) {
    queue_.push_back(std::move(work));
    if (!hwnd() || !PostMessageW(hwnd(), kRunMessage, 0, 0)) run_all();
}

void DeferredWork::run_all() {
    while (!queue_.empty()) {
        auto work = std::move(queue_.front());
        queue_.pop_front();
        try {
            work();
        } catch (const std::exception& e) {
            log_error(std::string("carrying out a button: ") + e.what());
        }
    }
}

LRESULT DeferredWork::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == kRunMessage) {
        run_all();
        return 0;
    }
    return Window::handle_message(message, wparam, lparam);
}

}  // namespace vx::win::shell
