// Colour and material setters: store the value with its level, then hand it to the graphics
// objects that show it.
#include <kivctrl/obj_attr.h>

#include <kivctrl/gs_universe.h>
#include <kivctrl/gsobject.h>
#include <kivctrl/kiv_db.h>
#include <kivctrl/ve_env.h>

#include "database/attr_levels.h"
#include "database/subtree_walk.h"
#include "environment/binding_internal.h"

#include <cmath>
#include <vector>

namespace {

// The three-valued setters share their shape: store, resolve the level, push.
template <typename Push>
int set_material(_object *o, QEL_COLOR QEL_MATERIAL::*field, int slot, const QEL_COLOR &c,
                 int level, Push push)
{
    if (!o)
        return 101;
    o->material.*field = c;
    o->material.level[slot] = kiv::db::material_level(o, level);
    for (GSobject *g : kiv::env::material_nodes(o))
        push(g, c, o->material.level[slot]);
    return 0;
}

}  // namespace

namespace kiv::env {

int apply_color(_object *o)
{
    const QEL_COLOR &c = o->color;
    switch (o->type) {
    case OBJ_ROOT: {
        const QEL_COLOR bg = c.r != -1.0f ? c : env_get_bgcolor();
        GSuniverse_setbgcolor(bg.r, bg.g, bg.b);
        return 0;
    }
    case OBJ_GROUP:
        db_walk_subtree(o, [o](_object *x) {
            if (x == o || x->type == OBJ_GROUP) {
                if (x->gsobject)
                    kiv::env::push_color_to(x->gsobject, x);
            } else {
                apply_color(x);
            }
            return true;
        });
        return 0;
    case OBJ_OBJECT:
    case OBJ_FACE:
        for (GSobject *g : kiv::env::material_nodes(o))
            kiv::env::push_color_to(g, o);
        return 0;
    case OBJ_LIGHT:
        if (auto *light = static_cast<GSlight *>(o->gslight)) {
            if (c.r == -1.0f)
                GSlight_setcolor(light, 1.0f, 1.0f, 1.0f);
            else
                GSlight_setcolor(light, c.r, c.g, c.b);
        }
        return 0;
    case OBJ_VIEWPOINT:
        return 0;
    default:
        return 105;
    }
}

}  // namespace kiv::env

int obj_set_color(_object *o, float r, float g, float b, int level)
{
    return obj_set_color(o, QEL_COLOR{r, g, b}, level);
}

int obj_set_color(_object *o, const QEL_COLOR &c, int level)
{
    if (!o)
        return 101;
    kiv::db::store_color(o, c, level);
    return kiv::env::apply_color(o);
}

int obj_set_specular(_object *o, const QEL_COLOR &c, int level)
{
    return set_material(o, &QEL_MATERIAL::specular, QEL_MATERIAL::SPECULAR, c, level,
                        [](GSobject *g, const QEL_COLOR &v, int l) {
                            GSobject_setspecular(g, v.r, v.g, v.b, l);
                        });
}

int obj_set_specular(_object *o, float r, float g, float b, int level)
{
    return obj_set_specular(o, QEL_COLOR{r, g, b}, level);
}

int obj_set_emission(_object *o, const QEL_COLOR &c, int level)
{
    return set_material(o, &QEL_MATERIAL::emission, QEL_MATERIAL::EMISSION, c, level,
                        [](GSobject *g, const QEL_COLOR &v, int l) {
                            GSobject_setemission(g, v.r, v.g, v.b, l);
                        });
}

int obj_set_emission(_object *o, float r, float g, float b, int level)
{
    return obj_set_emission(o, QEL_COLOR{r, g, b}, level);
}

int obj_set_ambient(_object *o, const QEL_COLOR &c, int level)
{
    return set_material(o, &QEL_MATERIAL::ambient, QEL_MATERIAL::AMBIENT, c, level,
                        [](GSobject *g, const QEL_COLOR &v, int l) {
                            GSobject_setambient(g, v.r, v.g, v.b, l);
                        });
}

int obj_set_shininess(_object *o, float s, int level)
{
    if (!o)
        return 101;
    QEL_MATERIAL &m = o->material;
    m.shininess = s;
    m.level[QEL_MATERIAL::SHININESS] = kiv::db::material_level(o, level);
    for (GSobject *g : kiv::env::material_nodes(o))
        GSobject_setshininess(g, s, m.level[QEL_MATERIAL::SHININESS]);
    return 0;
}

int obj_set_transparency(_object *o, float t, int level)
{
    if (!o)
        return 101;
    // An opacity outside 0..1 would put an opaque object in the transparent pass.
    if (!(t >= 0.0f && t <= 1.0f))
        return 1;
    QEL_MATERIAL &m = o->material;
    m.transparency = t;
    m.level[QEL_MATERIAL::TRANSPARENCY] = kiv::db::material_level(o, level);
    std::vector<GSobject *> nodes = kiv::env::material_nodes(o);
    if (o->type == OBJ_GROUP && o->gsobject)
        nodes.push_back(o->gsobject);
    for (GSobject *g : nodes)
        GSobject_settransparency(g, t, m.level[QEL_MATERIAL::TRANSPARENCY]);
    return 0;
}

int obj_set_rendering(_object *o, RENDER_MODE mode)
{
    if (!o)
        return 101;
    o->rendering = mode == 0 ? RENDER_SMOOTH : mode;
    if (o->type == OBJ_OBJECT || o->type == OBJ_FACE) {
        for (GSobject *g : kiv::env::geometry_nodes(o))
            GSobject_setrendering(g, kiv::env::rendering_code(o->rendering));
    }
    return 0;
}
