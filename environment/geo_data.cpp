// Geo-data records and the deletion of the graphics objects that carry them.
#include "environment/geo_data.h"

#include <kivctrl/gsobject.h>

#include <new>
#include <vector>

namespace kiv::env {

GeoData *geo_data(GSobject *g)
{
    return static_cast<GeoData *>(GSobject_getdata(g));
}

bool attach_geo_data(GSobject *g, _object *owner)
{
    if (!g || geo_data(g))
        return true;
    auto *d = new (std::nothrow) GeoData(owner);
    if (!d)
        return false;
    GSobject_setdata(g, d);
    return true;
}

void drop_geo_data(GSobject *g)
{
    delete geo_data(g);
    GSobject_setdata(g, nullptr);
}

void delete_node(GSobject *g)
{
    if (!g)
        return;
    drop_geo_data(g);
    if (GSobject_kind(g) == GS_KIND_FACE) {
        if (GSobject_getparent(g))
            GSobject_delete(g);
        else
            GSface_delete(g);
        return;
    }
    // Face groups die with their mesh, so their records must go first; children that belong
    // to other objects are only detached by the graphics system.
    std::vector<GSobject *> faces;
    for (void *l = GSFirstChild(g); l; l = GSNextChild(l)) {
        GSobject *c = GSGetChildObject(l);
        if (GSobject_kind(c) == GS_KIND_FACE)
            faces.push_back(c);
    }
    for (GSobject *f : faces)
        drop_geo_data(f);
    GSobject_delete(g);
}

}  // namespace kiv::env
