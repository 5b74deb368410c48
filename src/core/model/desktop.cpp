#include "model/desktop.h"

#include <algorithm>

#include "model/palette_file.h"

namespace vx::model {

const Bounds& bounds_of(const ObjectData& d) {
    return std::visit([](const auto& o) -> const Bounds& { return o.bounds; }, d);
}

Bounds& bounds_of(ObjectData& d) {
    return std::visit([](auto& o) -> Bounds& { return o.bounds; }, d);
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

std::unique_ptr<Page> Desktop::make_page(std::string name) const {
    auto page = std::make_unique<Page>();
    page->name = std::move(name);
    page->palette = logical_palette;
    return page;
}

Page& Desktop::add_page(std::string name) {
    auto page = make_page(std::move(name));
    Page& ref = *page;
    // "StartUp" stays last: the new page goes before it, takes its number and moves it one on.
    // A damaged file may hold several; the new page then goes before all of them at the end,
    // and another "StartUp" is appended, so that saving and loading again keeps the order.
    size_t at = pages_.size();
    if (!ref.is_startup()) {
        while (at > 0 && pages_[at - 1]->is_startup()) --at;
    }
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
    auto page = make_page(std::move(name));
    page->number = static_cast<int32_t>(pages_.size());
    Page& ref = *page;
    hidden_.push_back(std::move(page));
    current_ = &ref;
    return ref;
}

Page& Desktop::create_master_page() {
    if (master_) std::erase_if(scheduled_, [&](const ScheduledLaunch& s) { return s.page == master_.get(); });
    master_ = make_page(std::string());
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
    std::erase_if(scheduled_, [&](const ScheduledLaunch& s) { return s.page == it->get(); });
    pages_.erase(it);
    return true;
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
    page.objects.push_front(ObjectEntry{std::move(data)});
    return page.objects.front();
}

void Desktop::delete_object(Page& page, const ObjectEntry& entry) {
    unschedule(entry);
    page.objects.remove_if([&](const ObjectEntry& e) { return &e == &entry; });
}

void Desktop::schedule(Page& page, ObjectEntry& entry) {
    for (const auto& s : scheduled_) {
        if (s.entry == &entry) return;
    }
    scheduled_.push_back({&page, &entry});
}

void Desktop::unschedule(const ObjectEntry& entry) {
    std::erase_if(scheduled_, [&](const ScheduledLaunch& s) { return s.entry == &entry; });
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
