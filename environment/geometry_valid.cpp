// The geometry-valid flag: declaring an object's files changed, and reading them again.
#include <kivctrl/obj_attr.h>

#include <kivctrl/kiv_db.h>
#include <kivctrl/qel_msg.h>
#include <kivctrl/ve_bind.h>

#include "environment/component_refresh.h"
#include "environment/envelope_guard.h"

#include <vector>

namespace {

std::vector<_object *> children_of(_object *o)
{
    std::vector<_object *> kids;
    OBJLIST_ITER it(o->children);
    while (it.next())
        kids.push_back(it.getdata());
    return kids;
}

// The object's geometry goes and comes back from its files (a group's components through
// the refresh); a failed load leaves it released and inactive.
void reload(_object *o)
{
    msg_send(MSG_OBJ_GEOMETRY_RELOAD, o, 0);
    o->active = 0;
    VE_activate_obj(o);
    VE_release_geometry(o);
    o->active = 1;
    kiv::env::refresh_component(o);
    if (VE_load_obj(o) != 0) {
        VE_release_geometry(o);
        o->active = 0;
    }
}

// One object: a face declared invalid goes; any other object stores v, reading its files
// again when they become valid.
void set_one(_object *o, int v)
{
    if (o->type == OBJ_FACE && v == 0) {
        // Deleting takes the face out of every selection list as well.
        db_delete_obj(o);
        return;
    }
    if (v == 1 && o->geometryvalid == 0)
        reload(o);
    o->geometryvalid = v;
    VE_activate_obj(o);
}

// o and its subtree, parents first. Each object's children are taken after it was handled,
// since the refresh adds, moves and deletes children.
void set_subtree(_object *o, int v)
{
    kiv::env::EnvelopesOnly envelopes(!o->children.isempty());
    std::vector<_object *> work{o};
    while (!work.empty()) {
        _object *x = work.back();
        work.pop_back();
        const bool face = x->type == OBJ_FACE;
        set_one(x, v);
        if (face && v == 0)
            continue;
        std::vector<_object *> kids = children_of(x);
        work.insert(work.end(), kids.rbegin(), kids.rend());
    }
}

}  // namespace

int obj_set_geometryvalid(_object *o, int v)
{
    if (!o)
        return 101;
    if (o->type != OBJ_ROOT) {
        set_subtree(o, v);
        return 0;
    }
    kiv::env::EnvelopesOnly envelopes;
    for (_object *c : children_of(o))
        set_subtree(c, v);
    return 0;
}

int obj_get_geometryvalid(_object *o)
{
    return o ? o->geometryvalid : 101;
}

int obj_get_geometryvalid(_object *o, int &out)
{
    if (!o)
        return 101;
    out = o->geometryvalid;
    return 0;
}
