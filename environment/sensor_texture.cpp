// Dragging textures: the pointer moves, scales and turns the selected objects' textures.
#include <kivctrl/gs_texture.h>
#include <kivctrl/kiv_db.h>
#include <kivctrl/obj_attr.h>
#include <kivctrl/placement.h>
#include <kivctrl/selection.h>
#include <kivctrl/ve_zoom.h>

#include "environment/binding_internal.h"
#include "environment/sensor_pointer.h"
#include "environment/sensor_state.h"

#include <algorithm>
#include <cmath>

namespace {

using namespace kiv::env;

float dot(const QEL_VECT3 &a, const QEL_VECT3 &b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

void push_texture(_object *o, const _obj_texture &tx)
{
    const float scale[2] = {tx.scale.x, tx.scale.y};
    const float pos[2] = {tx.position.x, tx.position.y};
    float grid[4];
    tx.grid_orientation.to4(grid);
    for (GSobject *g : geometry_nodes(o)) {
        GSobject_settexturescale(g, scale);
        GSobject_settexturepos(g, pos);
        GSobject_settextureorient(g, tx.angle);
        GSobject_settexturegridorient(g, grid);
    }
}

}  // namespace

namespace kiv::env {

void pointer_texture(_sensor *s)
{
    s->motion.init();
    s->turn.init();
    _object *vp = current_viewpoint();
    if (!db_get_root() || !vp)
        return;
    const PointerInput in = take_pointer_input(s);
    int w = 0, h = 0;
    if (!known_window_size(w, h))
        return;
    if ((!in.left && !in.right) || in.changed) {
        end_view_move();
        return;
    }
    _object *o = sel_firstobj();
    // An object without extent (a hidden part, an empty group, a light) drags as none does.
    const float radius = o ? obj_get_grpradius(o) : 0.0f;
    const float k = radius > 0.0f ? 0.577f * radius : 1.0f;
    const float angle = obj_get_viewangle(vp) * 3.14159265f / 180.0f;
    const float f = (view_distance(vp, o) - k) * std::tan(angle / 2.0f) / (h * k);
    const float scale = 180.0f / std::max(w, h);
    float dx = static_cast<float>(in.x - in.px), dy = static_cast<float>(in.y - in.py);
    if (obj_get_dominant() || (in.left && in.right)) {
        if (std::fabs(dx) > std::fabs(dy))
            dy = 0.0f;
        else
            dx = 0.0f;
    }
    QEL_VECT3 t(0.0f, 0.0f, 0.0f), e(0.0f, 0.0f, 0.0f);
    if (in.left && in.right) {
        t.z = 0.005f * dy;
        e.z = scale * dx;
    } else if (in.left) {
        t.x = f * dx;
        t.y = f * dy;
    } else {
        e.x = scale * dy;
        e.y = -scale * dx;
    }
    if (t.x != 0.0f || t.y != 0.0f || t.z != 0.0f || e.x != 0.0f || e.y != 0.0f || e.z != 0.0f)
        begin_view_move();
    deliver_pointer_motion(s, o, t, e);
}

void apply_texture_motion(_object *o, const QEL_VECT3 &t, const QEL_QUAT &q)
{
    if (!o || !o->texture)
        return;
    _obj_texture &tx = *o->texture;
    _object *vp = current_viewpoint();
    QEL_QUAT view, own;
    view.init();
    if (vp)
        VE_get_orient(vp, view);
    VE_get_orient(o, own);
    // The grid's axes as the viewpoint sees them.
    const QEL_QUAT grid = compose(tx.grid_orientation, own);
    const QEL_VECT3 gx = view.invxform(grid.xform(QEL_VECT3(1.0f, 0.0f, 0.0f)));
    const QEL_VECT3 gy = view.invxform(grid.xform(QEL_VECT3(0.0f, 1.0f, 0.0f)));
    const QEL_VECT3 plane(t.x, t.y, 0.0f);
    tx.position.x += dot(plane, gx);
    tx.position.y += dot(plane, gy);
    if (t.z > 0.0f && t.z <= 1.0f)
        tx.scale *= 1.0f - t.z / 2.0f;
    else if (t.z < 0.0f && t.z >= -1.0f)
        tx.scale *= 1.0f - t.z;
    const QEL_VECT3 e = q.to_eang();
    tx.angle += e.z;
    if (e.x != 0.0f || e.y != 0.0f) {
        QEL_QUAT tilt;
        tilt.from_eang(e.x, e.y, 0.0f);
        // The tilt about the viewpoint's axes, carried into the object's own axes.
        const QEL_QUAT local = own.invxform(view.xform(tilt));
        tx.grid_orientation = compose(tx.grid_orientation, local).norm();
    }
    push_texture(o, tx);
}

}  // namespace kiv::env
