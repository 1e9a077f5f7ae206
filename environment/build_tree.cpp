// Preparing a freshly read tree for display.
#include <kivctrl/ve_bind.h>

#include <kivctrl/gs_universe.h>
#include <kivctrl/kiv_db.h>
#include <kivctrl/placement.h>
#include <kivctrl/qel_msg.h>
#include <kivctrl/selection.h>
#include <kivctrl/task.h>
#include <kivctrl/ve_env.h>
#include <kivctrl/ve_sensor.h>
#include <kivctrl/ve_zoom.h>

#include "environment/load_worker.h"

#include <cstdint>
#include <vector>

namespace {

int deferred_activation(_object *o)
{
    return static_cast<int>(reinterpret_cast<std::intptr_t>(o->vars.remove("_ACTIVE")));
}

void prepare_root(_object *root)
{
    GSuniverse_setname(root->name);
    // Without a colour of its own the root shows the environment's background.
    const QEL_COLOR bg = root->color.r != -1.0f ? root->color : env_get_bgcolor();
    GSuniverse_setbgcolor(bg.r, bg.g, bg.b);
    if (!root->viewpoint) {
        env_create_viewpoint("viewpoint", root->assembly);
        if (root->children.count() < 2) {
            if (_object *g = db_create_obj(root, OBJ_GROUP)) {
                obj_set_name(g, "assembly");
                obj_set_active(g, 1);
                msg_send(MSG_DEFAULT_GROUP_CREATED, root, 0);
            }
        }
    }
    if (_object *vp = root->viewpoint) {
        QEL_VECT3 p;
        obj_get_pos(vp, p, FRAME_PARENT);
        if (p.x == 0.0f && p.y == 0.0f && p.z == 0.0f) {
            obj_set_releangles(vp, QEL_VECT3(180.0f, 0.0f, 0.0f), FRAME_PARENT);
            VE_zoom_extents(root->assembly);
        }
    }
    if (layer_count() == 0)
        layer_add("DEFAULT");
    if (!task_find(root, "_lod_task"))
        task_add(root, "_lod_task", nullptr);
}

void prepare_part(_object *part)
{
    if (env_get_threading())
        kiv::env::apply_deferred_activation(part);
}

}  // namespace

void kiv::env::apply_deferred_activation(_object *part)
{
    if (part->vars.find("_ACTIVE") == 0)
        return;
    const int a = deferred_activation(part);
    obj_set_active(part, 0);
    if (a)
        obj_set_active(part, 1);
    std::vector<_object *> faces;
    OBJLIST_ITER it(part->children);
    while (it.next(1 << OBJ_FACE))
        faces.push_back(it.getdata());
    for (_object *f : faces) {
        if (f->vars.find("_ACTIVE") == 0)
            continue;
        if (deferred_activation(f))
            obj_set_active(f, 1);
    }
}


int VE_prepare_obj(_object *o)
{
    if (!o)
        return 0;
    if (o->type == OBJ_ROOT)
        prepare_root(o);
    else if (o->type == OBJ_OBJECT)
        prepare_part(o);
    return 0;
}

int VE_build_tree(_object *o)
{
    update_sensor_speed();
    VE_prepare_obj(o);
    // Refreshed before the loader starts: from then on the loader changes the tree, group
    // radii included, and the window thread may not read it without the geometry lock, which
    // the loader can hold for as long as an activation takes.
    update_sensor_speed();
    if (o && env_get_threading())
        kiv::env::start_geometry_worker(o);
    return 0;
}

void VE_reset_environment()
{
    GSuniverse_vacuum();
}
