// Points sorted by their 30-bit Morton code, a radix sort in three passes of 10 bits.
#include "graphics/spatial_order.h"

#include "platform/large_pages.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace {

constexpr int kBits = 10;
constexpr uint32_t kCells = 1u << kBits;

// The bits of v (below 1024) spread two apart: bit i moves to bit 3i.
uint32_t spread(uint32_t v)
{
    v = (v | v << 16) & 0x030000FF;
    v = (v | v << 8) & 0x0300F00F;
    v = (v | v << 4) & 0x030C30C3;
    v = (v | v << 2) & 0x09249249;
    return v;
}

struct Keyed {
    uint32_t code;
    uint32_t index;
};

}  // namespace

void gs_spatial_order(const float *xyz, size_t count, uint32_t *order)
{
    float lo[3] = {HUGE_VALF, HUGE_VALF, HUGE_VALF}, hi[3] = {-HUGE_VALF, -HUGE_VALF, -HUGE_VALF};
    for (size_t i = 0; i < count; ++i)
        for (int k = 0; k < 3; ++k) {
            const float v = xyz[3 * i + size_t(k)];
            if (!std::isfinite(v)) continue;
            lo[k] = std::min(lo[k], v);
            hi[k] = std::max(hi[k], v);
        }
    float scale[3];
    for (int k = 0; k < 3; ++k) scale[k] = hi[k] > lo[k] ? float(kCells) / (hi[k] - lo[k]) : 0.0f;

    kiv::platform::LargeVector<Keyed> a(count), b(count);
    for (size_t i = 0; i < count; ++i) {
        uint32_t code = 0;
        for (int k = 0; k < 3; ++k) {
            const float t = (xyz[3 * i + size_t(k)] - lo[k]) * scale[k];
            // NaN lands in cell 0; a box too thin for its scale can give infinity, which must
            // not reach the conversion.
            const uint32_t cell = t > 0.0f ? (t < float(kCells) ? uint32_t(t) : kCells - 1) : 0;
            code |= spread(cell) << k;
        }
        a[i] = {code, uint32_t(i)};
    }
    for (int pass = 0; pass < 3; ++pass) {
        const int shift = pass * kBits;
        std::array<size_t, kCells> start{};
        for (const Keyed &e : a) ++start[(e.code >> shift) & (kCells - 1)];
        size_t sum = 0;
        for (size_t &s : start) sum += std::exchange(s, sum);
        for (const Keyed &e : a) b[start[(e.code >> shift) & (kCells - 1)]++] = e;
        a.swap(b);
    }
    for (size_t i = 0; i < count; ++i) order[i] = a[i].index;
}
