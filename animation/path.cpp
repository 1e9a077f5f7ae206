// Paths: their records, creation and deletion, association with objects and lookups.
#include <kivctrl/path.h>

#include <kivctrl/anim.h>
#include <kivctrl/kiv_db.h>
#include <kivctrl/qel_msg.h>
#include <kivctrl/qel_process.h>

#include "animation/path_index.h"
#include "animation/path_internal.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

int g_path_number = 0;

void copy_name(char (&dst)[256], const char *src)
{
    std::snprintf(dst, sizeof dst, "%s", src ? src : "");
}

// "path_<k>" with k not used by any live path of the current root.
void give_fresh_name(_path *p)
{
    char text[256];
    do {
        std::snprintf(text, sizeof text, "path_%d", ++g_path_number);
    } while (name_to_path(text));
    copy_name(p->name, text);
}

void free_extras(_path *p)
{
    delete static_cast<PathWizInfo *>(p->vars.remove("_PATH_WIZ"));
    delete static_cast<InstructionInfo *>(p->vars.remove("_INSTRUCTION"));
}

_path *new_listed_path(const char *name)
{
    _object *root = db_get_root();
    if (!root)
        return nullptr;
    auto *p = new _path;
    if (name)
        copy_name(p->name, name);
    else
        give_fresh_name(p);
    p->id = g_path_number;
    root->root_pathlist.append(p);
    return p;
}

void draw_if_selected(_path *p)
{
    if (kiv::anim::last_selected_object())
        p->display_path(PATH_SHOW);
}

}  // namespace

_path::_path()
{
    guid = qel_getguid();
}

_path::~_path()
{
    while (PathNode *n = nodes.get(1)) {
        nodes.remove(1);
        delete n;
    }
    free_extras(this);
    std::free(guid);
}

int _path::appendPathNode(PathNode *n)
{
    if (!n)
        return -1;
    n->owner = this;
    valid = 0;
    return nodes.append(n) - 1;
}

int _path::insertPathNode(int i, PathNode *n)
{
    if (!n)
        return -1;
    if (i < 0)
        i = 0;
    if (i >= nodes.count())
        return appendPathNode(n);
    n->owner = this;
    valid = 0;
    ILIST_ITER it(nodes);
    for (int k = 0; k <= i; ++k)
        it.next();
    it.insert_before(n);
    return i;
}

bool _path::deletePathNode(int i)
{
    PathNode *n = get_node(i);
    if (!n)
        return false;
    nodes.remove(i + 1);
    delete n;
    valid = 0;
    return true;
}

PathNode *_path::get_node(int i) const
{
    return i < 0 ? nullptr : nodes.get(i + 1);
}

int _path::get_status(int i) const
{
    if (i < 0 || i > 63)
        return 0;
    return (status[i / 32] >> (i % 32)) & 1u;
}

void _path::set_status(int i, int on)
{
    if (i < 0 || i > 63)
        return;
    const std::uint32_t bit = 1u << (i % 32);
    if (on)
        status[i / 32] |= bit;
    else
        status[i / 32] &= ~bit;
}

int _path::get_statusCount() const
{
    if (status[1])
        return 64;
    return status[0] ? 32 : 0;
}

int _path::get_modified(int i) const
{
    const PathNode *first = get_node(0);
    if (!first || nodes.count() < 2)
        return 0;
    for (int k = 2; k <= nodes.count(); ++k) {
        if (kiv::anim::attribute_differs(*first, *nodes.get(k), i))
            return 1;
    }
    return 0;
}

void _path::set_name(const char *text)
{
    copy_name(name, text);
    msg_send(MSG_PATH_RENAMED, this, 0);
}

void _path::set_associated_object(_object *o)
{
    associated_object = o;
    if (!o || o != kiv::anim::last_selected_object())
        display_path(PATH_HIDE);
    msg_send(o ? MSG_PATH_ASSOCIATED : MSG_PATH_DISSOCIATED, this, 0);
}

int _path::set_visibility(int v)
{
    visibility = v;
    return 0;
}

int _path::get_currentnode() const
{
    return kiv::anim::editor().current;
}

double _path::get_span() const
{
    const int n = nodes.count();
    return n > 1 ? (n - 1) * steps : 0.0;
}

_path *path_create(const char *name, const QEL_VECT3 positions[], const QEL_QUAT orientations[],
                   int n, double)
{
    _path *p = new_listed_path(name);
    if (!p)
        return nullptr;
    for (int i = 0; i < n; ++i) {
        auto *node = new PathNode;
        if (positions)
            node->position = positions[i];
        if (orientations)
            node->orientation = orientations[i];
        p->appendPathNode(node);
    }
    draw_if_selected(p);
    return p;
}

_path *path_create(const char *name, _path *from, double)
{
    _path *p = new_listed_path(name);
    if (!p)
        return nullptr;
    if (from) {
        for (int i = 1; i <= from->nodes.count(); ++i)
            p->appendPathNode(new PathNode(*from->nodes.get(i)));
        p->visibility = from->visibility;
        p->direction = from->direction;
        p->path_type = from->path_type;
        p->steps = from->steps;
        p->status[0] = from->status[0];
        p->status[1] = from->status[1];
    }
    draw_if_selected(p);
    return p;
}

void path_delete(_path *p)
{
    if (!p)
        return;
    anim_remove_path_everywhere(p);
    _object *o = p->associated_object;
    if (o) {
        kiv::anim::EditorState &e = kiv::anim::editor();
        if (e.editing == o && o->pathptr == p) {
            e.editing = nullptr;
            e.current = -1;
        }
        o->pathlist.remove_all(p);
        if (o->pathptr == p)
            o->pathptr = nullptr;
        if (_object *root = DBGetRoot(o))
            root->root_pathlist.remove_all(p);
    }
    if (_object *root = db_get_root())
        root->root_pathlist.remove_all(p);
    p->display_path(PATH_HIDE);
    msg_send(MSG_PATH_DESTROYING, p, 0);
    delete p;
    msg_send(MSG_OBJ_PATHS_CHANGED, o, 0);
}

int path_associate(_path *p, _object *o)
{
    if (!o)
        return 0;
    if (p) {
        // A path animates one object: taken from another, it leaves that object's list, which
        // would otherwise keep it after the new owner deletes it.
        _object *prev = p->associated_object;
        if (prev && prev != o) {
            prev->pathlist.remove_all(p);
            if (prev->pathptr == p)
                prev->pathptr = prev->pathlist.get(1);
        }
        o->pathptr = p;
        if (!o->pathlist.find(p)) {
            o->pathlist.append(p);
            p->set_associated_object(o);
        }
    } else {
        if (_path *gone = o->pathptr) {
            o->pathlist.remove(gone);
            // A path no longer listed must not keep pointing at the object: it may outlive it.
            if (gone->associated_object == o && !o->pathlist.find(gone))
                gone->set_associated_object(nullptr);
        }
        o->pathptr = o->pathlist.get(1);
    }
    return 1;
}

void path_get_all_ignored(_path *p, _object *o)
{
    if (!p || !o)
        return;
    for (int k = 1; k <= p->nodes.count(); ++k) {
        PathNode *n = p->nodes.get(k);
        for (int i = 0; i < PATH_ATTR_COUNT; ++i) {
            if (!p->get_status(i))
                pathnode_capture(*n, i, o);
        }
    }
    p->valid = 0;
}

const char *path_get_name(_path *p)
{
    return p ? p->name : nullptr;
}

_path *name_to_path(const char *name)
{
    _object *root = db_get_root();
    if (!root || !name)
        return nullptr;
    for (int i = 1; i <= root->root_pathlist.count(); ++i) {
        _path *p = root->root_pathlist.get(i);
        if (std::strcmp(p->name, name) == 0)
            return p;
    }
    return nullptr;
}

_path *get_path(const char *name)
{
    return name_to_path(name);
}

_path *id_to_path(int id)
{
    _object *root = db_get_root();
    if (!root)
        return nullptr;
    for (int i = 1; i <= root->root_pathlist.count(); ++i) {
        _path *p = root->root_pathlist.get(i);
        if (p->id == id)
            return p;
    }
    return nullptr;
}

_path *id_or_name_to_path(const char *text)
{
    return kiv::anim::find_path_id_or_name(text, id_to_path, name_to_path);
}

_path *find_path_by_guid(const char *guid, _object *start)
{
    if (!guid || !start)
        return nullptr;
    std::vector<_object *> stack{start};
    while (!stack.empty()) {
        _object *o = stack.back();
        stack.pop_back();
        for (int i = 1; i <= o->pathlist.count(); ++i) {
            _path *p = o->pathlist.get(i);
            if (p->guid && std::strcmp(p->guid, guid) == 0)
                return p;
        }
        // Children pushed last to first so the first child is searched next.
        std::vector<_object *> kids;
        OBJLIST_ITER it(o->children);
        while (it.next())
            kids.push_back(it.getdata());
        stack.insert(stack.end(), kids.rbegin(), kids.rend());
    }
    return nullptr;
}

void path_to_world(_path *p, const QEL_FRAME &parent)
{
    if (!p)
        return;
    for (int i = 1; i <= p->nodes.count(); ++i) {
        PathNode *n = p->nodes.get(i);
        n->position = parent.xform(n->position);
        n->orientation = parent.xform(n->orientation);
    }
    p->valid = 0;
}

void path_from_world(_path *p, const QEL_FRAME &parent)
{
    if (!p)
        return;
    for (int i = 1; i <= p->nodes.count(); ++i) {
        PathNode *n = p->nodes.get(i);
        n->position = parent.invxform(n->position);
        n->orientation = parent.invxform(n->orientation);
    }
    p->valid = 0;
}

void path_forget_object(_object *o)
{
    if (!o)
        return;
    kiv::anim::EditorState &e = kiv::anim::editor();
    if (e.editing == o) {
        e.editing = nullptr;
        e.current = -1;
    }
    // The object's own paths go with it; a path listed here but belonging to another object
    // only leaves the list.
    while (_path *p = o->pathlist.get(1)) {
        if (p->associated_object == o || !p->associated_object)
            path_delete(p);
        o->pathlist.remove_all(p);
    }
    o->pathptr = nullptr;
    anim_remove_object(o);
}
