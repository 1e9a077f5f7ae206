// Helpers shared by the time-line files.
#pragma once

#include <kivctrl/anim.h>

class _object;
class KivAssembly;

namespace kiv::anim {

// The time line of o's assembly, null when there is none.
_anim_struct *list_of(_object *o);
_anim_struct *list_of(KivAssembly *a);
// Destroys a's time line when it has no frame entries left.
void check_clear(KivAssembly *a);
// Moves o's placement of p at start/direction to new_start, pushing later placements of o
// that the moved span overlaps back, one after the other.
void replace_rippling(_object *o, _path *p, double start, int direction, double new_start);
// The frame at which a placement ends: start + (node count - 1) * steps.
double placement_end(const _animpath_struct &a);

}  // namespace kiv::anim
