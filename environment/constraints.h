// Degree-of-freedom constraints applied to proposed world placements.
#pragma once

#include <kivctrl/placement.h>

namespace kiv::env {

// True when constraints bind o now: no global linkage suspension and none of its own.
bool constraints_apply(const _object *o);
// True when all three degrees of freedom from first on are exactly locked and binding.
bool fully_locked(const _object *o, int first);
// The proposed world point / orientation brought within o's constraints.
QEL_VECT3 constrain_position(_object *o, const QEL_VECT3 &proposed);
QEL_QUAT constrain_orientation(_object *o, const QEL_QUAT &proposed);

}  // namespace kiv::env
