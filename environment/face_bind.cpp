// Faces: binding face objects to the face groups of their part's meshes, and finding the
// object a picked graphics object stands for.
#include <kivctrl/ve_bind.h>

#include <kivctrl/gsobject.h>
#include <kivctrl/kiv_db.h>
#include <kivctrl/qel_msg.h>

#include "environment/binding_internal.h"
#include "environment/geo_data.h"

#include <cstdio>
#include <new>

namespace {

// The face group numbered index (from 0) among g's face groups, or null.
GSobject *face_group_at(GSobject *g, int index)
{
    int i = 0;
    for (void *l = GSFirstChild(g); l; l = GSNextChild(l)) {
        GSobject *c = GSGetChildObject(l);
        if (GSobject_kind(c) != GS_KIND_FACE)
            continue;
        if (i++ == index)
            return c;
    }
    return nullptr;
}

// The number of face group f among its object's face groups.
int face_offset(GSobject *f)
{
    int i = 0;
    for (void *l = GSFirstChild(GSobject_getparent(f)); l; l = GSNextChild(l)) {
        GSobject *c = GSGetChildObject(l);
        if (c == f)
            return i;
        if (GSobject_kind(c) == GS_KIND_FACE)
            ++i;
    }
    return -1;
}

// The face's level i (1-based), created with the part's threshold when missing.
_geometry *face_level(_object *face, int i, float threshold)
{
    while (face->geolist.count() < i) {
        auto *g = new (std::nothrow) _geometry(threshold);
        if (!g)
            return nullptr;
        face->geolist.append(g);
    }
    return face->geolist.get(i);
}

}  // namespace

int VE_load_face(_object *face)
{
    if (!face || face->type != OBJ_FACE || !face->parent || face->parent->type != OBJ_OBJECT ||
        face->face_index < 0)
        return 0;
    _object *part = face->parent;
    for (int i = 1; i <= part->geolist.count(); ++i) {
        _geometry *pl = part->geolist.get(i);
        GSobject *fg = pl->handle ? face_group_at(pl->handle, face->face_index) : nullptr;
        if (!fg)
            continue;
        if (!face->gsobject || pl->handle == part->gsobject) {
            if (face->gsobject && face->gsobject != fg && !GSobject_getparent(face->gsobject))
                kiv::env::delete_node(face->gsobject);
            face->gsobject = fg;
        }
        if (_geometry *fl = face_level(face, i, pl->threshold))
            fl->handle = fg;
        GSface_active(fg, face->active);
    }
    for (int i = 1; i <= face->geolist.count(); ++i)
        GSobject_setname(face->geolist.get(i)->handle, face->name);
    if (face->gsobject && GSobject_getparent(face->gsobject)) {
        VE_set_up_all_geo_data(face);
        VE_activate_obj(face);
        kiv::env::push_material(face);
    }
    return 0;
}

_object *handle_to_obj(void *node, int *created, bool faces)
{
    if (created)
        *created = 0;
    auto *g = static_cast<GSobject *>(node);
    if (!g)
        return nullptr;
    if (kiv::env::GeoData *d = kiv::env::geo_data(g))
        return d->owner;
    kiv::env::GeoData *pd = kiv::env::geo_data(GSobject_getparent(g));
    if (!pd)
        return nullptr;
    _object *part = pd->owner;
    if (!faces || GSobject_kind(g) != GS_KIND_FACE || part->type != OBJ_OBJECT)
        return part;

    _object *face = db_create_face_obj(part);
    if (!face)
        return part;
    face->gsobject = g;
    face->face_index = face_offset(g);
    char name[32];
    std::snprintf(name, sizeof name, "Face %d", face->face_index);
    obj_set_name(face, name);
    face->active = 1;
    kiv::env::attach_geo_data(g, face);
    for (int i = 1; i <= part->geolist.count(); ++i) {
        _geometry *pl = part->geolist.get(i);
        GSobject *fg = pl->handle ? face_group_at(pl->handle, face->face_index) : nullptr;
        _geometry *fl = face_level(face, i, pl->threshold);
        if (fl)
            fl->handle = fg;
        kiv::env::attach_geo_data(fg, face);
    }
    if (created)
        *created = 1;
    return face;
}
