// Quaternions from a set of axes or from a viewing direction.
#include <kivctrl/qel_math.h>

#include <cmath>

QEL_QUAT &QEL_QUAT::fromaxes(const QEL_VECT3 &X, const QEL_VECT3 &Y, const QEL_VECT3 &Z)
{
    const float m00 = X.x, m11 = Y.y, m22 = Z.z;
    // The branch is chosen by a fixed threshold on each trace-like sum rather than by the
    // largest diagonal term; both are accurate for orthonormal axes.
    if (float t = 1.0f + m00 - m11 - m22; t >= 1.0f) {
        x = 0.5f * std::sqrt(t);
        const float f = 4.0f * x;
        y = (X.y + Y.x) / f;
        z = (X.z + Z.x) / f;
        w = (Z.y - Y.z) / f;
    } else if (t = 1.0f - m00 + m11 - m22; t >= 1.0f) {
        y = 0.5f * std::sqrt(t);
        const float f = 4.0f * y;
        x = (X.y + Y.x) / f;
        z = (Y.z + Z.y) / f;
        w = (X.z - Z.x) / f;
    } else if (t = 1.0f - m00 - m11 + m22; t >= 1.0f) {
        z = 0.5f * std::sqrt(t);
        const float f = 4.0f * z;
        x = (X.z + Z.x) / f;
        y = (Y.z + Z.y) / f;
        w = (Y.x - X.y) / f;
    } else {
        w = 0.5f * std::sqrt(1.0f + m00 + m11 + m22);
        const float f = 4.0f * w;
        x = (Z.y - Y.z) / f;
        y = (X.z - Z.x) / f;
        z = (Y.x - X.y) / f;
    }
    return standardize();
}

QEL_QUAT &QEL_QUAT::fromaxes(const float *X, const float *Y, const float *Z)
{
    return fromaxes(QEL_VECT3(X), QEL_VECT3(Y), QEL_VECT3(Z));
}

QEL_QUAT &QEL_QUAT::fromdir(const float dir[3])
{
    const QEL_VECT3 d = QEL_VECT3(dir).norm();
    const QEL_VECT3 p = d.perp().norm();
    const QEL_VECT3 y(d.y * p.z - d.z * p.y, d.z * p.x - d.x * p.z, d.x * p.y - d.y * p.x);
    return fromaxes(p, y, d);
}
