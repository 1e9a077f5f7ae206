// The order in which the background loader visits objects: biggest-looking first.
#pragma once

#include <kivctrl/qel_math.h>

#include <string>
#include <vector>

class _object;

namespace kiv::env {

struct LoadEntry {
    _object *o;
    float size;        // apparent size from the last eye position
    std::string part;  // part name of the first level, "" without one
};

// o and every object below it, each before its children, children in list order.
std::vector<_object *> subtree(_object *o);

// |extents|² / |world midpoint - eye|², 0 when the midpoint is the eye.
float apparent_size(_object *o, const QEL_VECT3 &eye);

// The part name of o's first level, "" when it has none.
std::string first_part_name(_object *o);

// Recomputes every entry's apparent size from eye and sorts largest first; entries of equal
// size keep their order.
void order_by_apparent_size(std::vector<LoadEntry> &list, const QEL_VECT3 &eye);

}  // namespace kiv::env
