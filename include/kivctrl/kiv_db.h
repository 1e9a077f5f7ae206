// The scene database: objects (_object) in trees owned by assemblies (KivAssembly).
//
// The engine keeps one current root: the root of the assembly created most recently.
// Functions without an assembly argument (db_get_root, name_to_obj, id_to_obj, ...) act on it.
//
// Accessors come in two forms: one returns the value without checking its argument, the
// other returns an int code and writes the value through a reference. Codes: 0 done,
// 1 refused, 101 null object, 103 out of memory copying a name, 104 degree of freedom
// outside 0..5, 106 null object for obj_get_presetlist.
#pragma once

#include <kivctrl/obj_attr.h>
#include <kivctrl/objlist.h>
#include <kivctrl/qel_assoc.h>
#include <kivctrl/qel_list.h>
#include <kivctrl/qel_math.h>
#include <kivctrl/qel_props.h>

#include <memory>
#include <string>

class GSobject;
class KivAssembly;
class _bookmark;
class _anim_struct;
class UndoSmartLoaderCache;
namespace kiv::db {
struct GeometryLock;
}

enum OBJECT_TYPE : int {
    OBJ_ROOT = 1,
    OBJ_GROUP = 2,
    OBJ_OBJECT = 3,  // a part carrying geometry
    OBJ_LIGHT = 4,
    OBJ_VIEWPOINT = 5,
    OBJ_FACE = 6,
};

// The degrees of freedom: translations along, then rotations about, the constraint axes.
enum DOF : int { DOF_X = 0, DOF_Y = 1, DOF_Z = 2, DOF_RX = 3, DOF_RY = 4, DOF_RZ = 5 };

// The frame in which an object's constraints are expressed; other values mean the identity.
enum CONSTRAINT_MODE : int {
    CONSTRAINT_PARENT = 0,
    CONSTRAINT_LOCAL = 1,
    CONSTRAINT_FRAME = 2,
    CONSTRAINT_OBJECT = 3,
};

// Length-unit code 0..4 of an assembly, stored and returned unchanged.
typedef int DBU;

// A named view kept on the root: where the viewpoint goes when the view of that name is
// chosen.
class _preset {
public:
    std::string name;
    QEL_VECT3 position{0.0f, 0.0f, 0.0f};
    QEL_QUAT orientation{0.0f, 0.0f, 0.0f, 1.0f};
};

// One node of an assembly's tree. Created and destroyed only through the db_ functions.
class _object {
public:
    // Constructs with every field at its initial value and joins parent (see reset).
    _object(OBJECT_TYPE t, _object *parent);
    _object(const _object &) = delete;
    _object &operator=(const _object &) = delete;

    // Virtual operations in slot order: reset, then the destructor.
    // Resets every field to its initial value and attaches the object to parent: unless it
    // is a root it joins parent's children, a viewpoint at the front, others at the end.
    virtual void reset(_object *parent);
    virtual ~_object();

    OBJECT_TYPE type;
    char *name;  // owned
    int id;
    char *guid;  // owned
    IList<_task> tasklist;
    _object *parent;
    OBJLIST children;
    IList<_preset> presetlist;
    KivAssembly *assembly;
    int sourceid;  // on a root: the assembly's source-id counter
    void *treenode;
    int expand;
    ASSOC vars;
    Props *props;  // owned
    int grpradius_valid;
    float radius;
    float grpradius;
    QEL_COLOR color;
    int color_level;
    int active;
    int vis;
    int cull;
    GSobject *gsobject;
    GSobject *lod_current;
    IList<_geometry> geolist;  // owned records
    int geometryvalid;
    _obj_texture *texture;  // owned
    _path *pathptr;
    IList<_path> pathlist;
    _obj_note *note;  // owned
    QEL_MATERIAL material;
    int face_index;
    int usage;
    int lod_index;
    float lod_radius2;
    int lcs_shown;
    int name_vis;
    int constraint_suspend;
    CONSTRAINT_MODE constraint_mode;
    QEL_FRAME constraint_frame;
    _object *constraint_object;
    CONSTRAINT constraints[6];
    int layer;
    unsigned short pos_changes;
    unsigned short orient_changes;
    int unique;
    QEL_QUAT snap_rotation;
    void *gslight;
    float intensity;
    // Root only.
    char *assy_path;  // owned
    OBJLIST lights;
    IList<_path> root_pathlist;
    _object *viewpoint;
    _anim_struct *anim;
    DBU units;
    RENDER_MODE rendering;
    IList<_bookmark> bookmarks;  // owned records
};

// One loaded assembly: its root, geometry lock, default properties and colour palette.
class KivAssembly {
public:
    static constexpr int NUM_CUSTOM_COLORS = 16;

    KivAssembly();
    ~KivAssembly();
    KivAssembly(const KivAssembly &) = delete;
    KivAssembly &operator=(const KivAssembly &) = delete;

    _object *GetRoot() const { return root_; }
    void SetRoot(_object *r) { root_ = r; }

    // Number of parts (type 3) in the subtree below o, o itself not counted.
    int GetObjectCount(_object *o);

    QEL_COLOR GetCustomColor(int i) const;
    // false, storing nothing, for an index outside 0..15.
    bool SetCustomColor(int i, QEL_COLOR c);
    int GetNumCustomColors() const { return NUM_CUSTOM_COLORS; }

    Props &GetDefaultProps() { return *default_props_; }
    _anim_struct *GetAnim();
    // Starts playing every path of the time line; 0 (also without a root).
    int PathTraverseAll();

    // Source ids: both increment the counter held by the root; -1 without a root.
    int StartNewSourceID();
    int EndNewSourceID();
    int GetCurrentSourceID() const;

    // The geometry lock: one process-wide mutex shared by every assembly, and this assembly's
    // manual-reset event, set while no geometry load runs.
    void ProtectGeometry();
    void UnprotectGeometry();
    bool AccessGeometry();               // never waits
    bool AccessGeometryWait();           // waits as long as needed
    bool AccessGeometryWait(int ms);     // waits at most ms milliseconds
    bool ReleaseGeometry();              // false when the caller does not hold the lock
    void GeometryLoadStarted();
    void GeometryLoadComplete();
    void WaitForGeometryLoad();

    void SetUndoSmartLoaderCache(UndoSmartLoaderCache *c) { loader_cache_ = c; }
    UndoSmartLoaderCache *GetUndoSmartLoaderCache() const { return loader_cache_; }

private:
    _object *root_ = nullptr;
    UndoSmartLoaderCache *loader_cache_ = nullptr;
    std::unique_ptr<kiv::db::GeometryLock> lock_;
    std::unique_ptr<Props> default_props_;
    QEL_COLOR custom_colors_[NUM_CUSTOM_COLORS];
};

// Assemblies.
KivAssembly *db_new_assembly(const char *name);
void db_delete_assembly(KivAssembly *a);
void db_delete_assembly();
KivAssembly *GetAssembly(_object *o);
KivAssembly *obj_get_assembly(_object *o);
_object *DBGetRoot(_object *o);
_object *db_get_root();
int db_root_exists();
int db_obj_is_root(_object *o);
int currency();

_anim_struct *RootGetAnimPtr(KivAssembly *a);
int RootGetAnimPtr(_anim_struct *&out, KivAssembly *a);
_object *RootGetViewPoint(KivAssembly *a);
int RootGetViewPoint(_object *&out, KivAssembly *a);
IList<_path> *RootGetPathList(KivAssembly *a);
int RootGetPathList(IList<_path> *&out, KivAssembly *a);
const char *RootGetAssyPath(KivAssembly *a);
int RootGetAssyPath(const char *&out, KivAssembly *a);
DBU RootGetUnits(KivAssembly *a);
int RootGetUnits(DBU &out, KivAssembly *a);
int RootSetUnits(DBU u, KivAssembly *a);
void root_set_units(DBU u);
int set_assy_path(_object *o, const char *path);

// Objects.
_object *db_create_obj(_object *parent, OBJECT_TYPE t);
_object *db_create_root_obj(_object *parent);
_object *db_create_face_obj(_object *part);
int db_delete_obj(_object *o);
int db_link(_object *newparent, _object *child);
void db_update_group(_object *o);
int obj_is_ancestor(_object *o, _object *a);
int db_number_of_viewpoints_in_tree(_object *o);
int db_number_of_active_viewpoints_in_tree(_object *o);
_object *db_find_first_inactive_viewpoint_in_tree(_object *start, _object *except);

// Primitive shapes: the parameters go to the "_GEOM_PARAMS" variable (replacing earlier
// ones), an empty geometry level is added when there is none, and the object is loaded.
// Return 0, or 101 for a null object.
int obj_create_box(_object *o, float x, float y, float z);
int obj_create_cone(_object *o, float a, float b, int n);
int obj_create_cylinder(_object *o, float a, float b, int n);
int obj_create_sphere(_object *o, float a, int n);
int obj_create_helix(_object *o, float a, float b, float c, float d, int n, int m);
// Turns o into a group and loads its files; returns the load's result.
int obj_create_group(_object *o);

// Lookups, depth-first in pre-order (the start itself first); names compare case-sensitively.
_object *name_to_obj(const char *name);
_object *id_to_obj(int id);
_object *find_obj_by_guid(const char *guid, _object *start);
_object *id_or_name_to_obj(const char *text);

// Field access.
OBJECT_TYPE obj_get_type(_object *o);
int obj_get_type(_object *o, OBJECT_TYPE &out);
int obj_set_type(_object *o, OBJECT_TYPE t);
const char *obj_get_name(_object *o);
int obj_get_name(_object *o, const char *&out);
int obj_set_name(_object *o, const char *name);
int obj_get_id(_object *o);
int obj_get_id(_object *o, int &out);
int obj_set_id(_object *o, int id);
const char *obj_get_guid(_object *o);
int obj_get_guid(_object *o, const char *&out);
int obj_set_guid(_object *o, const char *guid);
int obj_get_unique(_object *o);
int obj_get_unique(_object *o, int &out);
int obj_set_unique(_object *o, int u);
_object *obj_get_parent(_object *o);
int obj_get_parent(_object *o, _object *&out);
OBJLIST *obj_get_children(_object *o);
int obj_get_children(_object *o, OBJLIST *&out);
IList<_task> *obj_get_tasklist(_object *o);
int obj_get_tasklist(_object *o, IList<_task> *&out);
IList<_path> *obj_get_pathlist(_object *o);
int obj_get_pathlist(_object *o, IList<_path> *&out);
_path *obj_get_pathptr(_object *o);
int obj_get_pathptr(_object *o, _path *&out);
int obj_set_pathptr(_object *o, _path *p);
IList<_geometry> *obj_get_geolist(_object *o);
int obj_get_geolist(_object *o, IList<_geometry> *&out);
IList<_preset> *obj_get_presetlist(_object *o);
int obj_get_presetlist(_object *o, IList<_preset> *&out);  // 106 for a null object
ASSOC *obj_get_vars(_object *o);
int obj_get_vars(_object *o, ASSOC *&out);
Props *obj_get_props(_object *o);
int obj_get_props(_object *o, Props *&out);
void *obj_get_treenode(_object *o);
int obj_get_treenode(_object *o, void *&out);
int obj_set_treenode(_object *o, void *node);
int obj_get_usage(_object *o);
int obj_get_usage(_object *o, int &out);
int obj_set_usage(_object *o, int usage);
int obj_get_expand(_object *o);
int obj_get_expand(_object *o, int &out);
int obj_set_expand(_object *o, int expand);  // sends 601 with the new value
int obj_suspend_constraints(_object *o);
int obj_resume_constraints(_object *o);
CONSTRAINT_MODE obj_get_constraint_mode(_object *o);
int obj_get_constraint_mode(_object *o, CONSTRAINT_MODE &out);
int obj_set_constraint_mode(_object *o, CONSTRAINT_MODE m);
// Stores flags always, min only with bit 0 set, max only with bit 1 set; 104 for a degree of
// freedom outside 0..5.
int obj_set_constrain(_object *o, int dof, unsigned flags, float min, float max);
// The flags of one degree of freedom (those of 0 when dof is out of range).
unsigned obj_get_constrain(_object *o, int dof);
// Also min and max, each written only when its bit is set.
int obj_get_constrain(_object *o, int dof, unsigned &flags, float &min, float &max);
