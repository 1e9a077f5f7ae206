// Binding of scene objects to graphics objects.
//
// No graphics system is bound yet: objects get no graphics node, so creating, detaching and
// attaching one has nothing to do and no graphics node can lead back to an object.
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

void VE_attach_geo(_object *) {}

_object *handle_to_obj(void *, int *created, bool)
{
    if (created)
        *created = 0;
    return nullptr;
}
