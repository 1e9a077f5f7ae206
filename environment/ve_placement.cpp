// The world layer of placement: the graphics object holds where an object is.
#include <kivctrl/placement.h>

#include <kivctrl/gs_universe.h>
#include <kivctrl/gsobject.h>
#include <kivctrl/kiv_db.h>
#include <kivctrl/qel_msg.h>

#include "environment/midpoint_box.h"
#include "database/subtree_walk.h"


namespace {

bool known_type(const _object *o)
{
    return o->type >= OBJ_ROOT && o->type <= OBJ_FACE;
}

bool movable_type(const _object *o)
{
    return o->type >= OBJ_GROUP && o->type <= OBJ_VIEWPOINT;
}

// Counts a change on o and every movable descendant: their world placement changed with it.
template <class Bump>
void bump_subtree(_object *o, Bump bump)
{
    db_walk_subtree(o, [&bump](_object *x) {
        if (movable_type(x))
            bump(x);
        return true;
    });
}

QEL_VECT3 from3(const float v[3])
{
    return {v[0], v[1], v[2]};
}

}  // namespace

int VE_set_pos(_object *o, const QEL_VECT3 &world)
{
    if (!o || o->type == OBJ_ROOT || o->type == OBJ_FACE)
        return 0;
    if (!known_type(o)) {
        esd_send("Unrecognized object type in VE_set_pos");
        return 105;
    }
    if (!o->gsobject)
        return 0;
    // The graphics object is placed by its midpoint; the database speaks of its pivot.
    QEL_VECT3 pivot;
    VE_get_pivot(o, pivot);
    float g[3];
    GSobject_getposition(o->gsobject, g);
    const float target[3] = {g[0] - pivot.x + world.x, g[1] - pivot.y + world.y,
                             g[2] - pivot.z + world.z};
    GSobject_setposition(o->gsobject, target);
    bump_subtree(o, [](_object *x) { ++x->pos_changes; });
    msg_send(MSG_OBJ_POSITION, o, 0);
    return 0;
}

int VE_get_pos(_object *o, QEL_VECT3 &out)
{
    out.init();
    if (o && o->type == OBJ_ROOT)
        return 0;
    if (o && !known_type(o)) {
        esd_send("Unrecognized object type in VE_get_pos");
        return 105;
    }
    if (!o || !o->gsobject)
        return 105;
    float p[3];
    GSobject_getpivot(o->gsobject, p, GS_FRAME_WORLD);
    out = from3(p);
    return 0;
}

int VE_set_orient(_object *o, const QEL_QUAT &q)
{
    if (!o || o->type == OBJ_ROOT || o->type == OBJ_FACE)
        return 0;
    if (!known_type(o)) {
        esd_send("Unrecognized object type in VE_set_orient");
        return 102;
    }
    if (!o->gsobject)
        return 0;
    // One cheap step towards unit length undoes the small drift of repeated composition.
    QEL_QUAT n = q;
    n.normalize_approx();
    float v[4];
    n.to4(v);
    GSobject_setorientation(o->gsobject, v);
    bump_subtree(o, [](_object *x) { ++x->orient_changes; });
    msg_send(MSG_OBJ_ORIENTATION, o, 0);
    return 0;
}

int VE_get_orient(_object *o, QEL_QUAT &out)
{
    out.init();
    if (!o)
        return 105;
    if (o->type == OBJ_ROOT)
        return 0;
    if (!known_type(o)) {
        esd_send("Unrecognized object type in VE_get_orient");
        return 102;
    }
    if (!o->gsobject)
        return 105;
    float v[4];
    GSobject_getorientation(o->gsobject, v);
    out = QEL_QUAT(v);
    return 0;
}

int VE_set_pivot(_object *o, const QEL_VECT3 &world)
{
    if (!o || o->type == OBJ_FACE)
        return 0;
    if (!known_type(o)) {
        esd_send("Unrecognized object type in VE_set_pivot");
        return 105;
    }
    if (o->gsobject) {
        const float p[3] = {world.x, world.y, world.z};
        GSobject_setpivot(o->gsobject, p, GS_FRAME_WORLD);
    }
    return 0;
}

int VE_get_pivot(_object *o, QEL_VECT3 &out)
{
    out.init();
    if (o && !known_type(o)) {
        esd_send("Unrecognized object type in VE_get_pivot");
        return 105;
    }
    if (!o || !o->gsobject)
        return 105;
    float p[3];
    GSobject_getpivot(o->gsobject, p, GS_FRAME_WORLD);
    out = from3(p);
    return 0;
}

int VE_get_midpoint(_object *o, QEL_VECT3 &out)
{
    out.init();
    if (o && o->type == OBJ_ROOT) {
        const kiv::env::MidpointBox box = kiv::env::tree_box(o, false);
        if (!box.empty())
            out = box.centre();
        return 0;
    }
    if (o && !known_type(o)) {
        esd_send("Unrecognized object type in VE_get_midpoint");
        return 105;
    }
    if (!o || !o->gsobject)
        return 105;
    float p[3];
    GSobject_getposition(o->gsobject, p);
    out = from3(p);
    return 0;
}

int VE_get_radius(_object *o, float *out)
{
    if (!o)
        return 105;
    if (!out) {
        if (o->grpradius_valid && o->gsobject)
            GSobject_setuserradius(o->gsobject, o->grpradius);
        return 0;
    }
    *out = 0.0f;
    if (!known_type(o)) {
        esd_send("Unrecognized object type in VE_get_radius");
        return 105;
    }
    const bool shown = o->vis || GSuniverse_getdrawinvisiblesasboxes();
    if ((o->type == OBJ_OBJECT || o->type == OBJ_FACE) && o->gsobject && shown)
        *out = GSobject_getradius(o->gsobject);
    return 0;
}
