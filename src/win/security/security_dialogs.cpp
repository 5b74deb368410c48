#include "win/security/security_dialogs.h"

#include <algorithm>

#include "port/clock.h"
#include "port/session_api.h"
#include "security/access.h"
#include "security/level.h"
#include "security/page_password.h"
#include "win/security/security_resources.h"
#include "win/util/text.h"
#include "win/util/trace.h"

namespace vx::win::security {

namespace vs = vx::security;

namespace {

constexpr UINT_PTR kClosedLockTimer = 1;

HINSTANCE module() {
    return GetModuleHandleW(nullptr);
}

void show_picture(HWND control, const unique_hbitmap& picture) {
    SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture.get()));
}

int text_length(HWND control) {
    return GetWindowTextLengthW(control);
}

// Message boxes take CR LF; the system's texts break lines with a single CR.
std::wstring message_text(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) out += '\n';
    }
    return widen(out);
}

int message_box(HWND owner, const std::string& title, const std::string& text, UINT type) {
    return MessageBoxW(owner, message_text(text).c_str(), widen(title).c_str(), type);
}

}  // namespace

unique_hbitmap load_picture(int id) {
    return unique_hbitmap(static_cast<HBITMAP>(
        LoadImageW(module(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS)));
}

// ---- Password Required -------------------------------------------------------------------

INT_PTR PasswordDialog::run(HWND owner) {
    return run_modal(module(), IDD_PASSWORD_REQUIRED, owner);
}

bool PasswordDialog::on_init() {
    r_.granted = false;
    r_.typed.clear();
    SetWindowTextW(hwnd(), widen(r_.caption).c_str());
    set_item_text(IDC_STATIC_TEXT, r_.text);
    const HWND edit = item(IDC_EDIT_PASSWORD);
    SendMessageW(edit, EM_SETPASSWORDCHAR, r_.secret ? L'*' : 0, 0);
    set_item_text(IDC_EDIT_PASSWORD, r_.initial);
    if (r_.secret) {
        open_ = load_picture(IDB_LOCK_OPEN);
        closed_ = load_picture(IDB_LOCK_CLOSED);
        show_picture(item(IDC_STATIC_PICTURE), open_);
    }
    EnableWindow(item(IDHELP), r_.show_help ? TRUE : FALSE);
    EnableWindow(item(IDOK), text_length(edit) > 0);
    return true;
}

bool PasswordDialog::on_ok() {
    if (closing_ || text_length(item(IDC_EDIT_PASSWORD)) == 0) return false;
    r_.typed = item_text(IDC_EDIT_PASSWORD);
    if (!r_.matches) return true;
    if (!r_.matches(r_.typed)) {
        tell(r_.wrong_title, r_.wrong_text);
        r_.granted = false;
        return true;
    }
    // The closed lock shows for a moment before the dialog goes, so the user sees it opened.
    r_.granted = true;
    closing_ = true;
    show_picture(item(IDC_STATIC_PICTURE), closed_);
    UpdateWindow(item(IDC_STATIC_PICTURE));
    for (int id : {IDC_EDIT_PASSWORD, IDOK, IDCANCEL, IDHELP}) EnableWindow(item(id), FALSE);
    SetTimer(hwnd(), kClosedLockTimer, kClosedLockMs, nullptr);
    return false;
}

bool PasswordDialog::on_command(int id, int code, HWND) {
    if (id == IDC_EDIT_PASSWORD && code == EN_CHANGE) {
        if (!closing_) EnableWindow(item(IDOK), text_length(item(IDC_EDIT_PASSWORD)) > 0);
        return true;
    }
    if (id == IDHELP && code == BN_CLICKED) {
        if (r_.show_help) r_.show_help(kPasswordHelpTopic);
        return true;
    }
    return false;
}

INT_PTR PasswordDialog::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_TIMER && wparam == kClosedLockTimer) {
        KillTimer(hwnd(), kClosedLockTimer);
        end(IDOK);
        return TRUE;
    }
    // Once granted, a late Cancel or close must not turn the answer round.
    if (closing_ && message == WM_COMMAND && LOWORD(wparam) == IDCANCEL) return TRUE;
    if (message == WM_HELP) {
        if (r_.show_help) r_.show_help(kPasswordHelpTopic);
        return TRUE;
    }
    return Dialog::handle_message(message, wparam, lparam);
}

void PasswordDialog::tell(const std::string& title, const std::string& text) {
    message_box(hwnd(), title, text, MB_OK | MB_ICONEXCLAMATION);
}

// ---- Validate User -------------------------------------------------------------------------

INT_PTR LoginDialog::run(HWND owner) {
    return run_modal(module(), IDD_VALIDATE_USER, owner);
}

bool LoginDialog::on_init() {
    c_.ports.session.set_system_keys_locked(true);
    SetWindowTextW(hwnd(), widen(vs::kLoginCaption).c_str());
    set_item_text(IDC_STATIC_TEXT, std::string(vs::kLoginText));
    open_ = load_picture(IDB_SAFE_OPEN);
    closed_ = load_picture(IDB_SAFE_CLOSED);
    show_picture(item(IDC_STATIC_PICTURE), open_);
    const HWND password = item(IDC_EDIT_PASSWORD);
    SendMessageW(password, EM_SETPASSWORDCHAR, L'*', 0);
    SendMessageW(password, EM_LIMITTEXT, vs::kLoginPasswordMax, 0);
    fill_screen_and_centre_panel();
    update_ok();
    SetTimer(hwnd(), kExitTimer, 1000, nullptr);
    return true;
}

void LoginDialog::fill_screen_and_centre_panel() {
    // The panel is the area the controls take, with a margin; it moves to the screen's centre.
    RECT controls{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (HWND child = GetWindow(hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&r), 2);
        controls.left = std::min(controls.left, r.left);
        controls.top = std::min(controls.top, r.top);
        controls.right = std::max(controls.right, r.right);
        controls.bottom = std::max(controls.bottom, r.bottom);
    }
    RECT margin{8, 8, 0, 0};
    MapDialogRect(hwnd(), &margin);
    InflateRect(&controls, margin.left, margin.top);

    const int screen_w = GetSystemMetrics(SM_CXSCREEN);
    const int screen_h = GetSystemMetrics(SM_CYSCREEN);
    SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, screen_w, screen_h, SWP_FRAMECHANGED);
    const int dx = (screen_w - (controls.right - controls.left)) / 2 - controls.left;
    const int dy = (screen_h - (controls.bottom - controls.top)) / 2 - controls.top;
    for (HWND child = GetWindow(hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&r), 2);
        SetWindowPos(child, nullptr, r.left + dx, r.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    OffsetRect(&controls, dx, dy);
    panel_ = controls;
}

void LoginDialog::update_ok() const {
    EnableWindow(item(IDOK), !input_locked_ && text_length(item(IDC_EDIT_NAME)) > 0 &&
                                 text_length(item(IDC_EDIT_PASSWORD)) > 0);
}

bool LoginDialog::on_ok() {
    // Every close request is a log-in attempt; only a successful one closes.
    if (!input_locked_) try_login();
    return false;
}

void LoginDialog::try_login() {
    const std::string name = item_text(IDC_EDIT_NAME);
    const std::string password = item_text(IDC_EDIT_PASSWORD);
    const DateTime now = c_.clock.now();
    const vs::LoginResult result = vs::check_login(c_.data, name, password, now);
    if (!result.ok()) {
        beep();
        set_item_text(IDC_EDIT_NAME, "");
        set_item_text(IDC_EDIT_PASSWORD, "");
        SetFocus(item(IDC_EDIT_NAME));
        if (lockout_.record_failure(now)) set_input_locked(true);
        return;
    }
    lockout_.record_success();
    show_picture(item(IDC_STATIC_PICTURE), closed_);
    UpdateWindow(item(IDC_STATIC_PICTURE));
    c_.user = result.user;
    try {
        vs::apply_login_success(c_.data, c_.ports, c_.encryption_mark);
    } catch (const vs::ProtectedFileError& e) {
        // The log-in stands and the keys are free again; the user learns which files are not as
        // they should be.
        log_error(std::string("log-in: ") + e.what());
        tell(std::string(vs::kLoginCaption), e.what());
    }
    KillTimer(hwnd(), kExitTimer);
    end(IDOK);
}

void LoginDialog::tell(const std::string& title, const std::string& text) {
    message_box(hwnd(), title, text, MB_OK | MB_ICONEXCLAMATION);
}

void LoginDialog::set_input_locked(bool locked) {
    input_locked_ = locked;
    for (int id : {IDC_EDIT_NAME, IDC_EDIT_PASSWORD}) EnableWindow(item(id), !locked);
    update_ok();
    if (locked) {
        SetTimer(hwnd(), kBeepTimer, 100, nullptr);
    } else {
        KillTimer(hwnd(), kBeepTimer);
        SetFocus(item(IDC_EDIT_NAME));
    }
}

void LoginDialog::on_timer(UINT_PTR id) {
    if (id == kBeepTimer) {
        if (lockout_.locked(c_.clock.now()))
            beep();
        else
            set_input_locked(false);
    } else if (id == kExitTimer) {
        if (vs::login_timed_exit(c_.data, c_.hooks, c_.ports.session)) {
            KillTimer(hwnd(), kExitTimer);
            SetWindowPos(hwnd(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
}

INT_PTR LoginDialog::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_CLOSE:
            on_ok();
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wparam) == IDCANCEL) {
                on_ok();
                return TRUE;
            }
            if ((LOWORD(wparam) == IDC_EDIT_NAME || LOWORD(wparam) == IDC_EDIT_PASSWORD) &&
                HIWORD(wparam) == EN_CHANGE) {
                update_ok();
                return TRUE;
            }
            break;
        case WM_TIMER:
            on_timer(wparam);
            return TRUE;
        case WM_ERASEBKGND: {
            const HDC dc = reinterpret_cast<HDC>(wparam);
            RECT all;
            GetClientRect(hwnd(), &all);
            FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
            RECT panel = panel_;
            FillRect(dc, &panel, GetSysColorBrush(COLOR_BTNFACE));
            DrawEdge(dc, &panel, EDGE_RAISED, BF_RECT);
            SetWindowLongPtrW(hwnd(), DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        default:
            break;
    }
    return Dialog::handle_message(message, wparam, lparam);
}

void LoginDialog::beep() {
    MessageBeep(MB_OK);
}

// ---- Set Page Password ---------------------------------------------------------------------

INT_PTR PagePasswordDialog::run(HWND owner) {
    return run_modal(module(), IDD_SET_PAGE_PASSWORD, owner);
}

bool PagePasswordDialog::on_init() {
    const vs::PagePasswordView view = vs::page_password_view(data_);
    open_ = load_picture(IDB_LOCK_OPEN);
    closed_ = load_picture(IDB_LOCK_CLOSED);
    SendMessageW(item(IDC_EDIT_PASSWORD), EM_LIMITTEXT, vs::kPagePasswordMax, 0);
    set_item_text(IDC_EDIT_PASSWORD, v_.password);
    update_lock();
    EnableWindow(item(IDHELP), show_help ? TRUE : FALSE);

    panel_shown_ = view.show_level_panel;
    if (panel_shown_) {
        set_item_text(IDC_EDIT_LEVEL, std::to_string(v_.level));
        SendMessageW(item(IDC_EDIT_LEVEL), EM_LIMITTEXT, 4, 0);
        const HWND combo = item(IDC_COMBO_GROUP);
        for (const std::string& g : view.groups)
            SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(g).c_str()));
        if (v_.group >= 0 && static_cast<size_t>(v_.group) < view.groups.size())
            SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(v_.group), 0);
        return true;
    }
    // Without the panel the buttons move up into its place and the dialog shrinks.
    RECT panel;
    GetWindowRect(item(IDC_GROUP_PANEL), &panel);
    RECT gap{0, 0, 0, 6};
    MapDialogRect(hwnd(), &gap);
    const int shift = panel.bottom - panel.top + gap.bottom;
    for (int id : {IDC_GROUP_PANEL, IDC_STATIC_LEVEL, IDC_EDIT_LEVEL, IDC_STATIC_GROUP, IDC_COMBO_GROUP})
        ShowWindow(item(id), SW_HIDE);
    for (int id : {IDOK, IDCANCEL, IDHELP}) {
        RECT r;
        GetWindowRect(item(id), &r);
        MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&r), 2);
        SetWindowPos(item(id), nullptr, r.left, r.top - shift, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    RECT w;
    GetWindowRect(hwnd(), &w);
    SetWindowPos(hwnd(), nullptr, 0, 0, w.right - w.left, w.bottom - w.top - shift,
                 SWP_NOMOVE | SWP_NOZORDER);
    return true;
}

void PagePasswordDialog::update_lock() const {
    show_picture(item(IDC_STATIC_PICTURE), text_length(item(IDC_EDIT_PASSWORD)) > 0 ? closed_ : open_);
}

bool PagePasswordDialog::on_command(int id, int code, HWND) {
    if (id == IDC_EDIT_PASSWORD && code == EN_CHANGE) {
        update_lock();
        return true;
    }
    if (id == IDHELP && code == BN_CLICKED) {
        if (show_help) show_help(kPagePasswordHelpTopic);
        return true;
    }
    return false;
}

INT_PTR PagePasswordDialog::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_HELP) {
        if (show_help) show_help(kPagePasswordHelpContext);
        return TRUE;
    }
    return Dialog::handle_message(message, wparam, lparam);
}

bool PagePasswordDialog::on_ok() {
    int32_t level = v_.level;
    int32_t group = v_.group;
    if (panel_shown_) {
        const auto parsed = vs::parse_security_level(item_text(IDC_EDIT_LEVEL));
        if (!parsed) {
            tell(std::string(vs::kPagePasswordCaption), std::string(vs::kLevelRangeText));
            SetFocus(item(IDC_EDIT_LEVEL));
            return false;
        }
        level = *parsed;
        const LRESULT selected = SendMessageW(item(IDC_COMBO_GROUP), CB_GETCURSEL, 0, 0);
        if (selected != CB_ERR) group = static_cast<int32_t>(selected);
    }
    v_.password = item_text(IDC_EDIT_PASSWORD);
    v_.level = level;
    v_.group = group;
    return true;
}

void PagePasswordDialog::tell(const std::string& title, const std::string& text) {
    message_box(hwnd(), title, text, MB_OK | MB_ICONEXCLAMATION);
}

// ---- Prompter ------------------------------------------------------------------------------

namespace {

class ChoiceDialog : public Dialog {
public:
    ChoiceDialog(const std::string& caption, const std::string& prompt,
                 const std::vector<std::string>& choices)
        : caption_(caption), prompt_(prompt), choices_(choices) {}
    std::optional<size_t> chosen;

protected:
    bool on_init() override {
        SetWindowTextW(hwnd(), widen(caption_).c_str());
        set_item_text(IDC_STATIC_TEXT, prompt_);
        for (const std::string& c : choices_)
            SendMessageW(item(IDC_LIST_CHOICE), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(c).c_str()));
        SendMessageW(item(IDC_LIST_CHOICE), LB_SETCURSEL, 0, 0);
        return true;
    }
    bool on_ok() override {
        const LRESULT selected = SendMessageW(item(IDC_LIST_CHOICE), LB_GETCURSEL, 0, 0);
        if (selected == LB_ERR) return false;
        chosen = static_cast<size_t>(selected);
        return true;
    }
    bool on_command(int id, int code, HWND) override {
        if (id == IDC_LIST_CHOICE && code == LBN_DBLCLK) {
            PostMessageW(hwnd(), WM_COMMAND, IDOK, 0);
            return true;
        }
        return false;
    }

private:
    const std::string& caption_;
    const std::string& prompt_;
    const std::vector<std::string>& choices_;
};

}  // namespace

void WinPrompter::alert(const std::string& caption, const std::string& text) {
    message_box(owner_, caption, text, MB_OK | MB_ICONEXCLAMATION);
}

bool WinPrompter::ask_yes_no(const std::string& caption, const std::string& question) {
    return message_box(owner_, caption, question, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool WinPrompter::ask_ok_cancel(const std::string& caption, const std::string& question) {
    return message_box(owner_, caption, question, MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

std::optional<std::string> WinPrompter::ask_text(const std::string& caption, const std::string& prompt,
                                                 const std::string& initial, bool secret) {
    PasswordRequest request;
    request.caption = caption;
    request.text = prompt;
    request.initial = initial;
    request.secret = secret;
    PasswordDialog dialog(request);
    if (dialog.run(owner_) != IDOK) return std::nullopt;
    return request.typed;
}

PasswordAnswer WinPrompter::ask_password(const PasswordQuestion& question) {
    PasswordRequest request;
    request.caption = question.caption;
    request.text = question.prompt;
    request.wrong_title = question.wrong_title;
    request.wrong_text = question.wrong_text;
    // Without a check nothing could be granted; the dialog must not return bare text here.
    request.matches = question.accepts ? question.accepts : [](std::string_view) { return false; };
    request.show_help = show_help_;
    PasswordDialog dialog(request);
    if (dialog.run(owner_) != IDOK) return PasswordAnswer::Cancelled;
    return request.granted ? PasswordAnswer::Granted : PasswordAnswer::Wrong;
}

std::optional<size_t> WinPrompter::ask_choice(const std::string& caption, const std::string& prompt,
                                              const std::vector<std::string>& choices) {
    if (choices.empty()) return std::nullopt;
    ChoiceDialog dialog(caption, prompt, choices);
    if (dialog.run_modal(module(), IDD_CHOICE, owner_) != IDOK) return std::nullopt;
    return dialog.chosen;
}

}  // namespace vx::win::security
