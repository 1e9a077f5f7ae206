// Smoothing of corner normals within a crease angle.
#pragma once

#include "graphics/gs_object.h"

#include <span>
#include <vector>

// Among the corners that share one vertex, joins (transitively) those whose normal
// directions are less than crease degrees apart; every group holding more than one distinct
// given normal gets the normalised sum of its corners' normals, appended to normals.
// Corners without a normal (index out of range or placeholder) take no part.
void gs_smooth_normals(std::span<GScorner *const> corners, size_t nvertices, std::vector<float> &normals, float crease);
