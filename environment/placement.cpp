// The object layer of placement: frames, constraints and group-radius invalidation around
// the world layer.
#include <kivctrl/placement.h>

#include <kivctrl/kiv_db.h>

#include "environment/constraints.h"
#include "environment/frames.h"

#include <cmath>

using kiv::env::selected_frame;

namespace {

bool finite(const QEL_VECT3 &v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// A rotation the graphics object can hold: finite and not of zero length.
bool usable(const QEL_QUAT &q)
{
    return std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z) && std::isfinite(q.w) &&
           q.sqrmag() > 0.0f;
}

// The ancestors' spheres may no longer enclose o; its own still encloses its subtree. An
// object that cannot move (root, face, not bound yet) changes no sphere, and skipping the
// walk keeps building deep trees linear.
void invalidate_ancestors(_object *o)
{
    const bool movable = o->type >= OBJ_GROUP && o->type <= OBJ_VIEWPOINT && o->gsobject;
    if (!movable)
        return;
    for (_object *p = o->parent; p; p = p->parent)
        p->grpradius_valid = 0;
}

// The world point / orientation stored once constraints have had their say.
int place_world(_object *o, const QEL_VECT3 &world)
{
    if (!finite(world))
        return 1;
    const int status = VE_set_pos(o, kiv::env::constrain_position(o, world));
    invalidate_ancestors(o);
    return status;
}

int turn_world(_object *o, const QEL_QUAT &world)
{
    if (!usable(world))
        return 1;
    const int status = VE_set_orient(o, kiv::env::constrain_orientation(o, world));
    invalidate_ancestors(o);
    return status;
}

}  // namespace

int obj_set_pos(_object *o, const QEL_VECT3 &pos, const QEL_FRAME &F)
{
    if (!o)
        return 101;
    if (kiv::env::fully_locked(o, DOF_X))
        return 0;
    return place_world(o, F.xform(pos));
}

int obj_set_pos(_object *o, const QEL_VECT3 &pos, FRAME f)
{
    if (!o)
        return 101;
    if (kiv::env::fully_locked(o, DOF_X))
        return 0;
    return place_world(o, selected_frame(o, f).xform(pos));
}

int obj_get_pos(_object *o, QEL_VECT3 &pos, const QEL_FRAME &F)
{
    QEL_VECT3 world;
    const int status = VE_get_pos(o, world);
    pos = F.invxform(world);
    return status;
}

int obj_get_pos(_object *o, QEL_VECT3 &pos, FRAME f)
{
    if (f == FRAME_LOCAL) {
        pos.init();
        return 0;
    }
    return obj_get_pos(o, pos, selected_frame(o, f));
}

int obj_set_orient(_object *o, const QEL_QUAT &q, const QEL_FRAME &F)
{
    if (!o)
        return 101;
    if (kiv::env::fully_locked(o, DOF_RX))
        return 0;
    return turn_world(o, compose(q, F.q));
}

int obj_set_orient(_object *o, const QEL_QUAT &q, FRAME f)
{
    if (!o)
        return 101;
    if (kiv::env::fully_locked(o, DOF_RX))
        return 0;
    return turn_world(o, compose(q, selected_frame(o, f).q));
}

int obj_get_orient(_object *o, QEL_QUAT &q, const QEL_FRAME &F)
{
    QEL_QUAT world;
    const int status = VE_get_orient(o, world);
    q = compose(world, F.q.inverseunit());
    return status;
}

int obj_get_orient(_object *o, QEL_QUAT &q, FRAME f)
{
    if (f == FRAME_LOCAL) {
        q.init();
        return 0;
    }
    return obj_get_orient(o, q, selected_frame(o, f));
}

int obj_get_pno(_object *o, QEL_FRAME &out, const QEL_FRAME &F)
{
    const int status = obj_get_pos(o, out.p, F);
    const int turned = obj_get_orient(o, out.q, F);
    return status ? status : turned;
}

int obj_get_pno(_object *o, QEL_FRAME &out, FRAME f)
{
    if (f == FRAME_LOCAL) {
        out.init();
        return 0;
    }
    return obj_get_pno(o, out, selected_frame(o, f));
}

int obj_set_relpos(_object *o, const QEL_VECT3 &d, const QEL_FRAME &F)
{
    if (!o)
        return 101;
    QEL_VECT3 world;
    VE_get_pos(o, world);
    world += F.q.xform(d);
    return obj_set_pos(o, world, FRAME_WORLD);
}

int obj_set_relpos(_object *o, const QEL_VECT3 &d, FRAME f)
{
    return obj_set_relpos(o, d, selected_frame(o, f));
}

int obj_set_relorient(_object *o, const QEL_QUAT &r, const QEL_FRAME &F)
{
    if (!o)
        return 101;
    QEL_QUAT current;
    VE_get_orient(o, current);
    // The turn's axis carried into world axes; the turn follows the current orientation.
    return obj_set_orient(o, compose(current, F.q.xform(r)), FRAME_WORLD);
}

int obj_set_relorient(_object *o, const QEL_QUAT &r, FRAME f)
{
    return obj_set_relorient(o, r, selected_frame(o, f));
}

int obj_set_eangles(_object *o, const QEL_VECT3 &e, const QEL_FRAME &F)
{
    QEL_QUAT q;
    return obj_set_orient(o, q.from_eang(e), F);
}

int obj_set_eangles(_object *o, const QEL_VECT3 &e, FRAME f)
{
    QEL_QUAT q;
    return obj_set_orient(o, q.from_eang(e), f);
}

int obj_set_releangles(_object *o, const QEL_VECT3 &e, const QEL_FRAME &F)
{
    QEL_QUAT q;
    return obj_set_relorient(o, q.from_eang(e), F);
}

int obj_set_releangles(_object *o, const QEL_VECT3 &e, FRAME f)
{
    QEL_QUAT q;
    return obj_set_relorient(o, q.from_eang(e), f);
}

int obj_set_pivot(_object *o, const QEL_VECT3 &p, FRAME f)
{
    if (!o)
        return 101;
    const QEL_VECT3 world = selected_frame(o, f).xform(p);
    if (!finite(world))
        return 1;
    const int status = VE_set_pivot(o, world);
    if (o->constraint_suspend == 0) {
        // The new pivot is the object's position now: bring it within the constraints.
        QEL_VECT3 none;
        obj_set_relpos(o, none.init(), FRAME_WORLD);
    }
    return status;
}

int obj_get_midpoint(_object *o, QEL_VECT3 &out, FRAME f)
{
    QEL_VECT3 mid;
    VE_get_midpoint(o, mid);
    out = selected_frame(o, f).invxform(mid);
    return 0;
}

int obj_get_midpoint(_object *o, float &x, float &y, float &z, FRAME f)
{
    QEL_VECT3 mid;
    obj_get_midpoint(o, mid, f);
    x = mid.x;
    y = mid.y;
    z = mid.z;
    return 0;
}
