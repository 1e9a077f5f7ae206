// The object record: initial values, joining the parent, and release of owned data.
#include <kivctrl/kiv_db.h>

#include <kivctrl/bookmark.h>
#include <kivctrl/geom_params.h>
#include <kivctrl/obj_geometry.h>

#include "database/db_string.h"

_object::_object(OBJECT_TYPE t, _object *parent_obj) : type(t)
{
    reset(parent_obj);
}

void _object::reset(_object *parent_obj)
{
    name = nullptr;
    id = 0;
    guid = nullptr;
    tasklist.clear();
    parent = parent_obj;
    children.clear();
    presetlist.clear();
    assembly = parent_obj ? parent_obj->assembly : nullptr;
    sourceid = assembly ? assembly->GetCurrentSourceID() : 0;
    if (sourceid < 0)
        sourceid = 0;
    treenode = nullptr;
    expand = 1;
    vars.clear();
    props = new Props;
    grpradius_valid = 0;
    radius = 0.0f;
    grpradius = 0.0f;
    color = {-1.0f, 0.0f, 0.0f};
    color_level = type == OBJ_FACE ? -200 : 100;
    active = 0;
    vis = 1;
    cull = 0;
    gsobject = nullptr;
    lod_current = nullptr;
    geolist.clear();
    geometryvalid = 1;
    texture = nullptr;
    pathptr = nullptr;
    pathlist.clear();
    note = nullptr;
    material = QEL_MATERIAL(type);
    face_index = -1;
    usage = 0;
    lod_index = 1;
    lod_radius2 = 0.0f;
    lcs_shown = 0;
    name_vis = 0;
    constraint_suspend = 0;
    constraint_mode = CONSTRAINT_PARENT;
    constraint_frame.init();
    constraint_object = nullptr;
    for (CONSTRAINT &c : constraints)
        c = {0u, 0.0f, 0.0f};
    layer = 0;
    pos_changes = 0;
    orient_changes = 0;
    unique = 0;
    snap_rotation.init();
    gslight = nullptr;
    intensity = 0.0f;
    assy_path = nullptr;
    lights.clear();
    root_pathlist.clear();
    viewpoint = nullptr;
    anim = nullptr;
    units = 0;
    rendering = RENDER_SMOOTH;
    bookmarks.clear();

    if (parent && type != OBJ_ROOT) {
        if (type == OBJ_VIEWPOINT)
            parent->children.insert(this);
        else
            parent->children.append(this);
    }
}

// Deletion releases everything visibly in its own order; this frees what is left, so an
// object never leaks whatever path destroys it.
_object::~_object()
{
    using kiv::db::free_string;
    free_string(name);
    free_string(guid);
    free_string(assy_path);
    delete props;
    delete texture;
    delete note;
    for (int i = 1; i <= geolist.count(); ++i)
        delete geolist.get(i);
    geolist.clear();
    delete static_cast<_geom_params *>(vars.remove("_GEOM_PARAMS"));
    for (int i = 1; i <= presetlist.count(); ++i)
        delete presetlist.get(i);
    presetlist.clear();
    for (int i = 1; i <= bookmarks.count(); ++i)
        bookmark_delete(bookmarks.get(i));
    bookmarks.clear();
}
