// One pre-order walk fills the id and name maps; the first object met keeps an entry.
#include "database/object_index.h"

#include <kivctrl/kiv_db.h>
#include <kivctrl/qel_scan.h>

#include <vector>

namespace kiv::db {

ObjectIndex::ObjectIndex(_object *start)
{
    if (!start)
        return;
    std::vector<_object *> stack{start};
    while (!stack.empty()) {
        _object *o = stack.back();
        stack.pop_back();
        ids_.emplace(o->id, o);
        if (o->name)
            names_.emplace(o->name, o);
        // Last child pushed first, so the first child is visited next.
        OBJLIST_ITER it(o->children);
        while (it.prev())
            stack.push_back(it.getdata());
    }
}

_object *ObjectIndex::find(const char *text) const
{
    if (!text)
        return nullptr;
    int v = 0;
    if (scan_int(text, &v)) {
        if (v == 0)
            return nullptr;
        if (v >= 1) {
            if (auto it = ids_.find(v); it != ids_.end())
                return it->second;
        }
    }
    auto it = names_.find(text);
    return it == names_.end() ? nullptr : it->second;
}

}  // namespace kiv::db
