// Simplifying a GSDB_Geometry by collapsing shortest edges.
#include "graphics/gsdb_records.h"

#include "graphics/gs_primitive.h"
#include "graphics/gsdb_collapse.h"
#include "platform/large_pages.h"

#include <algorithm>
#include <cmath>

namespace {

// A big mesh's triangles take many megabytes: large pages make them cheap to fault in.
using Triangles = kiv::platform::LargeVector<GSDB_Triangle>;

Triangles triangles_of(const GSDB_Geometry &g, std::vector<const GSDB_PrimitiveList *> &lists)
{
    Triangles tris;
    tris.reserve(size_t(std::max(g.primitivecount, 0)));
    for (const auto &group : g.groups)
        for (const auto &l : group->lists) {
            const int li = static_cast<int>(lists.size());
            lists.push_back(l.get());
            const int n = static_cast<int>(l->corners.size());
            if (gs_corners_per_primitive(l->kind, n) != 3) continue;
            const int count = gs_primitive_count(l->kind, n);
            for (int a = 0; a < count; ++a) {
                GSDB_Triangle t{{}, li};
                for (int v = 0; v < 3; ++v) t.corner[v] = l->corners[size_t(gs_corner_index(l->kind, n, a, v))].vertex;
                tris.push_back(t);
            }
        }
    return tris;
}

// The result: the surviving triangles with their face normals, one triangles list per input
// list, and the input box kept by two unused vertices.
GSDB_Geometry *build_result(const GSDB_Geometry &g, const std::vector<const GSDB_PrimitiveList *> &lists,
                            const Triangles &tris)
{
    auto out = std::make_unique<GSDB_Geometry>();
    std::vector<GSDB_Group *> groups;
    for (size_t i = 0; i < g.groups.size(); ++i) groups.push_back(gsdb_add_group(*out));
    std::vector<std::unique_ptr<GSDB_PrimitiveList>> made(lists.size());
    for (auto &l : made) l = std::make_unique<GSDB_PrimitiveList>();

    const size_t nv = g.vertexcount();
    for (const GSDB_Triangle &t : tris) {
        const int *c = t.corner;
        if (c[0] == c[1] || c[1] == c[2] || c[2] == c[0]) continue;
        if (c[0] < 0 || c[1] < 0 || c[2] < 0 || size_t(c[0]) >= nv || size_t(c[1]) >= nv || size_t(c[2]) >= nv) continue;
        const float *p[3] = {&g.vertices[3 * size_t(c[0])], &g.vertices[3 * size_t(c[1])], &g.vertices[3 * size_t(c[2])]};
        const double a[3] = {double(p[2][0]) - p[1][0], double(p[2][1]) - p[1][1], double(p[2][2]) - p[1][2]};
        const double b[3] = {double(p[0][0]) - p[1][0], double(p[0][1]) - p[1][1], double(p[0][2]) - p[1][2]};
        const double n[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
        const double len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        float unit[3];
        const bool facing = len > 0.0 && std::isfinite(len);  // a sliver without area has no normal
        if (facing)
            for (int k = 0; k < 3; ++k) unit[k] = static_cast<float>(n[k] / len);
        for (int v = 0; v < 3; ++v) {
            const int i = gsdb_add_vertex(*out, p[v], facing ? unit : nullptr);
            made[size_t(t.list)]->corners.push_back({i, i});
        }
    }

    size_t li = 0;
    for (size_t gi = 0; gi < g.groups.size(); ++gi)
        for (size_t k = 0; k < g.groups[gi]->lists.size(); ++k, ++li) {
            GSDB_PrimitiveList &l = *made[li];
            l.group = groups[gi];
            gsdb_complete_list(l);
            std::copy_n(lists[li]->color, 3, l.color);
            groups[gi]->lists.push_back(std::move(made[li]));
        }
    for (GSDB_Group *group : groups) gsdb_complete_group(*group);

    float lo[3], hi[3];
    for (int k = 0; k < 3; ++k) {
        const float centre = (g.bounds[k] + g.bounds[k + 3]) / 2.0f, extent = g.bounds[k + 3] - g.bounds[k];
        lo[k] = centre - extent / 2.0f;
        hi[k] = centre + extent / 2.0f;
    }
    gsdb_add_vertex(*out, lo, nullptr);
    gsdb_add_vertex(*out, hi, nullptr);
    gsdb_finish(*out, 40.0f);
    return out.release();
}

}  // namespace

GSDB_Geometry *collapseGSDB_Geometry(GSDB_Geometry *g, double costlimit, int minvertices)
{
    if (!g) return nullptr;
    std::vector<const GSDB_PrimitiveList *> lists;
    Triangles tris = triangles_of(*g, lists);
    const long long budget = std::max<long long>(0, (long long)g->vertexcount() - std::max(minvertices, 8));
    gsdb_collapse_edges(g->vertices, tris, costlimit, budget);
    return build_result(*g, lists, tris);
}

GSDB_Geometry *decimateGSDB_Geometry(GSDB_Geometry *g, double tolerance)
{
    if (!g) return nullptr;
    const double t = tolerance >= 0.0 ? std::min(tolerance, 1.0) : 0.0;
    double h = 0.0;
    if (g->primitivecount > 0)
        for (int k = 0; k < 3; ++k) {
            const double half = (double(g->bounds[k + 3]) - g->bounds[k]) / 2.0;
            h += half * half;
        }
    return collapseGSDB_Geometry(g, t * t * 4.0 * h, 0);
}
