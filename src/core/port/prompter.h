#pragma once
// Questions and messages to the person at the station. Core decides what to ask; the window
// layer shows the dialog. Tests answer with a scripted fake.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

enum class Answer { Yes, No, Ok, Cancel };

// The password prompt. `accepts` is asked while the question is still on screen, so that the
// dialog can show the lock closing before it goes, and tell a wrong password in its own place.
struct PasswordQuestion {
    std::string caption;
    std::string prompt;
    std::string wrong_title;  // the message for a password `accepts` turns down
    std::string wrong_text;
    std::function<bool(std::string_view typed)> accepts;
};
enum class PasswordAnswer { Granted, Wrong, Cancelled };

class Prompter {
public:
    virtual ~Prompter() = default;
    // The alert dialog: caption and text (line breaks are single CRs).
    virtual void alert(const std::string& caption, const std::string& text) = 0;
    virtual bool ask_yes_no(const std::string& caption, const std::string& question) = 0;
    virtual bool ask_ok_cancel(const std::string& caption, const std::string& question) = 0;
    // A line of text; nullopt when cancelled. `secret` echoes "*".
    virtual std::optional<std::string> ask_text(const std::string& caption, const std::string& prompt,
                                                const std::string& initial = {}, bool secret = false) = 0;
    // One of `choices`; nullopt when cancelled.
    virtual std::optional<size_t> ask_choice(const std::string& caption, const std::string& prompt,
                                             const std::vector<std::string>& choices) = 0;
    // Shows `message` without border icons for `delay_ms` while the main window is disabled and
    // window messages still run. Defaulted so existing prompters build; they show nothing.
    virtual void show_wait(const std::string& /*message*/, int /*delay_ms*/) {}
    // Defaulted for prompters without a password dialog of their own: a secret line of text,
    // checked once it is back, and the wrong-password message as an alert.
    virtual PasswordAnswer ask_password(const PasswordQuestion& question) {
        const auto typed = ask_text(question.caption, question.prompt, {}, true);
        if (!typed) return PasswordAnswer::Cancelled;
        if (question.accepts && question.accepts(*typed)) return PasswordAnswer::Granted;
        alert(question.wrong_title, question.wrong_text);
        return PasswordAnswer::Wrong;
    }
};

}  // namespace vx
