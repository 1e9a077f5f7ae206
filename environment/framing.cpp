// Framing: moving the current viewpoint so that the whole tree or one object fills the view.
#include <kivctrl/ve_zoom.h>

#include <kivctrl/kiv_db.h>
#include <kivctrl/placement.h>
#include <kivctrl/qel_msg.h>
#include <kivctrl/ve_env.h>

#include "environment/framing_fit.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace kiv::env {

bool window_size(int &w, int &h)
{
    env_get_winsize(w, h);
    if (w > 0 && h > 0)
        return true;
    esd_debug_send("framing skipped: the window has no size yet");
    return false;
}

bool fit_sphere(const QEL_VECT3 &c, float r, const QEL_QUAT &q, float viewangle, QEL_VECT3 &pos)
{
    int w = 0, h = 0;
    if (!window_size(w, h))
        return false;
    const double half = viewangle * 0.017453292519943295756 * 0.5;
    const double d_h = r / std::sin(std::atan2(std::tan(half) * w / h, 1.0));
    const double d_v = r / std::sin(half);
    const double d = std::max(d_h, d_v);
    float dir[3];
    q.todir(dir);
    const QEL_VECT3 p(static_cast<float>(c.x - d * dir[0]), static_cast<float>(c.y - d * dir[1]),
                      static_cast<float>(c.z - d * dir[2]));
    // A view angle of 0 or 180 degrees, or a broken orientation, fits nothing.
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
        return false;
    pos = p;
    return true;
}

float distance(const QEL_VECT3 &a, const QEL_VECT3 &b)
{
    QEL_VECT3 d = a;
    d -= b;
    return d.mag();
}

}  // namespace kiv::env

namespace {

using kiv::env::distance;

// The radius about c of the sphere holding every visible part and face of root's tree.
float tree_radius(_object *root, const QEL_VECT3 &c)
{
    float extent = 0.0f;
    std::vector<_object *> work{root};
    while (!work.empty()) {
        _object *o = work.back();
        work.pop_back();
        float r = 0.0f;
        if ((o->type == OBJ_OBJECT || o->type == OBJ_FACE) && VE_get_radius(o, &r) == 0 && r > 0.0f) {
            QEL_VECT3 m;
            VE_get_midpoint(o, m);
            extent = std::max(extent, distance(m, c) + r);
        }
        OBJLIST_ITER it(o->children);
        while (it.next())
            work.push_back(it.getdata());
    }
    return extent;
}

int calc_extents(_object *root, QEL_VECT3 &pos, const QEL_QUAT &orient, float viewangle)
{
    if (!root)
        return 0;
    QEL_VECT3 c;
    VE_get_midpoint(root, c);
    const float r = tree_radius(root, c);
    return r > 0.0f && kiv::env::fit_sphere(c, r, orient, viewangle, pos) ? 1 : 0;
}

_object *current_viewpoint(KivAssembly *a)
{
    _object *root = a ? a->GetRoot() : nullptr;
    return root ? root->viewpoint : nullptr;
}

}  // namespace

int VE_calc_extents(QEL_VECT3 &pos, QEL_QUAT &orient, float viewangle)
{
    return calc_extents(db_get_root(), pos, orient, viewangle);
}

int VE_zoom_extents(KivAssembly *a)
{
    _object *v = current_viewpoint(a);
    if (!v)
        return 0;
    QEL_QUAT q;
    QEL_VECT3 pos;
    obj_get_orient(v, q, FRAME_WORLD);
    if (calc_extents(a->GetRoot(), pos, q, obj_get_viewangle(v)))
        obj_set_pos(v, pos, FRAME_WORLD);
    return 0;
}

int VE_zoom_extents()
{
    _object *root = db_get_root();
    return root ? VE_zoom_extents(root->assembly) : 0;
}

int VE_zoom_object(_object *o)
{
    _object *v = o ? current_viewpoint(o->assembly) : nullptr;
    if (!v)
        return 0;
    float r = 0.0f;
    QEL_VECT3 c, p;
    QEL_QUAT q;
    obj_get_radius(o, r);
    obj_get_midpoint(o, c, FRAME_WORLD);
    obj_get_orient(v, q, FRAME_WORLD);
    const float a = obj_get_viewangle(v);
    if (!kiv::env::fit_sphere(c, r, q, a, p))
        return 0;
    obj_set_pos(v, p, FRAME_WORLD);
    // Keep the object out of the near clipping plane.
    float near_dist = 0.0f, far_dist = 0.0f;
    env_clip_distances(near_dist, far_dist);
    if (distance(p, c) - r < near_dist && kiv::env::fit_sphere(c, near_dist, q, a, p))
        obj_set_pos(v, p, FRAME_WORLD);
    return 0;
}
