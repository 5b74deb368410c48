#include "shell/key_release.h"

#include <algorithm>

namespace vx::shell {

void KeyReleases::press(std::uint16_t key, std::uint16_t shortcut, bool repeat) {
    const auto it = std::find_if(held_.begin(), held_.end(), [&](const Held& h) { return h.key == key; });
    if (it != held_.end()) return;  // held: the first press decided
    // A repeat of a press this window never saw began elsewhere.
    if (repeat) return;
    held_.push_back({key, shortcut});
}

std::uint16_t KeyReleases::release(std::uint16_t key) {
    const auto it = std::find_if(held_.begin(), held_.end(), [&](const Held& h) { return h.key == key; });
    if (it == held_.end()) return 0;
    const std::uint16_t shortcut = it->shortcut;
    held_.erase(it);
    return shortcut;
}

}  // namespace vx::shell
