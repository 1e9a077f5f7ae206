// Look-ups of many ids or names at once: one pass over the items fills two maps, and each
// look-up then costs a hash instead of another pass. The first item of an id or name wins.
#pragma once

#include <string>
#include <unordered_map>

namespace kiv {

template <class T>
class IdNameMap {
public:
    void add(int id, const char *name, T *item)
    {
        ids_.emplace(id, item);
        if (name)
            names_.emplace(name, item);
    }
    T *by_id(int id) const
    {
        auto it = ids_.find(id);
        return it == ids_.end() ? nullptr : it->second;
    }
    T *by_name(const char *name) const
    {
        auto it = names_.find(name);
        return it == names_.end() ? nullptr : it->second;
    }

private:
    std::unordered_map<int, T *> ids_;
    std::unordered_map<std::string, T *> names_;
};

}  // namespace kiv
