// Finishing a mesh: counts, bounds, vertex merging, crease smoothing and normal quantisation.
#include "graphics/gs_object.h"

#include "graphics/gs_crease.h"
#include "graphics/gs_vertex_merge.h"
#include "platform/large_pages.h"

#include <kivctrl/gs_normal_code.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <span>

namespace {

void measure_vertices(GSmesh &m)
{
    m.clear_bounds();
    for (size_t i = 0; i < m.vertices.size(); i += 3)
        for (int k = 0; k < 3; ++k) {
            m.bounds[k] = std::min(m.bounds[k], m.vertices[i + k]);
            m.bounds[k + 3] = std::max(m.bounds[k + 3], m.vertices[i + k]);
        }
    m.set_measures_from_bounds();
}

// Below this many corners the codes in use are sorted; above it a table of all 65,535 codes
// is cheaper than sorting, while for a small part filling it would cost more than the rest of
// closing the mesh.
constexpr size_t kSortedCodesBelow = 4096;

// Replaces the normals by the distinct table directions the corners use, in code order.
// Only normals some corner uses are encoded: smoothing leaves many given ones unused.
void quantise(std::span<GScorner *const> corners, std::vector<float> &normals)
{
    const size_t nn = normals.size() / 3;
    kiv::platform::LargeVector<int> codeof(nn, -1);  // -1 until encoded
    auto code = [&](int normal) {
        if (normal < 0 || size_t(normal) >= nn) return 0;
        int &c = codeof[size_t(normal)];
        if (c < 0) {
            const float *n = &normals[3 * size_t(normal)];
            c = n[0] < GS_NO_NORMAL ? GSnormal_encode(n) : 0;
        }
        return c;
    };
    std::vector<float> table;
    auto append = [&table](int k) {
        const float *v = GSnormal_decode(static_cast<uint16_t>(k));
        table.insert(table.end(), v, v + 3);
    };
    if (corners.size() < kSortedCodesBelow) {
        std::vector<int> used;
        used.reserve(corners.size());
        for (const GScorner *c : corners)
            if (const int k = code(c->normal); k > 0) used.push_back(k);
        std::sort(used.begin(), used.end());
        used.erase(std::unique(used.begin(), used.end()), used.end());
        for (int k : used) append(k);
        for (GScorner *c : corners) {
            const int k = code(c->normal);
            c->normal = k > 0 ? int(std::lower_bound(used.begin(), used.end(), k) - used.begin()) : -1;
        }
    } else {
        std::vector<int> slot(65536, -1);
        for (const GScorner *c : corners)
            if (const int k = code(c->normal); k > 0) slot[size_t(k)] = 0;
        for (int k = 1; k < 65536; ++k)
            if (slot[size_t(k)] == 0) {
                slot[size_t(k)] = static_cast<int>(table.size() / 3);
                append(k);
            }
        for (GScorner *c : corners) {
            const int k = code(c->normal);
            c->normal = k > 0 ? slot[size_t(k)] : -1;
        }
    }
    normals.swap(table);
}

}  // namespace

void GSmesh::close(float creaseangle)
{
    recount();
    int polygons = polygoncount, primitives = primitivecount;
    for (GSsubmesh *sub : facegroups) {
        sub->recount();
        polygons += sub->polygoncount;
        primitives += sub->primitivecount;
    }
    polygoncount = polygons;
    primitivecount = primitives;

    measure_vertices(*this);

    // Tens of megabytes for big meshes, filled at once: large pages spare most page faults.
    kiv::platform::LargeVector<GScorner *> corners;
    size_t ncorners = 0;
    for (const GSpoly &p : polys) ncorners += p.corners.size();
    for (const GSsubmesh *sub : facegroups)
        for (const GSpoly &p : sub->polys) ncorners += p.corners.size();
    corners.reserve(ncorners);
    auto collect = [&corners](GSpolylist &list) {
        for (GSpoly &p : list.polys)
            for (GScorner &c : p.corners) corners.push_back(&c);
    };
    collect(*this);
    for (GSsubmesh *sub : facegroups) collect(*sub);

    const size_t before = vertexcount();
    const std::vector<int> remap = gs_merge_vertices(vertices);
    for (GScorner *c : corners)
        if (c->vertex >= 0 && size_t(c->vertex) < before) c->vertex = remap[size_t(c->vertex)];

    if (creaseangle > 0.0f) gs_smooth_normals(corners, vertexcount(), normals, creaseangle);
    quantise(corners, normals);

    // Face groups measure the vertices their corners use, now that they are final.
    for (GSsubmesh *sub : facegroups) sub->measure_corners();
}
