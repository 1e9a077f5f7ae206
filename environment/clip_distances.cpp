// The viewpoint's near and far clipping distances, and the redraw that refreshes them.
#include <kivctrl/ve_env.h>

#include <kivctrl/gs_universe.h>
#include <kivctrl/kiv_db.h>
#include <kivctrl/placement.h>

#include "environment/framing_fit.h"

#include <algorithm>

namespace {

constexpr float kFarWithoutScene = 10000.0f;
// The nearest the near plane may come, as a fraction of far: keeps depth precision usable.
constexpr float kMinNearFraction = 1e-4f;

_object *current_viewpoint()
{
    _object *root = db_get_root();
    return root ? root->viewpoint : nullptr;
}

// Gives the viewpoint fresh clipping distances when the scene changed; false without a
// current root or viewpoint.
bool refresh_clipping()
{
    _object *v = current_viewpoint();
    if (!v)
        return false;
    if (GSuniverse_waschanged()) {
        if (auto *g = static_cast<GSviewpoint *>(v->gslight)) {
            float near_dist = 0.0f, far_dist = 0.0f;
            env_clip_distances(near_dist, far_dist);
            GSviewpoint_sethithervalue(g, near_dist);
            GSviewpoint_setyonvalue(g, far_dist);
        }
    }
    return true;
}

}  // namespace

void env_clip_distances(float &near_dist, float &far_dist)
{
    const float ratio = env_get_clip_ratio();
    _object *v = current_viewpoint();
    if (!v) {
        far_dist = kFarWithoutScene;
        near_dist = far_dist * ratio * 0.99f + 1.0f;
        return;
    }
    _object *root = db_get_root();
    QEL_VECT3 eye, mid;
    obj_get_pos(v, eye, FRAME_WORLD);
    VE_get_midpoint(root, mid);
    const float dist = kiv::env::distance(eye, mid);
    const float radius = obj_get_grpradius(root);
    far_dist = dist + 4.0f * radius + 1.0f;
    near_dist = far_dist * ratio * 0.99f + 1.0f;
    // The fixed unit would clip a model smaller than a unit seen from close by, and a ratio
    // near 1 would put near beyond far: then near scales with far alone.
    const bool outside = dist > radius;
    if (near_dist >= far_dist || (outside && near_dist > dist - radius))
        near_dist = std::max(far_dist * ratio * 0.99f, far_dist * kMinNearFraction);
}

void env_redraw()
{
    if (refresh_clipping())
        GSuniverse_redraw();
}

void env_refresh()
{
    if (refresh_clipping())
        GSuniverse_refresh();
}
