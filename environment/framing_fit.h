// The fitting rule shared by the zoom operations.
#pragma once

#include <kivctrl/qel_math.h>

namespace kiv::env {

// The window size from the environment; false, with a debug report, while it has none.
bool window_size(int &w, int &h);
// The position from which a viewpoint of world orientation q and vertical view angle
// viewangle (degrees) sees the sphere (c, r) fill the window: the larger of the distances at
// which it fits the vertical and the horizontal field, behind c along the viewing direction.
// false, leaving pos alone, without a window size or when the result is not finite.
bool fit_sphere(const QEL_VECT3 &c, float r, const QEL_QUAT &q, float viewangle, QEL_VECT3 &pos);
float distance(const QEL_VECT3 &a, const QEL_VECT3 &b);

}  // namespace kiv::env
