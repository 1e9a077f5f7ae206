// Group radii: cached spheres about an object's midpoint enclosing its whole subtree, and
// the object's extents.
#include <kivctrl/placement.h>

#include <kivctrl/gsobject.h>
#include <kivctrl/kiv_db.h>

#include "environment/midpoint_box.h"


namespace {

float distance(const QEL_VECT3 &a, const QEL_VECT3 &b)
{
    QEL_VECT3 d = a;
    d -= b;
    return d.mag();
}

// A child's group radius and the centre it spans from; false when it adds nothing.
bool child_sphere(_object *c, float &r, QEL_VECT3 &centre)
{
    r = obj_get_grpradius(c);
    if (c->type == OBJ_GROUP) {
        const kiv::env::MidpointBox box = kiv::env::tree_box(c, true);
        if (box.empty())
            return false;
        centre = box.centre();
    } else {
        VE_get_midpoint(c, centre);
    }
    return r > 0.0f;
}

}  // namespace

float obj_get_grpradius(_object *o)
{
    if (o->grpradius_valid)
        return o->grpradius;
    VE_get_radius(o, &o->radius);
    o->grpradius = o->radius;
    QEL_VECT3 centre;
    VE_get_midpoint(o, centre);
    OBJLIST_ITER it(o->children);
    while (it.next()) {
        float r;
        QEL_VECT3 c;
        if (!child_sphere(it.getdata(), r, c))
            continue;
        if (o->grpradius == 0.0f) {
            o->grpradius = r;
            centre = c;
        }
        const float reach = distance(c, centre) + r;
        if (reach > o->grpradius)
            o->grpradius = reach;
    }
    o->grpradius_valid = 1;
    VE_get_radius(o, nullptr);
    return o->grpradius;
}

int obj_get_grpradius(_object *o, float &out)
{
    if (!o)
        return 101;
    out = obj_get_grpradius(o);
    return 0;
}

int obj_get_radius(_object *o, float &out)
{
    if (!o)
        return 101;
    obj_get_grpradius(o);
    out = o->type == OBJ_GROUP ? o->grpradius : o->radius;
    return 0;
}

int obj_get_extents(_object *o, QEL_VECT3 &out)
{
    out.init();
    if (o && o->type == OBJ_ROOT) {
        const kiv::env::MidpointBox box = kiv::env::tree_box(o, false);
        if (!box.empty())
            out = box.size();
        return 0;
    }
    if (!o || o->type < OBJ_GROUP || o->type > OBJ_FACE || !o->gsobject)
        return 105;
    float e[3];
    GSobject_getextents(o->gsobject, e);
    out = {e[0], e[1], e[2]};
    return 0;
}
