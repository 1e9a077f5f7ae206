// Merging of duplicate mesh vertices.
#pragma once

#include <vector>

// Sorts the vertices (x, y, z triples) by x, then y, then z and merges each into an earlier
// one when their x differ by less than 0.0001 and they are equal or closer than 1e-8 in
// squared distance. Replaces xyz by the distinct vertices in sorted order and returns, for
// each old vertex, its new index. Runs in O(n log n).
std::vector<int> gs_merge_vertices(std::vector<float> &xyz);
