// Visibility, highlighting and name labels: stored on the object, handed to its graphics
// objects, passed down a group's subtree.
#include <kivctrl/obj_attr.h>

#include <kivctrl/gsobject.h>
#include <kivctrl/kiv_db.h>
#include <kivctrl/qel_msg.h>

#include "database/subtree_walk.h"
#include "environment/binding_internal.h"

#include <cstdlib>

namespace {

bool shows_visibility(const _object *o)
{
    return o->type == OBJ_GROUP || o->type == OBJ_OBJECT || o->type == OBJ_FACE;
}

// Once an object's sphere is invalid so are its ancestors', so the walk up stops there and a
// whole tree made visible costs one step per object.
void invalidate_radii(_object *o)
{
    o->grpradius_valid = 0;
    for (_object *a = o->parent; a && a->grpradius_valid; a = a->parent)
        a->grpradius_valid = 0;
}

int set_one_vis(_object *o, int v)
{
    if (!shows_visibility(o))
        return 0;
    const int old = o->vis;
    o->vis = v;
    const int rc = kiv::env::refresh_visibility(o);
    kiv::env::refresh_note(o);
    if (v != old)
        msg_send(v == 1 ? MSG_OBJ_SHOWN : MSG_OBJ_HIDDEN, o, 0);
    if (v == 1)
        invalidate_radii(o);
    return rc;
}

void highlight_nodes(_object *o, int h)
{
    for (GSobject *g : kiv::env::geometry_nodes(o)) {
        if (h > 0)
            GSobject_highlight(g, h);
        else if (h < 0)
            GSobject_dehighlight(g, -h);
        else
            GSobject_dehighlightall(g);
    }
}

bool passes_down(const _object *o)
{
    return o->type == OBJ_ROOT || o->type == OBJ_GROUP;
}

}  // namespace

int obj_set_vis(_object *o, int v)
{
    if (!o)
        return 101;
    if (!passes_down(o))
        return set_one_vis(o, v);
    int rc = 0;
    db_walk_subtree(o, [&rc, v](_object *x) {
        const int one = set_one_vis(x, v);
        if (rc == 0)
            rc = one;
        return true;
    });
    return rc;
}

int obj_set_highlight(_object *o, int h)
{
    if (!o)
        return 101;
    if (std::abs(h) >= HIGHLIGHT_STYLES)
        return 1;
    if (!passes_down(o)) {
        highlight_nodes(o, h);
        return 0;
    }
    db_walk_subtree(o, [o, h](_object *x) {
        if (x != o || x->type != OBJ_ROOT)
            highlight_nodes(x, h);
        return true;
    });
    return 0;
}

int obj_set_name_vis(_object *o, int v)
{
    if (!o)
        return 101;
    o->name_vis = v;
    std::vector<GSobject *> nodes;
    switch (o->type) {
    case OBJ_GROUP:
    case OBJ_LIGHT:
        if (o->gsobject)
            nodes.push_back(o->gsobject);
        break;
    case OBJ_OBJECT:
    case OBJ_FACE:
        nodes = kiv::env::geometry_nodes(o);
        break;
    default:
        break;
    }
    for (GSobject *g : nodes) {
        GSobject_setdrawtext(g, v != 0);
        // Red -1: the label follows the environment's text colour.
        GSobject_setdrawtextcolor(g, -1.0f, -1.0f, -1.0f);
    }
    return 0;
}
