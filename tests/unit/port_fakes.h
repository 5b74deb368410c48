#pragma once
// One recording fake for each port that several parts of the shell talk to; every suite, native
// and under Wine, takes these rather than a copy of its own.
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "port/clock.h"
#include "port/hooks_api.h"
#include "port/profile.h"
#include "port/prompter.h"
#include "port/session_api.h"
#include "util/datetime.h"

namespace vx::testing {

// Answers questions from a script, in order, and records everything it was asked. An
// unscripted question is answered negatively, so a forgotten answer never starts a program.
class FakePrompter : public Prompter {
public:
    std::deque<std::string> answers;  // "yes"/"no"/"ok"/"cancel", a text, or a choice index
    std::vector<std::string> log;

    void alert(const std::string& caption, const std::string& text) override {
        log.push_back("alert " + caption + ": " + text);
    }
    bool ask_yes_no(const std::string& caption, const std::string& question) override {
        log.push_back("yesno " + caption + ": " + question);
        return next() == "yes";
    }
    bool ask_ok_cancel(const std::string& caption, const std::string& question) override {
        log.push_back("okcancel " + caption + ": " + question);
        return next() == "ok";
    }
    std::optional<std::string> ask_text(const std::string& caption, const std::string& prompt,
                                        const std::string& initial, bool) override {
        log.push_back("text " + caption + ": " + prompt + " [" + initial + "]");
        std::string a = next();
        if (a == "cancel") return std::nullopt;
        return a;
    }
    std::optional<size_t> ask_choice(const std::string& caption, const std::string& prompt,
                                     const std::vector<std::string>& choices) override {
        std::string all;
        for (const auto& c : choices) all += "|" + c;
        log.push_back("choice " + caption + ": " + prompt + all);
        std::string a = next();
        if (a == "cancel" || a.empty()) return std::nullopt;
        return static_cast<size_t>(std::stoul(a));
    }
    void show_wait(const std::string& message, int delay_ms) override {
        log.push_back("wait " + std::to_string(delay_ms) + ": " + message);
    }

private:
    std::string next() {
        if (answers.empty()) return "cancel";
        std::string a = answers.front();
        answers.pop_front();
        return a;
    }
};

// Records each call ("log_off forced", "keys_locked", ...) and answers `accept`.
class FakeSession : public SessionApi {
public:
    bool accept = true;
    std::vector<std::string> calls;
    bool log_off(bool forced = false) override {
        calls.push_back(forced ? "log_off forced" : "log_off");
        return accept;
    }
    bool restart(bool forced = false) override {
        calls.push_back(forced ? "restart forced" : "restart");
        return accept;
    }
    bool shut_down() override {
        calls.push_back("shut_down");
        return accept;
    }
    void set_system_keys_locked(bool locked) override {
        calls.push_back(locked ? "keys_locked" : "keys_unlocked");
    }
};

// Records the arming calls ("hook 1", "lock 5", ...); the idle lock and the exit time are due
// when the test says so.
class FakeHooks : public HooksApi {
public:
    std::vector<std::string> calls;
    bool lock = false, exit = false;
    void set_hook_proc(bool enable) override { calls.push_back("hook " + std::to_string(enable)); }
    void set_lock_time(int value) override { calls.push_back("lock " + std::to_string(value)); }
    void set_exit_time(int value) override { calls.push_back("exit " + std::to_string(value)); }
    void enable_lock(bool on) override { calls.push_back("enable_lock " + std::to_string(on)); }
    void enable_exit(bool on) override { calls.push_back("enable_exit " + std::to_string(on)); }
    bool check_lock() override { return lock; }
    bool update_exit_time() override { return exit; }
};

// INI values as the test sets them; every read is recorded ("FILE|Section|Key|fallback") and
// nothing is written.
class FakeProfile : public Profile {
public:
    std::map<std::string, std::string> values;  // "FILE|Section|Key" -> value
    std::vector<std::string> reads;
    void set(const std::string& file, const std::string& section, const std::string& key, std::string value) {
        values[file + "|" + section + "|" + key] = std::move(value);
    }
    std::string read(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& fallback) override {
        reads.push_back(file + "|" + section + "|" + key + "|" + fallback);
        const auto it = values.find(file + "|" + section + "|" + key);
        return it == values.end() ? fallback : it->second;
    }
    bool write(const std::string&, const std::string&, const std::string&, const std::string&) override {
        return false;
    }
    std::vector<std::string> keys(const std::string&, const std::string&) override { return {}; }
};

// Stands still at `value` until the test moves it.
class FakeClock : public Clock {
public:
    explicit FakeClock(DateTime start = 0) : value(start) {}
    DateTime value;
    DateTime now() const override { return value; }
    void advance_seconds(double s) { value += s / 86400.0; }
};

}  // namespace vx::testing
