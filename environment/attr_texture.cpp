// Textures of objects, and the backdrop of the window on the root: the record's setters and
// getters, and handing image and fields to the graphics objects.
#include <kivctrl/obj_attr.h>

#include <kivctrl/gs_texture.h>
#include <kivctrl/gs_universe.h>
#include <kivctrl/gsobject.h>
#include <kivctrl/kiv_db.h>
#include <kivctrl/qel_locate.h>
#include <kivctrl/qel_msg.h>
#include <kivctrl/qel_pathname.h>

#include "database/db_string.h"
#include "environment/binding_internal.h"

#include <cmath>
#include <cstring>
#include <numbers>

namespace {

using kiv::db::replace_string;

constexpr float kDegreesPerRadian = 180.0f / std::numbers::pi_v<float>;

bool textured(const _object *o)
{
    return o->type == OBJ_OBJECT || o->type == OBJ_FACE;
}

// Every geometry node of a part or face is given the image; a node that refuses it makes
// the locate procedure look for the file, whose path then serves the later nodes too.
void apply_image(_object *o)
{
    _obj_texture *t = o->texture;
    if (o->type == OBJ_ROOT) {
        if (!GSuniverse_setbackdrop(t->name) && t->name && *t->name) {
            char path[QEL_PATH_MAX] = "";
            std::strncpy(path, t->name, QEL_PATH_MAX - 1);
            if (msg_locate(path, MSG_LOCATE_BACKDROP, nullptr,
                           [](const char *p) { return GSuniverse_setbackdrop(p); }))
                replace_string(t->name, path);
        }
        return;
    }
    if (!textured(o))
        return;
    for (GSobject *g : kiv::env::geometry_nodes(o)) {
        if (GSobject_settexture(g, t->name) || !t->name || !*t->name)
            continue;
        char path[QEL_PATH_MAX] = "";
        std::strncpy(path, t->name, QEL_PATH_MAX - 1);
        if (msg_locate(path, MSG_LOCATE_TEXTURE, o->name,
                       [g](const char *p) { return GSobject_settexture(g, p); }))
            replace_string(t->name, path);
    }
}

template <typename Push>
void each_node(_object *o, Push push)
{
    if (!textured(o))
        return;
    for (GSobject *g : kiv::env::geometry_nodes(o))
        push(g, *o->texture);
}

void push_fields(GSobject *g, const _obj_texture &t)
{
    const float scale[2] = {t.scale.x, t.scale.y};
    const float pos[2] = {t.position.x, t.position.y};
    const float grid_scale[3] = {t.grid_scale.x, t.grid_scale.y, t.grid_scale.z};
    const float grid_pos[3] = {t.grid_position.x, t.grid_position.y, t.grid_position.z};
    float grid_q[4];
    t.grid_orientation.to4(grid_q);
    GSobject_settexturemethod(g, t.method);
    GSobject_settexturequality(g, t.quality);
    GSobject_settexturetype(g, t.type);
    GSobject_settexturescale(g, scale);
    GSobject_settexturepos(g, pos);
    GSobject_settextureorient(g, t.angle);
    GSobject_settexturegridscale(g, grid_scale);
    GSobject_settexturegridpos(g, grid_pos);
    GSobject_settexturegridorient(g, grid_q);
    GSobject_settextureactive(g, t.active);
}

// The root's record describes the backdrop: shown, tiled, and justified by method and quality.
void push_backdrop(const _obj_texture &t)
{
    GSuniverse_setbackdropactive(t.active != 0);
    GSuniverse_setbackdroptile(t.type != 0);
    GSuniverse_setbackdrophorizjustify(t.method);
    GSuniverse_setbackdropvertjustify(t.quality);
}

void apply_fields(_object *o)
{
    if (o->type == OBJ_ROOT)
        push_backdrop(*o->texture);
    else
        each_node(o, push_fields);
}

_obj_texture *record(_object *o)
{
    return o ? o->texture : nullptr;
}

// Stores one field through set and pushes it through push (each node, or the backdrop).
template <typename Set, typename Push>
int set_field(_object *o, Set set, Push push, short message = 0)
{
    if (!record(o))
        return 101;
    set(*o->texture);
    if (o->type == OBJ_ROOT)
        push_backdrop(*o->texture);
    else
        each_node(o, push);
    if (message)
        msg_send(message, o, 0);
    return 0;
}

}  // namespace

namespace kiv::env {

void refresh_texture(_object *o)
{
    if (!o->texture || (!textured(o) && o->type != OBJ_ROOT))
        return;
    apply_image(o);
    apply_fields(o);
}

}  // namespace kiv::env

int obj_set_texturename(_object *o, const char *name)
{
    if (!o)
        return 101;
    if (!name) {
        if (o->texture) {
            kiv::db::free_string(o->texture->name);
            apply_image(o);
            delete o->texture;
            o->texture = nullptr;
        }
        return 0;
    }
    if (!o->texture) {
        o->texture = new _obj_texture;
        if (o->gsobject) {
            float m[3];
            GSobject_getmidpoint(o->gsobject, m);
            o->texture->grid_position = QEL_VECT3(m[0], m[1], m[2]);
        }
    }
    if ((!o->texture->name || std::strcmp(o->texture->name, name) != 0) &&
        !replace_string(o->texture->name, name))
        return 103;
    // The graphics objects take the fields only once they hold the image.
    kiv::env::refresh_texture(o);
    return 0;
}

int obj_set_texturemethod(_object *o, int method)
{
    return set_field(
        o, [method](_obj_texture &t) { t.method = method; },
        [](GSobject *g, const _obj_texture &t) { GSobject_settexturemethod(g, t.method); });
}

int obj_set_texturequality(_object *o, int quality)
{
    return set_field(
        o, [quality](_obj_texture &t) { t.quality = quality; },
        [](GSobject *g, const _obj_texture &t) { GSobject_settexturequality(g, t.quality); });
}

int obj_set_texturetype(_object *o, int type)
{
    return set_field(
        o, [type](_obj_texture &t) { t.type = type; },
        [](GSobject *g, const _obj_texture &t) { GSobject_settexturetype(g, t.type); });
}

int obj_set_textureactive(_object *o, int active)
{
    return set_field(
        o, [active](_obj_texture &t) { t.active = active; },
        [](GSobject *g, const _obj_texture &t) { GSobject_settextureactive(g, t.active); });
}

int obj_set_texturescale(_object *o, const QEL_VECT2 &scale)
{
    return set_field(
        o, [&scale](_obj_texture &t) { t.scale = scale; },
        [](GSobject *g, const _obj_texture &t) {
            const float s[2] = {t.scale.x, t.scale.y};
            GSobject_settexturescale(g, s);
        },
        MSG_TEX_SCALE);
}

int obj_set_texturepos(_object *o, const QEL_VECT2 &pos)
{
    return set_field(
        o, [&pos](_obj_texture &t) { t.position = pos; },
        [](GSobject *g, const _obj_texture &t) {
            const float p[2] = {t.position.x, t.position.y};
            GSobject_settexturepos(g, p);
        },
        MSG_TEX_POSITION);
}

int obj_set_textureangle(_object *o, float degrees)
{
    return set_field(
        o, [degrees](_obj_texture &t) { t.angle = degrees; },
        [](GSobject *g, const _obj_texture &t) { GSobject_settextureorient(g, t.angle); },
        MSG_TEX_ORIENTATION);
}

int obj_set_textureorient(_object *o, float radians)
{
    return obj_set_textureangle(o, radians * kDegreesPerRadian);
}

int obj_set_texturegridscale(_object *o, const QEL_VECT3 &scale)
{
    return set_field(
        o, [&scale](_obj_texture &t) { t.grid_scale = scale; },
        [](GSobject *g, const _obj_texture &t) {
            const float s[3] = {t.grid_scale.x, t.grid_scale.y, t.grid_scale.z};
            GSobject_settexturegridscale(g, s);
        },
        MSG_TEX_GRID_SCALE);
}

int obj_set_texturegridpos(_object *o, const QEL_VECT3 &pos)
{
    return set_field(
        o, [&pos](_obj_texture &t) { t.grid_position = pos; },
        [](GSobject *g, const _obj_texture &t) {
            const float p[3] = {t.grid_position.x, t.grid_position.y, t.grid_position.z};
            GSobject_settexturegridpos(g, p);
        },
        MSG_TEX_GRID_POSITION);
}

int obj_set_texturegridorient(_object *o, const QEL_QUAT &q)
{
    return set_field(
        o, [&q](_obj_texture &t) { t.grid_orientation = q; },
        [](GSobject *g, const _obj_texture &t) {
            float v[4];
            t.grid_orientation.to4(v);
            GSobject_settexturegridorient(g, v);
        },
        MSG_TEX_GRID_ORIENTATION);
}

int obj_set_texturegrideangles(_object *o, const QEL_VECT3 &degrees)
{
    QEL_QUAT q;
    q.from_eang(degrees);
    return obj_set_texturegridorient(o, q);
}

#define KIV_TEXTURE_GET(T, fn, field, absent)                                                  \
    T fn(_object *o) { return record(o) ? o->texture->field : absent; }                        \
    int fn(_object *o, T &out)                                                                 \
    {                                                                                          \
        if (!record(o))                                                                        \
            return 101;                                                                        \
        out = o->texture->field;                                                               \
        return 0;                                                                              \
    }

KIV_TEXTURE_GET(const char *, obj_get_texturename, name, nullptr)
KIV_TEXTURE_GET(int, obj_get_texturemethod, method, 0)
KIV_TEXTURE_GET(int, obj_get_texturequality, quality, 0)
KIV_TEXTURE_GET(int, obj_get_texturetype, type, 0)
KIV_TEXTURE_GET(int, obj_get_textureactive, active, 0)
KIV_TEXTURE_GET(QEL_VECT2, obj_get_texturescale, scale, (QEL_VECT2{0.0f, 0.0f}))
KIV_TEXTURE_GET(QEL_VECT2, obj_get_texturepos, position, (QEL_VECT2{0.0f, 0.0f}))
KIV_TEXTURE_GET(float, obj_get_textureangle, angle, 0.0f)
KIV_TEXTURE_GET(QEL_VECT3, obj_get_texturegridscale, grid_scale, (QEL_VECT3(0.0f, 0.0f, 0.0f)))
KIV_TEXTURE_GET(QEL_VECT3, obj_get_texturegridpos, grid_position, (QEL_VECT3(0.0f, 0.0f, 0.0f)))
KIV_TEXTURE_GET(QEL_QUAT, obj_get_texturegridorient, grid_orientation, (QEL_QUAT(0.0f, 0.0f, 0.0f, 1.0f)))

#undef KIV_TEXTURE_GET

float obj_get_textureorient(_object *o)
{
    return record(o) ? o->texture->angle / kDegreesPerRadian : 0.0f;
}

int obj_get_textureorient(_object *o, float &out)
{
    if (!record(o))
        return 101;
    out = o->texture->angle / kDegreesPerRadian;
    return 0;
}

QEL_VECT3 obj_get_texturegrideangles(_object *o)
{
    return record(o) ? o->texture->grid_orientation.to_eang() : QEL_VECT3(0.0f, 0.0f, 0.0f);
}

int obj_get_texturegrideangles(_object *o, QEL_VECT3 &out)
{
    if (!record(o))
        return 101;
    out = o->texture->grid_orientation.to_eang();
    return 0;
}
