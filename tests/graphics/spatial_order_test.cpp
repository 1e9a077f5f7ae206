// Ordering points along a Morton curve.
#include "graphics/spatial_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <random>
#include <vector>

namespace {

std::vector<uint32_t> gs_spatial_order(const float *xyz, size_t count)
{
    std::vector<uint32_t> order(count);
    ::gs_spatial_order(xyz, count, order.data());
    return order;
}

TEST(SpatialOrder, CubeCornersFollowTheCurveXFirst)
{
    // Listed in reverse curve order: x is the lowest bit of the code, then y, then z.
    std::vector<float> xyz;
    for (int i = 7; i >= 0; --i) xyz.insert(xyz.end(), {float(i & 1), float(i >> 1 & 1), float(i >> 2 & 1)});
    EXPECT_EQ(gs_spatial_order(xyz.data(), 8), (std::vector<uint32_t>{7, 6, 5, 4, 3, 2, 1, 0}));
}

TEST(SpatialOrder, PointsOfOneCellKeepTheirOrderAndNonFiniteCoordinatesCountAsASide)
{
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    const std::vector<float> xyz = {
        1, 1, 1,        // the far corner
        0, 0, 0,        // the near corner
        nan, 0, 0,      // NaN: with the near corner, after it
        0, -inf, 0,     // likewise
        0, 0, 1e-9f,    // in the near corner's cell
        0.5f, 0, 0,     // further along x
        0, inf, 0,      // on the far side in y: after all but the far corner
    };
    EXPECT_EQ(gs_spatial_order(xyz.data(), 7), (std::vector<uint32_t>{1, 2, 3, 4, 5, 6, 0}));
    EXPECT_TRUE(gs_spatial_order(xyz.data(), 0).empty());
    // One point, or all at one place: nothing to sort.
    EXPECT_EQ(gs_spatial_order(xyz.data(), 1), (std::vector<uint32_t>{0}));
    const std::vector<float> same(12, 3.0f);
    EXPECT_EQ(gs_spatial_order(same.data(), 4), (std::vector<uint32_t>{0, 1, 2, 3}));
    // A box one denormal step thick: its scale is infinite.
    const float step = std::numeric_limits<float>::denorm_min();
    const std::vector<float> thin = {step, 0, 0, 0, 0, 0};
    EXPECT_EQ(gs_spatial_order(thin.data(), 2), (std::vector<uint32_t>{1, 0}));
}

TEST(SpatialOrder, ScatteredPointsComeOutAsAPermutationWithNeighboursNearby)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<float> coordinate(-50.0f, 50.0f);
    std::vector<float> xyz(3 * 20000);
    for (float &c : xyz) c = coordinate(random);
    const std::vector<uint32_t> order = gs_spatial_order(xyz.data(), xyz.size() / 3);
    std::vector<uint32_t> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    std::vector<uint32_t> all(order.size());
    std::iota(all.begin(), all.end(), 0u);
    ASSERT_EQ(sorted, all);
    // Along the curve, consecutive points are much closer than random pairs (about 58 apart).
    double sum = 0.0;
    for (size_t i = 1; i < order.size(); ++i) {
        const float *a = &xyz[3 * order[i - 1]], *b = &xyz[3 * order[i]];
        sum += std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]);
    }
    EXPECT_LT(sum / double(order.size() - 1), 10.0);
}

}  // namespace
