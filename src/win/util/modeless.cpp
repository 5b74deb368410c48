#include "win/util/modeless.h"

#include <utility>

namespace vx::win {

void ModelessWindows::add(HWND window, HACCEL accelerators, bool dialog_keys) {
    if (!window) return;
    remove(window);
    entries_.push_back({window, accelerators, dialog_keys, nullptr});
}

void ModelessWindows::add(HWND window, Translator translate) {
    if (!window) return;
    remove(window);
    entries_.push_back({window, nullptr, false, std::move(translate)});
}

void ModelessWindows::remove(HWND window) {
    std::erase_if(entries_, [window](const Entry& e) { return e.window == window; });
}

const ModelessWindows::Entry* ModelessWindows::owner_of(HWND target) const {
    // Up through the parents only: an owned window (a dialog over the main window) is a window
    // of its own, not part of its owner.
    for (HWND h = target; h; h = (GetWindowLongPtrW(h, GWL_STYLE) & WS_CHILD) ? GetParent(h) : nullptr) {
        for (const Entry& e : entries_)
            if (e.window == h) return &e;
    }
    return nullptr;
}

bool ModelessWindows::take(MSG& msg) {
    if (!msg.hwnd || entries_.empty()) return false;
    std::erase_if(entries_, [](const Entry& e) { return !IsWindow(e.window); });
    const Entry* owner = owner_of(msg.hwnd);
    if (!owner) return false;
    // Copied: the accelerator's command may register or remove windows.
    const Entry e = *owner;
    if (e.translate && e.translate(msg)) return true;
    if (e.accelerators && TranslateAcceleratorW(e.window, e.accelerators, &msg)) return true;
    return e.dialog_keys && IsDialogMessageW(e.window, &msg);
}

ModelessWindows& modeless_windows() {
    thread_local ModelessWindows registry;
    return registry;
}

ModelessRegistration::ModelessRegistration(HWND window, HACCEL accelerators, bool dialog_keys)
    : window_(window) {
    modeless_windows().add(window, accelerators, dialog_keys);
}

ModelessRegistration::ModelessRegistration(HWND window, ModelessWindows::Translator translate)
    : window_(window) {
    modeless_windows().add(window, std::move(translate));
}

ModelessRegistration::ModelessRegistration(ModelessRegistration&& other) noexcept
    : window_(std::exchange(other.window_, nullptr)) {}

ModelessRegistration& ModelessRegistration::operator=(ModelessRegistration&& other) noexcept {
    if (this != &other) {
        if (window_) modeless_windows().remove(window_);
        window_ = std::exchange(other.window_, nullptr);
    }
    return *this;
}

ModelessRegistration::~ModelessRegistration() {
    if (window_) modeless_windows().remove(window_);
}

}  // namespace vx::win
