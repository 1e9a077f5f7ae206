// Geometry levels: the part file records of an object's levels of detail, kept in ascending
// threshold order.
#include <kivctrl/obj_geometry.h>

#include <kivctrl/kiv_db.h>
#include <kivctrl/qel_msg.h>

#include "database/db_string.h"

#include <new>

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
    auto *g = new (std::nothrow) _geometry(threshold);
    if (!g) {
        esd_send("Can not malloc new part object");
        return 103;
    }
    g->part.set_name(name);
    if (name && !g->part.name) {
        delete g;
        esd_send("Can not malloc part name");
        return 103;
    }
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
