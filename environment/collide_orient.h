// The sign of the 3D orientation determinant, exact for any finite double input.
//
// orient3d(a, b, c, d) is det[a - d; b - d; c - d]: positive when d lies below the plane of
// a, b, c seen with a, b, c counter-clockwise from above. A double-precision evaluation whose
// error bound proves the sign answers at once; otherwise the determinant is evaluated exactly
// with floating-point expansions.
#pragma once

namespace kiv::env {

int orient3d_sign(const double a[3], const double b[3], const double c[3], const double d[3]);

}  // namespace kiv::env
