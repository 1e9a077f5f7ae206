// Shortest-edge decimation of GSDB_Geometry records.
#include <kivctrl/gsdb_geometry.h>
#include <kivctrl/loader.h>

#include "graphics/gsdb_collapse.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <numbers>
#include <numeric>
#include <random>
#include <set>
#include <vector>

namespace {

struct ObjectDeleter {
    void operator()(GSobject *obj) const { GSobject_delete(obj); }
};
using ObjectPtr = std::unique_ptr<GSobject, ObjectDeleter>;
struct GeometryDeleter {
    void operator()(GSDB_Geometry *g) const { destroyGSDB_Geometry(g); }
};
using GeometryPtr = std::unique_ptr<GSDB_Geometry, GeometryDeleter>;

using P3 = std::array<float, 3>;
using Tri = std::array<int, 3>;

struct Mesh {
    std::vector<P3> points;
    std::vector<Tri> tris;
};

// A finished geometry holding the mesh as one triangles record.
GeometryPtr geometry(const Mesh &m)
{
    ObjectPtr obj(GSobject_begin());
    for (P3 p : m.points) {
        GSvertex v = GSvertex_new(p.data());
        GSobject_addvertex(obj.get(), &v);
    }
    GSpoly *poly = GSpoly_begintriangles(obj.get(), int(m.tris.size()));
    for (const Tri &t : m.tris)
        for (int i : t) GSpoly_addvertex(poly, i);
    GSpoly_close(poly);
    GSobject_close(obj.get(), 0.0f);
    return GeometryPtr(createGSDB_Geometry(obj.get()));
}

// An n x n grid over the square [0, size]^2 at z = 0, facing +z, cells split on alternating
// diagonals; the x and y coordinates of the grid lines can be given instead.
Mesh grid(const std::vector<float> &xs, const std::vector<float> &ys)
{
    Mesh m;
    for (float y : ys)
        for (float x : xs) m.points.push_back({x, y, 0.0f});
    const int nx = int(xs.size());
    for (int j = 0; j + 1 < int(ys.size()); ++j)
        for (int i = 0; i + 1 < nx; ++i) {
            const int a = j * nx + i, b = a + 1, c = a + nx + 1, d = a + nx;
            if ((i + j) % 2) {
                m.tris.push_back({a, b, c});
                m.tris.push_back({a, c, d});
            } else {
                m.tris.push_back({a, b, d});
                m.tris.push_back({b, c, d});
            }
        }
    return m;
}

Mesh square(int n, float size)
{
    std::vector<float> lines;
    for (int i = 0; i <= n; ++i) lines.push_back(size * float(i) / float(n));
    return grid(lines, lines);
}

// A closed, outward-facing box [-1, 1]^3 with an n x n grid on each face, corners shared.
Mesh box(int n)
{
    Mesh m;
    std::map<P3, int> index;
    auto at = [&](P3 p) {
        const auto [it, fresh] = index.try_emplace(p, int(m.points.size()));
        if (fresh) m.points.push_back(p);
        return it->second;
    };
    for (int axis = 0; axis < 3; ++axis)
        for (int side : {-1, 1}) {
            const int u = (axis + 1) % 3, w = (axis + 2) % 3;
            auto point = [&](int i, int j) {
                P3 p{};
                p[size_t(axis)] = float(side);
                p[size_t(u)] = -1.0f + 2.0f * float(i) / float(n);
                p[size_t(w)] = -1.0f + 2.0f * float(j) / float(n);
                return at(p);
            };
            for (int i = 0; i < n; ++i)
                for (int j = 0; j < n; ++j) {
                    int a = point(i, j), b = point(i + 1, j), c = point(i + 1, j + 1), d = point(i, j + 1);
                    if (side < 0) std::swap(b, d);  // u x w is +axis: turn the -axis faces around
                    m.tris.push_back({a, b, c});
                    m.tris.push_back({a, c, d});
                }
        }
    return m;
}

// A closed, outward-facing sphere of radius 1 with a wavy surface: a subdivided octahedron.
Mesh bumpy_sphere(int levels)
{
    Mesh m;
    std::vector<std::array<double, 3>> pts = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    std::vector<Tri> tris = {{0, 2, 4}, {2, 1, 4}, {1, 3, 4}, {3, 0, 4}, {2, 0, 5}, {1, 2, 5}, {3, 1, 5}, {0, 3, 5}};
    for (int l = 0; l < levels; ++l) {
        std::map<std::pair<int, int>, int> mid;
        auto middle = [&](int a, int b) {
            const auto key = std::minmax(a, b);
            const auto [it, fresh] = mid.try_emplace(key, int(pts.size()));
            if (fresh) {
                std::array<double, 3> p;
                for (int k = 0; k < 3; ++k) p[size_t(k)] = pts[size_t(a)][size_t(k)] + pts[size_t(b)][size_t(k)];
                const double len = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
                for (double &c : p) c /= len;
                pts.push_back(p);
            }
            return it->second;
        };
        std::vector<Tri> next;
        for (const Tri &t : tris) {
            const int ab = middle(t[0], t[1]), bc = middle(t[1], t[2]), ca = middle(t[2], t[0]);
            next.push_back({t[0], ab, ca});
            next.push_back({ab, t[1], bc});
            next.push_back({ca, bc, t[2]});
            next.push_back({ab, bc, ca});
        }
        tris = std::move(next);
    }
    for (const auto &p : pts) {
        const double r = 1.0 + 0.05 * std::sin(5.0 * p[0]) * std::sin(4.0 * p[1] + 1.0) * std::cos(3.0 * p[2]);
        m.points.push_back({float(p[0] * r), float(p[1] * r), float(p[2] * r)});
    }
    m.tris = tris;
    return m;
}

struct Face {
    std::array<P3, 3> p;
    std::array<int, 3> v;
};

std::vector<Face> faces(const GSDB_Geometry &g)
{
    std::vector<Face> out;
    for (const auto &group : g.groups)
        for (const auto &l : group->lists) {
            EXPECT_EQ(l->kind, GS_TRIANGLES);
            for (size_t i = 0; i + 2 < l->corners.size(); i += 3) {
                Face f;
                for (int k = 0; k < 3; ++k) {
                    const int v = l->corners[i + size_t(k)].vertex;
                    f.v[size_t(k)] = v;
                    for (int c = 0; c < 3; ++c) f.p[size_t(k)][size_t(c)] = g.vertices[3 * size_t(v) + size_t(c)];
                }
                out.push_back(f);
            }
        }
    return out;
}

std::array<double, 3> normal(const Face &f)
{
    double a[3], b[3];
    for (int k = 0; k < 3; ++k) {
        a[k] = double(f.p[1][size_t(k)]) - f.p[0][size_t(k)];
        b[k] = double(f.p[2][size_t(k)]) - f.p[0][size_t(k)];
    }
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// How often each directed edge is used.
std::map<std::pair<int, int>, int> directed_edges(const std::vector<Face> &fs)
{
    std::map<std::pair<int, int>, int> directed;
    for (const Face &f : fs)
        for (int k = 0; k < 3; ++k) ++directed[{f.v[size_t(k)], f.v[size_t((k + 1) % 3)]}];
    return directed;
}

// Whether every edge is used once in each direction: closed and consistently facing.
bool closed(const std::vector<Face> &fs)
{
    const auto directed = directed_edges(fs);
    return std::all_of(directed.begin(), directed.end(),
                       [&](const auto &e) { return e.second == 1 && directed.count({e.first.second, e.first.first}) == 1; });
}

void expect_closed(const std::vector<Face> &fs)
{
    const auto directed = directed_edges(fs);
    for (const auto &[e, n] : directed) {
        EXPECT_EQ(n, 1) << e.first << "-" << e.second;
        EXPECT_EQ(directed.count({e.second, e.first}), 1u) << e.first << "-" << e.second << " has no twin";
    }
}

TEST(GsdbDecimate, FineSquareBecomesFewTrianglesCoveringTheSquareFacingUp)
{
    const GeometryPtr g = geometry(square(40, 1.0f));
    ASSERT_EQ(g->primitivecount, 3200);
    for (double tolerance : {0.02, 0.1, 0.0}) {
        SCOPED_TRACE(tolerance);
        const GeometryPtr d(decimateGSDB_Geometry(g.get(), tolerance));
        const std::vector<Face> fs = faces(*d);
        ASSERT_FALSE(fs.empty());
        EXPECT_LT(fs.size(), tolerance == 0.02 ? 3200u / 2 : 200u);
        double area = 0.0;
        for (const Face &f : fs) {
            const auto n = normal(f);
            EXPECT_GT(n[2], 0.0);  // nothing folded over
            EXPECT_EQ(n[0], 0.0);
            EXPECT_EQ(n[1], 0.0);
            area += n[2] / 2.0;
            for (const P3 &p : f.p) {
                EXPECT_GE(p[0], 0.0f);
                EXPECT_LE(p[0], 1.0f);
                EXPECT_GE(p[1], 0.0f);
                EXPECT_LE(p[1], 1.0f);
            }
        }
        // Facing one way inside the square with its whole area: the square is covered once.
        EXPECT_NEAR(area, 1.0, 1e-6);
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(d->bounds[k], g->bounds[k]);
            EXPECT_EQ(d->bounds[k + 3], g->bounds[k + 3]);
        }
    }
}

TEST(GsdbDecimate, ClosedMeshesStayClosedAndFaceOutwards)
{
    const std::vector<std::pair<const char *, Mesh>> cases = {{"box", box(12)}, {"sphere", bumpy_sphere(4)}};
    for (const auto &[name, mesh] : cases)
        for (double tolerance : {0.05, 0.2, 0.0}) {
            SCOPED_TRACE(std::string(name) + " " + std::to_string(tolerance));
            const GeometryPtr g = geometry(mesh);
            expect_closed(faces(*g));
            const GeometryPtr d(decimateGSDB_Geometry(g.get(), tolerance));
            const std::vector<Face> fs = faces(*d);
            EXPECT_LT(fs.size(), size_t(g->primitivecount) / 2);
            EXPECT_GE(fs.size(), 4u);
            expect_closed(fs);
            for (const Face &f : fs) {
                const auto n = normal(f);
                double centre[3] = {0, 0, 0};
                for (const P3 &p : f.p)
                    for (int k = 0; k < 3; ++k) centre[k] += p[size_t(k)];
                EXPECT_GE(n[0] * centre[0] + n[1] * centre[1] + n[2] * centre[2], 0.0);
            }
        }
}

// A 4 x 4 grid over a 24 x 32 rectangle (diagonal 40) whose second column, from x = 10 to
// right, is narrow: only its triangles have an edge that may be short enough to collapse at
// the tolerance 1/16 (2.5 long).
Mesh narrow_column(float right)
{
    return grid({0.0f, 10.0f, right, 24.0f}, {0.0f, 10.0f, 20.0f, 32.0f});
}

// Triangles and the distinct vertices they use after decimation.
std::pair<size_t, size_t> decimated(const Mesh &m, double tolerance)
{
    const GeometryPtr g = geometry(m);
    const GeometryPtr d(decimateGSDB_Geometry(g.get(), tolerance));
    const std::vector<Face> fs = faces(*d);
    std::set<int> used;
    for (const Face &f : fs) used.insert(f.v.begin(), f.v.end());
    return {fs.size(), used.size()};
}

TEST(GsdbDecimate, ToleranceLimitsTheCollapsedEdgeLength)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const float longer = std::nextafter(12.5f, 13.0f);
    struct Case {
        const char *what;
        float right;
        double tolerance;
        std::pair<size_t, size_t> expect;  // triangles (0: any), vertices
    };
    // 18 triangles over 16 vertices; the narrow column's 6 triangles go when its 4 short
    // edges collapse. Without a limit collapsing stops at 8 vertices.
    const Case cases[] = {
        {"edge exactly at the limit collapses", 12.5f, 1.0 / 16.0, {12, 12}},
        {"a slightly longer edge does not", longer, 1.0 / 16.0, {18, 16}},
        {"no limit at 0", longer, 0.0, {0, 8}},
        {"below 0 acts as 0", longer, -0.5, {0, 8}},
        {"NaN acts as 0", longer, nan, {0, 8}},
        {"above 1 acts as 1", longer, 7.0, decimated(narrow_column(longer), 1.0)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const auto [triangles, vertices] = decimated(narrow_column(c.right), c.tolerance);
        if (c.expect.first) {
            EXPECT_EQ(triangles, c.expect.first);
        }
        EXPECT_EQ(vertices, c.expect.second);
    }
}

TEST(GsdbDecimate, SmallMeshesAreOnlyRebuiltWithFaceNormals)
{
    // A closed box of 8 vertices: nothing collapses, every face keeps its own normal (its
    // corners meet at 90 degrees, beyond the 40 degree smoothing).
    const GeometryPtr g = geometry(box(1));
    ASSERT_EQ(g->vertexcount(), 8u);
    const GeometryPtr d(decimateGSDB_Geometry(g.get(), 0.0));
    EXPECT_EQ(d->primitivecount, 12);
    EXPECT_EQ(d->vertexcount(), 8u);  // the two bound vertices weld onto box corners
    EXPECT_EQ(d->normalcount(), 6u);
    for (const auto &group : d->groups)
        for (const auto &l : group->lists)
            for (const GSDB_Corner &c : l->corners) ASSERT_GE(c.normal, 0);
}

TEST(GsdbDecimate, GentleCreasesShareAveragedNormalsSharpOnesKeepTheirs)
{
    // Two fans meeting along the x axis, folded by 20 and by 60 degrees.
    for (double fold : {20.0, 60.0}) {
        SCOPED_TRACE(fold);
        const float c = float(std::cos(fold * std::numbers::pi / 180.0)), s = float(std::sin(fold * std::numbers::pi / 180.0));
        Mesh m;
        m.points = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {0, -c, s}, {1, -c, s}};
        m.tris = {{0, 1, 2}, {1, 3, 2}, {0, 4, 1}, {1, 4, 5}};
        const GeometryPtr d(decimateGSDB_Geometry(geometry(m).get(), 0.0));
        EXPECT_EQ(d->primitivecount, 4);
        // One normal per side; a gentle fold adds the average its corners share.
        EXPECT_EQ(d->normalcount(), fold < 40.0 ? 3u : 2u);
    }
}

TEST(GsdbDecimate, OnlyTrianglesTakePartAndEveryListKeepsItsRecord)
{
    // Hand-made: a lines list, a triangles list with a degenerate triangle, a quads list.
    GSDB_Geometry g;
    GSDB_Group &group = *g.groups.emplace_back(std::make_unique<GSDB_Group>());
    group.owner = &g;
    const float pts[][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 0, 0}, {2, 1, 0}};
    for (const auto &p : pts) {
        g.vertices.insert(g.vertices.end(), p, p + 3);
        g.normals.insert(g.normals.end(), {1000.0f, 1000.0f, 1000.0f});
    }
    auto list = [&](int kind, std::vector<int> corners, float r) {
        auto l = std::make_unique<GSDB_PrimitiveList>();
        l->kind = kind;
        l->group = &group;
        l->color[0] = r;
        for (int v : corners) l->corners.push_back({v, -1});
        l->primitivecount = int(corners.size()) / (kind == GS_LINES ? 2 : kind == GS_QUADS ? 4 : 3);
        group.lists.push_back(std::move(l));
    };
    list(GS_LINES, {0, 4}, 0.1f);
    list(GS_TRIANGLES, {0, 1, 2, 1, 3, 2, 1, 1, 4}, 0.2f);
    list(GS_QUADS, {1, 4, 5, 3}, 0.3f);
    g.primitivecount = 6;
    g.listcount = 3;
    for (int k = 0; k < 3; ++k) {
        g.bounds[k] = 0.0f;
        g.bounds[k + 3] = k == 0 ? 2.0f : k == 1 ? 1.0f : 0.0f;
    }

    const GeometryPtr d(decimateGSDB_Geometry(&g, 0.5));
    ASSERT_EQ(d->groups.size(), 1u);
    const auto &lists = d->groups[0]->lists;
    ASSERT_EQ(lists.size(), 3u);  // colours differ: no list absorbs another
    EXPECT_EQ(lists[0]->corners.size(), 0u);
    EXPECT_EQ(lists[1]->corners.size(), 6u);  // the triangle with a repeated corner is gone
    EXPECT_EQ(lists[2]->corners.size(), 0u);
    EXPECT_EQ(lists[1]->color[0], 0.2f);
    for (const auto &l : lists) EXPECT_EQ(l->kind, GS_TRIANGLES);
}

TEST(GsdbDecimate, GeometryWithoutTrianglesKeepsItsGroupsAndBox)
{
    ObjectPtr obj(GSobject_begin());
    for (P3 p : {P3{0, 0, 0}, P3{1, 2, 3}}) {
        GSvertex v = GSvertex_new(p.data());
        GSobject_addvertex(obj.get(), &v);
    }
    GSobject *face = GSface_begin();
    GSface_attach(obj.get(), face);
    GSface_close(face);
    GSobject_close(obj.get(), 0.0f);
    const GeometryPtr g(createGSDB_Geometry(obj.get()));
    ASSERT_EQ(g->groups.size(), 1u);  // the empty face
    const GeometryPtr d(decimateGSDB_Geometry(g.get(), 0.02));
    ASSERT_EQ(d->groups.size(), 1u);
    ASSERT_EQ(d->groups[0]->lists.size(), 1u);
    EXPECT_TRUE(d->groups[0]->lists[0]->corners.empty());
    EXPECT_EQ(d->primitivecount, 0);
    EXPECT_EQ(decimateGSDB_Geometry(nullptr, 0.02), nullptr);
}

TEST(GsdbDecimate, SameColourListsSplitByAnotherColourComeOutAsOneRecord)
{
    ObjectPtr obj(GSobject_begin());
    for (P3 p : {P3{0, 0, 0}, P3{1, 0, 0}, P3{0, 1, 0}, P3{1, 1, 0}, P3{2, 0, 0}}) {
        GSvertex v = GSvertex_new(p.data());
        GSobject_addvertex(obj.get(), &v);
    }
    GSobject *face = GSface_begin();
    GSface_attach(obj.get(), face);
    const std::array<int, 3> tris[] = {{0, 1, 2}, {1, 3, 2}, {1, 4, 3}};
    const float reds[] = {1.0f, 0.0f, 1.0f};
    for (int i = 0; i < 3; ++i) {
        GSpoly *p = GSpoly_begintriangles(face, 1);
        for (int v : tris[i]) GSpoly_addvertex(p, v);
        GSpoly_setcolor(p, reds[i], 0.0f, 0.0f);
        GSpoly_close(p);
    }
    GSface_close(face);
    GSobject_close(obj.get(), 0.0f);
    const GeometryPtr g(createGSDB_Geometry(obj.get()));
    const GeometryPtr d(decimateGSDB_Geometry(g.get(), 0.0));
    ObjectPtr back(createGSobject(d.get()));
    // The object's face holds two records: red (two triangles) and black (one).
    int records = 0;
    GSpolygon p;
    GSpoly *last = nullptr;
    for (bool more = GSobject_firstpoly(back.get(), p); more; more = GSpolygon_nextpoly(GSpolygon(p), p))
        if (p.poly != last) {
            last = p.poly;
            ++records;
        }
    EXPECT_EQ(records, 2);
    EXPECT_EQ(GSobject_npolys(back.get()), 3);
    // The decimated object has the input's box, whatever it lost.
    float ext[3];
    GSobject_getextents(back.get(), ext);
    EXPECT_EQ(ext[0], 2.0f);
    EXPECT_EQ(ext[1], 1.0f);
}

// The collapse renumbers vertices for its own sake: how the caller numbers them must not
// change which collapses happen, and the triangles must come back in the caller's numbers.
TEST(GsdbDecimate, CollapsesDoNotDependOnHowVerticesAreNumbered)
{
    const Mesh m = bumpy_sphere(4);
    std::vector<float> positions;
    for (const P3 &p : m.points) positions.insert(positions.end(), p.begin(), p.end());
    std::vector<GSDB_Triangle> tris;
    for (const Tri &t : m.tris) tris.push_back({{t[0], t[1], t[2]}, 0});
    tris.push_back({{0, 1, int(m.points.size())}, 0});  // a corner out of range: dropped
    std::vector<GSDB_Triangle> first = tris;
    gsdb_collapse_edges(positions, first, 0.0, 700);

    std::vector<int> to(m.points.size());
    std::iota(to.begin(), to.end(), 0);
    std::shuffle(to.begin(), to.end(), std::mt19937(3));
    std::vector<float> shuffled(positions.size());
    for (size_t v = 0; v < to.size(); ++v) std::copy_n(&positions[3 * v], 3, &shuffled[3 * size_t(to[v])]);
    std::vector<GSDB_Triangle> second = tris;
    for (GSDB_Triangle &t : second)
        for (int &c : t.corner)
            if (size_t(c) < to.size()) c = to[size_t(c)];
    gsdb_collapse_edges(shuffled, second, 0.0, 700);

    size_t kept = 0;
    for (size_t i = 0; i < tris.size(); ++i) {
        kept += first[i].corner[0] >= 0;
        for (int k = 0; k < 3; ++k) {
            const int c = first[i].corner[k];
            EXPECT_EQ(second[i].corner[k], c < 0 ? -1 : to[size_t(c)]) << "triangle " << i;
        }
    }
    EXPECT_EQ(first.back().corner[0], -1);
    EXPECT_GT(kept, 100u);
    EXPECT_LT(kept, tris.size() / 2);
}

// Real-world meshes: decimation never moves a vertex, never adds a triangle, keeps the box,
// and keeps closed meshes closed.
TEST(GsdbDecimate, RealFilesKeepTheirVerticesBoxAndClosedness)
{
    namespace fs = std::filesystem;
    const fs::path root = fs::path(KIV_TESTDATA_DIR) / "real" / "stl";
    if (!fs::is_directory(root)) GTEST_SKIP() << root << " is absent";
    std::vector<fs::path> files;
    for (const auto &e : fs::recursive_directory_iterator(root))
        if (e.is_regular_file()) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    int decimated = 0;
    for (const fs::path &file : files) {
        SCOPED_TRACE(file.string());
        void *geometry = nullptr;
        int index = 0;
        if (loader_invoke(nullptr, nullptr, file.c_str(), nullptr, &geometry, &index) != LOADER_GEOMETRY) continue;
        const ObjectPtr obj(static_cast<GSobject *>(geometry));
        const GeometryPtr g(createGSDB_Geometry(obj.get()));
        std::set<P3> input;
        for (size_t i = 0; i + 2 < g->vertices.size(); i += 3) input.insert({g->vertices[i], g->vertices[i + 1], g->vertices[i + 2]});
        const std::vector<Face> before = faces(*g);
        for (double tolerance : {0.02, 0.2}) {
            const GeometryPtr d(decimateGSDB_Geometry(g.get(), tolerance));
            const std::vector<Face> after = faces(*d);
            EXPECT_LE(after.size(), before.size());
            for (const Face &f : after)
                for (const P3 &p : f.p) EXPECT_TRUE(input.count(p)) << p[0] << " " << p[1] << " " << p[2];
            // The box comes back through its centre and extents, in floats.
            for (int k = 0; k < 6; ++k) EXPECT_NEAR(d->bounds[k], g->bounds[k], 1e-6 * (g->bounds[k % 3 + 3] - g->bounds[k % 3]));
            if (closed(before)) expect_closed(after);
        }
        ++decimated;
    }
    EXPECT_EQ(decimated, 26);  // the good files
}

}  // namespace
