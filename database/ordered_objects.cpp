// An ordered set of objects.
#include "database/ordered_objects.h"

#include <algorithm>

namespace kiv::db {

bool OrderedObjects::append(_object *o)
{
    if (!o || !seq_.emplace(o, next_seq_).second)
        return false;
    items_.emplace_back(next_seq_++, o);
    return true;
}

std::size_t OrderedObjects::index_of(_object *o) const
{
    auto s = seq_.find(o);
    if (s == seq_.end())
        return items_.size();
    auto it = std::lower_bound(items_.begin(), items_.end(), s->second,
                               [](const Item &item, std::uint64_t v) { return item.first < v; });
    return static_cast<std::size_t>(it - items_.begin());
}

bool OrderedObjects::remove(_object *o)
{
    const std::size_t i = index_of(o);
    if (i == items_.size())
        return false;
    seq_.erase(o);
    if (i == 0)
        items_.pop_front();
    else
        items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(i));
    return true;
}

int OrderedObjects::position(_object *o) const
{
    const std::size_t i = index_of(o);
    return i == items_.size() ? 0 : static_cast<int>(i) + 1;
}

_object *OrderedObjects::at(int i) const
{
    if (i < 1 || i > count())
        return nullptr;
    return items_[static_cast<std::size_t>(i - 1)].second;
}

_object *OrderedObjects::next(_object *o) const
{
    const std::size_t i = index_of(o);
    if (i == items_.size())
        return first();
    return i + 1 < items_.size() ? items_[i + 1].second : nullptr;
}

std::vector<_object *> OrderedObjects::snapshot() const
{
    std::vector<_object *> out;
    out.reserve(items_.size());
    for (const Item &item : items_)
        out.push_back(item.second);
    return out;
}

void OrderedObjects::clear()
{
    items_.clear();
    seq_.clear();
}

}  // namespace kiv::db
