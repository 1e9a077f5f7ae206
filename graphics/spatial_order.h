// An order of points along a Morton (Z-order) curve, so that points near each other in space
// mostly sit near each other in the order. Work that hops between neighbours in a mesh then
// finds them in the same or nearby cache lines.
#pragma once

#include <cstddef>
#include <cstdint>

// Writes to order[0..count) the indices of the points (x, y, z floats, three per point) in
// curve order: points fall into 1024 cells along each axis of their bounding box, cells are
// visited along the curve, and points of one cell keep their input order. A NaN coordinate
// counts as the box's lower side, an infinite one as the side it points to.
void gs_spatial_order(const float *xyz, size_t count, uint32_t *order);
