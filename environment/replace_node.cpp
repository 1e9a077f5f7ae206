// Replacing an object's graphics object while keeping where the object is.
#include <kivctrl/ve_bind.h>

#include <kivctrl/gs_note.h>
#include <kivctrl/gsobject.h>
#include <kivctrl/kiv_db.h>
#include <kivctrl/placement.h>
#include <kivctrl/qel_msg.h>

#include "environment/binding_internal.h"
#include "environment/geo_data.h"
#include "environment/geometry_guard.h"

#include <vector>

namespace {

std::vector<_object *> children_of(_object *o)
{
    std::vector<_object *> out;
    OBJLIST_ITER it(o->children);
    while (it.next())
        out.push_back(it.getdata());
    return out;
}

void invalidate_radii_upwards(_object *o)
{
    for (_object *a = o; a; a = a->parent)
        a->grpradius_valid = 0;
}

}  // namespace

namespace kiv::env {

void replace_node(_object *o, GSobject *g, bool keep_pivot)
{
    kiv::env::GeometryGuard guard(GetAssembly(o));
    GSobject *old = o->gsobject;
    QEL_VECT3 pos, world_pos, mid;
    QEL_QUAT q;
    obj_get_pos(o, pos, FRAME_PARENT);
    obj_get_orient(o, q, FRAME_PARENT);
    VE_get_pos(o, world_pos);
    if (keep_pivot)
        VE_get_midpoint(o, mid);

    const std::vector<_object *> children = children_of(o);
    for (_object *c : children) {
        if (!c->gsobject)
            continue;
        if (c->type == OBJ_FACE) {
            if (!GSobject_getparent(c->gsobject))
                delete_node(c->gsobject);
            c->gsobject = nullptr;
        } else if (old && GSobject_getparent(c->gsobject) == old) {
            GSobject_detach(old, c->gsobject);
        }
    }
    if (old) {
        if (GSobject *p = GSobject_getparent(old))
            GSobject_detach(p, old);
        GSobject_setobjecttype(g, GSobject_getobjecttype(old));
        GSobject_setvisibility(old, false);
        GSobject_setdrawenvelope(old, false);
        GSobject_settriadradius(old, 0.0f);
        GSobject_setdrawtext(old, false);
        // The note goes with the object, not with the node that is about to be deleted.
        if (o->note && o->note->gsnote && GSobject_notedetach(old, o->note->gsnote))
            GSobject_noteattach(g, o->note->gsnote);
    }
    GSobject_setvisibility(g, false);
    attach_geo_data(g, o);
    o->gsobject = g;

    obj_suspend_constraints(o);
    if (o->parent && o->parent->type >= OBJ_GROUP && o->parent->type <= OBJ_VIEWPOINT &&
        o->parent->gsobject)
        GSobject_attach(o->parent->gsobject, g);
    obj_set_orient(o, q, FRAME_PARENT);
    if (keep_pivot) {
        float m[3];
        GSobject_getposition(g, m);
        VE_set_pivot(o, QEL_VECT3(m[0], m[1], m[2]));
        VE_set_pos(o, mid);
        VE_set_pivot(o, world_pos);
    }
    obj_set_pos(o, pos, FRAME_PARENT);
    obj_resume_constraints(o);

    for (_object *c : children) {
        if (c->type == OBJ_FACE)
            VE_load_face(c);
        else
            VE_attach_geo(c);
    }
    invalidate_radii_upwards(o);
    refresh_visibility(o);
    if (o->lcs_shown)
        VE_add_lcs(o);
    GSobject_setdrawtext(g, o->name_vis != 0);
    msg_send(MSG_OBJ_GSNODE_REPLACED, o, 0);
}

}  // namespace kiv::env
