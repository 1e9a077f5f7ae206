// The part the drawing benchmarks draw many of: a wavy patch of 1 x 1 units, so that every
// vertex has its own normal, with 25 x 50 x 2 = 2 500 triangles.
#pragma once

#include <kivctrl/gsobject.h>

#include <cmath>

namespace kivbench {

constexpr int kCells = 25; // quads per patch side along x
constexpr int kRows = 50;  // ... and along y

inline void patch_point(float u, float v, float p[3], float n[3])
{
    const float k = 6.2831853f;
    p[0] = u, p[1] = v, p[2] = 0.05f * std::sin(k * u) * std::cos(k * v);
    float dx = -0.05f * k * std::cos(k * u) * std::cos(k * v);
    float dy = 0.05f * k * std::sin(k * u) * std::sin(k * v);
    float len = std::sqrt(dx * dx + dy * dy + 1);
    n[0] = dx / len, n[1] = dy / len, n[2] = 1 / len;
}

// A closed graphics object of the patch, not yet coloured, placed or added.
inline GSobject *wavy_patch()
{
    GSobject *obj = GSobject_begin((kCells + 1) * (kRows + 1));
    for (int j = 0; j <= kRows; ++j) {
        for (int i = 0; i <= kCells; ++i) {
            float p[3], n[3];
            patch_point(float(i) / kCells, float(j) / kRows, p, n);
            GSvertex v = GSvertex_new(p);
            GSvertex_setnormal(&v, n);
            GSobject_addvertex(obj, &v);
        }
    }
    GSpoly *poly = GSpoly_begintriangles(obj, kCells * kRows * 2);
    for (int j = 0; j < kRows; ++j) {
        for (int i = 0; i < kCells; ++i) {
            const int a = j * (kCells + 1) + i, b = a + kCells + 1;
            for (int k : {a, a + 1, b, b, a + 1, b + 1})
                GSpoly_addvertex(poly, k);
        }
    }
    GSpoly_close(poly);
    GSobject_close(obj, 0.0f);
    return obj;
}

} // namespace kivbench
