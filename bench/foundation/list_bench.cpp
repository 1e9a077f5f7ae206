// Sequential positional access over ILIST: the remembered position makes a loop of
// get(1), get(2), ... one step per call, so the whole loop is linear in the list's length.
// std::list iteration is the peer for the per-element cost.
#include <kivctrl/qel_list.h>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <list>

namespace {

void fill(ILIST &l, int n)
{
    for (int i = 0; i < n; ++i)
        l.append(reinterpret_cast<void *>(static_cast<std::uintptr_t>(i + 1)));
}

void BM_IlistGetForward(benchmark::State &state)
{
    const int n = static_cast<int>(state.range(0));
    ILIST l;
    fill(l, n);
    for (auto _ : state) {
        for (int i = 1; i <= n; ++i)
            benchmark::DoNotOptimize(l.get(i));
    }
    state.SetComplexityN(n);
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_IlistGetForward)->RangeMultiplier(10)->Range(1000, 1000000)->Complexity(benchmark::oN);

void BM_IlistGetBackward(benchmark::State &state)
{
    const int n = static_cast<int>(state.range(0));
    ILIST l;
    fill(l, n);
    for (auto _ : state) {
        for (int i = n; i >= 1; --i)
            benchmark::DoNotOptimize(l.get(i));
    }
    state.SetComplexityN(n);
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_IlistGetBackward)->RangeMultiplier(10)->Range(1000, 1000000)->Complexity(benchmark::oN);

void BM_IlistIterate(benchmark::State &state)
{
    const int n = static_cast<int>(state.range(0));
    ILIST l;
    fill(l, n);
    for (auto _ : state) {
        ILIST_ITER it(l);
        while (it.next())
            benchmark::DoNotOptimize(it.getdata());
    }
    state.SetComplexityN(n);
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_IlistIterate)->RangeMultiplier(10)->Range(1000, 1000000)->Complexity(benchmark::oN);

void BM_StdListIterate(benchmark::State &state)
{
    const int n = static_cast<int>(state.range(0));
    std::list<void *> l;
    for (int i = 0; i < n; ++i)
        l.push_back(reinterpret_cast<void *>(static_cast<std::uintptr_t>(i + 1)));
    for (auto _ : state) {
        for (void *p : l)
            benchmark::DoNotOptimize(p);
    }
    state.SetComplexityN(n);
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_StdListIterate)->RangeMultiplier(10)->Range(1000, 1000000)->Complexity(benchmark::oN);

}  // namespace
