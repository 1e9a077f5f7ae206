// Welding the vertices of a facet soup: our tolerant merge against meshoptimizer's exact
// vertex remap, which finds bit-identical duplicates only.
#include "graphics/gs_vertex_merge.h"

#include <benchmark/benchmark.h>
#include <meshoptimizer.h>

#include <cmath>
#include <vector>

namespace {

// Three vertices per triangle of a height field, each shared corner repeated exactly.
std::vector<float> facet_soup(int64_t n)
{
    const int side = static_cast<int>(std::sqrt(double(n) / 2.0));
    std::vector<float> xyz;
    xyz.reserve(size_t(18) * side * side);
    auto push = [&](int i, int j) {
        xyz.insert(xyz.end(), {float(i), float(j), 0.3f * std::sin(0.05f * i) * std::cos(0.07f * j)});
    };
    for (int i = 0; i < side; ++i)
        for (int j = 0; j < side; ++j) {
            push(i, j), push(i + 1, j), push(i + 1, j + 1);
            push(i, j), push(i + 1, j + 1), push(i, j + 1);
        }
    return xyz;
}

void BM_MergeVertices(benchmark::State &state)
{
    const std::vector<float> soup = facet_soup(state.range(0));
    for (auto _ : state) {
        std::vector<float> xyz = soup;
        benchmark::DoNotOptimize(gs_merge_vertices(xyz));
    }
    state.SetComplexityN(state.range(0));
    state.SetItemsProcessed(state.iterations() * int64_t(soup.size() / 3));
}
BENCHMARK(BM_MergeVertices)->RangeMultiplier(4)->Range(1 << 14, 1 << 20)->Unit(benchmark::kMillisecond)->Complexity();

void BM_MeshoptVertexRemap(benchmark::State &state)
{
    const std::vector<float> soup = facet_soup(state.range(0));
    const size_t count = soup.size() / 3;
    for (auto _ : state) {
        std::vector<float> xyz = soup;  // the same copy as ours, for a fair comparison
        std::vector<unsigned int> remap(count);
        benchmark::DoNotOptimize(meshopt_generateVertexRemap(remap.data(), nullptr, count, xyz.data(), count, 3 * sizeof(float)));
    }
    state.SetComplexityN(state.range(0));
    state.SetItemsProcessed(state.iterations() * int64_t(count));
}
BENCHMARK(BM_MeshoptVertexRemap)->RangeMultiplier(4)->Range(1 << 14, 1 << 20)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace
