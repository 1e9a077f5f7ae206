// Building blocks of GSDB_Geometry records: boxes, list and group completion, finishing.
#pragma once

#include <kivctrl/gsdb_geometry.h>

// Resets a box to empty: min at the largest float, max at its negative.
void gsdb_clear_bounds(float bounds[6]);
// Grows a box over one point (an empty box becomes that point).
void gsdb_extend_bounds(float bounds[6], const float p[3]);
// Whether a box holds at least one point.
bool gsdb_bounds_set(const float bounds[6]);

// Appends a new group owned by g.
GSDB_Group *gsdb_add_group(GSDB_Geometry &g);
// Appends a vertex with its normal at one new index (the placeholder when n is null).
int gsdb_add_vertex(GSDB_Geometry &g, const float p[3], const float *n);

// Narrows a list's kind where its corner count allows and recounts its primitives.
void gsdb_complete_list(GSDB_PrimitiveList &list);
// Merges the lists of one kind (points, lines, triangles, quads) and colour into the first of
// them, then recounts the group and grows its bounds over its corners.
void gsdb_complete_group(GSDB_Group &group);
// Counts, sorts and welds the vertices (smoothing normals within creaseangle degrees first
// when it is positive), quantises and welds the normals and measures the bounds. Runs once;
// later calls do nothing.
void gsdb_finish(GSDB_Geometry &g, float creaseangle);
