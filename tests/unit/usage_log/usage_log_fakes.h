#pragma once
// Hand-written stand-ins for the window system and the clock, for the tracking tests.
#include <map>
#include <string>

#include "port/clock.h"
#include "port/process_api.h"
#include "unit/port_fakes.h"
#include "util/datetime.h"

namespace vx::security::testing {

using vx::testing::FakeClock;

class FakeWindows final : public ProcessApi {
public:
    struct Window {
        std::string title;
        std::uint32_t thread = 0;
        WindowId owner = 0;
    };
    std::map<WindowId, Window> windows;
    WindowId front = 0;

    void open(WindowId id, std::string title, std::uint32_t thread, WindowId owner = 0) {
        windows[id] = Window{std::move(title), thread, owner};
    }
    void close(WindowId id) {
        windows.erase(id);
        if (front == id) front = 0;
    }

    bool start_process(const StartRequest&, std::string&) override { return false; }
    bool shell_open(const std::string&, const std::string&, ShowState, std::string&) override {
        return false;
    }
    std::string find_executable(const std::string&) override { return {}; }
    std::vector<WindowId> top_level_windows() override {
        std::vector<WindowId> ids;
        for (const auto& [id, w] : windows) ids.push_back(id);
        return ids;
    }
    WindowId foreground_window() override { return front; }
    WindowId owner_of(WindowId w) override {
        auto it = windows.find(w);
        return it == windows.end() ? 0 : it->second.owner;
    }
    std::string window_title(WindowId w) override {
        auto it = windows.find(w);
        return it == windows.end() ? std::string() : it->second.title;
    }
    std::uint32_t window_thread(WindowId w) override {
        auto it = windows.find(w);
        return it == windows.end() ? 0 : it->second.thread;
    }
    bool window_exists(WindowId w) override { return windows.count(w) != 0; }
    void activate(WindowId w) override { front = w; }
};

}  // namespace vx::security::testing
