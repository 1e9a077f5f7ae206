// Normals from the winding of corners, for corners that have none of their own.
#pragma once

#include "graphics/gs_object.h"

#include <span>
#include <vector>

// The unit normal of the polygon the corners wind round (counter-clockwise seen from the
// side it points to), from their vertices' positions; false when they enclose no area.
bool gs_winding_normal(const float *vertices, std::span<const GScorner> corners, float out[3]);

// A lighting normal for every corner of a surface record (x, y, z each, into out): the
// winding normal of the first of its primitives that holds the corner and encloses an area,
// or OpenGL's initial normal (0, 0, 1) when none does. Corners must index vertices.
void gs_winding_normals(const GSpoly &poly, const float *vertices, std::vector<float> &out);
