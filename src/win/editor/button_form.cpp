#include "win/editor/button_form.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "editor/button_properties.h"
#include "iconlib/library.h"
#include "model/shortcut.h"
#include "objects/button_paint.h"
#include "security/page_password.h"
#include "win/editor/button_form_ids.h"
#include "win/editor/color_palette.h"
#include "win/editor/popup_palette.h"
#include "win/iconlib/icon_form.h"
#include "win/iconlib/library_pictures.h"
#include "win/iconlib/win_icon_source.h"
#include "win/objects/gdi_canvas.h"
#include "win/security/security_dialogs.h"
#include "win/security/security_resources.h"
#include "win/shell/sound.h"
#include "win/util/handle.h"
#include "win/util/modeless.h"
#include "win/util/text.h"
#include "win/util/window.h"
#include "help/topics.h"

namespace vx::win::editor {
namespace {

namespace core = vx::editor;

constexpr const char* kCaption = "Icon / Control Attributes";

// The notebook's pages: the four kinds' first pages, then the pages of tabs 1 to 4.
enum NotebookPage { kSoftware, kPages, kMenu, kDialer, kAppearance, kMiscellaneous, kPassword, kTimed };

const std::array<std::vector<int>, 8> kPageControls = {{
    {IDC_BTN_COMMAND_LABEL, IDC_BTN_COMMAND, IDC_BTN_DIR_LABEL, IDC_BTN_DIR, IDC_BTN_FIND, IDC_BTN_SCRIPTS},
    {IDC_BTN_PAGE_RADIO, IDC_BTN_PAGE_LIST, IDC_BTN_DESK_RADIO, IDC_BTN_DESK_FILE, IDC_BTN_DESK_BROWSE},
    {IDC_BTN_MENU_TEXT_LABEL, IDC_BTN_MENU_TEXT, IDC_BTN_MENU_ACTION_LABEL, IDC_BTN_MENU_ACTIONS,
     IDC_BTN_MENU_INSERT_LINE, IDC_BTN_MENU_INSERT_ACTION},
    {IDC_BTN_ADDRESS_LABEL, IDC_BTN_ADDRESS, IDC_BTN_WEB},
    {IDC_BTN_STYLE_LABEL,
     IDC_BTN_STYLE,
     IDC_BTN_STYLE_NUMBER,
     IDC_BTN_PREVIEW,
     IDC_BTN_ALIGN_LEFT,
     IDC_BTN_ALIGN_CENTER,
     IDC_BTN_ALIGN_RIGHT,
     IDC_BTN_SHOW_ICON,
     IDC_BTN_FILL_TEXT,
     IDC_BTN_SHOW_CURSOR,
     IDC_BTN_ICON,
     IDC_BTN_CURSOR,
     IDC_BTN_TOP_COLOR,
     IDC_BTN_BOTTOM_COLOR,
     IDC_BTN_TOP_SAMPLE,
     IDC_BTN_BOTTOM_SAMPLE,
     IDC_BTN_DITHER,
     IDC_BTN_X_LABEL,
     IDC_BTN_X,
     IDC_BTN_Y_LABEL,
     IDC_BTN_Y,
     IDC_BTN_W_LABEL,
     IDC_BTN_W,
     IDC_BTN_H_LABEL,
     IDC_BTN_H},
    {IDC_BTN_MINIMIZED, IDC_BTN_MAXIMIZED, IDC_BTN_HIDDEN, IDC_BTN_ONE_COPY, IDC_BTN_PLAY_SOUND,
     IDC_BTN_SOUND_LABEL, IDC_BTN_SOUND, IDC_BTN_SOUND_TEST, IDC_BTN_SOUND_BROWSE},
    {IDC_BTN_PASSWORD_LABEL, IDC_BTN_PASSWORD, IDC_BTN_LAUNCH_PASSWORD, IDC_BTN_EDIT_PASSWORD, IDC_BTN_SAFE,
     IDC_BTN_ADMIN_PANEL, IDC_BTN_LEVEL_LABEL, IDC_BTN_LEVEL, IDC_BTN_GROUP_LABEL, IDC_BTN_GROUP},
    {IDC_BTN_EVERY, IDC_BTN_DAY_FIRST + 0, IDC_BTN_DAY_FIRST + 1, IDC_BTN_DAY_FIRST + 2,
     IDC_BTN_DAY_FIRST + 3, IDC_BTN_DAY_FIRST + 4, IDC_BTN_DAY_FIRST + 5, IDC_BTN_DAY_FIRST + 6,
     IDC_BTN_DAY_FIRST + 7, IDC_BTN_DAY_FIRST + 8, IDC_BTN_DAY_FIRST + 9, IDC_BTN_DAY_FIRST + 10,
     IDC_BTN_DAY_FIRST + 11, IDC_BTN_TIME_LABEL, IDC_BTN_TIME, IDC_BTN_ON_DATE, IDC_BTN_DATE},
}};
constexpr std::array<int, 5> kAboveNotebook = {IDC_BTN_TITLE_LABEL, IDC_BTN_TITLE, IDC_BTN_KEY_LABEL,
                                               IDC_BTN_KEY, IDC_BTN_SHOW_KEY};
constexpr std::array<int, 4> kWindowOptions = {IDC_BTN_MINIMIZED, IDC_BTN_MAXIMIZED, IDC_BTN_HIDDEN,
                                               IDC_BTN_ONE_COPY};
constexpr std::array<int, 5> kAdminPanel = {IDC_BTN_ADMIN_PANEL, IDC_BTN_LEVEL_LABEL, IDC_BTN_LEVEL,
                                            IDC_BTN_GROUP_LABEL, IDC_BTN_GROUP};
constexpr std::array<int, 4> kKindRadios = {IDC_BTN_KIND_PROGRAM, IDC_BTN_KIND_PAGE, IDC_BTN_KIND_MENU,
                                            IDC_BTN_KIND_BROWSER};
constexpr std::array<int, 3> kAlignRadios = {IDC_BTN_ALIGN_LEFT, IDC_BTN_ALIGN_CENTER, IDC_BTN_ALIGN_RIGHT};
// The notebook in dialog units: below the title and speed key on tab 0, taller on the others.
constexpr RECT kNotebookWithTitle{7, 68, 7 + 316, 68 + 164};
constexpr RECT kNotebookAlone{7, 32, 7 + 316, 32 + 200};
constexpr int kMaxStyle = 28;

// Pop-up menu commands (TrackPopupMenu hands them back; they never reach WM_COMMAND).
constexpr UINT kTemplateItem = 1;  // + the template's position
constexpr UINT kSeparatorItem = 40;
constexpr UINT kBlankItem = 41;
constexpr UINT kRunApplicationItem = 42;
constexpr UINT kExitItem = 43;
constexpr UINT kPageItem = 100;     // + the page choice's position
constexpr UINT kButtonItem = 1000;  // + the titled button's position

std::wstring joined_lines(const std::vector<std::string>& lines) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i) text += "\r\n";
        text += lines[i];
    }
    return widen(text);
}

bool file_exists(const std::string& path) {
    const DWORD a = GetFileAttributesW(widen(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

class TButtonForm final : public Dialog {
public:
    explicit TButtonForm(ButtonFormRequest request)
        : r_(std::move(request)), library_(r_.program_dir, pictures_) {}

    bool open() {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES | ICC_DATE_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&icc);
        HINSTANCE instance = r_.instance ? r_.instance : GetModuleHandleW(nullptr);
        if (!create_modeless(instance, MAKEINTRESOURCEW(IDD_BUTTON_FORM), r_.owner)) return false;
        opened_ = true;
        registration_ = ModelessRegistration(hwnd());
        if (r_.owner) EnableWindow(r_.owner, FALSE);
        ShowWindow(hwnd(), SW_SHOW);
        return true;
    }

    // The window is gone: hand over what OK made, then say so.
    void closed() {
        registration_ = ModelessRegistration();
        if (!opened_) return;
        if (result_ && r_.ok) r_.ok(*result_);
        if (r_.closed) r_.closed();
    }

protected:
    bool on_init() override;
    bool on_ok() override;
    void on_cancel() override { release_owner(); }
    bool on_command(int id, int code, HWND control) override;
    INT_PTR handle_message(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    HWND ctl(int id) const { return item(id); }
    bool checked(int id) const { return IsDlgButtonChecked(hwnd(), id) == BST_CHECKED; }
    void check(int id, bool on) const { CheckDlgButton(hwnd(), id, on ? BST_CHECKED : BST_UNCHECKED); }
    void show(int id, bool on) const { ShowWindow(ctl(id), on ? SW_SHOWNA : SW_HIDE); }
    int combo_selection(int id) const { return static_cast<int>(SendMessageW(ctl(id), CB_GETCURSEL, 0, 0)); }
    void add_combo_item(int id, const std::string& text) const {
        SendMessageW(ctl(id), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(text).c_str()));
    }
    // Activation must go back to the owner before this window goes, or Windows hands it to
    // another program's window.
    void release_owner() const {
        if (r_.owner) EnableWindow(r_.owner, TRUE);
    }

    void fill_lists();
    void fill_controls(const core::ButtonProperties& p);
    core::ButtonProperties read() const;
    void set_kind(uint8_t kind);
    void show_tab(int tab);
    int current_tab() const { return TabCtrl_GetCurSel(ctl(IDC_BTN_TABS)); }
    void set_help(std::optional<int> context) {
        if (context) help_context_ = *context;
    }
    void set_style(int style);
    void update_dither();
    void update_safe();
    void update_desk();
    void update_sound();
    void repaint_preview() const { InvalidateRect(ctl(IDC_BTN_PREVIEW), nullptr, FALSE); }
    void draw_preview(const DRAWITEMSTRUCT& d);
    void draw_sample(const DRAWITEMSTRUCT& d, model::Color c) const;
    int64_t display_colors() const { return r_.display_colors ? r_.display_colors : screen_colors(); }

    // Builders.
    void action_scripts();
    void insert_template(std::string_view text);
    void insert_line(int edit, std::string text);
    void insert_line_menu();
    void insert_action_menu();
    void find_programs();
    void browse_desk();
    void browse_sound();
    void choose_icon(bool cursor);
    void choose_color(int button, model::Color& color);
    bool choose_file(const std::string& title, const std::string& mask, std::string& path);
    UINT track_menu(HMENU menu) const;
    // The two menu lists open their builders' menus on a right click as well.
    static LRESULT CALLBACK memo_proc(HWND memo, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                      DWORD_PTR self);

    ButtonFormRequest r_;
    core::ButtonProperties props_;  // as opened: the fields no control holds come from here
    uint8_t kind_ = model::kKindProgram;
    int style_ = 1;
    model::Color color_ = 0, color2_ = 0;
    uint16_t icon_ = 0, cursor_ = 0;
    int help_context_ = vx::help::kSoftwareButtonTopic;
    std::vector<std::string> pages_;
    std::vector<std::string> titles_;
    std::vector<uint16_t> keys_;  // the speed-key list after "None"
    std::vector<std::string> groups_;
    bool admin_ = false;
    bool updating_ = false;  // controls being filled by the dialog, not typed into
    bool opened_ = false;    // callbacks are due only for a dialog that was shown
    int shown_page_ = kSoftware;
    std::optional<model::ButtonData> result_;
    objects::PictureTable pictures_;
    iconlib::LibraryPictures library_;
    unique_hbitmap safe_open_, safe_closed_;
    ModelessRegistration registration_;
};

std::unique_ptr<TButtonForm> g_form;
// The dialog that closed last: its object outlives the window's final message.
std::unique_ptr<TButtonForm> g_closed;

bool TButtonForm::on_init() {
    updating_ = true;
    SetWindowPos(ctl(IDC_BTN_TABS), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    props_ = core::properties_of(r_.button, file_exists);
    fill_lists();
    fill_controls(props_);
    for (int id : {IDC_BTN_MENU_TEXT, IDC_BTN_MENU_ACTIONS})
        SetWindowSubclass(ctl(id), &TButtonForm::memo_proc, 0, reinterpret_cast<DWORD_PTR>(this));
    safe_open_ = security::load_picture(IDB_SAFE_OPEN);
    safe_closed_ = security::load_picture(IDB_SAFE_CLOSED);
    update_safe();
    update_desk();
    set_kind(core::editor_kind(props_.kind));
    updating_ = false;
    update_sound();
    return true;
}

void TButtonForm::fill_lists() {
    if (r_.desktop) pages_ = core::page_choices(*r_.desktop);
    if (r_.page) titles_ = core::titled_buttons(*r_.page);
    for (const std::string& p : pages_) add_combo_item(IDC_BTN_PAGE_LIST, p);

    const std::bitset<core::kSpeedKeyCount> free =
        r_.page ? core::free_speed_keys(*r_.page) : std::bitset<core::kSpeedKeyCount>().set();
    keys_ = core::offered_speed_keys(free, r_.button.speed_key);
    add_combo_item(IDC_BTN_KEY, "None");
    for (uint16_t k : keys_) add_combo_item(IDC_BTN_KEY, model::shortcut_to_text(k));

    if (r_.admin) {
        const vx::security::PagePasswordView view = vx::security::page_password_view(*r_.admin);
        groups_ = view.groups;
        admin_ = view.show_level_panel;
    }
    for (const std::string& g : groups_) add_combo_item(IDC_BTN_GROUP, g);

    HWND tabs = ctl(IDC_BTN_TABS);
    TCITEMW tab{};
    tab.mask = TCIF_TEXT;
    for (const std::string& name : core::button_tabs(model::kKindProgram)) {
        std::wstring text = widen(name);
        tab.pszText = text.data();
        TabCtrl_InsertItem(tabs, TabCtrl_GetItemCount(tabs), &tab);
    }
    TabCtrl_SetCurSel(tabs, 0);

    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE, 0, kMaxStyle, 0, 0, 0};
    SetScrollInfo(ctl(IDC_BTN_STYLE), SB_CTL, &si, FALSE);
    for (int id : {IDC_BTN_X, IDC_BTN_Y, IDC_BTN_W, IDC_BTN_H}) SendMessageW(ctl(id), EM_LIMITTEXT, 4, 0);
    SendMessageW(ctl(IDC_BTN_PASSWORD), EM_LIMITTEXT, core::kButtonPasswordMax, 0);
    SendMessageW(ctl(IDC_BTN_ADDRESS), EM_LIMITTEXT, model::kMaxBrowserAddress, 0);
    SendMessageW(ctl(IDC_BTN_LEVEL), EM_LIMITTEXT, 4, 0);
}

void TButtonForm::fill_controls(const core::ButtonProperties& p) {
    set_item_text(IDC_BTN_TITLE, p.title);
    int key = 0;
    for (size_t i = 0; i < keys_.size(); ++i) {
        if (keys_[i] == p.speed_key) key = static_cast<int>(i) + 1;
    }
    SendMessageW(ctl(IDC_BTN_KEY), CB_SETCURSEL, static_cast<WPARAM>(key), 0);
    check(IDC_BTN_SHOW_KEY, p.show_speed_key);

    SetWindowTextW(ctl(IDC_BTN_COMMAND), joined_lines(p.command).c_str());
    set_item_text(IDC_BTN_DIR, p.directory);
    check(p.desk ? IDC_BTN_DESK_RADIO : IDC_BTN_PAGE_RADIO, true);
    SendMessageW(ctl(IDC_BTN_PAGE_LIST), CB_SETCURSEL, core::page_choice_index(pages_, p.desk ? "" : p.page),
                 0);
    set_item_text(IDC_BTN_DESK_FILE, p.desk_file);
    SetWindowTextW(ctl(IDC_BTN_MENU_TEXT), joined_lines(p.menu_text).c_str());
    SetWindowTextW(ctl(IDC_BTN_MENU_ACTIONS), joined_lines(p.menu_actions).c_str());
    set_item_text(IDC_BTN_ADDRESS, p.address);
    check(IDC_BTN_WEB, p.web_browser);

    color_ = p.color;
    color2_ = p.color2;
    icon_ = p.icon;
    cursor_ = p.cursor;
    set_style(p.style);
    const int align = p.text_align >= 0 && p.text_align < 3 ? p.text_align : 0;
    check(kAlignRadios[static_cast<size_t>(align)], true);
    check(IDC_BTN_SHOW_ICON, p.show_icon);
    check(IDC_BTN_FILL_TEXT, p.fill_behind_text);
    check(IDC_BTN_SHOW_CURSOR, p.show_cursor);
    check(IDC_BTN_DITHER, p.dither);
    set_item_text(IDC_BTN_X, p.x);
    set_item_text(IDC_BTN_Y, p.y);
    set_item_text(IDC_BTN_W, p.w);
    set_item_text(IDC_BTN_H, p.h);

    check(IDC_BTN_MINIMIZED, p.run_minimized);
    check(IDC_BTN_MAXIMIZED, p.run_maximized);
    check(IDC_BTN_HIDDEN, p.run_hidden);
    check(IDC_BTN_ONE_COPY, p.single_instance);
    check(IDC_BTN_PLAY_SOUND, p.play_sound);
    set_item_text(IDC_BTN_SOUND, p.sound_file);

    set_item_text(IDC_BTN_PASSWORD, p.password);
    check(IDC_BTN_LAUNCH_PASSWORD, p.launch_password);
    check(IDC_BTN_EDIT_PASSWORD, p.edit_password);
    set_item_text(IDC_BTN_LEVEL, p.level);
    if (p.group >= 0 && p.group < static_cast<int>(groups_.size()))
        SendMessageW(ctl(IDC_BTN_GROUP), CB_SETCURSEL, static_cast<WPARAM>(p.group), 0);

    check(IDC_BTN_EVERY, p.launch_day & model::kLaunchScheduled);
    check(IDC_BTN_ON_DATE, p.launch_day & core::kLaunchOnDate);
    for (size_t i = 0; i < core::kLaunchDayButtons.size(); ++i)
        check(IDC_BTN_DAY_FIRST + static_cast<int>(i), p.launch_day & core::launch_day_bit(i));
    set_item_text(IDC_BTN_TIME, p.launch_time);
    const CivilDate day = date_of(p.launch_at);
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(day.year);
    st.wMonth = static_cast<WORD>(day.month);
    st.wDay = static_cast<WORD>(day.day);
    DateTime_SetSystemtime(ctl(IDC_BTN_DATE), GDT_VALID, &st);
}

core::ButtonProperties TButtonForm::read() const {
    core::ButtonProperties p = props_;
    p.kind = kind_;
    p.title = item_text(IDC_BTN_TITLE);
    const int key = combo_selection(IDC_BTN_KEY);
    p.speed_key = key > 0 && key <= static_cast<int>(keys_.size()) ? keys_[static_cast<size_t>(key - 1)] : 0;
    p.show_speed_key = checked(IDC_BTN_SHOW_KEY);

    p.command = core::edit_lines(item_text(IDC_BTN_COMMAND));
    p.directory = item_text(IDC_BTN_DIR);
    p.desk = checked(IDC_BTN_DESK_RADIO);
    const int page = combo_selection(IDC_BTN_PAGE_LIST);
    if (page >= 0 && page < static_cast<int>(pages_.size())) p.page = pages_[static_cast<size_t>(page)];
    p.desk_file = item_text(IDC_BTN_DESK_FILE);
    p.menu_text = core::edit_lines(item_text(IDC_BTN_MENU_TEXT));
    p.menu_actions = core::edit_lines(item_text(IDC_BTN_MENU_ACTIONS));
    p.address = item_text(IDC_BTN_ADDRESS);
    p.web_browser = checked(IDC_BTN_WEB);

    p.style = style_;
    p.color = color_;
    p.color2 = color2_;
    p.icon = icon_;
    p.cursor = cursor_;
    for (size_t i = 0; i < kAlignRadios.size(); ++i) {
        if (checked(kAlignRadios[i])) p.text_align = static_cast<int32_t>(i);
    }
    p.show_icon = checked(IDC_BTN_SHOW_ICON);
    p.fill_behind_text = checked(IDC_BTN_FILL_TEXT);
    p.show_cursor = checked(IDC_BTN_SHOW_CURSOR);
    p.dither = checked(IDC_BTN_DITHER);
    p.x = item_text(IDC_BTN_X);
    p.y = item_text(IDC_BTN_Y);
    p.w = item_text(IDC_BTN_W);
    p.h = item_text(IDC_BTN_H);

    p.run_minimized = checked(IDC_BTN_MINIMIZED);
    p.run_maximized = checked(IDC_BTN_MAXIMIZED);
    p.run_hidden = checked(IDC_BTN_HIDDEN);
    p.single_instance = checked(IDC_BTN_ONE_COPY);
    p.play_sound = checked(IDC_BTN_PLAY_SOUND);
    p.sound_file = item_text(IDC_BTN_SOUND);

    p.password = item_text(IDC_BTN_PASSWORD);
    p.launch_password = checked(IDC_BTN_LAUNCH_PASSWORD);
    p.edit_password = checked(IDC_BTN_EDIT_PASSWORD);
    // Only administrators see the level and the group; for anyone else they stay as they were.
    if (admin_) {
        p.level = item_text(IDC_BTN_LEVEL);
        const int group = combo_selection(IDC_BTN_GROUP);
        if (group >= 0) p.group = group;
    }

    uint16_t day = 0;
    if (checked(IDC_BTN_EVERY)) day |= model::kLaunchScheduled;
    if (checked(IDC_BTN_ON_DATE)) day |= core::kLaunchOnDate;
    for (size_t i = 0; i < core::kLaunchDayButtons.size(); ++i) {
        if (checked(IDC_BTN_DAY_FIRST + static_cast<int>(i))) day |= core::launch_day_bit(i);
    }
    p.launch_day = day;
    p.launch_time = item_text(IDC_BTN_TIME);
    SYSTEMTIME st{};
    if (DateTime_GetSystemtime(ctl(IDC_BTN_DATE), &st) == GDT_VALID) {
        const CivilDate picked{st.wYear, st.wMonth, st.wDay};
        const CivilDate was = date_of(props_.launch_at);
        // Another day keeps the time of day; the same day keeps the moment exactly.
        if (picked.year != was.year || picked.month != was.month || picked.day != was.day)
            p.launch_at = make_datetime(picked) + (props_.launch_at - date_only(props_.launch_at));
    }
    return p;
}

void TButtonForm::set_kind(uint8_t kind) {
    kind_ = kind;
    for (size_t i = 0; i < kKindRadios.size(); ++i) check(kKindRadios[i], i + 1 == kind);
    const std::vector<std::string> names = core::button_tabs(kind);
    HWND tabs = ctl(IDC_BTN_TABS);
    std::wstring first = widen(names[0]);
    TCITEMW tab{};
    tab.mask = TCIF_TEXT;
    tab.pszText = first.data();
    TabCtrl_SetItem(tabs, 0, &tab);
    const int count = TabCtrl_GetItemCount(tabs);
    const bool timed = names.size() > core::kTimedExecutionTab;
    if (timed && count <= core::kTimedExecutionTab) {
        std::wstring text = widen(names[core::kTimedExecutionTab]);
        tab.pszText = text.data();
        TabCtrl_InsertItem(tabs, core::kTimedExecutionTab, &tab);
    } else if (!timed && count > core::kTimedExecutionTab) {
        if (current_tab() == core::kTimedExecutionTab) TabCtrl_SetCurSel(tabs, 0);
        TabCtrl_DeleteItem(tabs, core::kTimedExecutionTab);
    }
    for (int id : kWindowOptions) EnableWindow(ctl(id), core::window_options_apply(kind));
    set_help(core::kind_help_context(kind));
    show_tab(current_tab() < 0 ? 0 : current_tab());
}

void TButtonForm::show_tab(int tab) {
    const int shown = tab == 0 ? kind_ - 1 : kAppearance + tab - 1;
    shown_page_ = shown;
    for (size_t page = 0; page < kPageControls.size(); ++page) {
        for (int id : kPageControls[page]) show(id, static_cast<int>(page) == shown);
    }
    if (shown == kAppearance) update_dither();
    if (shown == kPassword && !admin_) {
        for (int id : kAdminPanel) show(id, false);
    }
    for (int id : kAboveNotebook) show(id, tab == 0);
    RECT r = tab == 0 ? kNotebookWithTitle : kNotebookAlone;
    MapDialogRect(hwnd(), &r);
    SetWindowPos(ctl(IDC_BTN_TABS), HWND_BOTTOM, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOACTIVATE);
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void TButtonForm::set_style(int style) {
    style_ = std::clamp(style, 0, kMaxStyle);
    SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, style_, 0};
    SetScrollInfo(ctl(IDC_BTN_STYLE), SB_CTL, &si, TRUE);
    set_item_text(IDC_BTN_STYLE_NUMBER, std::to_string(style_));
    update_dither();
    repaint_preview();
}

void TButtonForm::update_dither() {
    show(IDC_BTN_DITHER, shown_page_ == kAppearance && core::dither_offered(style_, display_colors()));
}

void TButtonForm::update_safe() {
    const bool closed = GetWindowTextLengthW(ctl(IDC_BTN_PASSWORD)) > 0 &&
                        (checked(IDC_BTN_LAUNCH_PASSWORD) || checked(IDC_BTN_EDIT_PASSWORD));
    SendMessageW(ctl(IDC_BTN_SAFE), STM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>((closed ? safe_closed_ : safe_open_).get()));
}

void TButtonForm::update_desk() {
    const bool desk = checked(IDC_BTN_DESK_RADIO);
    EnableWindow(ctl(IDC_BTN_PAGE_LIST), !desk);
    EnableWindow(ctl(IDC_BTN_DESK_FILE), desk);
    EnableWindow(ctl(IDC_BTN_DESK_BROWSE), desk);
}

void TButtonForm::update_sound() {
    const bool any = GetWindowTextLengthW(ctl(IDC_BTN_SOUND)) > 0;
    EnableWindow(ctl(IDC_BTN_SOUND_TEST), any);
    if (any && !updating_) check(IDC_BTN_PLAY_SOUND, true);
}

bool TButtonForm::on_ok() {
    const core::ButtonProperties p = read();
    if (const auto error = core::validate(p)) {
        const bool level = error->field == core::ButtonField::Level;
        const int tab = level ? 3 : core::kTimedExecutionTab;
        if (tab < TabCtrl_GetItemCount(ctl(IDC_BTN_TABS))) {
            TabCtrl_SetCurSel(ctl(IDC_BTN_TABS), tab);
            show_tab(tab);
        }
        r_.message_box(hwnd(), error->message, kCaption, MB_OK | MB_ICONERROR);
        const HWND field = ctl(level ? IDC_BTN_LEVEL : IDC_BTN_TIME);
        SetFocus(field);
        SendMessageW(field, EM_SETSEL, 0, -1);
        return false;
    }
    result_ = core::apply(p, r_.button);
    release_owner();
    return true;
}

bool TButtonForm::on_command(int id, int code, HWND) {
    switch (id) {
        case IDC_BTN_KIND_PROGRAM:
        case IDC_BTN_KIND_PAGE:
        case IDC_BTN_KIND_MENU:
        case IDC_BTN_KIND_BROWSER:
            if (code == BN_CLICKED) set_kind(static_cast<uint8_t>(id - IDC_BTN_KIND_PROGRAM + 1));
            return true;
        case IDC_BTN_PAGE_RADIO:
        case IDC_BTN_DESK_RADIO:
            update_desk();
            return true;
        case IDC_BTN_FIND:
            find_programs();
            return true;
        case IDC_BTN_SCRIPTS:
            action_scripts();
            return true;
        case IDC_BTN_DESK_BROWSE:
            browse_desk();
            return true;
        case IDC_BTN_MENU_INSERT_LINE:
            insert_line_menu();
            return true;
        case IDC_BTN_MENU_INSERT_ACTION:
            insert_action_menu();
            return true;
        case IDC_BTN_ICON:
            choose_icon(false);
            return true;
        case IDC_BTN_CURSOR:
            choose_icon(true);
            return true;
        case IDC_BTN_TOP_COLOR:
            choose_color(id, color_);
            return true;
        case IDC_BTN_BOTTOM_COLOR:
            choose_color(id, color2_);
            return true;
        case IDC_BTN_SOUND_BROWSE:
            browse_sound();
            return true;
        case IDC_BTN_SOUND_TEST:
            shell::Win32Sound().play(item_text(IDC_BTN_SOUND));
            return true;
        case IDC_BTN_SOUND:
            if (code == EN_CHANGE) update_sound();
            return true;
        case IDC_BTN_PASSWORD:
        case IDC_BTN_LAUNCH_PASSWORD:
        case IDC_BTN_EDIT_PASSWORD:
            update_safe();
            return true;
        case IDHELP:
            if (r_.help) r_.help(help_context_);
            return true;
        default:
            // Title, alignment, the icon and text boxes, dither, the speed key's visibility and
            // size all show on the preview at once.
            if (code == EN_CHANGE || code == BN_CLICKED) repaint_preview();
            return false;
    }
}

INT_PTR TButtonForm::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lparam);
            if (header->idFrom == IDC_BTN_TABS && header->code == TCN_SELCHANGE) {
                const int tab = current_tab();
                set_help(core::shown_tab_help_context(kind_, tab));
                show_tab(tab);
                return TRUE;
            }
            return FALSE;
        }
        case WM_HSCROLL: {
            if (reinterpret_cast<HWND>(lparam) != ctl(IDC_BTN_STYLE)) return FALSE;
            int style = style_;
            switch (LOWORD(wparam)) {
                case SB_LINELEFT:
                    --style;
                    break;
                case SB_LINERIGHT:
                    ++style;
                    break;
                case SB_PAGELEFT:
                    style -= 5;
                    break;
                case SB_PAGERIGHT:
                    style += 5;
                    break;
                case SB_LEFT:
                    style = 0;
                    break;
                case SB_RIGHT:
                    style = kMaxStyle;
                    break;
                case SB_THUMBTRACK:
                case SB_THUMBPOSITION:
                    style = static_cast<short>(HIWORD(wparam));
                    break;
                default:
                    return TRUE;
            }
            set_style(style);
            return TRUE;
        }
        case WM_DRAWITEM: {
            const auto& d = *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
            if (d.CtlID == IDC_BTN_PREVIEW)
                draw_preview(d);
            else if (d.CtlID == IDC_BTN_TOP_SAMPLE)
                draw_sample(d, color_);
            else if (d.CtlID == IDC_BTN_BOTTOM_SAMPLE)
                draw_sample(d, color2_);
            else
                return FALSE;
            return TRUE;
        }
        case WM_HELP:
            if (r_.help) r_.help(help_context_);
            return TRUE;
        case WM_NCDESTROY: {
            // The object outlives its window's last message; the next dialog to close frees it.
            if (g_form.get() == this) g_closed = std::move(g_form);
            closed();
            return FALSE;
        }
        default:
            return Dialog::handle_message(message, wparam, lparam);
    }
}

void TButtonForm::draw_preview(const DRAWITEMSTRUCT& d) {
    const int w = d.rcItem.right - d.rcItem.left, h = d.rcItem.bottom - d.rcItem.top;
    unique_memory_dc memory(CreateCompatibleDC(d.hDC));
    unique_hbitmap bitmap(CreateCompatibleBitmap(d.hDC, w, h));
    if (!memory || !bitmap) return;
    {
        const scoped_select select(memory.get(), bitmap.get());
        model::ButtonData b = core::apply(read(), r_.button);
        vx::objects::ButtonState state;
        state.animate = false;
        if (b.show_icon) state.icon = library_.icon(b.icon).id;
        // The button at its own size where it fits, in the middle of the page sample.
        b.bounds.width = std::clamp(b.bounds.width, 1, w - 8);
        b.bounds.height = std::clamp(b.bounds.height, 1, h - 8);
        const int x = (w - b.bounds.width) / 2, y = (h - b.bounds.height) / 2;
        {
            objects::GdiCanvas canvas(memory.get(), &pictures_);
            canvas.fill_rect({0, 0, w, h}, r_.page_color);
        }
        const int saved = SaveDC(memory.get());
        IntersectClipRect(memory.get(), x, y, x + b.bounds.width, y + b.bounds.height);
        OffsetViewportOrgEx(memory.get(), x, y, nullptr);
        {
            objects::GdiCanvas canvas(memory.get(), &pictures_);
            vx::objects::paint_button(canvas, b, state, vx::objects::PaintEnv{r_.palette});
        }
        RestoreDC(memory.get(), saved);
        BitBlt(d.hDC, d.rcItem.left, d.rcItem.top, w, h, memory.get(), 0, 0, SRCCOPY);
    }
}

void TButtonForm::draw_sample(const DRAWITEMSTRUCT& d, model::Color c) const {
    objects::GdiCanvas canvas(d.hDC);
    canvas.fill_rect({d.rcItem.left, d.rcItem.top, d.rcItem.right, d.rcItem.bottom}, c);
}

UINT TButtonForm::track_menu(HMENU menu) const {
    POINT at{};
    GetCursorPos(&at);
    const UINT chosen =
        static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON,
                                         at.x, at.y, 0, hwnd(), nullptr));
    DestroyMenu(menu);
    return chosen;
}

void TButtonForm::action_scripts() {
    HMENU menu = CreatePopupMenu();
    for (size_t i = 0; i < core::kCommandTemplates.size(); ++i)
        AppendMenuW(menu, MF_STRING, kTemplateItem + i,
                    widen(std::string(core::kCommandTemplates[i].item)).c_str());
    const UINT chosen = track_menu(menu);
    if (chosen >= kTemplateItem && chosen < kTemplateItem + core::kCommandTemplates.size())
        insert_template(core::kCommandTemplates[chosen - kTemplateItem].text);
}

void TButtonForm::insert_template(std::string_view text) {
    HWND edit = ctl(IDC_BTN_COMMAND);
    DWORD start = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    const LRESULT line = SendMessageW(edit, EM_LINEFROMCHAR, start, 0);
    const LRESULT line_start = SendMessageW(edit, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
    const std::wstring inserted =
        widen(core::template_insertion(text, start - static_cast<DWORD>(line_start)));
    SendMessageW(edit, EM_SETSEL, start, start);
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(inserted.c_str()));
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, start, start + inserted.size());
}

void TButtonForm::insert_line(int id, std::string text) {
    HWND edit = ctl(id);
    DWORD start = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    const size_t line = static_cast<size_t>(SendMessageW(edit, EM_LINEFROMCHAR, start, 0));
    const auto lines = core::insert_line_before(core::edit_lines(item_text(id)), line, std::move(text));
    SetWindowTextW(edit, joined_lines(lines).c_str());
    SetFocus(edit);
    // The caret stays at the start of the line it was on, now one further down.
    const LRESULT at = SendMessageW(edit, EM_LINEINDEX, line + 1, 0);
    SendMessageW(edit, EM_SETSEL, at < 0 ? 0 : at, at < 0 ? 0 : at);
}

LRESULT CALLBACK TButtonForm::memo_proc(HWND memo, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                        DWORD_PTR self) {
    if (message != WM_CONTEXTMENU) return DefSubclassProc(memo, message, wparam, lparam);
    auto* form = reinterpret_cast<TButtonForm*>(self);
    try {
        if (GetDlgCtrlID(memo) == IDC_BTN_MENU_TEXT)
            form->insert_line_menu();
        else
            form->insert_action_menu();
    } catch (const std::exception&) {
        // A failed insertion leaves the list as it was; nothing may unwind into the system.
    }
    return 0;
}

void TButtonForm::insert_line_menu() {
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, kSeparatorItem, L"Insert &Separator Line");
    AppendMenuW(menu, MF_STRING, kBlankItem, L"Insert &Blank Line");
    const UINT chosen = track_menu(menu);
    if (chosen == kSeparatorItem) insert_line(IDC_BTN_MENU_TEXT, std::string(core::kSeparatorLine));
    if (chosen == kBlankItem) insert_line(IDC_BTN_MENU_TEXT, std::string(core::kBlankLine));
}

void TButtonForm::insert_action_menu() {
    HMENU menu = CreatePopupMenu();
    HMENU pages = CreatePopupMenu();
    for (size_t i = 0; i < pages_.size(); ++i)
        AppendMenuW(pages, MF_STRING, kPageItem + i, widen(pages_[i]).c_str());
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(pages), L"Goto &Page");
    AppendMenuW(menu, MF_STRING, kRunApplicationItem, L"Run &Application");
    HMENU buttons = CreatePopupMenu();
    for (size_t i = 0; i < titles_.size(); ++i)
        AppendMenuW(buttons, MF_STRING, kButtonItem + i, widen(titles_[i]).c_str());
    AppendMenuW(menu, MF_POPUP | (titles_.empty() ? MF_GRAYED : 0), reinterpret_cast<UINT_PTR>(buttons),
                L"Run Existing &Button");
    AppendMenuW(menu, MF_STRING, kExitItem, L"E&xit Vantora!");
    const UINT chosen = track_menu(menu);
    std::string line;
    if (chosen >= kPageItem && chosen < kPageItem + pages_.size()) {
        line = core::goto_page_action(pages_[chosen - kPageItem]);
    } else if (chosen >= kButtonItem && chosen < kButtonItem + titles_.size()) {
        line = core::run_button_action(titles_[chosen - kButtonItem]);
    } else if (chosen == kExitItem) {
        line = std::string(core::kExitAction);
    } else if (chosen == kRunApplicationItem) {
        std::string path;
        if (!choose_file(kRunApplicationTitle, kRunApplicationMask, path)) return;
        line = core::run_program_action(path);
    } else {
        return;
    }
    insert_line(IDC_BTN_MENU_ACTIONS, line);
}

bool TButtonForm::choose_file(const std::string& title, const std::string& mask, std::string& path) {
    std::string dir = r_.file_dir;
    bool chosen = false;
    if (r_.choose_file) {
        chosen = r_.choose_file(hwnd(), title, mask, dir, path);
    } else {
        chosen = select_file(hwnd(), title, dir, mask, r_.restricted, r_.drives, true, false, path);
    }
    if (!chosen || path.empty()) return false;
    r_.file_dir = core::program_directory(path);
    if (r_.file_dir_changed) r_.file_dir_changed(r_.file_dir);
    return true;
}

void TButtonForm::find_programs() {
    std::string path;
    if (!choose_file(kFindProgramTitle, kFindProgramMask, path)) return;
    if (iconlib::icon_count(path) > 0 &&
        r_.message_box(hwnd(), core::import_icon_question(path), std::string(core::kImportIconTitle),
                       MB_YESNO | MB_ICONQUESTION) == IDYES) {
        try {
            AnsiCodePageCodec codec;
            vx::iconlib::IconLibrary library(r_.program_dir, codec);
            iconlib::Win32IconSource source;
            icon_ = library.add_file(path, 0, &source);
            library_.clear();
            check(IDC_BTN_SHOW_ICON, true);
        } catch (const std::exception& e) {
            r_.message_box(hwnd(), e.what(), kCaption, MB_OK | MB_ICONERROR);
        }
    }
    set_item_text(IDC_BTN_DIR, core::program_directory(path));
    std::vector<std::string> lines = core::edit_lines(item_text(IDC_BTN_COMMAND));
    lines.push_back(path);
    HWND edit = ctl(IDC_BTN_COMMAND);
    SetWindowTextW(edit, joined_lines(lines).c_str());
    const LRESULT start = SendMessageW(edit, EM_LINEINDEX, lines.size() - 1, 0);
    const LRESULT end = start + static_cast<LRESULT>(widen(path).size());
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(end), end);
    repaint_preview();
}

void TButtonForm::browse_desk() {
    std::string path;
    if (choose_file("", kDeskFileMask, path)) set_item_text(IDC_BTN_DESK_FILE, path);
}

void TButtonForm::browse_sound() {
    std::string path;
    if (choose_file(kSoundFileTitle, kSoundFileMask, path)) set_item_text(IDC_BTN_SOUND, path);
}

void TButtonForm::choose_icon(bool cursor) {
    uint16_t number = cursor ? cursor_ : icon_;
    bool chosen = false;
    if (r_.choose_icon) {
        chosen = r_.choose_icon(hwnd(), number);
    } else {
        // Moves take effect in the library at once, so the numbers follow even after Cancel.
        struct Numbers final : vx::iconlib::IconReferences {
            TButtonForm& form;
            explicit Numbers(TButtonForm& f) : form(f) {}
            void renumber(const std::function<uint16_t(uint16_t)>& new_number) override {
                form.icon_ = new_number(form.icon_);
                form.cursor_ = new_number(form.cursor_);
                if (form.r_.icon_references) form.r_.icon_references->renumber(new_number);
            }
        } numbers(*this);
        chosen = iconlib::choose_library_icon(hwnd(), r_.program_dir, r_.drives, r_.restricted, number, &numbers);
    }
    // The library window may have moved or compacted entries, chosen or not.
    library_.clear();
    if (!chosen) {
        repaint_preview();
        return;
    }
    if (cursor) {
        cursor_ = number;
    } else {
        icon_ = number;
        check(IDC_BTN_SHOW_ICON, true);
    }
    repaint_preview();
}

void TButtonForm::choose_color(int button, model::Color& color) {
    RECT below{};
    GetWindowRect(ctl(button), &below);
    model::Color chosen = color;
    bool ok = false;
    if (r_.choose_color) {
        ok = r_.choose_color(hwnd(), below, chosen);
    } else {
        TColorPalette palette(display_colors());
        if (r_.page) palette.set_palette(r_.page->palette);
        if (const auto c = palette.choose(hwnd(), below, color)) {
            chosen = *c;
            ok = true;
        }
    }
    if (!ok) return;
    color = chosen;
    InvalidateRect(ctl(button == IDC_BTN_TOP_COLOR ? IDC_BTN_TOP_SAMPLE : IDC_BTN_BOTTOM_SAMPLE), nullptr,
                   FALSE);
    repaint_preview();
}

}  // namespace

bool open_button_form(ButtonFormRequest request) {
    if (g_form) return false;
    if (!request.is_new && request.admin) {
        security::WinPrompter system(request.owner, request.help);
        Prompter& prompter = request.prompter ? *request.prompter : system;
        if (!core::may_open_editor(request.button, *request.admin, prompter)) return false;
    }
    g_form = std::make_unique<TButtonForm>(std::move(request));
    if (!g_form->open()) {
        g_form.reset();
        return false;
    }
    return true;
}

bool button_form_open() {
    return g_form != nullptr;
}

HWND button_form_window() {
    return g_form ? g_form->hwnd() : nullptr;
}

}  // namespace vx::win::editor
