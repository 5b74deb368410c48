#pragma once
// A plain Win32 prompter: message boxes for alerts and questions, and a small dialog built in
// memory for a line of text. The shell's own dialogs replace the parts that have one.
#include <windows.h>

#include "port/prompter.h"

namespace vx::win::shell {

class Win32Prompter final : public Prompter {
public:
    explicit Win32Prompter(HWND owner = nullptr) : owner_(owner) {}
    void set_owner(HWND owner) { owner_ = owner; }

    void alert(const std::string& caption, const std::string& text) override;
    bool ask_yes_no(const std::string& caption, const std::string& question) override;
    bool ask_ok_cancel(const std::string& caption, const std::string& question) override;
    std::optional<std::string> ask_text(const std::string& caption, const std::string& prompt,
                                        const std::string& initial = {}, bool secret = false) override;
    std::optional<size_t> ask_choice(const std::string& caption, const std::string& prompt,
                                     const std::vector<std::string>& choices) override;

private:
    HWND owner_;
};

}  // namespace vx::win::shell
