// Giving objects a primitive shape, and turning objects into groups.
#include <kivctrl/kiv_db.h>

#include <kivctrl/geom_params.h>
#include <kivctrl/obj_geometry.h>

#include "database/observers.h"

namespace {

// Releases the current geometry, stores the shape's parameters (freeing earlier ones), makes
// sure there is a level to build into, and loads.
int give_shape(_object *o, const _geom_params &shape)
{
    if (!o)
        return 101;
    kiv::db::notify_geometry_changing(o);
    delete static_cast<_geom_params *>(o->vars.add("_GEOM_PARAMS", new _geom_params(shape)));
    if (o->geolist.isempty())
        obj_set_file(o, nullptr, 0.0f);
    kiv::db::notify_geometry_changed(o);
    return 0;
}

_geom_params shape_of_kind(int kind)
{
    _geom_params shape;
    shape.kind = kind;
    return shape;
}

}  // namespace

int obj_create_box(_object *o, float x, float y, float z)
{
    _geom_params s = shape_of_kind(1);
    s.p[0] = x;
    s.p[1] = y;
    s.p[2] = z;
    return give_shape(o, s);
}

int obj_create_cone(_object *o, float a, float b, int n)
{
    _geom_params s = shape_of_kind(2);
    s.p[4] = a;
    s.p[3] = b;
    s.segments = n;
    return give_shape(o, s);
}

int obj_create_cylinder(_object *o, float a, float b, int n)
{
    _geom_params s = shape_of_kind(3);
    s.p[4] = a;
    s.p[3] = b;
    s.segments = n;
    return give_shape(o, s);
}

int obj_create_sphere(_object *o, float a, int n)
{
    _geom_params s = shape_of_kind(4);
    s.p[3] = a;
    s.segments = n;
    return give_shape(o, s);
}

int obj_create_helix(_object *o, float a, float b, float c, float d, int n, int m)
{
    _geom_params s = shape_of_kind(5);
    s.p[6] = a;
    s.p[7] = b;
    s.p[4] = c;
    s.p[8] = d;
    s.segments = n;
    s.segments2 = m;
    return give_shape(o, s);
}

int obj_create_group(_object *o)
{
    if (!o)
        return 101;
    o->type = OBJ_GROUP;
    return kiv::db::notify_geometry_changed(o);
}
