// Placement of objects in reference frames.
//
// Placements live in graphics nodes, which objects do not have yet: every object stands at
// the origin of its parent with the identity orientation, and moving one changes nothing.
#include <kivctrl/placement.h>

#include <kivctrl/kiv_db.h>

int obj_set_pos(_object *, const QEL_VECT3 &, FRAME)
{
    return 0;
}

int obj_set_orient(_object *, const QEL_QUAT &, FRAME)
{
    return 0;
}

int obj_get_pos(_object *o, QEL_VECT3 &pos, FRAME)
{
    if (!o)
        return 101;
    pos.init();
    return 0;
}

int obj_get_orient(_object *o, QEL_QUAT &q, FRAME)
{
    if (!o)
        return 101;
    q.init();
    return 0;
}
