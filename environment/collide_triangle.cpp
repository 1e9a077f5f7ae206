// The exact triangle touch rule.
#include "environment/collide_triangle.h"

#include "environment/collide_orient.h"

#include <algorithm>

namespace kiv::env {
namespace {

struct Tri {
    double p[3][3];
};

Tri widen(const float *a, const float *b, const float *c)
{
    Tri t;
    for (int i = 0; i < 3; ++i) {
        t.p[0][i] = a[i];
        t.p[1][i] = b[i];
        t.p[2][i] = c[i];
    }
    return t;
}

// Edge p-q (with sides sp, sq of the plane of t) crosses t.
bool edge_crosses(const double *p, const double *q, int sp, int sq, const Tri &t)
{
    if (sp * sq > 0 || (sp == 0 && sq == 0)) return false;
    const int v[3] = {orient3d_sign(p, q, t.p[0], t.p[1]), orient3d_sign(p, q, t.p[1], t.p[2]),
                      orient3d_sign(p, q, t.p[2], t.p[0])};
    if (sp * sq < 0) {
        // Passing through the plane: the boundary of t counts too, or two boxes pushed into
        // each other with their side faces in common planes would cross only at boundaries.
        const bool pos = v[0] > 0 || v[1] > 0 || v[2] > 0, neg = v[0] < 0 || v[1] < 0 || v[2] < 0;
        return pos != neg;
    }
    // Ending on the plane: only strictly inside, so faces resting flat on faces do not touch.
    return v[0] != 0 && v[1] == v[0] && v[2] == v[0];
}

// Sides of u's corners against the plane of t; false when all are strictly on one side.
bool sides(const Tri &t, const Tri &u, int s[3])
{
    for (int i = 0; i < 3; ++i) s[i] = orient3d_sign(t.p[0], t.p[1], t.p[2], u.p[i]);
    return !((s[0] > 0 && s[1] > 0 && s[2] > 0) || (s[0] < 0 && s[1] < 0 && s[2] < 0));
}

bool any_edge_crosses(const Tri &from, const int s[3], const Tri &into)
{
    for (int i = 0; i < 3; ++i) {
        const int j = (i + 1) % 3;
        if (edge_crosses(from.p[i], from.p[j], s[i], s[j], into)) return true;
    }
    return false;
}

}  // namespace

bool triangles_touch(const float *a0, const float *a1, const float *a2, const float *b0,
                     const float *b1, const float *b2)
{
    // Box overlap (closed): a crossing point belongs to both triangles.
    for (int i = 0; i < 3; ++i) {
        if (std::max({a0[i], a1[i], a2[i]}) < std::min({b0[i], b1[i], b2[i]})) return false;
        if (std::max({b0[i], b1[i], b2[i]}) < std::min({a0[i], a1[i], a2[i]})) return false;
    }
    const Tri a = widen(a0, a1, a2), b = widen(b0, b1, b2);
    int sa[3], sb[3];
    if (!sides(b, a, sa) || !sides(a, b, sb)) return false;
    return any_edge_crosses(a, sa, b) || any_edge_crosses(b, sb, a);
}

}  // namespace kiv::env
