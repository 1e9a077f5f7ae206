// Examining: the viewpoint moves against the drag and turns about the centre of interest.
#include <kivctrl/kiv_db.h>
#include <kivctrl/placement.h>
#include <kivctrl/selection.h>

#include "environment/sensor_state.h"

namespace {

// The mean world midpoint of the selected objects, or the root's midpoint.
QEL_VECT3 centre_of_interest(_object *root)
{
    QEL_VECT3 sum;
    sum.init();
    int n = 0;
    for (_object *o = sel_firstobj(); o; o = sel_nextobj(o)) {
        QEL_VECT3 m;
        if (VE_get_midpoint(o, m) == 0) {
            sum += m;
            ++n;
        }
    }
    if (n == 0) {
        VE_get_midpoint(root, sum);
        return sum;
    }
    return sum *= 1.0f / static_cast<float>(n);
}

}  // namespace

namespace kiv::env {

void examine_step(_sensor *s, void (*inner)(_sensor *))
{
    _object *root = db_get_root();
    _object *vp = current_viewpoint();
    if (!root || !vp) {
        s->motion.init();
        s->turn.init();
        return;
    }
    inner(s);
    QEL_VECT3 t = -s->motion;
    QEL_QUAT q = s->turn;
    if (q.w != 1.0f) {
        q.invert();
        QEL_VECT3 eye;
        QEL_QUAT view;
        VE_get_pos(vp, eye);
        VE_get_orient(vp, view);
        QEL_VECT3 offset = centre_of_interest(root);
        offset -= eye;
        // The centre keeps its place in the view: the turn about the eye is undone by the
        // translation.
        const QEL_VECT3 c = view.invxform(offset);
        QEL_VECT3 kept = c;
        kept -= q.xform(c);
        t += kept;
    }
    s->motion = t;
    s->turn = q;
}

}  // namespace kiv::env
