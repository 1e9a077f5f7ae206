// Collision data of a graphics object and the exact test between two of them.
#include "environment/collide_shape.h"

#include "environment/collide_triangle.h"
#include "graphics/gs_object.h"
#include "graphics/gs_transform.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace kiv::env {
namespace {

// Rounding of world corners to float and of the box tree: a few units in the last place of
// the largest coordinate in play.
constexpr double kRelativeMargin = 2e-6;

Transform to_transform(const GSaffine &a)
{
    static_assert(sizeof a.r == sizeof(Transform::r) && sizeof a.t == sizeof(Transform::t));
    Transform t;
    std::memcpy(t.r, a.r, sizeof t.r);
    std::memcpy(t.t, a.t, sizeof t.t);
    return t;
}

bool same(const Transform &a, const Transform &b)
{
    return std::memcmp(a.r, b.r, sizeof a.r) == 0 && std::memcmp(a.t, b.t, sizeof a.t) == 0;
}

// inverse(a) ∘ b.
Transform relative(const Transform &a, const Transform &b)
{
    const double(*m)[3] = a.r;
    double inv[3][3];
    inv[0][0] = m[1][1] * m[2][2] - m[1][2] * m[2][1];
    inv[0][1] = m[0][2] * m[2][1] - m[0][1] * m[2][2];
    inv[0][2] = m[0][1] * m[1][2] - m[0][2] * m[1][1];
    inv[1][0] = m[1][2] * m[2][0] - m[1][0] * m[2][2];
    inv[1][1] = m[0][0] * m[2][2] - m[0][2] * m[2][0];
    inv[1][2] = m[0][2] * m[1][0] - m[0][0] * m[1][2];
    inv[2][0] = m[1][0] * m[2][1] - m[1][1] * m[2][0];
    inv[2][1] = m[0][1] * m[2][0] - m[0][0] * m[2][1];
    inv[2][2] = m[0][0] * m[1][1] - m[0][1] * m[1][0];
    const double det = m[0][0] * inv[0][0] + m[0][1] * inv[1][0] + m[0][2] * inv[2][0];
    for (auto &row : inv)
        for (double &x : row) x /= det;
    Transform c;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) c.r[i][j] = inv[i][0] * b.r[0][j] + inv[i][1] * b.r[1][j] + inv[i][2] * b.r[2][j];
        double d[3];
        for (int k = 0; k < 3; ++k) d[k] = b.t[k] - a.t[k];
        c.t[i] = inv[i][0] * d[0] + inv[i][1] * d[1] + inv[i][2] * d[2];
    }
    return c;
}

// The axis-aligned world box of a local box.
Box world_of(const Transform &w, const double lo[3], const double hi[3], double grow)
{
    Box b;
    for (int i = 0; i < 3; ++i) {
        double c = w.t[i], r = 0.0;
        for (int k = 0; k < 3; ++k) {
            c += w.r[i][k] * 0.5 * (lo[k] + hi[k]);
            r += std::fabs(w.r[i][k]) * 0.5 * (hi[k] - lo[k]);
        }
        b.lo[i] = c - r - grow;
        b.hi[i] = c + r + grow;
    }
    return b;
}

}  // namespace

bool Box::overlaps(const Box &o) const
{
    for (int i = 0; i < 3; ++i)
        if (hi[i] < o.lo[i] || o.hi[i] < lo[i]) return false;
    return true;
}

bool CollisionShape::gather(GSobject *g)
{
    ++builds_;
    placed_valid_ = false;
    list_ = g->polylist();
    primitive_count_ = topology_signature(g);
    vertex_count_ = g->polylist()->vertexmesh()->vertexcount();
    topology_ = mesh_topology(g, primitive_count_);
    return topology_ != nullptr;
}

void CollisionShape::place()
{
    ++placements_;
    ++epoch_;
    const double *from = topology_->lo, *to = topology_->hi;
    double mag = 0.0;
    for (int i = 0; i < 3; ++i) mag = std::max({mag, std::fabs(from[i]), std::fabs(to[i])});
    const Box raw = world_of(world_, from, to, 0.0);
    for (int i = 0; i < 3; ++i) mag = std::max({mag, std::fabs(raw.lo[i]), std::fabs(raw.hi[i])});
    magnitude_ = mag;
    const double grow = kRelativeMargin * mag;
    world_box_ = world_of(world_, from, to, grow);
    // The eight octants of the local box, split at its middle.
    for (int c = 0; c < 8; ++c) {
        double lo[3], hi[3];
        for (int i = 0; i < 3; ++i) {
            const double mid = 0.5 * (from[i] + to[i]);
            const bool upper = (c >> i) & 1;
            lo[i] = upper ? mid : from[i];
            hi[i] = upper ? to[i] : mid;
        }
        cells_[c] = world_of(world_, lo, hi, grow);
    }
}

bool CollisionShape::refresh(GSobject *g, uint16_t stamp)
{
    ADT_Object *o = g ? g->placed() : nullptr;
    if (!o) return false;
    const GSmesh *mesh = g->polylist()->vertexmesh();
    if (mesh != o->mesh.get()) return false;  // a face group outside its object's mesh
    if (g->polylist() != list_ || mesh->vertexcount() != vertex_count_ ||
        topology_signature(g) != primitive_count_)
        gather(g);
    if (!topology_) return false;
    const GSaffine a = gs_local_to_world(o);
    const Transform w = to_transform(a);
    if (!placed_valid_ || o != placed_ || stamp != stamp_ || !same(w, world_)) {
        placed_ = o;
        stamp_ = stamp;
        world_ = w;
        affine_ = a;
        placed_valid_ = true;
        if (o->cachedworld.size() != 3 * vertex_count_) o->cachedworld.assign(3 * vertex_count_, 0.0f);
        corner_epoch_.resize(vertex_count_, 0);
        place();
    }
    return true;
}

const float *CollisionShape::world_corner(uint32_t v)
{
    // The same arithmetic as GSobject_cachevertexworldpositions, one vertex at a time.
    float *out = &placed_->cachedworld[3 * size_t(v)];
    if (corner_epoch_[v] != epoch_) {
        affine_.apply(&placed_->mesh->vertices[3 * size_t(v)], out);
        corner_epoch_[v] = epoch_;
    }
    return out;
}

bool shapes_touch(CollisionShape &a, CollisionShape &b)
{
    if (!a.world_box_.overlaps(b.world_box_)) return false;
    // Some cell of each must reach into the other's box.
    auto reaches = [](const CollisionShape &s, const Box &other) {
        for (const Box &c : s.cells_)
            if (c.overlaps(other)) return true;
        return false;
    };
    if (!reaches(a, b.world_box_) || !reaches(b, a.world_box_)) return false;
    const uint32_t *ta = a.topology_->triangles.data(), *tb = b.topology_->triangles.data();
    const double margin = kRelativeMargin * std::max(a.magnitude_, b.magnitude_);
    return obb_trees_meet(a.topology_->tree, b.topology_->tree, relative(a.world_, b.world_), margin, [&](int32_t i, int32_t j) {
        const uint32_t *u = ta + 3 * size_t(i), *v = tb + 3 * size_t(j);
        return triangles_touch(a.world_corner(u[0]), a.world_corner(u[1]), a.world_corner(u[2]),
                               b.world_corner(v[0]), b.world_corner(v[1]), b.world_corner(v[2]));
    });
}

}  // namespace kiv::env
