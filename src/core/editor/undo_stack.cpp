#include "editor/undo_stack.h"

#include <algorithm>

namespace vx::editor {

UndoStack::UndoStack(model::Desktop& desktop, ChangeEvents& events, size_t depth)
    : desktop_(desktop), events_(events), depth_(std::max<size_t>(depth, 1)) {}

void UndoStack::run(Command& command, bool forward) {
    ChangeLog log;
    try {
        forward ? command.apply(desktop_, log) : command.revert(desktop_, log);
    } catch (...) {
        // What a failing command touched and put back is still worth a redraw.
        events_.publish(log.take());
        throw;
    }
    events_.publish(log.take());
}

bool UndoStack::execute(CommandPtr command) {
    if (!command) return false;
    run(*command, true);
    if (saved_ && *saved_ > position_) saved_.reset();
    steps_.resize(position_);
    steps_.push_back(std::move(command));
    ++position_;
    if (steps_.size() > depth_) {
        steps_.erase(steps_.begin());
        --position_;
        if (saved_) saved_ = *saved_ == 0 ? std::nullopt : std::optional<size_t>(*saved_ - 1);
    }
    return true;
}

std::string UndoStack::undo_label() const {
    return can_undo() ? steps_[position_ - 1]->label() : std::string();
}

std::string UndoStack::redo_label() const {
    return can_redo() ? steps_[position_]->label() : std::string();
}

void UndoStack::renumber_icons(const IconRenumbering& new_number) {
    if (editor::renumber_icons(desktop_, new_number)) saved_.reset();
    for (auto& step : steps_) step->renumber_icons(new_number);
}

bool UndoStack::undo() {
    if (!can_undo()) return false;
    run(*steps_[position_ - 1], false);
    --position_;
    return true;
}

bool UndoStack::redo() {
    if (!can_redo()) return false;
    run(*steps_[position_], true);
    ++position_;
    return true;
}

void UndoStack::reset() {
    steps_.clear();
    position_ = 0;
    saved_ = 0;
}

}  // namespace vx::editor
