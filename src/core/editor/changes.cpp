#include "editor/changes.h"

#include <algorithm>

namespace vx::editor {

void ChangeLog::objects(model::PageId page, model::ObjectId id) {
    auto it = std::find_if(changes_.begin(), changes_.end(), [&](const Change& c) {
        return c.what == Change::What::Objects && c.page == page;
    });
    if (it == changes_.end()) {
        changes_.push_back({Change::What::Objects, page, {id}});
    } else if (std::find(it->objects.begin(), it->objects.end(), id) == it->objects.end()) {
        it->objects.push_back(id);
    }
}

void ChangeLog::page(model::PageId page) {
    const bool known = std::any_of(changes_.begin(), changes_.end(), [&](const Change& c) {
        return c.what == Change::What::Page && c.page == page;
    });
    if (!known) changes_.push_back({Change::What::Page, page, {}});
}

void ChangeLog::page_list() {
    const bool known = std::any_of(changes_.begin(), changes_.end(),
                                   [](const Change& c) { return c.what == Change::What::PageList; });
    if (!known) changes_.push_back({Change::What::PageList, model::kNoId, {}});
}

}  // namespace vx::editor
