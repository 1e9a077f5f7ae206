// Viewpoints: creation, view angle, zoom and framing.
#pragma once

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
