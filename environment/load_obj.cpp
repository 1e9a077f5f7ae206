// Loading the geometry of an object into its levels of detail, and releasing it again.
#include <kivctrl/ve_bind.h>

#include <kivctrl/geom_params.h>
#include <kivctrl/gsobject.h>
#include <kivctrl/kiv_db.h>
#include <kivctrl/placement.h>
#include <kivctrl/qel_msg.h>
#include <kivctrl/selection.h>
#include <kivctrl/ve_env.h>

#include "environment/binding_internal.h"
#include "environment/geo_data.h"

#include <algorithm>
#include <vector>

namespace {

GSobject *build_primitive(const _geom_params &s)
{
    const float *p = s.p;
    switch (s.kind) {
    case 1:
        return GSobject_newblock(p[0], p[1], p[2], 0, 0);
    case 2:
        return GSobject_newcone(p[4], p[3], s.segments, 0, 0);
    case 3:
        return GSobject_newcylinder(p[4], p[3], s.segments, 0, 0, 0);
    case 4:
        return GSobject_newsphere(p[3], s.segments, s.segments2, 0, 0, 0);
    case 5:
        return GSobject_newhelix(p[4], p[6], s.segments, p[7], s.segments2, p[8]);
    case 6:
        return GSobject_newplane(p[5], p[4], 0, 0, 0);
    default:
        return nullptr;
    }
}

std::vector<_object *> face_children(_object *o)
{
    std::vector<_object *> faces;
    OBJLIST_ITER it(o->children);
    while (it.next(1 << OBJ_FACE))
        faces.push_back(it.getdata());
    return faces;
}

// Fills every level of a part; 100 when one yields nothing.
int load_levels(_object *o)
{
    int result = 0;
    const auto *shape = static_cast<const _geom_params *>(o->vars.getvalue("_GEOM_PARAMS"));
    // Levels may be added while loading (the decimated copy): count afresh each time.
    for (int i = 1; i <= o->geolist.count(); ++i) {
        _geometry *level = o->geolist.get(i);
        GSobject *g = nullptr;
        if (shape) {
            g = build_primitive(*shape);
        } else if (level->handle) {
            g = level->handle;
        } else {
            bool ok = false;
            g = kiv::env::load_level_file(o, level, ok);
            if (level->threshold == 0.0f)
                level->threshold = 8.0f;
            if (g) {
                if (GSobject *copy = kiv::env::decimated_copy(o, level)) {
                    obj_set_usage(o, 1);
                    _geometry *extra = nullptr;
                    if (obj_set_file(o, nullptr, extra, 16.0f) == 0)
                        extra->handle = copy;
                    else
                        GSobject_delete(copy);
                }
            }
        }
        if (g && level->handle && level->handle != g && level->handle != o->gsobject)
            kiv::env::delete_node(level->handle);
        level->handle = g;
        if (!g) {
            result = 100;
            continue;
        }
        GSobject_setvisibility(g, false);
    }
    return result;
}

// Shows the level chosen by lod_index in place of the current graphics object.
void show_level(_object *o)
{
    const int n = o->geolist.count();
    if (n == 0)
        return;
    int index = n;
    for (int i = 1; i <= n; ++i) {
        if (o->geolist.get(i)->threshold > 0.0f) {
            index = i;
            break;
        }
    }
    o->lod_index = index;
    GSobject *shown = o->geolist.get(index)->handle;
    if (shown && shown != o->gsobject) {
        const bool keep_pivot = o->vars.find("NO_PIVOT") == 0;
        o->vars.remove("NO_PIVOT");
        GSobject *old = o->gsobject;
        kiv::env::replace_node(o, shown, keep_pivot);
        if (old && !kiv::env::level_of(o, old) && old != o->lod_current)
            kiv::env::delete_node(old);
    }
}

void finish_part(_object *o)
{
    float r = 0.0f;
    obj_get_radius(o, r);
    o->lod_radius2 = r * r;
    if (!o->lod_current) {
        _geometry *first = o->geolist.get(1);
        o->lod_current = first && first->handle ? first->handle : o->gsobject;
    }
    if (auto *pivot = static_cast<QEL_VECT3 *>(o->vars.remove("USE_PIVOT"))) {
        obj_set_pivot(o, *pivot, FRAME_WORLD);
        delete pivot;
    }
    for (_object *f : face_children(o))
        VE_load_face(f);
}

// Every graphics object of o is told what it stands for, then the object's state and
// attributes are applied to them. A selected object's new graphics objects get what selecting
// gave the old ones: drawn in full while only envelopes are drawn, and the select display.
void common_tail(_object *o)
{
    const int type = kiv::env::graphics_type(o);
    const bool selected = sel_countobj() > 0 && sel_findobj(o) > 0;
    const bool envelopes_only = env_get_onlydrawenvelopes() != 0;
    for (GSobject *g : kiv::env::geometry_nodes(o)) {
        if (GSobject_kind(g) != GS_KIND_OBJECT)
            continue;
        GSobject_setobjecttype(g, type);
        if (envelopes_only)
            GSobject_setoverrideenvelope(g, selected);
    }
    VE_set_up_all_geo_data(o);
    VE_activate_obj(o);
    kiv::env::push_material(o);
    kiv::env::refresh_texture(o);
    kiv::env::refresh_note(o);
    if (selected)
        msg_send(MSG_SEL_APPLY_DISPLAY, o, sel_listgetactive());
}

// Files of a group, light or viewpoint are assemblies read into it; their levels hold no
// graphics object.
int load_assembly_levels(_object *o)
{
    int result = 0;
    for (int i = 1; i <= o->geolist.count(); ++i) {
        _geometry *level = o->geolist.get(i);
        if (!level->part.name && !level->source.name)
            continue;
        bool ok = false;
        kiv::env::load_level_file(o, level, ok);
        if (level->threshold == 0.0f)
            level->threshold = 8.0f;
        if (!ok)
            result = 100;
    }
    return result;
}

}  // namespace

int VE_load_obj(_object *o)
{
    if (!o)
        return 101;
    int result = 0;
    switch (o->type) {
    case OBJ_OBJECT:
        result = load_levels(o);
        for (int i = 1; i <= o->geolist.count(); ++i)
            GSobject_setname(o->geolist.get(i)->handle, o->name);
        show_level(o);
        finish_part(o);
        break;
    case OBJ_FACE:
        VE_load_face(o);
        break;
    case OBJ_GROUP:
    case OBJ_LIGHT:
    case OBJ_VIEWPOINT:
        // Reading an assembly adds to the tree: once the object has children its files were
        // read, and reading them again would duplicate the subtree.
        if (o->children.isempty())
            result = load_assembly_levels(o);
        break;
    default:
        esd_send("Unrecognized type in VE_create_obj");
        break;
    }
    common_tail(o);
    return result;
}

void VE_release_geometry(_object *o)
{
    if (!o)
        return;
    if (o->type == OBJ_FACE) {
        kiv::env::detach_note(o);
        for (int i = 1; i <= o->geolist.count(); ++i) {
            _geometry *level = o->geolist.get(i);
            if (level->handle == o->gsobject)
                o->gsobject = nullptr;
            kiv::env::delete_node(level->handle);
            level->handle = nullptr;
        }
        return;
    }
    if (o->type != OBJ_OBJECT || !o->gsobject)
        return;
    VE_delete_lcs(o);
    GSobject_setdrawenvelope(o->gsobject, false);
    GSobject *old = o->gsobject;
    kiv::env::replace_node(o, kiv::env::new_empty_node(), true);
    std::vector<GSobject *> gone = kiv::env::geometry_nodes(o);
    gone.push_back(old);
    for (_object *f : face_children(o)) {
        kiv::env::detach_note(f);
        for (int i = 1; i <= f->geolist.count(); ++i) {
            _geometry *level = f->geolist.get(i);
            if (level->handle == f->gsobject)
                f->gsobject = nullptr;
            kiv::env::drop_geo_data(level->handle);
            level->handle = nullptr;
        }
    }
    std::sort(gone.begin(), gone.end());
    gone.erase(std::unique(gone.begin(), gone.end()), gone.end());
    for (GSobject *g : gone) {
        if (g != o->gsobject)
            kiv::env::delete_node(g);
    }
    for (int i = 1; i <= o->geolist.count(); ++i)
        o->geolist.get(i)->handle = nullptr;
    o->lod_current = nullptr;
    // Levels without a file of their own after a level with one are derived copies (the
    // decimated level): they are made again by the next load.
    bool named_before = false;
    for (int i = 1; i <= o->geolist.count();) {
        _geometry *level = o->geolist.get(i);
        if (named_before && !level->part.name) {
            o->geolist.remove(i);
            delete level;
            continue;
        }
        named_before = named_before || level->part.name;
        ++i;
    }
}
