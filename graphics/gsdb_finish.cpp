// Finishing a GSDB_Geometry: vertices sorted by position, normals smoothed within a crease
// angle among vertices at one position, near-equal positions welded, normals quantised to the
// 16-bit code directions and welded, bounds measured.
#include "graphics/gsdb_records.h"

#include "graphics/gs_crease.h"
#include "graphics/gs_object.h"

#include <kivctrl/gs_normal_code.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>

namespace {

constexpr double kWeld = 1e-7;              // per axis
constexpr double kWeldSquared = 1e-7 * 1e-7;

// Total order on floats (non-numbers at the ends), with -0 equal to +0.
uint32_t order_key(float f)
{
    const uint32_t bits = std::bit_cast<uint32_t>(f == 0.0f ? 0.0f : f);
    return bits & 0x80000000u ? ~bits : bits | 0x80000000u;
}

// The vertices in order of position (x, then y, then z), equal positions by index. The keys
// are computed once and sorted beside the indices, which spares the sort scattered reads.
std::vector<int> sorted_order(const std::vector<float> &xyz, size_t n)
{
    struct Item {
        uint32_t key[3];
        int index;
    };
    std::vector<Item> items(n);
    for (size_t v = 0; v < n; ++v) {
        const float *p = &xyz[3 * v];
        items[v] = {{order_key(p[0]), order_key(p[1]), order_key(p[2])}, static_cast<int>(v)};
    }
    std::sort(items.begin(), items.end(), [](const Item &a, const Item &b) {
        if (a.key[0] != b.key[0]) return a.key[0] < b.key[0];
        if (a.key[1] != b.key[1]) return a.key[1] < b.key[1];
        if (a.key[2] != b.key[2]) return a.key[2] < b.key[2];
        return a.index < b.index;
    });
    std::vector<int> order(n);
    for (size_t s = 0; s < n; ++s) order[s] = items[s].index;
    return order;
}

std::vector<GSDB_Corner *> all_corners(GSDB_Geometry &g)
{
    std::vector<GSDB_Corner *> corners;
    for (auto &group : g.groups)
        for (auto &list : group->lists)
            for (GSDB_Corner &c : list->corners) corners.push_back(&c);
    return corners;
}

// Vertices at exactly equal positions share their normals' crease-angle smoothing.
void smooth(GSDB_Geometry &g, const std::vector<int> &order, float crease)
{
    const size_t n = std::min(g.vertexcount(), g.normalcount());
    std::vector<GScorner> records;  // (position run, normal) per vertex
    std::vector<int> owner;         // the vertex of each record
    records.reserve(n);
    owner.reserve(n);
    int run = -1;
    const float *prev = nullptr;
    for (int v : order) {
        if (size_t(v) >= n) continue;
        const float *p = &g.vertices[3 * size_t(v)];
        if (!prev || p[0] != prev[0] || p[1] != prev[1] || p[2] != prev[2]) ++run;
        prev = p;
        records.push_back({run, v});
        owner.push_back(v);
    }
    std::vector<GScorner *> refs;
    refs.reserve(records.size());
    for (GScorner &r : records) refs.push_back(&r);
    std::vector<float> normals(g.normals.begin(), g.normals.begin() + std::ptrdiff_t(3 * n));
    gs_smooth_normals(refs, size_t(run + 1), normals, crease);
    for (size_t i = 0; i < records.size(); ++i)
        if (records[i].normal != owner[i])
            std::copy_n(&normals[3 * size_t(records[i].normal)], 3, &g.normals[3 * size_t(owner[i])]);
}

// Output number of every vertex: each vertex not yet welded, in sorted order, opens the next
// output vertex and takes in the later ones closer than the weld distance.
std::vector<int> weld_positions(const std::vector<float> &xyz, const std::vector<int> &order, std::vector<int> &firsts)
{
    const size_t n = order.size();
    std::vector<float> sx(n), sy(n), sz(n);
    for (size_t s = 0; s < n; ++s) {
        const float *p = &xyz[3 * size_t(order[s])];
        sx[s] = p[0];
        sy[s] = p[1];
        sz[s] = p[2];
    }
    // First sorted position at or after from (within [from, to)) whose value in a is not
    // below t; a is sorted by order_key on that range.
    auto lower = [](const std::vector<float> &a, size_t from, size_t to, float t) {
        const uint32_t kt = order_key(t);
        return size_t(std::partition_point(a.begin() + std::ptrdiff_t(from), a.begin() + std::ptrdiff_t(to),
                                           [kt](float v) { return order_key(v) < kt; }) -
                      a.begin());
    };
    auto block_end = [](const std::vector<float> &a, size_t from, size_t to) {
        const uint32_t k = order_key(a[from]);
        return size_t(std::partition_point(a.begin() + std::ptrdiff_t(from), a.begin() + std::ptrdiff_t(to),
                                           [k](float v) { return order_key(v) <= k; }) -
                      a.begin());
    };
    auto below = [](float v) { return std::nextafter(static_cast<float>(double(v) - kWeld), -HUGE_VALF); };

    std::vector<int> out(n, -1);  // by sorted position
    for (size_t s = 0; s < n; ++s) {
        if (out[s] >= 0) continue;
        out[s] = static_cast<int>(firsts.size());
        firsts.push_back(order[s]);
        const float p[3] = {sx[s], sy[s], sz[s]};
        if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2])) continue;
        // Later vertices within the weld distance lie in x blocks up to kWeld further on, in
        // each within a band of y, and in each y block within a band of z.
        for (size_t i = s + 1; i < n && double(sx[i]) - p[0] <= kWeld;) {
            const size_t xend = block_end(sx, i, n);
            for (size_t j = lower(sy, i, xend, below(p[1])); j < xend && double(sy[j]) - p[1] <= kWeld;) {
                const size_t yend = block_end(sy, j, xend);
                for (size_t k = lower(sz, j, yend, below(p[2])); k < yend && double(sz[k]) - p[2] <= kWeld; ++k) {
                    if (out[k] >= 0) continue;
                    const double dx = double(sx[k]) - p[0], dy = double(sy[k]) - p[1], dz = double(sz[k]) - p[2];
                    if (dx * dx + dy * dy + dz * dz < kWeldSquared) out[k] = out[s];
                }
                j = yend;
            }
            i = xend;
        }
    }
    std::vector<int> byvertex(n);
    for (size_t s = 0; s < n; ++s) byvertex[size_t(order[s])] = out[s];
    return byvertex;
}

// Replaces every real normal by its code direction, welds equal ones and renumbers corners.
// Only the distinct codes in use are decoded and sorted, not every normal.
void weld_normals(GSDB_Geometry &g, const std::vector<GSDB_Corner *> &corners)
{
    const size_t nn = g.normalcount();
    std::vector<uint16_t> codeof(nn, 0);  // 0: not a real normal
    std::vector<uint8_t> used(65536, 0);
    for (size_t i = 0; i < nn; ++i) {
        const float *n = &g.normals[3 * i];
        if (!(n[0] < GS_NO_NORMAL)) continue;
        codeof[i] = GSnormal_encode(n);  // 0 when it has no direction: counts as no normal
        used[codeof[i]] = 1;
    }
    std::vector<std::array<float, 3>> distinct;
    for (size_t k = 1; k < used.size(); ++k) {
        if (!used[k]) continue;
        const float *u = GSnormal_decode(static_cast<uint16_t>(k));
        distinct.push_back({u[0], u[1], u[2]});
    }
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    // The output number of every code in use.
    std::vector<int> slot(used.size(), -1);
    for (size_t k = 1; k < used.size(); ++k) {
        if (!used[k]) continue;
        const float *u = GSnormal_decode(static_cast<uint16_t>(k));
        const std::array<float, 3> d{u[0], u[1], u[2]};
        slot[k] = static_cast<int>(std::lower_bound(distinct.begin(), distinct.end(), d) - distinct.begin());
    }
    for (GSDB_Corner *c : corners)
        c->normal = c->normal < 0 || size_t(c->normal) >= nn ? -1 : slot[codeof[size_t(c->normal)]];
    g.normals.clear();
    for (const auto &d : distinct) g.normals.insert(g.normals.end(), d.begin(), d.end());
}

}  // namespace

void gsdb_finish(GSDB_Geometry &g, float creaseangle)
{
    if (g.primitivecount != -1) return;
    g.primitivecount = 0;
    g.listcount = 0;
    for (const auto &group : g.groups) {
        g.primitivecount += group->primitivecount;
        g.listcount += static_cast<int>(group->lists.size());
    }

    const std::vector<GSDB_Corner *> corners = all_corners(g);
    const size_t nv = g.vertexcount();
    if (std::max(nv, g.normalcount()) == 0) {
        g.vertices.clear();
        g.normals.clear();
    } else {
        const std::vector<int> order = sorted_order(g.vertices, nv);
        if (creaseangle > 0.0f) smooth(g, order, creaseangle);

        std::vector<int> firsts;
        const std::vector<int> output = weld_positions(g.vertices, order, firsts);
        for (GSDB_Corner *c : corners)
            if (c->vertex >= 0 && size_t(c->vertex) < nv) c->vertex = output[size_t(c->vertex)];
        std::vector<float> welded;
        welded.reserve(3 * firsts.size());
        for (int v : firsts) welded.insert(welded.end(), &g.vertices[3 * size_t(v)], &g.vertices[3 * size_t(v)] + 3);
        g.vertices.swap(welded);

        weld_normals(g, corners);
    }

    if (g.vertexcount() > 0) {
        gsdb_clear_bounds(g.bounds);
        for (size_t i = 0; i < g.vertexcount(); ++i) gsdb_extend_bounds(g.bounds, &g.vertices[3 * i]);
    } else {
        std::fill_n(g.bounds, 6, 0.0f);
    }
}
