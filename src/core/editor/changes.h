#pragma once
// What one step of the editor changed, for the windows that show the desktop. A view does not
// learn how an object changed, only which: it looks each id up again (an id that finds nothing
// was removed, one it has no drawing for was created) and redraws from the model.
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "model/objects.h"

namespace vx::editor {

struct Change {
    enum class What {
        Objects,   // objects of `page` were created, removed, changed or restacked
        PageList,  // pages were added, removed, moved or renamed; the current page may differ
        Page,      // the attributes or the name of `page`
    };
    What what = What::Objects;
    model::PageId page = model::kNoId;
    std::vector<model::ObjectId> objects;  // Objects only, each once, in the order first met

    bool operator==(const Change&) const = default;
};
using ChangeSet = std::vector<Change>;

// Gathers the changes of one step: one entry per page and kind, so that a compound step is
// one notice and one repaint.
class ChangeLog {
public:
    void objects(model::PageId page, model::ObjectId id);
    void page(model::PageId page);
    void page_list();
    bool empty() const { return changes_.empty(); }
    ChangeSet take() { return std::exchange(changes_, {}); }

private:
    ChangeSet changes_;
};

class ChangeEvents {
    struct Listeners;

public:
    using Listener = std::function<void(const ChangeSet&)>;

    // Ends the subscription when it goes; may outlive the events it came from.
    class Subscription {
    public:
        Subscription() = default;
        Subscription(Subscription&&) noexcept = default;
        Subscription& operator=(Subscription&& other) noexcept;
        Subscription(const Subscription&) = delete;
        Subscription& operator=(const Subscription&) = delete;
        ~Subscription() { reset(); }
        void reset();

    private:
        friend class ChangeEvents;
        Subscription(std::weak_ptr<Listeners> listeners, uint64_t key)
            : listeners_(std::move(listeners)), key_(key) {}
        std::weak_ptr<Listeners> listeners_;
        uint64_t key_ = 0;
    };

    ChangeEvents();
    [[nodiscard]] Subscription subscribe(Listener listener);
    // Listeners in the order they subscribed; one that unsubscribes another during the notice
    // keeps it from being called.
    void publish(const ChangeSet& changes) const;

private:
    struct Listeners {
        std::map<uint64_t, Listener> by_key;
        uint64_t last_key = 0;
    };
    std::shared_ptr<Listeners> listeners_;
};

}  // namespace vx::editor
