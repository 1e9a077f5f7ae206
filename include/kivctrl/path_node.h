// A snapshot of an object's animatable attributes: the key nodes of animation paths and the
// bookmarks kept with objects both hold one. Attribute i of the numbering below is bit i of a
// path's status mask and of a bookmark's mask.
#pragma once

#include <kivctrl/obj_attr.h>
#include <kivctrl/qel_math.h>

class _path;

// The animatable attributes; each value is its bit in a path's status mask. "Root" attributes
// apply only when the animated object is a root.
enum PATH_ATTRIBUTE : int {
    PATH_ATTR_SUSPEND_LINKAGE = 0,  // root
    PATH_ATTR_POSITION = 1,
    PATH_ATTR_ORIENTATION = 2,
    PATH_ATTR_COLOR = 3,
    PATH_ATTR_TRANSPARENCY = 4,
    PATH_ATTR_NAME_VIS = 5,
    PATH_ATTR_VIS = 6,
    PATH_ATTR_REFLECTIVITY = 7,
    PATH_ATTR_EMISSION = 8,
    PATH_ATTR_SPECULAR = 9,
    PATH_ATTR_SHININESS = 10,
    PATH_ATTR_AMBIENT = 11,
    PATH_ATTR_NOTE_NAME = 12,
    PATH_ATTR_NOTE_OFFSET = 13,
    PATH_ATTR_NOTE_LEADER = 14,
    PATH_ATTR_NOTE_FOREGROUND = 15,
    PATH_ATTR_NOTE_VISIBLE = 16,
    PATH_ATTR_NOTE_LINK = 17,
    PATH_ATTR_TEXTURE_NAME = 18,
    PATH_ATTR_TEXTURE_ACTIVE = 19,
    PATH_ATTR_TEXTURE_METHOD = 20,
    PATH_ATTR_TEXTURE_QUALITY = 21,
    PATH_ATTR_TEXTURE_TYPE = 22,
    PATH_ATTR_TEXTURE_SCALE = 23,
    PATH_ATTR_TEXTURE_POSITION = 24,
    PATH_ATTR_TEXTURE_ANGLE = 25,
    PATH_ATTR_TEXTURE_GRID_POSITION = 26,
    PATH_ATTR_TEXTURE_GRID_ORIENTATION = 27,
    PATH_ATTR_TEXTURE_GRID_SCALE = 28,
    PATH_ATTR_INTENSITY = 29,
    PATH_ATTR_EXPONENT = 30,
    PATH_ATTR_LIGHT_ANGLE = 31,
    PATH_ATTR_VIEW_ANGLE = 32,
    PATH_ATTR_ENV_TEXTCOLOR = 33,  // root
    PATH_ATTR_ENV_AMBIENT = 34,    // root
    PATH_ATTR_ENV_CLIP = 35,       // root
    PATH_ATTR_IOR = 36,
    PATH_ATTR_ROUGHNESS = 37,
    PATH_ATTR_METALLIC = 38,
    PATH_ATTR_SHADOW = 39,
    PATH_ATTR_GEOMETRY = 40,
    PATH_ATTR_COUNT = 41,
};

// One key frame: a complete snapshot of an object's animatable state. Copies duplicate the
// texture and note records.
class PathNode {
public:
    PathNode();
    PathNode(const PathNode &other);
    PathNode &operator=(const PathNode &other);
    virtual ~PathNode();

    QEL_VECT3 position{0.0f, 0.0f, 0.0f};
    QEL_QUAT orientation{0.0f, 0.0f, 0.0f, 1.0f};
    QEL_MATERIAL material;
    float intensity = 1.0f;
    float exponent = 1.0f;
    float light_angle = 45.0f;
    float view_angle = 45.0f;
    float env_ambient = 0.3f;
    QEL_COLOR env_textcolor{-1.0f, 0.0f, 0.0f};
    _obj_texture *texture = nullptr;  // owned; null until needed; its angle in radians
    _obj_note *note = nullptr;        // owned; its graphics note is never used
    int name_vis = 0;
    int vis = 0;
    int env_suspend_linkage = 0;
    int env_clip = 1;  // hundredths
    int gen_kind = 0;  // 0 none, 1 box, 2 cone, 3 cylinder, 4 sphere, 5 helix
    int gen_segments = 10;
    int gen_segments2 = 10;
    float gen_params[9] = {1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f};
    // Control points of the curved segment to the next node (computed for curved paths).
    QEL_VECT3 spline[4] = {};
    _path *owner = nullptr;
    // Index of the node's position among the path's distinct consecutive positions.
    int distinct = 0;

    // The texture / note record, made with its defaults when missing.
    _obj_texture &texture_record();
    _obj_note &note_record();
};
