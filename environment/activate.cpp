// Making the graphics side follow an object's active flag.
#include <kivctrl/ve_bind.h>

#include <kivctrl/gs_universe.h>
#include <kivctrl/gsobject.h>
#include <kivctrl/kiv_db.h>
#include <kivctrl/qel_msg.h>

#include "environment/binding_internal.h"

namespace {

void activate_light(_object *o)
{
    _object *root = DBGetRoot(o);
    if (root)
        root->lights.remove(o);
    auto *light = static_cast<GSlight *>(o->gslight);
    if (!light)
        return;
    if (o->active == 1) {
        GSlight_add(light);
        VE_sync_geo(o);
        if (root)
            root->lights.append(o);
    } else {
        GSlight_remove(light);
    }
}

void activate_viewpoint(_object *o)
{
    _object *root = DBGetRoot(o);
    if (o->active != 1 || !root)
        return;
    _object *previous = root->viewpoint;
    root->viewpoint = o;
    if (previous && previous != o && previous->active)
        obj_set_active(previous, 0);
    VE_sync_geo(o);
}

}  // namespace

int VE_activate_obj(_object *o)
{
    if (!o || !o->gsobject)
        return 0;
    switch (o->type) {
    case OBJ_OBJECT:
        if (o->active == 1)
            GSobject_add(o->gsobject);
        msg_send(MSG_OBJ_ACTIVE_APPLIED, o, 0);
        break;
    case OBJ_LIGHT:
        activate_light(o);
        break;
    case OBJ_VIEWPOINT:
        activate_viewpoint(o);
        break;
    case OBJ_FACE:
        GSface_active(o->gsobject, o->active);
        msg_send(MSG_OBJ_ACTIVE_APPLIED, o, 0);
        break;
    default:
        break;
    }
    kiv::env::refresh_visibility(o);
    kiv::env::refresh_note(o);
    return 0;
}
