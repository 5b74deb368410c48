#pragma once
// The rules of the icon library window that need no window: which entry each of its 70
// icon buttons shows, its scroll range, where it opens and how the keys move the mark.
#include <array>
#include <cstddef>
#include <optional>
#include <vector>

#include "iconlib/animation.h"
#include "iconlib/library.h"

namespace vx::iconlib {

inline constexpr int kButtonsPerRow = 10;
inline constexpr int kButtonRows = 7;
inline constexpr int kButtonCount = kButtonsPerRow * kButtonRows;

// The last scroll position (first row shown); 0 for an empty or missing library.
int scroll_maximum(size_t record_count);

// Entry numbers of the 70 buttons when row `position` is shown first: from number
// position * 10 on, each button takes the next live entry, so deleted entries leave no gap.
// -1 for buttons past the last live entry.
std::array<int, kButtonCount> fill_buttons(const std::vector<IndexRecord>& records, int position);

// Opening on an entry: the scroll position and the marked button of the first row.
struct OpenPosition {
    int position = 0;
    int button = 0;
};
OpenPosition open_on(uint16_t number);

enum class MarkKey { left, right, up, down };
// Left and Right stop at the first and last button; Up and Down that would leave the
// buttons do nothing.
int move_mark(int button, MarkKey key);

// The frames of an entry for a page tab or an animated button: type 2 entries, and animated
// cursors that were added under a cursor's name. nullopt: show the entry as a still icon.
std::optional<Animation> entry_animation(const LoadedEntry& entry);

}  // namespace vx::iconlib
