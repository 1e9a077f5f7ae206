// The box spanned by the world midpoints of the visible parts of a tree.
#include "environment/midpoint_box.h"

#include <kivctrl/gs_universe.h>
#include <kivctrl/kiv_db.h>
#include <kivctrl/placement.h>

namespace kiv::env {

void MidpointBox::add(const QEL_VECT3 &p)
{
    if (empty()) {
        min = max = p;
        return;
    }
    float *lo[3] = {&min.x, &min.y, &min.z};
    float *hi[3] = {&max.x, &max.y, &max.z};
    const float v[3] = {p.x, p.y, p.z};
    for (int i = 0; i < 3; ++i) {
        if (v[i] < *lo[i])
            *lo[i] = v[i];
        else if (v[i] > *hi[i])
            *hi[i] = v[i];
    }
}

QEL_VECT3 MidpointBox::centre() const
{
    return {(min.x + max.x) * 0.5f, (min.y + max.y) * 0.5f, (min.z + max.z) * 0.5f};
}

QEL_VECT3 MidpointBox::size() const
{
    return {max.x - min.x, max.y - min.y, max.z - min.z};
}

namespace {

bool counts(_object *o, bool parts_only)
{
    if (o->type != OBJ_OBJECT && (parts_only || o->type != OBJ_FACE))
        return false;
    if (!o->active || !(o->vis || GSuniverse_getdrawinvisiblesasboxes()))
        return false;
    return obj_get_grpradius(o) > 0.0f;
}

void walk(_object *o, bool parts_only, MidpointBox &box)
{
    OBJLIST_ITER it(o->children);
    while (it.next()) {
        _object *c = it.getdata();
        if (counts(c, parts_only)) {
            QEL_VECT3 mid;
            obj_get_midpoint(c, mid, FRAME_WORLD);
            box.add(mid);
        }
        walk(c, parts_only, box);
    }
}

}  // namespace

MidpointBox tree_box(_object *top, bool parts_only)
{
    MidpointBox box;
    walk(top, parts_only, box);
    return box;
}

}  // namespace kiv::env
