// Merging of duplicate mesh vertices: a sort, then a hash grid of kept vertices with cells of
// the merge distance, so each vertex meets only the kept ones in the 27 cells around it.
#include "graphics/gs_vertex_merge.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <unordered_map>

namespace {

constexpr float kMaxDx = 0.0001f;
constexpr double kMaxSquared = 1e-8;
constexpr double kCell = 1e-4;           // no larger than the merge distance sqrt(1e-8)
constexpr double kGridLimit = 1.0e12;    // beyond it neighbours can only be exact duplicates

// Total order on floats (non-numbers included), with -0 equal to +0.
uint32_t order_key(float f)
{
    const uint32_t bits = std::bit_cast<uint32_t>(f == 0.0f ? 0.0f : f);
    return bits & 0x80000000u ? ~bits : bits | 0x80000000u;
}

uint64_t cell_hash(int64_t cx, int64_t cy, int64_t cz)
{
    uint64_t h = static_cast<uint64_t>(cx) * 0x9E3779B97F4A7C15ull;
    h ^= static_cast<uint64_t>(cy) * 0xC2B2AE3D27D4EB4Full + (h << 6) + (h >> 2);
    h ^= static_cast<uint64_t>(cz) * 0x165667B19E3779F9ull + (h << 6) + (h >> 2);
    return h;
}

bool close_enough(const float *a, const float *b)
{
    if (a[0] == b[0] && a[1] == b[1] && a[2] == b[2]) return true;
    if (!(std::fabs(a[0] - b[0]) < kMaxDx)) return false;
    const double dx = double(a[0]) - b[0], dy = double(a[1]) - b[1], dz = double(a[2]) - b[2];
    return dx * dx + dy * dy + dz * dz < kMaxSquared;
}

}  // namespace

std::vector<int> gs_merge_vertices(std::vector<float> &xyz)
{
    const size_t n = xyz.size() / 3;
    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const float *p = &xyz[3 * size_t(a)], *q = &xyz[3 * size_t(b)];
        for (int i = 0; i < 3; ++i) {
            const uint32_t kp = order_key(p[i]), kq = order_key(q[i]);
            if (kp != kq) return kp < kq;
        }
        return a < b;
    });

    std::vector<int> remap(n);
    std::vector<float> kept;
    kept.reserve(xyz.size());
    // Kept vertices by grid cell: head of a chain through next.
    std::unordered_map<uint64_t, int> head;
    head.reserve(n);
    std::vector<int> next;
    next.reserve(n);

    for (size_t s = 0; s < n; ++s) {
        const int v = order[s];
        const float *p = &xyz[3 * size_t(v)];
        int target = -1;
        if (s > 0) {
            // Exact duplicates sit next to each other in sorted order.
            const float *prev = &xyz[3 * size_t(order[s - 1])];
            if (p[0] == prev[0] && p[1] == prev[1] && p[2] == prev[2]) target = remap[order[s - 1]];
        }
        const bool gridded = std::fabs(p[0]) < kGridLimit && std::fabs(p[1]) < kGridLimit && std::fabs(p[2]) < kGridLimit;
        int64_t c[3] = {0, 0, 0};
        if (gridded) for (int i = 0; i < 3; ++i) c[i] = static_cast<int64_t>(std::floor(p[i] / kCell));
        if (gridded && target < 0) {
            for (int dx = -1; dx <= 1; ++dx)
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dz = -1; dz <= 1; ++dz) {
                        const auto it = head.find(cell_hash(c[0] + dx, c[1] + dy, c[2] + dz));
                        if (it == head.end()) continue;
                        // The earliest kept vertex in reach wins.
                        for (int k = it->second; k >= 0; k = next[k])
                            if ((target < 0 || k < target) && close_enough(&kept[3 * size_t(k)], p)) target = k;
                    }
        }
        if (target >= 0) {
            remap[v] = target;
            continue;
        }
        const int k = static_cast<int>(kept.size() / 3);
        kept.insert(kept.end(), p, p + 3);
        next.push_back(-1);
        if (gridded) {
            auto [it, fresh] = head.try_emplace(cell_hash(c[0], c[1], c[2]), k);
            if (!fresh) {
                next[k] = it->second;
                it->second = k;
            }
        }
        remap[v] = k;
    }
    xyz.swap(kept);
    return remap;
}
