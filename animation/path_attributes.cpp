// The attribute table: how each animatable attribute is captured from an object into a node,
// given back to the object, and compared between nodes.
//
// Attributes whose object setters are not part of the engine yet are captured from the
// object's record where it holds them and are not applied.
#include <kivctrl/path.h>

#include <kivctrl/geom_params.h>
#include <kivctrl/kiv_db.h>
#include <kivctrl/qel_msg.h>
#include <kivctrl/ve_env.h>
#include <kivctrl/ve_zoom.h>

#include "animation/path_internal.h"

#include <cstdlib>
#include <cstring>

namespace {

bool is_root(_object *o)
{
    return o->type == OBJ_ROOT;
}

bool same_color(const QEL_COLOR &a, const QEL_COLOR &b)
{
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

bool same_vect(const QEL_VECT3 &a, const QEL_VECT3 &b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

bool same_text(const char *a, const char *b)
{
    if (!a || !b)
        return a == b;
    return std::strcmp(a, b) == 0;
}

void set_text(char *&slot, const char *s)
{
    char *c = nullptr;
    if (s) {
        const std::size_t n = std::strlen(s) + 1;
        c = static_cast<char *>(std::malloc(n));
        if (c)
            std::memcpy(c, s, n);
    }
    std::free(slot);
    slot = c;
}

// Note attributes of nodes without a note record compare as those of a fresh record.
bool note_differs(const PathNode &a, const PathNode &b, int i)
{
    static const _obj_note fresh;
    const _obj_note &x = a.note ? *a.note : fresh;
    const _obj_note &y = b.note ? *b.note : fresh;
    switch (i) {
    case PATH_ATTR_NOTE_NAME:
        return !same_text(x.name, y.name);
    case PATH_ATTR_NOTE_OFFSET:
        return x.offset.x != y.offset.x || x.offset.y != y.offset.y;
    case PATH_ATTR_NOTE_LEADER:
        return x.leader != y.leader;
    case PATH_ATTR_NOTE_FOREGROUND:
        return x.foreground != y.foreground;
    case PATH_ATTR_NOTE_VISIBLE:
        return x.visible != y.visible;
    default:
        return !same_text(x.link, y.link);
    }
}

bool same_quat(const QEL_QUAT &a, const QEL_QUAT &b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z && a.w == b.w;
}

bool texture_differs(const PathNode &a, const PathNode &b, int i)
{
    static const _obj_texture fresh;
    const _obj_texture &x = a.texture ? *a.texture : fresh;
    const _obj_texture &y = b.texture ? *b.texture : fresh;
    switch (i) {
    case PATH_ATTR_TEXTURE_NAME:
        return !same_text(x.name, y.name);
    case PATH_ATTR_TEXTURE_ACTIVE:
        return x.active != y.active;
    case PATH_ATTR_TEXTURE_METHOD:
        return x.method != y.method;
    case PATH_ATTR_TEXTURE_QUALITY:
        return x.quality != y.quality;
    case PATH_ATTR_TEXTURE_TYPE:
        return x.type != y.type;
    case PATH_ATTR_TEXTURE_SCALE:
        return x.scale.x != y.scale.x || x.scale.y != y.scale.y;
    case PATH_ATTR_TEXTURE_POSITION:
        return x.position.x != y.position.x || x.position.y != y.position.y;
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

void capture_geometry(PathNode &n, _object *o)
{
    const auto *g = static_cast<const _geom_params *>(o->vars.getvalue("_GEOM_PARAMS"));
    if (!g) {
        n.gen_kind = 0;
        return;
    }
    n.gen_kind = g->kind;
    n.gen_segments = g->segments;
    n.gen_segments2 = g->segments2;
    std::memcpy(n.gen_params, g->p, sizeof n.gen_params);
}

void apply_geometry(const PathNode &n, _object *o)
{
    const float *p = n.gen_params;
    switch (n.gen_kind) {
    case 1:
        obj_create_box(o, p[0], p[1], p[2]);
        break;
    case 2:
        obj_create_cone(o, p[0], p[1], n.gen_segments);
        break;
    case 3:
        obj_create_cylinder(o, p[0], p[1], n.gen_segments);
        break;
    case 4:
        obj_create_sphere(o, p[0], n.gen_segments);
        break;
    case 5:
        obj_create_helix(o, p[0], p[1], p[2], p[3], n.gen_segments, n.gen_segments2);
        break;
    default:
        break;
    }
}

}  // namespace

void pathnode_capture(PathNode &n, int i, _object *o)
{
    if (!o)
        return;
    if ((i == PATH_ATTR_SUSPEND_LINKAGE || (i >= PATH_ATTR_ENV_TEXTCOLOR && i <= PATH_ATTR_ENV_CLIP)) &&
        !is_root(o))
        return;
    QEL_MATERIAL &m = n.material;
    switch (i) {
    case PATH_ATTR_SUSPEND_LINKAGE:
        n.env_suspend_linkage = env_get_global_suspend_linkages();
        break;
    case PATH_ATTR_POSITION:
        obj_get_pos(o, n.position, FRAME_PARENT);
        break;
    case PATH_ATTR_ORIENTATION:
        obj_get_orient(o, n.orientation, FRAME_PARENT);
        break;
    case PATH_ATTR_COLOR:
        obj_get_color(o, m.diffuse, m.level[QEL_MATERIAL::DIFFUSE]);
        break;
    case PATH_ATTR_TRANSPARENCY:
        m.transparency = o->material.transparency;
        m.level[QEL_MATERIAL::TRANSPARENCY] = o->material.level[QEL_MATERIAL::TRANSPARENCY];
        break;
    case PATH_ATTR_NAME_VIS:
        n.name_vis = o->name_vis;
        break;
    case PATH_ATTR_VIS:
        n.vis = o->vis;
        break;
    case PATH_ATTR_REFLECTIVITY:
        m.reflectivity = o->material.reflectivity;
        break;
    case PATH_ATTR_EMISSION:
        m.emission = o->material.emission;
        break;
    case PATH_ATTR_SPECULAR:
        m.specular = o->material.specular;
        break;
    case PATH_ATTR_SHININESS:
        m.shininess = o->material.shininess;
        break;
    case PATH_ATTR_AMBIENT:
        m.ambient = o->material.ambient;
        break;
    case PATH_ATTR_NOTE_NAME:
        if (o->note || n.note)
            set_text(n.note_record().name, obj_get_notename(o));
        break;
    case PATH_ATTR_VIEW_ANGLE:
        if (o->type == OBJ_VIEWPOINT)
            n.view_angle = obj_get_viewangle(o);
        break;
    case PATH_ATTR_ENV_TEXTCOLOR:
        n.env_textcolor = env_get_textcolor();
        break;
    case PATH_ATTR_ENV_AMBIENT:
        n.env_ambient = env_get_ambient();
        break;
    case PATH_ATTR_ENV_CLIP:
        n.env_clip = env_get_clip(0);
        break;
    case PATH_ATTR_IOR:
        m.ior = o->material.ior;
        break;
    case PATH_ATTR_ROUGHNESS:
        m.roughness = o->material.roughness;
        break;
    case PATH_ATTR_METALLIC:
        m.metallic = o->material.metallic;
        break;
    case PATH_ATTR_SHADOW:
        m.shadow = o->material.shadow;
        break;
    case PATH_ATTR_GEOMETRY:
        capture_geometry(n, o);
        break;
    default:
        break;
    }
}

void pathnode_apply(const PathNode &n, int i, _object *o)
{
    if (!o)
        return;
    if ((i == PATH_ATTR_SUSPEND_LINKAGE || (i >= PATH_ATTR_ENV_TEXTCOLOR && i <= PATH_ATTR_ENV_CLIP)) &&
        !is_root(o))
        return;
    switch (i) {
    case PATH_ATTR_SUSPEND_LINKAGE:
        env_set_global_suspend_linkages(n.env_suspend_linkage);
        break;
    case PATH_ATTR_POSITION:
        obj_set_pos(o, n.position, FRAME_PARENT);
        break;
    case PATH_ATTR_ORIENTATION:
        obj_set_orient(o, n.orientation, FRAME_PARENT);
        break;
    case PATH_ATTR_COLOR:
        obj_set_color(o, n.material.diffuse, ATTR_DEFAULT_LEVEL);
        break;
    case PATH_ATTR_NOTE_NAME:
        if (n.note)
            obj_set_notename(o, n.note->name, 0);
        break;
    case PATH_ATTR_VIEW_ANGLE:
        if (o->type == OBJ_VIEWPOINT)
            obj_set_viewangle(o, n.view_angle);
        break;
    case PATH_ATTR_ENV_TEXTCOLOR:
        env_set_textcolor(n.env_textcolor);
        break;
    case PATH_ATTR_ENV_AMBIENT:
        env_set_ambient(n.env_ambient);
        break;
    case PATH_ATTR_ENV_CLIP:
        env_set_clip(static_cast<float>(n.env_clip) * 0.01f, 0);
        break;
    case PATH_ATTR_GEOMETRY:
        apply_geometry(n, o);
        break;
    default:
        break;
    }
}

void pathnode_capture_all(PathNode &n, _object *o)
{
    for (int i = 0; i < PATH_ATTR_COUNT; ++i)
        pathnode_capture(n, i, o);
}

void path_apply_state(_path *p, const PathNode &n, _object *o)
{
    if (!p || !o)
        return;
    const int count = p->get_statusCount();
    for (int i = 0; i < count; ++i) {
        if (p->get_status(i))
            pathnode_apply(n, i, o);
    }
    msg_send(MSG_OBJ_PATHNODE_APPLIED, o, 0);
}

namespace kiv::anim {

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
