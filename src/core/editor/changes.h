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
#include "util/notifier.h"

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
public:
    using Listener = Notifier<const ChangeSet&>::Listener;
    // Ends the subscription when it goes; may outlive the events it came from.
    using Subscription = Notifier<const ChangeSet&>::Subscription;

    [[nodiscard]] Subscription subscribe(Listener listener) {
        return notifier_.subscribe(std::move(listener));
    }
    // Listeners in the order they subscribed; one that unsubscribes another during the notice
    // keeps it from being called. An empty set is no notice.
    void publish(const ChangeSet& changes) const {
        if (!changes.empty()) notifier_.notify(changes);
    }

private:
    Notifier<const ChangeSet&> notifier_;
};

}  // namespace vx::editor
