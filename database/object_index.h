// Resolving many ids or names against one tree: a single pre-order walk fills two maps, so a
// list of n entries costs one walk plus n look-ups instead of n walks.
#pragma once

#include <kivctrl/qel_scan.h>

#include "foundation/id_name_map.h"

class _object;

namespace kiv::db {

// The reading of an owner or entry text shared by the tree walk and the index: a positive
// number is tried as an id, then the text as a name; "0" finds nothing.
template <class ById, class ByName>
_object *find_id_or_name(const char *text, ById by_id, ByName by_name)
{
    if (!text)
        return nullptr;
    int v = 0;
    if (scan_int(text, &v)) {
        if (v == 0)
            return nullptr;
        if (v >= 1) {
            if (_object *o = by_id(v))
                return o;
        }
    }
    return by_name(text);
}

class ObjectIndex {
public:
    // Indexes start's subtree as it is now; objects created or renamed later are not seen.
    explicit ObjectIndex(_object *start);

    // What id_or_name_to_obj would find in the indexed tree: a positive number is tried as
    // an id, then the text as a name; "0" finds nothing. The first match in pre-order wins.
    _object *find(const char *text) const;

private:
    IdNameMap<_object> map_;
};

}  // namespace kiv::db
