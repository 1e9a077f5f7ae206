// Process-wide state of the sensors and the steps their files share.
#pragma once

#include <kivctrl/ve_sensor.h>

#include <memory>
#include <unordered_map>
#include <vector>

class _object;

namespace kiv::env {

// The axis a dragged view move keeps while dominance holds.
enum class DragAxis { none, x, y, dolly, roll, pitch, yaw };

struct SensorState {
    std::vector<std::unique_ptr<_sensor>> sensors;
    SENSOR_MODE mode = SENSE_OBJ_LOCAL;
    SENSOR_MODE objmove = SENSE_OBJ_LOCAL;
    SENSOR_MODE envmove = SENSE_OBJ_LOCAL;
    int env_dominant = 0;
    int mouse_mask = 0;
    int drag_only = 0;
    int select_display = 1;
    bool view_moving = false;
    DragAxis axis = DragAxis::none;
    // The snap rotation of each object dragged in its own or its parent's axes, fixed at
    // the press so that the axes do not jump while the view turns.
    std::unordered_map<_object *, QEL_QUAT> snaps;
};

SensorState &sensors();

// The current root's active viewpoint, or null.
_object *current_viewpoint();
// The window size, or false while it is unknown (a motion would divide by zero).
bool known_window_size(int &w, int &h);
// Takes o out of every sensor and forgets its snap rotation.
void sensors_forget(_object *o);
// Puts the viewpoint into the sensors that may move it now.
void sensors_take_viewpoint(_object *vp);

// Callbacks.
void pointer_object_drag(_sensor *s);
void pointer_view_drag(_sensor *s);
void pointer_examine(_sensor *s);
void pointer_fly(_sensor *s);
void pointer_texture(_sensor *s);
void sixaxis_env(_sensor *s);
void sixaxis_examine(_sensor *s);
void relative_examine(_sensor *s);
void inert(_sensor *s);
void inert_examine(_sensor *s);

// Runs inner on s, then turns its motion into that of the viewpoint moving against it and
// turning about the centre of the selection, or of the model.
void examine_step(_sensor *s, void (*inner)(_sensor *));

// Applies a sensor's motion of this tick to its objects.
void apply_sensor_motion(_sensor *s);
// The texture half of it: moves, scales and turns o's texture.
void apply_texture_motion(_object *o, const QEL_VECT3 &t, const QEL_QUAT &q);

}  // namespace kiv::env
