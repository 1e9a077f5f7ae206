// Collision triangles of a mesh, shared between the instances of the mesh.
#include "environment/collide_topology.h"

#include "graphics/gs_object.h"
#include "graphics/gs_primitive.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>

namespace kiv::env {
namespace {

std::shared_ptr<MeshTopology> build(GSobject *g)
{
    auto t = std::make_shared<MeshTopology>();
    GSmesh *mesh = g->polylist()->vertexmesh();
    std::vector<GSpolylist *> lists{g->polylist()};
    if (g->kind() == GS_KIND_OBJECT)
        for (GSsubmesh *f : static_cast<ADT_Object *>(g)->mesh->facegroups) lists.push_back(f);
    const auto nv = uint32_t(mesh->vertexcount());
    for (GSpolylist *l : lists)
        for (GSpoly &p : l->polys) {
            const int n = int(p.corners.size());
            const int per = gs_corners_per_primitive(p.kind, n);
            if (per < 3) continue;
            const int prims = p.primitives();
            for (int a = 0; a < prims; ++a) {
                auto vertex = [&](int v) { return uint32_t(p.corners[size_t(gs_corner_index(p.kind, n, a, v))].vertex); };
                const uint32_t v0 = vertex(0);
                for (int v = 1; v + 1 < per; ++v) {
                    const uint32_t v1 = vertex(v), v2 = vertex(v + 1);
                    if (v0 >= nv || v1 >= nv || v2 >= nv) continue;
                    t->triangles.insert(t->triangles.end(), {v0, v1, v2});
                }
            }
        }
    if (t->triangles.empty()) return nullptr;
    std::fill(t->lo, t->lo + 3, INFINITY);
    std::fill(t->hi, t->hi + 3, -INFINITY);
    for (uint32_t v : t->triangles)
        for (int i = 0; i < 3; ++i) {
            const double x = mesh->vertices[3 * size_t(v) + i];
            t->lo[i] = std::min(t->lo[i], x);
            t->hi[i] = std::max(t->hi[i], x);
        }
    t->tree.build(mesh->vertices, t->triangles);
    return t;
}

// What was made for a mesh. The weak reference to the mesh tells a live mesh from a new one
// that happens to reuse a dead one's address.
struct Shared {
    std::weak_ptr<GSmesh> mesh;
    long signature;
    size_t vertices;
    std::weak_ptr<const MeshTopology> topology;
};

std::mutex g_lock;
std::map<const GSmesh *, Shared> g_shared;

}  // namespace

long topology_signature(GSobject *g)
{
    long n = g->polylist()->primitivecount;
    if (g->kind() == GS_KIND_OBJECT)
        for (const GSsubmesh *f : static_cast<ADT_Object *>(g)->mesh->facegroups) n += f->primitivecount;
    return n;
}

std::shared_ptr<const MeshTopology> mesh_topology(GSobject *g, long signature)
{
    // A face group's triangles are its own; only whole meshes are shared.
    if (g->kind() != GS_KIND_OBJECT) return build(g);
    const std::shared_ptr<GSmesh> &mesh = static_cast<ADT_Object *>(g)->mesh;
    std::lock_guard<std::mutex> hold(g_lock);
    auto it = g_shared.find(mesh.get());
    if (it != g_shared.end()) {
        const Shared &s = it->second;
        if (s.mesh.lock() == mesh && s.signature == signature && s.vertices == mesh->vertexcount())
            if (auto t = s.topology.lock()) return t;
        g_shared.erase(it);
    }
    // Forget what dead meshes left behind before adding.
    std::erase_if(g_shared, [](const auto &e) { return e.second.mesh.expired() || e.second.topology.expired(); });
    std::shared_ptr<const MeshTopology> t = build(g);
    if (t) g_shared.emplace(mesh.get(), Shared{mesh, signature, mesh->vertexcount(), t});
    return t;
}

}  // namespace kiv::env
