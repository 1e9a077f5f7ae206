// Applying a sensor's motion of one tick to its objects, within the drag constraints.
#include <kivctrl/kiv_db.h>
#include <kivctrl/placement.h>
#include <kivctrl/selection.h>

#include "environment/frames.h"
#include "environment/sensor_snap.h"
#include "environment/sensor_state.h"

#include <vector>

namespace {

using namespace kiv::env;

bool identity(const QEL_QUAT &q)
{
    return q.x == 0.0f && q.y == 0.0f && q.z == 0.0f;
}

bool zero(const QEL_VECT3 &v)
{
    return v.x == 0.0f && v.y == 0.0f && v.z == 0.0f;
}

bool constrained(int dof)
{
    return env_get_objmove_constraint(dof).flags != 0;
}

void constrain(QEL_VECT3 &t, QEL_QUAT &q)
{
    if (constrained(DOF_X)) t.x = 0.0f;
    if (constrained(DOF_Y)) t.y = 0.0f;
    if (constrained(DOF_Z)) t.z = 0.0f;
    if (constrained(DOF_RX)) q.x = 0.0f;
    if (constrained(DOF_RY)) q.y = 0.0f;
    if (constrained(DOF_RZ)) q.z = 0.0f;
    if (q.sqrmag() == 0.0f)
        q.init();
    else
        q.normalize();
}

// The frame a selection sensor moves its objects in; texture mode answers false.
bool frame_for(const _sensor *s, FRAME &f)
{
    f = FRAME_VIEWPOINT;
    if (!(s->usage & USAGE_SELECTION))
        return true;
    switch (sensors().mode) {
    case SENSE_OBJ_LOCAL:
        f = FRAME_LOCAL;
        return true;
    case SENSE_OBJ_PARENT:
    case SENSE_OBJ_PARENT2:
        f = FRAME_PARENT;
        return true;
    case SENSE_TEXTURE:
        return false;
    default:
        return true;
    }
}

QEL_QUAT snap_for(_object *o, FRAME f, _object *vp, bool renew)
{
    auto &snaps = sensors().snaps;
    auto it = snaps.find(o);
    if (!renew && it != snaps.end())
        return it->second;
    QEL_QUAT view;
    view.init();
    if (vp)
        VE_get_orient(vp, view);
    const QEL_QUAT snap = snap_rotation(selected_frame(o, f).q, view);
    snaps[o] = snap;
    return snap;
}

}  // namespace

namespace kiv::env {

void apply_sensor_motion(_sensor *s)
{
    if (s->objects.isempty())
        return;
    const bool edge = (s->state.buttons & SENSOR_EDGES) != 0;
    if (!edge && zero(s->motion) && identity(s->turn))
        return;
    FRAME f;
    const bool placing = frame_for(s, f);
    _object *vp = current_viewpoint();
    const bool view_free = sel_countobj() == 0;

    std::vector<_object *> objects;
    objects.reserve(s->objects.count());
    OBJLIST_ITER it(s->objects);
    while (it.next())
        objects.push_back(it.getdata());

    for (_object *o : objects) {
        QEL_VECT3 t = s->motion;
        QEL_QUAT q = s->turn;
        if (!placing) {
            apply_texture_motion(o, t, q);
            continue;
        }
        if (f == FRAME_LOCAL || f == FRAME_PARENT) {
            const QEL_QUAT snap = snap_for(o, f, vp, edge);
            t = snap.xform(t);
            q = snap.xform(q);
        }
        // The viewpoint roams freely while nothing is selected.
        if (!(o == vp && view_free))
            constrain(t, q);
        if (!zero(t))
            obj_set_relpos(o, t, f);
        if (!identity(q))
            obj_set_relorient(o, q, f);
    }
}

}  // namespace kiv::env
