// Screen directions snapped onto the nearest axes of an object's frame.
#pragma once

#include <kivctrl/qel_math.h>

namespace kiv::env {

// The rotation that carries the viewpoint's x axis onto the axis of `frame` nearest to it,
// and its y axis onto the nearest of the two axes left, by quarter and half turns. Both
// orientations are in world terms.
QEL_QUAT snap_rotation(const QEL_QUAT &frame, const QEL_QUAT &view);

}  // namespace kiv::env
