#include "editor/icon_renumbering.h"

#include <limits>
#include <type_traits>

namespace vx::editor {
namespace {

template <typename T>
bool renumber(T& number, const IconRenumbering& new_number) {
    // A value outside the library's numbering names no entry and is left as the file has it.
    if constexpr (std::is_signed_v<T>) {
        if (number < 0 || number > std::numeric_limits<uint16_t>::max()) return false;
    }
    const auto renumbered = static_cast<T>(new_number(static_cast<uint16_t>(number)));
    if (renumbered == number) return false;
    number = renumbered;
    return true;
}

}  // namespace

bool renumber_icons(model::ObjectData& object, const IconRenumbering& new_number) {
    auto* b = std::get_if<model::ButtonData>(&object);
    if (!b) return false;
    const bool icon = renumber(b->icon, new_number);
    const bool cursor = renumber(b->cursor, new_number);
    return icon || cursor;
}

bool renumber_icons(model::PageAttributes& page, const IconRenumbering& new_number) {
    return renumber(page.tab_icon, new_number);
}

bool renumber_icons(model::Page& page, const IconRenumbering& new_number) {
    bool changed = renumber_icons(static_cast<model::PageAttributes&>(page), new_number);
    for (model::ObjectEntry& e : page.objects) changed = renumber_icons(e.data, new_number) || changed;
    return changed;
}

bool renumber_icons(model::Desktop& desktop, const IconRenumbering& new_number) {
    bool changed = false;
    if (model::Page* master = desktop.master()) changed = renumber_icons(*master, new_number);
    for (const auto& page : desktop.pages()) changed = renumber_icons(*page, new_number) || changed;
    for (const auto& page : desktop.hidden_pages()) changed = renumber_icons(*page, new_number) || changed;
    return changed;
}

}  // namespace vx::editor
