// The first steps every pointer callback shares: taking the input and scaling pixels.
#pragma once

#include <kivctrl/ve_sensor.h>

class _object;

namespace kiv::env {

struct PointerInput {
    int px, py;      // position at the previous tick
    int x, y;        // position now
    int buttons;
    bool left, right;
    bool changed;    // a button went down or up since the previous tick
};

// Copies input into state, consumes the edges and announces them (1701 releases, 1702
// presses).
PointerInput take_pointer_input(_sensor *s);

// Ends a view move in progress (1704).
void end_view_move();
// Starts one unless in progress (1703); true when it started now.
bool begin_view_move();

// |viewpoint - o| in their parents' frames (the viewpoint's own position without o).
float view_distance(_object *vp, _object *o);

// Hands the motion to the sensor unless the mouse mask or the drag-only switch withholds it.
void deliver_pointer_motion(_sensor *s, _object *o, const QEL_VECT3 &t, const QEL_VECT3 &e);

}  // namespace kiv::env
