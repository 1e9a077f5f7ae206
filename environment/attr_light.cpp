// Light values of light objects: stored where the design keeps them (the intensity on the
// object, the rest in the graphics light) and handed to the graphics light.
#include <kivctrl/obj_attr.h>

#include <kivctrl/gs_universe.h>
#include <kivctrl/gsobject.h>
#include <kivctrl/kiv_db.h>
#include <kivctrl/ve_bind.h>

#include "environment/binding_internal.h"

#include <algorithm>
#include <cmath>

namespace {

GSlight *light_of(_object *o)
{
    return o && o->type == OBJ_LIGHT ? static_cast<GSlight *>(o->gslight) : nullptr;
}

// Light kinds of the graphics system: 0 directed, 1 point, 2 spot.
int graphics_kind(int t)
{
    switch (t) {
    case LIGHT_SPOT:
        return 2;
    case LIGHT_POINT:
        return 1;
    default:
        return 0;
    }
}

int light_kind(int graphics)
{
    switch (graphics) {
    case 1:
        return LIGHT_POINT;
    case 2:
        return LIGHT_SPOT;
    default:
        return LIGHT_DIRECTED;
    }
}

}  // namespace

int obj_set_intensity(_object *o, float i)
{
    if (!o)
        return 101;
    if (o->type != OBJ_LIGHT)
        return 0;
    i = std::isnan(i) ? 0.0f : std::clamp(i, 0.0f, 1.0f);
    o->intensity = i;
    if (GSlight *light = light_of(o))
        GSlight_setintensity(light, i);
    return 0;
}

float obj_get_intensity(_object *o)
{
    return o->intensity;
}

int obj_get_intensity(_object *o, float &out)
{
    if (!o)
        return 101;
    out = o->intensity;
    return 0;
}

int obj_set_exponent(_object *o, float e)
{
    if (!o)
        return 101;
    if (o->type != OBJ_LIGHT)
        return 0;
    if (std::isnan(e))
        return 1;
    if (GSlight *light = light_of(o))
        GSlight_setexponent(light, e);
    return 0;
}

float obj_get_exponent(_object *o)
{
    GSlight *light = light_of(o);
    return light ? GSlight_getexponent(light) : 0.0f;
}

int obj_get_exponent(_object *o, float &out)
{
    if (!o)
        return 101;
    out = obj_get_exponent(o);
    return 0;
}

int obj_set_angle(_object *o, float degrees)
{
    if (!o)
        return 101;
    if (o->type != OBJ_LIGHT)
        return 0;
    if (std::isnan(degrees))
        return 1;
    if (GSlight *light = light_of(o))
        GSlight_setangle(light, std::clamp(degrees, 0.0f, 360.0f));
    return 0;
}

float obj_get_angle(_object *o)
{
    GSlight *light = light_of(o);
    return light ? GSlight_getangle(light) : 360.0f;
}

int obj_get_angle(_object *o, float &out)
{
    out = 360.0f;
    if (!o || o->type != OBJ_LIGHT)
        return 101;
    out = obj_get_angle(o);
    return 0;
}

int obj_set_ltype(_object *o, int t)
{
    if (!o)
        return 101;
    if (o->type != OBJ_LIGHT)
        return 0;
    if (t == 0)
        t = LIGHT_DIRECTED;
    if (t < LIGHT_DIRECTED || t > LIGHT_POINT)
        return 1;
    if (GSlight *light = light_of(o)) {
        GSlight_settype(light, graphics_kind(t));
        if (o->gsobject)
            GSobject_setobjecttype(o->gsobject, kiv::env::graphics_type(o));
    }
    return 0;
}

int obj_get_ltype(_object *o)
{
    GSlight *light = light_of(o);
    return light ? light_kind(GSlight_gettype(light)) : -1;
}

int obj_get_ltype(_object *o, int &out)
{
    out = -1;
    if (!o || o->type != OBJ_LIGHT)
        return 101;
    out = obj_get_ltype(o);
    return 0;
}
