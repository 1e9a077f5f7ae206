// Drawing a path as red lines while something is selected.
#include <kivctrl/path.h>

#include <kivctrl/gsobject.h>
#include <kivctrl/kiv_db.h>
#include <kivctrl/placement.h>
#include <kivctrl/selection.h>

#include "animation/path_internal.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

bool same_position(const QEL_VECT3 &a, const QEL_VECT3 &b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

// The points of every drawn piece, one polyline per pair of consecutive nodes.
std::vector<std::vector<QEL_VECT3>> path_polylines(_path *p)
{
    std::vector<std::vector<QEL_VECT3>> lines;
    const int n = p->get_nodecount();
    const int pieces = p->path_type == 0 ? 1 : std::max(1, static_cast<int>(p->steps));
    for (int s = 0; s + 1 < n; ++s) {
        const PathNode *a = p->get_node(s);
        const PathNode *b = p->get_node(s + 1);
        if (same_position(a->position, b->position))
            continue;
        std::vector<QEL_VECT3> pts;
        for (int k = 0; k <= pieces; ++k) {
            QEL_VECT3 q;
            path_curve_point(p, s, static_cast<float>(k) / static_cast<float>(pieces), q);
            pts.push_back(q);
        }
        lines.push_back(std::move(pts));
    }
    return lines;
}

}  // namespace

namespace kiv::anim {

_object *last_selected_object()
{
    const int n = sel_countobj();
    return n > 0 ? sel_getobj(n) : nullptr;
}

GSobject *build_path_drawing(_path *p, _object *o)
{
    const std::vector<std::vector<QEL_VECT3>> lines = path_polylines(p);
    if (lines.empty())
        return nullptr;
    size_t count = 0;
    for (const auto &l : lines)
        count += l.size();
    GSobject *g = GSobject_begin(static_cast<unsigned>(count));
    int index = 0;
    for (const auto &l : lines) {
        for (const QEL_VECT3 &q : l) {
            float xyz[3] = {q.x, q.y, q.z};
            GSvertex v = GSvertex_new(xyz);
            GSobject_addvertex(g, &v);
        }
        GSpoly *poly = GSpoly_beginlinestrip(g, static_cast<int>(l.size()));
        for (size_t k = 0; k < l.size(); ++k)
            GSpoly_addvertex(poly, index++);
        GSpoly_close(poly);
    }
    GSobject_close(g, 0.0f);
    GSobject_setcolor(g, 1.0f, 0.0f, 0.0f, o && o->type == OBJ_FACE ? 200 : 100);
    _object *parent = o ? o->parent : nullptr;
    if (parent && parent->type != OBJ_ROOT) {
        QEL_FRAME f;
        obj_get_pno(parent, f, FRAME_WORLD);
        const float pos[3] = {f.p.x, f.p.y, f.p.z};
        const float q[4] = {f.q.x, f.q.y, f.q.z, f.q.w};
        GSobject_setposition(g, pos);
        GSobject_setorientation(g, q);
    }
    return g;
}

}  // namespace kiv::anim

void _path::display_path(PATH_COMMAND c)
{
    if (c == PATH_HIDE) {
        if (display) {
            GSobject_delete(display);
            display = nullptr;
        }
        return;
    }
    if (c != PATH_SHOW)
        return;
    _object *selected = kiv::anim::last_selected_object();
    if (!selected)
        return;
    _object *o = associated_object ? associated_object : selected;
    if (o->type == OBJ_ROOT || !visibility)
        return;
    display_path(PATH_HIDE);
    display = kiv::anim::build_path_drawing(this, o);
    if (display)
        GSobject_add(display);
}
