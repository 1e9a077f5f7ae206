// Crease-angle smoothing of corner normals, vertex by vertex. Corners with equal normals are
// handled once; many distinct normals at one vertex (a fan's apex) are joined through a grid
// on the unit sphere instead of all pairs.
#include "graphics/gs_crease.h"

#include "platform/large_pages.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <numeric>
#include <optional>
#include <utility>
#include <map>

namespace {

constexpr size_t kPairwiseLimit = 48;

struct Direction {
    double u[3];        // unit direction
    const float *n;     // the given normal
    size_t first, end;  // its corners in the vertex's corner list
};

struct UnionFind {
    std::vector<int> parent;
    // Starts over with n separate members, keeping the storage.
    void reset(size_t n)
    {
        parent.resize(n);
        std::iota(parent.begin(), parent.end(), 0);
    }
    int find(int i)
    {
        while (parent[i] != i) i = parent[i] = parent[parent[i]];
        return i;
    }
    void join(int a, int b) { parent[find(a)] = find(b); }
};

double dot(const Direction &a, const Direction &b)
{
    return a.u[0] * b.u[0] + a.u[1] * b.u[1] + a.u[2] * b.u[2];
}

// Some pair across two groups of directions with a dot product above cosc (closer than
// chord), or none.
// Each side is walked outwards from the other's centre, and the triangle inequality stops a
// walk once nothing further can be close: only the directions near the border are tried.
std::optional<std::pair<int, int>> close_pair(const std::vector<Direction> &dirs, const std::vector<int> &a,
                                              const std::vector<int> &b, double chord, double cosc)
{
    auto centre = [&](const std::vector<int> &g) {
        std::array<double, 3> c{};
        for (int i : g)
            for (int k = 0; k < 3; ++k) c[size_t(k)] += dirs[size_t(i)].u[k] / double(g.size());
        return c;
    };
    auto dist = [](const double *p, const double *q) {
        return std::sqrt((p[0] - q[0]) * (p[0] - q[0]) + (p[1] - q[1]) * (p[1] - q[1]) + (p[2] - q[2]) * (p[2] - q[2]));
    };
    const std::array<double, 3> ca = centre(a), cb = centre(b);
    // Members with their distance to the other group's centre, nearest first.
    auto ordered = [&](const std::vector<int> &g, const std::array<double, 3> &c) {
        std::vector<std::pair<double, int>> r;
        r.reserve(g.size());
        for (int i : g) r.emplace_back(dist(dirs[size_t(i)].u, c.data()), i);
        std::sort(r.begin(), r.end());
        return r;
    };
    const auto oa = ordered(a, cb), ob = ordered(b, ca);
    const double slack = chord + 1e-9;  // lower bounds, kept safe from rounding
    double radius_b = 0.0;
    for (int i : b) radius_b = std::max(radius_b, dist(dirs[size_t(i)].u, cb.data()));
    for (const auto &[da, i] : oa) {
        if (da - radius_b >= slack) break;  // every later member of a is farther still
        const double to_ca = dist(dirs[size_t(i)].u, ca.data());
        for (const auto &[db, j] : ob) {
            if (db - to_ca >= slack) break;  // |b - ca| - |a - ca| bounds |a - b| from below
            if (dot(dirs[size_t(i)], dirs[size_t(j)]) > cosc) return std::pair{i, j};
        }
    }
    return std::nullopt;
}

void join_close(std::vector<Direction> &dirs, UnionFind &uf, double cosc, double crease)
{
    const size_t m = dirs.size();
    if (m <= kPairwiseLimit) {
        for (size_t i = 0; i < m; ++i)
            for (size_t j = i + 1; j < m; ++j)
                if (dot(dirs[i], dirs[j]) > cosc) uf.join(int(i), int(j));
        return;
    }
    // Unit vectors less than crease apart lie closer than its chord. Cells whose diagonal is
    // shorter than the chord join all their members at once; two cells are joined as soon
    // as one pair across them is close enough, which leaves few pairs to test.
    const double chord = 2.0 * std::sin(std::min(crease, 180.0) * std::numbers::pi / 360.0);
    const double cell = std::max(0.999 * chord / std::sqrt(3.0), 1e-9);
    const int reach = static_cast<int>(std::ceil(chord / cell));
    auto coord = [cell](double u) { return static_cast<int64_t>(std::floor(u / cell)); };
    std::map<std::array<int64_t, 3>, std::vector<int>> cells;
    for (size_t i = 0; i < m; ++i) {
        std::vector<int> &members = cells[{coord(dirs[i].u[0]), coord(dirs[i].u[1]), coord(dirs[i].u[2])}];
        if (!members.empty()) uf.join(int(i), members.front());
        members.push_back(int(i));
    }
    for (const auto &[key, members] : cells)
        for (int dx = -reach; dx <= reach; ++dx)
            for (int dy = -reach; dy <= reach; ++dy)
                for (int dz = -reach; dz <= reach; ++dz) {
                    const std::array<int64_t, 3> other = {key[0] + dx, key[1] + dy, key[2] + dz};
                    if (!(key < other)) continue;
                    const auto it = cells.find(other);
                    if (it == cells.end() || uf.find(members.front()) == uf.find(it->second.front())) continue;
                    if (const auto pair = close_pair(dirs, members, it->second, chord, cosc)) uf.join(pair->first, pair->second);
                }
}

}  // namespace

void gs_smooth_normals(std::span<GScorner *const> corners, size_t nvertices, std::vector<float> &normals, float crease)
{
    const size_t nn = normals.size() / 3;
    auto given = [&](const GScorner *c) {
        if (c->normal < 0 || size_t(c->normal) >= nn || c->vertex < 0 || size_t(c->vertex) >= nvertices) return false;
        const float *n = &normals[3 * size_t(c->normal)];
        return n[0] < GS_NO_NORMAL && std::isfinite(n[0]) && std::isfinite(n[1]) && std::isfinite(n[2]) &&
               (n[0] != 0.0f || n[1] != 0.0f || n[2] != 0.0f);
    };

    // Corners bucketed by vertex (counting sort): start[v] ends up at the first of v's corners.
    // Both arrays are written at random: large pages save most of their page faults.
    kiv::platform::LargeVector<size_t> start(nvertices + 1, 0);
    for (const GScorner *c : corners)
        if (given(c)) ++start[size_t(c->vertex)];
    std::partial_sum(start.begin(), start.end(), start.begin());
    kiv::platform::LargeVector<GScorner *> byvertex(start.back());
    for (GScorner *c : corners)
        if (given(c)) byvertex[--start[size_t(c->vertex)]] = c;

    const double cosc = std::cos(double(crease) * std::numbers::pi / 180.0);

    // Scratch space of one vertex, reused from vertex to vertex. Each corner's normal is
    // copied next to it once, so sorting and grouping read one compact array.
    struct Item {
        float n[3];
        GScorner *corner;
    };
    std::vector<Item> items;
    std::vector<Direction> dirs;
    UnionFind uf;
    std::vector<int> newindex, members;
    std::vector<double> sums;
    // Room for one new normal per vertex, the usual outcome on smooth surfaces, so the table
    // is not copied while it grows.
    normals.reserve(normals.size() + 3 * nvertices);
    for (size_t v = 0; v < nvertices; ++v) {
        if (start[v + 1] - start[v] < 2) continue;
        items.clear();
        for (size_t i = start[v]; i < start[v + 1]; ++i) {
            const float *n = &normals[3 * size_t(byvertex[i]->normal)];
            items.push_back({{n[0], n[1], n[2]}, byvertex[i]});
        }
        std::sort(items.begin(), items.end(),
                  [](const Item &a, const Item &b) { return std::lexicographical_compare(a.n, a.n + 3, b.n, b.n + 3); });

        dirs.clear();
        for (size_t it = 0; it < items.size();) {
            const float *n = items[it].n;
            size_t end = it + 1;
            while (end < items.size() && items[end].n[0] == n[0] && items[end].n[1] == n[1] && items[end].n[2] == n[2]) ++end;
            const double len = std::sqrt(double(n[0]) * n[0] + double(n[1]) * n[1] + double(n[2]) * n[2]);
            dirs.push_back({{n[0] / len, n[1] / len, n[2] / len}, n, it, end});
            it = end;
        }
        if (dirs.size() < 2) continue;

        uf.reset(dirs.size());
        join_close(dirs, uf, cosc, crease);

        // One new normal per group of two or more distinct normals.
        newindex.assign(dirs.size(), -1);
        sums.assign(3 * dirs.size(), 0.0);
        members.assign(dirs.size(), 0);
        for (size_t i = 0; i < dirs.size(); ++i) {
            const int root = uf.find(int(i));
            ++members[root];
            const double w = double(dirs[i].end - dirs[i].first);
            for (int k = 0; k < 3; ++k) sums[3 * size_t(root) + k] += w * dirs[i].n[k];
        }
        for (size_t i = 0; i < dirs.size(); ++i) {
            const int root = uf.find(int(i));
            if (members[root] < 2) continue;
            if (newindex[root] < 0) {
                const double *s = &sums[3 * size_t(root)];
                double len = std::sqrt(s[0] * s[0] + s[1] * s[1] + s[2] * s[2]);
                if (len == 0.0) len = 0.00001;
                newindex[root] = static_cast<int>(normals.size() / 3);
                for (int k = 0; k < 3; ++k) normals.push_back(static_cast<float>(s[k] / len));
            }
            for (size_t c = dirs[i].first; c < dirs[i].end; ++c) items[c].corner->normal = newindex[root];
        }
    }
}
