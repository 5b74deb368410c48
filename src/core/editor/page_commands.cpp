#include "editor/page_commands.h"

#include <algorithm>

#include "editor/read_apart.h"
#include "security/admin_data.h"

namespace vx::editor {
namespace {

using model::Desktop;
using model::Page;
using model::PageId;

PageId current_id(const Desktop& d) {
    return d.current() ? d.current()->id : model::kNoId;
}

int position_of(const Desktop& d, PageId id) {
    const auto& pages = d.pages();
    for (size_t i = 0; i < pages.size(); ++i) {
        if (pages[i]->id == id) return static_cast<int>(i);
    }
    return -1;
}

// A page going into the list or out of it. The way in makes it current; the way out makes
// the next page current (the previous when it was last) if it was. Each way back restores
// the current page that was before.
class PageInOut final : public Command {
public:
    // Into the list at `position`.
    PageInOut(std::string_view label, std::unique_ptr<Page> page, size_t position)
        : Command(label), id_(page->id), held_(std::move(page)), position_(position), inserts_(true) {}
    // Out of the list.
    PageInOut(std::string_view label, PageId page) : Command(label), id_(page), inserts_(false) {}

    void apply(Desktop& d, ChangeLog& log) override { inserts_ ? put(d, log, true) : take(d, log, true); }
    void revert(Desktop& d, ChangeLog& log) override { inserts_ ? take(d, log, false) : put(d, log, false); }
    void renumber_icons(const IconRenumbering& new_number) override {
        if (held_) editor::renumber_icons(*held_, new_number);
    }

private:
    void put(Desktop& d, ChangeLog& log, bool forward) {
        if (!held_ || d.page_by_id(id_)) out_of_step("page " + std::to_string(id_) + " is there already");
        const PageId before = current_id(d);
        Page& page = d.insert_page(position_, std::move(held_));
        d.renumber_pages();
        d.set_current(forward ? &page : d.page_by_id(current_before_));
        current_before_ = before;
        log.page_list();
        log.page(id_);
    }

    void take(Desktop& d, ChangeLog& log, bool forward) {
        if (position_of(d, id_) < 0) out_of_step("page " + std::to_string(id_) + " is not in the list");
        const PageId before = current_id(d);
        held_ = d.take_page(id_, &position_);
        d.renumber_pages();
        if (!forward) {
            d.set_current(d.page_by_id(current_before_));
        } else if (before == id_) {
            const auto& pages = d.pages();
            if (position_ < pages.size()) {
                d.set_current(pages[position_].get());
            } else {
                d.set_current(pages.empty() ? nullptr : pages.back().get());
            }
        } else {
            d.set_current(d.page_by_id(before));
        }
        current_before_ = before;
        log.page_list();
        log.page(id_);
    }

    PageId id_;
    std::unique_ptr<Page> held_;
    size_t position_ = 0;
    bool inserts_;
    PageId current_before_ = model::kNoId;
};

class RenamePage final : public Command {
public:
    RenamePage(PageId page, std::string from, std::string to, std::vector<model::ObjectId> links)
        : Command(labels::kRenamePage),
          page_(page),
          from_(std::move(from)),
          to_(std::move(to)),
          links_(std::move(links)) {}

    void apply(Desktop& d, ChangeLog& log) override { rename(d, log, from_, to_); }
    void revert(Desktop& d, ChangeLog& log) override { rename(d, log, to_, from_); }

private:
    void rename(Desktop& d, ChangeLog& log, const std::string& from, const std::string& to) {
        Page* page = d.page_by_id(page_);
        if (!page || page->name != from) out_of_step("page " + std::to_string(page_) + " is not named so");
        std::vector<model::ObjectRef> buttons;
        for (model::ObjectId id : links_) {
            const model::ObjectRef ref = d.find_object(id);
            const auto* b = ref ? std::get_if<model::ButtonData>(&ref.entry->data) : nullptr;
            if (!b || b->page_link != from) out_of_step("link of button " + std::to_string(id));
            buttons.push_back(ref);
        }
        page->name = to;
        for (const model::ObjectRef& ref : buttons) {
            std::get<model::ButtonData>(ref.entry->data).page_link = to;
            log.objects(ref.page->id, ref.entry->id);
        }
        log.page(page_);
        log.page_list();
    }

    PageId page_;
    std::string from_;
    std::string to_;
    std::vector<model::ObjectId> links_;
};

class MovePage final : public Command {
public:
    MovePage(PageId page, int from, int to) : Command(labels::kMovePage), page_(page), from_(from), to_(to) {}

    void apply(Desktop& d, ChangeLog& log) override { move(d, log, from_, to_); }
    void revert(Desktop& d, ChangeLog& log) override { move(d, log, to_, from_); }

private:
    void move(Desktop& d, ChangeLog& log, int from, int to) {
        if (position_of(d, page_) != from) out_of_step("page " + std::to_string(page_) + " moved");
        d.move_page(from, to);
        log.page_list();
    }

    PageId page_;
    int from_;
    int to_;
};

class ChangePage final : public Command {
public:
    ChangePage(std::string_view label, PageId page, model::PageAttributes before, model::PageAttributes after)
        : Command(label), page_(page), before_(std::move(before)), after_(std::move(after)) {}

    void apply(Desktop& d, ChangeLog& log) override { set(d, log, after_); }
    void revert(Desktop& d, ChangeLog& log) override { set(d, log, before_); }
    void renumber_icons(const IconRenumbering& new_number) override {
        editor::renumber_icons(before_, new_number);
        editor::renumber_icons(after_, new_number);
    }

private:
    void set(Desktop& d, ChangeLog& log, const model::PageAttributes& to) {
        Page* page = d.page_by_id(page_);
        if (!page) out_of_step("page " + std::to_string(page_) + " is gone");
        static_cast<model::PageAttributes&>(*page) = to;
        log.page(page_);
    }

    PageId page_;
    model::PageAttributes before_;
    model::PageAttributes after_;
};

}  // namespace

CommandPtr make_add_page(Desktop& d, std::string name, PageId* added) {
    auto page = d.new_page_record(std::move(name));
    if (added) *added = page->id;
    const size_t position = d.new_page_position(page->name);
    return std::make_unique<PageInOut>(labels::kAddPage, std::move(page), position);
}

CommandPtr make_delete_page(const Desktop& d, PageId page) {
    if (position_of(d, page) < 0) return nullptr;
    return std::make_unique<PageInOut>(labels::kDeletePage, page);
}

CommandPtr make_rename_page(const Desktop& d, PageId page_id, std::string name) {
    const Page* page = d.page_by_id(page_id);
    if (!page || page == d.master() || page->name == name) return nullptr;
    std::vector<model::ObjectId> links;
    // A link leads to the first page of its name (the shell looks names up without regard to
    // case): when another page of that name stands before this one, the links lead there and
    // stay with it. A copied page keeps its source's name, and renaming the copy must not take
    // the source's links along.
    for (const auto& p : d.pages()) {
        if (p.get() == page) break;
        if (security::same_without_case(p->name, page->name))
            return std::make_unique<RenamePage>(page_id, page->name, std::move(name), std::move(links));
    }
    auto scan = [&](const Page& p) {
        for (const auto& e : p.objects) {
            const auto* b = std::get_if<model::ButtonData>(&e.data);
            if (b && b->page_link == page->name) links.push_back(e.id);
        }
    };
    if (d.master()) scan(*d.master());
    for (const auto& p : d.hidden_pages()) scan(*p);
    for (const auto& p : d.pages()) scan(*p);
    return std::make_unique<RenamePage>(page_id, page->name, std::move(name), std::move(links));
}

PageCopy make_copy_page(Desktop& d, PageId page_id, const model::ReadContext& read,
                        const model::WriteContext& write) {
    PageCopy out;
    const Page* source = d.page_by_id(page_id);
    if (!source || source == d.master()) {
        out.error = "no page to copy";
        return out;
    }
    const std::string text = model::write_page_group(*source, write);
    Desktop scratch;
    if (auto refused = read_apart(scratch, text, read)) {
        out.error = std::move(*refused);
        return out;
    }
    if (scratch.pages().size() != 1) {
        out.error = "the page form did not read back as one page";
        return out;
    }
    std::unique_ptr<Page> copy = scratch.take_page(scratch.pages().front()->id);
    copy->id = d.new_id();
    for (auto& e : copy->objects) e.id = d.new_id();
    out.page = copy->id;
    const size_t position = d.new_page_position(copy->name);
    out.command = std::make_unique<PageInOut>(labels::kCopyPage, std::move(copy), position);
    return out;
}

CommandPtr make_move_page(const Desktop& d, PageId page, PageId target, PagePlace place) {
    const int from = position_of(d, page);
    const int at = position_of(d, target);
    if (from < 0 || at < 0 || from == at) return nullptr;
    if (d.pages()[static_cast<size_t>(from)]->is_startup() ||
        d.pages()[static_cast<size_t>(at)]->is_startup())
        return nullptr;
    // Where the target stands once the page is out of the list.
    const int target_after = at > from ? at - 1 : at;
    const int to = place == PagePlace::Before ? target_after : target_after + 1;
    if (to == from) return nullptr;
    return std::make_unique<MovePage>(page, from, to);
}

CommandPtr make_drop_page(const Desktop& d, PageId page, PageId target) {
    return make_move_page(
        d, page, target,
        position_of(d, page) < position_of(d, target) ? PagePlace::After : PagePlace::Before);
}

CommandPtr make_page_settings(const Desktop& d, PageId page_id, model::PageAttributes after,
                              std::string_view label) {
    const Page* page = d.page_by_id(page_id);
    if (!page) return nullptr;
    const model::PageAttributes& before = *page;
    if (before == after) return nullptr;
    return std::make_unique<ChangePage>(label, page_id, before, std::move(after));
}

CommandPtr make_show_master_items(const Desktop& d, PageId page_id, bool show) {
    const Page* page = d.page_by_id(page_id);
    if (!page) return nullptr;
    model::PageAttributes after = *page;
    after.show_master_items = show;
    return make_page_settings(d, page_id, std::move(after), labels::kShowMasterItems);
}

CommandPtr make_set_palette(const Desktop& d, PageId page_id, const model::Palette& palette) {
    const Page* page = d.page_by_id(page_id);
    if (!page) return nullptr;
    model::PageAttributes after = *page;
    after.palette = palette;
    return make_page_settings(d, page_id, std::move(after), labels::kSetPalette);
}

CommandPtr make_copy_to_all_pages(const Desktop& d, PageId source, const model::PageAttributes& from) {
    std::vector<CommandPtr> parts;
    for (const auto& p : d.pages()) {
        if (p->id == source) continue;
        model::PageAttributes a = *p;
        a.background = from.background;
        a.background_color = from.background_color;
        a.interval = from.interval;
        a.tab_icon = from.tab_icon;
        a.wallpaper = from.wallpaper;
        a.tile_image = from.tile_image;
        a.center_image = from.center_image;
        a.show_master_items = from.show_master_items;
        a.left_margin = from.left_margin;
        a.top_margin = from.top_margin;
        parts.push_back(make_page_settings(d, p->id, std::move(a)));
    }
    return combine(labels::kPageSettings, std::move(parts));
}

}  // namespace vx::editor
