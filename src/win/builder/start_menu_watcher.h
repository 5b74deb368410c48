#pragma once
// The Start-menu watcher: one background thread that waits for a change in the program
// folder's directories (their own entries, not their sub-folders') and ends after the first.
// It touches nothing of the shell: it posts to a message-only window of the thread that
// started it, which calls `changed` there, so every page and button is made on the
// user-interface thread. A watch stopped (or started again) before its message arrives is
// forgotten: the message names the watch it belongs to.
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "win/util/window.h"

namespace vx::win::builder {

class StartMenuWatcher {
public:
    // `changed` runs on the thread that made the watcher, once per change.
    explicit StartMenuWatcher(std::function<void()> changed);
    ~StartMenuWatcher();
    StartMenuWatcher(const StartMenuWatcher&) = delete;
    StartMenuWatcher& operator=(const StartMenuWatcher&) = delete;

    // Stops a running watch, then watches `directories`; false when none of them can be watched.
    bool start(const std::vector<std::string>& directories);
    // Returns once the thread has ended; a change it found and posted is then dropped.
    void stop();
    bool running() const { return thread_.joinable(); }

private:
    class Receiver final : public Window {
    public:
        explicit Receiver(StartMenuWatcher& owner) : owner_(owner) {}
        bool create();

    protected:
        LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam) override;

    private:
        StartMenuWatcher& owner_;
    };
    static constexpr UINT kChangedMessage = WM_APP + 61;

    void arrived(unsigned watch);

    std::function<void()> changed_;
    Receiver receiver_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    unsigned watch_ = 0;
};

}  // namespace vx::win::builder
