// Sensor modes and the callbacks each mode installs; the drag settings the host chooses.
#include <kivctrl/ve_sensor.h>

#include <kivctrl/gs_universe.h>
#include <kivctrl/kiv_db.h>
#include <kivctrl/selection.h>

#include "environment/sensor_state.h"

namespace {

using namespace kiv::env;

using Callback = void (*)(_sensor *);

Callback pointer_callback(SENSOR_MODE m, bool selection)
{
    switch (m) {
    case SENSE_OBJ_LOCAL:
    case SENSE_OBJ_PARENT:
    case SENSE_OBJ_PARENT2:
    case SENSE_OBJ_VIEW:
        return selection ? pointer_object_drag : nullptr;
    case SENSE_PICK:
        return selection ? inert : nullptr;
    case SENSE_TEXTURE:
        return selection ? pointer_texture : nullptr;
    case SENSE_FLY:
        return pointer_fly;
    case SENSE_EXAMINE:
        return pointer_examine;
    }
    return nullptr;
}

// The six-axis device and the inert sensor share one table.
Callback device_callback(SENSOR_MODE m, bool selection, Callback plain, Callback examine)
{
    if (m == SENSE_FLY)
        return plain;
    if (m == SENSE_EXAMINE)
        return examine;
    if (m == SENSE_TEXTURE)
        return nullptr;
    return selection ? plain : nullptr;
}

Callback callback_for(const _sensor &s, SENSOR_MODE m)
{
    const bool selection = (s.usage & USAGE_SELECTION) != 0;
    switch (s.type) {
    case SENSOR_RELATIVE:
        return relative_examine;
    case SENSOR_SIXAXIS:
        return device_callback(m, selection, sixaxis_env, sixaxis_examine);
    case SENSOR_INERT:
        return device_callback(m, selection, inert, inert_examine);
    case SENSOR_POINTER:
        return pointer_callback(m, selection);
    }
    return nullptr;
}

bool valid_mode(SENSOR_MODE m)
{
    return m >= SENSE_OBJ_LOCAL && m <= SENSE_EXAMINE;
}

bool mask_matches(_object *o, int mask)
{
    switch (o->type) {
    case OBJ_ROOT:
        return mask & 0x2;
    case OBJ_GROUP:
        return mask & 0x4;
    case OBJ_OBJECT:
        return o->layer == 0 && (mask & 0x80);
    case OBJ_LIGHT:
        return mask & 0x10;
    case OBJ_VIEWPOINT:
        return mask & 0x20;
    case OBJ_FACE:
        return mask & 0x40;
    }
    return false;
}

}  // namespace

void env_set_sensor(SENSOR_MODE m)
{
    if (!valid_mode(m))
        return;
    SensorState &st = sensors();
    st.mode = m;
    if (m <= SENSE_OBJ_VIEW) {
        static constexpr GStriadmode triad[] = {GStriad_object, GStriad_world, GStriad_parent,
                                                GStriad_screen};
        st.objmove = m;
        GSuniverse_settriadmode(triad[m]);
    } else if (m == SENSE_FLY || m == SENSE_EXAMINE) {
        st.envmove = m;
    }
}

int VE_set_sensor(SENSOR_MODE m)
{
    if (!valid_mode(m))
        return 0;
    env_set_sensor(m);
    for (auto &s : sensors().sensors) {
        // Flying and examining move the view alone: the selection lets go first.
        const bool view_only = m == SENSE_FLY || m == SENSE_EXAMINE;
        if (view_only && s->type != SENSOR_RELATIVE && sel_countobj() > 0)
            object_deselectall();
        s->callback = callback_for(*s, m);
    }
    return 0;
}

SENSOR_MODE env_get_sensor() { return sensors().mode; }
SENSOR_MODE env_get_objmove() { return sensors().objmove; }
SENSOR_MODE env_get_envmove() { return sensors().envmove; }

void env_set_dominant(int d) { sensors().env_dominant = d; }
int env_get_dominant() { return sensors().env_dominant; }
void env_set_mouse_mask(int mask) { sensors().mouse_mask = mask; }
int env_get_mouse_mask() { return sensors().mouse_mask; }
void env_set_mouse_drag_only(int on) { sensors().drag_only = on; }
int env_get_mouse_drag_only() { return sensors().drag_only; }

bool env_mouse_mask()
{
    const int mask = sensors().mouse_mask;
    if (mask == 0)
        return false;
    for (_object *o = sel_firstobj(); o; o = sel_nextobj(o))
        if (mask_matches(o, mask))
            return true;
    return false;
}
