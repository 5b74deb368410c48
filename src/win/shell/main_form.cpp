#include "win/shell/main_form.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <exception>
#include <stdexcept>

#include "model/shortcut.h"
#include "port/locale.h"
#include "security/access.h"
#include "security/admin_file.h"
#include "security/login.h"
#include "util/file_io.h"
#include "win/builder/progress_report.h"
#include "win/builder/start_menu_watcher.h"
#include "win/dialogs/selector_dialogs.h"
#include "win/dialogs/win_file_system.h"
#include "win/imaging/picture.h"
#include "win/shell/loading_form.h"
#include "win/shell/profile.h"
#include "win/shell/session_api.h"
#include "win/shell/setup_form.h"
#include "win/shell/splash_form.h"
#include "win/util/program_folder.h"
#include "win/util/system_locale.h"
#include "win/util/text.h"
#include "win/util/trace.h"
#include "win/util/ui_font.h"

namespace vx::win::shell {
namespace {

using vx::shell::MenuCommand;

// An empty page area is silver, as it is whenever no page is current.
constexpr COLORREF kNoPageColour = RGB(192, 192, 192);
constexpr UINT kFirstShowMessage = WM_APP + 20;
// The close a button's <EXIT> or <LOGOFF> asks for: not from the system, so no exit choices.
constexpr UINT kCommandCloseMessage = WM_APP + 21;
constexpr int kIconBox = 32;
// Paces the frames of the animated page icon (an id of the icon library's range).
constexpr UINT_PTR kIdTabIconTimer = 7200;

COLORREF colour_of(model::Color c) {
    // System colours (high bit) name a display element; the page colour is otherwise 0x00BBGGRR.
    if (c < 0) return GetSysColor(c & 0xFF);
    return static_cast<COLORREF>(c & 0xFFFFFF);
}

void fill(HDC dc, const RECT& r, COLORREF colour) {
    const unique_hbrush brush(CreateSolidBrush(colour));
    FillRect(dc, &r, brush.get());
}

}  // namespace

std::string read_main_title(SettingsStore& settings) {
    try {
        if (auto title = settings.read("", "Title")) return *title;
    } catch (const std::exception& e) {
        log_error(std::string("reading the Title setting: ") + e.what());
    }
    return kDefaultTitle;
}

TMainForm::TMainForm(SettingsStore& settings) : station_(settings), watching_(station_.subscribe(*this)) {
    commands_.login = [this] { log_in(); };
    station_.set_default_session([this]() -> SessionApi& {
        if (!own_session_) own_session_ = std::make_unique<Win32SessionApi>();
        return *own_session_;
    });
    station_.set_end_reporter([](const std::string& f) { log_error("before ending the session, " + f); });
}

TMainForm::~TMainForm() = default;

HWND TMainForm::create(HINSTANCE instance) {
    instance_ = instance;
    const std::string settings_error =
        station_.read_settings(station_.program_dir().empty() ? program_folder() : station_.program_dir());
    title_ = station_.settings().title;
    if (!settings_error.empty()) log_error("reading the settings: " + settings_error);

    WNDCLASSEXW wc{};
    wc.style = CS_DBLCLKS;
    wc.hInstance = instance;
    wc.lpszClassName = kMainFormClass;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    if (!wc.hIcon) wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = nullptr;  // the children and on_paint cover every pixel
    if (!register_class(wc)) return nullptr;

    const HWND window = Window::create(WS_EX_APPWINDOW, kMainFormClass, widen(title_).c_str(),
                                       WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                                       640, 480, nullptr, nullptr, instance);
    // A registry failure is reported once the window exists to own the message.
    if (window && !settings_error.empty()) prompter().alert("Error", settings_error);
    return window;
}

void TMainForm::show(int show_command) {
    ShowWindow(hwnd(), show_command);
    UpdateWindow(hwnd());
    SetForegroundWindow(hwnd());
    if (!first_shown_) PostMessageW(hwnd(), kFirstShowMessage, 0, 0);
}

bool TMainForm::on_create(const CREATESTRUCTW&) {
    prompter_.set_owner(hwnd());
    prompter_.set_help([this](int topic) { show_help(topic); });
    tabs_ = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_FOCUSNEVER,
                            0, 0, 100, 24, hwnd(), reinterpret_cast<HMENU>(kIdPageTabs), instance_, nullptr);
    status_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"",
                              WS_CHILD | WS_VISIBLE | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER, 0, 0,
                              100, 20, hwnd(), reinterpret_cast<HMENU>(kIdStatusBar), instance_, nullptr);
    paint_box_ =
        CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_ICON | SS_CENTERIMAGE, 0, 0, kIconBox,
                        kIconBox, hwnd(), reinterpret_cast<HMENU>(kIdPaintBox2), instance_, nullptr);
    panel6_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE, 0, 0,
                              100, 20, hwnd(), reinterpret_cast<HMENU>(kIdPanel6), instance_, nullptr);
    HFONT gui = ui_font();
    if (!gui) gui = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    for (HWND w : {tabs_, status_, panel6_})
        SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(gui), FALSE);
    // TimePanel and DatePanel are the status bar's two parts.
    const int parts[] = {90, -1};
    SendMessageW(status_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    HICON still = LoadIconW(instance_, MAKEINTRESOURCEW(1));
    if (!still) still = LoadIconW(nullptr, IDI_APPLICATION);
    SendMessageW(paint_box_, STM_SETICON, reinterpret_cast<WPARAM>(still), 0);

    if (!main_area_.create(hwnd(), instance_, kIdMainArea)) return false;
    main_area_.set_on_paint(
        [this](HDC dc, const RECT& client, POINT scroll) { paint_background(dc, client, scroll); });
    DragAcceptFiles(hwnd(), TRUE);
    update_clock();
    layout();
    return true;
}

void TMainForm::on_destroy() {
    stop_watching_start_menu();
    // The designer's windows and places are kept for the next time, as on leaving modify mode.
    save_design_settings();
    close_tool_palette();
    if (design_) main_area_.set_tool(nullptr);
    KillTimer(hwnd(), kIdMainTimer);
    KillTimer(hwnd(), kIdTabIconTimer);
    // Nothing when the session's end has done it already.
    const std::vector<std::string> failures = station_.end_of_shell().run();
    std::string text;
    for (const std::string& f : failures) {
        log_error("at exit, " + f);
        text += (text.empty() ? "" : "\r") + f;
    }
    if (!text.empty() && !session_ending_) prompter().alert("Error", text);
    PostQuitMessage(0);
}

void TMainForm::end_session() {
    // Windows may end the process as soon as this message is answered: the work is done now,
    // and nothing waits for a person to answer.
    session_ending_ = true;
    if (design_ && design_->undo.dirty()) {
        const std::string error = save_desktop();
        if (!error.empty()) log_error("as the session ends, saving the desktop: " + error);
    }
    for (const std::string& f : station_.end_of_shell().run()) log_error("as the session ends, " + f);
    DestroyWindow(hwnd());
}

DateTime TMainForm::now() const {
    static SystemClock system_clock;
    return clock_ ? clock_->now() : system_clock.now();
}

void TMainForm::layout() {
    RECT client;
    GetClientRect(hwnd(), &client);
    const int width = client.right;
    RECT tab_rect{0, 0, width, 0};
    TabCtrl_AdjustRect(tabs_, TRUE, &tab_rect);
    const int tab_h = std::max<int>(22, -tab_rect.top + 2);
    const int status_h = 22;
    top_ = vx::shell::top_panel_layout(station_.desktop().options, status_h, tab_h);

    const bool tabs_shown = top_.visible && station_.desktop().options.page_tabs;
    const int row_y = tabs_shown && top_.status_area ? std::min(tab_h, top_.height - status_h) : 0;
    ShowWindow(tabs_, tabs_shown ? SW_SHOW : SW_HIDE);
    if (tabs_shown)
        MoveWindow(tabs_, 0, 0, width - (station_.desktop().options.ani_icon ? kIconBox + 4 : 0), tab_h,
                   TRUE);

    const bool status_shown = top_.status_area && station_.desktop().options.status_bar;
    ShowWindow(status_, status_shown ? SW_SHOW : SW_HIDE);
    if (status_shown) MoveWindow(status_, 0, row_y, 200, status_h, TRUE);
    const bool icon_shown = top_.status_area && station_.desktop().options.ani_icon;
    ShowWindow(paint_box_, icon_shown ? SW_SHOW : SW_HIDE);
    if (icon_shown)
        MoveWindow(paint_box_, width - kIconBox - 2, (top_.height - kIconBox) / 2, kIconBox, kIconBox, TRUE);
    const int panel_left = status_shown ? 204 : 4;
    const int panel_right = width - (icon_shown ? kIconBox + 6 : 4);
    ShowWindow(panel6_, top_.status_area ? SW_SHOW : SW_HIDE);
    MoveWindow(panel6_, panel_left, row_y, std::max(0, panel_right - panel_left), status_h, TRUE);

    const int area_top = top_.visible ? top_.height : 0;
    MoveWindow(main_area_.hwnd(), 0, area_top, width, std::max(0, static_cast<int>(client.bottom) - area_top),
               TRUE);
    InvalidateRect(hwnd(), nullptr, FALSE);
}

void TMainForm::on_size(UINT, int, int) {
    layout();
}

void TMainForm::on_paint(HDC dc, const PAINTSTRUCT&) {
    // Only Panel1's face shows between the controls.
    RECT client;
    GetClientRect(hwnd(), &client);
    if (!top_.visible) return;
    RECT panel{0, 0, client.right, top_.height};
    FillRect(dc, &panel, GetSysColorBrush(COLOR_BTNFACE));
}

void TMainForm::update_clock() {
    if (!status_ || !IsWindowVisible(status_)) return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t time_text[64]{}, date_text[64]{};
    GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &now, nullptr, time_text, 64);
    GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, date_text, 64);
    SendMessageW(status_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(time_text));
    SendMessageW(status_, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(date_text));
}

void TMainForm::first_show() {
    if (first_shown_) return;
    first_shown_ = true;
    read_admin_file();
    if (station_.admin_state().damaged()) {
        rebuild_tabs();
        rebuild_menu();
        apply_window_options();
        show_page(nullptr);
        // The timer reads the file again until it is repaired.
        SetTimer(hwnd(), kIdMainTimer, vx::shell::main_timer_interval(nullptr), nullptr);
        return;
    }
    open_station();
}

void TMainForm::open_station() {
    // The tabs, the menu and the window options follow the desktop's arrival.
    const bool loaded =
        read_desktop(station_.settings().desktop_file, true).outcome == vx::shell::DesktopReadOutcome::Loaded;
    const auto b = vx::shell::reset_offscreen(station_.desktop().bounds, GetSystemMetrics(SM_CXSCREEN),
                                              GetSystemMetrics(SM_CYSCREEN));
    if (b.width > 0 && b.height > 0 && !IsZoomed(hwnd()))
        SetWindowPos(hwnd(), nullptr, b.left, b.top, b.width, b.height, SWP_NOZORDER | SWP_NOACTIVATE);
    show_first_tab();
    // No usable desktop: one built from what Windows shows, offered to whoever the menu lets
    // reach "&New"; declined, or not offered, the administrator lays one out on "Page 1", if the
    // menu would let this user reach "&Setup" at all. Each password is asked as from the menu.
    if (!loaded && designer_at_start_ && !station_.locked()) {
        const auto& guards = station_.menu_guards();
        const auto may = [&guards](size_t guard) { return !guards || guards->slot[guard]; };
        const bool made =
            commands_.offer_new_desktop && may(vx::security::kGuardNew) && commands_.offer_new_desktop();
        if (!made && !design_ && may(vx::security::kGuardSetup)) enter_modify_mode();
    }
    start_watching_start_menu();
    start_main_timer();
}

void TMainForm::read_admin_file() {
    // The message about a damaged file, and the log-in, are modal: the activations they bring
    // must not read the file again underneath them.
    if (!station_.begin_admin_read()) return;
    struct Done {
        vx::shell::Station& station;
        ~Done() { station.end_admin_read(); }
    } done{station_};

    const SystemLocale locale;
    AnsiCodePageCodec codec;
    SYSTEMTIME st;
    GetLocalTime(&st);
    const DateTime today = make_datetime({st.wYear, st.wMonth, st.wDay}, {0, 0, 0, 0});
    const auto report = station_.read_admin_file({locale, codec, today, now(), system_environment()});
    if (!report.failure.empty()) log_error(report.failure);
    if (!report.error.empty()) prompter().alert("Error", report.error);
    if (report.outcome != vx::shell::AdminRead::Clean) return;
    if (!report.warnings.empty()) prompter().alert("Administration File", report.warnings);
    after_admin_load();
}

void TMainForm::retry_admin_file() {
    read_admin_file();
    after_admin_reread();
}

void TMainForm::after_admin_reread() {
    if (!hwnd()) return;
    if (station_.admin_state().damaged()) {
        // Locked from now on, whatever was shown.
        rebuild_tabs();
        rebuild_menu();
        show_page(nullptr);
        return;
    }
    if (!station_.opened()) {
        open_station();
        return;
    }
    rebuild_menu();
}

vx::shell::DesktopReadResult TMainForm::read_desktop(const std::string& path, bool at_start) {
    const SystemLocale locale;
    AnsiCodePageCodec codec;
    TLoadingForm loading(hwnd(), title_, path);
    const vx::shell::DesktopReadPorts ports{locale, codec, prompter(), &loading};
    vx::shell::DesktopReadResult result;
    if (at_start)
        result = station_.open_at_start(ports, now());
    else
        result = station_.open(path, ports, now());
    if (result.outcome == vx::shell::DesktopReadOutcome::Damaged) log_error(result.detail);
    return result;
}

void TMainForm::desktop_leaving() {
    // The page's objects point into the desktop: they go first.
    show_page(nullptr);
    // The designer's history and selection name records of the desktop that goes.
    if (design_) {
        main_area_.tool().release(main_area_);
        design_->selection.clear();
        design_->undo.reset();
    }
    // Pictures are looked for beside the desktop file too: another file, another wallpaper.
    loaded_wallpaper_.clear();
    wallpaper_.reset();
    loaded_tab_icon_ = -1;
}

void TMainForm::station_changed(vx::shell::StationChange what) {
    if (!hwnd()) return;
    switch (what) {
        case vx::shell::StationChange::Desktop:
            return refresh_desktop_view();
        case vx::shell::StationChange::Lock:
            if (!first_shown_) return;
            rebuild_tabs();
            if (station_.locked()) {
                rebuild_menu();
                show_page(nullptr);
            } else if (station_.opened()) {
                // The log-in that was missed has now been passed.
                show_first_tab();
            }
            return;
        case vx::shell::StationChange::User:
            return rebuild_menu();
    }
}

void TMainForm::rebuild_tabs() {
    TabCtrl_DeleteAllItems(tabs_);
    int i = 0;
    for (const model::Page* page : station_.tab_pages()) {
        std::wstring name =
            widen(page == station_.desktop().master() ? std::string(model::kMasterTab) : page->name);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = name.data();
        TabCtrl_InsertItem(tabs_, i++, &item);
    }
}

void TMainForm::rebuild_menu() {
    if (design_) return rebuild_modify_menu();
    vx::shell::MenuState state;
    state.run_minimized = station_.settings().run_minimized;
    state.confirm = station_.settings().confirm;
    state.usage_log = station_.admin_state().loaded() && station_.admin().settings.usage_log_on != 0;
    state.guards = station_.menu_guards();
    state.locked_down = station_.admin_state().damaged();
    // What nobody here carries out is not offered.
    if (!commands_.new_desktop) state.unavailable.push_back(MenuCommand::NewDesktop);
    if (!commands_.open_desktop) state.unavailable.push_back(MenuCommand::OpenDesktop);
    const auto entries = vx::shell::run_main_menu(station_.desktop(), state);
    exit_shown_ = vx::shell::command_shown(entries, MenuCommand::Exit);
    HMENU bar = CreateMenu();
    offered_commands_.clear();
    for (const auto& top : entries) {
        if (!top.visible) continue;
        HMENU sub = CreatePopupMenu();
        for (const auto& e : top.items) {
            if (!e.visible) continue;
            if (station_.locked() && e.command == MenuCommand::GotoPage) continue;
            UINT flags = e.separator() ? MF_SEPARATOR : MF_STRING;
            if (e.checked) flags |= MF_CHECKED;
            if (e.new_column) flags |= MF_MENUBARBREAK;
            const UINT id = e.command == MenuCommand::GotoPage ? kIdGotoPageFirst + e.page_index
                                                               : kIdMenuFirst + static_cast<UINT>(e.command);
            AppendMenuW(sub, flags, e.separator() ? 0 : id, widen(e.caption).c_str());
            if (!e.separator()) offered_commands_.push_back(id);
        }
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), widen(top.caption).c_str());
    }
    const HMENU old = menu_;
    menu_ = bar;
    SetMenu(hwnd(), station_.desktop().options.menu_bar ? menu_ : nullptr);
    if (old) DestroyMenu(old);
}

void TMainForm::apply_window_options() {
    main_area_.set_auto_scroll(station_.desktop().options.scrolling);
    SetMenu(hwnd(), station_.desktop().options.menu_bar ? menu_ : nullptr);
    LONG style = GetWindowLongW(hwnd(), GWL_STYLE);
    if (station_.desktop().options.sizeable)
        style |= WS_THICKFRAME | WS_MAXIMIZEBOX;
    else
        style &= ~(WS_THICKFRAME | WS_MAXIMIZEBOX);
    SetWindowLongW(hwnd(), GWL_STYLE, style);
    SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    layout();
}

bool TMainForm::select_tab(int index) {
    const auto pages = station_.tab_pages();
    if (index < 0 || index >= static_cast<int>(pages.size())) return false;
    const model::Page* page = pages[static_cast<size_t>(index)];
    // The designer passed the setup password: the pages' own ask nothing more of it.
    if (!design_ && !page->password.empty() &&
        !vx::security::password_prompt(station_.admin(), prompter(), "", page->password,
                                       static_cast<int32_t>(page->security_level))) {
        // The tab of the page still shown, or none, so that choosing this tab again asks again.
        TabCtrl_SetCurSel(tabs_, station_.current_tab());
        return false;
    }
    TabCtrl_SetCurSel(tabs_, index);
    if (design_ && page != station_.desktop().current()) {
        main_area_.tool().release(main_area_);
        design_->selection.clear();
    }
    show_page(const_cast<model::Page*>(page));
    if (design_) design_->surface_tool->selection_changed(main_area_);
    return true;
}

void TMainForm::show_page(model::Page* page) {
    station_.desktop().set_current(page);
    if (page) {
        const auto plan = vx::shell::plan_show_page(*page, loaded_wallpaper_, loaded_tab_icon_,
                                                    station_.desktop().options.page_tabs);
        // The page palette covers entries 0..254; the last one stays as the desktop load set it.
        std::vector<BYTE> buf(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * 256);
        auto* lp = reinterpret_cast<LOGPALETTE*>(buf.data());
        lp->palVersion = 0x300;
        lp->palNumEntries = 256;
        for (int i = 0; i < 256; ++i) {
            const auto& e = i < plan.palette_entries
                                ? page->palette[static_cast<size_t>(i)]
                                : station_.desktop().logical_palette[static_cast<size_t>(i)];
            lp->palPalEntry[i] = {e.red, e.green, e.blue, 0};
        }
        palette_.reset(CreatePalette(lp));
        main_area_.set_palette(palette_.get());
        for (int i = 0; i < 256; ++i) {
            const PALETTEENTRY& e = lp->palPalEntry[i];
            object_palette_.entries[static_cast<size_t>(i)] = e.peRed | (e.peGreen << 8) | (e.peBlue << 16);
        }
        SetTimer(hwnd(), kIdMainTimer, plan.timer_interval, nullptr);
        if (plan.load_wallpaper) load_wallpaper(*plan.load_wallpaper);
        if (plan.reload_tab_icon) show_tab_icon(page->tab_icon);
        loaded_tab_icon_ = page->tab_icon;
        SetWindowTextW(panel6_, widen(plan.panel_text).c_str());
    } else {
        SetWindowTextW(panel6_, station_.locked() ? L"This station is locked." : L"");
    }
    show_page_objects(page);
    main_area_.update_ranges();
    InvalidateRect(main_area_.hwnd(), nullptr, FALSE);
}

void TMainForm::show_page_objects(model::Page* page) {
    object_env_.palette = &object_palette_;
    object_env_.pictures = &pictures_;
    object_env_.library = library_pictures();
    object_env_.invalidate = [this](const RECT& r) {
        if (!main_area_.hwnd()) return;
        const POINT scroll = main_area_.scroll_pos();
        RECT client = r;
        OffsetRect(&client, -scroll.x, -scroll.y);
        InvalidateRect(main_area_.hwnd(), &client, FALSE);
    };
    object_env_.button_click = [this](model::ObjectEntry& entry) {
        if (commands_.carry_out_button)
            commands_.carry_out_button(entry);
        else
            log_info("main window: no handler for a button yet");
    };
    std::vector<std::unique_ptr<surface::PageObject>> objects;
    std::vector<surface::HostedObject*> hosted;
    for (model::ObjectEntry* entry : surface::stacking_order(station_.desktop().master(), page)) {
        objects.push_back(std::make_unique<surface::PageObject>(*entry, object_env_));
        hosted.push_back(objects.back().get());
    }
    // The surface lets go of the old objects before they go.
    main_area_.set_objects(std::move(hosted));
    page_objects_ = std::move(objects);
}

iconlib::LibraryPictures* TMainForm::library_pictures() {
    if (!library_pictures_)
        library_pictures_ = std::make_unique<iconlib::LibraryPictures>(station_.program_dir(), pictures_);
    return library_pictures_.get();
}

void TMainForm::show_tab_icon(int number) {
    KillTimer(hwnd(), kIdTabIconTimer);
    tab_frames_ = nullptr;
    HICON still = nullptr;
    if (number >= 0 && number <= 0xFFFF) {
        iconlib::LibraryPictures* library = library_pictures();
        if (const iconlib::FrameList* frames = library->frames(static_cast<uint16_t>(number))) {
            tab_frames_ = frames;
            tab_step_ = frames->steps.size() - 1;
            tab_icon_tick();
            return;
        }
        still = library->still_icon(static_cast<uint16_t>(number));
    }
    // Without a library entry the program's own icon stays.
    if (!still) still = LoadIconW(instance_, MAKEINTRESOURCEW(1));
    if (!still) still = LoadIconW(nullptr, IDI_APPLICATION);
    SendMessageW(paint_box_, STM_SETICON, reinterpret_cast<WPARAM>(still), 0);
}

void TMainForm::tab_icon_tick() {
    if (!tab_frames_ || tab_frames_->steps.empty()) return;
    tab_step_ = (tab_step_ + 1) % tab_frames_->steps.size();
    const auto& step = tab_frames_->steps[tab_step_];
    SendMessageW(paint_box_, STM_SETICON, reinterpret_cast<WPARAM>(tab_frames_->frames[step.frame].get()), 0);
    // A timer of its own: the page's animation interval paces the main tick, not the frames.
    SetTimer(hwnd(), kIdTabIconTimer,
             static_cast<UINT>(std::max<uint64_t>(10, vx::iconlib::step_delay_ms(step.rate))), nullptr);
}

void TMainForm::load_wallpaper(const std::string& name) {
    wallpaper_.reset();
    wallpaper_w_ = wallpaper_h_ = 0;
    loaded_wallpaper_ = name;
    for (const std::string& path :
         vx::shell::wallpaper_candidates(name, station_.program_dir(), station_.desktop().file_name)) {
        unique_hbitmap picture = imaging::load_picture(path);
        if (!picture) continue;
        const HBITMAP bmp = picture.get();
        wallpaper_ = std::move(picture);
        BITMAP info{};
        GetObjectW(bmp, sizeof info, &info);
        wallpaper_w_ = info.bmWidth;
        wallpaper_h_ = info.bmHeight;
        return;
    }
}

void TMainForm::paint_background(HDC dc, const RECT& client, POINT scroll) {
    const model::Page* page = station_.desktop().current();
    if (!page && station_.locked()) {
        // The locked screen says why, so that whoever looks after the station knows what to mend.
        fill(dc, client, kNoPageColour);
        const std::wstring text = widen(station_.locked_text());
        RECT box{client.left + 40, client.top + 40, client.right - 40, client.bottom - 40};
        const scoped_select font(dc, static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
        RECT measured = box;
        DrawTextW(dc, text.c_str(), -1, &measured, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
        const int height = measured.bottom - measured.top;
        if (height < box.bottom - box.top) box.top += (box.bottom - box.top - height) / 2;
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0, 0, 0));
        DrawTextW(dc, text.c_str(), -1, &box, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
        return;
    }
    const bool found = wallpaper_ && page && page->background == loaded_wallpaper_;
    const auto mode = vx::shell::background_mode(page, found);
    if (mode == vx::shell::BackgroundMode::Silver) return fill(dc, client, kNoPageColour);
    const COLORREF colour = colour_of(page->background_color);
    if (mode == vx::shell::BackgroundMode::Colour) return fill(dc, client, colour);

    const unique_memory_dc mem(CreateCompatibleDC(dc));
    const scoped_select bitmap(mem.get(), wallpaper_.get());
    if (mode == vx::shell::BackgroundMode::Tile) {
        for (auto [x, y] : vx::shell::tile_origins(wallpaper_w_, wallpaper_h_, client.right, client.bottom,
                                                   scroll.x % std::max(1, wallpaper_w_),
                                                   scroll.y % std::max(1, wallpaper_h_)))
            BitBlt(dc, x, y, wallpaper_w_, wallpaper_h_, mem.get(), 0, 0, SRCCOPY);
    } else if (mode == vx::shell::BackgroundMode::Centre) {
        const auto c = vx::shell::centre_layout(wallpaper_w_, wallpaper_h_, client.right, client.bottom);
        BitBlt(dc, c.picture.left, c.picture.top, wallpaper_w_, wallpaper_h_, mem.get(), 0, 0, SRCCOPY);
        for (const auto& b : c.bands) fill(dc, RECT{b.left, b.top, b.right, b.bottom}, colour);
    } else {
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, 0, 0, client.right, client.bottom, mem.get(), 0, 0, wallpaper_w_, wallpaper_h_,
                   SRCCOPY);
    }
}

void TMainForm::on_key_up(WPARAM key) {
    vx::shell::PageKey k;
    switch (key) {
        case VK_PRIOR:
            k = vx::shell::PageKey::PageUp;
            break;
        case VK_NEXT:
            k = vx::shell::PageKey::PageDown;
            break;
        case VK_HOME:
            k = vx::shell::PageKey::Home;
            break;
        case VK_ESCAPE:
            k = vx::shell::PageKey::Escape;
            break;
        case VK_END:
            k = vx::shell::PageKey::End;
            break;
        case VK_F10:
            k = vx::shell::PageKey::F10;
            break;
        default:
            return;
    }
    const int count = station_.tab_count();
    const auto action = vx::shell::page_key_action(k, current_tab(), count);
    if (action.login) run_seam(commands_.login, "log-in");
    if (action.tab) select_tab(*action.tab);
}

void TMainForm::run_seam(const std::function<void()>& f, const char* what) {
    if (f)
        f();
    else
        log_info(std::string("main window: no handler for ") + what + " yet");
}

void TMainForm::show_popup(POINT screen) {
    // Without a menu bar the popup is the only menu, so the setting cannot take it away then.
    if (!menu_ || (station_.desktop().options.menu_bar && !station_.settings().allow_popup)) return;
    const auto& guard = station_.admin().guards[vx::security::kGuardRunPopup];
    if (!guard.password.empty() &&
        !vx::security::password_prompt(station_.admin(), prompter(), "", guard.password, guard.level))
        return;
    HMENU popup = CreatePopupMenu();
    const int count = GetMenuItemCount(menu_);
    wchar_t text[128];
    for (int i = 0; i < count; ++i) {
        GetMenuStringW(menu_, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
        AppendMenuW(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(GetSubMenu(menu_, i)), text);
    }
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0, hwnd(), nullptr);
    // The submenus belong to the main menu: detach them before the popup goes.
    while (GetMenuItemCount(popup) > 0) RemoveMenu(popup, 0, MF_BYPOSITION);
    DestroyMenu(popup);
}

void TMainForm::carry_out(MenuCommand command, int page_index) {
    switch (command) {
        case MenuCommand::NewDesktop:
            return run_seam(commands_.new_desktop, "New");
        case MenuCommand::OpenDesktop:
            return run_seam(commands_.open_desktop, "Open");
        case MenuCommand::Setup:
            enter_modify_mode();
            return;
        case MenuCommand::Run:
            return run_seam(commands_.run_program, "Run");
        case MenuCommand::Exit:
            if (commands_.exit)
                commands_.exit();
            else
                PostMessageW(hwnd(), WM_CLOSE, 0, 0);
            return;
        case MenuCommand::GotoPage:
            select_tab(page_index);
            return;
        case MenuCommand::MinimizeOnRun:
            station_.edit_settings().run_minimized = !station_.settings().run_minimized;
            return rebuild_menu();
        case MenuCommand::ConfirmExecution:
            station_.edit_settings().confirm = !station_.settings().confirm;
            return rebuild_menu();
        case MenuCommand::ViewUsageLog:
            return run_seam(commands_.view_usage_log, "View Usage Log");
        case MenuCommand::HelpContents:
            return run_seam(commands_.help_contents, "Help");
        case MenuCommand::About:
            return show_about();
        case MenuCommand::DesktopSetup:
            return show_setup_form();
        case MenuCommand::None:
            return;
        default:
            return carry_out_modify(command);
    }
}

bool TMainForm::on_command(int id, int, HWND) {
    // A menu command arrives from an item the user can see; one sent for an item that is not
    // there (hidden for this user, or locked away) is nobody's to give.
    if (id >= kIdMenuFirst && id < kIdMainTimer &&
        std::find(offered_commands_.begin(), offered_commands_.end(), static_cast<UINT>(id)) ==
            offered_commands_.end()) {
        log_info("main window: command " + std::to_string(id) + " is not in the menu");
        return true;
    }
    if (id >= kIdGotoPageFirst && id < kIdMainTimer) {
        carry_out(MenuCommand::GotoPage, id - kIdGotoPageFirst);
        return true;
    }
    if (id >= kIdMenuFirst && id < kIdGotoPageFirst) {
        carry_out(static_cast<MenuCommand>(id - kIdMenuFirst), -1);
        return true;
    }
    return false;
}

LRESULT TMainForm::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case kFirstShowMessage:
            first_show();
            return 0;
        case kCommandCloseMessage:
            if (may_close(false)) DestroyWindow(hwnd());
            return 0;
        case WM_SYSCOMMAND:
            // The close box, the system menu and Alt+F4 (which the default handling turns into
            // this command, with or without a system menu) are all closes from the system.
            if ((wparam & 0xFFF0) == SC_CLOSE) {
                if (may_close(true)) DestroyWindow(hwnd());
                return 0;
            }
            break;
        case WM_ENDSESSION:
            if (wparam) end_session();
            return 0;
        case WM_SYSCOLORCHANGE:
        case WM_DISPLAYCHANGE:
            // Objects may be drawn in system colours; faces kept from before show the old ones.
            surface::forget_kept_faces();
            if (main_area_.hwnd()) InvalidateRect(main_area_.hwnd(), nullptr, FALSE);
            break;
        case WM_ACTIVATE:
            if (LOWORD(wparam) == WA_INACTIVE) {
                keys_.clear();
            } else if (first_shown_ && station_.admin_state().read_on_activation(file_exists(
                                           vx::security::admin_file_path(station_.settings().admin_dir)))) {
                // Until an administration file was read, every activation looks for one again; a
                // damaged one is tried again too.
                retry_admin_file();
            }
            break;
        case WM_KILLFOCUS:
            keys_.clear();
            break;
        case WM_TIMER:
            if (wparam == kIdTabIconTimer) {
                tab_icon_tick();
                return 0;
            }
            if (wparam == kIdMainTimer) {
                if (station_.admin_state().read_on_timer(now())) retry_admin_file();
                update_clock();
                if (commands_.tick) commands_.tick();
                return 0;
            }
            break;
        case WM_KEYDOWN:
            if (design_ && design_key(message, wparam, lparam)) return 0;
            if (on_key_down(wparam, lparam)) return 0;
            break;
        case WM_SYSKEYDOWN:
            if (on_key_down(wparam, lparam)) return 0;
            break;
        case WM_KEYUP:
        case WM_SYSKEYUP:
            if (on_key_released(wparam, message == WM_SYSKEYUP)) return 0;
            break;
        case WM_SYSCHAR:
            if (swallow_syschar_) {
                swallow_syschar_ = false;
                return 0;
            }
            break;
        case WM_NOTIFY: {
            const auto* hdr = reinterpret_cast<const NMHDR*>(lparam);
            if (hdr->hwndFrom == tabs_ && hdr->code == TCN_SELCHANGE) {
                const int wanted = TabCtrl_GetCurSel(tabs_);
                select_tab(wanted);
                SetFocus(hwnd());
                return 0;
            }
            break;
        }
        case WM_INITMENUPOPUP:
            if (design_) update_menu_state(reinterpret_cast<HMENU>(wparam));
            break;
        case WM_DROPFILES:
            drop_files(reinterpret_cast<HDROP>(wparam));
            return 0;
        case WM_MOUSEMOVE:
            if (page_drag_) {
                SetCursor(LoadCursorW(nullptr, IDC_UPARROW));
                return 0;
            }
            break;
        case WM_LBUTTONUP:
            if (page_drag_) {
                end_page_drag(POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)}, true);
                return 0;
            }
            break;
        case WM_CAPTURECHANGED:
            if (page_drag_ && reinterpret_cast<HWND>(lparam) != hwnd()) end_page_drag(POINT{}, false);
            break;
        case WM_CONTEXTMENU:
            if (reinterpret_cast<HWND>(wparam) == main_area_.hwnd()) {
                show_popup(POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
                return 0;
            }
            break;
        default:
            break;
    }
    return Window::handle_message(message, wparam, lparam);
}

// ---- Log-in at start, system keys, Desktop Setup and About -------------------------------

SessionApi& TMainForm::session() {
    return station_.session();
}

void TMainForm::after_admin_load() {
    if (station_.after_admin_load()) run_seam(commands_.login, "log-in");
}

bool TMainForm::log_in() {
    const vx::shell::LoginStart start = station_.begin_login();
    switch (start.refused) {
        case vx::shell::LoginRefusal::None:
            break;
        case vx::shell::LoginRefusal::AlreadyOpen:
            log_info("log-in: the dialog is open already");
            return false;
        case vx::shell::LoginRefusal::NobodyCanPass:
            log_info("log-in: no users in the administration file");
            return false;
        case vx::shell::LoginRefusal::Damaged:
            return false;
    }
    INT_PTR result = 0;
    {
        // However the dialog ends, it is no longer open.
        struct Open {
            vx::shell::Station& station;
            ~Open() { station.login_closed(); }
        } open{station_};
        static SystemClock system_clock;
        vx::security::LoginPorts ports{dde_item_, directory_attributes_, session()};
        win::security::LoginContext context{station_.edit_admin(),      clock_ ? *clock_ : system_clock,
                                            station_.hooks(),           ports,
                                            station_.encryption_mark(), std::nullopt};
        win::security::LoginDialog dialog(context);
        result = dialog.run(hwnd());
    }
    // The station follows: a lock for a demanded log-in nobody passed, the menu for one passed.
    if (!station_.end_login(start, result == IDOK)) {
        log_error("log-in: the dialog ended without a log-in (result " + std::to_string(result) + ")");
        return false;
    }
    return true;
}

void TMainForm::show_help(int topic) {
    if (commands_.help_topic)
        commands_.help_topic(topic);
    else
        log_info("main window: no handler for help topic " + std::to_string(topic) + " yet");
}

void TMainForm::show_about() {
    TSplashForm about([this](int topic) { show_help(topic); });
    about.run(hwnd());
}

void TMainForm::show_setup_form() {
    wchar_t temp[MAX_PATH * 2]{};
    const DWORD n = GetEnvironmentVariableW(L"TEMP", temp, static_cast<DWORD>(std::size(temp)));
    const std::string windows_temp = n > 0 && n < std::size(temp) ? narrow(temp) : std::string();

    SetupFormValue value;
    value.values = vx::shell::setup_values(station_.settings(), station_.desktop().options, windows_temp);
    value.windows_temp = windows_temp;
    value.show_help = [this](int topic) { show_help(topic); };
    value.browse = [this](std::string& directory) {
        return select_directory(hwnd(), "Select a Temporary Directory", directory, false,
                                station_.admin().drives);
    };
    TSetupForm form(value);
    if (form.run(hwnd()) != IDOK) return;

    if (!profile_ && !own_profile_) own_profile_ = std::make_unique<Win32Profile>();
    Profile& profile = profile_ ? *profile_ : *own_profile_;
    std::string border = "1";
    try {
        border = profile.read("WIN.INI", "Windows", "BorderWidth", "1");
    } catch (const std::exception& e) {
        log_error(std::string("reading BorderWidth: ") + e.what());
    }
    apply_setup_result(vx::shell::apply_setup(value.values, station_.settings(), station_.desktop().options,
                                              windows_temp, border));
}

void TMainForm::apply_setup_result(const vx::shell::SetupResult& result) {
    station_.edit_settings() = result.settings;
    station_.desktop().options = result.options;
    apply_window_options();
    if (result.size_change != 0 && !IsZoomed(hwnd()) && !IsIconic(hwnd())) {
        RECT r;
        GetWindowRect(hwnd(), &r);
        SetWindowPos(hwnd(), nullptr, 0, 0, r.right - r.left + result.size_change,
                     r.bottom - r.top + result.size_change, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The page title panel shows the name only while the tabs do not.
    const model::Page* page = station_.desktop().current();
    SetWindowTextW(panel6_, page && !station_.desktop().options.page_tabs ? widen(page->name).c_str() : L"");
    // Kept at once, not only at exit: a station that loses power keeps what the administrator chose.
    const std::string error = station_.save_settings();
    if (!error.empty()) prompter().alert("Error", error);
}

bool TMainForm::on_close() {
    // WM_CLOSE, from the default handling of the system's close or from another program.
    // Swallowing the message keeps the window open.
    return !may_close(true);
}

void TMainForm::close_by_command() {
    if (hwnd()) PostMessageW(hwnd(), kCommandCloseMessage, 0, 0);
}

bool TMainForm::may_close(bool from_system) {
    if (!commands_.may_close) return true;
    // A second close while the first one's questions are up is refused, not asked twice.
    if (closing_) return false;
    closing_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{closing_};
    return commands_.may_close(from_system);
}

bool TMainForm::on_key_down(WPARAM key, LPARAM flags) {
    // Modifier keys alone are never a speed key.
    if (key > 0xFF || key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU) return false;
    std::uint16_t shortcut = static_cast<std::uint16_t>(key);
    if (GetKeyState(VK_SHIFT) < 0) shortcut |= model::kShortcutShift;
    if (GetKeyState(VK_CONTROL) < 0) shortcut |= model::kShortcutCtrl;
    if (GetKeyState(VK_MENU) < 0) shortcut |= model::kShortcutAlt;
    keys_.press(static_cast<std::uint16_t>(key), shortcut, (flags & (LPARAM{1} << 30)) != 0);
    // F10 is the log-in key here, never the menu bar's keyboard mode.
    if (key == VK_F10) return true;
    const bool speed =
        !station_.locked() && !design_ && commands_.is_speed_key && commands_.is_speed_key(shortcut);
    if (speed && (shortcut & model::kShortcutAlt)) swallow_syschar_ = true;
    return speed;
}

bool TMainForm::on_key_released(WPARAM key, bool system_key) {
    if (key > 0xFF) return false;
    const std::uint16_t shortcut = keys_.release(static_cast<std::uint16_t>(key));
    if (shortcut == 0) return key == VK_F10;
    if (design_) {
        // In the designer a speed key opens its button's properties instead of running it.
        if (const model::ObjectId id = design_speed_key_button(shortcut)) {
            edit_object(id);
            return true;
        }
    } else if (!station_.locked() && commands_.speed_key && commands_.speed_key(shortcut)) {
        return true;
    }
    // F1 alone, unless a button took it as its speed key, is the help's contents: the menu's
    // "&Contents", so only for a user who has it.
    if (key == VK_F1 && shortcut == VK_F1) {
        on_command(kIdMenuFirst + static_cast<int>(MenuCommand::HelpContents), 0, nullptr);
        return true;
    }
    // Other releases with Alt held (Alt+letter of the menu) keep their default handling.
    if (system_key && key != VK_F10) return false;
    on_key_up(key);
    return true;
}

void TMainForm::refresh_desktop_view() {
    rebuild_tabs();
    rebuild_menu();
    apply_window_options();
}

bool TMainForm::open_desktop_file(const std::string& path) {
    return read_desktop(path, false).outcome == vx::shell::DesktopReadOutcome::Loaded;
}

void TMainForm::show_first_tab() {
    // No tab is selected while a page's password is asked (the tab strip selects its first tab
    // by itself), nor after a refusal: choosing one asks again.
    show_page(nullptr);
    TabCtrl_SetCurSel(tabs_, -1);
    const auto pages = station_.tab_pages();
    if (pages.empty()) return;
    // A protected page shows only through its password.
    select_tab(vx::shell::first_tab_to_show(pages, station_.admin()));
}

void TMainForm::stop_main_timer() {
    KillTimer(hwnd(), kIdMainTimer);
}

void TMainForm::start_main_timer() {
    SetTimer(hwnd(), kIdMainTimer, vx::shell::main_timer_interval(station_.desktop().current()), nullptr);
}

}  // namespace vx::win::shell
