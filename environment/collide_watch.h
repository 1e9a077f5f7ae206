// One tick of watching a moving object for collisions, with the collision messages: the
// testing half of the collide tasks (which add highlighting and backing off).
#pragma once

#include <kivctrl/collide.h>

class _object;
class OBJLIST;

namespace kiv::env {

// Sends 1101 with the mover; unless mode is COLLIDE_OFF, finds what the mover touches now
// (without collect_all: the first previous hit still touching, else the first object the tree
// walk finds; with it: everything the walk finds), sends 1104 for each previous hit still
// touching, 1105 for each no longer touching and 1103 for each new one, and makes the new
// hits the list; sends 1102 with the mover. With COLLIDE_OFF the list is left as it was.
void collide_watch(_object *mover, COLLIDE_MODE mode, bool collect_all, OBJLIST &hits);

}  // namespace kiv::env
