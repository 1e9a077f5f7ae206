// Numbered selection lists: creation, the active list, membership and queries.
#include <kivctrl/selection.h>

#include <kivctrl/kiv_db.h>
#include <kivctrl/qel_msg.h>

#include "database/selection_state.h"

#include <algorithm>
#include <new>

namespace kiv::db {

SelectionState::SelectionState()
{
    lists.push_back(std::make_unique<SelList>(SelList{0, {}}));
    active = lists.front().get();
}

SelectionState &selection()
{
    static SelectionState state;
    return state;
}

SelList *find_list(int id)
{
    for (auto &l : selection().lists)
        if (l->id == id)
            return l.get();
    return nullptr;
}

SelList &active_list()
{
    return *selection().active;
}

void bind_selected(_object *o, int id)
{
    for (SelectionBinding *b : selection().bindings)
        b->bind(o);
    msg_send(MSG_SEL_APPLY_DISPLAY, o, id);
    msg_send(MSG_SEL_SELECTED, o, id);
}

void unbind_selected(_object *o, int id)
{
    for (SelectionBinding *b : selection().bindings)
        b->unbind(o);
    msg_send(MSG_SEL_REMOVE_DISPLAY, o, id);
    msg_send(MSG_SEL_DESELECTED, o, id);
}

bool select_into_active(_object *o)
{
    SelList &l = active_list();
    if (!l.objects.append(o))
        return false;
    msg_send(MSG_SEL_ADDED, o, l.id);
    bind_selected(o, l.id);
    return true;
}

bool deselect_from_active(_object *o)
{
    SelList &l = active_list();
    if (!l.objects.remove(o))
        return false;
    unbind_selected(o, l.id);
    if (_object *first = l.objects.first())
        for (SelectionBinding *b : selection().bindings)
            b->first_changed(first);
    msg_send(MSG_SEL_REMOVED, o, l.id);
    return true;
}

}  // namespace kiv::db

using kiv::db::find_list;
using kiv::db::selection;
using kiv::db::SelList;

int sel_listcreate()
{
    auto &s = selection();
    try {
        s.lists.push_back(std::make_unique<SelList>(SelList{s.next_id, {}}));
    } catch (const std::bad_alloc &) {
        return -1;
    }
    return s.next_id++;
}

int sel_listdestroy(int id)
{
    auto &s = selection();
    SelList *l = find_list(id);
    if (id == 0 || !l || l == s.active)
        return -1;
    s.lists.erase(std::find_if(s.lists.begin(), s.lists.end(),
                               [l](const auto &p) { return p.get() == l; }));
    return id;
}

int sel_listsetactive(int id)
{
    auto &s = selection();
    SelList *l = find_list(id);
    if (l && l != s.active) {
        SelList *old = s.active;
        for (_object *o : old->objects.snapshot())
            kiv::db::unbind_selected(o, old->id);
        s.active = l;
        for (_object *o : l->objects.snapshot())
            kiv::db::bind_selected(o, l->id);
    }
    return s.active->id;
}

int sel_listgetactive()
{
    return selection().active->id;
}

void sel_addobj(int id, _object *o)
{
    SelList *l = id == 0 ? nullptr : find_list(id);
    if (l && l->objects.append(o))
        msg_send(MSG_SEL_ADDED, o, id);
}

void sel_remobj(int id, _object *o)
{
    SelList *l = id == 0 ? nullptr : find_list(id);
    if (l && l->objects.remove(o))
        msg_send(MSG_SEL_REMOVED, o, id);
}

int sel_findobj(int id, _object *o)
{
    SelList *l = find_list(id);
    return l ? l->objects.position(o) : 0;
}

int sel_countobj(int id)
{
    SelList *l = find_list(id);
    return l ? l->objects.count() : 0;
}

int sel_existsobj(int id)
{
    return sel_countobj(id) != 0;
}

int sel_existsnonroot(int id)
{
    SelList *l = find_list(id);
    if (!l)
        return 0;
    const int n = l->objects.count();
    return n > 1 || (n == 1 && l->objects.first()->type != OBJ_ROOT);
}

_object *sel_getobj(int id, int i)
{
    SelList *l = find_list(id);
    return l ? l->objects.at(i) : nullptr;
}

_object *sel_firstobj(int id)
{
    SelList *l = find_list(id);
    return l ? l->objects.first() : nullptr;
}

_object *sel_nextobj(int id, _object *o)
{
    SelList *l = find_list(id);
    return l ? l->objects.next(o) : nullptr;
}

int sel_findobj(_object *o) { return sel_findobj(sel_listgetactive(), o); }
int sel_countobj() { return sel_countobj(sel_listgetactive()); }
int sel_existsobj() { return sel_existsobj(sel_listgetactive()); }
int sel_existsnonroot() { return sel_existsnonroot(sel_listgetactive()); }
_object *sel_getobj(int i) { return sel_getobj(sel_listgetactive(), i); }
_object *sel_firstobj() { return sel_firstobj(sel_listgetactive()); }
_object *sel_nextobj(_object *o) { return sel_nextobj(sel_listgetactive(), o); }

int sel_forget_obj(_object *o)
{
    auto &s = selection();
    if (!o)
        return 0;
    int held = 0;
    for (auto &l : s.lists) {
        if (!l->objects.contains(o))
            continue;
        ++held;
        const bool active = l.get() == s.active;
        const bool was_first = l->objects.first() == o;
        l->objects.remove(o);
        if (!active)
            continue;
        for (SelectionBinding *b : s.bindings)
            b->unbind(o);
        _object *first = l->objects.first();
        for (SelectionBinding *b : s.bindings) {
            if (first && was_first)
                b->first_changed(first);
            else if (!first)
                b->selection_ended();
        }
    }
    return held;
}

void sel_add_binding(SelectionBinding *b)
{
    auto &bs = selection().bindings;
    if (b && std::find(bs.begin(), bs.end(), b) == bs.end())
        bs.push_back(b);
}

void sel_remove_binding(SelectionBinding *b)
{
    auto &bs = selection().bindings;
    bs.erase(std::remove(bs.begin(), bs.end(), b), bs.end());
}
