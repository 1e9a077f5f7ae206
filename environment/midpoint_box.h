// The box spanned by the world midpoints of the visible parts of a tree: the root's midpoint
// and extents, and the centre a group counts from in its parent's group radius.
#pragma once

#include <kivctrl/qel_math.h>

class _object;

namespace kiv::env {

struct MidpointBox {
    QEL_VECT3 min{1.0f, 1.0f, 1.0f};
    QEL_VECT3 max{-1.0f, -1.0f, -1.0f};

    bool empty() const { return min.x > max.x; }
    void add(const QEL_VECT3 &p);
    QEL_VECT3 centre() const;
    QEL_VECT3 size() const;
};

// The box of every object below top (top excluded) that has active geometry, is shown (or
// invisibles are drawn as boxes), has a group radius > 0 and is a part, or with faces also a
// face.
MidpointBox tree_box(_object *top, bool parts_only);

}  // namespace kiv::env
