// Plain field access on objects, in the two forms: value (unchecked) and error code.
#include <kivctrl/kiv_db.h>

#include <kivctrl/qel_msg.h>

#include "database/db_string.h"
#include "database/observers.h"

namespace {


int set_owned_text(_object *o, char *_object::*field, const char *text)
{
    if (!o)
        return 101;
    if (!kiv::db::replace_string(o->*field, text)) {
        esd_send("Cannot malloc object name");
        return 103;
    }
    return 0;
}

}  // namespace

#define KIV_CHECKED_GET(T, fn, expr)                                                           \
    int fn(_object *o, T &out)                                                                 \
    {                                                                                          \
        if (!o)                                                                                \
            return 101;                                                                        \
        out = (expr);                                                                          \
        return 0;                                                                              \
    }

OBJECT_TYPE obj_get_type(_object *o) { return o->type; }
KIV_CHECKED_GET(OBJECT_TYPE, obj_get_type, o->type)
int obj_set_type(_object *o, OBJECT_TYPE t)
{
    if (!o)
        return 101;
    if (t < OBJ_ROOT || t > OBJ_FACE)
        return 105;
    o->type = t;
    return 0;
}

const char *obj_get_name(_object *o) { return o->name; }
KIV_CHECKED_GET(const char *, obj_get_name, o->name)
namespace {

}  // namespace

int obj_set_name(_object *o, const char *name)
{
    const int rc = set_owned_text(o, &_object::name, name);
    if (rc != 0)
        return rc;
    kiv::db::notify_renamed(o);
    msg_send(MSG_OBJ_RENAMED, o, 0);
    return 0;
}

int obj_get_id(_object *o) { return o->id; }
KIV_CHECKED_GET(int, obj_get_id, o->id)
int obj_set_id(_object *o, int id)
{
    if (!o)
        return 101;
    o->id = id;
    return 0;
}

const char *obj_get_guid(_object *o) { return o->guid; }
KIV_CHECKED_GET(const char *, obj_get_guid, o->guid)
int obj_set_guid(_object *o, const char *guid)
{
    return set_owned_text(o, &_object::guid, guid);
}

int obj_get_unique(_object *o) { return o->unique; }
KIV_CHECKED_GET(int, obj_get_unique, o->unique)
int obj_set_unique(_object *o, int u)
{
    if (!o)
        return 101;
    o->unique = u;
    return 0;
}

_object *obj_get_parent(_object *o) { return o->parent; }
KIV_CHECKED_GET(_object *, obj_get_parent, o->parent)
OBJLIST *obj_get_children(_object *o) { return &o->children; }
KIV_CHECKED_GET(OBJLIST *, obj_get_children, &o->children)
IList<_task> *obj_get_tasklist(_object *o) { return &o->tasklist; }
KIV_CHECKED_GET(IList<_task> *, obj_get_tasklist, &o->tasklist)
IList<_path> *obj_get_pathlist(_object *o) { return &o->pathlist; }
KIV_CHECKED_GET(IList<_path> *, obj_get_pathlist, &o->pathlist)
IList<_geometry> *obj_get_geolist(_object *o) { return &o->geolist; }
KIV_CHECKED_GET(IList<_geometry> *, obj_get_geolist, &o->geolist)
ASSOC *obj_get_vars(_object *o) { return &o->vars; }
KIV_CHECKED_GET(ASSOC *, obj_get_vars, &o->vars)
Props *obj_get_props(_object *o) { return o->props; }
KIV_CHECKED_GET(Props *, obj_get_props, o->props)

_path *obj_get_pathptr(_object *o) { return o->pathptr; }
KIV_CHECKED_GET(_path *, obj_get_pathptr, o->pathptr)
int obj_set_pathptr(_object *o, _path *p)
{
    if (!o)
        return 101;
    o->pathptr = p;
    return 0;
}

IList<_preset> *obj_get_presetlist(_object *o) { return &o->presetlist; }
int obj_get_presetlist(_object *o, IList<_preset> *&out)
{
    if (!o)
        return 106;
    out = &o->presetlist;
    return 0;
}

void *obj_get_treenode(_object *o) { return o->treenode; }
KIV_CHECKED_GET(void *, obj_get_treenode, o->treenode)
int obj_set_treenode(_object *o, void *node)
{
    if (!o)
        return 101;
    o->treenode = node;
    return 0;
}

int obj_get_usage(_object *o) { return o->usage; }
KIV_CHECKED_GET(int, obj_get_usage, o->usage)
int obj_set_usage(_object *o, int usage)
{
    if (!o)
        return 101;
    o->usage = usage;
    return 0;
}

int obj_get_expand(_object *o) { return o->expand; }
KIV_CHECKED_GET(int, obj_get_expand, o->expand)
int obj_set_expand(_object *o, int expand)
{
    if (!o)
        return 101;
    o->expand = expand;
    msg_send(MSG_OBJ_EXPAND, o, expand);
    return 0;
}

int obj_suspend_constraints(_object *o)
{
    if (!o)
        return 101;
    ++o->constraint_suspend;
    return 0;
}

int obj_resume_constraints(_object *o)
{
    if (!o)
        return 101;
    --o->constraint_suspend;
    return 0;
}

CONSTRAINT_MODE obj_get_constraint_mode(_object *o) { return o->constraint_mode; }
KIV_CHECKED_GET(CONSTRAINT_MODE, obj_get_constraint_mode, o->constraint_mode)
int obj_set_constraint_mode(_object *o, CONSTRAINT_MODE m)
{
    if (!o)
        return 101;
    o->constraint_mode = m;
    return 0;
}

int obj_set_constrain(_object *o, int dof, unsigned flags, float min, float max)
{
    if (!o)
        return 101;
    if (dof < 0 || dof > 5)
        return 104;
    CONSTRAINT &c = o->constraints[dof];
    c.flags = flags;
    if (flags & CONSTRAINT::LOWER)
        c.min = min;
    if (flags & CONSTRAINT::UPPER)
        c.max = max;
    return 0;
}

unsigned obj_get_constrain(_object *o, int dof)
{
    if (dof < 0 || dof > 5)
        dof = 0;
    return o->constraints[dof].flags;
}

int obj_get_constrain(_object *o, int dof, unsigned &flags, float &min, float &max)
{
    if (!o)
        return 101;
    if (dof < 0 || dof > 5)
        return 104;
    const CONSTRAINT &c = o->constraints[dof];
    flags = c.flags;
    if (c.flags & CONSTRAINT::LOWER)
        min = c.min;
    if (c.flags & CONSTRAINT::UPPER)
        max = c.max;
    return 0;
}

#undef KIV_CHECKED_GET
