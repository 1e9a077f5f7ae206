// The six-axis device, the relative pointer and the sensor that produces nothing.
#include <kivctrl/kiv_db.h>
#include <kivctrl/placement.h>

#include "environment/sensor_pointer.h"
#include "environment/sensor_state.h"

#include <algorithm>
#include <cstdlib>

namespace {

using namespace kiv::env;

constexpr float axis_unit = 1.0f / 32767.0f;
constexpr float degrees_per_radian = 57.29577951308232f;

void sixaxis(_sensor *s, int dominance)
{
    s->motion.init();
    s->turn.init();
    // The device's deflection holds until the host writes another.
    s->state = s->input;
    int a[6] = {s->state.x, s->state.y, s->state.z, s->state.rx, s->state.ry, s->state.rz};
    if (dominance) {
        int keep = 0;
        for (int i = 1; i < 6; ++i)
            if (std::abs(a[i]) > std::abs(a[keep]))
                keep = i;
        for (int i = 0; i < 6; ++i)
            if (i != keep)
                a[i] = 0;
    }
    const float v = s->speed * axis_unit;
    const float r = s->turn_speed * axis_unit * degrees_per_radian;
    s->motion = QEL_VECT3(v * a[0], -v * a[1], v * a[2]);
    s->turn.from_eang(r * a[3], -r * a[4], r * a[5]);
}

void relative(_sensor *s)
{
    s->motion.init();
    s->turn.init();
    // Relative motion counts once: the input is consumed as it is taken.
    s->state = s->input;
    s->input.x = s->input.y = 0;
    s->input.flag_a = s->input.flag_b = s->input.flag_c = 0;
    const float x = static_cast<float>(s->state.x), y = static_cast<float>(s->state.y);
    const bool a = s->state.flag_a, b = s->state.flag_b, c = s->state.flag_c;
    s->state.x = s->state.y = 0;
    s->state.flag_a = s->state.flag_b = s->state.flag_c = 0;
    if (a + b + c >= 2)
        return;
    _object *vp = current_viewpoint();
    int w = 0, h = 0;
    if (!vp || !known_window_size(w, h))
        return;
    float d = view_distance(vp, nullptr) * 1.2f / std::max(w, h);
    if (d == 0.0f)
        d = 10.0f;
    if (b) {
        s->motion = QEL_VECT3(-d * y, d * x, 0.0f);
    } else if (a) {
        s->motion = QEL_VECT3(0.0f, 0.0f, -d * x);
        s->turn.from_eang(0.0f, 0.0f, -y);
    } else {
        s->turn.from_eang(x, y, 0.0f);
    }
}

}  // namespace

namespace kiv::env {

void sixaxis_env(_sensor *s)
{
    sixaxis(s, sensors().env_dominant);
}

void sixaxis_examine(_sensor *s)
{
    examine_step(s, sixaxis_env);
}

void relative_examine(_sensor *s)
{
    examine_step(s, relative);
}

void inert(_sensor *s)
{
    s->motion.init();
    s->turn.init();
}

void inert_examine(_sensor *s)
{
    examine_step(s, inert);
}

}  // namespace kiv::env
