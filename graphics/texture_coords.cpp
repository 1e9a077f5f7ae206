#include "graphics/texture_coords.h"

#include "graphics/texture_record.h"

#include <algorithm>
#include <cmath>
#include <numbers>

void GStexture_trianglecoords(const GStexture &t, const float *const p[3], float st[3][2])
{
    constexpr float kTwoPi = 2.0f * std::numbers::pi_v<float>;
    float u[3], v[3];
    bool axis[3];
    for (int i = 0; i < 3; ++i) {
        const ADT_PointD3 d = t.gridmatrix * ADT_PointD3{p[i][0], p[i][1], p[i][2]};
        const float len = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
        axis[i] = d.x == 0.0f && d.z == 0.0f;
        if (axis[i]) {
            // The limit of the formula at either pole; the origin counts as the lower one.
            u[i] = 0.0f;
            v[i] = d.y > 0.0f ? 0.5f : -0.5f;
        } else {
            u[i] = std::atan2(d.x, d.z) / kTwoPi;
            v[i] = std::acos(std::clamp(-d.y / len, -1.0f, 1.0f)) / std::numbers::pi_v<float> - 0.5f;
        }
    }
    float umin = 1.0f, sum = 0.0f;
    int off = 0;
    for (int i = 0; i < 3; ++i) {
        if (!axis[i])
            umin = std::min(umin, u[i]);
    }
    for (int i = 0; i < 3; ++i) {
        if (axis[i])
            continue;
        if (u[i] - umin > 0.5f)
            u[i] -= 1.0f;
        sum += u[i];
        ++off;
    }
    for (int i = 0; i < 3; ++i) {
        if (axis[i])
            u[i] = off ? sum / off : 0.0f;
        st[i][0] = 2.0f * u[i];
        st[i][1] = v[i];
    }
}
