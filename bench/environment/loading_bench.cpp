// Opening a large assembly: 1 000 parts over 200 distinct part files (100 text parts, 100
// binary STL, 10 000 triangles each: 2 M triangles), every part shown first as a placeholder
// box and loaded by the background loader.
//
//   BM_ReadOneAfterAnother   the 200 files read with the part loaders alone, one by one: the
//                            reference time.
//   BM_OpenInBackground/N    the tree built, the first frame (boxes) drawn and all geometry
//                            in, with N read-ahead threads (0: the loader thread alone).
//                            Counters: first_frame (s from the open) and all_in (s).
// Targets: first frame within 0.3 s; all in within 1.2 x the reference with N = 0 and 0.7 x
// with one read-ahead thread per core.
#include "platform/gl_surface.h"

#include <kivctrl/gs_part_file.h>
#include <kivctrl/gs_universe.h>
#include <kivctrl/gsobject.h>
#include <kivctrl/kiv_db.h>
#include <kivctrl/loader.h>
#include <kivctrl/placement.h>
#include <kivctrl/ve_bind.h>

#include "assembly/instance_cache.h"
#include "environment/binding_internal.h"
#include "environment/geo_data.h"
#include "environment/load_worker.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kFiles = 200;
constexpr int kParts = 1000;
constexpr int kU = 50, kV = 100;  // quads of one patch: 2 x 50 x 100 = 10 000 triangles

// A point of a wavy patch of file f, so that the files differ.
void patch_point(int f, int i, int j, float p[3])
{
    const float u = float(i) / kU, v = float(j) / kV, k = 6.2831853f * (1 + f % 5);
    p[0] = u * 4, p[1] = v * 4, p[2] = 0.2f * std::sin(k * u) * std::cos(k * v);
}

GSobject *patch(int f)
{
    GSobject *g = GSobject_begin((kU + 1) * (kV + 1));
    for (int j = 0; j <= kV; ++j) {
        for (int i = 0; i <= kU; ++i) {
            float p[3];
            patch_point(f, i, j, p);
            GSvertex v = GSvertex_new(p);
            GSobject_addvertex(g, &v);
        }
    }
    GSpoly *t = GSpoly_begintriangles(g, 2 * kU * kV);
    for (int j = 0; j < kV; ++j) {
        for (int i = 0; i < kU; ++i) {
            const int a = j * (kU + 1) + i, b = a + kU + 1;
            for (int k : {a, a + 1, b, b, a + 1, b + 1})
                GSpoly_addvertex(t, k);
        }
    }
    GSpoly_close(t);
    GSobject_close(g, 30.0f);
    return g;
}

void write_stl(const fs::path &path, int f)
{
    std::string out(80, ' ');
    auto put = [&out](const void *p, std::size_t n) {
        out.append(static_cast<const char *>(p), n);
    };
    const std::uint32_t n = 2 * kU * kV;
    put(&n, 4);
    auto corner = [&](int i, int j) {
        float p[3];
        patch_point(f, i, j, p);
        put(p, 12);
    };
    const float normal[3] = {0, 0, 0};
    const std::uint16_t attribute = 0;
    for (int j = 0; j < kV; ++j) {
        for (int i = 0; i < kU; ++i) {
            put(normal, 12), corner(i, j), corner(i + 1, j), corner(i, j + 1), put(&attribute, 2);
            put(normal, 12), corner(i, j + 1), corner(i + 1, j), corner(i + 1, j + 1),
                put(&attribute, 2);
        }
    }
    std::ofstream(path, std::ios::binary) << out;
}

struct Files {
    fs::path dir = fs::temp_directory_path() / ("kiv_loading_bench_" + std::to_string(getpid()));
    std::vector<std::string> names;

    Files()
    {
        fs::create_directories(dir);
        for (int f = 0; f < kFiles; ++f) {
            const std::string name = "part" + std::to_string(f) + (f % 2 ? ".stl" : ".kvg");
            if (f % 2) {
                write_stl(dir / name, f);
            } else {
                GSobject *g = patch(f);
                GSobject_write(g, (dir / name).c_str(), GS_FILE_TEXT);
                GSobject_delete(g);
            }
            names.push_back(name);
        }
    }
    ~Files() { fs::remove_all(dir); }
};

const Files &files()
{
    static const Files f;
    return f;
}

GSobject *box(float s)
{
    GSobject *g = GSobject_begin(8);
    for (int c = 0; c < 8; ++c) {
        float p[3] = {c & 1 ? s : 0, c & 2 ? s : 0, c & 4 ? s : 0};
        GSvertex v = GSvertex_new(p);
        GSobject_addvertex(g, &v);
    }
    static const int faces[12][3] = {{0, 2, 1}, {1, 2, 3}, {4, 5, 6}, {5, 7, 6}, {0, 1, 4}, {1, 5, 4},
                                     {2, 6, 3}, {3, 6, 7}, {0, 4, 2}, {2, 4, 6}, {1, 3, 5}, {3, 7, 5}};
    GSpoly *t = GSpoly_begintriangles(g, 12);
    for (const auto &f : faces)
        for (int k : f)
            GSpoly_addvertex(t, k);
    GSpoly_close(t);
    GSobject_close(g, 0.0f);
    return g;
}

struct Surface {
    std::unique_ptr<kiv::platform::GlSurface> gl = kiv::platform::GlSurface::create(512, 512);
    Surface()
    {
        gl->make_current();
        GSuniverse_init(512, 512);
    }
};

void BM_ReadOneAfterAnother(benchmark::State &state)
{
    const Files &f = files();
    for (auto _ : state) {
        instance_cache().clear();
        for (const std::string &name : f.names) {
            void *g = nullptr;
            loader_invoke(nullptr, nullptr, (f.dir / name).c_str(), nullptr, &g, nullptr);
            if (!g)
                state.SkipWithError("not loaded");
            GSobject_delete(static_cast<GSobject *>(g));
        }
    }
    instance_cache().clear();
}
BENCHMARK(BM_ReadOneAfterAnother)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_OpenInBackground(benchmark::State &state)
{
    const Files &f = files();
    static Surface surface;
    kiv::env::set_read_ahead_threads(static_cast<unsigned>(state.range(0)));
    double first_frame = 0, all_in = 0;
    for (auto _ : state) {
        const auto open = Clock::now();
        KivAssembly *a = db_new_assembly("big");
        _object *root = a->GetRoot();
        set_assy_path(root, f.dir.c_str());
        _object *eye = db_create_obj(root, OBJ_VIEWPOINT);
        obj_set_active(eye, 1);
        obj_set_pos(eye, QEL_VECT3(0, 0, -200), FRAME_WORLD);
        for (int i = 0; i < kParts; ++i) {
            _object *p = db_create_obj(root, OBJ_OBJECT);
            obj_set_file(p, f.names[static_cast<std::size_t>(i % kFiles)].c_str(), 0.0f);
            GSobject *empty = p->gsobject;
            kiv::env::replace_node(p, box(4.0f), false);
            kiv::env::delete_node(empty);
            obj_set_pos(p, QEL_VECT3(6.0f * (i % 40) - 120, 6.0f * (i / 40) - 75, 0), FRAME_WORLD);
            // Shown as the box until the loader applies the deferred activation.
            GSobject_add(p->gsobject);
            GSobject_setvisibility(p->gsobject, true);
            p->vars.add("_ACTIVE", reinterpret_cast<void *>(std::intptr_t{1}));
        }
        env_set_threading(true);
        VE_build_tree(root);
        for (bool drawn = false; !drawn;) {
            if (a->AccessGeometry()) {
                dv_obj_sync();
                GSuniverse_changed(1);
                drawn = GSuniverse_redraw();
                a->ReleaseGeometry();
            }
        }
        glFinish();
        first_frame += std::chrono::duration<double>(Clock::now() - open).count();
        a->WaitForGeometryLoad();
        all_in += std::chrono::duration<double>(Clock::now() - open).count();
        state.PauseTiming();
        env_set_threading(false);
        db_delete_assembly(a);
        state.ResumeTiming();
    }
    state.counters["first_frame"] = first_frame / double(state.iterations());
    state.counters["all_in"] = all_in / double(state.iterations());
}
BENCHMARK(BM_OpenInBackground)->Arg(0)->Arg(std::thread::hardware_concurrency())
    ->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace
