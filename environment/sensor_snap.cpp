// Snapping screen directions onto an object's axes.
#include "environment/sensor_snap.h"

#include <cmath>

namespace kiv::env {

namespace {

float component(const QEL_VECT3 &v, int i)
{
    return i == 0 ? v.x : i == 1 ? v.y : v.z;
}

// The signed unit axis (of those not excluded) nearest to v.
QEL_VECT3 nearest_axis(const QEL_VECT3 &v, int exclude, int &chosen)
{
    chosen = -1;
    for (int i = 0; i < 3; ++i)
        if (i != exclude && (chosen < 0 || std::fabs(component(v, i)) > std::fabs(component(v, chosen))))
            chosen = i;
    const float sign = component(v, chosen) < 0.0f ? -1.0f : 1.0f;
    QEL_VECT3 a(0.0f, 0.0f, 0.0f);
    (chosen == 0 ? a.x : chosen == 1 ? a.y : a.z) = sign;
    return a;
}

}  // namespace

QEL_QUAT snap_rotation(const QEL_QUAT &frame, const QEL_QUAT &view)
{
    // The view's axes as the frame sees them.
    const QEL_VECT3 vx = frame.invxform(view.xform(QEL_VECT3(1.0f, 0.0f, 0.0f)));
    const QEL_VECT3 vy = frame.invxform(view.xform(QEL_VECT3(0.0f, 1.0f, 0.0f)));
    int ix = 0, iy = 0;
    const QEL_VECT3 X = nearest_axis(vx, -1, ix);
    const QEL_VECT3 Y = nearest_axis(vy, ix, iy);
    const QEL_VECT3 Z(X.y * Y.z - X.z * Y.y, X.z * Y.x - X.x * Y.z, X.x * Y.y - X.y * Y.x);
    QEL_QUAT q;
    return q.fromaxes(X, Y, Z);
}

}  // namespace kiv::env
