// Creating objects: allocation, joining the tree, guid, announcement, and the observers that
// bind and place the new object.
#include <kivctrl/kiv_db.h>

#include <kivctrl/qel_msg.h>
#include <kivctrl/qel_process.h>

#include "database/db_state.h"
#include "database/observers.h"

#include <cstdlib>
#include <new>

namespace {

// Steps 1-3 of every creation: allocate and construct (joining the parent), then the guid.
_object *make_object(_object *parent, OBJECT_TYPE t)
{
    auto *o = new (std::nothrow) _object(t, parent);
    if (!o) {
        esd_send("Out of memory - unable to create object.");
        msg_send(MSG_OBJ_CREATE_FAILED, nullptr, 0);
        return nullptr;
    }
    o->guid = qel_getguid();
    return o;
}

// Steps 5-6: the observers bind and place the object and give it an empty note name.
void bind_and_place(_object *o)
{
    kiv::db::notify_created(o);
}

bool valid_type(int t)
{
    return t >= OBJ_ROOT && t <= OBJ_FACE;
}

}  // namespace

_object *db_create_obj(_object *parent, OBJECT_TYPE t)
{
    if (t == OBJ_ROOT)
        return db_create_root_obj(parent);
    if (!parent)
        parent = kiv::db::current_root();
    // An object needs a tree to live in, and faces never have children.
    if (!valid_type(t) || !parent || parent->type == OBJ_FACE)
        return nullptr;
    _object *o = make_object(parent, t);
    if (!o)
        return nullptr;
    msg_send(MSG_OBJ_CREATED, o, 0);
    bind_and_place(o);
    return o;
}

_object *db_create_root_obj(_object *parent)
{
    _object *o = make_object(parent, OBJ_ROOT);
    if (!o)
        return nullptr;
    bind_and_place(o);
    msg_send(MSG_OBJ_CREATED, o, 0);
    return o;
}

_object *db_create_face_obj(_object *part)
{
    if (!part || part->type == OBJ_FACE)
        return nullptr;
    _object *o = make_object(part, OBJ_FACE);
    if (!o)
        return nullptr;
    msg_send(MSG_OBJ_CREATED, o, 0);
    return o;
}
