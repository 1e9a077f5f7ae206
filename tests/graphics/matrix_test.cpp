#include <kivctrl/adt_matrix.h>

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

ADT_Matrix random_matrix(std::mt19937 &gen)
{
    std::uniform_real_distribution<float> d(-5.0f, 5.0f);
    ADT_Matrix m;
    for (float &e : m.m) e = d(gen);
    return m;
}

QEL_QUAT random_quat(std::mt19937 &gen)
{
    std::normal_distribution<float> d;
    return QEL_QUAT(d(gen), d(gen), d(gen), d(gen)).normalize();
}

void expect_identity(const ADT_Matrix &m, float tol)
{
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(m.m[i], i % 5 == 0 ? 1.0f : 0.0f, tol) << "index " << i;
}

TEST(AdtMatrix, BuildersAndTranspose)
{
    ADT_Matrix t;
    t.Translate({1, 2, 3});
    const ADT_PointD3 p = t * ADT_PointD3{10, 20, 30};
    EXPECT_EQ(p.x, 11);
    EXPECT_EQ(p.y, 22);
    EXPECT_EQ(p.z, 33);
    EXPECT_EQ(t.m[3], 1);
    EXPECT_EQ(t.m[11], 3);

    // OpenGL reads storage column by column: the translation arrives in its last row.
    float gl[16];
    t.OGLConvert(gl);
    EXPECT_EQ(gl[3], 1);
    EXPECT_EQ(gl[12], 0);

    ADT_Matrix s;
    s.Scale({2, 3, 4});
    const ADT_PointD3 q = s * ADT_PointD3{1, 1, 1};
    EXPECT_EQ(q.y, 3);

    ADT_Matrix tt;
    tt.Transpose(t);
    EXPECT_EQ(tt.m[12], 1);
    tt.Transpose();
    for (int i = 0; i < 16; ++i) EXPECT_EQ(tt.m[i], t.m[i]);
}

TEST(AdtMatrix, PointDivisionOnlyForProjectiveW)
{
    ADT_Matrix m;
    m.Identity();
    m.m[12] = 1.0f;  // w = x + 1
    struct Case {
        ADT_PointD3 in;
        float expected_x;
    } cases[] = {
        {{0, 4, 0}, 0},    // w = 1: no division
        {{-1, 4, 0}, -1},  // w = 0: no division
        {{1, 4, 0}, 0.5f}, // w = 2: divided
    };
    for (const Case &c : cases) EXPECT_FLOAT_EQ((m * c.in).x, c.expected_x);
    EXPECT_FLOAT_EQ((m * ADT_PointD3{1, 4, 0}).y, 2.0f);
}

TEST(AdtMatrix, ProductAndInverse)
{
    std::mt19937 gen(3);
    for (int n = 0; n < 200; ++n) {
        const ADT_Matrix a = random_matrix(gen), b = random_matrix(gen);
        const ADT_Matrix ab = a * b;
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) {
                double ref = 0;
                for (int k = 0; k < 4; ++k) ref += double(a.m[4 * i + k]) * b.m[4 * k + j];
                EXPECT_NEAR(ab.m[4 * i + j], ref, 1e-4);
            }
        ADT_Matrix inv;
        inv.Inverse(a);
        expect_identity(a * inv, 2e-3f);
    }

    // A rotation's inverse is its transpose.
    for (int n = 0; n < 100; ++n) {
        ADT_Matrix r, inv, tr;
        r.FromQuat(random_quat(gen));
        inv.Inverse(r);
        tr.Transpose(r);
        for (int i = 0; i < 16; ++i) EXPECT_NEAR(inv.m[i], tr.m[i], 1e-6f);
    }

    // Singular input gives large but finite entries, never a failure.
    ADT_Matrix zero, inv;
    for (float &e : zero.m) e = 0.0f;
    inv.Inverse(zero);
    for (float e : inv.m) EXPECT_TRUE(std::isfinite(e));
    ADT_Matrix rank1;
    for (int i = 0; i < 16; ++i) rank1.m[i] = float(i % 4 + 1);
    inv.Inverse(rank1);
    for (float e : inv.m) EXPECT_TRUE(std::isfinite(e));
}

TEST(AdtMatrix, QuaternionConversions)
{
    ADT_Matrix m;
    m.FromQuat(QEL_QUAT(0, 0, 0, 0));
    expect_identity(m, 0.0f);
    m.FromQuat(QEL_QUAT(0, 0, 0, 1));
    expect_identity(m, 0.0f);

    m.FromQuat(QEL_QUAT(0, 0, 0.7071f, 0.7071f));
    const float rows[3][3] = {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) EXPECT_NEAR(m.m[4 * i + j], rows[i][j], 1e-6f);

    std::mt19937 gen(5);
    for (int n = 0; n < 300; ++n) {
        const QEL_QUAT q = random_quat(gen);
        ADT_Matrix a, b;
        a.FromQuat(q);
        b.FromQuat(QEL_QUAT(-q.x, -q.y, -q.z, -q.w));
        for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(a.m[i], b.m[i]);

        // The matrix is the transpose of R(q): it applies the inverse rotation to points.
        const QEL_VECT3 v(1.0f, -2.0f, 0.5f);
        const ADT_PointD3 p = a * ADT_PointD3{v.x, v.y, v.z};
        const QEL_VECT3 expect = q.invxform(v);
        EXPECT_NEAR(p.x, expect.x, 1e-5f);
        EXPECT_NEAR(p.y, expect.y, 1e-5f);
        EXPECT_NEAR(p.z, expect.z, 1e-5f);

        QEL_QUAT back;
        a.ToQuat(back);
        const QEL_QUAT s = q.standard();
        EXPECT_NEAR(back.x, s.x, 1e-4f);
        EXPECT_NEAR(back.y, s.y, 1e-4f);
        EXPECT_NEAR(back.z, s.z, 1e-4f);
        EXPECT_NEAR(back.w, s.w, 1e-4f);
    }
}

}  // namespace
