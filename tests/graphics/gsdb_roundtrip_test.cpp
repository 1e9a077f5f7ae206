// Copying graphics objects into GSDB_Geometry records and building objects back from them.
#include <kivctrl/gsdb_geometry.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cfloat>
#include <vector>

namespace {

using Tri = std::array<float, 12>;  // three positions, then the colour's r, g, b

struct ObjectDeleter {
    void operator()(GSobject *obj) const { GSobject_delete(obj); }
};
using ObjectPtr = std::unique_ptr<GSobject, ObjectDeleter>;
struct GeometryDeleter {
    void operator()(GSDB_Geometry *g) const { destroyGSDB_Geometry(g); }
};
using GeometryPtr = std::unique_ptr<GSDB_Geometry, GeometryDeleter>;


// Every primitive of three or more corners as fan triangles, with its colour, in any order.
std::vector<Tri> triangles(GSobject *obj)
{
    std::vector<Tri> out;
    GSpolygon p;
    for (bool more = GSobject_firstpoly(obj, p); more; more = GSpolygon_nextpoly(GSpolygon(p), p)) {
        float c[3];
        GSpolygon_getcolor(p, c[0], c[1], c[2]);
        const int n = GSpolygon_nvertices(p);
        for (int k = 2; k < n; ++k) {
            Tri t{};
            int slot = 0;
            for (int corner : {0, k - 1, k}) {
                GSvertex v = GSpolygon_getvertex(p, corner);
                GSvertex_getposition(&v, &t[size_t(slot)], GS_FRAME_LOCAL);
                slot += 3;
            }
            std::copy_n(c, 3, &t[9]);
            out.push_back(t);
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}

// An object with own triangles in two colours (interleaved), a quad, a line strip (no
// triangles) and a face child with a fan.
ObjectPtr sample_object()
{
    GSobject *obj = GSobject_begin();
    std::vector<int> v;
    const float pts[][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {2, 0, 1}, {2, 1, 1}, {0, 0, 2}, {3, 3, 3}};
    int base = -1;
    for (const auto &q : pts) {
        float p[3] = {q[0], q[1], q[2]};
        GSvertex vx = GSvertex_new(p);
        GSobject_addvertex(obj, &vx);
        ++base;
        v.push_back(base);
    }
    auto tri = [&](int a, int b, int c, float r) {
        GSpoly *poly = GSpoly_begintriangles(obj, 1);
        for (int i : {a, b, c}) GSpoly_addvertex(poly, i);
        GSpoly_setcolor(poly, r, 0.5f, 0.25f);
        GSpoly_close(poly);
    };
    tri(0, 1, 2, 1.0f);
    tri(1, 4, 5, 0.0f);
    tri(0, 2, 3, 1.0f);
    GSpoly *quad = GSpoly_begin(obj);
    for (int i : {1, 4, 5, 2}) GSpoly_addvertex(quad, i);
    GSpoly_close(quad);
    GSpoly *line = GSpoly_beginlinestrip(obj, 2);
    GSpoly_addvertex(line, 6);
    GSpoly_addvertex(line, 7);
    GSpoly_close(line);

    GSobject *face = GSface_begin();
    GSface_attach(obj, face);
    GSpoly *fan = GSpoly_begintrifan(face, 4);
    for (int i : {6, 0, 1, 4}) GSpoly_addvertex(fan, i);
    GSpoly_setcolor(fan, 0.0f, 1.0f, 0.0f);
    GSpoly_close(fan);
    GSface_close(face);
    GSobject_close(obj, 0.0f);
    return ObjectPtr(obj);
}

TEST(GsdbRoundTrip, ObjectToGeometryAndBackKeepsEveryTriangleAndColour)
{
    ObjectPtr obj = sample_object();
    GeometryPtr g(createGSDB_Geometry(obj.get()));
    ASSERT_TRUE(g);
    // Own polygons and the face: two groups. Triangles: 3 + 2 (quad) + 2 (fan).
    EXPECT_EQ(g->groups.size(), 2u);
    EXPECT_EQ(g->primitivecount, 7);
    for (const auto &group : g->groups)
        for (const auto &l : group->lists) EXPECT_EQ(l->kind, GS_TRIANGLES);
    // Seven distinct positions carry triangles; the line strip's far end does not.
    EXPECT_EQ(g->vertexcount(), 7u);
    const float expect_box[6] = {0, 0, 0, 2, 1, 2};
    for (int k = 0; k < 6; ++k) EXPECT_EQ(g->bounds[k], expect_box[k]) << k;

    ObjectPtr back(createGSobject(g.get()));
    EXPECT_EQ(triangles(back.get()), triangles(obj.get()));
}

TEST(GsdbRoundTrip, NullAndEmptyInputs)
{
    EXPECT_EQ(createGSDB_Geometry(nullptr), nullptr);
    destroyGSDB_Geometry(nullptr);

    ObjectPtr empty(GSobject_begin());
    GSobject_close(empty.get(), 0.0f);
    GeometryPtr g(createGSDB_Geometry(empty.get()));
    ASSERT_TRUE(g);
    // One placeholder vertex at the origin, no normals, no triangles.
    EXPECT_EQ(g->vertexcount(), 1u);
    EXPECT_EQ(g->normalcount(), 0u);
    EXPECT_EQ(g->primitivecount, 0);
    EXPECT_EQ(g->listcount, 0);

    ObjectPtr none(createGSobject(nullptr));
    EXPECT_EQ(GSobject_npolys(none.get()), 0);
    float pivot[3] = {1, 1, 1};
    GSobject_getpivot(none.get(), pivot, GS_FRAME_LOCAL);
    EXPECT_EQ(pivot[0], 0.0f);
}

}  // namespace
