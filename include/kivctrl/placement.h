// Placement of objects in reference frames, and the per-degree-of-freedom constraints.
#pragma once

#include <kivctrl/qel_math.h>

class _object;

// The degrees of freedom: translations along, then rotations about, the constraint axes.
enum DOF { DOF_X = 0, DOF_Y = 1, DOF_Z = 2, DOF_RX = 3, DOF_RY = 4, DOF_RZ = 5 };

// The frame in which an object's constraints are expressed; other values mean the identity.
enum CONSTRAINT_MODE {
    CONSTRAINT_PARENT = 0,
    CONSTRAINT_LOCAL = 1,
    CONSTRAINT_FRAME = 2,
    CONSTRAINT_OBJECT = 3,
};

// Place the object's pivot at pos / turn it to q, both given in frame f. Return 0 or the
// placement layer's status.
int obj_set_pos(_object *o, const QEL_VECT3 &pos, FRAME f);
int obj_set_orient(_object *o, const QEL_QUAT &q, FRAME f);
// The object's position / orientation in frame f. Return 0, or 101 for a null object.
int obj_get_pos(_object *o, QEL_VECT3 &pos, FRAME f);
int obj_get_orient(_object *o, QEL_QUAT &q, FRAME f);

// The linkage suspension switch: while it is on, object constraints are not applied and the
// linkage tasks (priorities strictly between 0 and 1500) are suspended; turning it off
// resumes them. Returns 0.
int env_set_global_suspend_linkages(int on);
int env_get_global_suspend_linkages();
