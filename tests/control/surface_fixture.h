// A scene for display surface tests: a red square above the centre of a blue background,
// drawn with full ambient light so that colours come out exactly.
#pragma once

#include <kivctrl/kivctrl.h>

#include <gtest/gtest.h>

#include <cstdint>

namespace kivtest {

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb &) const = default;
};
inline Rgb rgb(std::uint32_t p)
{
    return {int(p >> 16 & 0xFF), int(p >> 8 & 0xFF), int(p & 0xFF)};
}
inline std::ostream &operator<<(std::ostream &os, const Rgb &c)
{
    return os << "(" << c.r << "," << c.g << "," << c.b << ")";
}

inline const Rgb kRed{255, 0, 0};
inline const Rgb kBlue{0, 0, 255};

class SurfaceScene : public ::testing::Test {
public:
    static constexpr int kWidth = 64;
    static constexpr int kHeight = 48;

    void SetUp() override
    {
        square_ = GSobject_begin(4);
        const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
        float n[3] = {0, 0, 1};
        for (const auto &c : corners) {
            float p[3] = {c[0], c[1], 0};
            GSvertex v = GSvertex_new(p);
            GSvertex_setnormal(&v, n);
            GSobject_addvertex(square_, &v);
        }
        GSpoly *poly = GSpoly_begin(square_);
        for (int i = 0; i < 4; ++i)
            GSpoly_addvertex(poly, i);
        GSpoly_close(poly);
        GSobject_close(square_, 0.0f);
        GSobject_setcolor(square_, 1, 0, 0, 100);
        GSobject_setspecular(square_, 0, 0, 0, 100);
        GSobject_add(square_);
        // Above the centre, so that a picture upside down shows.
        const float at[3] = {0, 1.5f, 0};
        GSobject_setposition(square_, at);

        GSuniverse_setbgcolor(0, 0, 1);
        GSlight_setambient(1.0f);
        GSviewpoint *vp = GSuniverse_getviewpoint();
        float eye[3] = {0, 0, 10}, towards_minus_z[4] = {1, 0, 0, 0};
        GSviewpoint_setposition(vp, eye);
        GSviewpoint_setorientation(vp, towards_minus_z);
        GSviewpoint_setviewangle(vp, 45);
    }
    void TearDown() override { GSobject_delete(square_); }

    // Where the square's centre lands on a kWidth x kHeight picture, y from the top.
    static constexpr int kSquareX = kWidth / 2;
    static constexpr int kSquareY = 15;

    GSobject *square_ = nullptr;
};

} // namespace kivtest
