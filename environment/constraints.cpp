// Degree-of-freedom constraints applied to proposed world placements.
#include "environment/constraints.h"

#include <kivctrl/kiv_db.h>
#include <kivctrl/placement.h>

#include "environment/frames.h"

namespace {

bool all_free(const _object *o, int first)
{
    for (int i = first; i < first + 3; ++i)
        if (o->constraints[i].flags != 0)
            return false;
    return true;
}

float &axis(QEL_VECT3 &v, int i)
{
    return i == 0 ? v.x : i == 1 ? v.y : v.z;
}

float &axis(QEL_QUAT &q, int i)
{
    return i == 0 ? q.x : i == 1 ? q.y : q.z;
}

}  // namespace

namespace kiv::env {

bool constraints_apply(const _object *o)
{
    return env_get_global_suspend_linkages() == 0 && o->constraint_suspend == 0;
}

bool fully_locked(const _object *o, int first)
{
    if (!constraints_apply(o))
        return false;
    for (int i = first; i < first + 3; ++i)
        if (o->constraints[i].flags != CONSTRAINT::LOCKED)
            return false;
    return true;
}

QEL_VECT3 constrain_position(_object *o, const QEL_VECT3 &proposed)
{
    if (!constraints_apply(o) || all_free(o, DOF_X))
        return proposed;
    QEL_VECT3 current;
    VE_get_pos(o, current);
    const QEL_FRAME K = constraint_frame(o);
    QEL_VECT3 c = K.invxform(current);
    QEL_VECT3 n = K.invxform(proposed);
    for (int i = 0; i < 3; ++i)
        axis(n, i) = constrain_value(&o->constraints[DOF_X + i], axis(c, i), axis(n, i));
    return K.xform(n);
}

QEL_QUAT constrain_orientation(_object *o, const QEL_QUAT &proposed)
{
    if (!constraints_apply(o) || all_free(o, DOF_RX))
        return proposed;
    QEL_QUAT current;
    VE_get_orient(o, current);
    // The change d, taken after the current orientation, expressed in the constraint axes.
    const QEL_QUAT d = compose(current.inverseunit(), proposed);
    const QEL_QUAT K = constraint_frame(o).q;
    QEL_QUAT dk = K.invxform(d);
    for (int i = 0; i < 3; ++i)
        if (o->constraints[DOF_RX + i].flags == CONSTRAINT::LOCKED)
            axis(dk, i) = 0.0f;
    if (dk.x != 0.0f || dk.y != 0.0f || dk.z != 0.0f)
        dk /= dk.mag();
    else
        dk.init();
    return compose(current, K.xform(dk));
}

}  // namespace kiv::env
