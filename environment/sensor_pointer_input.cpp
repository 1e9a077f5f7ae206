// Taking the pointer's input and handing its motion on.
#include "environment/sensor_pointer.h"

#include <kivctrl/kiv_db.h>
#include <kivctrl/placement.h>
#include <kivctrl/qel_msg.h>

#include "environment/sensor_state.h"

namespace kiv::env {

PointerInput take_pointer_input(_sensor *s)
{
    PointerInput in{};
    in.px = s->state.x;
    in.py = s->state.y;
    const int before = s->state.buttons;
    s->state = s->input;
    s->input.buttons &= ~SENSOR_EDGES;
    in.x = s->state.x;
    in.y = s->state.y;
    in.buttons = s->state.buttons;
    in.left = in.buttons & SENSOR_LEFT_HELD;
    in.right = in.buttons & SENSOR_RIGHT_HELD;
    for (int i = 1; i <= 2; ++i) {
        if (in.buttons & (1 << (3 * i + 1)))
            msg_send(MSG_BUTTON_UP, nullptr, i);
        if (in.buttons & (1 << (3 * i + 2)))
            msg_send(MSG_BUTTON_DOWN, nullptr, i);
    }
    const int held = SENSOR_LEFT_HELD | SENSOR_RIGHT_HELD;
    in.changed = (in.buttons & SENSOR_EDGES) || ((before ^ in.buttons) & held);
    return in;
}

void end_view_move()
{
    SensorState &st = sensors();
    if (st.view_moving)
        msg_send(MSG_DRAG_END, nullptr, 0);
    st.view_moving = false;
    st.axis = DragAxis::none;
}

bool begin_view_move()
{
    SensorState &st = sensors();
    if (st.view_moving)
        return false;
    st.view_moving = true;
    msg_send(MSG_DRAG_BEGIN, nullptr, 0);
    return true;
}

float view_distance(_object *vp, _object *o)
{
    QEL_VECT3 v;
    obj_get_pos(vp, v, FRAME_PARENT);
    if (o) {
        QEL_VECT3 p;
        obj_get_pos(o, p, FRAME_PARENT);
        v -= p;
    }
    return v.mag();
}

void deliver_pointer_motion(_sensor *s, _object *o, const QEL_VECT3 &t, const QEL_VECT3 &e)
{
    if (env_mouse_mask())
        return;
    if (sensors().drag_only) {
        if (t.x != 0.0f || t.y != 0.0f || t.z != 0.0f) {
            float handed[3] = {t.x, t.y, t.z};
            msg_send(MSG_DRAG_ONLY, o, reinterpret_cast<std::intptr_t>(handed));
        }
        return;
    }
    s->motion = t;
    s->turn.from_eang(e);
}

}  // namespace kiv::env
