// Attribute nodes and display switches of graphics objects.
#include "graphics/gs_object.h"

#include "graphics/gs_seams.h"

namespace {

constexpr int kAssemblyType = 3;  // internal objecttype of assembly nodes

ADT_Object *as_object(GSobject *obj)
{
    return obj && obj->kind() == GS_KIND_OBJECT ? static_cast<ADT_Object *>(obj) : nullptr;
}

GSopacityapplier applier_for(const GSobject *obj)
{
    if (obj->kind() == GS_KIND_FACE) return GSopacityapplier::face;
    return static_cast<const ADT_Object *>(obj)->objecttype == kAssemblyType ? GSopacityapplier::assembly
                                                                            : GSopacityapplier::object;
}

void set_values(GSobject *obj, int kind, int priority, float a, float b, float c, float d)
{
    if (!obj) return;
    if (GSattribute *n = obj->setattribute(kind, priority)) {
        n->value[0] = a;
        n->value[1] = b;
        n->value[2] = c;
        n->value[3] = d;
        if (kind == GS_ATTR_TRANSPARENCY) n->applier = applier_for(obj);
    }
    gs_mark_changed();
}

// Internal objecttype codes by API value, and back.
const int kInternalType[8] = {1, 3, 6, 4, 5, 7, 8, 2};

}  // namespace

void GSobject_setcolor(GSobject *obj, float r, float g, float b, int priority)
{
    set_values(obj, GS_ATTR_COLOR, priority, r, g, b, 0.0f);
}

void GSobject_setcolor(GSobject *obj, GScolorRGB &c, int priority)
{
    GSobject_setcolor(obj, c.r, c.g, c.b, priority);
}

GScolorRGB GSobject_getcolor(GSobject *obj)
{
    const GSattribute *n = obj ? obj->attribute(GS_ATTR_COLOR) : nullptr;
    if (!n) return {-1.0f, 0.0f, 0.0f};
    return {n->value[0], n->value[1], n->value[2]};
}

bool GSobject_colorexists(GSobject *obj)
{
    return obj && obj->attribute(GS_ATTR_COLOR);
}

void GSobject_setspecular(GSobject *obj, float r, float g, float b, int priority)
{
    set_values(obj, GS_ATTR_SPECULAR, priority, r, g, b, 1.0f);
}

void GSobject_setshininess(GSobject *obj, float exponent, int priority)
{
    set_values(obj, GS_ATTR_SHININESS, priority, exponent, 0.0f, 0.0f, 0.0f);
}

void GSobject_settransparency(GSobject *obj, float opacity, int priority)
{
    set_values(obj, GS_ATTR_TRANSPARENCY, priority, opacity, 0.0f, 0.0f, 0.0f);
}

void GSobject_setemission(GSobject *obj, float r, float g, float b, int priority)
{
    set_values(obj, GS_ATTR_EMISSION, priority, r, g, b, 1.0f);
}

void GSobject_setambient(GSobject *, float, float, float, int) {}

void GSobject_setreflectivity(GSobject *, float, int) {}

void GSobject_setbothsides(GSobject *obj, bool on)
{
    if (!obj) return;
    obj->setattribute(GS_ATTR_BOTHSIDES, 100)->on = on;
    gs_mark_changed();
}

void GSobject_highlight(GSobject *obj, int slot)
{
    if (!obj) return;
    const unsigned bit = 1u << (static_cast<unsigned>(slot) % 32u);
    if (GSattribute *n = obj->attribute(GS_ATTR_HIGHLIGHT)) n->mask |= bit;
    else obj->setattribute(GS_ATTR_HIGHLIGHT, 100)->mask = bit;
    gs_mark_changed();
}

void GSobject_dehighlight(GSobject *obj, int slot)
{
    if (!obj) return;
    if (obj->kind() == GS_KIND_FACE) {
        // The face shows its parent's highlight again.
        obj->setattribute(GS_ATTR_HIGHLIGHT, -1);
    } else if (GSattribute *n = obj->attribute(GS_ATTR_HIGHLIGHT)) {
        // The node stays, still overriding an enclosing highlight.
        n->mask &= ~(1u << (static_cast<unsigned>(slot) % 32u));
    }
    gs_mark_changed();
}

void GSobject_dehighlightall(GSobject *obj)
{
    if (!obj) return;
    if (obj->kind() == GS_KIND_FACE) obj->setattribute(GS_ATTR_HIGHLIGHT, -1);
    else if (GSattribute *n = obj->attribute(GS_ATTR_HIGHLIGHT)) n->mask = 0;
    gs_mark_changed();
}

void GSobject_setrendering(GSobject *obj, unsigned char r)
{
    if (ADT_Object *o = as_object(obj)) {
        o->rendering = r == 0 ? 1 : r == 1 ? 2 : 3;
        gs_mark_changed();
    }
}

void GSobject_setvisibility(GSobject *obj, bool visible)
{
    ADT_Object *o = as_object(obj);
    if (!o || o->visible == visible) return;
    o->visible = visible;
    gs_mark_changed();
}

bool GSobject_getvisibility(GSobject *obj)
{
    const ADT_Object *o = obj ? obj->placed() : nullptr;
    return o && o->visible;
}

void GSobject_setdrawenvelope(GSobject *obj, bool on)
{
    if (ADT_Object *o = as_object(obj)) {
        o->drawenvelope = on;
        gs_mark_changed();
    }
}

void GSobject_setoverrideenvelope(GSobject *obj, bool on)
{
    if (ADT_Object *o = as_object(obj)) {
        o->overrideenvelope = on;
        gs_mark_changed();
    }
}

void GSobject_setdrawtext(GSobject *obj, bool on)
{
    if (ADT_Object *o = as_object(obj)) {
        o->drawtext = on;
        gs_mark_changed();
    }
}

bool GSobject_getdrawtext(GSobject *obj)
{
    const ADT_Object *o = as_object(obj);
    return o && o->drawtext;
}

void GSobject_setdrawtextcolor(GSobject *obj, float r, float g, float b)
{
    if (!obj) return;
    obj->drawtextcolor[0] = r;
    obj->drawtextcolor[1] = g;
    obj->drawtextcolor[2] = b;
    obj->drawtextcolor[3] = 1.0f;
    gs_mark_changed();
}

void GSobject_setdrawtextforeground(GSobject *obj, bool on)
{
    if (ADT_Object *o = as_object(obj)) {
        o->drawtextforeground = on;
        gs_mark_changed();
    }
}

void GSobject_settriadradius(GSobject *obj, float radius)
{
    if (ADT_Object *o = as_object(obj)) {
        o->triadradius = radius;
        gs_mark_changed();
    }
}

void GSobject_setuserradius(GSobject *obj, float radius)
{
    if (ADT_Object *o = as_object(obj)) o->userradius = radius;
}

float GSobject_getuserradius(GSobject *obj)
{
    const ADT_Object *o = as_object(obj);
    return o ? o->userradius : 0.0f;
}

void GSobject_setobjecttype(GSobject *obj, int type)
{
    ADT_Object *o = as_object(obj);
    if (!o) return;
    const int code = type >= 0 && type < 8 ? kInternalType[type] : 1;
    const bool was = o->objecttype == kAssemblyType, is = code == kAssemblyType;
    o->objecttype = code;
    if (was != is) {
        // Assembly nodes scale everything below them: the opacity changes applier.
        if (GSattribute *n = o->attribute(GS_ATTR_TRANSPARENCY)) {
            n->applier = applier_for(o);
            n->priority = 0;
        } else {
            set_values(o, GS_ATTR_TRANSPARENCY, 100, 1.0f, 0.0f, 0.0f, 0.0f);
        }
    }
    gs_mark_changed();
}

int GSobject_getobjecttype(GSobject *obj)
{
    if (!obj) return 0;
    if (obj->kind() == GS_KIND_FACE) return 7;
    switch (static_cast<ADT_Object *>(obj)->objecttype) {
    case 3: return 1;
    case 4: return 3;
    case 5: return 4;
    case 6: return 2;
    case 7: return 5;
    case 8: return 6;
    default: return 0;
    }
}
