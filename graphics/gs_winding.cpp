// Normals from the winding of corners.
#include "graphics/gs_winding.h"

#include "graphics/gs_primitive.h"

#include <algorithm>
#include <cmath>

bool gs_winding_normal(const float *vertices, std::span<const GScorner> corners, float out[3])
{
    if (corners.size() < 3) return false;
    // A fan of cross products round the first corner, in double: the differences of floats
    // are exact there, so far from the origin a thin facet keeps its direction.
    const float *o = vertices + 3 * size_t(corners[0].vertex);
    double n[3] = {0.0, 0.0, 0.0};
    const float *a = vertices + 3 * size_t(corners[1].vertex);
    for (size_t i = 2; i < corners.size(); ++i) {
        const float *b = vertices + 3 * size_t(corners[i].vertex);
        const double e1[3] = {double(a[0]) - o[0], double(a[1]) - o[1], double(a[2]) - o[2]};
        const double e2[3] = {double(b[0]) - o[0], double(b[1]) - o[1], double(b[2]) - o[2]};
        n[0] += e1[1] * e2[2] - e1[2] * e2[1];
        n[1] += e1[2] * e2[0] - e1[0] * e2[2];
        n[2] += e1[0] * e2[1] - e1[1] * e2[0];
        a = b;
    }
    const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (!(length > 0.0) || !std::isfinite(length)) return false;
    for (int i = 0; i < 3; ++i) out[i] = static_cast<float>(n[i] / length);
    return true;
}

void gs_winding_normals(const GSpoly &poly, const float *vertices, std::vector<float> &out)
{
    const int n = static_cast<int>(poly.corners.size());
    out.assign(3 * size_t(n), 0.0f);
    std::vector<bool> lit(size_t(n), false);
    const int per = gs_corners_per_primitive(poly.kind, n);
    const int count = gs_primitive_count(poly.kind, n);
    std::vector<GScorner> prim(size_t(per > 0 ? per : 0));
    for (int a = 0; a < count; ++a) {
        for (int v = 0; v < per; ++v) prim[size_t(v)] = poly.corners[size_t(gs_corner_index(poly.kind, n, a, v))];
        float normal[3];
        if (!gs_winding_normal(vertices, prim, normal)) continue;
        for (int v = 0; v < per; ++v) {
            const size_t k = size_t(gs_corner_index(poly.kind, n, a, v));
            if (lit[k]) continue;
            lit[k] = true;
            std::copy(normal, normal + 3, &out[3 * k]);
        }
    }
    for (size_t k = 0; k < size_t(n); ++k)
        if (!lit[k]) out[3 * k + 2] = 1.0f;
}
