// Re-parenting objects, and the ancestry queries it relies on.
#include <kivctrl/kiv_db.h>

#include <kivctrl/qel_msg.h>

#include "database/observers.h"
#include "database/subtree_walk.h"


int obj_is_ancestor(_object *o, _object *a)
{
    if (!o)
        return 0;
    for (_object *p = o->parent; p; p = p->parent) {
        if (p == a)
            return 1;
    }
    return 0;
}

void db_update_group(_object *o)
{
    if (!o || o->type == OBJ_ROOT)
        return;
    for (_object *p = o->parent; p && p->type != OBJ_ROOT; p = p->parent) {
        if (p->type == OBJ_GROUP)
            p->unique = 1;
    }
}

namespace {

// A subtree moved into another assembly belongs to that assembly from now on.
void adopt_into(_object *top, KivAssembly *a)
{
    db_walk_subtree(top, [a](_object *x) {
        x->assembly = a;
        return true;
    });
}

}  // namespace

int db_link(_object *newparent, _object *child)
{
    if (!newparent || !child || newparent->type == OBJ_FACE || child->type == OBJ_ROOT ||
        child == newparent || obj_is_ancestor(newparent, child))
        return 1;

    db_update_group(child);
    db_update_group(newparent);
    // The new parent's own contents change as well.
    if (newparent->type == OBJ_GROUP)
        newparent->unique = 1;
    msg_send(MSG_OBJ_UNLINKING, child, 0);
    kiv::db::notify_unlinking(child);

    if (_object *old = child->parent) {
        old->grpradius_valid = 0;
        old->children.remove(child);
    }

    newparent->children.append(child);
    child->parent = newparent;
    newparent->grpradius_valid = 0;
    if (child->assembly != newparent->assembly)
        adopt_into(child, newparent->assembly);

    kiv::db::notify_linked(child);
    msg_send(MSG_OBJ_LINKED, child, 0);
    return 0;
}
