// Attributes over large trees, and refreshing a component group against reading it fresh.
#include <kivctrl/kiv_db.h>
#include <kivctrl/loader.h>
#include <kivctrl/obj_attr.h>
#include <kivctrl/qel_pathname.h>
#include <kivctrl/ve_bind.h>

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

// n objects below one top group: groups of `fanout` children, two of them groups again (so the
// tree stays shallow: a single group child would make a chain n / fanout deep), the rest parts.
_object *fill(_object *top, int n, int fanout, bool components)
{
    std::vector<_object *> groups{top};
    std::size_t next = 0;
    for (int made = 0; made < n; ++next) {
        for (int k = 0; k < fanout && made < n; ++k, ++made) {
            const bool group = components || made % fanout < 2;
            _object *o = db_create_obj(groups[next], group ? OBJ_GROUP : OBJ_OBJECT);
            if (components) {
                _geometry *level = nullptr;
                obj_set_file(o, nullptr, level, 0.0f);
                level->part.set_params(("ComponentName=c" + std::to_string(made)).c_str());
            }
            if (group)
                groups.push_back(o);
        }
    }
    return top;
}

struct Tree {
    explicit Tree(int n) : a(db_new_assembly("bench"))
    {
        top = fill(db_create_obj(a->GetRoot(), OBJ_GROUP), n, 8, false);
    }
    ~Tree() { db_delete_assembly(a); }
    KivAssembly *a;
    _object *top;
};

void BM_GroupColour(benchmark::State &state)
{
    Tree t(static_cast<int>(state.range(0)));
    float c = 0.0f;
    for (auto _ : state) {
        c = c > 0.5f ? 0.0f : 1.0f;
        obj_set_color(t.top, c, 0.5f, 0.5f, ATTR_DEFAULT_LEVEL);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_GroupColour)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_RootVisibility(benchmark::State &state)
{
    Tree t(static_cast<int>(state.range(0)));
    int v = 0;
    for (auto _ : state) {
        obj_set_vis(t.a->GetRoot(), v);
        v = 1 - v;
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RootVisibility)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_RootHighlight(benchmark::State &state)
{
    Tree t(static_cast<int>(state.range(0)));
    int h = 4;
    for (auto _ : state) {
        obj_set_highlight(t.a->GetRoot(), h);
        h = h == 4 ? -4 : 4;
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RootHighlight)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Component files that exist only here: "<n>.benchcomp" holds n components.
struct BenchComponents : LoaderFactoryImp {
    BenchComponents() : LoaderFactoryImp("benchcomp") {}
    const char *name() override { return "Bench Components"; }
    int priority() override { return 9000; }
    Loader *create() override;
};

struct BenchComponentLoader : Loader {
    int legal(KivAssembly *, _object *, const char *file, const char *) override
    {
        return pathname_check_ext(file, "benchcomp") ? 1 : 0;
    }
    int load(KivAssembly *, _object *parent, const char *file, const char *,
             GSobject **) override
    {
        char base[QEL_PATH_MAX];
        pathname_get_simple(file, base);
        fill(parent, std::stoi(base), 8, true);
        return 1;
    }
};

Loader *BenchComponents::create()
{
    return new BenchComponentLoader;
}

BenchComponents bench_components;

_object *component_group(KivAssembly *a, int n)
{
    _object *g = db_create_obj(a->GetRoot(), OBJ_GROUP);
    _geometry *level = nullptr;
    obj_set_file(g, (std::to_string(n) + ".benchcomp").c_str(), level, 0.0f);
    level->part.set_params("ComponentName=/");
    return g;
}

void BM_ComponentReadFresh(benchmark::State &state)
{
    loader_register(&bench_components);
    const int n = static_cast<int>(state.range(0));
    KivAssembly *a = db_new_assembly("fresh");
    for (auto _ : state) {
        _object *g = component_group(a, n);
        VE_load_obj(g);
        state.PauseTiming();
        db_delete_obj(g);
        state.ResumeTiming();
    }
    db_delete_assembly(a);
    loader_unregister(&bench_components);
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_ComponentReadFresh)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_ComponentRefresh(benchmark::State &state)
{
    loader_register(&bench_components);
    const int n = static_cast<int>(state.range(0));
    KivAssembly *a = db_new_assembly("refresh");
    _object *g = component_group(a, n);
    VE_load_obj(g);
    for (auto _ : state) {
        state.PauseTiming();
        obj_set_geometryvalid(g, 0);
        state.ResumeTiming();
        obj_set_geometryvalid(g, 1);
    }
    db_delete_assembly(a);
    loader_unregister(&bench_components);
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_ComponentRefresh)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
