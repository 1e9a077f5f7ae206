// Zooming to a rectangle dragged in the window: turn towards its centre, then move towards
// the object under it in proportion to how little of the window the rectangle covers.
#include <kivctrl/ve_zoom.h>

#include <kivctrl/gs_universe.h>
#include <kivctrl/kiv_db.h>
#include <kivctrl/placement.h>
#include <kivctrl/ve_bind.h>

#include "environment/framing_fit.h"

#include <algorithm>
#include <cmath>

int VE_zoom_window(KivAssembly *a, QEL_VECT2 p1, QEL_VECT2 p2)
{
    _object *root = a ? a->GetRoot() : nullptr;
    _object *v = root ? root->viewpoint : nullptr;
    int w = 0, h = 0;
    if (!v || !kiv::env::window_size(w, h))
        return 0;
    const double angle = obj_get_viewangle(v);
    const double x_max = std::max(p1.x, p2.x), x_min = std::min(p1.x, p2.x);
    const double y_max = std::max(p1.y, p2.y), y_min = std::min(p1.y, p2.y);
    // A click is a rectangle of one pixel, so that the pick has a window to look through.
    const double rw = std::max(x_max - x_min, 1.0), rh = std::max(y_max - y_min, 1.0);
    const double cx = (x_max + x_min) * 0.5, cy = (y_max + y_min) * 0.5;
    const double focal = (h * 0.5) / std::tan(angle * 0.008726638888888888);
    const double pitch = std::atan2((cy - h * 0.5) / focal, 1.0) * -57.295827908797776;
    const double yaw = std::atan2((cx - w * 0.5) / focal, 1.0) * 57.295827908797776;
    if (!std::isfinite(pitch) || !std::isfinite(yaw))
        return 0;
    QEL_VECT3 eye;
    obj_get_pos(v, eye, FRAME_WORLD);
    // Pick in the view the user saw: the graphics viewpoint may lag behind the object.
    VE_sync_geo(v);
    float at[2] = {static_cast<float>(cx), static_cast<float>(cy)};
    GSobject *hit = GSuniverse_winpickobject(at, rw, rh);
    obj_set_releangles(v, QEL_VECT3(static_cast<float>(pitch), static_cast<float>(yaw), 0.0f),
                       FRAME_LOCAL);
    // Path drawings and triads stand for no object.
    _object *o = hit ? handle_to_obj(hit, nullptr, false) : nullptr;
    if (!o)
        return 0;
    QEL_VECT3 mid;
    obj_get_midpoint(o, mid, FRAME_WORLD);
    const double ratio = std::max(rw / w, rh / h);
    const double forward = kiv::env::distance(eye, mid) * (1.0 - ratio);
    obj_set_relpos(v, QEL_VECT3(0.0f, 0.0f, static_cast<float>(forward)), FRAME_LOCAL);
    return 0;
}
