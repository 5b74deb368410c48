#pragma once
// Questions and messages to the person at the station. Core decides what to ask; the window
// layer shows the dialog. Tests answer with a scripted fake.
#include <optional>
#include <string>
#include <vector>

namespace vx {

enum class Answer { Yes, No, Ok, Cancel };

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
};

}  // namespace vx
