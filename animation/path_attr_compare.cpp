// Comparing two key nodes attribute by attribute: the editor sets the status bit of every
// attribute that differs between a recorded node and its neighbour.
#include <kivctrl/path.h>

#include "animation/path_internal.h"

#include <cstring>

namespace {

bool same_color(const QEL_COLOR &a, const QEL_COLOR &b)
{
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

bool same_vect(const QEL_VECT3 &a, const QEL_VECT3 &b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

bool same_vect(const QEL_VECT2 &a, const QEL_VECT2 &b)
{
    return a.x == b.x && a.y == b.y;
}

bool same_quat(const QEL_QUAT &a, const QEL_QUAT &b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z && a.w == b.w;
}

// Note attributes of nodes without a note record compare as those of a fresh record.
bool note_differs(const PathNode &a, const PathNode &b, int i)
{
    static const _obj_note fresh;
    const _obj_note &x = a.note ? *a.note : fresh;
    const _obj_note &y = b.note ? *b.note : fresh;
    switch (i) {
    case PATH_ATTR_NOTE_NAME:
        return !kiv::anim::same_text(x.name, y.name);
    case PATH_ATTR_NOTE_OFFSET:
        return !same_vect(x.offset, y.offset);
    case PATH_ATTR_NOTE_LEADER:
        return x.leader != y.leader;
    case PATH_ATTR_NOTE_FOREGROUND:
        return x.foreground != y.foreground;
    case PATH_ATTR_NOTE_VISIBLE:
        return x.visible != y.visible;
    default:
        return !kiv::anim::same_text(x.link, y.link);
    }
}

bool texture_differs(const PathNode &a, const PathNode &b, int i)
{
    static const _obj_texture fresh;
    const _obj_texture &x = a.texture ? *a.texture : fresh;
    const _obj_texture &y = b.texture ? *b.texture : fresh;
    switch (i) {
    case PATH_ATTR_TEXTURE_NAME:
        return !kiv::anim::same_text(x.name, y.name);
    case PATH_ATTR_TEXTURE_ACTIVE:
        return x.active != y.active;
    case PATH_ATTR_TEXTURE_METHOD:
        return x.method != y.method;
    case PATH_ATTR_TEXTURE_QUALITY:
        return x.quality != y.quality;
    case PATH_ATTR_TEXTURE_TYPE:
        return x.type != y.type;
    case PATH_ATTR_TEXTURE_SCALE:
        return !same_vect(x.scale, y.scale);
    case PATH_ATTR_TEXTURE_POSITION:
        return !same_vect(x.position, y.position);
    case PATH_ATTR_TEXTURE_ANGLE:
        return x.angle != y.angle;
    case PATH_ATTR_TEXTURE_GRID_POSITION:
        return !same_vect(x.grid_position, y.grid_position);
    case PATH_ATTR_TEXTURE_GRID_ORIENTATION:
        return !same_quat(x.grid_orientation, y.grid_orientation);
    default:
        return !same_vect(x.grid_scale, y.grid_scale);
    }
}

}  // namespace

namespace kiv::anim {

bool same_text(const char *a, const char *b)
{
    if (!a || !b)
        return a == b;
    return std::strcmp(a, b) == 0;
}

bool attribute_differs(const PathNode &a, const PathNode &b, int i)
{
    const QEL_MATERIAL &ma = a.material;
    const QEL_MATERIAL &mb = b.material;
    switch (i) {
    case PATH_ATTR_SUSPEND_LINKAGE:
        return a.env_suspend_linkage != b.env_suspend_linkage;
    case PATH_ATTR_POSITION:
        return !same_vect(a.position, b.position);
    case PATH_ATTR_ORIENTATION:
        return !same_quat(a.orientation, b.orientation);
    case PATH_ATTR_COLOR:
        return !same_color(ma.diffuse, mb.diffuse);
    case PATH_ATTR_TRANSPARENCY:
        return ma.transparency != mb.transparency;
    case PATH_ATTR_NAME_VIS:
        return a.name_vis != b.name_vis;
    case PATH_ATTR_VIS:
        return a.vis != b.vis;
    case PATH_ATTR_REFLECTIVITY:
        return ma.reflectivity != mb.reflectivity;
    case PATH_ATTR_EMISSION:
        return !same_color(ma.emission, mb.emission);
    case PATH_ATTR_SPECULAR:
        return !same_color(ma.specular, mb.specular);
    case PATH_ATTR_SHININESS:
        return ma.shininess != mb.shininess;
    case PATH_ATTR_AMBIENT:
        return !same_color(ma.ambient, mb.ambient);
    case PATH_ATTR_INTENSITY:
        return a.intensity != b.intensity;
    case PATH_ATTR_EXPONENT:
        return a.exponent != b.exponent;
    case PATH_ATTR_LIGHT_ANGLE:
        return a.light_angle != b.light_angle;
    case PATH_ATTR_VIEW_ANGLE:
        return a.view_angle != b.view_angle;
    case PATH_ATTR_ENV_TEXTCOLOR:
        return !same_color(a.env_textcolor, b.env_textcolor);
    case PATH_ATTR_ENV_AMBIENT:
        return a.env_ambient != b.env_ambient;
    case PATH_ATTR_ENV_CLIP:
        return a.env_clip != b.env_clip;
    case PATH_ATTR_IOR:
        return ma.ior != mb.ior;
    case PATH_ATTR_ROUGHNESS:
        return ma.roughness != mb.roughness;
    case PATH_ATTR_METALLIC:
        return ma.metallic != mb.metallic;
    case PATH_ATTR_SHADOW:
        return ma.shadow != mb.shadow;
    case PATH_ATTR_GEOMETRY:
        return a.gen_kind != b.gen_kind || a.gen_segments != b.gen_segments ||
               a.gen_segments2 != b.gen_segments2 ||
               std::memcmp(a.gen_params, b.gen_params, sizeof a.gen_params) != 0;
    default:
        if (i >= PATH_ATTR_NOTE_NAME && i <= PATH_ATTR_NOTE_LINK)
            return note_differs(a, b, i);
        if (i >= PATH_ATTR_TEXTURE_NAME && i <= PATH_ATTR_TEXTURE_GRID_SCALE)
            return texture_differs(a, b, i);
        return false;
    }
}

}  // namespace kiv::anim
