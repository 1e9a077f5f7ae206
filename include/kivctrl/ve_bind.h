// Binding of scene objects to graphics objects, and the geometry levels of parts.
#pragma once

class _object;
class GSobject;

// One description of a part file: name, loader type name and loader parameters, each an
// owned copy (null allowed).
class _part_info {
public:
    _part_info() = default;
    _part_info(const _part_info &) = delete;
    _part_info &operator=(const _part_info &) = delete;
    ~_part_info();

    const char *get_name() const { return name; }
    const char *get_type() const { return type; }
    const char *get_params() const { return params; }
    void set_name(const char *s);
    void set_type(const char *s);
    void set_params(const char *s);

    char *name = nullptr;
    char *type = nullptr;
    char *params = nullptr;
};

// One level of detail of an object.
class _geometry {
public:
    explicit _geometry(float t = 0.0f) : threshold(t) {}
    const char *part_name() const { return part.name; }

    _part_info part;    // the file actually loaded
    _part_info source;  // the file the part was first derived from
    GSobject *handle = nullptr;
    float threshold;
};

// Creates the object's graphics object. Returns 0 or an error status.
int VE_create_geo(_object *o);
// Releases the object's graphics binding (deactivation, its graphics node and the level of
// detail shown). Returns 0.
int VE_delete_geo(_object *o);
// Detaches the object's graphics node from its parent's, before the object changes parent.
void VE_detach_geo(_object *o);
// Attaches the object's graphics node under its (new) parent's.
void VE_attach_geo(_object *o);

// Loads the object's geometry levels (a part's files or primitive shape; a group's files).
// Returns 0, or 100 when a level could not be loaded.
int VE_load_obj(_object *o);
// Releases the graphics objects of the object's geometry levels, keeping the levels.
void VE_release_geometry(_object *o);

// Adds a geometry level for file `name` (null: none yet). Thresholds stay unique and
// ascending: a threshold already present is raised by 8 until it is free. Returns 0.
int obj_set_file(_object *o, const char *name, _geometry *&out, float threshold);
int obj_set_file(_object *o, const char *name, float threshold);

// The object bound to a graphics node. With faces set, picking a face group of a part makes a
// face object for it and sets *created to 1.
_object *handle_to_obj(void *node, int *created, bool faces);
