// Collision queries and collision-data builds on pairs of ~100k-triangle meshes, beside FCL's
// OBBRSS trees with a first-contact collide.
#include "environment/collide_shape.h"
#include "graphics/gs_object.h"
#include "tests/environment/solids.h"

#include <benchmark/benchmark.h>

#include <fcl/geometry/bvh/BVH_model.h>
#include <fcl/math/bv/OBBRSS.h>
#include <fcl/narrowphase/collision.h>

#include <map>
#include <memory>
#include <string>

namespace {

using FclModel = fcl::BVHModel<fcl::OBBRSSd>;

// One generated solid as both a graphics object and FCL's input arrays.
struct Mesh {
    GSobject *g = nullptr;
    std::vector<fcl::Vector3d> points;
    std::vector<fcl::Triangle> triangles;
};

Mesh make_mesh(const Solid &s)
{
    Mesh m;
    m.g = make_gsobject(s);
    for (size_t i = 0; i < s.vertices.size(); i += 3) m.points.emplace_back(s.vertices[i], s.vertices[i + 1], s.vertices[i + 2]);
    for (const auto &p : s.polys)
        for (size_t i = 1; i + 1 < p.size(); ++i) m.triangles.emplace_back(size_t(p[0]), size_t(p[i]), size_t(p[i + 1]));
    return m;
}

// The solids, made once: spheres of radius 1, a shaft of radius 1 and a bore of 1.01.
Mesh &mesh(const std::string &name)
{
    static std::map<std::string, Mesh> meshes;
    auto it = meshes.find(name);
    if (it != meshes.end()) return it->second;
    Solid s;
    if (name == "sphere") s = sphere_solid(1, 224, 224);
    else if (name == "shaft") s = shaft_solid(1, -2, 2, 500, 100);
    else s = bore_solid(1.01, 1.5, -1, 1, 250, 100);
    return meshes.emplace(name, make_mesh(s)).first->second;
}

std::shared_ptr<FclModel> fcl_model(const Mesh &m)
{
    auto model = std::make_shared<FclModel>();
    model->beginModel();
    model->addSubModel(m.points, m.triangles);
    model->endModel();
    return model;
}

struct Scene {
    const char *a, *b;
    float offset[3];  // where b's origin goes
    bool touch;
};

const Scene kScenes[] = {
    {"sphere", "sphere", {1.5f, 0, 0}, true},  // overlapping spheres
    // 0.01 apart along the diagonal, so that no axis separates their boxes.
    {"sphere", "sphere", {1.16047f, 1.16047f, 1.16047f}, false},
    {"bore", "shaft", {0, 0, 0}, false},     // coaxial shaft in its bore
    {"bore", "shaft", {0.02f, 0, 0}, true},  // the shaft pushed into the wall
};

void BM_QueryOurs(benchmark::State &state)
{
    const Scene &s = kScenes[state.range(0)];
    Mesh &a = mesh(s.a);
    // Two instances of one solid need two graphics objects.
    GSobject *gb = std::string(s.a) == s.b ? GSobject_newinstance(mesh(s.b).g) : mesh(s.b).g;
    GSobject_setorgposition(gb, s.offset);
    kiv::env::CollisionShape sa, sb;
    sa.refresh(a.g, 0);
    sb.refresh(gb, 0);
    bool hit = false;
    for (auto _ : state) benchmark::DoNotOptimize(hit = shapes_touch(sa, sb));
    if (hit != s.touch) state.SkipWithError("wrong answer");
    if (gb != mesh(s.b).g) GSobject_delete(gb);
}

void BM_QueryFcl(benchmark::State &state)
{
    const Scene &s = kScenes[state.range(0)];
    fcl::CollisionObjectd oa(fcl_model(mesh(s.a)));
    fcl::Transform3d tb = fcl::Transform3d::Identity();
    tb.translation() = fcl::Vector3d(s.offset[0], s.offset[1], s.offset[2]);
    fcl::CollisionObjectd ob(fcl_model(mesh(s.b)), tb);
    fcl::CollisionRequestd request;  // first contact, no contact points
    bool hit = false;
    for (auto _ : state) {
        fcl::CollisionResultd result;
        fcl::collide(&oa, &ob, request, result);
        benchmark::DoNotOptimize(hit = result.isCollision());
    }
    if (hit != s.touch) state.SkipWithError("wrong answer");
}

// After every move the world data are refreshed once, then queried.
void BM_MoveAndQueryOurs(benchmark::State &state)
{
    const Scene &s = kScenes[state.range(0)];
    Mesh &a = mesh(s.a);
    GSobject *gb = std::string(s.a) == s.b ? GSobject_newinstance(mesh(s.b).g) : mesh(s.b).g;
    kiv::env::CollisionShape sa, sb;
    sa.refresh(a.g, 0);
    uint16_t stamp = 0;
    float at[3] = {s.offset[0], s.offset[1], s.offset[2]};
    bool hit = false;
    for (auto _ : state) {
        at[2] = s.offset[2] + ((stamp & 1) ? 1e-4f : 0.0f);
        GSobject_setorgposition(gb, at);
        sb.refresh(gb, ++stamp);
        benchmark::DoNotOptimize(hit = shapes_touch(sa, sb));
    }
    if (hit != s.touch) state.SkipWithError("wrong answer");
    if (gb != mesh(s.b).g) GSobject_delete(gb);
}

const char *const kSolids[] = {"sphere", "shaft", "bore"};

void BM_BuildOurs(benchmark::State &state)
{
    Mesh &m = mesh(kSolids[state.range(0)]);
    for (auto _ : state) {
        kiv::env::CollisionShape s;
        s.refresh(m.g, 0);
        benchmark::DoNotOptimize(s.triangle_count());
    }
    state.counters["triangles"] = double(m.triangles.size());
}

void BM_BuildFcl(benchmark::State &state)
{
    Mesh &m = mesh(kSolids[state.range(0)]);
    for (auto _ : state) benchmark::DoNotOptimize(fcl_model(m));
    state.counters["triangles"] = double(m.triangles.size());
}

}  // namespace

// Scenes: 0 overlapping spheres, 1 spheres 0.01 apart, 2 coaxial shaft, 3 shaft in contact.
BENCHMARK(BM_QueryOurs)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_QueryFcl)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MoveAndQueryOurs)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);
// Solids: 0 sphere, 1 shaft, 2 bore.
BENCHMARK(BM_BuildOurs)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildFcl)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
