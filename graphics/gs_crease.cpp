// Crease-angle smoothing of corner normals, vertex by vertex. Corners with equal normals are
// handled once; many distinct normals at one vertex (a fan's apex) are joined through a hash
// grid on the unit sphere instead of all pairs.
#include "graphics/gs_crease.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <numeric>
#include <unordered_map>

namespace {

constexpr size_t kPairwiseLimit = 48;

struct Direction {
    double u[3];        // unit direction
    const float *n;     // the given normal
    size_t first, end;  // its corners in the vertex's corner list
};

struct UnionFind {
    std::vector<int> parent;
    explicit UnionFind(size_t n) : parent(n) { std::iota(parent.begin(), parent.end(), 0); }
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

void join_close(std::vector<Direction> &dirs, UnionFind &uf, double cosc, double crease)
{
    const size_t m = dirs.size();
    if (m <= kPairwiseLimit || crease >= 60.0) {
        for (size_t i = 0; i < m; ++i)
            for (size_t j = i + 1; j < m; ++j)
                if (dot(dirs[i], dirs[j]) > cosc) uf.join(int(i), int(j));
        return;
    }
    // Two unit vectors less than crease apart lie closer than the chord of crease.
    const double cell = std::max(2.0 * std::sin(crease * std::numbers::pi / 360.0), 1e-9);
    std::unordered_map<uint64_t, std::vector<int>> grid;
    auto key = [](int64_t x, int64_t y, int64_t z) {
        return (uint64_t(x + 0x1FFFFF) << 42) | (uint64_t(y + 0x1FFFFF) << 21) | uint64_t(z + 0x1FFFFF);
    };
    for (size_t i = 0; i < m; ++i) {
        int64_t c[3];
        for (int k = 0; k < 3; ++k) c[k] = static_cast<int64_t>(std::floor(dirs[i].u[k] / cell));
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                for (int dz = -1; dz <= 1; ++dz) {
                    const auto it = grid.find(key(c[0] + dx, c[1] + dy, c[2] + dz));
                    if (it == grid.end()) continue;
                    for (int j : it->second)
                        if (dot(dirs[i], dirs[j]) > cosc) uf.join(int(i), j);
                }
        grid[key(c[0], c[1], c[2])].push_back(int(i));
    }
}

}  // namespace

void gs_smooth_normals(const std::vector<GScorner *> &corners, size_t nvertices, std::vector<float> &normals, float crease)
{
    const size_t nn = normals.size() / 3;
    auto given = [&](const GScorner *c) {
        if (c->normal < 0 || size_t(c->normal) >= nn || c->vertex < 0 || size_t(c->vertex) >= nvertices) return false;
        const float *n = &normals[3 * size_t(c->normal)];
        return n[0] < GS_NO_NORMAL && std::isfinite(n[0]) && std::isfinite(n[1]) && std::isfinite(n[2]) &&
               (n[0] != 0.0f || n[1] != 0.0f || n[2] != 0.0f);
    };

    // Corners bucketed by vertex (counting sort).
    std::vector<size_t> start(nvertices + 1, 0);
    for (const GScorner *c : corners)
        if (given(c)) ++start[size_t(c->vertex) + 1];
    std::partial_sum(start.begin(), start.end(), start.begin());
    std::vector<GScorner *> byvertex(start.back());
    {
        std::vector<size_t> fill(start.begin(), start.end() - 1);
        for (GScorner *c : corners)
            if (given(c)) byvertex[fill[size_t(c->vertex)]++] = c;
    }

    const double cosc = std::cos(double(crease) * std::numbers::pi / 180.0);
    auto value_less = [&](const GScorner *a, const GScorner *b) {
        const float *p = &normals[3 * size_t(a->normal)], *q = &normals[3 * size_t(b->normal)];
        return std::lexicographical_compare(p, p + 3, q, q + 3);
    };
    auto same_value = [&](const GScorner *a, const GScorner *b) {
        const float *p = &normals[3 * size_t(a->normal)], *q = &normals[3 * size_t(b->normal)];
        return p[0] == q[0] && p[1] == q[1] && p[2] == q[2];
    };

    std::vector<Direction> dirs;
    for (size_t v = 0; v < nvertices; ++v) {
        const auto first = byvertex.begin() + std::ptrdiff_t(start[v]);
        const auto last = byvertex.begin() + std::ptrdiff_t(start[v + 1]);
        if (last - first < 2) continue;
        std::sort(first, last, value_less);

        dirs.clear();
        for (auto it = first; it != last;) {
            auto end = it + 1;
            while (end != last && same_value(*it, *end)) ++end;
            const float *n = &normals[3 * size_t((*it)->normal)];
            const double len = std::sqrt(double(n[0]) * n[0] + double(n[1]) * n[1] + double(n[2]) * n[2]);
            dirs.push_back({{n[0] / len, n[1] / len, n[2] / len}, n, size_t(it - first), size_t(end - first)});
            it = end;
        }
        if (dirs.size() < 2) continue;

        UnionFind uf(dirs.size());
        join_close(dirs, uf, cosc, crease);

        // One new normal per group of two or more distinct normals.
        std::vector<int> newindex(dirs.size(), -1);
        std::vector<double> sums(3 * dirs.size(), 0.0);
        std::vector<int> members(dirs.size(), 0);
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
            for (size_t c = dirs[i].first; c < dirs[i].end; ++c) first[std::ptrdiff_t(c)]->normal = newindex[root];
        }
    }
}
