// One list of registered factories, the shape shared by the loader, saver, image reader and
// writer, and task registries: each says how its factories are ordered, found by name and
// announced.
#pragma once

#include <kivctrl/qel_list.h>
#include <kivctrl/qel_msg.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <new>

namespace kiv::foundation {

template <class Factory>
struct FactoryRules {
    // A new factory goes after every factory that does not sort after it; without an order
    // factories keep the order in which they registered.
    SRTDLIST_CMP order = nullptr;
    // Whether f is found under name.
    bool (*named)(Factory *f, const char *name) = nullptr;
    // The messages announcing a registration and a removal, with the factory's 1-based
    // position; their data is the factory itself when factory_in_messages is set, else null.
    short registered = 0;
    short unregistered = 0;
    bool factory_in_messages = false;
    // Registering a factory that is already listed, or one found under the new one's name,
    // first removes the older one.
    bool replace = true;
    // A name finds the last factory listed under it, else the first.
    bool last_named_wins = true;
};

// The list exists only while it holds a factory and owns none of them. Any thread may use it:
// the background loaders look factories up while the window thread does. Announcements go
// out without the registry's lock, so listeners may use the registry.
template <class Factory>
class FactoryRegistry {
public:
    explicit FactoryRegistry(const FactoryRules<Factory> &rules) : rules_(rules) {}

    // f's position after registering it under name; 0 for a null f or when memory ran out.
    int add(Factory *f, const char *name)
    {
        if (f == nullptr)
            return 0;
        if (rules_.replace) {
            if (Factory *old = find(f) != 0 ? f : get(name))
                remove(old);
        }
        int index = 0;
        {
            std::lock_guard lock(mutex_);
            if (!list_) {
                list_.reset(new (std::nothrow) SRTDLIST(rules_.order));
                if (!list_)
                    return 0;
            }
            index = list_->append(f);
            if (index == 0 && list_->count() == 0)
                list_.reset();
        }
        if (index != 0)
            announce(rules_.registered, f, index);
        return index;
    }

    // Announces f's removal with its position, then takes f out wherever it is once the
    // listeners are done: they may have changed the list. The position announced; 0 when f
    // was not registered.
    int remove(Factory *f)
    {
        const int index = find(f);
        if (index == 0)
            return 0;
        announce(rules_.unregistered, f, index);
        std::lock_guard lock(mutex_);
        if (const int now = find(f))
            list_->remove(now);
        if (list_ && list_->count() == 0)
            list_.reset();
        return index;
    }

    int count() const
    {
        std::lock_guard lock(mutex_);
        return list_ ? list_->count() : 0;
    }

    // The i-th factory, null outside 1..count().
    Factory *get(int i) const
    {
        std::lock_guard lock(mutex_);
        if (!list_ || i < 1 || i > list_->count())
            return nullptr;
        return static_cast<Factory *>(list_->get(i));
    }

    Factory *get(const char *name) const
    {
        std::lock_guard lock(mutex_);
        const int n = count();
        for (int k = 1; k <= n; ++k) {
            Factory *f = get(rules_.last_named_wins ? n + 1 - k : k);
            if (rules_.named(f, name))
                return f;
        }
        return nullptr;
    }

    // f's position, 0 when it is not registered.
    int find(Factory *f) const
    {
        std::lock_guard lock(mutex_);
        return list_ && f ? list_->find(f) : 0;
    }

private:
    void announce(short code, Factory *f, int index) const
    {
        msg_send(code, rules_.factory_in_messages ? f : nullptr, static_cast<std::intptr_t>(index));
    }

    // Recursive: lookups by name go through the others. Reading the list moves its cached
    // position, so readers take it too.
    mutable std::recursive_mutex mutex_;
    std::unique_ptr<SRTDLIST> list_;
    FactoryRules<Factory> rules_;
};

}  // namespace kiv::foundation
