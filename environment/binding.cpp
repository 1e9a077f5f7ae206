// Binding of scene objects to graphics objects: creation, release and re-parenting of the
// graphics object, the back-references, and the geometry levels of parts.
#include <kivctrl/ve_bind.h>

#include <kivctrl/gs_universe.h>
#include <kivctrl/gsobject.h>
#include <kivctrl/kiv_db.h>
#include <kivctrl/placement.h>
#include <kivctrl/qel_msg.h>

#include "environment/binding_internal.h"
#include "environment/geo_data.h"
#include "environment/unsuppressor.h"

#include <algorithm>

namespace kiv::env {

int graphics_type(_object *o)
{
    switch (o->type) {
    case OBJ_ROOT:
        return GS_OBJTYPE_WORLD;
    case OBJ_GROUP:
        return GS_OBJTYPE_ASSEMBLY;
    case OBJ_LIGHT:
        switch (light_get_type(o)) {
        case LIGHT_POINT:
            return GS_OBJTYPE_POINTLIGHT;
        case LIGHT_SPOT:
            return GS_OBJTYPE_SPOTLIGHT;
        default:
            return GS_OBJTYPE_DIRECTEDLIGHT;
        }
    case OBJ_VIEWPOINT:
        return GS_OBJTYPE_VIEWPOINT;
    case OBJ_FACE:
        return GS_OBJTYPE_ANNOTATION;
    default:
        return GS_OBJTYPE_GEOMETRY;
    }
}

GSobject *new_empty_node()
{
    GSobject *g = GSobject_begin();
    GSobject_close(g, 0.0f);
    GSobject_add(g);
    return g;
}

std::vector<GSobject *> geometry_nodes(_object *o)
{
    std::vector<GSobject *> nodes;
    auto add = [&nodes](GSobject *g) {
        if (g && std::find(nodes.begin(), nodes.end(), g) == nodes.end())
            nodes.push_back(g);
    };
    add(o->gsobject);
    for (int i = 1; i <= o->geolist.count(); ++i)
        add(o->geolist.get(i)->handle);
    add(o->lod_current);
    return nodes;
}

_geometry *level_of(_object *o, GSobject *g)
{
    for (int i = 1; g && i <= o->geolist.count(); ++i) {
        if (o->geolist.get(i)->handle == g)
            return o->geolist.get(i);
    }
    return nullptr;
}

}  // namespace kiv::env

namespace {

bool hangs_below(const _object *parent)
{
    return parent && parent->type >= OBJ_GROUP && parent->type <= OBJ_VIEWPOINT &&
           parent->gsobject;
}

}  // namespace

int VE_create_geo(_object *o)
{
    if (!o)
        return 101;
    kiv::env::start_unsuppressor();
    if (o->type < OBJ_ROOT || o->type > OBJ_FACE) {
        esd_send("Unrecognized type in VE_create_geo");
        return 105;
    }
    // A face's own node is only a stand-in until it is bound to a face group of its part, so
    // it stays out of the part's mesh, where it would count as a face group.
    GSobject *g = o->type == OBJ_FACE ? GSface_begin() : kiv::env::new_empty_node();
    if (!g || !kiv::env::attach_geo_data(g, o)) {
        if (g)
            kiv::env::delete_node(g);
        esd_send("Can not create object in virtual environment");
        return 100;
    }
    GSobject_setvisibility(g, false);
    o->gsobject = g;
    if (o->type != OBJ_FACE && hangs_below(o->parent))
        GSobject_attach(o->parent->gsobject, g);
    GSobject_setobjecttype(g, kiv::env::graphics_type(o));
    if (o->type == OBJ_VIEWPOINT)
        o->gslight = GSuniverse_getviewpoint();
    VE_activate_obj(o);
    QEL_VECT3 origin;
    QEL_QUAT identity;
    VE_set_pos(o, origin.init());
    VE_set_orient(o, identity.init());
    return 0;
}

int VE_delete_geo(_object *o)
{
    if (!o)
        return 0;
    if (o->active)
        obj_set_active(o, 0);
    if (o->type == OBJ_LIGHT && o->gslight) {
        GSobject_setaux(o->gsobject, nullptr);
        GSlight_remove(static_cast<GSlight *>(o->gslight));
        GSlight_delete(static_cast<GSlight *>(o->gslight));
    }
    if (o->type == OBJ_LIGHT || o->type == OBJ_VIEWPOINT) {
        if (_object *root = DBGetRoot(o)) {
            root->lights.remove(o);
            if (root->viewpoint == o)
                root->viewpoint = nullptr;
        }
        // The universe's viewpoint is shared, never ours to delete.
        o->gslight = nullptr;
    }
    if (o->type == OBJ_FACE) {
        // The face groups belong to the part's meshes: only the references go.
        for (GSobject *g : kiv::env::geometry_nodes(o))
            kiv::env::delete_node(g);
        for (int i = 1; i <= o->geolist.count(); ++i)
            o->geolist.get(i)->handle = nullptr;
    } else {
        for (GSobject *g : kiv::env::geometry_nodes(o)) {
            if (_geometry *level = kiv::env::level_of(o, g))
                level->handle = nullptr;
            kiv::env::delete_node(g);
        }
    }
    o->gsobject = nullptr;
    o->lod_current = nullptr;
    return 0;
}

void VE_detach_geo(_object *o)
{
    if (!o || !o->gsobject || o->type == OBJ_FACE)
        return;
    if (GSobject *p = GSobject_getparent(o->gsobject))
        GSobject_detach(p, o->gsobject);
}

void VE_attach_geo(_object *o)
{
    if (!o || !o->gsobject || o->type == OBJ_FACE || !hangs_below(o->parent))
        return;
    GSobject_attach(o->parent->gsobject, o->gsobject);
}

int VE_set_up_all_geo_data(_object *o)
{
    if (!o)
        return 101;
    for (int i = 1; i <= o->geolist.count(); ++i) {
        if (!kiv::env::attach_geo_data(o->geolist.get(i)->handle, o))
            return 103;
    }
    if (!kiv::env::attach_geo_data(o->gsobject, o) ||
        !kiv::env::attach_geo_data(o->lod_current, o))
        return 103;
    return 0;
}
