// Curved paths: a uniform cubic B-spline through the path's distinct node positions, with
// zero slope at both ends, and the points on it.
//
// The control points solve an (m + 2) x (m + 2) system. Each data row touches four
// consecutive control points, the two end rows two points each; with the start row moved to
// the top, every row lies within two columns of the diagonal, so the system is solved as a
// banded one in linear time.
#include <kivctrl/path.h>

#include "animation/banded_solve.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

void basis(double t, double b[4])
{
    const double t2 = t * t;
    const double t3 = t2 * t;
    b[0] = (1.0 - t) * (1.0 - t) * (1.0 - t) / 6.0;
    b[1] = t3 / 2.0 - t2 + 2.0 / 3.0;
    b[2] = -t3 / 2.0 + t2 / 2.0 + t / 2.0 + 1.0 / 6.0;
    b[3] = t3 / 6.0;
}

bool same_position(const QEL_VECT3 &a, const QEL_VECT3 &b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

// Control points C0 .. C(m+1) through the m >= 2 distinct points.
std::vector<QEL_VECT3> solve_control_points(const std::vector<QEL_VECT3> &d)
{
    const int m = static_cast<int>(d.size());
    const int n = m + 2;
    kiv::anim::BandedSystem sys(n, 2, 2);
    // Row 0: -C0 / 2 + C2 / 2 = 0 (zero slope at the start).
    sys.set(0, 0, -0.5);
    sys.set(0, 2, 0.5);
    const double scale = (m - 1) / ((m - 1) + 0.001);
    for (int i = 0; i < m; ++i) {
        const double u = i * scale;
        const int k = static_cast<int>(std::floor(u));
        double b[4];
        basis(u - k, b);
        for (int c = 0; c < 4; ++c)
            sys.set(i + 1, k + c, b[c]);
        sys.set_rhs(i + 1, {d[static_cast<size_t>(i)].x, d[static_cast<size_t>(i)].y,
                            d[static_cast<size_t>(i)].z});
    }
    // Last row: -C(m-1) / 2 + C(m+1) / 2 = 0 (zero slope at the end).
    sys.set(m + 1, m - 1, -0.5);
    sys.set(m + 1, m + 1, 0.5);
    std::vector<QEL_VECT3> c(static_cast<size_t>(n), d.front());
    if (!sys.solve())
        return c;
    for (int r = 0; r < n; ++r) {
        const auto &x = sys.solution(r);
        c[static_cast<size_t>(r)] = {static_cast<float>(x[0]), static_cast<float>(x[1]),
                                     static_cast<float>(x[2])};
    }
    return c;
}

}  // namespace

void path_update_spline(_path *p)
{
    if (!p || p->valid)
        return;
    std::vector<QEL_VECT3> distinct;
    std::vector<PathNode *> nodes;
    ILIST_ITER it(p->nodes);
    while (it.next()) {
        auto *n = static_cast<PathNode *>(it.getdata());
        if (distinct.empty() || !same_position(distinct.back(), n->position))
            distinct.push_back(n->position);
        n->distinct = static_cast<int>(distinct.size()) - 1;
        nodes.push_back(n);
    }
    it.detach();
    if (!distinct.empty()) {
        // One distinct point gives a curve that stays on it.
        const std::vector<QEL_VECT3> c = distinct.size() < 2
                                             ? std::vector<QEL_VECT3>(3, distinct.front())
                                             : solve_control_points(distinct);
        const int top = static_cast<int>(c.size()) - 1;
        for (PathNode *n : nodes) {
            for (int k = 0; k < 4; ++k)
                n->spline[k] = c[static_cast<size_t>(std::min(n->distinct + k, top))];
        }
    }
    p->valid = 1;
}

bool path_curve_point(_path *p, int segment, float t, QEL_VECT3 &out)
{
    if (!p)
        return false;
    const PathNode *a = p->get_node(segment);
    const PathNode *b = p->get_node(segment + 1);
    if (!a || !b)
        return false;
    if (p->path_type == 0) {
        out = {a->position.x + t * (b->position.x - a->position.x),
               a->position.y + t * (b->position.y - a->position.y),
               a->position.z + t * (b->position.z - a->position.z)};
        return true;
    }
    if (same_position(a->position, b->position)) {
        out = a->position;
        return true;
    }
    path_update_spline(p);
    const float t2 = t * t;
    const float t3 = t2 * t;
    const float w[4] = {(1.0f - t) * (1.0f - t) * (1.0f - t) / 6.0f,
                        t3 / 2.0f - t2 + 2.0f / 3.0f,
                        -t3 / 2.0f + t2 / 2.0f + t / 2.0f + 1.0f / 6.0f, t3 / 6.0f};
    out = {0.0f, 0.0f, 0.0f};
    for (int k = 0; k < 4; ++k) {
        out.x += w[k] * a->spline[k].x;
        out.y += w[k] * a->spline[k].y;
        out.z += w[k] * a->spline[k].z;
    }
    return true;
}
