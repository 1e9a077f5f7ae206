#include <kivctrl/qel_euler.h>
#include <kivctrl/qel_math.h>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>
#include <random>
#include <utility>
#include <vector>

namespace {

using Mat3 = std::array<std::array<double, 3>, 3>;

constexpr double kDeg = std::numbers::pi / 180.0;

// R(q) from the table of the rotation convention, in double precision.
Mat3 rotationOf(const QEL_QUAT &q)
{
    const double x = q.x, y = q.y, z = q.z, w = q.w;
    return {{{1 - 2 * (y * y + z * z), 2 * (x * y + z * w), 2 * (x * z - y * w)},
             {2 * (x * y - z * w), 1 - 2 * (x * x + z * z), 2 * (y * z + x * w)},
             {2 * (x * z + y * w), 2 * (y * z - x * w), 1 - 2 * (x * x + y * y)}}};
}

Mat3 mul(const Mat3 &a, const Mat3 &b)
{
    Mat3 r{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k) r[i][j] += a[i][k] * b[k][j];
    return r;
}

Mat3 rotX(double a) { return {{{1, 0, 0}, {0, cos(a), -sin(a)}, {0, sin(a), cos(a)}}}; }
Mat3 rotY(double a) { return {{{cos(a), 0, sin(a)}, {0, 1, 0}, {-sin(a), 0, cos(a)}}}; }
Mat3 rotZ(double a) { return {{{cos(a), -sin(a), 0}, {sin(a), cos(a), 0}, {0, 0, 1}}}; }

void expectNear(const Mat3 &a, const Mat3 &b, double tol)
{
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) EXPECT_NEAR(a[i][j], b[i][j], tol) << "element " << i << j;
}

void expectNear(const QEL_VECT3 &a, const QEL_VECT3 &b, float tol)
{
    EXPECT_NEAR(a.x, b.x, tol);
    EXPECT_NEAR(a.y, b.y, tol);
    EXPECT_NEAR(a.z, b.z, tol);
}

// Angles in degrees that name the same turn (180 and -180 are one).
void expectSameAngles(const QEL_VECT3 &a, const QEL_VECT3 &b, float tol)
{
    for (auto [u, v] : {std::pair{a.x, b.x}, std::pair{a.y, b.y}, std::pair{a.z, b.z}})
        EXPECT_NEAR(std::remainder(double(u) - v, 360.0), 0.0, tol) << u << " vs " << v;
}

void expectNear(const QEL_QUAT &a, const QEL_QUAT &b, float tol)
{
    EXPECT_NEAR(a.x, b.x, tol);
    EXPECT_NEAR(a.y, b.y, tol);
    EXPECT_NEAR(a.z, b.z, tol);
    EXPECT_NEAR(a.w, b.w, tol);
}

// Same rotation: q or -q.
void expectSameRotation(const QEL_QUAT &a, const QEL_QUAT &b, float tol)
{
    const float sign = a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w < 0 ? -1.0f : 1.0f;
    expectNear(a, QEL_QUAT(sign * b.x, sign * b.y, sign * b.z, sign * b.w), tol);
}

struct Random {
    std::mt19937 gen{12345};
    std::normal_distribution<float> normal{0.0f, 1.0f};
    std::uniform_real_distribution<float> uniform{-10.0f, 10.0f};

    QEL_QUAT unitQuat() { return QEL_QUAT(normal(gen), normal(gen), normal(gen), normal(gen)).normalize(); }
    QEL_VECT3 vec() { return {uniform(gen), uniform(gen), uniform(gen)}; }
    QEL_FRAME frame() { return {vec(), unitQuat()}; }
};

TEST(QelQuat, RotationConvention)
{
    QEL_QUAT id;
    id.init();
    expectNear(id.xform(QEL_VECT3(1.5f, -2.0f, 3.0f)), QEL_VECT3(1.5f, -2.0f, 3.0f), 0.0f);

    // +90 degrees about +Z carries X onto Y and is stored conjugated.
    QEL_QUAT q;
    q.from_eang(0, 0, 90);
    expectNear(q, QEL_QUAT(0, 0, -0.7071068f, 0.7071068f), 1e-6f);
    expectNear(q.xform(QEL_VECT3(1, 0, 0)), QEL_VECT3(0, 1, 0), 1e-6f);

    // xform applies the matrix of the convention, even to a quaternion that is not unit.
    Random rnd;
    for (int n = 0; n < 200; ++n) {
        QEL_QUAT r = rnd.unitQuat();
        if (n % 2) r *= 1.7f;
        const QEL_VECT3 v = rnd.vec();
        const Mat3 m = rotationOf(r);
        const QEL_VECT3 got = r.xform(v);
        EXPECT_NEAR(got.x, m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z, 1e-4);
        EXPECT_NEAR(got.y, m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z, 1e-4);
        EXPECT_NEAR(got.z, m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z, 1e-4);

        float dir[3];
        r.todir(dir);
        expectNear(QEL_VECT3(dir), r.xform(QEL_VECT3(0, 0, 1)), 1e-5f);
    }
}

TEST(QelQuat, ComposeAppliesFirstArgumentFirst)
{
    Random rnd;
    for (int n = 0; n < 500; ++n) {
        const QEL_QUAT p = rnd.unitQuat(), q = rnd.unitQuat();
        expectNear(rotationOf(compose(p, q)), mul(rotationOf(q), rotationOf(p)), 1e-5);
        const QEL_VECT3 v = rnd.vec();
        expectNear(compose(p, q).xform(v), q.xform(p.xform(v)), 1e-4f);
    }
}

TEST(QelQuat, InversesAndRotationOfQuaternions)
{
    Random rnd;
    for (int n = 0; n < 200; ++n) {
        const QEL_QUAT q = rnd.unitQuat();
        const QEL_VECT3 v = rnd.vec();
        expectNear(q.invxform(q.xform(v)), v, 1e-4f);

        // The true inverse undoes a non-unit quaternion under compose; the conjugate does not.
        QEL_QUAT big = q;
        big *= 2.0f;
        QEL_QUAT id;
        id.init();
        expectNear(compose(big, big.inverse()), id, 1e-5f);
        expectNear(compose(q, q.inverseunit()), id, 1e-5f);

        // A rotation re-expressed in its own axes is itself; another one has its axis turned.
        expectNear(q.xform(q), q, 1e-5f);
        const QEL_QUAT p = rnd.unitQuat();
        const QEL_QUAT t = q.xform(p);
        expectNear(QEL_VECT3(t.x, t.y, t.z), q.xform(QEL_VECT3(p.x, p.y, p.z)), 1e-5f);
        EXPECT_EQ(t.w, p.w);
        expectNear(q.invxform(t), p, 1e-5f);
    }
}

TEST(QelQuat, NormalisationAndStandardForm)
{
    QEL_QUAT q(0.1f, 0.2f, 0.3f, 0.9f);
    const float before = std::fabs(q.sqrmag() - 1.0f);
    EXPECT_LT(std::fabs(q.norm_approx().sqrmag() - 1.0f), before * 0.5f);
    EXPECT_NEAR(q.norm().mag(), 1.0f, 1e-6f);

    QEL_QUAT neg(1, 2, 3, -4);
    expectNear(neg.standard(), QEL_QUAT(-1, -2, -3, 4), 0.0f);
    QEL_QUAT negZero(1, 2, 3, -0.0f);
    negZero.standardize();
    EXPECT_EQ(negZero.x, 1.0f);
    EXPECT_TRUE(std::signbit(negZero.w));
}

TEST(QelQuat, FromAxesInvertsTheMatrix)
{
    Random rnd;
    // Random rotations, plus half turns that reach each of the four branches.
    std::vector<QEL_QUAT> qs = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    for (int n = 0; n < 300; ++n) qs.push_back(rnd.unitQuat());
    for (const QEL_QUAT &q : qs) {
        QEL_QUAT r;
        r.fromaxes(q.xform(QEL_VECT3(1, 0, 0)), q.xform(QEL_VECT3(0, 1, 0)), q.xform(QEL_VECT3(0, 0, 1)));
        EXPECT_GE(r.w, 0.0f);
        expectSameRotation(r, q, 1e-4f);
    }
}

TEST(QelQuat, FromDirPointsZAlongTheDirection)
{
    Random rnd;
    std::vector<QEL_VECT3> dirs = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, -1}, {3, 4, 0}, {2, 0, -5}};
    for (int n = 0; n < 200; ++n) dirs.push_back(rnd.vec());
    for (const QEL_VECT3 &d : dirs) {
        float a[3], out[3];
        QEL_QUAT q;
        q.fromdir(d.to3(a));
        EXPECT_NEAR(q.mag(), 1.0f, 1e-5f);
        expectNear(QEL_VECT3(q.todir(out)), d.norm(), 1e-5f);
    }
}

TEST(QelQuat, EulerAnglesFollowFixedXYZ)
{
    for (int a = -180; a <= 180; a += 30)
        for (int b = -90; b <= 90; b += 30)
            for (int c = -180; c <= 180; c += 30) {
                QEL_QUAT q;
                q.from_eang(float(a), float(b), float(c));
                EXPECT_GE(q.w, 0.0f);
                expectNear(rotationOf(q), mul(rotX(a * kDeg), mul(rotY(b * kDeg), rotZ(c * kDeg))), 1e-6);
            }
}

TEST(QelQuat, EulerRoundTripOverAGrid)
{
    // Every 15 degrees, including b = ±90 (gimbal lock) and the ±180 ends.
    for (int a = -180; a <= 180; a += 15)
        for (int b = -90; b <= 90; b += 15)
            for (int c = -180; c <= 180; c += 15) {
                QEL_QUAT q;
                q.from_eang(float(a), float(b), float(c));
                const QEL_VECT3 e = q.to_eang();
                SCOPED_TRACE(testing::Message() << a << " " << b << " " << c << " -> " << e.x << " " << e.y << " " << e.z);
                EXPECT_GE(e.y, -90.0f);
                EXPECT_LE(e.y, 90.0f);
                for (float v : {e.x, e.z}) {
                    EXPECT_GT(v, -180.0f);
                    EXPECT_LE(v, 180.0f);
                }
                QEL_QUAT back;
                back.from_eang(e);
                expectSameRotation(back, q, 2e-5f);
                if (std::abs(b) == 90) {
                    EXPECT_EQ(e.z, 0.0f);
                } else {
                    expectSameAngles(e, QEL_VECT3(float(a), float(b), float(c)), 1e-3f);
                }
            }
}

TEST(QelQuat, EulerExamples)
{
    QEL_QUAT q;
    expectNear(q.init().to_eang(), QEL_VECT3(0, 0, 0), 0.0f);
    expectNear(q.from_eang(10, 20, 30).to_eang(), QEL_VECT3(10, 20, 30), 1e-4f);
    expectNear(q.from_eang(0, 90, 30).to_eang(), QEL_VECT3(30, 90, 0), 1e-3f);
    // A quaternion that is not unit gives the angles of its rotation.
    q.from_eang(40, -50, 60);
    q *= 3.0f;
    expectNear(q.to_eang(), QEL_VECT3(40, -50, 60), 1e-3f);
    QEL_QUAT zero(0, 0, 0, 0);
    expectNear(zero.to_eang(), QEL_VECT3(0, 0, 0), 0.0f);
}

TEST(EulerRoutines, MatrixRoundTripForEveryOrder)
{
    std::mt19937 gen(7);
    std::uniform_real_distribution<double> angle(-3.0, 3.0);
    for (int order = 0; order < 24; ++order) {
        for (int n = 0; n < 50; ++n) {
            double m[4][4], back[4][4];
            Eul_ToHMatrix({angle(gen), angle(gen), angle(gen), double(order)}, m);
            EXPECT_EQ(m[3][3], 1.0);
            Eul_ToHMatrix(Eul_FromHMatrix(m, order), back);
            for (int i = 0; i < 4; ++i)
                for (int j = 0; j < 4; ++j) EXPECT_NEAR(m[i][j], back[i][j], 1e-9) << "order " << order;
        }
    }
}

TEST(QelFrame, InverseComposesToIdentity)
{
    Random rnd;
    for (int n = 0; n < 300; ++n) {
        QEL_FRAME f = rnd.frame();
        // The true inverse also undoes a frame whose orientation is not unit.
        if (n % 3 == 0) f.q *= 0.6f;
        const QEL_FRAME inv = f.inverse();
        // Inverse after frame: the identity for any orientation; frame after inverse needs a
        // unit one, since R(q) of a non-unit q is skewed and R(q)·R(inverse(q)) is not I.
        std::vector<QEL_FRAME> ids = {inv.xform(f)};
        if (n % 3 != 0) ids.push_back(f.xform(inv));
        for (const QEL_FRAME &id : ids) {
            expectNear(id.p, QEL_VECT3(0, 0, 0), 1e-4f);
            expectSameRotation(id.q, QEL_QUAT(0, 0, 0, 1), 1e-5f);
        }
    }
}

TEST(QelFrame, MapsLocalToParentAndBack)
{
    Random rnd;
    for (int n = 0; n < 300; ++n) {
        const QEL_FRAME f = rnd.frame(), g = rnd.frame();
        const QEL_VECT3 v = rnd.vec();
        expectNear(f.xform(v), f.q.xform(v) += f.p, 1e-5f);
        expectNear(f.invxform(f.xform(v)), v, 1e-4f);
        expectNear(f.inverse().xform(v), f.invxform(v), 1e-4f);

        // A frame nested in f: its points reach the parent through both frames.
        const QEL_FRAME fg = f.xform(g);
        expectNear(fg.xform(v), f.xform(g.xform(v)), 1e-3f);
        const QEL_FRAME back = f.invxform(fg);
        expectNear(back.p, g.p, 1e-4f);
        expectSameRotation(back.q, g.q, 1e-5f);

        QEL_VECT3 t = v;
        f.transform(t);
        f.invtransform(t);
        expectNear(t, v, 1e-4f);
    }
}

TEST(QelFrame, NonUnitOrientationInverseDiffersFromConjugate)
{
    QEL_FRAME f(QEL_VECT3(1, 2, 3), QEL_QUAT(0, 0, 0.5f, 1.0f));
    const QEL_VECT3 v(4, 5, 6);
    const QEL_VECT3 a = f.invxform(v), b = f.inverse().xform(v);
    EXPECT_GT((QEL_VECT3(a) -= b).mag(), 0.1f);

    QEL_FRAME e(QEL_VECT3(0, 0, 0), QEL_VECT3(0, 0, 90));
    expectNear(e.q, QEL_QUAT(0, 0, -0.7071068f, 0.7071068f), 1e-6f);
}

TEST(QelVect, PerpAndTranslations)
{
    for (const QEL_VECT3 &v : {QEL_VECT3(1, 2, 0), QEL_VECT3(3, 0, 4), QEL_VECT3(1, 2, 3), QEL_VECT3(0, 0, 5)}) {
        const QEL_VECT3 p = v.perp();
        EXPECT_EQ(p.x * v.x + p.y * v.y + p.z * v.z, 0.0f);
        EXPECT_GT(p.sqrmag(), 0.0f);
    }
    expectNear(QEL_VECT3(1, 2, 0).perp(), QEL_VECT3(-2, 1, 0), 0.0f);
    expectNear(QEL_VECT3(3, 0, 4).perp(), QEL_VECT3(4, 0, -3), 0.0f);
    expectNear(QEL_VECT3(1, 2, 3).perp(), QEL_VECT3(0, -3, 2), 0.0f);
    EXPECT_EQ(QEL_VECT2(1, 2).perp().x, -2.0f);

    const QEL_VECT3 t(1, 2, 3);
    expectNear(t.xform(QEL_VECT3(10, 10, 10)), QEL_VECT3(11, 12, 13), 0.0f);
    expectNear(t.invxform(QEL_VECT3(10, 10, 10)), QEL_VECT3(9, 8, 7), 0.0f);
    QEL_QUAT q(1, 2, 3, 4);
    t.transform(q);
    expectNear(q, QEL_QUAT(1, 2, 3, 4), 0.0f);

    float arr[4];
    EXPECT_EQ(QEL_QUAT(1, 2, 3, 4).to4(arr), arr);
    EXPECT_EQ(arr[3], 4.0f);
    EXPECT_EQ(QEL_QUAT().from4(arr).w, 4.0f);
}

TEST(QelInterpolate, EndsHalfwayAndSlerp)
{
    Random rnd;
    for (int n = 0; n < 200; ++n) {
        const QEL_QUAT a = rnd.unitQuat(), b = rnd.unitQuat();
        expectNear(interpolate(a, b, 0.0f), a, 0.0f);
        expectNear(interpolate(a, b, 1.0f), b, 0.0f);
        // The halfway form agrees with the general one just beside t = 0.5.
        expectNear(interpolate(a, b, 0.5f), interpolate(a, b), 0.0f);
        expectSameRotation(interpolate(a, b), interpolate(a, b, 0.5001f), 1e-3f);

        // The turn from a grows linearly with t along the shorter way.
        const float full = 2 * std::acos(std::min(1.0f, std::fabs(compose(b, a.inverseunit()).w)));
        for (float t : {0.25f, 0.7f}) {
            const QEL_QUAT r = interpolate(a, b, t);
            EXPECT_GE(r.w, 0.0f);
            EXPECT_NEAR(r.mag(), 1.0f, 1e-5f);
            const float part = 2 * std::acos(std::min(1.0f, std::fabs(compose(r, a.inverseunit()).w)));
            EXPECT_NEAR(part, t * full, 2e-3f);
        }
    }
}

TEST(QelInterpolate, OppositeAndNearlyEqualEnds)
{
    const QEL_QUAT a = QEL_QUAT(0.1f, -0.5f, 0.3f, -0.8f).norm();
    const QEL_QUAT neg(-a.x, -a.y, -a.z, -a.w);
    for (float t : {0.1f, 0.5f, 0.9f}) expectNear(interpolate(a, neg, t), a.standard(), 1e-6f);
    expectNear(interpolate(a, neg, 0.0f), a, 0.0f);
    expectNear(interpolate(a, neg, 1.0f), neg, 0.0f);

    // dot(a, b) = 0.9999995: no blending, a itself comes back standardised.
    const double half = std::acos(0.9999995) / 2;
    const QEL_QUAT p(0, 0, float(std::sin(-half)), float(-std::cos(half)));
    const QEL_QUAT q(0, 0, float(std::sin(half)), float(-std::cos(half)));
    expectNear(interpolate(p, q, 0.3f), p.standard(), 0.0f);
}

TEST(QelCompare, Tolerances)
{
    float a[3] = {1, 2, 3}, near[3] = {1.002f, 2, 3}, far[3] = {1.004f, 2, 3};
    EXPECT_TRUE(GSp3_equal(a, near));
    EXPECT_FALSE(GSp3_equal(a, far));

    Random rnd;
    for (int n = 0; n < 100; ++n) {
        QEL_QUAT q = rnd.unitQuat();
        if (n < 3) q = QEL_QUAT(n == 0, n == 1, n == 2, 0.0f);  // w = 0: standardising cannot help
        float x[4], y[4];
        q.to4(x);
        QEL_QUAT(-q.x, -q.y, -q.z, -q.w).to4(y);
        EXPECT_TRUE(GSq_equal(x, y));
        QEL_QUAT r = q;
        r.x += 0.01f;
        EXPECT_FALSE(GSq_equal(x, r.to4(y)));
    }
}

TEST(Constraint, Clamp)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        uint32_t flags;
        float min, max, current, proposed, expected;
    } cases[] = {
        {0, 0, 10, 5, -2, -2},   {5, 0, 10, 5, -2, 5},   {4, 0, 10, 5, 7, 5},
        {3, 0, 10, 5, -2, 0},    {3, 0, 10, 5, 12, 10},  {3, 0, 10, 5, 7, 7},
        {1, 0, 10, 5, 12, 12},   {2, 0, 10, 5, -2, -2},  {3, 10, 0, 5, 5, 0},
        {1, 0, 10, 5, nan, 0},   {2, 0, 10, 5, nan, 10}, {3, 0, 10, 5, nan, 0},
    };
    for (const Case &k : cases) {
        CONSTRAINT c{k.flags, k.min, k.max};
        EXPECT_EQ(constrain_value(&c, k.current, k.proposed), k.expected) << "flags " << k.flags;
    }
}

}  // namespace
