// Viewpoints: creation with a headlight, and the view angle.
#include <kivctrl/ve_zoom.h>

#include <kivctrl/gs_universe.h>
#include <kivctrl/kiv_db.h>
#include <kivctrl/placement.h>
#include <kivctrl/qel_msg.h>
#include <kivctrl/ve_bind.h>

#include <string>

namespace {

GSviewpoint *graphics_viewpoint(_object *o)
{
    return o && o->type == OBJ_VIEWPOINT ? static_cast<GSviewpoint *>(o->gslight) : nullptr;
}

}  // namespace

int obj_set_viewangle(_object *o, float degrees)
{
    if (GSviewpoint *vp = graphics_viewpoint(o))
        GSviewpoint_setviewangle(vp, degrees);
    return 0;
}

float obj_get_viewangle(_object *o)
{
    GSviewpoint *vp = graphics_viewpoint(o);
    return vp ? static_cast<float>(GSviewpoint_getviewangle(vp)) : 0.0f;
}

int env_create_viewpoint(const char *name, KivAssembly *a)
{
    _object *root = a ? a->GetRoot() : nullptr;
    if (!root)
        return 100;
    _object *vp = db_create_obj(root, OBJ_VIEWPOINT);
    if (!vp)
        return 100;
    obj_set_name(vp, name);
    QEL_VECT3 p;
    QEL_QUAT q;
    p.init();
    q.init();
    int active = 1;
    if (root->viewpoint) {
        obj_get_pos(root->viewpoint, p, FRAME_PARENT);
        obj_get_orient(root->viewpoint, q, FRAME_PARENT);
        active = 0;
    }
    obj_set_pos(vp, p, FRAME_PARENT);
    obj_set_orient(vp, q, FRAME_PARENT);
    std::string light_name = std::string(name ? name : "") + " light";
    _object *light = light_add(vp, light_name.data(), LIGHT_DIRECTED);
    if (light)
        obj_set_eangles(light, QEL_VECT3(-30.0f, 30.0f, 0.0f), FRAME_PARENT);
    obj_set_active(vp, active);
    msg_send(MSG_VIEWPOINT_CREATED, vp, 0);
    msg_send(MSG_HEADLIGHT_CREATED, light, 0);
    return 0;
}
