#pragma once
// The shell's main window in run mode: the top panel (page tabs, status bar with clock, page
// icon and page title), the page surface below it, the main menu and the page keys. The rules
// (settings, which tab a key selects, the menu's items) live in core/shell; this class applies
// them to windows.
#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "builder/folders.h"
#include "model/desktop.h"
#include "port/clock.h"
#include "port/hooks_api.h"
#include "port/profile.h"
#include "port/session_api.h"
#include "port/settings_store.h"
#include "security/admin_data.h"
#include "shell/admin_state.h"
#include "shell/desktop_load.h"
#include "shell/end_of_shell.h"
#include "shell/key_release.h"
#include "shell/menu_model.h"
#include "shell/page_nav.h"
#include "shell/settings.h"
#include "shell/station.h"
#include "win/iconlib/library_pictures.h"
#include "win/security/dde_server.h"
#include "win/security/login_ports.h"
#include "win/security/security_dialogs.h"
#include "win/shell/design_session.h"
#include "win/surface/page_objects.h"
#include "win/surface/scroll_box.h"
#include "win/util/handle.h"
#include "win/util/window.h"

namespace vx::win::builder {
class TProgressReport;
class StartMenuWatcher;
}  // namespace vx::win::builder

namespace vx::win::shell {

inline constexpr const wchar_t* kMainFormClass = L"TMainForm";
inline constexpr const char* kDefaultTitle = "Vantora!";
inline constexpr int kTopPanelHeight = 46;

// Control and command ids of the main window.
enum MainFormId : int {
    kIdPageTabs = 2000,
    kIdStatusBar = 2001,
    kIdPaintBox2 = 2002,
    kIdPanel6 = 2003,
    kIdMainArea = 2004,
    kIdMenuFirst = 2100,      // + MenuCommand
    kIdGotoPageFirst = 2200,  // + tab index
    kIdMainTimer = 2900,
};

// The caption: the `Title` setting, "Vantora!" when absent or unreadable.
std::string read_main_title(SettingsStore& settings);

// Commands that other parts of the shell carry out. Unset ones do nothing (and say so in the
// trace), except Exit, which closes the window.
struct MainFormCommands {
    std::function<void()> new_desktop, open_desktop, run_program, exit, view_usage_log,
        login, help_contents;
    // The start found no usable desktop: "&New" offered in its place (its guard asked as from the
    // menu); true when a new desktop was made.
    std::function<bool()> offer_new_desktop;
    // Each main-timer tick, after the clock was updated: scheduled launches, idle lock, usage log.
    std::function<void()> tick;
    // A button on the page was clicked (pressed and released on it): launch, page link, menu.
    std::function<void(vx::model::ObjectEntry&)> carry_out_button;
    // Opens a topic of the help file (the dialogs' "&Help" buttons).
    std::function<void(int topic)> help_topic;
    // Asked when the window is to close; false keeps it open. Unset: it closes. `from_system`
    // for every close but the one a button's <EXIT> or <LOGOFF> causes (close_by_command).
    std::function<bool(bool from_system)> may_close;
    // A key with these modifiers (the speed-key form) was released; true when a button took it.
    std::function<bool(std::uint16_t shortcut)> speed_key;
    // Whether a button of the shown page answers to this shortcut (its press is then kept from
    // the menu's keyboard handling).
    std::function<bool(std::uint16_t shortcut)> is_speed_key;
};

// A view of the station: what it shows (tabs, menu, page, locked screen) follows the station's
// changes, and everything it asks for (a desktop, a log-in, the settings) goes through it.
class TMainForm final : public Window, private vx::shell::StationView {
public:
    explicit TMainForm(SettingsStore& settings);
    ~TMainForm() override;

    HWND create(HINSTANCE instance);
    void show(int show_command);
    const std::string& title() const noexcept { return title_; }

    MainFormCommands& commands() { return commands_; }
    // The desktop, the administration data, the settings, the user and the lock.
    vx::shell::Station& station() { return station_; }
    const vx::shell::Station& station() const { return station_; }
    // Arms the idle lock and timed exit when the administration file asks; none: not armed.
    void set_hooks(HooksApi* hooks) { station_.set_hooks(hooks); }
    // The folder of vantorx.exe (tests point it elsewhere before create).
    void set_program_dir(std::string dir) { station_.set_program_dir(std::move(dir)); }

    // Where the system keys are locked and released and the session ends; none: the Windows
    // one, made when first needed. Tests and e2e runs set a recording fake before create.
    void set_session(SessionApi* session) { station_.set_session(session); }
    // The station's session, the Windows one unless another was set.
    SessionApi& session();
    // WIN.INI's "BorderWidth" for "Desktop Setup"; none: the system's profile calls.
    void set_profile(Profile* profile) { profile_ = profile; }
    // The log-in dialog's clock (time windows, days, expiry); none: the system clock.
    void set_clock(const Clock* clock) { clock_ = clock; }
    // Whether a start without a usable desktop opens the designer on the starter desktop (the
    // program does; a window made on its own, as in the window tests, stays in run mode).
    void set_designer_at_start(bool on) { designer_at_start_ = on; }

    // The DDE server item with the logged-in user's name; run_shell starts serving it.
    win::security::DdeServerItem& dde_user_item() { return dde_item_; }
    // "Validate User"; the default of `commands().login` (F10). True when someone passed. One
    // at a time: asked again while it is open, it opens no second one and answers false.
    bool log_in();
    // "Desktop Setup": window options and preferences; OK applies and writes them.
    void show_setup_form();
    // The About box.
    void show_about();

    // Whether the user can reach "E&xit" in the menu.
    bool exit_shown() const { return exit_shown_; }
    // The close a button's <EXIT> or <LOGOFF> causes, once the current message is handled.
    void close_by_command();
    // Reads a damaged administration file again now (as the timer and activation do).
    void retry_admin_file();
    // The tab of the page shown (the station's, not the tab strip's); -1 for none.
    int current_tab() const { return station_.current_tab(); }
    // Selects a tab as the user would: the page password is asked first. False when refused.
    bool select_tab(int index);
    void apply_window_options();
    // Administration file, desktop, tabs, menu, first page and timer; once. show() posts it so
    // the window is on screen before any message box of the load appears.
    void first_show();
    HWND page_tabs() const { return tabs_; }
    HWND panel6() const { return panel6_; }
    HWND status_bar() const { return status_; }
    surface::TKXScrollBox& main_area() { return main_area_; }
    // The objects the surface shows now, bottom first.
    const std::vector<std::unique_ptr<surface::PageObject>>& page_objects() const { return page_objects_; }

    // What the shell's runtime works with.
    HINSTANCE instance() const { return instance_; }
    const std::string& program_dir() const { return station_.program_dir(); }
    bool first_shown() const { return first_shown_; }
    // The shell's messages and questions; the main window's own dialogs unless the runtime
    // hands it another (the tests answer in the dialogs' place).
    Prompter& prompter() { return prompter_override_ ? *prompter_override_ : prompter_; }
    void set_prompter(Prompter* prompter) { prompter_override_ = prompter; }
    HMENU main_menu() const { return menu_; }
    // Reads `path` and, once it has read, makes it the station's desktop and `DeskTopFile`
    // setting, whose tabs and menu then show; the caller shows a page. False (the user told why,
    // unless the file is missing) leaves the desktop, the page shown and the setting as they were.
    bool open_desktop_file(const std::string& path);
    // Tabs, menu and window options again after the desktop changed.
    void refresh_desktop_view();
    // The first page the user may open: the first tab that opens without a question, else the
    // first tab through its password. Refused, no page shows and no tab is selected.
    void show_first_tab();
    void stop_main_timer();
    // With the shown page's interval.
    void start_main_timer();

    // ---- modify mode (main_form_modify.cpp) ----
    bool modify_mode() const { return design_ != nullptr; }
    // "&Setup": the setup password first when one is set. False when refused or not allowed.
    bool enter_modify_mode();
    // "E&xit Setup": saves the desktop; a save that fails says why and stays in modify mode.
    bool leave_modify_mode();
    // Saves the desktop as the designer has it; the reason on failure (nothing is lost: the
    // file on disk is whole and the designer keeps its history).
    std::string save_desktop();
    // The designer's state while modify mode is on; null otherwise.
    DesignSession* design() { return design_.get(); }

    // ---- the desktop builder (main_form_builder.cpp) ----
    // The new-desktop procedure ("&New", and a desktop that did not load): the questions, then
    // the desktop built from the Windows desktop and saved, or "Page 1" and "StartUp" in
    // modify mode. True when a new desktop was made.
    bool new_desktop_procedure();
    // "Setup &Wizard": one program group of the Start menu as a page of its own.
    void add_program_group();
    // A fresh baseline of the Start menu's program folder and a new watch on it.
    void start_watching_start_menu();
    void stop_watching_start_menu();
    bool watching_start_menu() const;
    // The file a new desktop goes to, chosen under the user's restrictions; the runtime sets
    // it. Unset, no new desktop can be made.
    using NewFileChooser =
        std::function<std::optional<std::string>(const std::string& directory, const std::string& proposed)>;
    void set_new_desktop_chooser(NewFileChooser chooser) { new_desktop_chooser_ = std::move(chooser); }
    // The folders the builder reads; none: the real file system.
    void set_folder_source(vx::builder::FolderSource* source) { folder_source_ = source; }
    // The "Progress" window, made when first needed.
    builder::TProgressReport& progress_report();

protected:
    bool on_create(const CREATESTRUCTW& cs) override;
    void on_destroy() override;
    bool on_close() override;
    void on_paint(HDC dc, const PAINTSTRUCT& ps) override;
    void on_size(UINT kind, int width, int height) override;
    bool on_command(int id, int code, HWND control) override;
    LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    // StationView
    void desktop_leaving() override;
    void station_changed(vx::shell::StationChange what) override;

    void read_admin_file();
    // After a read on activation or the timer: locks, unlocks or refreshes what is shown.
    void after_admin_reread();
    // Desktop, tabs, menu, first page and timer: what the first show does once the
    // administration file allows it.
    void open_station();
    // The desktop's reading ports with the loading window for `path` up; a damaged file is
    // told and traced.
    vx::shell::DesktopReadResult read_desktop(const std::string& path, bool at_start);
    void rebuild_tabs();
    void rebuild_menu();
    void show_page(vx::model::Page* page);
    void paint_background(HDC dc, const RECT& client, POINT scroll);
    void update_clock();
    void layout();
    void on_key_up(WPARAM key);
    // A system close (the close box, the system menu, Alt+F4, WM_CLOSE) or a button's; true
    // when the window may go.
    bool may_close(bool from_system);
    void end_session();
    DateTime now() const;
    void carry_out(vx::shell::MenuCommand command, int page_index);
    void run_seam(const std::function<void()>& f, const char* what);
    void show_popup(POINT screen);
    void load_wallpaper(const std::string& name);
    void show_page_objects(vx::model::Page* page);
    void after_admin_load();
    void show_help(int topic);
    void apply_setup_result(const vx::shell::SetupResult& result);
    // Notes the press for its release; true when the default handling must not see it (a speed
    // key, F10).
    bool on_key_down(WPARAM key, LPARAM flags);
    // True when the release was taken (a speed key, a page key, F10).
    bool on_key_released(WPARAM key, bool system_key);
    // The icon library beside the program: button icons and cursors, the animated page icon.
    iconlib::LibraryPictures* library_pictures();
    void show_tab_icon(int number);
    void tab_icon_tick();

    // modify mode
    void rebuild_modify_menu();
    std::vector<vx::shell::MenuEntry> modify_menu_entries(bool popup);
    void carry_out_modify(vx::shell::MenuCommand command);
    void update_menu_state(HMENU menu);
    void show_modify_popup(POINT screen);
    // Runs a change through the history; false when it changed nothing or failed (told).
    bool execute(vx::editor::CommandPtr command);
    // After any change: the page's objects, the selection and the handles as the model says.
    void after_design_change();
    // The button of the shown page (else of the master page) with this speed key; kNoId for none.
    vx::model::ObjectId design_speed_key_button(std::uint16_t shortcut) const;
    void design_pressed(const vx::editor::PressResult& r, POINT screen);
    void design_released(vx::editor::ReleaseResult r);
    bool design_key(UINT message, WPARAM wparam, LPARAM lparam);
    void create_object(vx::editor::Tool tool, const vx::model::Bounds& rect);
    void edit_object(vx::model::ObjectId id);
    // The property dialog of an object of `page`: `id` names the object edited, kNoId a new one
    // that OK creates.
    void open_property_dialog(vx::model::PageId page, vx::model::ObjectId id, vx::model::ObjectData object);
    void copy_selection();
    void paste_clipboard(std::string_view label);
    void copy_style();
    void paste_style();
    void align_selection(vx::editor::Alignment how, bool relative);
    void nudge(vx::editor::NudgeDirection direction, int round);
    void set_grid();
    void drop_files(HDROP drop);
    void begin_page_drag();
    void end_page_drag(POINT client, bool drop);
    void show_align_window(bool show);
    void save_design_settings();
    // Writes the palette's place and layout and closes it.
    void close_tool_palette();
    RECT surface_client() const;

    // pages in modify mode (main_form_pages.cpp)
    // The page commands of the modify menus; false for any other command.
    bool carry_out_page_command(vx::shell::MenuCommand command);
    void add_page();
    void delete_page();
    void rename_page();
    void copy_page();
    void move_page();
    void page_settings();
    // Moves or compaction in the icon library: the pictures kept by number are read again.
    void icon_library_changed();
    void page_password();
    void set_palette();  // "Set &Palette..." on the current page
    // From entering modify mode: steps that change the page list or a page are followed by the
    // tabs, the menus and the page shown (follow_page_changes, from after_design_change).
    void watch_pages();
    void follow_page_changes();
    static LRESULT CALLBACK tabs_proc(HWND tabs, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                      DWORD_PTR self);
    // The tab strip's mouse in modify mode: a page's tab dragged onto another's moves the page.
    bool tab_mouse(UINT message, LPARAM lparam);
    int tab_at(POINT in_tabs) const;

    vx::shell::Station station_;
    vx::shell::Station::Subscription watching_;
    std::string title_;
    HINSTANCE instance_ = nullptr;
    MainFormCommands commands_;
    // The shell's own dialogs: "Password Required" with its lock pictures, the alert, the choice list.
    win::security::WinPrompter prompter_;
    Prompter* prompter_override_ = nullptr;

    bool exit_shown_ = true;
    // A close request is being decided (its questions are up): another waits its turn, refused.
    bool closing_ = false;
    // Windows is ending the session: no message boxes, the work is logged.
    bool session_ending_ = false;
    // A speed key's press with Alt: its WM_SYSCHAR must not reach the menu.
    bool swallow_syschar_ = false;
    vx::shell::KeyReleases keys_;
    bool first_shown_ = false;
    std::unique_ptr<SessionApi> own_session_;
    Profile* profile_ = nullptr;
    std::unique_ptr<Profile> own_profile_;
    const Clock* clock_ = nullptr;
    win::security::DdeServerItem dde_item_;
    win::security::Win32DirectoryAttributes directory_attributes_;

    HWND tabs_ = nullptr;
    HWND status_ = nullptr;
    HWND paint_box_ = nullptr;
    HWND panel6_ = nullptr;
    surface::TKXScrollBox main_area_;
    HMENU menu_ = nullptr;
    // The command ids the menu model offers now: a command is carried out only when it is one.
    std::vector<UINT> offered_commands_;
    vx::shell::TopPanelLayout top_{};
    std::string loaded_wallpaper_;
    unique_hbitmap wallpaper_;
    int wallpaper_w_ = 0, wallpaper_h_ = 0;
    int loaded_tab_icon_ = -1;
    unique_hpalette palette_;
    // The same palette as the canvas takes it, and what the page's objects share.
    port::Palette object_palette_{};
    objects::PictureTable pictures_;
    surface::PageObjectEnv object_env_;
    std::vector<std::unique_ptr<surface::PageObject>> page_objects_;
    std::unique_ptr<iconlib::LibraryPictures> library_pictures_;
    const iconlib::FrameList* tab_frames_ = nullptr;
    size_t tab_step_ = 0;
    std::unique_ptr<DesignSession> design_;
    // The selection is being dragged towards a tab (the mouse is captured by this window).
    bool page_drag_ = false;
    vx::editor::ChangeEvents::Subscription page_watch_;
    bool pages_changed_ = false;
    // A page's tab is held down (-1: none) and, once the mouse has moved far enough, dragged.
    int tab_drag_from_ = -1;
    POINT tab_drag_start_{};
    bool tab_dragging_ = false;
    bool designer_at_start_ = false;

    // desktop builder
    vx::builder::FolderSource& folder_source();
    // One button per file of `folder` onto `page` (with the progress display when `count` is
    // given); true when the person stopped it.
    bool import_onto(vx::model::Page& page, const vx::builder::Folder& folder, int count);
    void start_menu_changed();
    NewFileChooser new_desktop_chooser_;
    vx::builder::FolderSource* folder_source_ = nullptr;
    std::unique_ptr<vx::builder::FolderSource> own_folder_source_;
    std::unique_ptr<builder::TProgressReport> progress_;
    std::vector<vx::builder::FolderItem> start_menu_baseline_;
    // An import runs: a Start-menu change waits until it is over.
    bool building_ = false;
    bool start_menu_change_waiting_ = false;
    // Last, so that it goes first: its thread ends before anything it reports to.
    std::unique_ptr<builder::StartMenuWatcher> watcher_;
};

}  // namespace vx::win::shell
