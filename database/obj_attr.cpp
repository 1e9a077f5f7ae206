// The attribute records and the attribute setters the object lifecycle relies on.
#include <kivctrl/obj_attr.h>

#include <kivctrl/kiv_db.h>
#include <kivctrl/qel_msg.h>

#include "database/db_string.h"
#include "database/observers.h"

#include <cstring>
#include <vector>

using kiv::db::free_string;
using kiv::db::replace_string;

void QEL_MATERIAL::init(int lvl)
{
    ambient = {0.2f, 0.2f, 0.2f};
    diffuse = {0.8f, 0.8f, 0.8f};
    specular = {1.0f, 1.0f, 1.0f};
    shininess = 30.0f;
    transparency = 1.0f;
    reflectivity = 0.0f;
    emission = {0.0f, 0.0f, 0.0f};
    ior = 1.0f;
    roughness = 0.0f;
    metallic = 0;
    shadow = 1;
    for (int &l : level)
        l = lvl;
}

_obj_texture::~_obj_texture()
{
    free_string(name);
}

_obj_note::~_obj_note()
{
    free_string(name);
    free_string(link);
}

namespace {

// One object: store the flag, let the observers load the geometry on first need (or release
// it) and apply it, and announce it. Nonzero when the geometry failed to load.
int set_one_active(_object *o, int a)
{
    o->active = a;
    const int failed = kiv::db::notify_activated(o);
    msg_send(a == 1 ? MSG_OBJ_ACTIVATED : MSG_OBJ_DEACTIVATED, o, 0);
    return failed;
}

bool has_non_face_children(_object *o)
{
    OBJLIST_ITER it(o->children);
    while (it.next()) {
        if (it.getdata()->type != OBJ_FACE)
            return true;
    }
    return false;
}

// o and its whole subtree, parents before children; a bigger subtree is activated as a whole.
int set_subtree_active(_object *o, int a)
{
    const bool envelopes = a == 1 && o->type != OBJ_VIEWPOINT && has_non_face_children(o);
    if (envelopes)
        kiv::db::notify_bulk_activation(true);
    int failed = set_one_active(o, a);
    std::vector<_object *> children;
    OBJLIST_ITER it(o->children);
    while (it.next())
        children.push_back(it.getdata());
    for (_object *c : children)
        failed |= set_subtree_active(c, a);
    if (envelopes)
        kiv::db::notify_bulk_activation(false);
    return failed;
}

}  // namespace

int obj_set_active(_object *o, int a)
{
    if (!o)
        return 101;
    a = a != 0 ? 1 : 0;
    std::vector<_object *> children;
    OBJLIST_ITER it(o->children);
    while (it.next())
        children.push_back(it.getdata());
    switch (o->type) {
    case OBJ_ROOT: {
        kiv::db::notify_bulk_activation(true);
        int failed = 0;
        for (_object *c : children)
            failed |= obj_set_active(c, a);
        kiv::db::notify_bulk_activation(false);
        return failed;
    }
    case OBJ_OBJECT: {
        int failed = set_one_active(o, a);
        for (_object *c : children) {
            if (c->type == OBJ_FACE)
                failed |= obj_set_active(c, a);
        }
        return failed;
    }
    default:
        return set_subtree_active(o, a);
    }
}
