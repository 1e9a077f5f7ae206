// The attribute table: how each animatable attribute is captured from an object into a node
// and given back to the object. Values go back through the object setters, so a played node
// reaches the graphics objects, sends the setters' messages and obeys their range checks.
#include <kivctrl/path.h>

#include <kivctrl/anim.h>
#include <kivctrl/geom_params.h>
#include <kivctrl/kiv_db.h>
#include <kivctrl/placement.h>
#include <kivctrl/qel_msg.h>
#include <kivctrl/qel_process.h>
#include <kivctrl/ve_env.h>
#include <kivctrl/ve_zoom.h>

#include "animation/path_internal.h"

#include <cstring>

namespace {

constexpr float kDegreesPerRadian = 57.29577951308232f;

bool is_root(_object *o)
{
    return o->type == OBJ_ROOT;
}

bool root_only(int i)
{
    return i == PATH_ATTR_SUSPEND_LINKAGE || (i >= PATH_ATTR_ENV_TEXTCOLOR && i <= PATH_ATTR_ENV_CLIP);
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

// An object without a note gives the values of a fresh record, so that a node recorded
// before the note existed plays back as "no note".
void capture_note(PathNode &n, int i, _object *o)
{
    if (!o->note && !n.note)
        return;
    static const _obj_note fresh;
    const _obj_note &src = o->note ? *o->note : fresh;
    _obj_note &dst = n.note_record();
    switch (i) {
    case PATH_ATTR_NOTE_NAME:
        kiv::anim::replace_text(dst.name, src.name);
        break;
    case PATH_ATTR_NOTE_OFFSET:
        dst.offset = src.offset;
        break;
    case PATH_ATTR_NOTE_LEADER:
        dst.leader = src.leader;
        break;
    case PATH_ATTR_NOTE_FOREGROUND:
        dst.foreground = src.foreground;
        break;
    case PATH_ATTR_NOTE_VISIBLE:
        dst.visible = src.visible;
        break;
    default:
        kiv::anim::replace_text(dst.link, src.link);
        break;
    }
}

void apply_note(const _obj_note &note, int i, _object *o)
{
    switch (i) {
    case PATH_ATTR_NOTE_NAME:
        // Playing never asks the user for a file: a missing image stays missing.
        obj_set_notename(o, note.name, 0);
        break;
    case PATH_ATTR_NOTE_OFFSET:
        obj_set_noteoffset(o, note.offset);
        break;
    case PATH_ATTR_NOTE_LEADER:
        obj_set_noteleader(o, note.leader);
        break;
    case PATH_ATTR_NOTE_FOREGROUND:
        obj_set_noteforeground(o, note.foreground);
        break;
    case PATH_ATTR_NOTE_VISIBLE:
        obj_set_notevisible(o, note.visible);
        break;
    default: {
        if (note.link && !kiv::anim::same_text(obj_get_notelink(o), note.link) &&
            path_get_autostate())
            qel_browseURL_and_wait(note.link);
        obj_set_notelink(o, note.link);
        break;
    }
    }
}

// The node's texture angle is kept in radians; the object's record keeps degrees.
void capture_texture(PathNode &n, int i, _object *o)
{
    if (!o->texture && !n.texture)
        return;
    static const _obj_texture fresh;
    const _obj_texture &src = o->texture ? *o->texture : fresh;
    _obj_texture &dst = n.texture_record();
    switch (i) {
    case PATH_ATTR_TEXTURE_NAME:
        kiv::anim::replace_text(dst.name, src.name);
        break;
    case PATH_ATTR_TEXTURE_ACTIVE:
        dst.active = src.active;
        break;
    case PATH_ATTR_TEXTURE_METHOD:
        dst.method = src.method;
        break;
    case PATH_ATTR_TEXTURE_QUALITY:
        dst.quality = src.quality;
        break;
    case PATH_ATTR_TEXTURE_TYPE:
        dst.type = src.type;
        break;
    case PATH_ATTR_TEXTURE_SCALE:
        dst.scale = src.scale;
        break;
    case PATH_ATTR_TEXTURE_POSITION:
        dst.position = src.position;
        break;
    case PATH_ATTR_TEXTURE_ANGLE:
        dst.angle = src.angle / kDegreesPerRadian;
        break;
    case PATH_ATTR_TEXTURE_GRID_POSITION:
        dst.grid_position = src.grid_position;
        break;
    case PATH_ATTR_TEXTURE_GRID_ORIENTATION:
        dst.grid_orientation = src.grid_orientation;
        break;
    default:
        dst.grid_scale = src.grid_scale;
        break;
    }
}

void apply_texture(const _obj_texture &t, int i, _object *o)
{
    switch (i) {
    case PATH_ATTR_TEXTURE_NAME:
        obj_set_texturename(o, t.name);
        break;
    case PATH_ATTR_TEXTURE_ACTIVE:
        obj_set_textureactive(o, t.active);
        break;
    case PATH_ATTR_TEXTURE_METHOD:
        obj_set_texturemethod(o, t.method);
        break;
    case PATH_ATTR_TEXTURE_QUALITY:
        obj_set_texturequality(o, t.quality);
        break;
    case PATH_ATTR_TEXTURE_TYPE:
        obj_set_texturetype(o, t.type);
        break;
    case PATH_ATTR_TEXTURE_SCALE:
        obj_set_texturescale(o, t.scale);
        break;
    case PATH_ATTR_TEXTURE_POSITION:
        obj_set_texturepos(o, t.position);
        break;
    case PATH_ATTR_TEXTURE_ANGLE:
        obj_set_textureorient(o, t.angle);
        break;
    case PATH_ATTR_TEXTURE_GRID_POSITION:
        obj_set_texturegridpos(o, t.grid_position);
        break;
    case PATH_ATTR_TEXTURE_GRID_ORIENTATION:
        obj_set_texturegridorient(o, t.grid_orientation);
        break;
    default:
        obj_set_texturegridscale(o, t.grid_scale);
        break;
    }
}

void capture_material(PathNode &n, int i, _object *o)
{
    QEL_MATERIAL &m = n.material;
    int *lv = m.level;
    switch (i) {
    case PATH_ATTR_COLOR:
        obj_get_color(o, m.diffuse, lv[QEL_MATERIAL::DIFFUSE]);
        break;
    case PATH_ATTR_TRANSPARENCY:
        obj_get_transparency(o, m.transparency, lv[QEL_MATERIAL::TRANSPARENCY]);
        break;
    case PATH_ATTR_REFLECTIVITY:
        obj_get_reflectivity(o, m.reflectivity, lv[QEL_MATERIAL::REFLECTIVITY]);
        break;
    case PATH_ATTR_EMISSION:
        obj_get_emission(o, m.emission, lv[QEL_MATERIAL::EMISSION]);
        break;
    case PATH_ATTR_SPECULAR:
        obj_get_specular(o, m.specular, lv[QEL_MATERIAL::SPECULAR]);
        break;
    case PATH_ATTR_SHININESS:
        obj_get_shininess(o, m.shininess, lv[QEL_MATERIAL::SHININESS]);
        break;
    case PATH_ATTR_AMBIENT:
        obj_get_ambient(o, m.ambient, lv[QEL_MATERIAL::AMBIENT]);
        break;
    case PATH_ATTR_IOR:
        obj_get_ior(o, m.ior, lv[QEL_MATERIAL::IOR]);
        break;
    case PATH_ATTR_ROUGHNESS:
        obj_get_roughness(o, m.roughness, lv[QEL_MATERIAL::ROUGHNESS]);
        break;
    case PATH_ATTR_METALLIC:
        obj_get_metallic(o, m.metallic, lv[QEL_MATERIAL::METALLIC]);
        break;
    default:
        obj_get_shadow(o, m.shadow, lv[QEL_MATERIAL::SHADOW]);
        break;
    }
}

// Colour always goes back at the default level; every other material value at the level
// the node holds for it.
void apply_material(const PathNode &n, int i, _object *o)
{
    const QEL_MATERIAL &m = n.material;
    const int *lv = m.level;
    switch (i) {
    case PATH_ATTR_COLOR:
        obj_set_color(o, m.diffuse, ATTR_DEFAULT_LEVEL);
        break;
    case PATH_ATTR_TRANSPARENCY:
        obj_set_transparency(o, m.transparency, lv[QEL_MATERIAL::TRANSPARENCY]);
        break;
    case PATH_ATTR_REFLECTIVITY:
        obj_set_reflectivity(o, m.reflectivity, lv[QEL_MATERIAL::REFLECTIVITY]);
        break;
    case PATH_ATTR_EMISSION:
        obj_set_emission(o, m.emission, lv[QEL_MATERIAL::EMISSION]);
        break;
    case PATH_ATTR_SPECULAR:
        obj_set_specular(o, m.specular, lv[QEL_MATERIAL::SPECULAR]);
        break;
    case PATH_ATTR_SHININESS:
        obj_set_shininess(o, m.shininess, lv[QEL_MATERIAL::SHININESS]);
        break;
    case PATH_ATTR_AMBIENT:
        obj_set_ambient(o, m.ambient, lv[QEL_MATERIAL::AMBIENT]);
        break;
    case PATH_ATTR_IOR:
        obj_set_ior(o, m.ior, lv[QEL_MATERIAL::IOR]);
        break;
    case PATH_ATTR_ROUGHNESS:
        obj_set_roughness(o, m.roughness, lv[QEL_MATERIAL::ROUGHNESS]);
        break;
    case PATH_ATTR_METALLIC:
        obj_set_metallic(o, m.metallic, lv[QEL_MATERIAL::METALLIC]);
        break;
    default:
        obj_set_shadow(o, m.shadow, lv[QEL_MATERIAL::SHADOW]);
        break;
    }
}

bool is_material(int i)
{
    switch (i) {
    case PATH_ATTR_COLOR:
    case PATH_ATTR_TRANSPARENCY:
    case PATH_ATTR_REFLECTIVITY:
    case PATH_ATTR_EMISSION:
    case PATH_ATTR_SPECULAR:
    case PATH_ATTR_SHININESS:
    case PATH_ATTR_AMBIENT:
    case PATH_ATTR_IOR:
    case PATH_ATTR_ROUGHNESS:
    case PATH_ATTR_METALLIC:
    case PATH_ATTR_SHADOW:
        return true;
    default:
        return false;
    }
}

bool is_note(int i)
{
    return i >= PATH_ATTR_NOTE_NAME && i <= PATH_ATTR_NOTE_LINK;
}

bool is_texture(int i)
{
    return i >= PATH_ATTR_TEXTURE_NAME && i <= PATH_ATTR_TEXTURE_GRID_SCALE;
}

}  // namespace

void pathnode_capture(PathNode &n, int i, _object *o)
{
    if (!o || (root_only(i) && !is_root(o)))
        return;
    if (is_material(i))
        return capture_material(n, i, o);
    if (is_note(i))
        return capture_note(n, i, o);
    if (is_texture(i))
        return capture_texture(n, i, o);
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
    case PATH_ATTR_NAME_VIS:
        obj_get_name_vis(o, n.name_vis);
        break;
    case PATH_ATTR_VIS:
        obj_get_vis(o, n.vis);
        break;
    case PATH_ATTR_INTENSITY:
        if (o->type == OBJ_LIGHT)
            obj_get_intensity(o, n.intensity);
        break;
    case PATH_ATTR_EXPONENT:
        if (o->type == OBJ_LIGHT)
            obj_get_exponent(o, n.exponent);
        break;
    case PATH_ATTR_LIGHT_ANGLE:
        if (o->type == OBJ_LIGHT)
            obj_get_angle(o, n.light_angle);
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
    case PATH_ATTR_GEOMETRY:
        capture_geometry(n, o);
        break;
    default:
        break;
    }
}

void pathnode_apply(const PathNode &n, int i, _object *o)
{
    if (!o || (root_only(i) && !is_root(o)))
        return;
    if (is_material(i))
        return apply_material(n, i, o);
    if (is_note(i)) {
        if (n.note)
            apply_note(*n.note, i, o);
        return;
    }
    if (is_texture(i)) {
        if (n.texture)
            apply_texture(*n.texture, i, o);
        return;
    }
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
    case PATH_ATTR_NAME_VIS:
        obj_set_name_vis(o, n.name_vis);
        break;
    case PATH_ATTR_VIS:
        obj_set_vis(o, n.vis);
        break;
    case PATH_ATTR_INTENSITY:
        obj_set_intensity(o, n.intensity);
        break;
    case PATH_ATTR_EXPONENT:
        obj_set_exponent(o, n.exponent);
        break;
    case PATH_ATTR_LIGHT_ANGLE:
        obj_set_angle(o, n.light_angle);
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
