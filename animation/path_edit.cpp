// The path editor: one object at a time, moved from node to node, recorded into nodes, with
// nodes inserted, appended and deleted.
#include <kivctrl/path.h>

#include <kivctrl/anim.h>
#include <kivctrl/kiv_db.h>
#include <kivctrl/qel_msg.h>
#include <kivctrl/task.h>

#include "animation/path_internal.h"

#include <cstdio>

namespace kiv::anim {

EditorState &editor()
{
    static EditorState state;
    return state;
}

}  // namespace kiv::anim

namespace {

using kiv::anim::editor;

void remove_dynlines(_object *o)
{
    if (!o)
        return;
    task_delete(o, "_dynline");
    task_delete(o, "_dynline");
}

void redraw(_path *p)
{
    p->display_path(PATH_HIDE);
    p->display_path(PATH_SHOW);
}

void apply_node(_path *p, int i, _object *o)
{
    PathNode *n = p->get_node(i);
    if (!n)
        return;
    path_apply_state(p, *n, o);
    if (p->get_nodecount() > 1)
        redraw(p);
}

// Sets the status bit of every attribute in which node i differs from its neighbour (node 1
// for node 0, else node 0).
void mark_differences(_path *p, int i)
{
    const PathNode *n = p->get_node(i);
    const PathNode *other = p->get_node(i == 0 ? 1 : 0);
    if (!n || !other)
        return;
    for (int a = 0; a < PATH_ATTR_COUNT; ++a) {
        if (kiv::anim::attribute_differs(*n, *other, a))
            p->set_status(a, 1);
    }
}

void record(_path *p, int i, _object *o)
{
    PathNode *n = p->get_node(i);
    if (!n)
        return;
    pathnode_capture_all(*n, o);
    p->valid = 0;
}

void delete_path(_path *p, _object *o)
{
    if (!o->pathlist.find(p))
        return;
    anim_remove_path_everywhere(p);
    if (o->pathptr == p)
        o->pathptr = nullptr;
    o->pathlist.remove_all(p);
    path_associate(nullptr, o);
    path_delete(p);
    editor().editing = nullptr;
    editor().current = -1;
    msg_send(MSG_PATH_EDIT_DELETED, o, 0);
    msg_send(MSG_OBJ_PATHS_CHANGED, o, 0);
}

void add_dynline(_object *o, const QEL_VECT3 &v)
{
    char text[128];
    std::snprintf(text, sizeof text, "%f, %f, %f", v.x, v.y, v.z);
    task_add(o, "_dynline", text);
}

// Rubber-band lines from the current node to its neighbours, as the display state asks.
void show_rubber_bands(_path *p, _object *o)
{
    const int cur = editor().current;
    const int count = p->get_nodecount();
    const PathNode *here = p->get_node(cur);
    if (!here)
        return;
    const PathNode *next = p->get_node(cur + 1);
    const PathNode *prev = p->get_node(cur - 1);
    const int s = editor().state;
    if (s < 0 || s > 3)
        return;
    const bool show_here = s == 2 || s == 3;
    const bool first = cur == 0;
    const bool last = cur == count - 1 && count >= 2;
    if (show_here)
        add_dynline(o, here->position);
    if (first) {
        if (next && s != 2)
            add_dynline(o, next->position);
    } else if (last) {
        if (prev && s != 3)
            add_dynline(o, prev->position);
    } else {
        if (prev && s != 3)
            add_dynline(o, prev->position);
        if (next && s != 2)
            add_dynline(o, next->position);
    }
}

}  // namespace

void path_set_state(int s)
{
    editor().state = s;
}

int path_get_state()
{
    return editor().state;
}

_object *path_get_editing_object()
{
    return editor().editing;
}

int path_edit(_path *p, _object *o, PATH_COMMAND c)
{
    kiv::anim::EditorState &e = editor();
    int result = 0;
    remove_dynlines(e.editing);
    if (o != e.editing)
        remove_dynlines(o);
    if (e.editing && e.editing != o) {
        e.editing = nullptr;
        result = -1;
        c = PATH_DONE;
    }
    if (!o && c != PATH_DONE)
        return result;
    switch (c) {
    case PATH_FIRST:
    case PATH_LAST:
        if (p && p->get_nodecount() > 0) {
            e.current = c == PATH_FIRST ? 0 : p->get_nodecount() - 1;
            apply_node(p, e.current, o);
        }
        break;
    case PATH_RECORD:
        if (p && p->get_node(e.current)) {
            record(p, e.current, o);
            if (p->get_nodecount() > 1)
                redraw(p);
            mark_differences(p, e.current);
            e.editing = o;
        }
        break;
    case PATH_NEXT:
    case PATH_PREV: {
        const int to = e.current + (c == PATH_NEXT ? 1 : -1);
        if (p && p->get_node(e.current) && p->get_node(to)) {
            e.current = to;
            apply_node(p, to, o);
        }
        break;
    }
    case PATH_DONE:
        e.editing = nullptr;
        msg_send(MSG_PATH_EDIT_ENDED, p, 0);
        break;
    case PATH_SHOW:
    case PATH_HIDE:
        if (p)
            p->display_path(c);
        break;
    case PATH_DELETE_NODE:
        if (p && p->deletePathNode(e.current)) {
            e.current = e.current > 0 ? e.current - 1 : 0;
            if (p->get_nodecount() == 0) {
                delete_path(p, o);
                return result;
            }
            apply_node(p, e.current, o);
            anim_update_path(o, p);
            e.editing = o;
        }
        break;
    case PATH_INSERT_NODE:
    case PATH_INSERT_AFTER: {
        if (!p)
            break;
        int at = e.current < 0 ? 0 : e.current;
        if (c == PATH_INSERT_AFTER && e.current >= 0)
            ++at;
        at = p->insertPathNode(at, new PathNode);
        e.current = at;
        record(p, at, o);
        redraw(p);
        if (p->get_nodecount() == 1) {
            path_associate(p, o);
            return 1;
        }
        mark_differences(p, at);
        anim_update_path(o, p);
        break;
    }
    case PATH_APPEND_NODE:
        if (!p) {
            p = path_create(nullptr, nullptr, nullptr, 0);
            if (!p)
                break;
            if (o->type != OBJ_ROOT) {
                for (int bit = PATH_ATTR_POSITION; bit <= PATH_ATTR_TRANSPARENCY; ++bit)
                    p->set_status(bit, 1);
            }
            path_associate(p, o);
            e.editing = o;
            result = 1;
        }
        e.current = p->appendPathNode(new PathNode);
        record(p, e.current, o);
        mark_differences(p, e.current);
        anim_update_path(o, p);
        break;
    case PATH_DELETE:
        if (p)
            delete_path(p, o);
        break;
    }
    if (p && o && e.current != -1 && c != PATH_DONE)
        show_rubber_bands(p, o);
    return result;
}
