// Texture coordinates computed per corner from the direction in a texture's grid frame.
#pragma once

struct GStexture;

// s and t for the three corners of one triangle (positions p), as sent with glTexCoord2f:
// s = 2u with u = atan2(x, z) / 2pi, t = acos(-y / length) / pi - 0.5, where (x, y, z) is the
// corner in the grid frame. A triangle does not wrap across the seam; a corner on the axis
// takes the mean u of the others and t = +-0.5 by the side of the axis it lies on.
void GStexture_trianglecoords(const GStexture &t, const float *const p[3], float st[3][2]);
