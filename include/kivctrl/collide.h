// Collision detection between scene objects.
//
// Two objects collide when a polygon of one touches a polygon of the other: an edge of a
// triangle crosses another triangle strictly inside it. Faces that only share a plane, an
// edge or a corner do not collide. Tests run through three stages: bounding spheres, world
// boxes with eight cells per object, then exact triangle tests on cached world corner
// positions. An object's collision data are kept with its shown graphics object and
// refreshed only when the object has moved or turned since they were made.
#pragma once

class _object;
class OBJLIST;

// What the collide tasks do on a hit.
enum COLLIDE_MODE : int {
    COLLIDE_OFF = 1,      // no test
    COLLIDE_DETECT = 2,   // hits are highlighted and reported
    COLLIDE_BLOCK = 3,    // the mover backs off until free
    COLLIDE_CONTACT = 4,  // the mover backs off to the last touching position
};

// The global mode; 0 is stored as COLLIDE_OFF (the initial mode), values outside 0-4 are
// refused and leave the mode as it was.
void env_set_collide_mode(COLLIDE_MODE mode);
COLLIDE_MODE env_get_collide_mode();

// Non-zero when a and b touch; 0 when not, when either is null or has no collision data, and
// for an object against itself.
int intersect_obj_obj(_object *a, _object *b);

// Walks the tree of o's assembly from the root's children for parts and faces with active
// geometry that touch o or a part it carries (its descendant parts, which move with it: a
// group moves only through them), pruning subtrees by their group spheres. o, its descendants
// and its ancestors are never candidates. With hits null: the first object hit, or null. With
// a list: every object hit is added to it (once) and the first one is returned.
_object *intersect_obj_any(_object *o, OBJLIST *hits);
