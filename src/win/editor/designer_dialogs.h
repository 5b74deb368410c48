#pragma once
// The designer's two small modal dialogs: "Set Grid" (the grid's spacing, whether it is shown
// and whether objects snap to it) and "Copy Styles" (which attribute groups Paste Style takes).
// Each works on the values it is given and hands back new ones on OK, nothing on Cancel.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>

#include "editor/surface_edit.h"
#include "win/editor/helped_dialog.h"
#include "help/topics.h"

namespace vx::win::editor {


inline constexpr int kSetGridHelpContext = vx::help::kSetGridTopic;
inline constexpr int kCopyStyleHelpContext = vx::help::kCopyStyleTopic;
inline constexpr int kGridMinimum = vx::editor::kGridMin;
inline constexpr int kGridMaximum = vx::editor::kGridMax;
inline constexpr int kGridDesigned = vx::editor::kGridDefault;

struct GridChoice {
    int width = kGridDesigned;   // horizontal spacing in pixels
    int height = kGridDesigned;  // vertical spacing in pixels
    bool show = false;
    bool snap = false;
    bool operator==(const GridChoice&) const = default;
};

// A spacing typed or stored outside 4..100 is brought to the nearest end of the range (shown in
// its box as the box is left), so the choice handed back is always in range; a box left empty
// keeps the spacing the dialog opened with.
std::optional<GridChoice> show_set_grid(HWND owner, const GridChoice& current, HelpFn help);

// The check boxes set from the mask's bits (editor::style_bits); OK hands back the mask made
// from the boxes.
std::optional<uint16_t> show_copy_style(HWND owner, uint16_t mask, HelpFn help);

}  // namespace vx::win::editor
