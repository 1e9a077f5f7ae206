// Assemblies: creation and the per-assembly state; the current root and currency counter.
#include <kivctrl/kiv_db.h>

#include <kivctrl/qel_msg.h>

#include "database/attr_levels.h"
#include "database/db_state.h"
#include "database/geometry_lock.h"
#include "database/observers.h"
#include "database/subtree_walk.h"
#include "database/db_string.h"


namespace {

_object *g_current_root = nullptr;
int g_currency = 0;

}  // namespace

namespace kiv::db {

_object *current_root()
{
    return g_current_root;
}

void set_current_root(_object *root)
{
    g_current_root = root;
}

int bump_currency()
{
    return ++g_currency;
}

}  // namespace kiv::db

KivAssembly::KivAssembly() : default_props_(std::make_unique<Props>())
{
    for (QEL_COLOR &c : custom_colors_)
        c = {1.0f, 1.0f, 1.0f};
    ProtectGeometry();
}

KivAssembly::~KivAssembly()
{
    UnprotectGeometry();
}

int KivAssembly::GetObjectCount(_object *o)
{
    if (!o)
        return 0;
    int n = 0;
    db_walk_subtree(o, [o, &n](_object *x) {
        if (x != o && x->type == OBJ_OBJECT)
            ++n;
        return true;
    });
    return n;
}

QEL_COLOR KivAssembly::GetCustomColor(int i) const
{
    if (i < 0 || i >= NUM_CUSTOM_COLORS)
        return {1.0f, 1.0f, 1.0f};
    return custom_colors_[i];
}

bool KivAssembly::SetCustomColor(int i, QEL_COLOR c)
{
    if (i < 0 || i >= NUM_CUSTOM_COLORS)
        return false;
    custom_colors_[i] = c;
    return true;
}

_anim_struct *KivAssembly::GetAnim()
{
    return root_ ? root_->anim : nullptr;
}

int KivAssembly::StartNewSourceID()
{
    return root_ ? ++root_->sourceid : -1;
}

int KivAssembly::EndNewSourceID()
{
    return root_ ? ++root_->sourceid : -1;
}

int KivAssembly::GetCurrentSourceID() const
{
    return root_ ? root_->sourceid : -1;
}

KivAssembly *db_new_assembly(const char *name)
{
    _object *root = db_create_root_obj(nullptr);
    if (!root)
        return nullptr;
    kiv::db::set_current_root(root);
    set_assy_path(root, "");
    root->type = OBJ_ROOT;
    obj_set_name(root, name);
    // No colour of its own: the root shows the environment's background.
    kiv::db::store_color(root, QEL_COLOR{-1.0f, 0.0f, 0.0f}, ATTR_DEFAULT_LEVEL);
    kiv::db::notify_recolored(root);
    auto *a = new KivAssembly;
    a->SetRoot(root);
    root->assembly = a;
    kiv::db::bump_currency();
    msg_send(MSG_ASSEMBLY_CREATED, a, 0);
    return a;
}

int currency()
{
    return g_currency;
}

KivAssembly *GetAssembly(_object *o)
{
    return o ? o->assembly : nullptr;
}

KivAssembly *obj_get_assembly(_object *o)
{
    return GetAssembly(o);
}

_object *DBGetRoot(_object *o)
{
    KivAssembly *a = GetAssembly(o);
    return a ? a->GetRoot() : nullptr;
}

_object *db_get_root()
{
    return g_current_root;
}

int db_root_exists()
{
    return g_current_root != nullptr;
}

int db_obj_is_root(_object *o)
{
    return o && o->assembly && o->assembly->GetRoot() == o;
}

namespace {

_object *root_of(KivAssembly *a)
{
    return a ? a->GetRoot() : nullptr;
}

}  // namespace

_anim_struct *RootGetAnimPtr(KivAssembly *a)
{
    _object *r = root_of(a);
    return r ? r->anim : nullptr;
}

int RootGetAnimPtr(_anim_struct *&out, KivAssembly *a)
{
    _object *r = root_of(a);
    if (!r)
        return 101;
    out = r->anim;
    return 0;
}

_object *RootGetViewPoint(KivAssembly *a)
{
    _object *r = root_of(a);
    return r ? r->viewpoint : nullptr;
}

int RootGetViewPoint(_object *&out, KivAssembly *a)
{
    _object *r = root_of(a);
    if (!r)
        return 101;
    out = r->viewpoint;
    return 0;
}

IList<_path> *RootGetPathList(KivAssembly *a)
{
    _object *r = root_of(a);
    return r ? &r->root_pathlist : nullptr;
}

int RootGetPathList(IList<_path> *&out, KivAssembly *a)
{
    _object *r = root_of(a);
    if (!r)
        return 101;
    out = &r->root_pathlist;
    return 0;
}

const char *RootGetAssyPath(KivAssembly *a)
{
    _object *r = root_of(a);
    return r ? r->assy_path : nullptr;
}

int RootGetAssyPath(const char *&out, KivAssembly *a)
{
    _object *r = root_of(a);
    if (!r)
        return 101;
    out = r->assy_path;
    return 0;
}

DBU RootGetUnits(KivAssembly *a)
{
    _object *r = root_of(a);
    return r ? r->units : 0;
}

int RootGetUnits(DBU &out, KivAssembly *a)
{
    _object *r = root_of(a);
    if (!r)
        return 101;
    out = r->units;
    return 0;
}

int RootSetUnits(DBU u, KivAssembly *a)
{
    _object *r = root_of(a);
    if (!r)
        return 101;
    r->units = u;
    return 0;
}

void root_set_units(DBU u)
{
    if (g_current_root)
        g_current_root->units = u;
}

int set_assy_path(_object *o, const char *path)
{
    if (o)
        kiv::db::replace_string(o->assy_path, path);
    return 0;
}
