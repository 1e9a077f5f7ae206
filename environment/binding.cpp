// Binding of scene objects to graphics objects.
//
// No graphics system is bound yet: objects get no graphics node, so creating, detaching,
// attaching and loading have nothing to do and no graphics node can lead back to an object.
// The geometry levels themselves are kept already.
#include <kivctrl/ve_bind.h>

#include <kivctrl/kiv_db.h>

#include "database/db_string.h"

_part_info::~_part_info()
{
    kiv::db::free_string(name);
    kiv::db::free_string(type);
    kiv::db::free_string(params);
}

void _part_info::set_name(const char *s)
{
    kiv::db::replace_string(name, s);
}

void _part_info::set_type(const char *s)
{
    kiv::db::replace_string(type, s);
}

void _part_info::set_params(const char *s)
{
    kiv::db::replace_string(params, s);
}

int VE_create_geo(_object *)
{
    return 0;
}

int VE_delete_geo(_object *o)
{
    if (o && o->active)
        obj_set_active(o, 0);
    return 0;
}

void VE_detach_geo(_object *) {}

int VE_load_obj(_object *)
{
    return 0;
}

void VE_release_geometry(_object *) {}

int obj_set_file(_object *o, const char *name, _geometry *&out, float threshold)
{
    if (!o)
        return 101;
    IListIter<_geometry> it(o->geolist);
    bool before_greater = false;
    while (it.next()) {
        const float t = it.getdata()->threshold;
        if (t == threshold) {
            threshold += 8.0f;
        } else if (t > threshold) {
            before_greater = true;
            break;
        }
    }
    auto *g = new _geometry(threshold);
    g->part.set_name(name);
    if (before_greater)
        it.insert_before(g);
    else
        o->geolist.append(g);
    out = g;
    return 0;
}

int obj_set_file(_object *o, const char *name, float threshold)
{
    _geometry *ignored = nullptr;
    return obj_set_file(o, name, ignored, threshold);
}

void VE_attach_geo(_object *) {}

_object *handle_to_obj(void *, int *created, bool)
{
    if (created)
        *created = 0;
    return nullptr;
}
