#pragma once
// Page management as commands: add, delete, rename, copy, move, the page settings and the
// show-master-items switch. Pages are named by id; the master page stands outside the list
// and none of these adds, removes or moves it.
#include <string>
#include <string_view>

#include "editor/command.h"
#include "model/desktop_file.h"

namespace vx::editor {

// A new page with the new-page values, before "StartUp" when that is last; it becomes the
// current page. `added` receives its id.
CommandPtr make_add_page(model::Desktop& desktop, std::string name, model::PageId* added = nullptr);

// The page and its objects go; the next page becomes current, or the previous one when it was
// last. Undo brings back the page, its objects and the current page as they were.
CommandPtr make_delete_page(const model::Desktop& desktop, model::PageId page);

// Page links that name the old name exactly follow it, on every page: a link on the master
// page or on a hidden page would otherwise point at nothing. They follow only the page they
// lead to: with another page of the same name before it (a copy keeps its source's name),
// the links lead to that one and stay.
CommandPtr make_rename_page(const model::Desktop& desktop, model::PageId page, std::string name);

struct PageCopy {
    CommandPtr command;  // null when the page could not be copied
    model::PageId page = model::kNoId;
    std::string error;  // for the trace; never shown
};
// Through the desktop file's page form, as a save and a load would copy it; the copy keeps the
// name and stands where a new page would, among the ordinary pages whoever copies it.
PageCopy make_copy_page(model::Desktop& desktop, model::PageId page, const model::ReadContext& read,
                        const model::WriteContext& write);

enum class PagePlace { Before, After };
// "StartUp" stays last: it is never moved and nothing moves after it. Null when the page
// stands there already.
CommandPtr make_move_page(const model::Desktop& desktop, model::PageId page, model::PageId target,
                          PagePlace place);
// A tab dropped on another's: coming from further left it goes after the target, else before.
CommandPtr make_drop_page(const model::Desktop& desktop, model::PageId page, model::PageId target);

CommandPtr make_page_settings(const model::Desktop& desktop, model::PageId page, model::PageAttributes after,
                              std::string_view label = labels::kPageSettings);
CommandPtr make_show_master_items(const model::Desktop& desktop, model::PageId page, bool show);
// "Set Palette"'s OK: the edited logical palette stored into the page; null when unchanged.
CommandPtr make_set_palette(const model::Desktop& desktop, model::PageId page, const model::Palette& palette);
// "Copy to All Pages": the look of `from` given to every other ordinary page, which keep their
// names, passwords, security and palettes.
CommandPtr make_copy_to_all_pages(const model::Desktop& desktop, model::PageId source,
                                  const model::PageAttributes& from);

}  // namespace vx::editor
