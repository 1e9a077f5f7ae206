// Building, searching and deleting large object trees.
#include <kivctrl/kiv_db.h>

#include <benchmark/benchmark.h>

#include <string>

namespace {

// A tree of n objects under a fresh assembly: groups of `fanout` children, parts at the
// leaves, each named "o<index>" with id index + 1, in creation (pre-order) order.
KivAssembly *build_tree(int n, int fanout)
{
    KivAssembly *a = db_new_assembly("bench");
    std::vector<_object *> groups{a->GetRoot()};
    std::size_t next_group = 0;
    int made = 0;
    while (made < n) {
        _object *parent = groups[next_group];
        for (int k = 0; k < fanout && made < n; ++k, ++made) {
            const bool group = (made % fanout) == 0;
            _object *o = db_create_obj(parent, group ? OBJ_GROUP : OBJ_OBJECT);
            obj_set_name(o, ('o' + std::to_string(made)).c_str());
            obj_set_id(o, made + 1);
            if (group)
                groups.push_back(o);
        }
        ++next_group;
    }
    return a;
}

// A single chain: each object the only child of the previous one.
KivAssembly *build_chain(int n)
{
    KivAssembly *a = db_new_assembly("chain");
    _object *o = a->GetRoot();
    for (int i = 0; i < n; ++i)
        o = db_create_obj(o, i % 2 ? OBJ_GROUP : OBJ_LIGHT);
    return a;
}

void BM_BuildAndDeleteTree(benchmark::State &state)
{
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state)
        db_delete_assembly(build_tree(n, 8));
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_BuildAndDeleteTree)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_DeleteTree(benchmark::State &state)
{
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        KivAssembly *a = build_tree(n, 8);
        state.ResumeTiming();
        db_delete_assembly(a);
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_DeleteTree)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Deleting a deep chain through db_delete_obj: linear, not quadratic, in its depth.
void BM_DeleteChain(benchmark::State &state)
{
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        KivAssembly *a = build_chain(n);
        _object *top = a->GetRoot()->children.get(1);
        state.ResumeTiming();
        db_delete_obj(top);
        state.PauseTiming();
        db_delete_assembly(a);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_DeleteChain)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The last object in pre-order: every lookup walks the whole tree.
void BM_NameToObjLast(benchmark::State &state)
{
    const int n = static_cast<int>(state.range(0));
    KivAssembly *a = build_tree(n, 8);
    _object *last = a->GetRoot();
    while (!last->children.isempty())
        last = last->children.get(last->children.count());
    const std::string name = last->name;
    for (auto _ : state)
        benchmark::DoNotOptimize(name_to_obj(name.c_str()));
    state.SetItemsProcessed(state.iterations() * n);
    db_delete_assembly(a);
}
BENCHMARK(BM_NameToObjLast)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_IdToObjMissing(benchmark::State &state)
{
    const int n = static_cast<int>(state.range(0));
    KivAssembly *a = build_tree(n, 8);
    for (auto _ : state)
        benchmark::DoNotOptimize(id_to_obj(-1));
    state.SetItemsProcessed(state.iterations() * n);
    db_delete_assembly(a);
}
BENCHMARK(BM_IdToObjMissing)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
