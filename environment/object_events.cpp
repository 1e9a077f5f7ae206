// The graphics binding follows each object through its life: bound and placed at the
// parent's origin with an empty note when created, detached and attached around a
// re-parenting, loaded or released with its activity and its shape, named and coloured like
// it, its note and then its node released when it is deleted.
#include <kivctrl/db_observer.h>

#include <kivctrl/gs_universe.h>
#include <kivctrl/gsobject.h>
#include <kivctrl/kiv_db.h>
#include <kivctrl/placement.h>
#include <kivctrl/ve_bind.h>
#include <kivctrl/ve_zoom.h>

#include "environment/binding_internal.h"

namespace {

// The graphics nodes carry the name too: a group's or light's own node, every geometry
// level of a part or face.
void show_name_on_graphics(_object *o)
{
    const char *name = o->name ? o->name : "";
    switch (o->type) {
    case OBJ_GROUP:
    case OBJ_LIGHT:
        if (o->gsobject)
            GSobject_setname(o->gsobject, name);
        break;
    case OBJ_OBJECT:
    case OBJ_FACE:
        for (int i = 1; i <= o->geolist.count(); ++i) {
            if (GSobject *g = o->geolist.get(i)->handle)
                GSobject_setname(g, name);
        }
        break;
    default:
        break;
    }
}

class Binding final : public DbObserver {
public:
    Binding() { db_add_observer(this, DB_RANK_ENVIRONMENT); }
    ~Binding() override { db_remove_observer(this); }

    // A face gets a stand-in node until its part's geometry binds it.
    void created(_object *o) override
    {
        VE_create_geo(o);
        QEL_VECT3 origin;
        QEL_QUAT identity;
        obj_set_pos(o, origin.init(), FRAME_PARENT);
        obj_set_orient(o, identity.init(), FRAME_PARENT);
        obj_set_notename(o, "", 0);
    }

    void deleting(_object *o, DB_DELETE_STAGE stage) override
    {
        if (stage == DB_DELETE_START) {
            // The note, and the graphics note showing it, go before the object leaves its
            // parent.
            obj_set_notename(o, nullptr, 0);
        } else if (stage == DB_DELETE_DETACHED) {
            // Only now: the children's nodes hang below o's node until they have moved.
            VE_delete_geo(o);
        } else if (stage == DB_DELETE_ASSEMBLY && o->viewpoint) {
            obj_set_viewangle(o->viewpoint, 45.0f);
        }
    }

    void unlinking(_object *o) override { VE_detach_geo(o); }
    void linked(_object *o) override { VE_attach_geo(o); }

    void geometry_changing(_object *o) override { VE_release_geometry(o); }
    int geometry_changed(_object *o) override { return VE_load_obj(o); }

    // Loads the geometry on first need (or releases it) and applies the flag to the
    // graphics side; a part whose geometry fails to load stays inactive.
    int activated(_object *o) override
    {
        int failed = 0;
        if (o->active == 1) {
            _geometry *first = o->geolist.get(1);
            if ((!first || !first->handle) && VE_load_obj(o) != 0) {
                o->active = 0;
                failed = 1;
            }
        } else {
            VE_release_geometry(o);
        }
        VE_activate_obj(o);
        return failed;
    }

    // Only envelopes are drawn while a bigger subtree is being loaded.
    void bulk_activation(bool begin) override { GSuniverse_setonlydrawenvelopes(begin); }

    void renamed(_object *o) override { show_name_on_graphics(o); }

    void recolored(_object *o) override { kiv::env::apply_color(o); }
};

Binding binding;

}  // namespace
