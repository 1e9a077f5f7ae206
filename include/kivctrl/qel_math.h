// Vector, quaternion and reference-frame value types shared by every subsystem.
//
// Conventions (fixed: stored files and the automation interface depend on them):
// - A quaternion is (x, y, z, w), vector part first, scalar w last.
// - R(q) below is the rotation matrix of q; rotating ("xform") v yields R(q)·v.
//       | 1-2(y²+z²)  2(xy+zw)    2(xz-yw)   |
//       | 2(xy-zw)    1-2(x²+z²)  2(yz+xw)   |
//       | 2(xz+yw)    2(yz-xw)    1-2(x²+y²) |
//   In Hamilton notation this is conj(q)·v·q: the stored components are the conjugate of the
//   textbook quaternion for the same rotation (+90° about +Z is (0, 0, -0.7071068, 0.7071068)).
// - compose(p, q) applies p first, then q: R(compose(p, q)) = R(q)·R(p).
// - A frame (p, q) maps local coordinates into its parent's: v -> R(q)·v + p.
//
// All types are trivial records of floats: the default constructors leave the fields
// undefined, init() gives the zero vector or the identity. Nothing is normalised implicitly;
// normalising a zero vector or quaternion divides by zero.
#pragma once

#include <cmath>
#include <cstdint>

struct QEL_QUAT;

struct QEL_VECT2 {
    float x, y;

    QEL_VECT2() = default;
    QEL_VECT2(float x_, float y_) : x(x_), y(y_) {}
    explicit QEL_VECT2(const float *a) : x(a[0]), y(a[1]) {}

    QEL_VECT2 &init() { x = y = 0.0f; return *this; }
    float *to2(float *a) const { a[0] = x; a[1] = y; return a; }
    QEL_VECT2 &from2(const float *a) { x = a[0]; y = a[1]; return *this; }

    QEL_VECT2 &operator+=(const QEL_VECT2 &v) { x += v.x; y += v.y; return *this; }
    QEL_VECT2 &operator-=(const QEL_VECT2 &v) { x -= v.x; y -= v.y; return *this; }
    QEL_VECT2 &operator*=(float s) { x *= s; y *= s; return *this; }
    QEL_VECT2 &operator/=(float s) { x /= s; y /= s; return *this; }
    QEL_VECT2 operator-() const { return {-x, -y}; }

    // The vector turned +90 degrees.
    QEL_VECT2 perp() const { return {-y, x}; }
    float sqrmag() const { return x * x + y * y; }
    float mag() const { return std::sqrt(sqrmag()); }
    QEL_VECT2 &normalize() { return *this /= mag(); }
    QEL_VECT2 norm() const { QEL_VECT2 r = *this; return r.normalize(); }
};

struct QEL_VECT3 {
    float x, y, z;

    QEL_VECT3() = default;
    QEL_VECT3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
    explicit QEL_VECT3(const float *a) : x(a[0]), y(a[1]), z(a[2]) {}

    QEL_VECT3 &init() { x = y = z = 0.0f; return *this; }
    float *to3(float *a) const { a[0] = x; a[1] = y; a[2] = z; return a; }
    QEL_VECT3 &from3(const float *a) { x = a[0]; y = a[1]; z = a[2]; return *this; }

    QEL_VECT3 &operator+=(const QEL_VECT3 &v) { x += v.x; y += v.y; z += v.z; return *this; }
    QEL_VECT3 &operator-=(const QEL_VECT3 &v) { x -= v.x; y -= v.y; z -= v.z; return *this; }
    QEL_VECT3 &operator*=(float s) { x *= s; y *= s; z *= s; return *this; }
    QEL_VECT3 &operator/=(float s) { x /= s; y /= s; z /= s; return *this; }
    QEL_VECT3 operator-() const { return {-x, -y, -z}; }

    QEL_VECT3 inverse() const { return {-x, -y, -z}; }
    QEL_VECT3 &invert() { x = -x; y = -y; z = -z; return *this; }
    float sqrmag() const { return x * x + y * y + z * z; }
    float mag() const { return std::sqrt(sqrmag()); }
    QEL_VECT3 &normalize() { return *this /= mag(); }
    QEL_VECT3 norm() const { QEL_VECT3 r = *this; return r.normalize(); }

    // Some vector perpendicular to this one, not normalised.
    QEL_VECT3 perp() const
    {
        if (z == 0.0f) return {-y, x, 0.0f};
        if (y == 0.0f) return {z, 0.0f, -x};
        return {0.0f, -z, y};
    }

    // A vector used as a pure translation.
    QEL_VECT3 xform(const QEL_VECT3 &v) const { return {v.x + x, v.y + y, v.z + z}; }
    QEL_VECT3 invxform(const QEL_VECT3 &v) const { return {v.x - x, v.y - y, v.z - z}; }
    QEL_VECT3 &transform(QEL_VECT3 &v) const { return v += *this; }
    QEL_VECT3 &invtransform(QEL_VECT3 &v) const { return v -= *this; }
    // A translation leaves an orientation unchanged.
    QEL_QUAT &transform(QEL_QUAT &q) const { return q; }
    QEL_QUAT &invtransform(QEL_QUAT &q) const { return q; }
};

struct QEL_QUAT {
    float x, y, z, w;

    QEL_QUAT() = default;
    QEL_QUAT(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}
    explicit QEL_QUAT(const float *a) : x(a[0]), y(a[1]), z(a[2]), w(a[3]) {}

    QEL_QUAT &init() { x = y = z = 0.0f; w = 1.0f; return *this; }
    float *to4(float *a) const { a[0] = x; a[1] = y; a[2] = z; a[3] = w; return a; }
    QEL_QUAT &from4(const float *a) { x = a[0]; y = a[1]; z = a[2]; w = a[3]; return *this; }

    QEL_QUAT &operator-=(const QEL_QUAT &q) { x -= q.x; y -= q.y; z -= q.z; w -= q.w; return *this; }
    QEL_QUAT &operator*=(float s) { x *= s; y *= s; z *= s; w *= s; return *this; }
    QEL_QUAT &operator/=(float s) { x /= s; y /= s; z /= s; w /= s; return *this; }

    float sqrmag() const { return x * x + y * y + z * z + w * w; }
    float mag() const { return std::sqrt(sqrmag()); }
    QEL_QUAT &normalize() { return *this /= mag(); }
    QEL_QUAT norm() const { QEL_QUAT r = *this; return r.normalize(); }
    // Square-root-free renormalisation, exact to first order near unit length.
    QEL_QUAT &normalize_approx() { return *this *= 2.0f / (1.0f + sqrmag()); }
    QEL_QUAT norm_approx() const { QEL_QUAT r = *this; return r.normalize_approx(); }

    // True inverse: the conjugate divided by sqrmag().
    QEL_QUAT &invert() { float n = sqrmag(); x = -x / n; y = -y / n; z = -z / n; w /= n; return *this; }
    QEL_QUAT inverse() const { QEL_QUAT r = *this; return r.invert(); }
    // Conjugate: the inverse of a unit quaternion.
    QEL_QUAT &invertunit() { x = -x; y = -y; z = -z; return *this; }
    QEL_QUAT inverseunit() const { return {-x, -y, -z, w}; }
    // Same rotation with w >= 0 (-0.0 counts as non-negative).
    QEL_QUAT &standardize() { if (w < 0.0f) { x = -x; y = -y; z = -z; w = -w; } return *this; }
    QEL_QUAT standard() const { QEL_QUAT r = *this; return r.standardize(); }

    // R(q)·v.
    QEL_VECT3 xform(const QEL_VECT3 &v) const
    {
        const float x2 = x + x, y2 = y + y, z2 = z + z;
        const float xx = x * x2, yy = y * y2, zz = z * z2;
        const float xy = x * y2, xz = x * z2, yz = y * z2;
        const float wx = w * x2, wy = w * y2, wz = w * z2;
        return {(1.0f - (yy + zz)) * v.x + (xy + wz) * v.y + (xz - wy) * v.z,
                (xy - wz) * v.x + (1.0f - (xx + zz)) * v.y + (yz + wx) * v.z,
                (xz + wy) * v.x + (yz - wx) * v.y + (1.0f - (xx + yy)) * v.z};
    }
    QEL_VECT3 &transform(QEL_VECT3 &v) const { return v = xform(v); }
    // R(conj(q))·v: the inverse rotation when q is of unit length.
    QEL_VECT3 invxform(const QEL_VECT3 &v) const { return inverseunit().xform(v); }
    QEL_VECT3 &invtransform(QEL_VECT3 &v) const { return v = invxform(v); }

    // The rotation p re-expressed in the rotated axes: its vector part turned by R(q), w kept.
    QEL_QUAT xform(const QEL_QUAT &p) const
    {
        const QEL_VECT3 v = xform(QEL_VECT3(p.x, p.y, p.z));
        return {v.x, v.y, v.z, p.w};
    }
    QEL_QUAT &transform(QEL_QUAT &p) const { return p = xform(p); }
    QEL_QUAT invxform(const QEL_QUAT &p) const { return inverseunit().xform(p); }
    QEL_QUAT &invtransform(QEL_QUAT &p) const { return p = invxform(p); }

    // R(q)·(0, 0, 1): where the rotated +Z axis points.
    float *todir(float out[3]) const
    {
        out[0] = 2.0f * (x * z - y * w);
        out[1] = 2.0f * (y * z + x * w);
        out[2] = 1.0f - 2.0f * (x * x + y * y);
        return out;
    }

    // The rotation whose matrix has the columns X, Y, Z (expected orthonormal), standardised.
    QEL_QUAT &fromaxes(const QEL_VECT3 &X, const QEL_VECT3 &Y, const QEL_VECT3 &Z);
    QEL_QUAT &fromaxes(const float *X, const float *Y, const float *Z);
    // A rotation whose rotated +Z axis points along dir (not zero); the roll is fixed by perp().
    QEL_QUAT &fromdir(const float dir[3]);

    // Euler angles in degrees: R = Rx(a)·Ry(b)·Rz(c), i.e. a vector turns first by c about Z,
    // then by b about Y, then by a about X, all fixed axes. b lies in [-90, 90], a and c in
    // (-180, 180]; at gimbal lock c is 0 and the whole turn about the common axis goes to a.
    QEL_VECT3 to_eang() const;
    QEL_QUAT &from_eang(float a, float b, float c);
    QEL_QUAT &from_eang(const QEL_VECT3 &v) { return from_eang(v.x, v.y, v.z); }
};

// compose(p, q): p applied first, then q; in Hamilton notation p·q.
inline QEL_QUAT compose(const QEL_QUAT &p, const QEL_QUAT &q)
{
    return {q.w * p.x + p.w * q.x + q.z * p.y - q.y * p.z,
            q.w * p.y + p.w * q.y + q.x * p.z - q.z * p.x,
            q.w * p.z + p.w * q.z + q.y * p.x - q.x * p.y,
            q.w * p.w - (q.x * p.x + q.y * p.y + q.z * p.z)};
}

// A placement: position p and orientation q, mapping local coordinates into the parent's.
struct QEL_FRAME {
    QEL_VECT3 p;
    QEL_QUAT q;

    QEL_FRAME() = default;
    QEL_FRAME(const QEL_VECT3 &pos, const QEL_QUAT &quat) : p(pos), q(quat) {}
    QEL_FRAME(const QEL_VECT3 &pos, const QEL_VECT3 &eangles) : p(pos) { q.from_eang(eangles); }

    QEL_FRAME &init() { p.init(); q.init(); return *this; }

    QEL_FRAME &normalize() { q.normalize(); return *this; }
    QEL_FRAME norm() const { return {p, q.norm()}; }
    QEL_FRAME &normalize_approx() { q.normalize_approx(); return *this; }
    QEL_FRAME norm_approx() const { return {p, q.norm_approx()}; }

    // The inverse mapping, using the true inverse of q.
    QEL_FRAME &invert()
    {
        q.invert();
        p = q.xform(-p);
        return *this;
    }
    QEL_FRAME inverse() const { QEL_FRAME r = *this; return r.invert(); }

    // Local point to parent coordinates, and back (the latter assumes a unit q).
    QEL_VECT3 xform(const QEL_VECT3 &v) const { QEL_VECT3 r = q.xform(v); return r += p; }
    QEL_VECT3 &transform(QEL_VECT3 &v) const { return v = xform(v); }
    QEL_VECT3 invxform(const QEL_VECT3 &v) const
    {
        QEL_VECT3 d = v;
        return q.invxform(d -= p);
    }
    QEL_VECT3 &invtransform(QEL_VECT3 &v) const { return v = invxform(v); }

    // A local orientation carried into parent coordinates, and back (true inverse).
    QEL_QUAT xform(const QEL_QUAT &r) const { return compose(r, q); }
    QEL_QUAT &transform(QEL_QUAT &r) const { return r = xform(r); }
    QEL_QUAT invxform(const QEL_QUAT &r) const { return compose(r, q.inverse()); }
    QEL_QUAT &invtransform(QEL_QUAT &r) const { return r = invxform(r); }

    // A frame given in this frame's coordinates, expressed in the parent's, and back.
    QEL_FRAME xform(const QEL_FRAME &f) const { return {xform(f.p), xform(f.q)}; }
    QEL_FRAME &transform(QEL_FRAME &f) const { return f = xform(f); }
    QEL_FRAME invxform(const QEL_FRAME &f) const { return {invxform(f.p), invxform(f.q)}; }
    QEL_FRAME &invtransform(QEL_FRAME &f) const { return f = invxform(f); }
};

// Reference frame in which a placement is given or asked for; any other value acts as
// FRAME_WORLD.
enum FRAME {
    FRAME_LOCAL = 0,
    FRAME_PARENT = 1,
    FRAME_VIEWPOINT = 2,
    FRAME_WORLD = 3,
};

// Limits of one degree of freedom.
struct CONSTRAINT {
    enum : uint32_t {
        LOWER = 1,   // min is active
        UPPER = 2,   // max is active
        LOCKED = 4,  // the value never changes
    };
    uint32_t flags;
    float min;
    float max;
};

// The orientation halfway between a and b (taking the shorter way), standardised.
QEL_QUAT interpolate(const QEL_QUAT &a, const QEL_QUAT &b);
// Spherical interpolation: t = 0 gives a, t = 1 gives b exactly; t is not clamped.
QEL_QUAT interpolate(const QEL_QUAT &a, const QEL_QUAT &b, float t);

// Nonzero when two 3-points lie closer than sqrt(0.00001).
int GSp3_equal(float *a, float *b);
// Nonzero when two quaternions stand for nearly the same rotation (q and -q are equal).
int GSq_equal(float *a, float *b);

// The value a constrained degree of freedom may take when proposed moves it from current.
// A locked one keeps current; limits clamp proposed, the upper one winning when min > max;
// a proposed non-number becomes the active limit.
float constrain_value(CONSTRAINT *c, float current, float proposed);
