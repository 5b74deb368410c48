#pragma once
// Recording fakes of the ports the administration file and the log-in talk to.
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "port/hooks_api.h"
#include "port/locale.h"
#include "port/prompter.h"
#include "port/session_api.h"
#include "port/text_codec.h"
#include "security/admin_file.h"
#include "security/login.h"
#include "unit/port_fakes.h"

namespace vx::security::testing {

using vx::testing::FakeHooks;
using vx::testing::FakeSession;

struct FakePrompter : Prompter {
    std::deque<std::optional<std::string>> answers;  // what the password dialog returns
    std::vector<std::string> asked;                  // captions of the dialogs shown
    std::vector<std::string> alerts;                 // "caption: text"
    void alert(const std::string& caption, const std::string& text) override {
        alerts.push_back(caption + ": " + text);
    }
    bool ask_yes_no(const std::string&, const std::string&) override { return false; }
    bool ask_ok_cancel(const std::string&, const std::string&) override { return false; }
    std::optional<std::string> ask_text(const std::string& caption, const std::string&, const std::string&,
                                        bool) override {
        asked.push_back(caption);
        if (answers.empty()) return std::nullopt;
        auto a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<size_t> ask_choice(const std::string&, const std::string&,
                                     const std::vector<std::string>&) override {
        return std::nullopt;
    }
};

struct FakeDde : DdeItem {
    std::string text;
    void set_text(const std::string& t) override { text = t; }
};

struct FakeDirs : DirectoryAttributes {
    std::vector<std::string> calls;
    void set_hidden(const std::string& path, bool hidden) override {
        calls.push_back(path + (hidden ? " hidden" : " shown"));
    }
};

// An administration file's text read the way the shell reads it.
inline AdminData admin_from(std::string_view text) {
    static const UsEnglishLocale locale;
    static const Windows1252Codec codec;
    FakeHooks hooks;
    AdminData d;
    read_admin_text(text, d, AdminReadContext{locale, codec, hooks, make_datetime({2026, 1, 1})});
    return d;
}

}  // namespace vx::security::testing
