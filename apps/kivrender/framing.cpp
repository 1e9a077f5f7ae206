#include "framing.h"

#include <kivctrl/ve_zoom.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace kivrender {

namespace {

double dot(const QEL_VECT3 &a, const QEL_VECT3 &b)
{
    return double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z;
}

void add_corners(GSobject *obj, std::vector<QEL_VECT3> &out)
{
    GSpolygon polygon;
    for (bool more = GSobject_firstpoly(obj, polygon); more; more = GSpolygon_nextpoly(polygon, polygon)) {
        const int n = GSpolygon_nvertices(polygon);
        for (int k = 0; k < n; ++k) {
            GSvertex v = GSpolygon_getvertex(polygon, k);
            float p[3];
            if (GSvertex_getposition(&v, p, GS_FRAME_WORLD))
                out.emplace_back(p);
        }
    }
}

} // namespace

bool standard_view(std::string_view name, QEL_QUAT &orientation)
{
    QEL_VECT3 angles;
    if (!VE_standard_view(std::string(name).c_str(), angles))
        return false;
    orientation.from_eang(angles);
    return true;
}

void collect_corners(GSobject *obj, std::vector<QEL_VECT3> &out)
{
    if (!obj || GSobject_kind(obj) != GS_KIND_OBJECT)
        return;
    add_corners(obj, out);
    // Face groups are children too, but their polygons came with their object's, placed.
    for (void *link = GSFirstChild(obj); link; link = GSNextChild(link))
        collect_corners(GSGetChildObject(link), out);
}

bool frame_points(const std::vector<QEL_VECT3> &points, const QEL_QUAT &orientation, double viewangle,
                  int width, int height, double margin, Camera &camera)
{
    if (points.empty() || width < 1 || height < 1)
        return false;
    // The camera's axes in the world: right, down (the camera's +Y points down the picture)
    // and the viewing direction.
    const QEL_VECT3 right = orientation.xform(QEL_VECT3(1, 0, 0));
    const QEL_VECT3 down = orientation.xform(QEL_VECT3(0, 1, 0));
    const QEL_VECT3 ahead = orientation.xform(QEL_VECT3(0, 0, 1));
    constexpr double inf = std::numeric_limits<double>::infinity();
    double umin = inf, umax = -inf, vmin = inf, vmax = -inf, wmin = inf, wmax = -inf;
    for (const QEL_VECT3 &p : points) {
        const double u = dot(p, right), v = dot(p, down), w = dot(p, ahead);
        umin = std::min(umin, u), umax = std::max(umax, u);
        vmin = std::min(vmin, v), vmax = std::max(vmax, v);
        wmin = std::min(wmin, w), wmax = std::max(wmax, w);
    }
    const double size = std::max({umax - umin, vmax - vmin, wmax - wmin});
    if (!(size > 0.0) || !std::isfinite(size))
        return false;
    const double cu = 0.5 * (umin + umax), cv = 0.5 * (vmin + vmax);
    const double half = std::tan(viewangle * 3.14159265358979323846 / 360.0) * (1.0 - margin);
    const double tu = half * width / height, tv = half;
    // A point at depth d in front of the camera is inside when |u - cu| <= tu * d (and the
    // same for v); the camera stands at depth -back along the view, so d = w + back.
    double back = -inf;
    for (const QEL_VECT3 &p : points) {
        const double u = dot(p, right), v = dot(p, down), w = dot(p, ahead);
        back = std::max(back, std::max(std::abs(u - cu) / tu, std::abs(v - cv) / tv) - w);
    }
    // Keep the nearest point clearly in front of the camera.
    back = std::max(back, 0.05 * size - wmin);
    const double cw = -back;
    const double x = cu * right.x + cv * down.x + cw * ahead.x;
    const double y = cu * right.y + cv * down.y + cw * ahead.y;
    const double z = cu * right.z + cv * down.z + cw * ahead.z;
    camera.position = QEL_VECT3(float(x), float(y), float(z));
    camera.hither = float(0.5 * (wmin + back));
    camera.yon = float(2.0 * (wmax + back));
    return true;
}

bool place_camera(const std::vector<QEL_VECT3> &points, const QEL_VECT3 &position,
                  const QEL_QUAT &orientation, Camera &camera)
{
    const QEL_VECT3 ahead = orientation.xform(QEL_VECT3(0, 0, 1));
    constexpr double inf = std::numeric_limits<double>::infinity();
    double wmin = inf, wmax = -inf;
    for (const QEL_VECT3 &p : points) {
        const double w = dot(p, ahead) - dot(position, ahead);
        if (w > 0.0) {
            wmin = std::min(wmin, w);
            wmax = std::max(wmax, w);
        }
    }
    if (!(wmax > 0.0) || !std::isfinite(wmax))
        return false;
    camera.position = position;
    camera.hither = float(std::max(0.5 * wmin, 1e-3 * wmax));
    camera.yon = float(2.0 * wmax);
    return true;
}

} // namespace kivrender
