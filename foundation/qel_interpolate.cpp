// Spherical interpolation of orientations.
#include <kivctrl/qel_math.h>

#include <cmath>

namespace {

double dot(const QEL_QUAT &a, const QEL_QUAT &b)
{
    return double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z + double(a.w) * b.w;
}

QEL_QUAT negated(const QEL_QUAT &q) { return {-q.x, -q.y, -q.z, -q.w}; }

}  // namespace

QEL_QUAT interpolate(const QEL_QUAT &a, const QEL_QUAT &b)
{
    // q and -q are one rotation: take the nearer copy of b, then the normalised mean.
    const QEL_QUAT c = dot(a, b) < 0.0 ? negated(b) : b;
    QEL_QUAT r(a.x + c.x, a.y + c.y, a.z + c.z, a.w + c.w);
    return r.normalize().standardize();
}

QEL_QUAT interpolate(const QEL_QUAT &a, const QEL_QUAT &b, float t)
{
    if (t == 0.0f) return a;
    if (t == 1.0f) return b;
    if (t == 0.5f) return interpolate(a, b);

    double d = dot(a, b);
    QEL_QUAT start = a;
    if (d < 0.0) {
        start = negated(a);
        d = -d;
    }
    // Nearly equal ends: the sine ratios lose all precision, so no blending.
    if (d >= 0.999999) return start.standardize();

    const double theta = std::acos(d);
    const double s = std::sin(theta);
    const double kb = std::sin(theta * t) / s;
    const double ka = std::sin(theta * (1.0 - t)) / s;
    QEL_QUAT r(static_cast<float>(kb * b.x + ka * start.x), static_cast<float>(kb * b.y + ka * start.y),
               static_cast<float>(kb * b.z + ka * start.z), static_cast<float>(kb * b.w + ka * start.w));
    return r.standardize();
}
