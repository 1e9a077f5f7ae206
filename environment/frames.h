// World frames of objects and of the frames callers and constraints speak in.
#pragma once

#include <kivctrl/placement.h>

namespace kiv::env {

// The object's pivot and orientation in the world; the identity frame for the root.
QEL_FRAME world_frame(_object *o);
// The world frame a caller's selector stands for (FRAME_LOCAL the object's own, FRAME_PARENT
// the parent's, FRAME_VIEWPOINT the assembly's viewpoint's); the identity otherwise.
QEL_FRAME selected_frame(_object *o, FRAME f);
// The frame the object's constraints are expressed in, per its constraint mode.
QEL_FRAME constraint_frame(_object *o);

}  // namespace kiv::env
