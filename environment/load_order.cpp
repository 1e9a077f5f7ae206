#include "environment/load_order.h"

#include <kivctrl/kiv_db.h>
#include <kivctrl/placement.h>
#include <kivctrl/ve_bind.h>

#include <algorithm>

namespace kiv::env {

std::vector<_object *> subtree(_object *o)
{
    std::vector<_object *> out, work{o};
    while (!work.empty()) {
        _object *x = work.back();
        work.pop_back();
        out.push_back(x);
        std::vector<_object *> kids;
        OBJLIST_ITER it(x->children);
        while (it.next())
            kids.push_back(it.getdata());
        work.insert(work.end(), kids.rbegin(), kids.rend());
    }
    return out;
}

float apparent_size(_object *o, const QEL_VECT3 &eye)
{
    QEL_VECT3 e, m;
    obj_get_extents(o, e);
    obj_get_midpoint(o, m, FRAME_WORLD);
    m -= eye;
    const float d2 = m.x * m.x + m.y * m.y + m.z * m.z;
    const float s = d2 == 0.0f ? 0.0f : (e.x * e.x + e.y * e.y + e.z * e.z) / d2;
    // A size that is not a number (from unplaceable geometry) would break the ordering.
    return s == s ? s : 0.0f;
}

std::string first_part_name(_object *o)
{
    const _geometry *first = o->geolist.get(1);
    const char *name = first ? first->part_name() : nullptr;
    return name ? name : "";
}

void order_by_apparent_size(std::vector<LoadEntry> &list, const QEL_VECT3 &eye)
{
    for (LoadEntry &e : list)
        e.size = apparent_size(e.o, eye);
    std::stable_sort(list.begin(), list.end(),
                     [](const LoadEntry &a, const LoadEntry &b) { return a.size > b.size; });
}

}  // namespace kiv::env
