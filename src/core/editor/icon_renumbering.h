#pragma once
// When the icon library moves or compacts entries, every number that names one of them must
// follow: the buttons' icons and cursors and the pages' tab icons, on the shown desktop and in
// the snapshots the history keeps, since the library's change cannot be taken back.
#include <cstdint>
#include <functional>

#include "model/desktop.h"

namespace vx::editor {

using IconRenumbering = std::function<uint16_t(uint16_t)>;

// Each returns true when a number changed.
bool renumber_icons(model::ObjectData& object, const IconRenumbering& new_number);
bool renumber_icons(model::PageAttributes& page, const IconRenumbering& new_number);
bool renumber_icons(model::Page& page, const IconRenumbering& new_number);  // attributes and objects
bool renumber_icons(model::Desktop& desktop, const IconRenumbering& new_number);

}  // namespace vx::editor
