// Whether two triangles touch, by the collision rule of this engine.
//
// Two triangles touch when an edge of either crosses the other: the edge's end points are not
// strictly on one side of the other's plane, the edge does not lie in that plane, and the
// crossing point lies inside the other triangle: strictly inside when the edge ends on the
// plane, inside or on the boundary when it passes through. So triangles that merely share a
// plane, an edge or a corner do not touch. Every decision is an exact orientation sign.
#pragma once

namespace kiv::env {

// Corners are x, y, z triples.
bool triangles_touch(const float *a0, const float *a1, const float *a2, const float *b0,
                     const float *b1, const float *b2);

}  // namespace kiv::env
