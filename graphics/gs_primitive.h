// How the corners of a polygon record of each kind form primitives.
#pragma once

// Number of primitives that n corners of a kind make (0 when too few).
int gs_primitive_count(int kind, int n);
// Corners per primitive (n for a polygon).
int gs_corners_per_primitive(int kind, int n);
// Index into the corner array of corner v of primitive a.
int gs_corner_index(int kind, int n, int a, int v);
// The keyword of a kind ("POINTS" ... "POLYGON"), null outside 0-9.
const char *gs_kind_keyword(int kind);
