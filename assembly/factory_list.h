// One sorted list of factory pointers, the shape shared by the loader and saver registries.
#pragma once

#include <kivctrl/qel_list.h>
#include <kivctrl/qel_msg.h>

#include <cstdint>
#include <memory>

namespace kiv::assembly {

// Factories in the order of compare; a new one goes after every factory that does not sort
// after it. The list exists only while it holds a factory and owns none of them. Each
// registration and removal is announced with the factory's 1-based position.
template <class Factory> class FactoryList {
public:
    using Matches = bool (*)(Factory *f, const char *name);

    FactoryList(SRTDLIST_CMP compare, Matches matches, short registered, short unregistered)
        : compare_(compare), matches_(matches), registered_(registered),
          unregistered_(unregistered)
    {
    }

    // Replaces a factory registered under f's name. Returns f's position, 0 when nothing was
    // registered.
    int add(Factory *f, const char *name)
    {
        if (f == nullptr)
            return 0;
        if (Factory *old = get(name))
            remove(old);
        if (!list_) {
            list_.reset(new (std::nothrow) SRTDLIST(compare_));
            if (!list_)
                return 0;
        }
        const int index = list_->append(f);
        if (index != 0)
            msg_send(registered_, nullptr, index);
        else if (list_->count() == 0)
            list_.reset();
        return index;
    }

    void remove(Factory *f)
    {
        const int index = find(f);
        if (index == 0)
            return;
        msg_send(unregistered_, nullptr, index);
        // A listener may have changed the list; remove f where it is now.
        if (const int now = find(f))
            list_->remove(now);
        if (list_ && list_->count() == 0)
            list_.reset();
    }

    int count() const { return list_ ? list_->count() : 0; }

    Factory *get(int i) const
    {
        if (!list_ || i < 1 || i > list_->count())
            return nullptr;
        return static_cast<Factory *>(list_->get(i));
    }

    // Walks from the last factory to the first.
    Factory *get(const char *name) const
    {
        for (int i = count(); i >= 1; --i)
            if (Factory *f = get(i); matches_(f, name))
                return f;
        return nullptr;
    }

    int find(Factory *f) const { return list_ && f ? list_->find(f) : 0; }

private:
    std::unique_ptr<SRTDLIST> list_;
    SRTDLIST_CMP compare_;
    Matches matches_;
    short registered_;
    short unregistered_;
};

} // namespace kiv::assembly
