#include "model/shortcut.h"

#include <array>
#include <cctype>

namespace vx::model {

namespace {

struct NamedKey {
    uint8_t code;
    const char* name;
};

// Keys beyond letters, digits and function keys that a hand-written file may name.
constexpr std::array<NamedKey, 15> kNamedKeys = {{
    {0x08, "Backspace"},
    {0x09, "Tab"},
    {0x0D, "Enter"},
    {0x1B, "Esc"},
    {0x20, "Space"},
    {0x21, "PageUp"},
    {0x22, "PageDown"},
    {0x23, "End"},
    {0x24, "Home"},
    {0x25, "Left"},
    {0x26, "Up"},
    {0x27, "Right"},
    {0x28, "Down"},
    {0x2D, "Insert"},
    {0x2E, "Delete"},
}};

std::string key_name(uint8_t code) {
    if ((code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z')) return std::string(1, char(code));
    if (code >= 0x70 && code <= 0x87) {
        std::string name = "F";
        return name += std::to_string(code - 0x70 + 1);
    }
    if (code >= 0x60 && code <= 0x69) return "Num " + std::to_string(code - 0x60);
    for (const auto& k : kNamedKeys) {
        if (k.code == code) return k.name;
    }
    return {};
}

bool iequals(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

std::optional<uint8_t> key_code(std::string_view name) {
    if (name.size() == 1) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')) return static_cast<uint8_t>(c);
    }
    for (int code = 0; code < 256; ++code) {
        const std::string known = key_name(static_cast<uint8_t>(code));
        if (!known.empty() && iequals(known, name)) return static_cast<uint8_t>(code);
    }
    return std::nullopt;
}

}  // namespace

std::string shortcut_to_text(uint16_t shortcut) {
    const std::string key = key_name(static_cast<uint8_t>(shortcut & 0xFF));
    if (key.empty()) return {};
    std::string text;
    if (shortcut & kShortcutShift) text += "Shift+";
    if (shortcut & kShortcutCtrl) text += "Ctrl+";
    if (shortcut & kShortcutAlt) text += "Alt+";
    return text + key;
}

std::optional<uint16_t> text_to_shortcut(std::string_view text) {
    if (text.empty()) return uint16_t{0};
    uint16_t mods = 0;
    static constexpr std::pair<std::string_view, uint16_t> kMods[] = {
        {"Shift+", kShortcutShift}, {"Ctrl+", kShortcutCtrl}, {"Alt+", kShortcutAlt}};
    for (bool found = true; found;) {
        found = false;
        for (const auto& [prefix, bit] : kMods) {
            // A lone "+" after the modifiers is a key name, not a modifier.
            if (text.size() > prefix.size() && iequals(text.substr(0, prefix.size()), prefix)) {
                mods |= bit;
                text.remove_prefix(prefix.size());
                found = true;
            }
        }
    }
    const auto code = key_code(text);
    if (!code) return std::nullopt;
    return static_cast<uint16_t>(mods | *code);
}

}  // namespace vx::model
