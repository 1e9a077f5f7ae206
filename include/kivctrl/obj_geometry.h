// The geometry levels of an object: which part file each level of detail comes from.
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

// Adds a geometry level for file `name` (null: none yet). Thresholds stay unique and
// ascending: a threshold already present is raised by 8 until it is free. Returns 0.
int obj_set_file(_object *o, const char *name, _geometry *&out, float threshold);
int obj_set_file(_object *o, const char *name, float threshold);
