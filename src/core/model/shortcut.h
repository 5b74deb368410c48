#pragma once
// Speed keys are 16-bit shortcuts: the virtual key code in the low byte and one bit per
// modifier above it. The desktop file stores them as text ("Ctrl+A", "Shift+F5").
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vx::model {

inline constexpr uint16_t kShortcutShift = 0x2000;
inline constexpr uint16_t kShortcutCtrl = 0x4000;
inline constexpr uint16_t kShortcutAlt = 0x8000;

// Modifiers in the order "Shift+", "Ctrl+", "Alt+", then the key name; empty for 0 or for a
// key without a name.
std::string shortcut_to_text(uint16_t shortcut);
// Accepts the modifiers in any order and any letter case. Empty text gives 0; text that names
// no key gives nullopt.
std::optional<uint16_t> text_to_shortcut(std::string_view text);

}  // namespace vx::model
