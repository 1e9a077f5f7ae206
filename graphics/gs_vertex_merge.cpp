// Merging of duplicate mesh vertices: a sort on precomputed keys, then a hash grid of kept
// vertices in one flat table. Cells are a few merge distances wide, so a vertex needs the
// cells next to its own only in the dimensions where it lies within the merge distance of a
// cell border: most vertices look into one to four cells rather than 27. The grid is filled
// and asked only where a vertex has many kept vertices within the merge distance in x.
#include "graphics/gs_vertex_merge.h"

#include "platform/large_pages.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <optional>

namespace {

constexpr float kMaxDx = 0.0001f;
constexpr double kMaxSquared = 1e-8;
constexpr double kReach = 1.0001e-4;     // the merge distance sqrt(1e-8), with room for rounding
constexpr double kCell = 4e-4;
constexpr double kGridLimit = 1.0e12;    // beyond it neighbours can only be exact duplicates
constexpr size_t kWindow = 64;           // the longest run of kept vertices searched directly

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

struct SortItem {
    uint32_t key[3];
    int index;
    bool operator<(const SortItem &o) const
    {
        if (key[0] != o.key[0]) return key[0] < o.key[0];
        if (key[1] != o.key[1]) return key[1] < o.key[1];
        if (key[2] != o.key[2]) return key[2] < o.key[2];
        return index < o.index;
    }
};

// Kept vertices by cell, open addressing: each slot holds the upper half of a cell hash and
// the newest kept vertex of that hash, which chains to older ones through next. Cells whose
// hashes collide share a chain, which only adds candidates to test.
class CellTable {
public:
    explicit CellTable(size_t n) : slots_(std::bit_ceil(2 * n + 2)), mask_(slots_.size() - 1) {}

    const int *find(uint64_t hash) const
    {
        const uint32_t tag = static_cast<uint32_t>(hash >> 32);
        for (size_t i = hash & mask_;; i = (i + 1) & mask_) {
            if (slots_[i].head < 0) return nullptr;
            if (slots_[i].tag == tag) return &slots_[i].head;
        }
    }
    // The head of hash's chain, -1 when new.
    int &at(uint64_t hash)
    {
        const uint32_t tag = static_cast<uint32_t>(hash >> 32);
        size_t i = hash & mask_;
        while (slots_[i].head >= 0 && slots_[i].tag != tag) i = (i + 1) & mask_;
        slots_[i].tag = tag;
        return slots_[i].head;
    }

private:
    struct Slot {
        uint32_t tag = 0;
        int head = -1;
    };
    std::vector<Slot> slots_;
    size_t mask_;
};

}  // namespace

std::vector<int> gs_merge_vertices(std::vector<float> &xyz)
{
    const size_t n = xyz.size() / 3;
    kiv::platform::LargeVector<SortItem> order(n);  // sorted in place
    for (size_t v = 0; v < n; ++v) {
        const float *p = &xyz[3 * v];
        order[v] = {{order_key(p[0]), order_key(p[1]), order_key(p[2])}, static_cast<int>(v)};
    }
    std::sort(order.begin(), order.end());

    std::vector<int> remap(n);
    std::vector<float> kept;
    kept.reserve(xyz.size());
    // Made at the first long run: many meshes never need it.
    std::optional<CellTable> cells;
    std::vector<int> next;
    size_t filed = 0;  // the kept vertices [0, filed) are in cells

    auto in_grid = [](const float *p) {
        return std::fabs(p[0]) < kGridLimit && std::fabs(p[1]) < kGridLimit && std::fabs(p[2]) < kGridLimit;
    };
    // Files the kept vertices not yet in cells.
    auto file_kept = [&] {
        if (!cells) {
            cells.emplace(n);
            next.assign(n, -1);
        }
        for (const size_t end = kept.size() / 3; filed < end; ++filed) {
            const float *q = &kept[3 * filed];
            if (!in_grid(q)) continue;
            int64_t c[3];
            for (int i = 0; i < 3; ++i) c[i] = static_cast<int64_t>(std::floor(q[i] / kCell));
            int &head = cells->at(cell_hash(c[0], c[1], c[2]));
            next[filed] = head;
            head = static_cast<int>(filed);
        }
    };
    // The earliest kept vertex in reach of p through the grid, -1 when none.
    auto grid_search = [&](const float *p) {
        file_kept();
        int target = -1;
        int64_t lo[3], hi[3];
        for (int i = 0; i < 3; ++i) {
            lo[i] = static_cast<int64_t>(std::floor((p[i] - kReach) / kCell));
            hi[i] = static_cast<int64_t>(std::floor((p[i] + kReach) / kCell));
        }
        for (int64_t x = lo[0]; x <= hi[0]; ++x)
            for (int64_t y = lo[1]; y <= hi[1]; ++y)
                for (int64_t z = lo[2]; z <= hi[2]; ++z) {
                    const int *head = cells->find(cell_hash(x, y, z));
                    if (!head) continue;
                    for (int k = *head; k >= 0; k = next[size_t(k)])
                        if ((target < 0 || k < target) && close_enough(&kept[3 * size_t(k)], p)) target = k;
                }
        return target;
    };
    // Kept vertices come in x order, so those whose x is within the merge distance of p's
    // are the newest ones: a short run of them is searched directly, which spares the grid's
    // scattered reads. Vertices beyond the grid can never be in reach of one inside it.
    // Nullopt when the run is too long: the grid decides.
    auto window_search = [&](const float *p) -> std::optional<int> {
        int target = -1;
        for (size_t k = kept.size() / 3, tried = 0; k > 0; --k, ++tried) {
            const float *q = &kept[3 * (k - 1)];
            if (!(std::fabs(q[0] - p[0]) < kMaxDx)) return target;
            if (tried == kWindow) return std::nullopt;
            if (close_enough(q, p)) target = static_cast<int>(k - 1);
        }
        return target;
    };

    for (size_t s = 0; s < n; ++s) {
        const int v = order[s].index;
        const float *p = &xyz[3 * size_t(v)];
        int target = -1;
        if (s > 0) {
            // Exact duplicates sit next to each other in sorted order.
            const float *prev = &xyz[3 * size_t(order[s - 1].index)];
            if (p[0] == prev[0] && p[1] == prev[1] && p[2] == prev[2]) target = remap[order[s - 1].index];
        }
        if (target < 0 && in_grid(p)) {
            const std::optional<int> near = window_search(p);
            target = near ? *near : grid_search(p);
        }
        if (target >= 0) {
            remap[size_t(v)] = target;
            continue;
        }
        remap[size_t(v)] = static_cast<int>(kept.size() / 3);
        kept.insert(kept.end(), p, p + 3);
    }
    xyz.swap(kept);
    return remap;
}
