// Collision data of graphics objects: the exact test between placed solids, its agreement
// with a test of every triangle pair, and when the world data are refreshed.
#include "environment/collide_shape.h"
#include "environment/collide_triangle.h"

#include "environment/solids.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

using kiv::env::CollisionShape;

namespace {

struct GSdeleter {
    void operator()(GSobject *g) const { GSobject_delete(g); }
};
using GSptr = std::unique_ptr<GSobject, GSdeleter>;

QEL_QUAT turn(float ax, float ay, float az, float degrees)
{
    const float n = std::sqrt(ax * ax + ay * ay + az * az), h = degrees * 3.14159265f / 360.0f;
    return {ax / n * std::sin(h), ay / n * std::sin(h), az / n * std::sin(h), std::cos(h)};
}

// Places g's local origin at p, turned by q.
void place(GSobject *g, const float p[3], const QEL_QUAT &q)
{
    float v[4];
    q.to4(v);
    GSobject_setorientation(g, v);
    GSobject_setorgposition(g, p);
}

// Every triangle pair of the two objects, in world coordinates: the reference answer.
bool brute_force(GSobject *a, GSobject *b)
{
    auto triangles = [](GSobject *g) {
        std::vector<std::array<float, 9>> out;
        GSpolygon p;
        for (bool ok = GSobject_firstpoly(g, p); ok; ok = GSpolygon_nextpoly(p, p)) {
            const int n = GSpolygon_nvertices(p);
            std::vector<std::array<float, 3>> c(size_t(std::max(n, 0)));
            for (int i = 0; i < n; ++i) {
                GSvertex v = GSpolygon_getvertex(p, i);
                GSvertex_getposition(&v, c[size_t(i)].data(), GS_FRAME_WORLD);
            }
            for (int i = 1; i + 1 < n; ++i)
                out.push_back({c[0][0], c[0][1], c[0][2], c[size_t(i)][0], c[size_t(i)][1], c[size_t(i)][2],
                               c[size_t(i) + 1][0], c[size_t(i) + 1][1], c[size_t(i) + 1][2]});
        }
        return out;
    };
    for (const auto &s : triangles(a))
        for (const auto &t : triangles(b))
            if (kiv::env::triangles_touch(&s[0], &s[3], &s[6], &t[0], &t[3], &t[6])) return true;
    return false;
}

struct PairCase {
    const char *name;
    Solid a, b;
    float at[3];  // where b's origin goes
    QEL_QUAT q;   // b's turn
    bool touch;
};

const QEL_QUAT kNone{0, 0, 0, 1};

std::vector<PairCase> pair_cases()
{
    const Solid unit = box_solid(0, 0, 0, 1, 1, 1);
    const Solid centred = box_solid(-0.5f, -0.5f, 0, 0.5f, 0.5f, 1);
    return {
        {"FacesShareAPlaneOnly", unit, unit, {1, 0, 0}, kNone, false},
        {"Overlapping", unit, unit, {0.5f, 0.25f, 0.125f}, kNone, true},
        {"HalfwayInWithSidesInCommonPlanes", unit, unit, {0.5f, 0, 0}, kNone, true},
        {"SeparatedByATenth", unit, unit, {1.1f, 0, 0}, kNone, false},
        {"InsideAHollowBoxWithoutTouching", box_solid(-2, -2, -2, 3, 3, 3), unit, {0, 0, 0}, kNone, false},
        {"CornerThroughAFace", unit, unit, {0.9f, 0.9f, 0.9f}, turn(1, 1, 0, 30), true},
        {"TurnedEdgeIntoAFace", unit, centred, {1.6f, 0.5f, 0}, turn(0, 0, 1, 45), true},
        {"TurnedEdgeShortOfAFace", unit, centred, {1.75f, 0.5f, 0}, turn(0, 0, 1, 45), false},
        {"RestingOnALargerFace", box_solid(0, 0, 0, 4, 4, 1), box_solid(0, 0, 0, 0.5f, 0.7f, 1), {1.3f, 2.1f, 1}, kNone, true},
        {"SpheresOverlapping", sphere_solid(1, 16, 8), sphere_solid(1, 16, 8), {1.5f, 0.2f, 0}, turn(1, 2, 3, 20), true},
        {"SpheresAHundredthApart", sphere_solid(1, 16, 8), sphere_solid(1, 16, 8), {2.01f, 0, 0}, kNone, false},
        {"ShaftInBore", bore_solid(1.05, 2, -1, 1, 32, 2), shaft_solid(1, -2, 2, 32, 4), {0, 0, 0}, turn(0, 0, 1, 5.625f), false},
        {"ShaftOffsetIntoBore", bore_solid(1.05, 2, -1, 1, 32, 2), shaft_solid(1, -2, 2, 32, 4), {0.1f, 0, 0}, kNone, true},
    };
}

class SolidPairs : public ::testing::TestWithParam<PairCase> {};

TEST_P(SolidPairs, AgreeWithEveryTrianglePair)
{
    const PairCase &c = GetParam();
    GSptr a(make_gsobject(c.a)), b(make_gsobject(c.b));
    place(b.get(), c.at, c.q);
    CollisionShape sa, sb;
    ASSERT_TRUE(sa.refresh(a.get(), 0));
    ASSERT_TRUE(sb.refresh(b.get(), 0));
    EXPECT_EQ(shapes_touch(sa, sb), c.touch);
    EXPECT_EQ(shapes_touch(sb, sa), c.touch);
    EXPECT_EQ(brute_force(a.get(), b.get()), c.touch);
}

INSTANTIATE_TEST_SUITE_P(Placements, SolidPairs, ::testing::ValuesIn(pair_cases()),
                         [](const ::testing::TestParamInfo<PairCase> &i) { return std::string(i.param.name); });

// Random placements of two coarse spheres near contact: the tree never prunes a touching pair.
TEST(CollisionShapeTest, TreeAgreesWithEveryPairOnRandomPlacements)
{
    GSptr a(make_gsobject(sphere_solid(1, 10, 6))), b(make_gsobject(sphere_solid(0.7, 8, 5, 0.3, 0, 0)));
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> u(-1, 1);
    CollisionShape sa, sb;
    int touching = 0;
    for (uint16_t n = 1; n <= 100; ++n) {
        const float dir[3] = {u(rng), u(rng), u(rng)};
        const float len = std::sqrt(dir[0] * dir[0] + dir[1] * dir[1] + dir[2] * dir[2]) + 1e-6f;
        const float d = 1.3f + 0.6f * u(rng);
        const float at[3] = {dir[0] / len * d, dir[1] / len * d, dir[2] / len * d};
        place(b.get(), at, turn(u(rng), u(rng), u(rng) + 2, 180 * u(rng)));
        ASSERT_TRUE(sa.refresh(a.get(), 0));
        ASSERT_TRUE(sb.refresh(b.get(), n));
        const bool expect = brute_force(a.get(), b.get());
        touching += expect;
        ASSERT_EQ(shapes_touch(sa, sb), expect) << n;
    }
    EXPECT_GT(touching, 15);
    EXPECT_LT(touching, 85);
}

// Far from the origin world corners round coarsely; the tree's margins must cover that.
TEST(CollisionShapeTest, FarFromTheOriginTreeAgreesWithEveryPair)
{
    GSptr a(make_gsobject(box_solid(0, 0, 0, 1, 1, 1))), b(make_gsobject(box_solid(0, 0, 0, 1, 1, 1)));
    CollisionShape sa, sb;
    const float base[3] = {12345.5f, -23456.25f, 5000.125f};
    for (float dx : {0.999f, 1.0f, 1.001f}) {
        const float pa[3] = {base[0], base[1], base[2]};
        const float pb[3] = {base[0] + dx, base[1] + 0.25f, base[2] + 0.125f};
        place(a.get(), pa, turn(1, 1, 1, 33));
        place(b.get(), pb, turn(1, 1, 1, 33));
        ASSERT_TRUE(sa.refresh(a.get(), 0));
        ASSERT_TRUE(sb.refresh(b.get(), 0));
        EXPECT_EQ(shapes_touch(sa, sb), brute_force(a.get(), b.get())) << dx;
    }
}

TEST(CollisionShapeTest, RefreshesOnlyWhenStampOrPlacementChanges)
{
    GSptr a(make_gsobject(box_solid(0, 0, 0, 1, 1, 1)));
    CollisionShape s;
    ASSERT_TRUE(s.refresh(a.get(), 5));
    EXPECT_EQ(s.builds(), 1u);
    EXPECT_EQ(s.placements(), 1u);
    ASSERT_TRUE(s.refresh(a.get(), 5));
    EXPECT_EQ(s.placements(), 1u);
    // A new stamp refreshes the world data once; the triangles stay.
    ASSERT_TRUE(s.refresh(a.get(), 6));
    ASSERT_TRUE(s.refresh(a.get(), 6));
    EXPECT_EQ(s.placements(), 2u);
    // A move that bypassed the counters is still seen.
    const float p[3] = {4, 0, 0};
    GSobject_setorgposition(a.get(), p);
    ASSERT_TRUE(s.refresh(a.get(), 6));
    EXPECT_EQ(s.placements(), 3u);
    EXPECT_EQ(s.builds(), 1u);
    EXPECT_DOUBLE_EQ(s.world_box().lo[0], 4.0 - 2e-6 * 5);
}

TEST(CollisionShapeTest, InstancesOfOneMeshShareTheirTriangles)
{
    GSptr a(make_gsobject(sphere_solid(1, 8, 5)));
    GSptr b(GSobject_newinstance(a.get()));
    GSptr other(make_gsobject(sphere_solid(1, 8, 5)));
    CollisionShape sa, sb, so;
    ASSERT_TRUE(sa.refresh(a.get(), 0));
    ASSERT_TRUE(sb.refresh(b.get(), 0));
    ASSERT_TRUE(so.refresh(other.get(), 0));
    EXPECT_EQ(sa.topology(), sb.topology());
    EXPECT_NE(sa.topology(), so.topology());
    // Each instance keeps its own placement.
    const float p[3] = {1.5f, 0, 0}, far[3] = {5, 0, 0};
    GSobject_setorgposition(b.get(), p);
    GSobject_setorgposition(other.get(), far);
    ASSERT_TRUE(sb.refresh(b.get(), 0));
    ASSERT_TRUE(so.refresh(other.get(), 0));
    EXPECT_TRUE(shapes_touch(sa, sb));
    EXPECT_FALSE(shapes_touch(so, sb));
}

TEST(CollisionShapeTest, NoTrianglesNoCollisionData)
{
    Solid lines;
    lines.add(0, 0, 0);
    lines.add(1, 0, 0);
    GSptr empty(GSobject_begin());
    GSobject_close(empty.get(), 0.0f);
    CollisionShape s;
    EXPECT_FALSE(s.refresh(empty.get(), 0));
    EXPECT_FALSE(s.refresh(nullptr, 0));
}

}  // namespace
