// One pre-order walk fills the id and name maps; the first object met keeps an entry.
#include "database/object_index.h"

#include <kivctrl/kiv_db.h>

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
        map_.add(o->id, o->name, o);
        // Last child pushed first, so the first child is visited next.
        OBJLIST_ITER it(o->children);
        while (it.prev())
            stack.push_back(it.getdata());
    }
}

_object *ObjectIndex::find(const char *text) const
{
    return find_id_or_name(
        text, [this](int id) { return map_.by_id(id); },
        [this](const char *name) { return map_.by_name(name); });
}

}  // namespace kiv::db
