// The operations on the active selection list: pick, deselect all, select all children.
#include <kivctrl/selection.h>

#include <kivctrl/kiv_db.h>
#include <kivctrl/qel_msg.h>

#include "database/selection_state.h"

#include <utility>
#include <vector>

namespace {

using kiv::db::active_list;
using kiv::db::selection;

void announce_count()
{
    msg_send(MSG_SEL_CHANGED, nullptr, active_list().objects.count());
}

// The view sensors let go of the viewpoint while objects are selected and take it back when
// the selection empties; the change in between runs inside this bracket.
template <class Change>
void with_viewpoint_rule(Change change)
{
    if (!sel_existsnonroot())
        for (SelectionBinding *b : selection().bindings)
            b->selection_begins();
    change();
    if (active_list().objects.empty())
        for (SelectionBinding *b : selection().bindings)
            b->selection_ended();
}

void deselect_all_but(_object *keep)
{
    for (_object *o : active_list().objects.snapshot())
        if (o != keep)
            kiv::db::deselect_from_active(o);
    for (SelectionBinding *b : selection().bindings)
        b->deselecting_all();
}

}  // namespace

void object_picked(_object *o)
{
    with_viewpoint_rule([o] {
        if (o && !kiv::db::deselect_from_active(o))
            kiv::db::select_into_active(o);
        announce_count();
    });
}

void object_deselectall()
{
    deselect_all_but(nullptr);
    announce_count();
    if (active_list().objects.empty())
        for (SelectionBinding *b : selection().bindings)
            b->selection_ended();
}

void object_deselectall_but_one(_object *o)
{
    const bool was_selected = o && active_list().objects.contains(o);
    deselect_all_but(o);
    if (was_selected)
        announce_count();
    else if (o)
        object_picked(o);
    else
        object_deselectall();
}

void object_selectall_children(_object *o)
{
    if (!o)
        return;
    with_viewpoint_rule([o] {
        // Depth first, parents before children; an object is finished (and the count
        // announced) once its children were walked.
        std::vector<std::pair<_object *, int>> stack{{o, 1}};
        while (!stack.empty()) {
            auto &[node, next] = stack.back();
            _object *child = node->children.get(next);
            if (!child) {
                stack.pop_back();
                announce_count();
                continue;
            }
            ++next;
            if (child->type != OBJ_LIGHT && child->type != OBJ_VIEWPOINT)
                kiv::db::select_into_active(child);
            if (child->children.count() > 0)
                stack.emplace_back(child, 1);
        }
    });
}
