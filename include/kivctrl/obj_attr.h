// Presentation attributes of scene objects: colour, material, rendering mode, activity,
// notes and textures.
#pragma once

#include <kivctrl/qel_math.h>

class _object;
struct GSnote;

// An RGB colour, each component normally 0..1. A red component of -1 means "no colour of its
// own" where an object's colour is concerned.
struct QEL_COLOR {
    float r, g, b;
};

// 1 wire frame, 2 flat shaded, 3 smooth shaded (the default).
enum RENDER_MODE {
    RENDER_WIREFRAME = 1,
    RENDER_FLAT = 2,
    RENDER_SMOOTH = 3,
};

// Passed as a level, this selects the default level of the object's type.
constexpr int ATTR_DEFAULT_LEVEL = 9999;

// Eleven material values followed by one level per value, in the same order.
struct QEL_MATERIAL {
    enum { AMBIENT, DIFFUSE, SPECULAR, SHININESS, TRANSPARENCY, REFLECTIVITY, EMISSION, IOR,
           ROUGHNESS, METALLIC, SHADOW, COUNT };

    QEL_COLOR ambient;
    QEL_COLOR diffuse;
    QEL_COLOR specular;
    float shininess;
    float transparency;  // opacity factor, 1 = opaque
    float reflectivity;
    QEL_COLOR emission;
    float ior;
    float roughness;
    int metallic;
    int shadow;
    int level[COUNT];

    QEL_MATERIAL() { init(100); }
    // Defaults at the level of an object of this type: 100, or -200 for a face.
    explicit QEL_MATERIAL(int object_type) { init(object_type == 6 ? -200 : 100); }

    // Every value to its default, every level to `lvl`.
    void init(int lvl);
    void copy(const QEL_MATERIAL &m) { *this = m; }
};

// An object's texture; on the root it describes the window's backdrop image.
struct _obj_texture {
    char *name = nullptr;  // owned
    int method = 0;
    int quality = 0;
    int type = 0;
    int active = 1;
    QEL_VECT2 scale{1.0f, 1.0f};
    QEL_VECT2 position{0.0f, 0.0f};
    float angle = 0.0f;  // degrees
    QEL_VECT3 grid_scale{1.0f, 1.0f, 1.0f};
    QEL_VECT3 grid_position{0.0f, 0.0f, 0.0f};
    QEL_QUAT grid_orientation{0.0f, 0.0f, 0.0f, 1.0f};

    _obj_texture() = default;
    _obj_texture(const _obj_texture &) = delete;
    _obj_texture &operator=(const _obj_texture &) = delete;
    ~_obj_texture();
};

// An image note shown beside an object.
struct _obj_note {
    char *name = nullptr;  // owned: image file name or URL
    char *link = nullptr;  // owned; an empty link is stored as null
    QEL_VECT2 offset{-1.0f, 1.0f};
    int visible = 1;
    int foreground = 0;
    int leader = 1;
    GSnote *gsnote = nullptr;

    _obj_note() = default;
    _obj_note(const _obj_note &) = delete;
    _obj_note &operator=(const _obj_note &) = delete;
    ~_obj_note();
};

// Stores the object's own colour and its level (ATTR_DEFAULT_LEVEL: 100, for a face 200 or,
// with red < 0, -200). Returns 0, or 101 for a null object.
int obj_set_color(_object *o, float r, float g, float b, int level);
int obj_set_color(_object *o, const QEL_COLOR &c, int level);
int obj_get_color(_object *o, QEL_COLOR &c, int &level);

// Null name: deletes the note record. Otherwise creates the record when missing and stores
// the name when it differs. Returns 0, or 101 for a null object.
int obj_set_notename(_object *o, const char *name, int locate);
const char *obj_get_notename(_object *o);

// Stores the active flag, loads the geometry on first need (or releases it), applies the state
// to the graphics side and announces it (205 when set, 206 when cleared): on the root for its
// children, on a part also for its faces, on anything else for its whole subtree. Nonzero when
// some geometry failed to load (that object stays inactive).
int obj_set_active(_object *o, int a);
