// Viewpoints: creation, view angle, zoom and framing.
//
// Framing fits a sphere into the window (env_get_winsize): the viewpoint keeps its orientation
// and stands on the viewing line through the sphere's centre, at the larger of the distances
// at which the sphere fills the vertical and the horizontal field. Every zoom operation
// returns 0 and leaves the viewpoint where it is when there is no root, no current viewpoint,
// no window size yet or nothing visible to fit.
#pragma once

#include <kivctrl/qel_math.h>

class _object;
class KivAssembly;

// A viewpoint's field of view in degrees; other types ignore it. Returns 0.
int obj_set_viewangle(_object *o, float degrees);
// A viewpoint's field of view in degrees; 0 for other types.
float obj_get_viewangle(_object *o);
// Creates a viewpoint named name under the assembly's root, with a directed headlight named
// after it (" light" appended). The first viewpoint of a root is active at the root's origin;
// a further one starts inactive where the current one is. Returns 0, or 100 when the object
// cannot be created.
int env_create_viewpoint(const char *name, KivAssembly *a);

// The world position from which a viewpoint of world orientation orient and view angle
// viewangle (degrees) sees every visible part and face of the current tree; 1 when pos was
// written, 0 when there is nothing to fit.
int VE_calc_extents(QEL_VECT3 &pos, QEL_QUAT &orient, float viewangle);
// Moves the assembly's current viewpoint so that the assembly's whole tree fills the view.
int VE_zoom_extents(KivAssembly *a);
// The same for the current root's assembly.
int VE_zoom_extents();
// Moves the current viewpoint of o's assembly so that o (for a group, its subtree) fills the
// view, but never so close that o reaches into the near clipping plane.
int VE_zoom_object(_object *o);
// Turns the viewpoint towards the centre of the window rectangle with corners p1 and p2
// (pixels, y downwards), and moves it towards the object picked there so that the
// rectangle's content fills the view.
int VE_zoom_window(KivAssembly *a, QEL_VECT2 p1, QEL_VECT2 p2);

// The Euler angles (degrees, world frame) of the standard views "front", "back", "top",
// "bottom", "left", "right" and "iso" (names compared with case); false for other names.
bool VE_standard_view(const char *name, QEL_VECT3 &eangles);
