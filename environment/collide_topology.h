// The triangles a graphics object collides with, their local bounds and their box tree.
//
// These depend on the mesh alone, so every instance of one mesh shares them: they are made
// once while any instance holds them, however many objects show that mesh.
#pragma once

#include "environment/collide_obbtree.h"

#include <cstdint>
#include <memory>
#include <vector>

class GSobject;

namespace kiv::env {

struct MeshTopology {
    std::vector<uint32_t> triangles;  // vertex indices, three per triangle
    ObbTree tree;
    double lo[3], hi[3];              // bounds of the vertices the triangles use
};

// Polygons are fanned (corner 0 with each pair of consecutive corners); an object's face
// groups count with its own polygons. Null when g has no triangles. signature identifies the
// mesh state the result was made for (see topology_signature).
std::shared_ptr<const MeshTopology> mesh_topology(GSobject *g, long signature);

// Changes whenever polygons are added to or dropped from g's mesh or its face groups.
long topology_signature(GSobject *g);

}  // namespace kiv::env
