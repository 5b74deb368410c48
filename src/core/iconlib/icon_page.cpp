#include "iconlib/icon_page.h"

#include <algorithm>

namespace vx::iconlib {

int scroll_maximum(size_t record_count) {
    const size_t count = std::min(record_count, kMaxEntries);
    return count == 0 ? 0 : static_cast<int>((count - 1) / kButtonsPerRow);
}

std::array<int, kButtonCount> fill_buttons(const std::vector<IndexRecord>& records, int position) {
    std::array<int, kButtonCount> buttons;
    buttons.fill(-1);
    const size_t count = std::min(records.size(), kMaxEntries);
    size_t n = static_cast<size_t>(std::max(position, 0)) * kButtonsPerRow;
    for (int& button : buttons) {
        while (n < count && !records[n].live()) ++n;
        if (n >= count) break;
        button = static_cast<int>(n++);
    }
    return buttons;
}

OpenPosition open_on(uint16_t number) {
    return {number / kButtonsPerRow, number % kButtonsPerRow};
}

int move_mark(int button, MarkKey key) {
    switch (key) {
        case MarkKey::left:
            return std::max(button - 1, 0);
        case MarkKey::right:
            return std::min(button + 1, kButtonCount - 1);
        case MarkKey::up:
            return button - kButtonsPerRow >= 0 ? button - kButtonsPerRow : button;
        case MarkKey::down:
            return button + kButtonsPerRow < kButtonCount ? button + kButtonsPerRow : button;
    }
    return button;
}

std::optional<Animation> entry_animation(const LoadedEntry& entry) {
    if (entry.type != kTypeAnimated && !looks_like_animation(entry.data)) return std::nullopt;
    return read_animation(entry.data);
}

}  // namespace vx::iconlib
