#pragma once
// Watches one directory on a background thread and posts a single message to a window when it
// changes; the window refreshes and starts a new watch. One watch at a time per object.
#include <windows.h>

#include <string>
#include <thread>

#include "win/util/handle.h"

namespace vx::win {

class DirWatch {
public:
    DirWatch() = default;
    DirWatch(const DirWatch&) = delete;
    DirWatch& operator=(const DirWatch&) = delete;
    ~DirWatch() { stop(); }

    // Posts `message` with wparam = the generation returned here. A change reported for an
    // earlier generation is stale (the window has moved on) and must be ignored.
    unsigned start(HWND target, UINT message, const std::wstring& directory);
    void stop();

private:
    std::thread thread_;
    unique_event stop_event_;
    unsigned generation_ = 0;
};

}  // namespace vx::win
