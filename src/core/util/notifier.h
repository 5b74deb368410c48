#pragma once
// Listeners told of a model's changes. A subscription ends its listener when it goes, whichever of
// the two is destroyed first; a listener may end subscriptions (its own or others') while it is
// told, and one ended so is not called after.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace vx {

template <class... Args>
class Notifier {
    struct Listeners;

public:
    using Listener = std::function<void(Args...)>;

    class Subscription {
    public:
        Subscription() = default;
        Subscription(Subscription&&) noexcept = default;
        Subscription& operator=(Subscription&& other) noexcept {
            if (this != &other) {
                reset();
                listeners_ = std::move(other.listeners_);
                key_ = std::exchange(other.key_, 0);
            }
            return *this;
        }
        Subscription(const Subscription&) = delete;
        Subscription& operator=(const Subscription&) = delete;
        ~Subscription() { reset(); }
        void reset() {
            if (const auto listeners = listeners_.lock()) listeners->by_key.erase(key_);
            listeners_.reset();
            key_ = 0;
        }

    private:
        friend class Notifier;
        Subscription(std::weak_ptr<Listeners> listeners, std::uint64_t key)
            : listeners_(std::move(listeners)), key_(key) {}
        std::weak_ptr<Listeners> listeners_;
        std::uint64_t key_ = 0;
    };

    Notifier() : listeners_(std::make_shared<Listeners>()) {}

    [[nodiscard]] Subscription subscribe(Listener listener) {
        const std::uint64_t key = ++listeners_->last_key;
        listeners_->by_key.emplace(key, std::move(listener));
        return Subscription(listeners_, key);
    }

    // Each listener in the order it subscribed.
    void notify(Args... args) const {
        std::vector<std::uint64_t> keys;
        for (const auto& entry : listeners_->by_key) keys.push_back(entry.first);
        const std::shared_ptr<Listeners> keep = listeners_;
        for (std::uint64_t key : keys) {
            const auto it = keep->by_key.find(key);
            if (it == keep->by_key.end()) continue;
            const Listener listener = it->second;
            listener(args...);
        }
    }

private:
    struct Listeners {
        std::map<std::uint64_t, Listener> by_key;
        std::uint64_t last_key = 0;
    };
    std::shared_ptr<Listeners> listeners_;
};

}  // namespace vx
