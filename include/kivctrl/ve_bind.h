// Binding of scene objects to graphics objects.
#pragma once

#include <kivctrl/obj_geometry.h>
#include <kivctrl/ve_env.h>  // env_set_threading: background loading after a tree build

class _object;
class GSobject;

// Light kinds of light objects.
enum LIGHT_MODE : int { LIGHT_DIRECTED = 1, LIGHT_SPOT = 2, LIGHT_POINT = 3 };

// Creates the object's graphics object (hidden, under the parent's node, with its back-
// reference), applies its active state and places it at the world origin. Returns 0, 105 for
// an unknown type, 100 when no graphics object could be made.
int VE_create_geo(_object *o);
// Releases the object's graphics binding (deactivation, its graphics node and the level of
// detail shown). Returns 0.
int VE_delete_geo(_object *o);
// Detaches the object's graphics node from its parent's, before the object changes parent.
void VE_detach_geo(_object *o);
// Attaches the object's graphics node under its (new) parent's.
void VE_attach_geo(_object *o);

// Loads the object's geometry levels (a part's files or primitive shape; a group's files).
// Returns 0, or 100 when a level could not be loaded.
int VE_load_obj(_object *o);
// Releases the graphics objects of the object's geometry levels, keeping the levels: a part
// is left with an empty hidden node where its geometry was.
void VE_release_geometry(_object *o);
// Binds a face object to the face group of its index in each of its part's levels. Returns 0.
int VE_load_face(_object *face);
// Makes the graphics side follow the object's active flag (universe membership, current
// lights and viewpoint, face groups, visibility) and sends 1601. Returns 0.
int VE_activate_obj(_object *o);
// Gives every graphics object of o without a back-reference one. Returns 0, 103 when memory
// runs out.
int VE_set_up_all_geo_data(_object *o);

// Prepares a freshly read tree for display (default viewpoint, group and layer, deferred
// activations) and starts background loading when it is on. Returns 0.
int VE_build_tree(_object *o);
// Prepares one object as the tree build does: the root gets its defaults; a part applies
// the activation deferred under "_ACTIVE" while background loading is on. Returns 0.
int VE_prepare_obj(_object *o);
// Empties the graphics universe.
void VE_reset_environment();

// Copies a light's or viewpoint's placement into its graphics light or viewpoint, touching
// the graphics side only on a change. Returns 0, 102 for an unknown type.
int VE_sync_geo(_object *o);
// Per tick: VE_sync_geo for the root's active lights, then for its viewpoint.
void dv_obj_sync();

// Creates a light object of the given kind under parent, placed at the parent's origin,
// white, intensity 0.8 and active; null when it cannot be made.
_object *light_add(_object *parent, char *name, LIGHT_MODE mode);
// The kind of a light object; -1 for other objects.
LIGHT_MODE light_get_type(_object *o);

// Show and hide an object's coordinate triad.
int VE_add_lcs(_object *o);
int VE_delete_lcs(_object *o);

// The object bound to a graphics node (through its back-reference, or that of its parent
// node). With faces set, picking an unbound face group of a part makes a face object for it,
// named "Face <index>", and sets *created to 1.
_object *handle_to_obj(void *node, int *created, bool faces);
