// Picking notes: which object's note lies under a window position.
#include "graphics/gs_object.h"
#include "graphics/note_frame.h"
#include "graphics/note_record.h"
#include "graphics/universe.h"

#include <kivctrl/gs_note.h>

#include <cmath>

namespace {

constexpr double kTolerance = 2.0;

struct Hit {
    GSobject *object = nullptr;
    double depth = 0.0;
};

// The depth of obj's first visible note whose rectangle overlaps the pick square.
bool own_hit(GSobject *obj, const GSaffine &world, const double at[2], double &depth)
{
    if (obj->notes.empty())
        return false;
    const GSnoteframe f = GSnoteframe::of(obj, world);
    for (const GSnote *n : obj->notes) {
        if (!n->visible || !n->bitmap)
            continue;
        double a[3];
        // Only what can be drawn can be picked: nothing on or behind the eye, nothing beyond
        // the far plane.
        if (!f.window(n->offset[0] * f.r, -n->offset[1] * f.r, a) || a[2] < 0.0 || a[2] > 1.0)
            continue;
        const double hw = n->bitmap->width() / 2.0, hh = n->bitmap->height() / 2.0;
        if (std::abs(a[0] - at[0]) < hw + kTolerance && std::abs(a[1] - at[1]) < hh + kTolerance) {
            depth = a[2];
            return true;
        }
    }
    return false;
}

Hit pick(GSobject *obj, const GSaffine &parentworld, const double at[2])
{
    GSaffine world = parentworld;
    if (obj->kind() == GS_KIND_OBJECT)
        world = gs_local_to_parent(static_cast<ADT_Object *>(obj)).then(parentworld);
    double depth = 0.0;
    const bool hit = own_hit(obj, world, at, depth);
    Hit child;
    for (GSobject *c : obj->children) {
        const Hit h = pick(c, world, at);
        if (h.object && (!child.object || h.depth < child.depth))
            child = h;
    }
    if (hit && (!child.object || depth < child.depth))
        return {obj, depth};
    return child;
}

} // namespace

GSobject *GSuniverse_picknote(float xy[2])
{
    const GSuniverserecord &u = GSuniverse_record();
    const double at[2] = {xy[0], u.height - xy[1]};
    Hit best;
    for (GSobject *root : u.roots) {
        const Hit h = pick(root, GSaffine::identity(), at);
        if (h.object && (!best.object || h.depth < best.depth))
            best = h;
    }
    return best.object;
}
