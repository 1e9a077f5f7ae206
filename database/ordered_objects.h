// An ordered set of objects: the shape of a selection list and of a layer's members.
//
// Appending, removing the first object, the membership test and position lookups stay cheap
// for sets of 10^5 objects, so selecting or deselecting a whole subtree is linear.
#pragma once

#include <cstdint>
#include <deque>
#include <unordered_map>
#include <utility>
#include <vector>

class _object;

namespace kiv::db {

class OrderedObjects {
public:
    bool contains(_object *o) const { return seq_.count(o) != 0; }
    int count() const { return static_cast<int>(items_.size()); }
    bool empty() const { return items_.empty(); }
    // false, changing nothing, for null or an object already present.
    bool append(_object *o);
    // false when o is absent.
    bool remove(_object *o);
    // 1-based position, 0 when absent.
    int position(_object *o) const;
    // The i-th object (1-based); null out of range.
    _object *at(int i) const;
    _object *first() const { return items_.empty() ? nullptr : items_.front().second; }
    // The object after o; the first one when o is absent; null after the last.
    _object *next(_object *o) const;
    // The objects in order, for walks that change the set.
    std::vector<_object *> snapshot() const;
    void clear();

private:
    using Item = std::pair<std::uint64_t, _object *>;
    // Index of o's item; items_.size() when absent.
    std::size_t index_of(_object *o) const;

    // Sequence numbers grow with each append, so items_ stays sorted by them and a position is
    // found by binary search.
    std::deque<Item> items_;
    std::unordered_map<_object *, std::uint64_t> seq_;
    std::uint64_t next_seq_ = 0;
};

}  // namespace kiv::db
