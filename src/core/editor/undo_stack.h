#pragma once
// The designer's history: every change goes through execute, Undo and Redo walk the history,
// and each step is published once to the views. The stack also knows whether the desktop is
// as it was last saved: undoing back to that point makes it clean again.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "editor/changes.h"
#include "editor/command.h"

namespace vx::editor {

class UndoStack {
public:
    // The oldest steps are forgotten beyond this many: a long session must not hold every
    // snapshot it ever took.
    static constexpr size_t kDefaultDepth = 200;

    UndoStack(model::Desktop& desktop, ChangeEvents& events, size_t depth = kDefaultDepth);

    // Applies the command and makes it the newest step, forgetting the steps undone before it.
    // A null command changes nothing and is not recorded (false). A command that throws leaves
    // the desktop and the history as they were; the error is passed on.
    bool execute(CommandPtr command);

    bool can_undo() const { return position_ > 0; }
    bool can_redo() const { return position_ < steps_.size(); }
    // The label of the step Undo (Redo) would take back (do again); empty when there is none.
    std::string undo_label() const;
    std::string redo_label() const;
    bool undo();
    bool redo();

    // The desktop was just saved (or loaded): this point of the history is clean.
    void mark_saved() { saved_ = position_; }
    bool dirty() const { return saved_ != position_; }
    // A new or another desktop: no history, clean.
    void reset();

    // The icon library renumbered its entries: the desktop and every step follow. The desktop
    // then differs from its file whenever a number it holds changed.
    void renumber_icons(const IconRenumbering& new_number);

private:
    void run(Command& command, bool forward);

    model::Desktop& desktop_;
    ChangeEvents& events_;
    size_t depth_;
    std::vector<CommandPtr> steps_;  // oldest first; the first position_ of them are applied
    size_t position_ = 0;
    // The position of the last save; none when that point was forgotten or undone away.
    std::optional<size_t> saved_ = 0;
};

}  // namespace vx::editor
