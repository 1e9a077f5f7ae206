// Pushing an object's colour and material into its graphics objects, and its visibility.
#include <kivctrl/gs_universe.h>
#include <kivctrl/gsobject.h>
#include <kivctrl/kiv_db.h>

#include "environment/binding_internal.h"

namespace kiv::env {

namespace {

void push_to(GSobject *g, _object *o)
{
    const QEL_MATERIAL &m = o->material;
    push_color_to(g, o);
    GSobject_setspecular(g, m.specular.r, m.specular.g, m.specular.b,
                         m.level[QEL_MATERIAL::SPECULAR]);
    GSobject_setshininess(g, m.shininess, m.level[QEL_MATERIAL::SHININESS]);
    GSobject_settransparency(g, m.transparency, m.level[QEL_MATERIAL::TRANSPARENCY]);
    GSobject_setemission(g, m.emission.r, m.emission.g, m.emission.b,
                         m.level[QEL_MATERIAL::EMISSION]);
    if (o->type == OBJ_OBJECT)
        GSobject_setrendering(g, rendering_code(o->rendering));
}

}  // namespace

unsigned char rendering_code(int mode)
{
    // The graphics system counts modes from 0 (wire frame); anything else is its own.
    return static_cast<unsigned char>(mode >= 1 && mode <= 3 ? mode - 1 : 3);
}

void push_color_to(GSobject *g, _object *o)
{
    const QEL_COLOR &c = o->color;
    if (o->type == OBJ_GROUP) {
        // A group without a colour of its own lets its parts show what lies above it.
        if (c.r == -1.0f)
            GSobject_setcolor(g, -1.0f, -1.0f, -1.0f, -1);
        else
            GSobject_setcolor(g, c.r, c.g, c.b, o->color_level);
    } else if (c.r == -1.0f) {
        GSobject_setcolor(g, -1.0f, -1.0f, -1.0f, o->color_level);
    } else {
        GSobject_setcolor(g, c.r, c.g, c.b, o->color_level);
    }
}

std::vector<GSobject *> material_nodes(_object *o)
{
    if (o->type == OBJ_OBJECT || o->type == OBJ_FACE)
        return geometry_nodes(o);
    return {};
}

void push_material(_object *o)
{
    if (o->type == OBJ_GROUP) {
        if (GSobject *g = o->gsobject) {
            push_color_to(g, o);
            GSobject_settransparency(g, o->material.transparency,
                                     o->material.level[QEL_MATERIAL::TRANSPARENCY]);
        }
        return;
    }
    for (GSobject *g : material_nodes(o))
        push_to(g, o);
}

int refresh_visibility(_object *o)
{
    if (o->type != OBJ_OBJECT && o->type != OBJ_FACE)
        return 0;
    if (!o->gsobject)
        return o->active == 1 && o->type == OBJ_OBJECT ? 102 : 0;
    const bool active = o->active == 1;
    GSobject_setvisibility(o->gsobject, active && o->vis == 1);
    // A hidden active object stays findable as its envelope.
    GSobject_setdrawenvelope(o->gsobject, active && o->vis != 1);
    return 0;
}

}  // namespace kiv::env
