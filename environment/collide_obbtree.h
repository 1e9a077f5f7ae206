// A tree of oriented boxes over the triangles of one mesh, in the mesh's own frame.
//
// The tree depends only on the mesh, so moving an object never rebuilds it; two trees are
// compared through the transform between their frames. Each box is found from the principal
// axes of its triangles' corners; a node splits its triangles at the mean of their centroids
// along the longest axis.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace kiv::env {

struct ObbNode {
    float axis[3][3];  // rows: unit axes in the mesh frame
    float centre[3];
    float extent[3];   // half lengths along the axes
    int32_t child;     // first of two adjacent children, -1 for a leaf
    int32_t first;     // leaf: first entry in ObbTree::order
    int32_t count;     // leaf: number of triangles
};

struct ObbTree {
    std::vector<ObbNode> nodes;   // nodes[0] is the root
    std::vector<int32_t> order;   // triangle numbers, leaf by leaf

    // Builds over triangles given as three vertex indices each into xyz vertex positions.
    void build(const std::vector<float> &vertices, const std::vector<uint32_t> &triangles);
    bool empty() const { return nodes.empty(); }
};

// A rigid (or nearly rigid) map between frames: out = r·in + t.
struct Transform {
    double r[3][3];
    double t[3];
};

// Walks the node pairs of a and b whose boxes overlap (b's boxes mapped into a's frame by
// b_to_a, both grown by margin) and calls leaf(triangle of a, triangle of b) for each pair of
// triangles in two overlapping leaves until it returns true. Returns true when it did.
template <class Leaf>
bool obb_trees_meet(const ObbTree &a, const ObbTree &b, const Transform &b_to_a, double margin,
                    Leaf &&leaf);

// Whether box b (mapped into a's frame by m) and box a overlap, allowing margin.
bool obb_overlap(const ObbNode &a, const ObbNode &b, const Transform &m, double margin);

template <class Leaf>
bool obb_trees_meet(const ObbTree &a, const ObbTree &b, const Transform &b_to_a, double margin,
                    Leaf &&leaf)
{
    if (a.empty() || b.empty()) return false;
    std::vector<std::pair<int32_t, int32_t>> stack;
    stack.reserve(128);
    stack.emplace_back(0, 0);
    while (!stack.empty()) {
        const auto [ia, ib] = stack.back();
        stack.pop_back();
        const ObbNode &na = a.nodes[size_t(ia)];
        const ObbNode &nb = b.nodes[size_t(ib)];
        if (!obb_overlap(na, nb, b_to_a, margin)) continue;
        if (na.child < 0 && nb.child < 0) {
            for (int32_t i = 0; i < na.count; ++i)
                for (int32_t j = 0; j < nb.count; ++j)
                    if (leaf(a.order[size_t(na.first + i)], b.order[size_t(nb.first + j)])) return true;
            continue;
        }
        const float size_a = na.extent[0] + na.extent[1] + na.extent[2];
        const float size_b = nb.extent[0] + nb.extent[1] + nb.extent[2];
        if (nb.child < 0 || (na.child >= 0 && size_a >= size_b)) {
            stack.emplace_back(na.child + 1, ib);
            stack.emplace_back(na.child, ib);
        } else {
            stack.emplace_back(ia, nb.child + 1);
            stack.emplace_back(ia, nb.child);
        }
    }
    return false;
}

}  // namespace kiv::env
