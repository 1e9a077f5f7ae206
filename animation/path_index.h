// Resolving many path ids or names against the current root's path list with one pass.
#pragma once

#include "foundation/id_name_map.h"

#include <cstdlib>

class _path;

namespace kiv::anim {

// The reading of a path text shared by the list walk and the index: a leading number other
// than 0 is tried as an id, then the whole text as a name; a text reading as 0 finds nothing.
template <class ById, class ByName>
_path *find_path_id_or_name(const char *text, ById by_id, ByName by_name)
{
    if (!text)
        return nullptr;
    char *end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text)
        return by_name(text);
    if (v == 0)
        return nullptr;
    if (v >= 1 && v <= 0x7fffffff) {
        if (_path *p = by_id(static_cast<int>(v)))
            return p;
    }
    return by_name(text);
}

class PathIndex {
public:
    // Indexes the current root's paths as they are now.
    PathIndex();

    // What id_or_name_to_path would find: the first path in list order wins.
    _path *find(const char *text) const;

private:
    IdNameMap<_path> map_;
};

}  // namespace kiv::anim
