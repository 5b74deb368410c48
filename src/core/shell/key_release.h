#pragma once
// Speed keys and page keys act when the key is released. The press decides which shortcut it
// was (the modifiers held then), so that letting go of Ctrl before the letter still gives
// Ctrl+letter; holding a key repeats only its press, so it acts once; and a release whose press
// went elsewhere (the Escape or Enter that closed a dialog) does nothing.
#include <cstdint>
#include <vector>

namespace vx::shell {

class KeyReleases {
public:
    // A key went down; `shortcut` is its speed-key form (key and modifier bits), `repeat` the
    // auto-repeat flag Windows gives every press after the first while the key is held.
    void press(std::uint16_t key, std::uint16_t shortcut, bool repeat);
    // The key went up: the shortcut noted at its first press, or 0 when none was seen.
    std::uint16_t release(std::uint16_t key);
    // The window lost the keyboard: the presses it saw will not be released to it.
    void clear() { held_.clear(); }
    bool any_held() const noexcept { return !held_.empty(); }

private:
    struct Held {
        std::uint16_t key;
        std::uint16_t shortcut;
    };
    std::vector<Held> held_;
};

}  // namespace vx::shell
