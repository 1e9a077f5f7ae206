// The pointer dragging objects or the viewpoint, and the pointer flying the viewpoint.
#include <kivctrl/ve_sensor.h>

#include <kivctrl/kiv_db.h>
#include <kivctrl/obj_attr.h>
#include <kivctrl/placement.h>
#include <kivctrl/selection.h>
#include <kivctrl/ve_zoom.h>

#include "environment/sensor_pointer.h"
#include "environment/sensor_state.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

using namespace kiv::env;

enum class Style { drag, fly };

// The degree of freedom left free when the other five drag constraints lock, else -1.
int single_free_dof()
{
    if (env_get_anymove_constraint() != 5)
        return -1;
    for (int d = DOF_X; d <= DOF_RZ; ++d)
        if (env_get_objmove_constraint(d).flags != 4)
            return d;
    return -1;
}

// Flying speed from the pointer's offset from the window centre, with a dead zone of a tenth
// of the size on either side.
float fly_offset(int p, int size)
{
    const float c = size / 2.0f;
    const float d = std::fabs(p - c) * 50.0f / size;
    if (p > c + 0.1f * size)
        return d;
    if (p < c - 0.1f * size)
        return -d;
    return 0.0f;
}

DragAxis dominant_axis(bool left, bool right, float dx, float dy)
{
    const bool wide = std::fabs(dx) > std::fabs(dy);
    if (left && right)
        return wide ? DragAxis::roll : DragAxis::dolly;
    if (left)
        return wide ? DragAxis::x : DragAxis::y;
    return wide ? DragAxis::yaw : DragAxis::pitch;
}

void keep_only(DragAxis a, QEL_VECT3 &t, QEL_VECT3 &e)
{
    const QEL_VECT3 t0 = t, e0 = e;
    t.init();
    e.init();
    switch (a) {
    case DragAxis::x: t.x = t0.x; break;
    case DragAxis::y: t.y = t0.y; break;
    case DragAxis::dolly: t.z = t0.z; break;
    case DragAxis::roll: e.z = e0.z; break;
    case DragAxis::pitch: e.x = e0.x; break;
    case DragAxis::yaw: e.y = e0.y; break;
    case DragAxis::none: break;
    }
}

bool zero(const QEL_VECT3 &v)
{
    return v.x == 0.0f && v.y == 0.0f && v.z == 0.0f;
}

void pointer(_sensor *s, _object *o, int dominance, Style style)
{
    s->motion.init();
    s->turn.init();
    _object *root = db_get_root();
    _object *vp = current_viewpoint();
    if (!root || !vp)
        return;
    const PointerInput in = take_pointer_input(s);
    int w = 0, h = 0;
    if (!known_window_size(w, h))
        return;

    const float angle = obj_get_viewangle(vp);
    float scale = view_distance(vp, o) * angle * 0.0267f / std::max(w, h);
    if (scale == 0.0f)
        scale = angle * obj_get_grpradius(root) * 0.00022f;
    const float m = style == Style::fly ? 0.1f : 360.0f / std::max(w, h);

    if ((!in.left && !in.right) || in.changed) {
        end_view_move();
        return;
    }

    bool left = in.left, right = in.right;
    float dx, dy;
    const int free_dof = o && style == Style::drag ? single_free_dof() : -1;
    if (style == Style::fly) {
        dx = fly_offset(in.x, w);
        dy = fly_offset(in.y, h);
    } else {
        dx = static_cast<float>(in.x - in.px);
        dy = static_cast<float>(in.y - in.py);
        if (free_dof >= 0) {
            dx = std::fabs(dx) > std::fabs(dy) ? dx : dy;
            dy = 0.0f;
            left = free_dof <= DOF_Z;
            right = !left;
        }
    }
    if (style == Style::drag && dominance == 0 && left && right) {
        if (std::fabs(dx) > std::fabs(dy))
            dy = 0.0f;
        else
            dx = 0.0f;
    }

    QEL_VECT3 t, e;
    t.init();
    e.init();
    if (left && right) {
        if (style == Style::fly) {
            e.x = m * dy;
            e.z = m * dx;
        } else {
            t.z = -scale * dy;
            e.z = m * dx;
        }
    } else if (left) {
        if (style == Style::fly) {
            t.z = -scale * dy;
            e.y = m * dx;
        } else {
            t.x = scale * dx;
            t.y = scale * dy;
        }
    } else {
        if (style == Style::fly) {
            t.x = scale * dx;
            t.y = scale * dy;
        } else {
            e.x = m * dy;
            e.y = -m * dx;
        }
    }

    if (style == Style::drag && (!zero(t) || !zero(e))) {
        if (begin_view_move())
            sensors().axis = dominant_axis(left, right, dx, dy);
        if (free_dof >= 0) {
            // The one free axis takes the drag whichever way the constraints face.
            if (free_dof <= DOF_Z) {
                t.y = t.x;
                t.z = -t.x;
            } else {
                e.x = e.z = -e.y;
            }
        } else if (dominance) {
            keep_only(sensors().axis, t, e);
        }
    }
    deliver_pointer_motion(s, o, t, e);
}

}  // namespace

namespace kiv::env {

void pointer_object_drag(_sensor *s)
{
    pointer(s, sel_firstobj(), obj_get_dominant(), Style::drag);
}

void pointer_fly(_sensor *s)
{
    pointer(s, nullptr, sensors().env_dominant, Style::fly);
}

void pointer_view_drag(_sensor *s)
{
    pointer(s, nullptr, sensors().env_dominant, Style::drag);
}

void pointer_examine(_sensor *s)
{
    examine_step(s, pointer_view_drag);
}

}  // namespace kiv::env
