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

ChangeEvents::ChangeEvents() : listeners_(std::make_shared<Listeners>()) {}

ChangeEvents::Subscription ChangeEvents::subscribe(Listener listener) {
    const uint64_t key = ++listeners_->last_key;
    listeners_->by_key.emplace(key, std::move(listener));
    return Subscription(listeners_, key);
}

void ChangeEvents::publish(const ChangeSet& changes) const {
    if (changes.empty()) return;
    std::vector<uint64_t> keys;
    for (const auto& [key, listener] : listeners_->by_key) keys.push_back(key);
    // A listener may subscribe or unsubscribe others while it is called: look each one up.
    const std::shared_ptr<Listeners> keep = listeners_;
    for (uint64_t key : keys) {
        const auto it = keep->by_key.find(key);
        if (it == keep->by_key.end()) continue;
        const Listener listener = it->second;
        listener(changes);
    }
}

ChangeEvents::Subscription& ChangeEvents::Subscription::operator=(Subscription&& other) noexcept {
    if (this != &other) {
        reset();
        listeners_ = std::move(other.listeners_);
        key_ = std::exchange(other.key_, 0);
    }
    return *this;
}

void ChangeEvents::Subscription::reset() {
    if (const auto listeners = listeners_.lock()) listeners->by_key.erase(key_);
    listeners_.reset();
    key_ = 0;
}

}  // namespace vx::editor
