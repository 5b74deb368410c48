#include "model/desktop.h"

#include <algorithm>
#include <atomic>

#include "model/palette_file.h"

namespace vx::model {

const Bounds& bounds_of(const ObjectData& d) {
    return std::visit([](const auto& o) -> const Bounds& { return o.bounds; }, d);
}

Bounds& bounds_of(ObjectData& d) {
    return std::visit([](auto& o) -> Bounds& { return o.bounds; }, d);
}

int32_t tag_of(const ObjectData& d) {
    return std::visit([](const auto& o) { return o.tag; }, d);
}

int32_t& tag_of(ObjectData& d) {
    return std::visit([](auto& o) -> int32_t& { return o.tag; }, d);
}

Page* Desktop::find_page(int number) const {
    if (number == kMasterPageNumber) return master_.get();
    for (const auto& p : pages_) {
        if (p->number == number) return p.get();
    }
    return nullptr;
}

Page* Desktop::find_page(std::string_view name) const {
    for (const auto& p : pages_) {
        if (p->name == name) return p.get();
    }
    return nullptr;
}

Page* Desktop::page_by_id(PageId id) const {
    if (id == kNoId) return nullptr;
    if (master_ && master_->id == id) return master_.get();
    for (const auto* list : {&pages_, &hidden_}) {
        for (const auto& p : *list) {
            if (p->id == id) return p.get();
        }
    }
    return nullptr;
}

uint64_t Desktop::new_id() {
    static std::atomic<uint64_t> last{kNoId};
    return ++last;
}

ObjectRef Desktop::find_object(ObjectId id) const {
    if (id == kNoId) return {};
    auto search = [id](Page& page) -> ObjectRef {
        for (ObjectEntry& e : page.objects) {
            if (e.id == id) return {&page, &e};
        }
        return {};
    };
    if (master_) {
        if (const ObjectRef r = search(*master_)) return r;
    }
    for (const auto* list : {&pages_, &hidden_}) {
        for (const auto& p : *list) {
            if (const ObjectRef r = search(*p)) return r;
        }
    }
    return {};
}

Palette default_palette() {
    Palette p{};
    size_t i = 0;
    for (const PaletteEntry& c : windows16_colors()) p[i++] = c;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                p[i++] = {static_cast<uint8_t>(r * 51), static_cast<uint8_t>(g * 51),
                          static_cast<uint8_t>(b * 51), 0};
    for (int k = 0; k < 24; ++k) {
        const auto v = static_cast<uint8_t>(8 + 10 * k);
        p[i++] = {v, v, v, 0};
    }
    return p;
}

int Desktop::index_of(const Page* page) const {
    for (size_t i = 0; i < pages_.size(); ++i) {
        if (pages_[i].get() == page) return static_cast<int>(i);
    }
    return -1;
}

std::unique_ptr<Page> Desktop::new_page_record(std::string name) {
    auto page = std::make_unique<Page>();
    page->id = new_id();
    page->name = std::move(name);
    page->palette = logical_palette;
    return page;
}

size_t Desktop::new_page_position(std::string_view name) const {
    // "StartUp" stays last: a new page goes before it. A damaged file may hold several; the
    // new page then goes before all of them at the end, and another "StartUp" is appended, so
    // that saving and loading again keeps the order.
    size_t at = pages_.size();
    if (name != kStartUpPage) {
        while (at > 0 && pages_[at - 1]->is_startup()) --at;
    }
    return at;
}

Page& Desktop::add_page(std::string name) {
    auto page = new_page_record(std::move(name));
    Page& ref = *page;
    // The new page takes the number of the "StartUp" page it goes before and moves it one on.
    const size_t at = new_page_position(ref.name);
    if (at < pages_.size()) {
        ref.number = pages_[at]->number;
        for (size_t i = at; i < pages_.size(); ++i) pages_[i]->number += 1;
    } else {
        ref.number = static_cast<int32_t>(pages_.size());
    }
    pages_.insert(pages_.begin() + static_cast<std::ptrdiff_t>(at), std::move(page));
    current_ = &ref;
    return ref;
}

Page& Desktop::add_hidden_page(std::string name) {
    auto page = new_page_record(std::move(name));
    page->number = static_cast<int32_t>(pages_.size());
    Page& ref = *page;
    hidden_.push_back(std::move(page));
    current_ = &ref;
    return ref;
}

Page& Desktop::create_master_page() {
    if (master_) unschedule_page(*master_);
    master_ = new_page_record(std::string());
    master_->number = kMasterPageNumber;
    current_ = master_.get();
    return *master_;
}

void Desktop::move_page(int from, int to) {
    const int n = static_cast<int>(pages_.size());
    if (from < 0 || from >= n) return;
    to = std::clamp(to, 0, n - 1);
    auto page = std::move(pages_[static_cast<size_t>(from)]);
    pages_.erase(pages_.begin() + from);
    pages_.insert(pages_.begin() + to, std::move(page));
    renumber_pages();
}

bool Desktop::delete_page(int number) {
    auto it = std::find_if(pages_.begin(), pages_.end(), [&](const auto& p) { return p->number == number; });
    if (it == pages_.end()) return false;
    if (current_ == it->get()) {
        if (it + 1 != pages_.end()) {
            current_ = (it + 1)->get();
        } else if (it != pages_.begin()) {
            current_ = (it - 1)->get();
        } else {
            current_ = nullptr;
        }
    }
    unschedule_page(**it);
    pages_.erase(it);
    return true;
}

std::unique_ptr<Page> Desktop::take_page(PageId id, size_t* position) {
    auto it = std::find_if(pages_.begin(), pages_.end(), [&](const auto& p) { return p->id == id; });
    if (it == pages_.end()) return nullptr;
    if (position) *position = static_cast<size_t>(it - pages_.begin());
    std::unique_ptr<Page> page = std::move(*it);
    pages_.erase(it);
    if (current_ == page.get()) current_ = nullptr;
    unschedule_page(*page);
    return page;
}

Page& Desktop::insert_page(size_t position, std::unique_ptr<Page> page) {
    Page& ref = *page;
    position = std::min(position, pages_.size());
    pages_.insert(pages_.begin() + static_cast<std::ptrdiff_t>(position), std::move(page));
    for (auto it = ref.objects.rbegin(); it != ref.objects.rend(); ++it) follow_launch_word(*it);
    return ref;
}

void Desktop::clear() {
    scheduled_.clear();
    while (!pages_.empty()) pages_.pop_back();
    hidden_.clear();
    master_.reset();
    current_ = nullptr;
}

void Desktop::renumber_pages() {
    for (size_t i = 0; i < pages_.size(); ++i) pages_[i]->number = static_cast<int32_t>(i);
}

ObjectEntry& Desktop::add_object(Page& page, ObjectData data) {
    return insert_object(page, 0, ObjectEntry{std::move(data), new_id()});
}

void Desktop::delete_object(Page& page, const ObjectEntry& entry) {
    unschedule(entry.id);
    page.objects.remove_if([&](const ObjectEntry& e) { return &e == &entry; });
}

ObjectEntry& Desktop::insert_object(Page& page, size_t index, ObjectEntry entry) {
    auto at = page.objects.begin();
    std::advance(at, static_cast<std::ptrdiff_t>(std::min(index, page.objects.size())));
    ObjectEntry& ref = *page.objects.insert(at, std::move(entry));
    follow_launch_word(ref);
    return ref;
}

std::optional<PlacedObject> Desktop::remove_object(ObjectId id) {
    const ObjectRef ref = find_object(id);
    if (!ref) return std::nullopt;
    auto& list = ref.page->objects;
    auto it = std::find_if(list.begin(), list.end(), [&](const ObjectEntry& e) { return e.id == id; });
    PlacedObject placed{ref.page->id, static_cast<size_t>(std::distance(list.begin(), it)), std::move(*it)};
    list.erase(it);
    unschedule(id);
    return placed;
}

void Desktop::set_object_data(ObjectEntry& entry, ObjectData data) {
    entry.data = std::move(data);
    follow_launch_word(entry);
}

void Desktop::follow_launch_word(const ObjectEntry& entry) {
    const auto* b = std::get_if<ButtonData>(&entry.data);
    if (b && (b->launch_day & kLaunchScheduled)) {
        schedule(entry.id);
    } else {
        unschedule(entry.id);
    }
}

void Desktop::unschedule_page(const Page& page) {
    for (const ObjectEntry& e : page.objects) unschedule(e.id);
}

void Desktop::schedule(ObjectId id) {
    for (const auto& s : scheduled_) {
        if (s.object == id) return;
    }
    scheduled_.push_back({id});
}

void Desktop::unschedule(ObjectId id) {
    std::erase_if(scheduled_, [&](const ScheduledLaunch& s) { return s.object == id; });
}

std::vector<const Page*> Desktop::tab_pages(bool modify_mode) const {
    std::vector<const Page*> tabs;
    if (modify_mode && master_) tabs.push_back(master_.get());
    const Page* startup = nullptr;
    for (const auto& p : pages_) {
        if (p->is_startup()) {
            startup = p.get();
        } else {
            tabs.push_back(p.get());
        }
    }
    if (modify_mode && startup) tabs.push_back(startup);
    return tabs;
}

std::vector<PageMenuItem> Desktop::page_menu_items() const {
    std::vector<PageMenuItem> items;
    for (size_t i = 0; i < pages_.size(); ++i) {
        items.push_back(
            {pages_[i].get(), menu_item_starts_column(static_cast<int>(i)), pages_[i]->is_startup()});
    }
    return items;
}

size_t Desktop::object_count() const {
    size_t n = master_ ? master_->objects.size() : 0;
    for (const auto& p : pages_) n += p->objects.size();
    for (const auto& p : hidden_) n += p->objects.size();
    return n;
}

}  // namespace vx::model
