// The collision data of one graphics object: its triangles and their box tree (shared with
// the other instances of its mesh, looked for again only when the mesh changes), and its world
// placement, world box and eight cell boxes (refreshed when the placement stamp or the world
// transform changes). World corner positions go into the graphics object's cache of them,
// each computed when a test first needs it after a refresh, so a move costs nothing in
// proportion to the mesh.
#pragma once

#include "environment/collide_topology.h"
#include "graphics/gs_transform.h"

#include <cstdint>
#include <memory>
#include <vector>

class GSobject;
class ADT_Object;
struct GSpolylist;

namespace kiv::env {

struct Box {
    double lo[3], hi[3];
    bool overlaps(const Box &o) const;  // closed boxes: touching counts
};

class CollisionShape {
public:
    // Brings the data up to date for g placed under stamp. False when g has no triangles.
    bool refresh(GSobject *g, uint16_t stamp);
    // The world position of vertex v, cached until the next refresh.
    const float *world_corner(uint32_t v);

    const Box &world_box() const { return world_box_; }
    const Box &cell(int i) const { return cells_[i]; }
    uint16_t stamp() const { return stamp_; }
    // How often the world data were refreshed, and how often the triangles were looked for.
    unsigned placements() const { return placements_; }
    unsigned builds() const { return builds_; }
    size_t triangle_count() const { return topology_ ? topology_->triangles.size() / 3 : 0; }
    const MeshTopology *topology() const { return topology_.get(); }

    friend bool shapes_touch(CollisionShape &a, CollisionShape &b);

private:
    bool gather(GSobject *g);
    void place();

    // Mesh side.
    const GSpolylist *list_ = nullptr;
    size_t vertex_count_ = 0;
    long primitive_count_ = -1;
    std::shared_ptr<const MeshTopology> topology_;
    // Placement side.
    ADT_Object *placed_ = nullptr;
    bool placed_valid_ = false;
    uint16_t stamp_ = 0;
    Transform world_{};
    GSaffine affine_{};
    Box world_box_{};
    Box cells_[8]{};
    double magnitude_ = 0.0;  // largest coordinate in play, for rounding margins
    std::vector<uint32_t> corner_epoch_;  // epoch_ when the vertex's world corner was cached
    uint32_t epoch_ = 0;
    unsigned placements_ = 0;
    unsigned builds_ = 0;
};

// Whether a triangle of a touches a triangle of b (see triangles_touch). Both must have been
// refreshed.
bool shapes_touch(CollisionShape &a, CollisionShape &b);

}  // namespace kiv::env
