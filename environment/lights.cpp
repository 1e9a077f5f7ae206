// Light objects, and keeping lights and the viewpoint in step with their objects.
#include <kivctrl/ve_bind.h>

#include <kivctrl/gs_universe.h>
#include <kivctrl/gsobject.h>
#include <kivctrl/kiv_db.h>
#include <kivctrl/placement.h>
#include <kivctrl/qel_msg.h>

#include "environment/binding_internal.h"
#include "environment/unsuppressor.h"

namespace {

bool same3(const float a[3], const float b[3])
{
    return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}

GSlight *make_light(LIGHT_MODE mode, float p[3])
{
    float z[3] = {0.0f, 0.0f, 1.0f};
    switch (mode) {
    case LIGHT_DIRECTED:
        return GSlight_newdirected(z, 0.8f);
    case LIGHT_SPOT:
        return GSlight_newspot(p, z, 1.0f, 50.0f, 10.0f);
    case LIGHT_POINT:
        return GSlight_newpoint(p, 1.0f);
    default:
        return nullptr;
    }
}

void sync_light(_object *o, GSlight *light)
{
    QEL_QUAT q;
    VE_get_orient(o, q);
    // The object's local +z axis in world axes.
    float dir[3] = {2.0f * (q.x * q.z - q.y * q.w), 2.0f * (q.y * q.z + q.x * q.w),
                    1.0f - 2.0f * (q.x * q.x + q.y * q.y)};
    float pos[3];
    GSobject_getposition(o->gsobject, pos);
    float held_dir[3], held_pos[3];
    GSlight_getdirection(light, held_dir);
    GSlight_getposition(light, held_pos);
    if (same3(dir, held_dir) && same3(pos, held_pos))
        return;
    GSlight_setdirection(light, dir);
    GSlight_setposition(light, pos);
}

void sync_viewpoint(_object *o, GSviewpoint *vp)
{
    // While the view is dragged every tick draws a frame.
    if (kiv::env::view_moving())
        GSuniverse_changed(1);
    QEL_VECT3 p;
    QEL_QUAT q;
    VE_get_pos(o, p);
    VE_get_orient(o, q);
    float pos[3] = {p.x, p.y, p.z}, orient[4];
    q.to4(orient);
    float held_pos[3], held_orient[4];
    GSviewpoint_getposition(vp, held_pos);
    GSviewpoint_getorientation(vp, held_orient);
    const QEL_QUAT a = QEL_QUAT(held_orient).standard(), b = q.standard();
    const bool same_turn = a.x == b.x && a.y == b.y && a.z == b.z && a.w == b.w;
    if (same3(pos, held_pos) && same_turn)
        return;
    GSviewpoint_setposition(vp, pos);
    GSviewpoint_setorientation(vp, orient);
}

}  // namespace

_object *light_add(_object *parent, char *name, LIGHT_MODE mode)
{
    _object *o = db_create_obj(parent, OBJ_LIGHT);
    if (!o)
        return nullptr;
    obj_set_name(o, name);
    QEL_VECT3 p;
    obj_get_pos(o, p, FRAME_PARENT);
    float at[3] = {p.x, p.y, p.z};
    if (GSlight *light = make_light(mode, at)) {
        o->gslight = light;
        GSobject_setobjecttype(o->gsobject, kiv::env::graphics_type(o));
        GSlight_add(light);
        GSobject_setaux(o->gsobject, light);
    }
    QEL_VECT3 origin;
    obj_set_pos(o, origin.init(), FRAME_PARENT);
    if (obj_set_color(o, 1.0f, 1.0f, 1.0f, ATTR_DEFAULT_LEVEL) != 0) {
        db_delete_obj(o);
        return nullptr;
    }
    obj_set_intensity(o, 0.8f);
    obj_set_active(o, 1);
    return o;
}

LIGHT_MODE light_get_type(_object *o)
{
    return o ? static_cast<LIGHT_MODE>(obj_get_ltype(o)) : static_cast<LIGHT_MODE>(-1);
}

int VE_sync_geo(_object *o)
{
    if (!o || !o->gsobject || !o->gslight)
        return 0;
    switch (o->type) {
    case OBJ_LIGHT:
        sync_light(o, static_cast<GSlight *>(o->gslight));
        return 0;
    case OBJ_VIEWPOINT:
        sync_viewpoint(o, static_cast<GSviewpoint *>(o->gslight));
        return 0;
    case OBJ_ROOT:
    case OBJ_GROUP:
    case OBJ_OBJECT:
    case OBJ_FACE:
        return 0;
    default:
        esd_send("Unrecognized object type in VE_sync_geo");
        return 102;
    }
}

void dv_obj_sync()
{
    _object *root = db_get_root();
    if (!root)
        return;
    OBJLIST_ITER it(root->lights);
    while (it.next())
        VE_sync_geo(it.getdata());
    VE_sync_geo(root->viewpoint);
}

int VE_add_lcs(_object *o)
{
    if (!o || o->type < OBJ_GROUP || o->type > OBJ_VIEWPOINT)
        return 0;
    o->lcs_shown = 1;
    if (!o->gsobject)
        return 0;
    QEL_VECT3 pivot;
    VE_get_pivot(o, pivot);
    float m[3];
    GSobject_getposition(o->gsobject, m);
    QEL_VECT3 d(m[0], m[1], m[2]);
    d -= pivot;
    float radius = 0.0f;
    obj_get_radius(o, radius);
    float r = d.mag() + radius;
    if (r == 0.0f) {
        if (_object *root = DBGetRoot(o))
            r = 0.75f * obj_get_grpradius(root);
    }
    GSobject_settriadradius(o->gsobject, 1.25f * r);
    return 0;
}

int VE_delete_lcs(_object *o)
{
    if (!o)
        return 0;
    o->lcs_shown = 0;
    if (o->gsobject)
        GSobject_settriadradius(o->gsobject, 0.0f);
    return 0;
}
