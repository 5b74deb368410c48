#pragma once
// The editing surface's changes to objects. Ids come in the selection's order; ids that name
// no object are passed over.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "editor/command.h"
#include "model/desktop_file.h"

namespace vx::editor {

using ObjectIds = std::vector<model::ObjectId>;

// A new object at the front of the page; `created` receives its id.
CommandPtr make_create(model::Desktop& desktop, model::PageId page, model::ObjectData data,
                       model::ObjectId* created = nullptr, std::string_view label = labels::kCreate);
CommandPtr make_delete(const model::Desktop& desktop, const ObjectIds& ids,
                       std::string_view label = labels::kDelete);
CommandPtr make_move(const model::Desktop& desktop, const ObjectIds& ids, int dx, int dy);
CommandPtr make_resize(const model::Desktop& desktop, model::ObjectId id, const model::Bounds& bounds);
// The object's fields replaced by an edited copy (a property dialog's result).
CommandPtr make_edit(const model::Desktop& desktop, model::ObjectId id, model::ObjectData after,
                     std::string_view label = labels::kEdit);
// Several objects replaced at once (paste style, alignment).
CommandPtr make_edits(const model::Desktop& desktop,
                      std::vector<std::pair<model::ObjectId, model::ObjectData>> after,
                      std::string_view label);

// Each object in turn goes to the front (or back) of its page's list unless it is there already,
// so the last one of the selection ends up first (or last).
CommandPtr make_bring_to_front(const model::Desktop& desktop, const ObjectIds& ids);
CommandPtr make_send_to_back(const model::Desktop& desktop, const ObjectIds& ids);

// Every object gets the largest tag on any page, the master page and hidden pages included,
// plus 1; ungrouping gives them 0.
CommandPtr make_group(const model::Desktop& desktop, const ObjectIds& ids);
CommandPtr make_ungroup(const model::Desktop& desktop, const ObjectIds& ids);

// Each object in turn leaves its page for the front of `target`, keeping its id.
CommandPtr make_move_to_page(const model::Desktop& desktop, const ObjectIds& ids, model::PageId target);

// The object clipboard: the objects in the desktop file's object form, in the given order.
std::string copy_text(const model::Desktop& desktop, const ObjectIds& ids, const model::WriteContext& ctx);

struct Paste {
    CommandPtr command;  // null when nothing was pasted
    ObjectIds objects;   // the ids the pasted objects get, in the text's order
    std::string error;   // why the text was refused, for the trace; never shown
};
// Reads object text through the desktop reader's paste mode. Only objects are taken: page
// lines in the text change no page, and text the reader refuses pastes nothing at all.
Paste make_paste(model::Desktop& desktop, model::PageId page, std::string_view ansi,
                 const model::ReadContext& ctx, std::string_view label = labels::kPaste);

}  // namespace vx::editor
