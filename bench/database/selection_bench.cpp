// Selecting and deselecting every part of a large group: both must stay linear in the number
// of parts (compare the 10k and 100k rows per item).
#include <kivctrl/kiv_db.h>
#include <kivctrl/selection.h>

#include <benchmark/benchmark.h>

namespace {

// One group of n parts under a fresh assembly.
KivAssembly *flat_group(int n, _object *&group)
{
    KivAssembly *a = db_new_assembly("bench");
    group = db_create_obj(a->GetRoot(), OBJ_GROUP);
    for (int i = 0; i < n; ++i)
        db_create_obj(group, OBJ_OBJECT);
    return a;
}

void BM_SelectAllChildren(benchmark::State &state)
{
    const int n = static_cast<int>(state.range(0));
    _object *group = nullptr;
    KivAssembly *a = flat_group(n, group);
    for (auto _ : state) {
        object_selectall_children(group);
        state.PauseTiming();
        object_deselectall();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * n);
    db_delete_assembly(a);
}
BENCHMARK(BM_SelectAllChildren)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_DeselectAll(benchmark::State &state)
{
    const int n = static_cast<int>(state.range(0));
    _object *group = nullptr;
    KivAssembly *a = flat_group(n, group);
    for (auto _ : state) {
        state.PauseTiming();
        object_selectall_children(group);
        state.ResumeTiming();
        object_deselectall();
    }
    state.SetItemsProcessed(state.iterations() * n);
    db_delete_assembly(a);
}
BENCHMARK(BM_DeselectAll)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
