// The normal quantisation table and its encoder.
#include <kivctrl/gs_normal_code.h>

#include <array>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

const std::vector<float> &table()
{
    static const std::vector<float> t = [] {
        std::vector<float> v(3 * 65536, 0.0f);
        v[3 * 1 + 1] = 1.0f;
        for (int code = 2; code < 256; ++code) v[3 * code + 1] = -1.0f;
        for (int b = 1; b < 256; ++b)
            for (int d = 0; d < 256; ++d) {
                const double theta = b * std::numbers::pi / 256.0;
                const double phi = d * 2.0 * std::numbers::pi / 256.0;
                float *e = &v[3 * (256 * b + d)];
                e[0] = static_cast<float>(std::sin(theta) * std::cos(phi));
                e[1] = static_cast<float>(std::cos(theta));
                e[2] = static_cast<float>(std::sin(theta) * std::sin(phi));
            }
        return v;
    }();
    return t;
}

}  // namespace

const float *GSnormal_decode(uint16_t code)
{
    return &table()[3 * size_t(code)];
}

uint16_t GSnormal_encode(const float n[3])
{
    const double x = n[0], y = n[1], z = n[2];
    const double horizontal = std::sqrt(x * x + z * z);
    if (!std::isfinite(horizontal) || !std::isfinite(y) || (horizontal == 0.0 && y == 0.0)) return 0;
    // The polar angle from +Y; atan2 rather than acos(y) accepts any length.
    const long b = std::lround(std::atan2(horizontal, y) * 256.0 / std::numbers::pi);
    if (b <= 0) return 1;
    if (b >= 256) return 2;
    long d = std::lround(std::atan2(z, x) * 256.0 / (2.0 * std::numbers::pi)) % 256;
    if (d < 0) d += 256;
    return static_cast<uint16_t>(256 * b + d);
}
