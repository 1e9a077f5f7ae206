// GSDB_Geometry records: creation, destruction, boxes, list and group completion.
#include "graphics/gsdb_records.h"

#include "graphics/gs_object.h"
#include "graphics/gs_primitive.h"

#include <algorithm>
#include <cfloat>
#include <map>
#include <tuple>

GSDB_Group::GSDB_Group()
{
    gsdb_clear_bounds(bounds);
}

GSDB_Geometry::GSDB_Geometry()
{
    gsdb_clear_bounds(bounds);
}

void gsdb_clear_bounds(float bounds[6])
{
    std::fill_n(bounds, 3, FLT_MAX);
    std::fill_n(bounds + 3, 3, -FLT_MAX);
}

void gsdb_extend_bounds(float bounds[6], const float p[3])
{
    for (int k = 0; k < 3; ++k) {
        bounds[k] = std::min(bounds[k], p[k]);
        bounds[k + 3] = std::max(bounds[k + 3], p[k]);
    }
}

bool gsdb_bounds_set(const float bounds[6])
{
    return bounds[0] <= bounds[3] && bounds[1] <= bounds[4] && bounds[2] <= bounds[5];
}

GSDB_Group *gsdb_add_group(GSDB_Geometry &g)
{
    g.groups.push_back(std::make_unique<GSDB_Group>());
    g.groups.back()->owner = &g;
    return g.groups.back().get();
}

int gsdb_add_vertex(GSDB_Geometry &g, const float p[3], const float *n)
{
    static const float none[3] = {GS_NO_NORMAL, GS_NO_NORMAL, GS_NO_NORMAL};
    const int i = static_cast<int>(g.vertexcount());
    g.vertices.insert(g.vertices.end(), p, p + 3);
    if (!n) n = none;
    g.normals.insert(g.normals.end(), n, n + 3);
    return i;
}

void gsdb_complete_list(GSDB_PrimitiveList &list)
{
    const size_t n = list.corners.size();
    switch (list.kind) {
    case GS_LINE_STRIP:
        if (n == 2) list.kind = GS_LINES;
        break;
    case GS_TRIANGLE_STRIP:
    case GS_TRIANGLE_FAN:
        if (n == 3) list.kind = GS_TRIANGLES;
        break;
    case GS_QUAD_STRIP:
        if (n == 4) list.kind = GS_QUADS;
        break;
    case GS_POLYGON:
        if (n == 3) list.kind = GS_TRIANGLES;
        if (n == 4) list.kind = GS_QUADS;
        break;
    default: break;
    }
    list.primitivecount = gs_primitive_count(list.kind, static_cast<int>(n));
}

namespace {

bool absorbs(int kind)
{
    return kind == GS_POINTS || kind == GS_LINES || kind == GS_TRIANGLES || kind == GS_QUADS;
}

}  // namespace

void gsdb_complete_group(GSDB_Group &group)
{
    // Each list absorbs the later ones of its kind and exact colour: the first list of every
    // kind and colour collects them all, in order. Keys compare as floats do (-0 equals 0).
    using Key = std::tuple<int, float, float, float>;
    std::map<Key, GSDB_PrimitiveList *> first;
    std::vector<std::unique_ptr<GSDB_PrimitiveList>> kept;
    kept.reserve(group.lists.size());
    for (auto &list : group.lists) {
        const float *c = list->color;
        const bool keyed = absorbs(list->kind) && c[0] == c[0] && c[1] == c[1] && c[2] == c[2];
        if (keyed) {
            const Key key{list->kind, c[0] + 0.0f, c[1] + 0.0f, c[2] + 0.0f};
            const auto [it, fresh] = first.try_emplace(key, list.get());
            if (!fresh) {
                GSDB_PrimitiveList &into = *it->second;
                into.corners.insert(into.corners.end(), list->corners.begin(), list->corners.end());
                gsdb_complete_list(into);
                continue;
            }
        }
        kept.push_back(std::move(list));
    }
    group.lists = std::move(kept);

    group.primitivecount = 0;
    const GSDB_Geometry *g = group.owner;
    const size_t nv = g ? g->vertexcount() : 0;
    for (const auto &list : group.lists) {
        group.primitivecount += list->primitivecount;
        for (const GSDB_Corner &c : list->corners)
            if (c.vertex >= 0 && size_t(c.vertex) < nv) gsdb_extend_bounds(group.bounds, &g->vertices[3 * size_t(c.vertex)]);
    }
}

void destroyGSDB_Geometry(GSDB_Geometry *g)
{
    delete g;
}
