// Placement of objects in reference frames, and the per-degree-of-freedom constraints.
//
// An object's placement lives in its graphics object; the database keeps no copy. The VE_
// layer talks to the graphics object in world terms, counts changes and announces them
// (207 moved, 208 turned). The obj_ layer converts from the caller's frame, applies the
// object's constraints and invalidates the cached group radii of the ancestors.
//
// Status codes: 0 done, 101 no object, 102 no graphics object or unknown type (orientation),
// 104 bad degree of freedom, 105 unknown type or no graphics object (position, pivot,
// midpoint, radius).
#pragma once

#include <kivctrl/kiv_db.h>  // the degrees of freedom and constraint frames
#include <kivctrl/qel_math.h>

class _object;

// World layer. A null object is accepted: setters do nothing and return 0, getters return
// the origin or the identity with 105. The root and faces never move or turn.
int VE_set_pos(_object *o, const QEL_VECT3 &world);
int VE_get_pos(_object *o, QEL_VECT3 &out);
int VE_set_orient(_object *o, const QEL_QUAT &q);
int VE_get_orient(_object *o, QEL_QUAT &out);
int VE_set_pivot(_object *o, const QEL_VECT3 &world);
int VE_get_pivot(_object *o, QEL_VECT3 &out);
// The root's midpoint is the centre of the box of its visible parts' midpoints.
int VE_get_midpoint(_object *o, QEL_VECT3 &out);
// With out: the object's own bounding radius (visible parts and faces only, else 0).
// Without: pushes a valid cached group radius into the graphics object.
int VE_get_radius(_object *o, float *out);

// Object layer: points and orientations given in, or read back in, frame f or frame F.
// The setters answer 101 for a null object.
int obj_set_pos(_object *o, const QEL_VECT3 &pos, FRAME f);
int obj_set_pos(_object *o, const QEL_VECT3 &pos, const QEL_FRAME &F);
int obj_get_pos(_object *o, QEL_VECT3 &pos, FRAME f);
int obj_get_pos(_object *o, QEL_VECT3 &pos, const QEL_FRAME &F);
int obj_set_orient(_object *o, const QEL_QUAT &q, FRAME f);
int obj_set_orient(_object *o, const QEL_QUAT &q, const QEL_FRAME &F);
int obj_get_orient(_object *o, QEL_QUAT &q, FRAME f);
int obj_get_orient(_object *o, QEL_QUAT &q, const QEL_FRAME &F);
int obj_get_pno(_object *o, QEL_FRAME &out, FRAME f);
int obj_get_pno(_object *o, QEL_FRAME &out, const QEL_FRAME &F);
// Moves by d along, or turns by r about, the frame's axes.
int obj_set_relpos(_object *o, const QEL_VECT3 &d, FRAME f);
int obj_set_relpos(_object *o, const QEL_VECT3 &d, const QEL_FRAME &F);
int obj_set_relorient(_object *o, const QEL_QUAT &r, FRAME f);
int obj_set_relorient(_object *o, const QEL_QUAT &r, const QEL_FRAME &F);
// Euler angles in degrees (QEL_QUAT::from_eang).
int obj_set_eangles(_object *o, const QEL_VECT3 &e, FRAME f);
int obj_set_eangles(_object *o, const QEL_VECT3 &e, const QEL_FRAME &F);
int obj_set_releangles(_object *o, const QEL_VECT3 &e, FRAME f);
int obj_set_releangles(_object *o, const QEL_VECT3 &e, const QEL_FRAME &F);
// Sets the pivot, then re-applies the position constraints unless they are suspended.
int obj_set_pivot(_object *o, const QEL_VECT3 &p, FRAME f);
int obj_get_midpoint(_object *o, QEL_VECT3 &out, FRAME f);
int obj_get_midpoint(_object *o, float &x, float &y, float &z, FRAME f);
int obj_get_extents(_object *o, QEL_VECT3 &out);

// Group radius: a sphere about the object's midpoint enclosing it and its descendants,
// cached until a descendant moves or turns.
float obj_get_grpradius(_object *o);
int obj_get_grpradius(_object *o, float &out);
// The group radius for a group, the object's own radius for any other type.
int obj_get_radius(_object *o, float &out);

// The linkage suspension switch: while it is on, object constraints are not applied and the
// linkage tasks (priorities strictly between 0 and 1500) are suspended; turning it off
// resumes them. Returns 0.
int env_set_global_suspend_linkages(int on);
int env_get_global_suspend_linkages();

// The constraints used when the user drags objects. Setting one degree of freedom singles
// it out (every other one locked); setting it again with flags 0 frees all six.
void env_set_objmove_constraint(int dof, const CONSTRAINT &c);
CONSTRAINT env_get_objmove_constraint(int dof);
// Number of degrees of freedom locked (flags exactly 4) in the drag constraints.
int env_get_anymove_constraint();
