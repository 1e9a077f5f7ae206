// Euler angles in degrees for quaternions, through the order-0 Euler routines.
//
// The Euler routines work with textbook quaternions; ours are their conjugates, which is the
// same as negating every angle.
#include <kivctrl/qel_euler.h>
#include <kivctrl/qel_math.h>

#include <numbers>

QEL_QUAT &QEL_QUAT::from_eang(float a, float b, float c)
{
    constexpr double k = -std::numbers::pi / 180.0;
    const Quat r = Eul_ToQuat({a * k, b * k, c * k, EulOrdXYZs});
    x = static_cast<float>(r.x);
    y = static_cast<float>(r.y);
    z = static_cast<float>(r.z);
    w = static_cast<float>(r.w);
    return standardize();
}

QEL_VECT3 QEL_QUAT::to_eang() const
{
    constexpr double k = -180.0 / std::numbers::pi;
    const EulerAngles ea = Eul_FromQuat({x, y, z, w}, EulOrdXYZs);
    // atan2 yields (-180, 180]; the negation would turn a half turn into -180.
    auto degrees = [](double rad) {
        const float d = static_cast<float>(rad * k);
        return d == -180.0f ? 180.0f : d;
    };
    return {degrees(ea.x), degrees(ea.y), degrees(ea.z)};
}
