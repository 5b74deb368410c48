#pragma once
// The one way the designer changes a desktop: a command applies a change and reverts it, over
// plain value snapshots taken when it was made. Factories read the desktop as it stands and
// give the command for the change, or null when it would change nothing; the undo stack runs
// it. Objects and pages are named by id, so a command stays right however the records it
// names were removed and put back in between.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "editor/changes.h"
#include "editor/icon_renumbering.h"
#include "model/desktop.h"

namespace vx::editor {

// What "Undo" and "Redo" name in the menu.
namespace labels {
inline constexpr std::string_view kCreate = "Create";
inline constexpr std::string_view kDelete = "Delete";
inline constexpr std::string_view kCut = "Cut";
inline constexpr std::string_view kPaste = "Paste";
inline constexpr std::string_view kDuplicate = "Duplicate";
inline constexpr std::string_view kMove = "Move";
inline constexpr std::string_view kResize = "Resize";
inline constexpr std::string_view kEdit = "Edit";
inline constexpr std::string_view kBringToFront = "Bring to Front";
inline constexpr std::string_view kSendToBack = "Send to Back";
inline constexpr std::string_view kGroup = "Group";
inline constexpr std::string_view kUngroup = "Ungroup";
inline constexpr std::string_view kMoveToPage = "Move to Page";
inline constexpr std::string_view kAddPage = "Add Page";
inline constexpr std::string_view kDeletePage = "Delete Page";
inline constexpr std::string_view kRenamePage = "Rename Page";
inline constexpr std::string_view kCopyPage = "Copy Page";
inline constexpr std::string_view kMovePage = "Move Page";
inline constexpr std::string_view kPageSettings = "Page Settings";
inline constexpr std::string_view kShowMasterItems = "Show Master Items";
inline constexpr std::string_view kSetPalette = "Set Palette";
inline constexpr std::string_view kAlignIcons = "Align Icons";
}  // namespace labels

class Command {
public:
    explicit Command(std::string_view label) : label_(label) {}
    virtual ~Command() = default;
    Command(const Command&) = delete;
    Command& operator=(const Command&) = delete;

    const std::string& label() const { return label_; }
    // Each checks that what it names is there before it changes anything, and throws
    // std::logic_error when not: the history no longer matches the desktop.
    virtual void apply(model::Desktop& desktop, ChangeLog& log) = 0;
    virtual void revert(model::Desktop& desktop, ChangeLog& log) = 0;
    // The icon library renumbered its entries: the snapshots this step holds follow, so that
    // undoing it never brings back a number that now names another icon.
    virtual void renumber_icons(const IconRenumbering&) {}

private:
    std::string label_;
};
using CommandPtr = std::unique_ptr<Command>;

// Throws the std::logic_error of a command that finds the desktop other than its history says.
[[noreturn]] void out_of_step(std::string_view what);

// Several commands as one step under one label; null parts are left out. Null when no part
// is left; the part itself when one is left under the same label.
CommandPtr combine(std::string_view label, std::vector<CommandPtr> parts);

}  // namespace vx::editor
