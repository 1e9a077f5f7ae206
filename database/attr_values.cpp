// Material values, levels and the flags that are only stored: their setters and getters.
#include <kivctrl/obj_attr.h>

#include <kivctrl/kiv_db.h>

#include "database/attr_levels.h"

#include <atomic>

namespace kiv::db {

int material_level(const _object *o, int level)
{
    if (level != ATTR_DEFAULT_LEVEL)
        return level;
    return o->type == OBJ_FACE ? 200 : 100;
}

int color_level(const _object *o, float red, int level)
{
    if (level != ATTR_DEFAULT_LEVEL)
        return level;
    if (o->type != OBJ_FACE)
        return 100;
    return red >= 0.0f ? 200 : -200;
}

void store_color(_object *o, const QEL_COLOR &c, int level)
{
    o->color = c;
    o->color_level = color_level(o, c.r, level);
}

}  // namespace kiv::db

namespace {

std::atomic<int> dominant{1};

template <typename T>
int store(_object *o, T QEL_MATERIAL::*field, int slot, T value, int level)
{
    if (!o)
        return 101;
    o->material.*field = value;
    o->material.level[slot] = kiv::db::material_level(o, level);
    return 0;
}

template <typename T>
int fetch(_object *o, T QEL_MATERIAL::*field, int slot, T &value, int &level)
{
    if (!o)
        return 101;
    value = o->material.*field;
    level = o->material.level[slot];
    return 0;
}

int fetch3(_object *o, QEL_COLOR QEL_MATERIAL::*field, int slot, float &r, float &g, float &b,
           int &level)
{
    QEL_COLOR c{};
    const int rc = fetch(o, field, slot, c, level);
    if (rc == 0)
        r = c.r, g = c.g, b = c.b;
    return rc;
}

}  // namespace

int obj_get_color(_object *o, QEL_COLOR &c, int &level)
{
    if (!o)
        return 101;
    c = o->color;
    level = o->color_level;
    return 0;
}

int obj_get_color(_object *o, float &r, float &g, float &b, int &level)
{
    QEL_COLOR c{};
    const int rc = obj_get_color(o, c, level);
    if (rc == 0)
        r = c.r, g = c.g, b = c.b;
    return rc;
}

int obj_set_reflectivity(_object *o, float r, int level)
{
    return store(o, &QEL_MATERIAL::reflectivity, QEL_MATERIAL::REFLECTIVITY, r, level);
}

int obj_set_ior(_object *o, float ior, int level)
{
    return store(o, &QEL_MATERIAL::ior, QEL_MATERIAL::IOR, ior, level);
}

int obj_set_roughness(_object *o, float r, int level)
{
    return store(o, &QEL_MATERIAL::roughness, QEL_MATERIAL::ROUGHNESS, r, level);
}

int obj_set_metallic(_object *o, int m, int level)
{
    return store(o, &QEL_MATERIAL::metallic, QEL_MATERIAL::METALLIC, m, level);
}

int obj_set_shadow(_object *o, int s, int level)
{
    return store(o, &QEL_MATERIAL::shadow, QEL_MATERIAL::SHADOW, s, level);
}

int obj_get_specular(_object *o, QEL_COLOR &c, int &level)
{
    return fetch(o, &QEL_MATERIAL::specular, QEL_MATERIAL::SPECULAR, c, level);
}

int obj_get_specular(_object *o, float &r, float &g, float &b, int &level)
{
    return fetch3(o, &QEL_MATERIAL::specular, QEL_MATERIAL::SPECULAR, r, g, b, level);
}

int obj_get_emission(_object *o, QEL_COLOR &c, int &level)
{
    return fetch(o, &QEL_MATERIAL::emission, QEL_MATERIAL::EMISSION, c, level);
}

int obj_get_emission(_object *o, float &r, float &g, float &b, int &level)
{
    return fetch3(o, &QEL_MATERIAL::emission, QEL_MATERIAL::EMISSION, r, g, b, level);
}

int obj_get_ambient(_object *o, QEL_COLOR &c, int &level)
{
    return fetch(o, &QEL_MATERIAL::ambient, QEL_MATERIAL::AMBIENT, c, level);
}

#define KIV_FLOAT_MATERIAL_GET(fn, field, slot)                                                \
    float fn(_object *o, int &level)                                                           \
    {                                                                                          \
        level = o->material.level[QEL_MATERIAL::slot];                                         \
        return o->material.field;                                                              \
    }                                                                                          \
    int fn(_object *o, float &value, int &level)                                               \
    {                                                                                          \
        return fetch(o, &QEL_MATERIAL::field, QEL_MATERIAL::slot, value, level);               \
    }

KIV_FLOAT_MATERIAL_GET(obj_get_shininess, shininess, SHININESS)
KIV_FLOAT_MATERIAL_GET(obj_get_transparency, transparency, TRANSPARENCY)
KIV_FLOAT_MATERIAL_GET(obj_get_reflectivity, reflectivity, REFLECTIVITY)
KIV_FLOAT_MATERIAL_GET(obj_get_ior, ior, IOR)
KIV_FLOAT_MATERIAL_GET(obj_get_roughness, roughness, ROUGHNESS)

#undef KIV_FLOAT_MATERIAL_GET

int obj_get_metallic(_object *o, int &m, int &level)
{
    return fetch(o, &QEL_MATERIAL::metallic, QEL_MATERIAL::METALLIC, m, level);
}

int obj_get_shadow(_object *o, int &s, int &level)
{
    return fetch(o, &QEL_MATERIAL::shadow, QEL_MATERIAL::SHADOW, s, level);
}

#define KIV_CHECKED_GET(T, fn, expr)                                                           \
    T fn(_object *o) { return (expr); }                                                        \
    int fn(_object *o, T &out)                                                                 \
    {                                                                                          \
        if (!o)                                                                                \
            return 101;                                                                        \
        out = (expr);                                                                          \
        return 0;                                                                              \
    }

KIV_CHECKED_GET(RENDER_MODE, obj_get_rendering, o->rendering)
KIV_CHECKED_GET(int, obj_get_vis, o->vis)
KIV_CHECKED_GET(int, obj_get_active, o->active)
KIV_CHECKED_GET(int, obj_get_cull, o->cull)
KIV_CHECKED_GET(int, obj_get_name_vis, o->name_vis)

#undef KIV_CHECKED_GET

void obj_set_dominant(int d)
{
    dominant = d;
}

int obj_get_dominant()
{
    return dominant;
}
