// Building a large time line, and solving the control points of long curved paths (with a
// general sparse solver on the same system as the peer).
#include <kivctrl/anim.h>
#include <kivctrl/kiv_db.h>
#include <kivctrl/path.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#ifdef KIV_HAVE_EIGEN
#include <Eigen/Sparse>
#endif

namespace {

std::vector<QEL_VECT3> wavy_points(int n)
{
    std::vector<QEL_VECT3> pts;
    for (int i = 0; i < n; ++i)
        pts.push_back({static_cast<float>(i), std::sin(0.1f * i) * 5.0f, std::cos(0.07f * i)});
    return pts;
}

// objects x frames: one path of frames / 10 + 1 nodes (steps 10) per object.
void BM_TimeLineBuild(benchmark::State &state)
{
    const int objects = static_cast<int>(state.range(0));
    const int frames = static_cast<int>(state.range(1));
    const std::vector<QEL_VECT3> pts = wavy_points(frames / 10 + 1);
    double bytes = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        KivAssembly *a = db_new_assembly("bench");
        std::vector<std::pair<_object *, _path *>> work;
        for (int i = 0; i < objects; ++i) {
            _object *o = db_create_obj(a->GetRoot(), OBJ_OBJECT);
            _path *p = path_create(nullptr, pts.data(), nullptr, static_cast<int>(pts.size()));
            work.emplace_back(o, p);
        }
        state.ResumeTiming();
        for (auto [o, p] : work)
            anim_add_path(o, p, 0.0, 1);
        state.PauseTiming();
        bytes = static_cast<double>(a->GetAnim()->frame_bytes()) /
                (static_cast<double>(objects) * a->GetAnim()->frame_count());
        db_delete_assembly(a);
        state.ResumeTiming();
    }
    state.counters["bytes_per_object_frame"] = bytes;
}
BENCHMARK(BM_TimeLineBuild)->Args({100, 10000})->Unit(benchmark::kMillisecond);

void BM_CurvedPathSolve(benchmark::State &state)
{
    const int n = static_cast<int>(state.range(0));
    KivAssembly *a = db_new_assembly("bench");
    const std::vector<QEL_VECT3> pts = wavy_points(n);
    _path *p = path_create(nullptr, pts.data(), nullptr, n);
    p->path_type = 1;
    for (auto _ : state) {
        p->valid = 0;
        path_update_spline(p);
        benchmark::DoNotOptimize(p->get_node(n / 2)->spline[0]);
    }
    db_delete_assembly(a);
}
BENCHMARK(BM_CurvedPathSolve)->Arg(200)->Arg(10000)->Unit(benchmark::kMillisecond);

#ifdef KIV_HAVE_EIGEN
// The same system handed to a general sparse LU, which must discover the band itself.
void BM_CurvedPathSolveSparseLU(benchmark::State &state)
{
    const int m = static_cast<int>(state.range(0));
    const std::vector<QEL_VECT3> d = wavy_points(m);
    for (auto _ : state) {
        std::vector<Eigen::Triplet<double>> t;
        Eigen::MatrixXd b = Eigen::MatrixXd::Zero(m + 2, 3);
        for (int i = 0; i < m; ++i) {
            const double u = i * (m - 1) / ((m - 1) + 0.001);
            const int k = static_cast<int>(std::floor(u));
            const double s = u - k;
            t.emplace_back(i, k, (1 - s) * (1 - s) * (1 - s) / 6);
            t.emplace_back(i, k + 1, s * s * s / 2 - s * s + 2.0 / 3);
            t.emplace_back(i, k + 2, -s * s * s / 2 + s * s / 2 + s / 2 + 1.0 / 6);
            t.emplace_back(i, k + 3, s * s * s / 6);
            b.row(i) << d[i].x, d[i].y, d[i].z;
        }
        t.emplace_back(m, 0, -0.5);
        t.emplace_back(m, 2, 0.5);
        t.emplace_back(m + 1, m - 1, -0.5);
        t.emplace_back(m + 1, m + 1, 0.5);
        Eigen::SparseMatrix<double> a(m + 2, m + 2);
        a.setFromTriplets(t.begin(), t.end());
        Eigen::SparseLU<Eigen::SparseMatrix<double>> lu(a);
        Eigen::MatrixXd c = lu.solve(b);
        benchmark::DoNotOptimize(c.data());
    }
}
BENCHMARK(BM_CurvedPathSolveSparseLU)->Arg(200)->Arg(10000)->Unit(benchmark::kMillisecond);
#endif

}  // namespace
