// Re-parenting objects, and the ancestry queries it relies on.
#include <kivctrl/kiv_db.h>

#include <kivctrl/path.h>
#include <kivctrl/qel_msg.h>
#include <kivctrl/ve_bind.h>
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

QEL_FRAME world_frame(_object *o)
{
    QEL_FRAME f;
    f.init();
    obj_get_pos(o, f.p, FRAME_WORLD);
    obj_get_orient(o, f.q, FRAME_WORLD);
    return f;
}

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

    const bool has_paths = !child->pathlist.isempty();
    if (_object *old = child->parent) {
        if (has_paths) {
            const QEL_FRAME from = world_frame(old);
            for (int i = 1; i <= child->pathlist.count(); ++i)
                path_to_world(child->pathlist.get(i), from);
        }
        old->grpradius_valid = 0;
        old->children.remove(child);
    }

    VE_detach_geo(child);
    newparent->children.append(child);
    child->parent = newparent;
    newparent->grpradius_valid = 0;
    if (child->assembly != newparent->assembly)
        adopt_into(child, newparent->assembly);

    if (has_paths) {
        const QEL_FRAME to = world_frame(newparent);
        for (int i = 1; i <= child->pathlist.count(); ++i)
            path_from_world(child->pathlist.get(i), to);
    }

    VE_attach_geo(child);
    msg_send(MSG_OBJ_LINKED, child, 0);
    return 0;
}
