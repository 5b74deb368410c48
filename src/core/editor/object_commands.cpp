#include "editor/object_commands.h"

#include <algorithm>
#include <limits>

#include "editor/read_apart.h"

namespace vx::editor {
namespace {

using model::Desktop;
using model::ObjectData;
using model::ObjectId;
using model::PageId;

model::ObjectRef need_object(const Desktop& d, ObjectId id) {
    const model::ObjectRef ref = d.find_object(id);
    if (!ref) out_of_step("object " + std::to_string(id) + " is gone");
    return ref;
}

model::Page& need_page(const Desktop& d, PageId id) {
    model::Page* page = d.page_by_id(id);
    if (!page) out_of_step("page " + std::to_string(id) + " is gone");
    return *page;
}

// The ids that name objects, each once, in the order given.
ObjectIds existing(const Desktop& d, const ObjectIds& ids) {
    ObjectIds out;
    for (ObjectId id : ids) {
        if (d.find_object(id) && std::find(out.begin(), out.end(), id) == out.end()) out.push_back(id);
    }
    return out;
}

int32_t saturated(int64_t v) {
    return static_cast<int32_t>(
        std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// Objects whose fields change: move, resize, group, property edits.
class ChangeObjects final : public Command {
public:
    struct Edit {
        ObjectId id;
        ObjectData before;
        ObjectData after;
    };
    ChangeObjects(std::string_view label, std::vector<Edit> edits)
        : Command(label), edits_(std::move(edits)) {}

    void apply(Desktop& d, ChangeLog& log) override { set(d, log, &Edit::after); }
    void revert(Desktop& d, ChangeLog& log) override { set(d, log, &Edit::before); }
    void renumber_icons(const IconRenumbering& new_number) override {
        for (Edit& e : edits_) {
            editor::renumber_icons(e.before, new_number);
            editor::renumber_icons(e.after, new_number);
        }
    }

private:
    void set(Desktop& d, ChangeLog& log, ObjectData Edit::*side) {
        std::vector<model::ObjectRef> refs;
        for (const Edit& e : edits_) refs.push_back(need_object(d, e.id));
        for (size_t i = 0; i < edits_.size(); ++i) {
            d.set_object_data(*refs[i].entry, edits_[i].*side);
            log.objects(refs[i].page->id, edits_[i].id);
        }
    }

    std::vector<Edit> edits_;
};

void insert_all(Desktop& d, ChangeLog& log, const std::vector<model::PlacedObject>& placed) {
    for (const auto& p : placed) {
        need_page(d, p.page);
        if (d.find_object(p.entry.id))
            out_of_step("object " + std::to_string(p.entry.id) + " is there already");
    }
    for (const auto& p : placed) {
        d.insert_object(*d.page_by_id(p.page), p.index, p.entry);
        log.objects(p.page, p.entry.id);
    }
}

// Removes in order and answers where each stood, so that putting them back in the reverse
// order restores every list exactly.
std::vector<model::PlacedObject> remove_all(Desktop& d, ChangeLog& log, const ObjectIds& ids) {
    for (ObjectId id : ids) need_object(d, id);
    std::vector<model::PlacedObject> removed;
    for (ObjectId id : ids) {
        removed.push_back(*d.remove_object(id));
        log.objects(removed.back().page, id);
    }
    return removed;
}

void renumber_placed(std::vector<model::PlacedObject>& placed, const IconRenumbering& new_number) {
    for (auto& p : placed) renumber_icons(p.entry.data, new_number);
}

void put_back(Desktop& d, ChangeLog& log, const std::vector<model::PlacedObject>& removed) {
    std::vector<model::PlacedObject> reversed(removed.rbegin(), removed.rend());
    insert_all(d, log, reversed);
}

class InsertObjects final : public Command {
public:
    InsertObjects(std::string_view label, std::vector<model::PlacedObject> placed)
        : Command(label), placed_(std::move(placed)) {}

    void apply(Desktop& d, ChangeLog& log) override { insert_all(d, log, placed_); }
    void revert(Desktop& d, ChangeLog& log) override {
        ObjectIds ids;
        for (auto it = placed_.rbegin(); it != placed_.rend(); ++it) ids.push_back(it->entry.id);
        remove_all(d, log, ids);
    }
    void renumber_icons(const IconRenumbering& new_number) override { renumber_placed(placed_, new_number); }

private:
    std::vector<model::PlacedObject> placed_;
};

class RemoveObjects final : public Command {
public:
    RemoveObjects(std::string_view label, ObjectIds ids) : Command(label), ids_(std::move(ids)) {}

    void apply(Desktop& d, ChangeLog& log) override { removed_ = remove_all(d, log, ids_); }
    void revert(Desktop& d, ChangeLog& log) override { put_back(d, log, removed_); }
    void renumber_icons(const IconRenumbering& new_number) override { renumber_placed(removed_, new_number); }

private:
    ObjectIds ids_;
    std::vector<model::PlacedObject> removed_;
};

ObjectIds order_of(const model::Page& page) {
    ObjectIds ids;
    for (const auto& e : page.objects) ids.push_back(e.id);
    return ids;
}

// A page's stacking order, front first.
class ReorderObjects final : public Command {
public:
    ReorderObjects(std::string_view label, PageId page, ObjectIds before, ObjectIds after)
        : Command(label), page_(page), before_(std::move(before)), after_(std::move(after)) {}

    void apply(Desktop& d, ChangeLog& log) override { restack(d, log, before_, after_); }
    void revert(Desktop& d, ChangeLog& log) override { restack(d, log, after_, before_); }

private:
    void restack(Desktop& d, ChangeLog& log, const ObjectIds& from, const ObjectIds& to) {
        model::Page& page = need_page(d, page_);
        if (order_of(page) != from) out_of_step("the stacking order of page " + std::to_string(page_));
        // Splicing keeps every entry where it is in memory; only the links change.
        std::list<model::ObjectEntry> restacked;
        for (ObjectId id : to) {
            const auto it = std::find_if(page.objects.begin(), page.objects.end(),
                                         [id](const model::ObjectEntry& e) { return e.id == id; });
            restacked.splice(restacked.end(), page.objects, it);
        }
        page.objects.swap(restacked);
        for (size_t i = 0; i < to.size(); ++i) {
            if (from[i] != to[i]) log.objects(page_, to[i]);
        }
    }

    PageId page_;
    ObjectIds before_;
    ObjectIds after_;
};

template <typename Change>
CommandPtr change_each(const Desktop& d, const ObjectIds& ids, std::string_view label, Change change) {
    std::vector<ChangeObjects::Edit> edits;
    for (ObjectId id : existing(d, ids)) {
        const ObjectData& before = d.find_object(id).entry->data;
        ObjectData after = before;
        change(after);
        if (after != before) edits.push_back({id, before, std::move(after)});
    }
    if (edits.empty()) return nullptr;
    return std::make_unique<ChangeObjects>(label, std::move(edits));
}

CommandPtr restack(const Desktop& d, const ObjectIds& ids, bool to_front, std::string_view label) {
    const ObjectIds selected = existing(d, ids);
    std::vector<CommandPtr> parts;
    std::vector<PageId> pages;
    for (ObjectId id : selected) {
        const PageId page = d.find_object(id).page->id;
        if (std::find(pages.begin(), pages.end(), page) == pages.end()) pages.push_back(page);
    }
    for (PageId page_id : pages) {
        const model::Page& page = *d.page_by_id(page_id);
        const ObjectIds before = order_of(page);
        ObjectIds after = before;
        for (ObjectId id : selected) {
            if (d.find_object(id).page != &page) continue;
            if ((to_front ? after.front() : after.back()) == id) continue;
            std::erase(after, id);
            if (to_front) {
                after.insert(after.begin(), id);
            } else {
                after.push_back(id);
            }
        }
        if (after != before) parts.push_back(std::make_unique<ReorderObjects>(label, page_id, before, after));
    }
    return combine(label, std::move(parts));
}

}  // namespace

CommandPtr make_create(Desktop& d, PageId page, ObjectData data, ObjectId* created, std::string_view label) {
    if (!d.page_by_id(page)) return nullptr;
    const ObjectId id = d.new_id();
    if (created) *created = id;
    std::vector<model::PlacedObject> placed;
    placed.push_back({page, 0, model::ObjectEntry{std::move(data), id}});
    return std::make_unique<InsertObjects>(label, std::move(placed));
}

CommandPtr make_delete(const Desktop& d, const ObjectIds& ids, std::string_view label) {
    ObjectIds found = existing(d, ids);
    if (found.empty()) return nullptr;
    return std::make_unique<RemoveObjects>(label, std::move(found));
}

CommandPtr make_move(const Desktop& d, const ObjectIds& ids, int dx, int dy) {
    return change_each(d, ids, labels::kMove, [dx, dy](ObjectData& o) {
        model::Bounds& b = model::bounds_of(o);
        b.left = saturated(int64_t{b.left} + dx);
        b.top = saturated(int64_t{b.top} + dy);
    });
}

CommandPtr make_resize(const Desktop& d, ObjectId id, const model::Bounds& bounds) {
    return change_each(d, {id}, labels::kResize, [&bounds](ObjectData& o) { model::bounds_of(o) = bounds; });
}

CommandPtr make_edit(const Desktop& d, ObjectId id, ObjectData after, std::string_view label) {
    std::vector<std::pair<ObjectId, ObjectData>> one;
    one.emplace_back(id, std::move(after));
    return make_edits(d, std::move(one), label);
}

CommandPtr make_edits(const Desktop& d, std::vector<std::pair<ObjectId, ObjectData>> after,
                      std::string_view label) {
    std::vector<ChangeObjects::Edit> edits;
    for (auto& edit : after) {
        const ObjectId id = edit.first;
        ObjectData& data = edit.second;
        const model::ObjectRef ref = d.find_object(id);
        // An edited copy of another kind would turn the object into something else.
        if (!ref || ref.entry->data.index() != data.index() || ref.entry->data == data) continue;
        const bool twice =
            std::any_of(edits.begin(), edits.end(), [id](const auto& e) { return e.id == id; });
        if (!twice) edits.push_back({id, ref.entry->data, std::move(data)});
    }
    if (edits.empty()) return nullptr;
    return std::make_unique<ChangeObjects>(label, std::move(edits));
}

CommandPtr make_bring_to_front(const Desktop& d, const ObjectIds& ids) {
    return restack(d, ids, true, labels::kBringToFront);
}

CommandPtr make_send_to_back(const Desktop& d, const ObjectIds& ids) {
    return restack(d, ids, false, labels::kSendToBack);
}

CommandPtr make_group(const Desktop& d, const ObjectIds& ids) {
    int32_t largest = 0;
    auto scan = [&largest](const model::Page& p) {
        for (const auto& e : p.objects) largest = std::max(largest, model::tag_of(e.data));
    };
    if (d.master()) scan(*d.master());
    for (const auto& p : d.hidden_pages()) scan(*p);
    for (const auto& p : d.pages()) scan(*p);
    if (largest == std::numeric_limits<int32_t>::max()) return nullptr;
    const int32_t tag = largest + 1;
    return change_each(d, ids, labels::kGroup, [tag](ObjectData& o) { model::tag_of(o) = tag; });
}

CommandPtr make_ungroup(const Desktop& d, const ObjectIds& ids) {
    return change_each(d, ids, labels::kUngroup, [](ObjectData& o) { model::tag_of(o) = 0; });
}

CommandPtr make_move_to_page(const Desktop& d, const ObjectIds& ids, PageId target) {
    if (!d.page_by_id(target)) return nullptr;
    ObjectIds moving;
    std::vector<model::PlacedObject> placed;
    for (ObjectId id : existing(d, ids)) {
        const model::ObjectRef ref = d.find_object(id);
        if (ref.page->id == target) continue;
        moving.push_back(id);
        placed.push_back({target, 0, *ref.entry});
    }
    if (moving.empty()) return nullptr;
    std::vector<CommandPtr> parts;
    parts.push_back(std::make_unique<RemoveObjects>(labels::kMoveToPage, std::move(moving)));
    parts.push_back(std::make_unique<InsertObjects>(labels::kMoveToPage, std::move(placed)));
    return combine(labels::kMoveToPage, std::move(parts));
}

std::string copy_text(const Desktop& d, const ObjectIds& ids, const model::WriteContext& ctx) {
    std::string text;
    for (ObjectId id : existing(d, ids))
        text += model::write_object_group(d.find_object(id).entry->data, ctx);
    return text;
}

Paste make_paste(Desktop& d, PageId page, std::string_view ansi, const model::ReadContext& ctx,
                 std::string_view label) {
    Paste out;
    if (!d.page_by_id(page)) {
        out.error = "no page to paste on";
        return out;
    }
    model::Desktop scratch;
    scratch.create_master_page();  // objects before any page line
    if (auto refused = read_apart(scratch, ansi, ctx)) {
        out.error = std::move(*refused);
        return out;
    }
    // In the text's order, each to the front, so the last one read is on top as a load stacks it.
    std::vector<model::PlacedObject> placed;
    auto take = [&](const model::Page& p) {
        for (auto it = p.objects.rbegin(); it != p.objects.rend(); ++it) {
            placed.push_back({page, 0, model::ObjectEntry{it->data, d.new_id()}});
            out.objects.push_back(placed.back().entry.id);
        }
    };
    take(*scratch.master());
    for (const auto& p : scratch.pages()) take(*p);
    if (!placed.empty()) out.command = std::make_unique<InsertObjects>(label, std::move(placed));
    return out;
}

}  // namespace vx::editor
