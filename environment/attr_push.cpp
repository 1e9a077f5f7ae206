// Pushing an object's colour and material into its graphics objects, and its visibility.
#include <kivctrl/gsobject.h>
#include <kivctrl/kiv_db.h>

#include "environment/binding_internal.h"

namespace kiv::env {

namespace {

void push_to(GSobject *g, _object *o)
{
    const QEL_MATERIAL &m = o->material;
    const QEL_COLOR &c = o->color;
    if (c.r == -1.0f)
        GSobject_setcolor(g, -1.0f, -1.0f, -1.0f, o->color_level);
    else
        GSobject_setcolor(g, c.r, c.g, c.b, o->color_level);
    GSobject_setspecular(g, m.specular.r, m.specular.g, m.specular.b,
                         m.level[QEL_MATERIAL::SPECULAR]);
    GSobject_setshininess(g, m.shininess, m.level[QEL_MATERIAL::SHININESS]);
    GSobject_settransparency(g, m.transparency, m.level[QEL_MATERIAL::TRANSPARENCY]);
    GSobject_setemission(g, m.emission.r, m.emission.g, m.emission.b,
                         m.level[QEL_MATERIAL::EMISSION]);
    if (o->type == OBJ_OBJECT) {
        // The graphics system counts modes from 0 (wire frame); anything else is its own.
        const int r = o->rendering;
        GSobject_setrendering(g, static_cast<unsigned char>(r >= 1 && r <= 3 ? r - 1 : 3));
    }
}

}  // namespace

void push_material(_object *o)
{
    if (o->type != OBJ_OBJECT && o->type != OBJ_FACE)
        return;
    for (GSobject *g : geometry_nodes(o))
        push_to(g, o);
}

void refresh_visibility(_object *o)
{
    if ((o->type != OBJ_OBJECT && o->type != OBJ_FACE) || !o->gsobject)
        return;
    GSobject_setvisibility(o->gsobject, o->active == 1 && o->vis == 1);
}

}  // namespace kiv::env
