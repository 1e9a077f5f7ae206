// One sorted list of picture factories, shared by the image reader, still writer and movie
// writer registries.
#pragma once

#include <kivctrl/qel_list.h>
#include <kivctrl/qel_msg.h>
#include <kivctrl/qel_string.h>

#include <memory>

namespace kiv::formats {

// Factories sorted by suffix() and then name(), case-insensitively; equal ones keep their
// order of registration. The list exists only while it holds a factory.
template <class Factory> class ImageRegistry {
public:
    ImageRegistry(short registered, short unregistered, bool replace_same_name)
        : registered_(registered), unregistered_(unregistered), replace_(replace_same_name)
    {
    }

    int add(Factory *f)
    {
        if (f == nullptr)
            return 0;
        if (replace_)
            if (Factory *old = get(f->name()))
                remove(old);
        if (!list_)
            list_ = std::make_unique<SRTDLIST>(&compare);
        const int index = list_->append(f);
        if (index != 0)
            msg_send(registered_, nullptr, index);
        return index;
    }

    int remove(Factory *f)
    {
        const int index = find(f);
        if (index == 0)
            return 0;
        msg_send(unregistered_, nullptr, index);
        list_->remove(index);
        if (list_->count() == 0)
            list_.reset();
        return 0;
    }

    int count() const { return list_ ? list_->count() : 0; }

    Factory *get(int i) const { return list_ ? static_cast<Factory *>(list_->get(i)) : nullptr; }

    Factory *get(const char *name) const
    {
        for (int i = 1; i <= count(); ++i)
            if (qel_stricmp(get(i)->name(), name) == 0)
                return get(i);
        return nullptr;
    }

    int find(Factory *f) const { return list_ && f ? list_->find(f) : 0; }

private:
    static int compare(void *a, void *b)
    {
        auto *fa = static_cast<Factory *>(a);
        auto *fb = static_cast<Factory *>(b);
        if (const int c = qel_stricmp(fa->suffix(), fb->suffix()))
            return c;
        return qel_stricmp(fa->name(), fb->name());
    }

    std::unique_ptr<SRTDLIST> list_;
    short registered_;
    short unregistered_;
    bool replace_;
};

} // namespace kiv::formats
