#include <kivctrl/qel_props.h>
#include <kivctrl/qel_string.h>

#include <memory>
#include <optional>

struct Props::Entry {
    std::optional<std::string> key;  // empty: the null key
    std::unique_ptr<Property> property;

    const char *key_text() const { return key ? key->c_str() : nullptr; }
};

Props::Entry *Props::entry(const char *key)
{
    ILIST_ITER it(entries_);
    while (it.next()) {
        auto *e = static_cast<Entry *>(it.getdata());
        if (qel_stricmp(e->key_text(), key) == 0)
            return e;
    }
    return nullptr;
}

Property *Props::put(const char *key, Property &&p)
{
    if (Entry *e = entry(key)) {
        Property &old = *e->property;
        old.setValue(p.getValue());
        old.setLabel(p.getLabel());
        old.setState(p.getState());
        return &old;
    }
    auto e = std::make_unique<Entry>(
        Entry{key ? std::optional<std::string>(key) : std::nullopt, std::make_unique<Property>(std::move(p))});
    if (!entries_.append(e.get()))
        return nullptr;
    return e.release()->property.get();
}

Property *Props::add(const char *key, const char *value)
{
    return put(key, Property(value));
}

Property *Props::add(const char *key, const char *value, const char *label)
{
    return put(key, Property(value, label));
}

Property *Props::add(const char *key, const char *value, PropertyState state)
{
    return put(key, Property(value, state));
}

Property *Props::get(const char *key)
{
    Entry *e = entry(key);
    return e ? e->property.get() : nullptr;
}

int Props::remove(const char *key)
{
    Entry *e = entry(key);
    if (!e)
        return 0;
    entries_.remove(static_cast<void *>(e));
    delete e;
    return 1;
}

void Props::removeAll()
{
    ILIST_ITER it(entries_);
    while (it.first()) {
        delete static_cast<Entry *>(it.getdata());
        it.remove();
    }
}

void Props::move(const char *key, const char *after)
{
    Entry *moving = entry(key);
    Entry *behind = after ? entry(after) : nullptr;
    if (!moving || (after && !behind) || moving == behind)
        return;
    ILIST_ITER old(entries_);
    old.find(moving);
    ILIST_ITER at(entries_);
    if (behind)
        at.find(behind);
    if (at.insert_after(moving))
        old.remove();
}

const char *PropsIter::getKey()
{
    auto *e = static_cast<Props::Entry *>(it_.getdata());
    return e ? e->key_text() : nullptr;
}

Property *PropsIter::getProperty()
{
    auto *e = static_cast<Props::Entry *>(it_.getdata());
    return e ? e->property.get() : nullptr;
}
