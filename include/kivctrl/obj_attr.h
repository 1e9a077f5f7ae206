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

// 1 wire frame, 2 flat shaded, 3 smooth shaded (the default). Other values are stored as
// given (files may carry them), hence the fixed underlying type.
enum RENDER_MODE : int {
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

// Accessors. Getters come in two forms: one returns the value without checking the object,
// the other returns 0 (or 101 for a null object) and writes through references. Setters
// return 0, 101 for a null object and 1 for a value they refuse (nothing is changed then).
// Setters only record values in the graphics objects; drawing happens later, so they may run
// on the geometry loading thread.

// Colour and material. A level of ATTR_DEFAULT_LEVEL selects the default level: 100, or
// 200 for a face (for a face's colour, -200 when red < 0, so that it shows its part's). A
// negative level removes the object's own value from the graphics side: the graphics node
// then shows what its ancestors carry.
//
// Applying the colour: the root's becomes the window background (the environment's when red
// is -1); a group's goes on the group's own node, then every child applies its own again; a
// part's or face's goes on every geometry node ((-1, -1, -1) when red is -1, which shows the
// geometry's own colours); a light shines in its colour (white when red is -1). 105 for an
// object of unknown type.
int obj_set_color(_object *o, float r, float g, float b, int level);
int obj_set_color(_object *o, const QEL_COLOR &c, int level);
int obj_get_color(_object *o, float &r, float &g, float &b, int &level);
int obj_get_color(_object *o, QEL_COLOR &c, int &level);
// Pushed to every geometry node of a part or face.
int obj_set_specular(_object *o, float r, float g, float b, int level);
int obj_set_specular(_object *o, const QEL_COLOR &c, int level);
int obj_set_emission(_object *o, float r, float g, float b, int level);
int obj_set_emission(_object *o, const QEL_COLOR &c, int level);
int obj_set_shininess(_object *o, float s, int level);
// The ambient colour; animation paths play it back.
int obj_set_ambient(_object *o, const QEL_COLOR &c, int level);
// An opacity factor in 0..1 (1 = opaque); anything else, or a NaN, is refused. Pushed to
// parts and faces and to a group's own node.
int obj_set_transparency(_object *o, float t, int level);
// Stored only.
int obj_set_reflectivity(_object *o, float r, int level);
int obj_set_ior(_object *o, float ior, int level);
int obj_set_roughness(_object *o, float r, int level);
int obj_set_metallic(_object *o, int m, int level);
int obj_set_shadow(_object *o, int s, int level);
int obj_get_specular(_object *o, QEL_COLOR &c, int &level);
int obj_get_specular(_object *o, float &r, float &g, float &b, int &level);
int obj_get_emission(_object *o, QEL_COLOR &c, int &level);
int obj_get_emission(_object *o, float &r, float &g, float &b, int &level);
int obj_get_ambient(_object *o, QEL_COLOR &c, int &level);
float obj_get_shininess(_object *o, int &level);
int obj_get_shininess(_object *o, float &s, int &level);
float obj_get_transparency(_object *o, int &level);
int obj_get_transparency(_object *o, float &t, int &level);
float obj_get_reflectivity(_object *o, int &level);
int obj_get_reflectivity(_object *o, float &r, int &level);
float obj_get_ior(_object *o, int &level);
int obj_get_ior(_object *o, float &ior, int &level);
float obj_get_roughness(_object *o, int &level);
int obj_get_roughness(_object *o, float &r, int &level);
int obj_get_metallic(_object *o, int &m, int &level);
int obj_get_shadow(_object *o, int &s, int &level);
// 0 stores 3 (smooth). Pushed to every geometry node of a part.
int obj_set_rendering(_object *o, RENDER_MODE m);
RENDER_MODE obj_get_rendering(_object *o);
int obj_get_rendering(_object *o, RENDER_MODE &out);

// Visibility. On a group, part or face: stores v and, for an active part or face, hides the
// graphics node and draws its envelope instead (v != 1) or shows it again; sends 209 (v = 1)
// or 210 when the value changed. A group or the root passes v to every descendant; lights,
// viewpoints and the root store nothing. Returns 102 when an active part has no graphics
// node.
int obj_set_vis(_object *o, int v);
int obj_get_vis(_object *o);
int obj_get_vis(_object *o, int &out);
int obj_get_active(_object *o);
int obj_get_active(_object *o, int &out);
int obj_get_cull(_object *o);
int obj_get_cull(_object *o, int &out);
// Number of highlight styles of the graphics system; h and -h of obj_set_highlight must be
// below it.
constexpr int HIGHLIGHT_STYLES = 12;
// h > 0 adds highlight style h to every geometry node, h < 0 removes style -h, 0 removes all;
// a group or the root passes it to its whole subtree. Refuses |h| >= HIGHLIGHT_STYLES.
int obj_set_highlight(_object *o, int h);
// Draws the object's name beside it (groups, parts, lights and faces), in the text colour of
// the environment.
int obj_set_name_vis(_object *o, int v);
int obj_get_name_vis(_object *o);
int obj_get_name_vis(_object *o, int &out);
// The name of the path the object follows; null when it follows none.
const char *obj_get_pathname(_object *o);
// Process-wide: whether an object dragged by the pointer dominates (1 at start).
void obj_set_dominant(int d);
int obj_get_dominant();

// Lights (type 4); on other objects the setters do nothing and return 0.
// Intensity, clamped to 0..1 (a NaN becomes 0).
int obj_set_intensity(_object *o, float i);
float obj_get_intensity(_object *o);
int obj_get_intensity(_object *o, float &out);
// Spot exponent and full cone angle in degrees (clamped to 0..360); NaN is refused.
int obj_set_exponent(_object *o, float e);
float obj_get_exponent(_object *o);  // 0 without a graphics light
int obj_get_exponent(_object *o, float &out);
int obj_set_angle(_object *o, float degrees);
float obj_get_angle(_object *o);
int obj_get_angle(_object *o, float &out);  // 360 and 101 for anything but a light
// 1 directed, 2 spot, 3 point; 0 is taken as 1, other values are refused.
int obj_set_ltype(_object *o, int t);
int obj_get_ltype(_object *o);  // -1 for anything but a light
int obj_get_ltype(_object *o, int &out);


// Stores the active flag (any nonzero value as 1), loads the geometry on first need (or
// releases it), applies the state to the graphics side and announces it (205 when set, 206
// when cleared): on the root for its children, on a part also for its faces, on anything else
// for its whole subtree. Nonzero when some geometry failed to load (that object stays
// inactive).
int obj_set_active(_object *o, int a);

// The geometry-valid flag of o and its subtree (on the root: of its children's subtrees). A
// face given 0 is deleted. An object going from 0 to 1 announces it (211), releases its
// geometry, refreshes a component group from its file and loads its geometry again (staying
// inactive when that fails). Returns 0, or 101 for a null object.
int obj_set_geometryvalid(_object *o, int v);
int obj_get_geometryvalid(_object *o);  // 101 for a null object
int obj_get_geometryvalid(_object *o, int &out);

// Notes (groups, parts, lights and faces show them; other objects keep the record only).
// A null name deletes the record and the note. Otherwise the record is made when missing and
// a name that differs is stored and its image read: when the name cannot be read, its file
// name alone is tried and, if that reads or locate is 0, kept; otherwise the locate
// procedure (806) asks for the file. Returns 0, 101 for a null object, 103 out of memory.
int obj_set_notename(_object *o, const char *name, int locate);
const char *obj_get_notename(_object *o);
int obj_get_notename(_object *o, const char *&out);
// The record's other values; 101 when the object has no note record. An empty link is
// stored as null. The note shows while its visible flag is 1 and the object is active and
// visible.
int obj_set_notelink(_object *o, const char *link);
int obj_set_notevisible(_object *o, int v);
int obj_set_noteforeground(_object *o, int f);
int obj_set_noteleader(_object *o, int l);
int obj_set_noteoffset(_object *o, const QEL_VECT2 &offset);
const char *obj_get_notelink(_object *o);
int obj_get_notelink(_object *o, const char *&out);
int obj_get_notevisible(_object *o);
int obj_get_notevisible(_object *o, int &out);
int obj_get_noteforeground(_object *o);
int obj_get_noteforeground(_object *o, int &out);
int obj_get_noteleader(_object *o);
int obj_get_noteleader(_object *o, int &out);
QEL_VECT2 obj_get_noteoffset(_object *o);
int obj_get_noteoffset(_object *o, QEL_VECT2 &out);

// Textures of parts and faces; on the root the record describes the window's backdrop
// (active: shown, type: tiled, method and quality: horizontal and vertical justification).
// A null name deletes the record and the texture. Otherwise the record is made when missing
// (its grid at the object's midpoint), the name stored and the image given to every geometry
// node (or the backdrop), the locate procedure (804, or 805 for the backdrop) asking for a
// file that cannot be read; then every field follows. The other setters return 101 without
// a record; the placement setters announce their change (701-706).
int obj_set_texturename(_object *o, const char *name);
int obj_set_texturemethod(_object *o, int method);
int obj_set_texturequality(_object *o, int quality);
int obj_set_texturetype(_object *o, int type);
int obj_set_textureactive(_object *o, int active);
int obj_set_texturescale(_object *o, const QEL_VECT2 &scale);
int obj_set_texturepos(_object *o, const QEL_VECT2 &pos);
int obj_set_textureangle(_object *o, float degrees);
int obj_set_textureorient(_object *o, float radians);
int obj_set_texturegridscale(_object *o, const QEL_VECT3 &scale);
int obj_set_texturegridpos(_object *o, const QEL_VECT3 &pos);
int obj_set_texturegridorient(_object *o, const QEL_QUAT &q);
int obj_set_texturegrideangles(_object *o, const QEL_VECT3 &degrees);
const char *obj_get_texturename(_object *o);
int obj_get_texturename(_object *o, const char *&out);
int obj_get_texturemethod(_object *o);
int obj_get_texturemethod(_object *o, int &out);
int obj_get_texturequality(_object *o);
int obj_get_texturequality(_object *o, int &out);
int obj_get_texturetype(_object *o);
int obj_get_texturetype(_object *o, int &out);
int obj_get_textureactive(_object *o);
int obj_get_textureactive(_object *o, int &out);
QEL_VECT2 obj_get_texturescale(_object *o);
int obj_get_texturescale(_object *o, QEL_VECT2 &out);
QEL_VECT2 obj_get_texturepos(_object *o);
int obj_get_texturepos(_object *o, QEL_VECT2 &out);
float obj_get_textureangle(_object *o);  // degrees
int obj_get_textureangle(_object *o, float &out);
float obj_get_textureorient(_object *o);  // radians
int obj_get_textureorient(_object *o, float &out);
QEL_VECT3 obj_get_texturegridscale(_object *o);
int obj_get_texturegridscale(_object *o, QEL_VECT3 &out);
QEL_VECT3 obj_get_texturegridpos(_object *o);
int obj_get_texturegridpos(_object *o, QEL_VECT3 &out);
QEL_QUAT obj_get_texturegridorient(_object *o);
int obj_get_texturegridorient(_object *o, QEL_QUAT &out);
QEL_VECT3 obj_get_texturegrideangles(_object *o);  // Euler angles in degrees
int obj_get_texturegrideangles(_object *o, QEL_VECT3 &out);
