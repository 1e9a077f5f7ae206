// Choosing the camera for a picture of a part: the standard views and the framing rule.
#pragma once

#include <kivctrl/gsobject.h>
#include <kivctrl/qel_math.h>

#include <string_view>
#include <vector>

namespace kivrender {

// The camera of a standard view ("front", "back", "top", "bottom", "left", "right", "iso"),
// with the Euler angles the control's standard views use; false for other names. The
// world's +Y is up in the side views, the front view looks along -Z.
bool standard_view(std::string_view name, QEL_QUAT &orientation);

// World positions of every polygon corner of obj (its face groups' included) and,
// recursively, of its child objects.
void collect_corners(GSobject *obj, std::vector<QEL_VECT3> &out);

struct Camera {
    QEL_VECT3 position;
    float hither = 0.0f;  // near and far clipping distances
    float yon = 0.0f;
};

// Places a camera of the given orientation and vertical view angle (degrees), looking at
// width/height pixels, so that every point lies inside the picture with `margin` (a fraction
// of each half side) to spare, the outermost point touching that margin; the camera is centred
// on the points' extent across the view. False when the points have no extent at all.
bool frame_points(const std::vector<QEL_VECT3> &points, const QEL_QUAT &orientation, double viewangle,
                  int width, int height, double margin, Camera &camera);

// A camera standing at position with the given orientation, its clipping distances chosen
// so that every point in front of it is drawn. False when no point lies in front of it.
bool place_camera(const std::vector<QEL_VECT3> &points, const QEL_VECT3 &position,
                  const QEL_QUAT &orientation, Camera &camera);

} // namespace kivrender
