#pragma once
// What modify mode holds while it is on: the history, the selection, the grid, the current
// tool with the palette's attributes, the copied style and the designer's windows. Made when
// the administrator enters modify mode and dropped when they leave it, so run mode keeps none
// of it.
#include <windows.h>

#include <memory>
#include <optional>

#include "editor/alignment.h"
#include "editor/changes.h"
#include "editor/style_copy.h"
#include "editor/surface_edit.h"
#include "editor/undo_stack.h"
#include "iconlib/library.h"
#include "win/surface/design_tool.h"

namespace vx::win::editor {
class TAlignForm;
class TToolPalette;
}

namespace vx::win::shell {

// It holds icon numbers (the desktop with its history, the copied style) for the icon library
// window to renumber.
struct DesignSession final : vx::iconlib::IconReferences {
    explicit DesignSession(model::Desktop& desktop);
    ~DesignSession() override;

    void renumber(const std::function<uint16_t(uint16_t)>& new_number) override;
    // After a renumbering: what the window keeps by icon number is stale.
    std::function<void()> icons_renumbered;

    vx::editor::ChangeEvents events;
    vx::editor::UndoStack undo;
    vx::editor::Selection selection;
    vx::editor::GridSettings grid;
    vx::editor::Tool tool = vx::editor::Tool::Selector;
    // The tool palette's attributes, which new and dropped objects take (the palette's own
    // while it is up).
    model::ButtonData style;
    // What "C&opy Style" took; none until then.
    std::optional<model::ButtonData> style_sample;
    bool show_mouse = false;
    bool show_align = true;
    std::unique_ptr<surface::DesignTool> surface_tool;
    std::unique_ptr<editor::TAlignForm> align;
    std::unique_ptr<editor::TToolPalette> tools;
    // A held nudge arrow: the distance moved so far, as one step of the history.
    vx::port::Point nudge_total{};
    bool nudging = false;
};

}  // namespace vx::win::shell
