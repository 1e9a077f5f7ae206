// The path wizard: a whole path from a displacement, a turn, colours and transparencies,
// recorded through the path editor in equal steps measured in the object's starting world
// axes.
#include <kivctrl/path.h>

#include <kivctrl/kiv_db.h>
#include <kivctrl/placement.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// More steps than this add nothing visible and would only grow the path without bound.
constexpr int kMaxSteps = 1000;

int step_count(const QEL_VECT3 &angles)
{
    const float a = std::max({std::fabs(angles.x), std::fabs(angles.y), std::fabs(angles.z)});
    if (a <= 90.0f)
        return 1;
    return static_cast<int>(std::min(a * 0.013888889, static_cast<double>(kMaxSteps)));
}

bool finite(const QEL_VECT3 &v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool has_color(const QEL_COLOR &c)
{
    return c.r >= 0.0f;
}

}  // namespace

_path *path_wizard(_object *obj, const char *name, QEL_VECT3 distance, QEL_VECT3 angles,
                   float fadefrom, float fadeto, QEL_COLOR icolor, QEL_COLOR fcolor, double, int,
                   int, int)
{
    if (!obj || !finite(angles) || !finite(distance))
        return nullptr;
    const int n = step_count(angles);

    if (_path *old = obj_get_pathptr(obj)) {
        obj_set_pathptr(obj, nullptr);
        old->display_path(PATH_HIDE);
    }
    // A colour is animated only when both ends have one: stepping from "no colour" would pass
    // through meaningless values.
    const bool colored = has_color(icolor) && has_color(fcolor);
    obj_set_transparency(obj, fadefrom, 100);
    if (colored)
        obj_set_color(obj, icolor, ATTR_DEFAULT_LEVEL);

    path_edit(nullptr, obj, PATH_APPEND_NODE);
    _path *p = obj_get_pathptr(obj);
    if (!p)
        return nullptr;

    QEL_FRAME axes;
    obj_get_pno(obj, axes, FRAME_WORLD);
    const float inv = 1.0f / static_cast<float>(n);
    const QEL_COLOR dc{(fcolor.r - icolor.r) * inv, (fcolor.g - icolor.g) * inv,
                       (fcolor.b - icolor.b) * inv};
    const QEL_VECT3 turn{angles.x * inv, angles.y * inv, angles.z * inv};
    const QEL_VECT3 move{distance.x * inv, distance.y * inv, distance.z * inv};
    const float dt = (fadeto - fadefrom) * inv;
    QEL_COLOR color = icolor;
    float transparency = fadefrom;
    for (int i = 0; i < n; ++i) {
        obj_set_relpos(obj, move, axes);
        transparency += dt;
        if (colored) {
            color.r += dc.r;
            color.g += dc.g;
            color.b += dc.b;
            obj_set_color(obj, color, ATTR_DEFAULT_LEVEL);
        }
        obj_set_transparency(obj, transparency, 100);
        obj_set_releangles(obj, turn, axes);
        path_edit(p, obj, PATH_APPEND_NODE);
    }
    path_edit(nullptr, obj, PATH_DONE);
    p->steps = n < 6 ? 10 / n : 1;
    path_associate(p, obj);
    if (name) {
        p->display_path(PATH_HIDE);
        std::snprintf(p->name, sizeof p->name, "%s", name);
        p->display_path(PATH_SHOW);
    }
    return p;
}
