// Finding objects by name, id or guid (depth first, pre-order), and counting viewpoints.
#include <kivctrl/kiv_db.h>


#include "database/db_state.h"
#include "database/object_index.h"

#include <cstring>
#include <deque>
#include <vector>

namespace {

// The first object of start's subtree, in pre-order, for which match() holds.
template <class Match> _object *preorder_find(_object *start, Match match)
{
    if (!start)
        return nullptr;
    std::vector<_object *> stack{start};
    while (!stack.empty()) {
        _object *o = stack.back();
        stack.pop_back();
        if (match(o))
            return o;
        // Last child pushed first, so the first child is visited next.
        OBJLIST_ITER it(o->children);
        while (it.prev())
            stack.push_back(it.getdata());
    }
    return nullptr;
}

template <class Match> int count_in_tree(_object *start, Match match)
{
    if (!start)
        return -1;
    int n = 0;
    preorder_find(start, [&](_object *o) {
        if (match(o))
            ++n;
        return false;
    });
    return n;
}

bool same_text(const char *a, const char *b)
{
    return a && b && std::strcmp(a, b) == 0;
}

}  // namespace

_object *name_to_obj(const char *name)
{
    if (!name)
        return nullptr;
    return preorder_find(kiv::db::current_root(),
                         [name](_object *o) { return same_text(o->name, name); });
}

_object *id_to_obj(int id)
{
    return preorder_find(kiv::db::current_root(), [id](_object *o) { return o->id == id; });
}

_object *find_obj_by_guid(const char *guid, _object *start)
{
    if (!guid)
        return nullptr;
    return preorder_find(start, [guid](_object *o) { return same_text(o->guid, guid); });
}

_object *id_or_name_to_obj(const char *text)
{
    return kiv::db::find_id_or_name(text, id_to_obj, name_to_obj);
}

int db_number_of_viewpoints_in_tree(_object *o)
{
    return count_in_tree(o, [](_object *x) { return x->type == OBJ_VIEWPOINT; });
}

int db_number_of_active_viewpoints_in_tree(_object *o)
{
    return count_in_tree(o, [](_object *x) { return x->type == OBJ_VIEWPOINT && x->active; });
}

_object *db_find_first_inactive_viewpoint_in_tree(_object *start, _object *except)
{
    if (!start)
        return nullptr;
    std::deque<_object *> work{start};
    while (!work.empty()) {
        _object *o = work.front();
        work.pop_front();
        if (o->type == OBJ_VIEWPOINT && !o->active && o != except)
            return o;
        OBJLIST_ITER it(o->children);
        while (it.next())
            work.push_back(it.getdata());
    }
    return nullptr;
}
