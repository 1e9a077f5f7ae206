// The sensor list: creation, iteration, deletion and the default sensors.
#include <kivctrl/ve_sensor.h>

#include <kivctrl/kiv_db.h>
#include <kivctrl/placement.h>
#include <kivctrl/selection.h>
#include <kivctrl/ve_env.h>

#include "environment/sensor_state.h"

#include <algorithm>

namespace kiv::env {

SensorState &sensors()
{
    static SensorState state;
    return state;
}

_object *current_viewpoint()
{
    _object *root = db_get_root();
    return root ? root->viewpoint : nullptr;
}

bool known_window_size(int &w, int &h)
{
    env_get_winsize(w, h);
    return w > 0 && h > 0;
}

void sensors_forget(_object *o)
{
    for (auto &s : sensors().sensors)
        s->objects.remove_all(o);
    sensors().snaps.erase(o);
}

void sensors_take_viewpoint(_object *vp)
{
    if (!vp)
        return;
    const bool selecting = sel_existsnonroot() != 0;
    for (auto &s : sensors().sensors) {
        // While objects are selected the pointer moves them, not the view.
        if (!(s->usage & USAGE_VIEW) || (selecting && s->usage == (USAGE_VIEW | USAGE_SELECTION)))
            continue;
        if (!s->objects.find(vp))
            s->objects.append(vp);
    }
}

}  // namespace kiv::env

using kiv::env::sensors;

_sensor *dv_add_sensor(int id, SENSOR_TYPE type, int param, SENSOR_USAGE usage)
{
    auto s = std::make_unique<_sensor>();
    s->id = id;
    s->type = type;
    s->param = param;
    s->usage = usage;
    s->state = {};
    s->input = {};
    s->motion.init();
    s->turn.init();
    s->speed = 1.0f;
    s->turn_speed = 1.0f;
    s->callback = nullptr;
    sensors().sensors.push_back(std::move(s));
    return sensors().sensors.back().get();
}

_sensor *dv_first_sensor()
{
    auto &list = sensors().sensors;
    return list.empty() ? nullptr : list.front().get();
}

_sensor *dv_next_sensor(_sensor *s)
{
    auto &list = sensors().sensors;
    auto it = std::find_if(list.begin(), list.end(), [s](const auto &p) { return p.get() == s; });
    if (it == list.end() || ++it == list.end())
        return nullptr;
    return it->get();
}

void dv_delete_sensor(_sensor *s)
{
    auto &list = sensors().sensors;
    list.erase(std::remove_if(list.begin(), list.end(), [s](const auto &p) { return p.get() == s; }),
               list.end());
}

void *dv_sensor_get_dsd(_sensor *s)
{
    return s ? &s->state : nullptr;
}

void setup_sensors()
{
    dv_add_sensor(1, SENSOR_POINTER, 0, SENSOR_USAGE(USAGE_VIEW | USAGE_SELECTION));
    dv_add_sensor(1, SENSOR_RELATIVE, 0, USAGE_VIEW);
    // A scene opened before the sensors existed is navigable at once.
    kiv::env::sensors_take_viewpoint(kiv::env::current_viewpoint());
    for (_object *o = sel_firstobj(); o; o = sel_nextobj(o))
        for (auto &s : sensors().sensors)
            if (s->usage & USAGE_SELECTION)
                s->objects.append(o);
    env_set_sensor(SENSE_OBJ_LOCAL);
    env_set_sensor(SENSE_EXAMINE);
}

void update_sensor_speed()
{
    _object *root = db_get_root();
    if (!root)
        return;
    const float radius = obj_get_grpradius(root);
    for (auto &s : sensors().sensors)
        if (s->usage & USAGE_VIEW) {
            s->speed = 2.0f * radius;
            s->turn_speed = 2.0f;
        }
}
