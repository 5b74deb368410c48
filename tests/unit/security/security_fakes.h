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

namespace vx::security::testing {

struct FakeHooks : HooksApi {
    std::vector<std::string> calls;
    bool exit_due = false;
    void set_hook_proc(bool enable) override { calls.push_back("hook " + std::to_string(enable)); }
    void set_lock_time(int value) override { calls.push_back("lock " + std::to_string(value)); }
    void set_exit_time(int value) override { calls.push_back("exit " + std::to_string(value)); }
    void enable_lock(bool on) override { calls.push_back("enable_lock " + std::to_string(on)); }
    void enable_exit(bool on) override { calls.push_back("enable_exit " + std::to_string(on)); }
    bool check_lock() override { return false; }
    bool update_exit_time() override { return exit_due; }
};

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

struct FakeSession : SessionApi {
    std::vector<std::string> calls;
    bool log_off(bool forced = false) override {
        return calls.push_back(forced ? "log_off forced" : "log_off"), true;
    }
    bool restart(bool forced = false) override {
        return calls.push_back(forced ? "restart forced" : "restart"), true;
    }
    bool shut_down() override { return calls.push_back("shut_down"), true; }
    void set_system_keys_locked(bool locked) override { calls.push_back("keys " + std::to_string(locked)); }
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
