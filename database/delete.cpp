// Deleting objects, subtrees and assemblies.
//
// Every deletion runs the same one-object steps: announce (212), invalidate the cached radii
// and mark group ancestors changed, drop tasks and note, leave the parent, hand the children
// on to the parent, release graphics and owned data, leave layer and animation, announce (202)
// and free. The object leaves the selection lists first, while it is whole, so that whatever
// selection bound it to lets go of it.
#include <kivctrl/kiv_db.h>

#include <kivctrl/geom_params.h>
#include <kivctrl/obj_geometry.h>
#include <kivctrl/qel_msg.h>
#include <kivctrl/selection.h>

#include "database/db_state.h"
#include "database/db_string.h"
#include "database/observers.h"

#include <vector>

namespace {

bool is_active_viewpoint(const _object *o)
{
    return o->type == OBJ_VIEWPOINT && o->active;
}

// Invalidates the group radius of o and its ancestors and marks its group ancestors
// changed. Inside a subtree being deleted (below `top`) the walk stops at an ancestor that an
// earlier deletion of the same walk already handled, and never goes above top: top's own
// deletion handles the ancestors outside. This keeps deleting a deep subtree linear.
void invalidate_upwards(_object *o, const _object *top)
{
    o->grpradius_valid = 0;
    const bool inside = top && o != top;
    for (_object *a = o->parent; a; a = a->parent) {
        const bool group = a->type == OBJ_GROUP;
        if (inside && a->grpradius_valid == 0 && (!group || a->unique))
            return;
        a->grpradius_valid = 0;
        if (group)
            a->unique = 1;
        if (inside && a == top)
            return;
    }
}

void free_geometry_records(_object *o)
{
    for (int i = 1; i <= o->geolist.count(); ++i)
        delete o->geolist.get(i);
    o->geolist.clear();
}

void leave_layer_and_animation(_object *o)
{
    layer_remove_from_layer(o);
    kiv::db::notify_deleting(o, DB_DELETE_LAST);
}

// Moves each child of o (o has already left its parent) first under the assembly root and
// then under o's former parent.
void hand_on_children(_object *o, _object *former_parent)
{
    _object *root = DBGetRoot(o);
    while (_object *c = o->children.get(1)) {
        int moved = root && root != o ? db_link(root, c) : 1;
        if (former_parent)
            moved &= db_link(former_parent, c);
        if (moved != 0 && c->parent == o) {
            // Nowhere to go (a tree without an assembly): the child becomes a lone top.
            o->children.remove(1);
            c->parent = nullptr;
        }
    }
}

void delete_one(_object *o, const _object *top)
{
    msg_send(MSG_OBJ_DELETING, o, 0);
    invalidate_upwards(o, top);
    sel_forget_obj(o);
    kiv::db::notify_deleting(o, DB_DELETE_START);

    _object *former_parent = o->parent;
    if (former_parent)
        former_parent->children.remove(o);
    hand_on_children(o, former_parent);

    // The graphics node goes only now: the children's nodes hang below it until they moved.
    kiv::db::notify_deleting(o, DB_DELETE_DETACHED);
    free_geometry_records(o);
    delete static_cast<_geom_params *>(o->vars.remove("_GEOM_PARAMS"));
    kiv::db::free_string(o->name);
    kiv::db::free_string(o->guid);

    leave_layer_and_animation(o);
    msg_send(MSG_OBJ_FREEING, o, 0);
    delete o;
}

// First child of o that a subtree deletion removes; with keep_active_viewpoints, active
// viewpoints (and so their subtrees) are passed over.
_object *next_victim(_object *o, bool keep_active_viewpoints)
{
    OBJLIST_ITER it(o->children);
    while (it.next()) {
        _object *c = it.getdata();
        if (!keep_active_viewpoints || !is_active_viewpoint(c))
            return c;
    }
    return nullptr;
}

// Children first, depth first and iteratively (trees may be deep), then top itself unless
// include_top is false.
void delete_subtree(_object *top, bool include_top, bool keep_active_viewpoints)
{
    std::vector<_object *> stack{top};
    while (!stack.empty()) {
        _object *n = stack.back();
        if (_object *c = next_victim(n, keep_active_viewpoints)) {
            stack.push_back(c);
            continue;
        }
        stack.pop_back();
        if (n != top || include_top)
            delete_one(n, top);
    }
}

_object *top_of_tree(_object *o)
{
    if (_object *r = DBGetRoot(o))
        return r;
    while (o->parent)
        o = o->parent;
    return o;
}

void teardown_root(_object *root)
{
    msg_send(MSG_OBJ_DELETING, root, 0);
    root->grpradius_valid = 0;
    sel_forget_obj(root);
    kiv::db::notify_deleting(root, DB_DELETE_START);
    kiv::db::notify_deleting(root, DB_DELETE_DETACHED);
    free_geometry_records(root);
    delete static_cast<_geom_params *>(root->vars.remove("_GEOM_PARAMS"));
    // Nothing stores publishing data yet; the entry only has to go.
    root->vars.remove("_PUBLISHDATA");
    kiv::db::free_string(root->name);
    kiv::db::free_string(root->guid);
    leave_layer_and_animation(root);
    msg_send(MSG_OBJ_FREEING, root, 0);
    delete root;
}

}  // namespace

int db_delete_obj(_object *o)
{
    if (!o || o->type == OBJ_ROOT)
        return 1;
    switch (o->type) {
    case OBJ_OBJECT: {
        std::vector<_object *> faces;
        OBJLIST_ITER it(o->children);
        while (it.next(1 << OBJ_FACE))
            faces.push_back(it.getdata());
        it.detach();
        for (_object *f : faces)
            delete_one(f, nullptr);
        delete_one(o, nullptr);
        return 0;
    }
    case OBJ_VIEWPOINT:
        if (o->active || db_number_of_viewpoints_in_tree(top_of_tree(o)) < 2)
            return 1;
        delete_one(o, nullptr);
        return 0;
    case OBJ_FACE:
        delete_one(o, nullptr);
        return 0;
    default:
        delete_subtree(o, true, true);
        return 0;
    }
}

void db_delete_assembly(KivAssembly *a)
{
    if (!a)
        return;
    msg_send(MSG_ASSEMBLY_DELETING, a, 0);
    a->WaitForGeometryLoad();

    _object *root = a->GetRoot();
    const bool current = root && root == kiv::db::current_root();
    sel_listsetactive(0);
    object_deselectall();
    if (root)
        kiv::db::notify_deleting(root, DB_DELETE_ASSEMBLY);
    layer_delete_all();

    if (root) {
        if (_object *vp = root->viewpoint)
            obj_set_active(vp, 0);
        // The whole tree goes, whatever viewpoint is still marked active.
        delete_subtree(root, false, false);
        root->viewpoint = nullptr;
        teardown_root(root);
        if (current)
            kiv::db::set_current_root(nullptr);
    }
    a->SetRoot(nullptr);
    a->UnprotectGeometry();
    delete a;
}

void db_delete_assembly()
{
    if (_object *root = kiv::db::current_root())
        db_delete_assembly(root->assembly);
}
