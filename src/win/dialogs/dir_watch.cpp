#include "win/dialogs/dir_watch.h"

namespace vx::win {

unsigned DirWatch::start(HWND target, UINT message, const std::wstring& directory) {
    stop();
    ++generation_;
    const HANDLE change =
        FindFirstChangeNotificationW(directory.c_str(), FALSE,
                                     FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                                         FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE);
    if (change == INVALID_HANDLE_VALUE) return generation_;  // nothing to watch: the list stays as is
    stop_event_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!stop_event_) {
        FindCloseChangeNotification(change);
        return generation_;
    }
    const HANDLE stop_event = stop_event_.get();
    const unsigned generation = generation_;
    thread_ = std::thread([=] {
        const HANDLE handles[] = {stop_event, change};
        if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0 + 1)
            PostMessageW(target, message, generation, 0);
        FindCloseChangeNotification(change);
    });
    return generation_;
}

void DirWatch::stop() {
    if (stop_event_) SetEvent(stop_event_.get());
    // The thread waits on the event: it is closed only once the thread has ended.
    if (thread_.joinable()) thread_.join();
    stop_event_.reset();
}

}  // namespace vx::win
