// The exact orientation sign and the triangle touch rule.
#include "environment/collide_orient.h"
#include "environment/collide_triangle.h"

#include <gtest/gtest.h>

#include <random>

using kiv::env::orient3d_sign;
using kiv::env::triangles_touch;

// Points on the plane x + y + z = 2^22 with integer coordinates below 2^22: exactly coplanar,
// but the products of the plain double evaluation round.
TEST(Orient3d, ExactOnLargeIntegerPlanes)
{
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> coord(0, (1 << 21) - 1);
    const double C = double(1 << 22);
    for (int n = 0; n < 2000; ++n) {
        double p[4][3];
        for (auto &q : p) {
            q[0] = coord(rng);
            q[1] = coord(rng);
            q[2] = C - q[0] - q[1];
        }
        ASSERT_EQ(orient3d_sign(p[0], p[1], p[2], p[3]), 0) << n;
        // One unit off the plane: the side flips with the direction of the step.
        const int base = orient3d_sign(p[0], p[1], p[2], p[0]);
        ASSERT_EQ(base, 0);
        double up[3] = {p[3][0], p[3][1], p[3][2] + 1}, down[3] = {p[3][0], p[3][1], p[3][2] - 1};
        const int su = orient3d_sign(p[0], p[1], p[2], up), sd = orient3d_sign(p[0], p[1], p[2], down);
        // Collinear first three points give zero for every fourth.
        if (su != 0) {
            ASSERT_EQ(su, -sd) << n;
        }
    }
}

TEST(Orient3d, SignOfAUnitTetrahedron)
{
    const double a[3] = {0, 0, 0}, b[3] = {1, 0, 0}, c[3] = {0, 1, 0};
    const double above[3] = {0.2, 0.2, 1e-300}, below[3] = {0.2, 0.2, -1e-300}, on[3] = {5, -3, 0};
    EXPECT_EQ(orient3d_sign(a, b, c, on), 0);
    EXPECT_EQ(orient3d_sign(a, b, c, above), -orient3d_sign(a, b, c, below));
    EXPECT_NE(orient3d_sign(a, b, c, above), 0);
}

struct TriCase {
    const char *name;
    float a[3][3];
    float b[3][3];
    bool touch;
};

class TriangleTouch : public ::testing::TestWithParam<TriCase> {};

TEST_P(TriangleTouch, FollowsTheRule)
{
    const TriCase &c = GetParam();
    EXPECT_EQ(triangles_touch(c.a[0], c.a[1], c.a[2], c.b[0], c.b[1], c.b[2]), c.touch);
    // The rule is symmetric, and does not depend on corner order.
    EXPECT_EQ(triangles_touch(c.b[0], c.b[1], c.b[2], c.a[0], c.a[1], c.a[2]), c.touch);
    EXPECT_EQ(triangles_touch(c.a[2], c.a[0], c.a[1], c.b[1], c.b[0], c.b[2]), c.touch);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TriangleTouch,
    ::testing::Values(
        TriCase{"Piercing", {{0, 0, 0}, {4, 0, 0}, {0, 4, 0}}, {{1, 1, -1}, {1, 1, 1}, {2, 1, 1}}, true},
        TriCase{"Separated", {{0, 0, 0}, {4, 0, 0}, {0, 4, 0}}, {{1, 1, 0.5f}, {1, 2, 1}, {2, 1, 1}}, false},
        TriCase{"CoplanarOverlap", {{0, 0, 0}, {4, 0, 0}, {0, 4, 0}}, {{1, 1, 0}, {3, 1, 0}, {1, 3, 0}}, false},
        TriCase{"SharedEdge", {{0, 0, 0}, {4, 0, 0}, {0, 4, 0}}, {{0, 0, 0}, {4, 0, 0}, {0, 0, 4}}, false},
        TriCase{"SharedCorner", {{0, 0, 0}, {4, 0, 0}, {0, 4, 0}}, {{0, 0, 0}, {-1, 0, 3}, {0, -1, 3}}, false},
        TriCase{"CornerInsideFace", {{0, 0, 0}, {4, 0, 0}, {0, 4, 0}}, {{1, 1, 0}, {1, 2, 3}, {2, 1, 3}}, true},
        TriCase{"PassingThroughACorner", {{0, 0, 0}, {4, 0, 0}, {0, 4, 0}}, {{0, 0, -1}, {0, 0, 1}, {-1, -1, 1}}, true},
        TriCase{"PassingThroughAnEdge", {{0, 0, 0}, {4, 0, 0}, {0, 4, 0}}, {{2, 0, -1}, {2, 0, 1}, {2, -3, 0}}, true},
        TriCase{"CornerOnAnEdgePassingThrough", {{0, 0, 0}, {4, 0, 0}, {0, 4, 0}}, {{2, 0, 0}, {1, 2, 3}, {3, 1, 3}}, true},
        TriCase{"Interlocked", {{0, 0, 0}, {4, 0, 0}, {0, 4, 0}}, {{1, 1, -1}, {1, 1, 1}, {-3, 1, 0}}, true},
        TriCase{"SliverPierces", {{0, 0, 0}, {4, 0, 0}, {8, 0, 0}}, {{1, -1, -1}, {1, 2, -1}, {1, -1, 2}}, true},
        TriCase{"ParallelPlanes", {{0, 0, 0}, {4, 0, 0}, {0, 4, 0}}, {{0, 0, 1e-7f}, {4, 0, 1e-7f}, {0, 4, 1e-7f}}, false}),
    [](const ::testing::TestParamInfo<TriCase> &i) { return std::string(i.param.name); });
