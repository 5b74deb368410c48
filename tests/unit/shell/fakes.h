#pragma once
// Recording fakes of the ports the launcher and the station talk to.
#include <algorithm>
#include <cctype>
#include <deque>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "port/process_api.h"
#include "port/prompter.h"
#include "port/session_api.h"
#include "port/settings_store.h"
#include "port/sound.h"
#include "unit/port_fakes.h"

namespace vx::shell::testing {

using vx::testing::FakeClock;
using vx::testing::FakeHooks;
using vx::testing::FakeProfile;
using vx::testing::FakePrompter;
using vx::testing::FakeSession;

// The registry as the shell sees it: names without regard to case; a failure after a number of
// operations stands for a registry that stops answering.
class MemoryStore : public SettingsStore {
public:
    std::map<std::string, std::pair<std::string, std::string>> values;  // lower name -> (spelling, value)
    int fail_after = -1;
    int operations = 0;

    std::optional<std::string> read(const std::string&, const std::string& name) override {
        tick();
        auto it = values.find(lower(name));
        if (it == values.end()) return std::nullopt;
        return it->second.second;
    }
    void write(const std::string&, const std::string& name, const std::string& value) override {
        tick();
        values[lower(name)] = {name, value};
    }
    void set(const std::string& name, const std::string& value) { values[lower(name)] = {name, value}; }

private:
    static std::string lower(std::string s) {
        std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
        return s;
    }
    void tick() {
        if (fail_after >= 0 && operations++ >= fail_after) throw std::runtime_error("Registry unavailable");
    }
};

class FakeSound : public Sound {
public:
    std::vector<std::string> played;
    void play(const std::string& wave_file) override { played.push_back(wave_file); }
    void beep() override { played.push_back("beep"); }
};

// Processes start when their program (the command line up to the first blank, or the quoted
// part) is in `startable`; shell_open succeeds for names in `openable`.
class FakeProcessApi : public ProcessApi {
public:
    std::vector<std::string> startable, openable;
    std::map<std::string, std::string> associations;  // document -> program
    std::vector<std::string> log;
    std::uint32_t next_pid = 100;
    struct Window {
        WindowId id;
        std::uint32_t pid;
        bool visible;
    };
    std::vector<Window> windows;
    std::vector<WindowId> activated;

    bool start_process(const StartRequest& r, std::string& error) override {
        std::uint32_t pid = 0;
        return launch_process(r, pid, error);
    }
    bool launch_process(const StartRequest& r, std::uint32_t& pid, std::string& error) override {
        log.push_back("start " + r.command_line + " in [" + r.working_directory + "] show " +
                      std::to_string(static_cast<int>(r.show)));
        for (const auto& s : startable) {
            if (r.command_line == s || r.command_line.rfind(s + " ", 0) == 0) {
                pid = next_pid++;
                windows.push_back({pid * 10, pid, true});
                return true;
            }
        }
        error = "not found";
        return false;
    }
    bool shell_open(const std::string& target, const std::string& directory, ShowState show,
                    std::string&) override {
        log.push_back("open " + target + " in [" + directory + "] show " +
                      std::to_string(static_cast<int>(show)));
        for (const auto& s : openable)
            if (s == target) return true;
        return false;
    }
    bool shell_open_with(const std::string& target, const std::string& parameters,
                         const std::string& directory, ShowState show, std::string& error) override {
        log.push_back("open " + target + " with " + parameters);
        return shell_open(target, directory, show, error);
    }
    std::string find_executable(const std::string& document) override {
        auto it = associations.find(document);
        return it == associations.end() ? std::string() : it->second;
    }
    std::vector<WindowId> top_level_windows() override {
        std::vector<WindowId> ids;
        for (const auto& w : windows) ids.push_back(w.id);
        return ids;
    }
    WindowId foreground = 0;  // the window in front, titled `front_title`
    std::string front_title;
    WindowId foreground_window() override { return foreground; }
    WindowId owner_of(WindowId) override { return 0; }
    std::string window_title(WindowId w) override {
        return w && w == foreground ? front_title : std::string();
    }
    std::uint32_t window_thread(WindowId) override { return 0; }
    bool window_exists(WindowId) override { return true; }
    void activate(WindowId window) override { activated.push_back(window); }
    void wait_for_input_idle(std::uint32_t pid) override { log.push_back("idle " + std::to_string(pid)); }
    std::uint32_t window_process(WindowId window) override {
        for (const auto& w : windows)
            if (w.id == window) return w.pid;
        return 0;
    }
    bool window_visible(WindowId window) override {
        for (const auto& w : windows)
            if (w.id == window) return w.visible;
        return false;
    }
};

}  // namespace vx::shell::testing

#include "shell/run_policy.h"
#include "shell/text_rules.h"

namespace vx::shell::testing {

// A small Windows machine: files and folders by path (compared in capitals), short names,
// links and associations.
class FakeFileSystem : public LaunchFileSystem {
public:
    std::vector<std::string> files, folders;
    std::map<std::string, std::string> long_names;  // short path -> long path
    std::map<std::string, ShellLinkInfo> links;
    std::map<std::string, std::string> associations;
    std::string cwd = "C:\\TOOLS";
    std::vector<std::string> search = {"C:\\VX", "C:\\TOOLS", "C:\\WINDOWS\\SYSTEM32", "C:\\WINDOWS"};
    std::vector<std::string> pathext = {".COM", ".EXE", ".BAT", ".CMD"};

    bool file_exists(const std::string& path) override { return has(files, path); }
    bool directory_exists(const std::string& path) override {
        std::string p = to_upper(path);
        while (p.size() > 3 && p.back() == '\\') p.pop_back();
        return has(folders, p);
    }
    std::string long_path(const std::string& path) override {
        auto it = long_names.find(to_upper(path));
        return it == long_names.end() ? path : it->second;
    }
    std::optional<ShellLinkInfo> read_link(const std::string& path) override {
        auto it = links.find(to_upper(path));
        if (it == links.end()) return std::nullopt;
        return it->second;
    }
    std::string current_directory() override { return cwd; }
    std::vector<std::string> search_folders() override { return search; }
    std::vector<std::string> path_extensions() override { return pathext; }
    std::string associated_program(const std::string& document) override {
        auto it = associations.find(to_upper(document));
        return it == associations.end() ? std::string() : it->second;
    }

private:
    static bool has(const std::vector<std::string>& list, const std::string& path) {
        for (const auto& f : list)
            if (to_upper(f) == to_upper(path)) return true;
        return false;
    }
};

}  // namespace vx::shell::testing
