// Building and closing large meshes through the graphics-object API.
#include <kivctrl/gsobject.h>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

// A wavy height field of about n triangles, loaded the way a facet file arrives: every
// triangle brings three vertices of its own with the facet normal, and is one polygon.
GSobject *build_surface(int64_t n)
{
    const int side = static_cast<int>(std::sqrt(double(n) / 2.0));
    GSobject *obj = GSobject_begin(static_cast<unsigned>(6 * side * side));
    auto height = [](int i, int j) { return 0.3f * std::sin(0.05f * i) * std::cos(0.07f * j); };
    int next = 0;
    for (int i = 0; i < side; ++i)
        for (int j = 0; j < side; ++j) {
            float p[4][3] = {{float(i), float(j), height(i, j)},
                             {float(i + 1), float(j), height(i + 1, j)},
                             {float(i + 1), float(j + 1), height(i + 1, j + 1)},
                             {float(i), float(j + 1), height(i, j + 1)}};
            const int tris[2][3] = {{0, 1, 2}, {0, 2, 3}};
            for (const auto &t : tris) {
                const float *a = p[t[0]], *b = p[t[1]], *c = p[t[2]];
                float u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]}, w[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
                float nrm[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]};
                const float len = std::sqrt(nrm[0] * nrm[0] + nrm[1] * nrm[1] + nrm[2] * nrm[2]);
                for (float &k : nrm) k /= len;
                GSpoly *poly = GSpoly_begin(obj);
                for (int k : t) {
                    float q[3] = {p[k][0], p[k][1], p[k][2]};
                    GSvertex v = GSvertex_new(q);
                    GSvertex_setnormal(&v, nrm);
                    GSobject_addvertex(obj, &v);
                    GSpoly_addvertex(poly, next++);
                }
                GSpoly_close(poly);
            }
        }
    return obj;
}

// A cone: every triangle meets the apex, whose corners all carry different normals. This is
// the worst case of crease smoothing: one vertex with as many distinct normals as triangles.
GSobject *build_fan(int64_t n)
{
    GSobject *obj = GSobject_begin();
    int next = 0;
    for (int64_t k = 0; k < n; ++k) {
        const double a0 = 2 * M_PI * double(k) / double(n), a1 = 2 * M_PI * double(k + 1) / double(n);
        float pts[3][3] = {{0, 1, 0},
                           {float(std::cos(a0)), 0, float(std::sin(a0))},
                           {float(std::cos(a1)), 0, float(std::sin(a1))}};
        const double am = 0.5 * (a0 + a1);
        float nrm[3] = {float(std::cos(am) / std::sqrt(2.0)), float(1 / std::sqrt(2.0)), float(std::sin(am) / std::sqrt(2.0))};
        GSpoly *poly = GSpoly_begintriangles(obj, 1);
        for (auto &p : pts) {
            GSvertex v = GSvertex_new(p);
            GSvertex_setnormal(&v, nrm);
            GSobject_addvertex(obj, &v);
            GSpoly_addvertex(poly, next++);
        }
        GSpoly_close(poly);
    }
    return obj;
}

void BM_BuildTriangles(benchmark::State &state)
{
    for (auto _ : state) {
        GSobject *obj = build_surface(state.range(0));
        state.PauseTiming();
        GSobject_delete(obj);
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BuildTriangles)->RangeMultiplier(4)->Range(1 << 12, 1 << 20)->Unit(benchmark::kMillisecond)->Complexity();

void BM_CloseWithCrease(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        GSobject *obj = build_surface(state.range(0));
        state.ResumeTiming();
        GSobject_close(obj, 30.0f);
        state.PauseTiming();
        GSobject_delete(obj);
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CloseWithCrease)->RangeMultiplier(4)->Range(1 << 12, 1 << 20)->Unit(benchmark::kMillisecond)->Complexity();

void BM_CloseFanWithCrease(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        GSobject *obj = build_fan(state.range(0));
        state.ResumeTiming();
        GSobject_close(obj, 30.0f);
        state.PauseTiming();
        GSobject_delete(obj);
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_CloseFanWithCrease)->RangeMultiplier(4)->Range(1 << 12, 1 << 18)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace
