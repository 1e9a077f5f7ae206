// Building a graphics object from a GSDB_Geometry: one face child per group, one polygon
// record per list, a vertex per corner, and two unused vertices that keep the geometry's box.
#include "graphics/gsdb_records.h"

#include "graphics/gs_primitive.h"

#include <algorithm>

namespace {

struct Builder {
    const GSDB_Geometry &g;
    GSobject *obj;
    int next = 0;  // running vertex number

    bool valid(const GSDB_Corner &c) const { return c.vertex >= 0 && size_t(c.vertex) < g.vertexcount(); }

    void corner(GSpoly *poly, const GSDB_Corner &c)
    {
        float p[3];
        std::copy_n(&g.vertices[3 * size_t(c.vertex)], 3, p);
        GSvertex v = GSvertex_new(p);
        if (c.normal >= 0 && size_t(c.normal) < g.normalcount()) {
            float n[3];
            std::copy_n(&g.normals[3 * size_t(c.normal)], 3, n);
            if (n[0] < 1000.0f) GSvertex_setnormal(&v, n);
        }
        GSobject_addvertex(obj, &v);
        GSpoly_addvertex(poly, next++);
    }

    void list(GSobject *face, const GSDB_PrimitiveList &l)
    {
        for (const GSDB_Corner &c : l.corners)
            if (!valid(c)) return;  // a hand-made list pointing past the vertices is left out
        const int n = static_cast<int>(l.corners.size());
        GSpoly *poly = nullptr;
        switch (l.kind) {
        case GS_LINE_STRIP: poly = GSpoly_beginlinestrip(face, n); break;
        case GS_TRIANGLE_STRIP: poly = GSpoly_begintristrip(face, n); break;
        case GS_TRIANGLE_FAN: poly = GSpoly_begintrifan(face, n); break;
        default: break;
        }
        if (poly) {
            for (const GSDB_Corner &c : l.corners) corner(poly, c);
        } else {
            // Triangles; primitives of more corners are cut into fans, points and lines have
            // no triangles to give.
            const int count = gs_primitive_count(l.kind, n), per = gs_corners_per_primitive(l.kind, n);
            if (per < 3) return;
            poly = GSpoly_begintriangles(face, count * (per - 2));
            for (int a = 0; a < count; ++a)
                for (int k = 2; k < per; ++k)
                    for (int v : {0, k - 1, k}) corner(poly, l.corners[size_t(gs_corner_index(l.kind, n, a, v))]);
        }
        GSpoly_setcolor(poly, l.color[0], l.color[1], l.color[2]);
        GSpoly_close(poly);
    }
};

}  // namespace

GSobject *createGSobject(const GSDB_Geometry *g)
{
    GSobject *obj = GSobject_begin();
    if (g) {
        Builder b{*g, obj};
        for (const auto &group : g->groups) {
            GSobject *face = GSface_begin();
            GSface_attach(obj, face);
            for (const auto &l : group->lists) b.list(face, *l);
            GSface_close(face);
        }
        if (gsdb_bounds_set(g->bounds)) {
            const float *bb = g->bounds;
            float lo[3], hi[3];
            for (int k = 0; k < 3; ++k) {
                const float centre = (bb[k] + bb[k + 3]) / 2.0f, extent = bb[k + 3] - bb[k];
                lo[k] = centre - extent / 2.0f;
                hi[k] = centre + extent / 2.0f;
            }
            GSvertex vlo = GSvertex_new(lo), vhi = GSvertex_new(hi);
            GSobject_addvertex(obj, &vlo);
            GSobject_addvertex(obj, &vhi);
        }
    }
    GSobject_close(obj, 0.0f);
    const float origin[3] = {0.0f, 0.0f, 0.0f};
    GSobject_setpivot(obj, origin, GS_FRAME_LOCAL);
    return obj;
}
