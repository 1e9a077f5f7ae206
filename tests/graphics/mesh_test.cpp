// Building meshes through the API and closing them.
#include <kivctrl/gs_normal_code.h>
#include <kivctrl/gsobject.h>

#include "graphics/gs_crease.h"
#include "graphics/gs_mesh_crc.h"
#include "graphics/gs_object.h"
#include "graphics/gs_primitive.h"
#include "graphics/gs_vertex_merge.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <set>
#include <vector>

namespace {

GSmesh &mesh_of(GSobject *obj) { return *static_cast<ADT_Object *>(obj)->mesh; }

int add_vertex(GSobject *obj, float x, float y, float z, const float *n = nullptr)
{
    float p[3] = {x, y, z};
    GSvertex v = GSvertex_new(p);
    if (n) {
        float nn[3] = {n[0], n[1], n[2]};
        GSvertex_setnormal(&v, nn);
    }
    EXPECT_TRUE(GSobject_addvertex(obj, &v));
    return static_cast<int>(mesh_of(obj).vertexcount()) - 1;
}

// An axis-aligned box from lo to hi as six quads, four vertices of its own per face, each
// carrying the face normal.
GSobject *make_box(const float lo[3], const float hi[3])
{
    GSobject *obj = GSobject_begin(24);
    for (int axis = 0; axis < 3; ++axis)
        for (int side = 0; side < 2; ++side) {
            float n[3] = {0, 0, 0};
            n[axis] = side ? 1.0f : -1.0f;
            const int u = (axis + 1) % 3, w = (axis + 2) % 3;
            const int first = static_cast<int>(mesh_of(obj).vertexcount());
            for (int k = 0; k < 4; ++k) {
                float p[3];
                p[axis] = side ? hi[axis] : lo[axis];
                p[u] = (k == 1 || k == 2) ? hi[u] : lo[u];
                p[w] = k >= 2 ? hi[w] : lo[w];
                add_vertex(obj, p[0], p[1], p[2], n);
            }
            GSpoly *poly = GSpoly_begin(obj);
            for (int k = 0; k < 4; ++k) GSpoly_addvertex(poly, first + k);
            GSpoly_close(poly);
        }
    return obj;
}

struct Corner {
    float p[3];
    float n[3];
    bool hasnormal;
};

std::vector<std::vector<Corner>> primitives(GSobject *obj)
{
    std::vector<std::vector<Corner>> out;
    GSpolygon pg;
    for (bool ok = GSobject_firstpoly(obj, pg); ok; ok = GSpolygon_nextpoly(pg, pg)) {
        std::vector<Corner> prim;
        for (int c = 0; c < GSpolygon_nvertices(pg); ++c) {
            GSvertex v = GSpolygon_getvertex(pg, c);
            Corner k{};
            GSvertex_getposition(&v, k.p, GS_FRAME_LOCAL);
            k.hasnormal = GSvertex_getnormal(&v, k.n, GS_FRAME_LOCAL);
            prim.push_back(k);
        }
        out.push_back(prim);
    }
    return out;
}

TEST(GSmesh, BoxBoundsMidpointRadiusAndMerging)
{
    const float lo[3] = {-1, 2, 0}, hi[3] = {3, 4, 1};
    GSobject *box = make_box(lo, hi);
    EXPECT_EQ(mesh_of(box).polys.size(), 1u);  // six quads merged into one record
    EXPECT_TRUE(GSobject_close(box, 0.0f));

    EXPECT_EQ(GSobject_npolys(box), 6);
    EXPECT_EQ(mesh_of(box).vertexcount(), 8u);
    EXPECT_EQ(mesh_of(box).normalcount(), 6u);
    float e[3], mid[3], pivot[3];
    GSobject_getextents(box, e);
    GSobject_getmidpoint(box, mid);
    GSobject_getpivot(box, pivot, GS_FRAME_LOCAL);
    for (int i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(e[i], hi[i] - lo[i]);
        EXPECT_FLOAT_EQ(mid[i], 0.5f * (hi[i] + lo[i]));
        EXPECT_FLOAT_EQ(pivot[i], mid[i]);
    }
    EXPECT_FLOAT_EQ(GSobject_getradius(box), 0.5f * std::sqrt(16.0f + 4.0f + 1.0f));

    const auto prims = primitives(box);
    ASSERT_EQ(prims.size(), 6u);
    for (const auto &quad : prims) {
        ASSERT_EQ(quad.size(), 4u);
        for (const Corner &c : quad) {
            ASSERT_TRUE(c.hasnormal);
            // Face normals are axis directions; they survive quantisation exactly enough.
            EXPECT_NEAR(std::fabs(c.n[0]) + std::fabs(c.n[1]) + std::fabs(c.n[2]), 1.0f, 1e-3f);
        }
    }
    GSobject_delete(box);
}

TEST(GSmesh, CreaseAngleSmoothsAcrossSharpEdgesOnlyWhenWider)
{
    const float lo[3] = {0, 0, 0}, hi[3] = {1, 1, 1};
    struct Case {
        float crease;
        size_t normals;
        float component;  // |n.x| at every corner
    } cases[] = {{0.0f, 6, -1}, {80.0f, 6, -1}, {100.0f, 8, 1.0f / std::sqrt(3.0f)}};
    for (const Case &k : cases) {
        GSobject *box = make_box(lo, hi);
        GSobject_close(box, k.crease);
        EXPECT_EQ(mesh_of(box).normalcount(), k.normals) << k.crease;
        if (k.component > 0) {
            for (const auto &quad : primitives(box))
                for (const Corner &c : quad) EXPECT_NEAR(std::fabs(c.n[0]), k.component, 0.01f);
        }
        GSobject_delete(box);
    }
}

// Groups of corners by brute force: all pairs, transitive closure.
std::vector<int> brute_groups(const std::vector<float> &normals, double crease)
{
    const size_t n = normals.size() / 3;
    std::vector<int> group(n);
    for (size_t i = 0; i < n; ++i) group[i] = int(i);
    const double cosc = std::cos(crease * M_PI / 180.0);
    auto unit = [&](size_t i, int k) {
        const float *v = &normals[3 * i];
        return v[k] / std::sqrt(double(v[0]) * v[0] + double(v[1]) * v[1] + double(v[2]) * v[2]);
    };
    for (bool changed = true; changed;) {
        changed = false;
        for (size_t i = 0; i < n; ++i)
            for (size_t j = 0; j < n; ++j)
                if (group[i] != group[j] && unit(i, 0) * unit(j, 0) + unit(i, 1) * unit(j, 1) + unit(i, 2) * unit(j, 2) > cosc) {
                    group[i] = group[j] = std::min(group[i], group[j]);
                    changed = true;
                }
    }
    return group;
}

TEST(GScrease, GroupsMatchAllPairsAtCrowdedVertices)
{
    // Up to 400 corners at one vertex, each with its own normal, in clusters of directions:
    // beyond a few dozen the grid path runs.
    std::mt19937 gen(8);
    std::normal_distribution<float> d;
    for (int round = 0; round < 12; ++round) {
        const int clusters = 1 + round % 4, count = 20 + 35 * round;
        const double crease = 5.0 + 15.0 * (round % 5);
        std::vector<float> centres;
        for (int c = 0; c < clusters; ++c) centres.insert(centres.end(), {d(gen), d(gen), d(gen)});
        std::vector<float> normals;
        for (int i = 0; i < count; ++i) {
            const float *c = &centres[3 * size_t(i % clusters)];
            normals.insert(normals.end(), {c[0] + 0.1f * d(gen), c[1] + 0.1f * d(gen), c[2] + 0.1f * d(gen)});
        }
        const std::vector<int> expect = brute_groups(normals, crease);
        std::vector<GScorner> corners;
        for (int i = 0; i < count; ++i) corners.push_back({0, i});
        std::vector<GScorner *> ptrs;
        for (GScorner &c : corners) ptrs.push_back(&c);
        std::vector<float> out = normals;
        gs_smooth_normals(ptrs, 1, out, float(crease));
        for (int i = 0; i < count; ++i)
            for (int j = 0; j < count; ++j)
                ASSERT_EQ(expect[size_t(i)] == expect[size_t(j)], corners[size_t(i)].normal == corners[size_t(j)].normal)
                    << "round " << round << " corners " << i << " " << j;
    }
}

TEST(GSmesh, NormalsOnlyWhereGivenAndIndicesAfterClose)
{
    GSobject *obj = GSobject_begin();
    const float up[3] = {0, 0, 2};  // not unit: quantised by direction
    add_vertex(obj, 0, 0, 0, up);
    add_vertex(obj, 1, 0, 0);
    add_vertex(obj, 0, 1, 0, up);
    GSpoly *tri = GSpoly_begintriangles(obj, 1);
    for (int i = 0; i < 3; ++i) GSpoly_addvertex(tri, i);
    GSpoly_close(tri);
    GSobject_close(obj, 30.0f);

    const auto prims = primitives(obj);
    ASSERT_EQ(prims.size(), 1u);
    EXPECT_TRUE(prims[0][0].hasnormal);
    EXPECT_FALSE(prims[0][1].hasnormal);
    EXPECT_NEAR(prims[0][2].n[2], 1.0f, 1e-6f);
    EXPECT_EQ(mesh_of(obj).normalcount(), 1u);
    GSobject_delete(obj);
}

TEST(GSmesh, EmptyMeshClosesToZeroBounds)
{
    GSobject *obj = GSobject_begin();
    GSobject_close(obj, 30.0f);
    float e[3], mid[3];
    GSobject_getextents(obj, e);
    GSobject_getmidpoint(obj, mid);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(e[i], 0.0f);
        EXPECT_EQ(mid[i], 0.0f);
    }
    EXPECT_EQ(GSobject_getradius(obj), 0.0f);
    EXPECT_EQ(GSobject_npolys(obj), 0);
    GSpolygon pg;
    EXPECT_FALSE(GSobject_firstpoly(obj, pg));
    GSobject_delete(obj);
}

TEST(GSmesh, RecordsMergeOnlyWithTheSameKindAndColour)
{
    GSobject *obj = GSobject_begin();
    for (int i = 0; i < 4; ++i) add_vertex(obj, float(i), float(i * i), 0);
    auto triangle = [&](float r, float g, float b) {
        GSpoly *p = GSpoly_begintriangles(obj, 1);
        GSpoly_setcolor(p, r, g, b);
        for (int i = 0; i < 3; ++i) GSpoly_addvertex(p, i);
        GSpoly_close(p);
    };
    triangle(1, 0, 0);
    triangle(1, 0, 0);  // merges into the first
    triangle(1, 0, 0.5f);
    triangle(1, 0.5f, 0);
    triangle(-0.0f, 0, 0);
    triangle(0, 0, 0);  // -0 and +0 are the same colour
    // A three-corner polygon becomes triangles and merges as well.
    GSpoly *poly = GSpoly_begin(obj);
    GSpoly_setcolor(poly, 1, 0, 0.5f);
    for (int i = 1; i < 4; ++i) GSpoly_addvertex(poly, i);
    GSpoly_close(poly);
    // Strips never merge.
    for (int k = 0; k < 2; ++k) {
        GSpoly *strip = GSpoly_begintristrip(obj, 4);
        for (int i = 0; i < 4; ++i) GSpoly_addvertex(strip, i);
        GSpoly_close(strip);
    }
    const auto &polys = mesh_of(obj).polys;
    ASSERT_EQ(polys.size(), 6u);
    std::vector<size_t> sizes;
    for (const GSpoly &p : polys) sizes.push_back(p.corners.size());
    EXPECT_EQ(sizes, (std::vector<size_t>{6, 6, 3, 6, 4, 4}));
    GSobject_close(obj, 0.0f);
    EXPECT_EQ(GSobject_npolys(obj), 2 + 2 + 1 + 2 + 2 + 2);
    GSobject_delete(obj);
}

TEST(GSmesh, PrimitiveTable)
{
    struct Case {
        int kind, n, count, per;
        std::vector<std::vector<int>> corners;  // of the first primitives
    } cases[] = {
        {GS_POINTS, 3, 3, 1, {{0}, {1}, {2}}},
        {GS_LINES, 5, 2, 2, {{0, 1}, {2, 3}}},
        {GS_LINE_LOOP, 3, 3, 2, {{0, 1}, {1, 2}, {2, 0}}},
        {GS_LINE_STRIP, 3, 2, 2, {{0, 1}, {1, 2}}},
        {GS_TRIANGLES, 7, 2, 3, {{0, 1, 2}, {3, 4, 5}}},
        {GS_TRIANGLE_STRIP, 5, 3, 3, {{0, 1, 2}, {2, 1, 3}, {2, 3, 4}}},
        {GS_TRIANGLE_FAN, 5, 3, 3, {{0, 1, 2}, {0, 2, 3}, {0, 3, 4}}},
        {GS_QUADS, 8, 2, 4, {{0, 1, 2, 3}, {4, 5, 6, 7}}},
        {GS_QUAD_STRIP, 6, 2, 4, {{0, 1, 3, 2}, {2, 3, 5, 4}}},
        {GS_POLYGON, 5, 1, 5, {{0, 1, 2, 3, 4}}},
        {GS_TRIANGLE_STRIP, 1, 0, 3, {}},
        {GS_QUAD_STRIP, 0, 0, 4, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(gs_kind_keyword(c.kind));
        EXPECT_EQ(gs_primitive_count(c.kind, c.n), c.count);
        EXPECT_EQ(gs_corners_per_primitive(c.kind, c.n), c.per);
        for (size_t a = 0; a < c.corners.size(); ++a)
            for (size_t v = 0; v < c.corners[a].size(); ++v)
                EXPECT_EQ(gs_corner_index(c.kind, c.n, int(a), int(v)), c.corners[a][v]);
    }
}

TEST(GSmesh, StripIterationThroughTheApi)
{
    GSobject *obj = GSobject_begin();
    for (int i = 0; i < 5; ++i) add_vertex(obj, float(i), float(i % 2), 0);
    GSpoly *strip = GSpoly_begintristrip(obj, 5);
    for (int i = 0; i < 5; ++i) GSpoly_addvertex(strip, i);
    GSpoly_close(strip);
    GSobject_close(obj, 0.0f);
    const auto prims = primitives(obj);
    const int expected[3][3] = {{0, 1, 2}, {2, 1, 3}, {2, 3, 4}};
    ASSERT_EQ(prims.size(), 3u);
    for (int a = 0; a < 3; ++a)
        for (int v = 0; v < 3; ++v) EXPECT_EQ(prims[a][v].p[0], float(expected[a][v]));
    GSobject_delete(obj);
}

TEST(GSmesh, FaceGroupsIterateAfterTheObjectsOwnPolygons)
{
    GSobject *obj = GSobject_begin();
    for (int i = 0; i < 6; ++i) add_vertex(obj, float(i), float(i % 3), float(i / 3));
    GSpoly *own = GSpoly_begintriangles(obj, 1);
    for (int i = 0; i < 3; ++i) GSpoly_addvertex(own, i);
    GSpoly_close(own);

    GSobject *empty = GSface_begin();
    GSobject *face = GSface_begin();
    GSface_attach(obj, empty);
    GSface_attach(obj, face);
    GSpoly *fp = GSpoly_begin(face);
    for (int i = 3; i < 6; ++i) GSpoly_addvertex(fp, i);
    GSpoly_close(fp);
    GSobject_close(obj, 0.0f);

    EXPECT_EQ(GSobject_npolys(obj), 2);
    EXPECT_EQ(GSobject_npolys(face), 1);
    const auto prims = primitives(obj);
    ASSERT_EQ(prims.size(), 2u);
    EXPECT_EQ(prims[1][0].p[0], 3.0f);
    // Local iteration stays with the object's own records.
    GSpolygon pg, next;
    ASSERT_TRUE(GSobject_firstpoly(obj, pg));
    EXPECT_FALSE(GSpolygon_nextlocalpoly(pg, next));
    // The face measures its own sub-mesh.
    float e[3];
    GSobject_getextents(face, e);
    EXPECT_FLOAT_EQ(e[0], 2.0f);
    EXPECT_FLOAT_EQ(e[2], 0.0f);
    EXPECT_EQ(primitives(face).size(), 1u);
    EXPECT_EQ(GSface_calculate_offset(face), 1);
    GSobject_delete(obj);
}

TEST(GSnormalCode, EveryCodeRoundTrips)
{
    std::vector<int> codes = {1, 2};
    for (int c = 256; c < 65536; ++c) codes.push_back(c);
    for (int c : codes) {
        const float *n = GSnormal_decode(uint16_t(c));
        const double len = std::sqrt(double(n[0]) * n[0] + double(n[1]) * n[1] + double(n[2]) * n[2]);
        ASSERT_NEAR(len, 1.0, 1e-6) << c;
        ASSERT_EQ(GSnormal_encode(n), c) << c;
    }
    const float zero[3] = {0, 0, 0}, nan[3] = {NAN, 0, 0};
    EXPECT_EQ(GSnormal_encode(zero), 0);
    EXPECT_EQ(GSnormal_encode(nan), 0);
}

TEST(GSnormalCode, QuantisationErrorIsBounded)
{
    std::mt19937 gen(11);
    std::normal_distribution<float> d;
    for (int i = 0; i < 20000; ++i) {
        float n[3] = {d(gen), d(gen), d(gen)};
        const float len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        for (float &c : n) c /= len;
        const float *q = GSnormal_decode(GSnormal_encode(n));
        // Half a step in each angle: at most about 1/256 of a turn.
        EXPECT_GT(n[0] * q[0] + n[1] * q[1] + n[2] * q[2], std::cos(0.02f));
    }
}

TEST(GSvertexMerge, KeepsOnlyVerticesOutOfReachOfEachOther)
{
    std::mt19937 gen(2);
    std::uniform_int_distribution<int> cluster(0, 200);
    std::uniform_real_distribution<float> jitter(-6e-5f, 6e-5f);
    std::vector<float> xyz;
    for (int i = 0; i < 5000; ++i) {
        const int c = cluster(gen);
        xyz.insert(xyz.end(), {float(c % 7) * 0.01f + jitter(gen), float(c / 7) * 0.00015f, jitter(gen)});
    }
    const std::vector<float> original = xyz;
    const std::vector<int> remap = gs_merge_vertices(xyz);
    const size_t kept = xyz.size() / 3;
    auto reach = [](const float *a, const float *b) {
        const double dx = a[0] - b[0], dy = a[1] - b[1], dz = a[2] - b[2];
        return std::fabs(a[0] - b[0]) < 1e-4f && dx * dx + dy * dy + dz * dz < 1e-8;
    };
    for (size_t i = 0; i < remap.size(); ++i) {
        ASSERT_LT(size_t(remap[i]), kept);
        EXPECT_TRUE(reach(&original[3 * i], &xyz[3 * size_t(remap[i])]) ||
                    std::equal(&original[3 * i], &original[3 * i + 3], &xyz[3 * size_t(remap[i])]));
    }
    for (size_t i = 0; i < kept; ++i) {
        if (i > 0) {
            EXPECT_LE(xyz[3 * (i - 1)], xyz[3 * i]);  // sorted by x
        }
        for (size_t j = i + 1; j < kept; ++j) ASSERT_FALSE(reach(&xyz[3 * i], &xyz[3 * j])) << i << " " << j;
    }
}

// Against a direct search (every kept vertex tried, the earliest in reach wins), both where
// few vertices share an x range and where a plane of thousands does.
TEST(GSvertexMerge, MatchesDirectSearch)
{
    auto reference = [](const std::vector<float> &xyz) {
        const size_t n = xyz.size() / 3;
        std::vector<int> order(n);
        std::iota(order.begin(), order.end(), 0);
        std::sort(order.begin(), order.end(), [&](int a, int b) {
            return std::lexicographical_compare(&xyz[3 * size_t(a)], &xyz[3 * size_t(a) + 3], &xyz[3 * size_t(b)],
                                                &xyz[3 * size_t(b) + 3]) ||
                   (std::equal(&xyz[3 * size_t(a)], &xyz[3 * size_t(a) + 3], &xyz[3 * size_t(b)]) && a < b);
        });
        std::vector<float> kept;
        std::vector<int> remap(n);
        for (int v : order) {
            const float *p = &xyz[3 * size_t(v)];
            int target = -1;
            for (size_t k = 0; k < kept.size() / 3 && target < 0; ++k) {
                const float *q = &kept[3 * k];
                const double dx = double(q[0]) - p[0], dy = double(q[1]) - p[1], dz = double(q[2]) - p[2];
                if (std::equal(q, q + 3, p) || (std::fabs(q[0] - p[0]) < 1e-4f && dx * dx + dy * dy + dz * dz < 1e-8))
                    target = static_cast<int>(k);
            }
            if (target < 0) {
                target = static_cast<int>(kept.size() / 3);
                kept.insert(kept.end(), p, p + 3);
            }
            remap[size_t(v)] = target;
        }
        return std::pair{kept, remap};
    };
    std::mt19937 gen(5);
    std::uniform_real_distribution<float> wide(-1.0f, 1.0f), step(0.0f, 2.2e-4f);
    for (const float plane : {0.0f, 1.0f}) {  // 1: every vertex on x = 0.5
        std::vector<float> xyz;
        for (int i = 0; i < 3000; ++i) {
            const float x = plane > 0 ? 0.5f : wide(gen);
            const float y = float(i % 40) * 1.5e-4f + step(gen), z = float(i / 40 % 3) * 1e-4f;
            xyz.insert(xyz.end(), {x, y, z});
            if (i % 5 == 0) xyz.insert(xyz.end(), {x + 2e-5f * plane, y + 3e-5f, z});
        }
        const auto [kept, remap] = reference(xyz);
        std::vector<float> merged = xyz;
        EXPECT_EQ(gs_merge_vertices(merged), remap) << plane;
        EXPECT_EQ(merged, kept) << plane;
    }
}

TEST(GSvertexMerge, SpecialValues)
{
    std::vector<float> xyz = {0.0f, 1, 2,  -0.0f, 1, 2,  1e20f, 5, 5,  1e20f, 5, 5,
                              NAN,  0, 0,  NAN,   0, 0,  3,     3, 3,  3.00005f, 3, 3};
    const std::vector<int> remap = gs_merge_vertices(xyz);
    EXPECT_EQ(remap[0], remap[1]);
    EXPECT_EQ(remap[2], remap[3]);
    EXPECT_NE(remap[4], remap[5]);  // a non-number equals nothing
    EXPECT_EQ(remap[6], remap[7]);
    EXPECT_EQ(xyz.size() / 3, 5u);
}

TEST(GSmeshCrc, ArcCheckValueAndMeshCoverage)
{
    EXPECT_EQ(gs_crc16(0, "123456789", 9), 0xBB3D);
    const float lo[3] = {0, 0, 0}, hi[3] = {1, 2, 3};
    GSobject *a = make_box(lo, hi), *b = make_box(lo, hi);
    GSobject_close(a, 0.0f);
    GSobject_close(b, 0.0f);
    EXPECT_EQ(gs_mesh_crc16(mesh_of(a), 0), gs_mesh_crc16(mesh_of(b), 0));
    mesh_of(b).vertices[4] += 1.0f;
    EXPECT_NE(gs_mesh_crc16(mesh_of(a), 0), gs_mesh_crc16(mesh_of(b), 0));
    GSobject_delete(a);
    GSobject_delete(b);
}

}  // namespace
