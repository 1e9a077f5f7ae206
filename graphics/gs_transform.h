// The transform chain of graphics objects.
//
// An ADT_Object maps a local point p into its parent's frame as
// inverseorientation·(p - pivot) + pivot + offset; the world map chains these up to the root.
// The orientation matrix is the inverse of the rotation applied to points, so the world
// orientation W = orientation·W(parent) is the inverse of the world rotation.
#pragma once

#include <kivctrl/adt_matrix.h>

class ADT_Object;

// An affine map in double precision: out = r·in + t.
struct GSaffine {
    double r[3][3];
    double t[3];

    static GSaffine identity();
    void apply(const float in[3], float out[3]) const;
    void apply(const double in[3], double out[3]) const;
    GSaffine then(const GSaffine &outer) const;  // outer ∘ this
};

// Local to parent coordinates of one object.
GSaffine gs_local_to_parent(const ADT_Object *obj);
// Local to world coordinates (identity chain above a root).
GSaffine gs_local_to_world(const ADT_Object *obj);
// World to local coordinates.
void gs_world_to_local(const ADT_Object *obj, const double in[3], double out[3]);
// W(obj) = orientation·W(parent).
ADT_Matrix gs_world_orientation(const ADT_Object *obj);
