// Shortest-edge collapse over an indexed triangle soup.
#pragma once

#include <span>

struct GSDB_Triangle {
    int corner[3];  // vertex indices
    int list;       // the primitive list it came from
};

// Repeatedly takes the triangle whose shortest edge is shortest (squared lengths compared
// as floats; equal ones in a fixed order; within a triangle edge 0 before 1 before 2) and
// removes that edge's first corner into its second (edge k runs from corner k to corner
// k + 1), vertices keeping their positions. Stops after budget collapses, when no triangle is
// left, or when every remaining shortest squared edge exceeds costlimit (only when
// costlimit > 0).
//
// A collapse is refused when it would fold or twist a triangle (turn it by more than 45
// degrees from its facing before the collapse or in the input, or leave it without area),
// join two sheets of surface (the edge's ends share neighbours other than its triangles'
// third corners, or both lie on a border the edge is not part of), pull a border vertex off
// the border, or cut a border corner (a turn of more than 40 degrees). It is then tried the
// other way round; when both fail, the triangle waits until a collapse changes its
// surroundings.
//
// Triangles that lose a corner or have a zero-length edge are dropped: their corners become -1.
void gsdb_collapse_edges(std::span<const float> positions, std::span<GSDB_Triangle> tris, double costlimit,
                         long long budget);
