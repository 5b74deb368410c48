#include "win/builder/start_menu_watcher.h"

#include "win/util/text.h"
#include "win/util/trace.h"

namespace vx::win::builder {
namespace {

constexpr DWORD kWatchedChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                                  FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SIZE |
                                  FILE_NOTIFY_CHANGE_LAST_WRITE;
// How often the thread looks whether it is to stop.
constexpr DWORD kStopPollMs = 10;

}  // namespace

bool StartMenuWatcher::Receiver::create() {
    static const wchar_t* kClass = L"VxStartMenuWatch";
    WNDCLASSEXW wc{};
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    if (!register_class(wc)) return false;
    return Window::create(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance) != nullptr;
}

LRESULT StartMenuWatcher::Receiver::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == kChangedMessage) {
        owner_.arrived(static_cast<unsigned>(wparam));
        return 0;
    }
    return Window::handle_message(message, wparam, lparam);
}

StartMenuWatcher::StartMenuWatcher(std::function<void()> changed)
    : changed_(std::move(changed)), receiver_(*this) {}

StartMenuWatcher::~StartMenuWatcher() {
    stop();
}

bool StartMenuWatcher::start(const std::vector<std::string>& directories) {
    stop();
    if (!receiver_.hwnd() && !receiver_.create()) {
        log_error("the Start-menu watcher has no window to report to");
        return false;
    }
    std::vector<HANDLE> handles;
    for (const auto& dir : directories) {
        const HANDLE h = FindFirstChangeNotificationW(widen(dir).c_str(), FALSE, kWatchedChanges);
        if (h != INVALID_HANDLE_VALUE) handles.push_back(h);
    }
    if (handles.empty()) return false;
    stop_ = false;
    const unsigned watch = ++watch_;
    const HWND to = receiver_.hwnd();
    thread_ = std::thread([this, handles, watch, to] {
        for (;;) {
            const DWORD r = WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE,
                                                   kStopPollMs);
            if (stop_) break;
            if (r >= WAIT_OBJECT_0 && r < WAIT_OBJECT_0 + handles.size()) {
                PostMessageW(to, kChangedMessage, watch, 0);
                break;
            }
            if (r == WAIT_FAILED) break;
        }
        for (HANDLE h : handles) FindCloseChangeNotification(h);
    });
    return true;
}

void StartMenuWatcher::stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    // Whatever the ended thread posted belongs to a watch that is over.
    ++watch_;
}

void StartMenuWatcher::arrived(unsigned watch) {
    if (watch != watch_) return;
    // The thread posted and ended: it is freed before the work, which may start the next watch.
    if (thread_.joinable()) thread_.join();
    ++watch_;
    if (changed_) changed_();
}

}  // namespace vx::win::builder
