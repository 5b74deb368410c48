#pragma once
// The log-in and password dialogs. Each is a class with an in/out value; the decisions (does the
// text match, may this user log in, what a log-in switches, who sees the level panel) are core's,
// and the dialogs only move text and pictures.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "port/prompter.h"
#include "security/access.h"
#include "security/login.h"
#include "win/util/handle.h"
#include "win/util/window.h"
#include "help/topics.h"

namespace vx {
class Clock;
class HooksApi;
}  // namespace vx

namespace vx::win::security {

using vx::security::AdminData;

// Help topics of the "&Help" buttons.
inline constexpr int kPasswordHelpTopic = vx::help::kPasswordTopic;
inline constexpr int kPagePasswordHelpTopic = vx::help::kPagePasswordTopic;
inline constexpr int kPagePasswordHelpContext = vx::help::kPagePasswordContext;

// "Password Required", also the text line of the prompter.
struct PasswordRequest {
    std::string caption;
    std::string text;
    bool secret = true;
    std::string initial;
    // When set, OK checks the text here: a match shows the closed lock for a moment and grants, a
    // mismatch tells the user so and refuses. Without it the dialog only returns the text.
    std::function<bool(std::string_view)> matches;
    std::string wrong_title = std::string(vx::security::kWrongPasswordTitle);
    std::string wrong_text = std::string(vx::security::kWrongPasswordText);
    // Opens a help topic; unset, "&Help" is disabled.
    std::function<void(int topic)> show_help;
    // Out
    std::string typed;
    bool granted = false;
};

class PasswordDialog : public Dialog {
public:
    static constexpr UINT kClosedLockMs = 400;

    explicit PasswordDialog(PasswordRequest& request) : r_(request) {}
    // IDOK when the text was accepted (see `granted` when a check was made), IDCANCEL otherwise.
    INT_PTR run(HWND owner);

protected:
    bool on_init() override;
    bool on_ok() override;
    bool on_command(int id, int code, HWND control) override;
    INT_PTR handle_message(UINT message, WPARAM wparam, LPARAM lparam) override;
    virtual void tell(const std::string& title, const std::string& text);

private:
    PasswordRequest& r_;
    unique_hbitmap open_, closed_;
    bool closing_ = false;
};

// "Validate User": fills the screen and closes only through a successful log-in.
struct LoginContext {
    AdminData& data;
    const Clock& clock;
    HooksApi& hooks;
    vx::security::LoginPorts& ports;
    int& encryption_mark;
    // Out: the user who passed (on an unlock, possibly an administrator).
    std::optional<size_t> user;
};

class LoginDialog : public Dialog {
public:
    static constexpr UINT_PTR kExitTimer = 1;
    static constexpr UINT_PTR kBeepTimer = 2;

    explicit LoginDialog(LoginContext& context) : c_(context) {}
    // IDOK after a successful log-in. Anything else (the dialog could not be made, or a handler
    // failed and the dialog was cancelled) means nobody passed and nothing was switched.
    INT_PTR run(HWND owner);
    bool input_locked() const { return input_locked_; }

protected:
    bool on_init() override;
    bool on_ok() override;
    INT_PTR handle_message(UINT message, WPARAM wparam, LPARAM lparam) override;
    virtual void beep();
    // A message over the dialog (tests answer it in the box's place).
    virtual void tell(const std::string& title, const std::string& text);

private:
    void try_login();
    void set_input_locked(bool locked);
    void update_ok() const;
    void fill_screen_and_centre_panel();
    void on_timer(UINT_PTR id);

    LoginContext& c_;
    vx::security::LoginLockout lockout_;
    bool input_locked_ = false;
    RECT panel_{};
    unique_hbitmap open_, closed_;
};

// "Set Page Password".
struct PagePasswordValue {
    std::string password;
    int32_t level = 0;
    int32_t group = 0;
};

class PagePasswordDialog : public Dialog {
public:
    PagePasswordDialog(const AdminData& data, PagePasswordValue& value) : data_(data), v_(value) {}
    INT_PTR run(HWND owner);
    // Opens a help topic; unset, "&Help" is disabled.
    std::function<void(int topic)> show_help;

protected:
    bool on_init() override;
    bool on_ok() override;
    bool on_command(int id, int code, HWND control) override;
    INT_PTR handle_message(UINT message, WPARAM wparam, LPARAM lparam) override;
    virtual void tell(const std::string& title, const std::string& text);

private:
    void update_lock() const;

    const AdminData& data_;
    PagePasswordValue& v_;
    bool panel_shown_ = false;
    unique_hbitmap open_, closed_;
};

// The prompter the shell hands to core: message boxes for the questions, the password dialog for
// core's password prompt and for lines of text, a list for choices.
class WinPrompter final : public Prompter {
public:
    explicit WinPrompter(HWND owner = nullptr, std::function<void(int topic)> show_help = {})
        : owner_(owner), show_help_(std::move(show_help)) {}
    void set_owner(HWND owner) { owner_ = owner; }
    // Where the password prompt's "&Help" goes.
    void set_help(std::function<void(int topic)> show_help) { show_help_ = std::move(show_help); }

    void alert(const std::string& caption, const std::string& text) override;
    bool ask_yes_no(const std::string& caption, const std::string& question) override;
    bool ask_ok_cancel(const std::string& caption, const std::string& question) override;
    std::optional<std::string> ask_text(const std::string& caption, const std::string& prompt,
                                        const std::string& initial, bool secret) override;
    std::optional<size_t> ask_choice(const std::string& caption, const std::string& prompt,
                                     const std::vector<std::string>& choices) override;
    PasswordAnswer ask_password(const PasswordQuestion& question) override;

private:
    HWND owner_;
    std::function<void(int topic)> show_help_;
};

// Loads one of the pictures with its grey background turned into the dialog's face colour.
unique_hbitmap load_picture(int id);

}  // namespace vx::win::security
