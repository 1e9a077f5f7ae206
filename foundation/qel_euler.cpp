// Euler angles <-> matrices and quaternions, for every one of the 24 axis orders.
#include <kivctrl/qel_euler.h>

#include <cfloat>
#include <cmath>
#include <utility>

namespace {

// The order code unpacked.
struct EulOrder {
    int i, j, k;     // inner, middle and outer axis
    bool oddParity;  // the axes i, j, k are not a cyclic X, Y, Z
    bool repeated;   // first and last axes are the same
    bool rotating;   // axes turn with the body instead of staying fixed
};

EulOrder unpack(int code)
{
    static const int safe[4] = {0, 1, 2, 0};
    static const int next[4] = {1, 2, 0, 1};
    EulOrder o{};
    o.rotating = (code & 1) != 0;
    code >>= 1;
    o.repeated = (code & 1) != 0;
    code >>= 1;
    o.oddParity = (code & 1) != 0;
    code >>= 1;
    o.i = safe[code & 3];
    o.j = next[o.i + (o.oddParity ? 1 : 0)];
    o.k = next[o.i + (o.oddParity ? 0 : 1)];
    return o;
}

// Below this the cosine (or sine) of the middle angle counts as zero: gimbal lock.
constexpr double kGimbal = 16 * FLT_EPSILON;

}  // namespace

void Eul_ToHMatrix(Quat ea, double M[4][4])
{
    const EulOrder o = unpack(static_cast<int>(ea.w));
    if (o.rotating) std::swap(ea.x, ea.z);
    if (o.oddParity) {
        ea.x = -ea.x;
        ea.y = -ea.y;
        ea.z = -ea.z;
    }
    const double ci = std::cos(ea.x), cj = std::cos(ea.y), ch = std::cos(ea.z);
    const double si = std::sin(ea.x), sj = std::sin(ea.y), sh = std::sin(ea.z);
    const double cc = ci * ch, cs = ci * sh, sc = si * ch, ss = si * sh;
    const int i = o.i, j = o.j, k = o.k;
    if (o.repeated) {
        M[i][i] = cj;       M[i][j] = sj * si;       M[i][k] = sj * ci;
        M[j][i] = sj * sh;  M[j][j] = -cj * ss + cc; M[j][k] = -cj * cs - sc;
        M[k][i] = -sj * ch; M[k][j] = cj * sc + cs;  M[k][k] = cj * cc - ss;
    } else {
        M[i][i] = cj * ch; M[i][j] = sj * sc - cs; M[i][k] = sj * cc + ss;
        M[j][i] = cj * sh; M[j][j] = sj * ss + cc; M[j][k] = sj * cs - sc;
        M[k][i] = -sj;     M[k][j] = cj * si;      M[k][k] = cj * ci;
    }
    M[3][0] = M[3][1] = M[3][2] = M[0][3] = M[1][3] = M[2][3] = 0.0;
    M[3][3] = 1.0;
}

EulerAngles Eul_FromHMatrix(double M[4][4], int order)
{
    const EulOrder o = unpack(order);
    const int i = o.i, j = o.j, k = o.k;
    EulerAngles ea{};
    if (o.repeated) {
        const double sy = std::sqrt(M[i][j] * M[i][j] + M[i][k] * M[i][k]);
        if (sy > kGimbal) {
            ea.x = std::atan2(M[i][j], M[i][k]);
            ea.y = std::atan2(sy, M[i][i]);
            ea.z = std::atan2(M[j][i], -M[k][i]);
        } else {
            ea.x = std::atan2(-M[j][k], M[j][j]);
            ea.y = std::atan2(sy, M[i][i]);
            ea.z = 0.0;
        }
    } else {
        const double cy = std::sqrt(M[i][i] * M[i][i] + M[j][i] * M[j][i]);
        if (cy > kGimbal) {
            ea.x = std::atan2(M[k][j], M[k][k]);
            ea.y = std::atan2(-M[k][i], cy);
            ea.z = std::atan2(M[j][i], M[i][i]);
        } else {
            ea.x = std::atan2(-M[j][k], M[j][j]);
            ea.y = std::atan2(-M[k][i], cy);
            ea.z = 0.0;
        }
    }
    if (o.oddParity) {
        ea.x = -ea.x;
        ea.y = -ea.y;
        ea.z = -ea.z;
    }
    if (o.rotating) std::swap(ea.x, ea.z);
    ea.w = order;
    return ea;
}

Quat Eul_ToQuat(EulerAngles ea)
{
    const EulOrder o = unpack(static_cast<int>(ea.w));
    if (o.rotating) std::swap(ea.x, ea.z);
    if (o.oddParity) ea.y = -ea.y;
    const double ti = ea.x * 0.5, tj = ea.y * 0.5, th = ea.z * 0.5;
    const double ci = std::cos(ti), cj = std::cos(tj), ch = std::cos(th);
    const double si = std::sin(ti), sj = std::sin(tj), sh = std::sin(th);
    const double cc = ci * ch, cs = ci * sh, sc = si * ch, ss = si * sh;
    double a[3];
    Quat q{};
    if (o.repeated) {
        a[o.i] = cj * (cs + sc);
        a[o.j] = sj * (cc + ss);
        a[o.k] = sj * (cs - sc);
        q.w = cj * (cc - ss);
    } else {
        a[o.i] = cj * sc - sj * cs;
        a[o.j] = cj * ss + sj * cc;
        a[o.k] = cj * cs - sj * sc;
        q.w = cj * cc + sj * ss;
    }
    if (o.oddParity) a[o.j] = -a[o.j];
    q.x = a[0];
    q.y = a[1];
    q.z = a[2];
    return q;
}

EulerAngles Eul_FromQuat(Quat q, int order)
{
    // Scaling by 2/|q|² accepts a quaternion that is not of unit length.
    const double nq = q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w;
    const double s = nq > 0.0 ? 2.0 / nq : 0.0;
    const double xs = q.x * s, ys = q.y * s, zs = q.z * s;
    const double wx = q.w * xs, wy = q.w * ys, wz = q.w * zs;
    const double xx = q.x * xs, xy = q.x * ys, xz = q.x * zs;
    const double yy = q.y * ys, yz = q.y * zs, zz = q.z * zs;
    double M[4][4] = {
        {1.0 - (yy + zz), xy - wz, xz + wy, 0.0},
        {xy + wz, 1.0 - (xx + zz), yz - wx, 0.0},
        {xz - wy, yz + wx, 1.0 - (xx + yy), 0.0},
        {0.0, 0.0, 0.0, 1.0},
    };
    return Eul_FromHMatrix(M, order);
}
