// A universe drawing into a small off-screen surface, reset to start-up values per test.
#pragma once

#include "graphics/universe.h"
#include "platform/gl_surface.h"

#include <kivctrl/gs_universe.h>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

namespace kivtest {

// Red, green and blue of a pixel from the surface.
struct Rgb {
    int r, g, b;
};
inline Rgb rgb(std::uint32_t p)
{
    return {int(p >> 16 & 0xFF), int(p >> 8 & 0xFF), int(p & 0xFF)};
}

class UniverseTest : public ::testing::Test {
public:
    static constexpr int kWidth = 64;
    static constexpr int kHeight = 48;

    void SetUp() override
    {
        surface = kiv::platform::GlSurface::create(kWidth, kHeight);
        ASSERT_TRUE(surface && surface->make_current());
        GSuniverse_init(kWidth, kHeight);
        GSuniverse_setbgcolor(0.753f, 0.753f, 0.753f);
        GSuniverse_setmotionbluractive(false);
        GSuniverse_setmotionblurblend(0.55f);
        GSuniverse_setmotionblurfade(true);
        GSuniverse_setmotionblurnumfadeframes(8);
        GSuniverse_setrendering(3);
        GSuniverse_settransparencyenable(true);
        GSuniverse_setbackdropimage(0, 0, nullptr);
        GSuniverse_setbackdropactive(true);
        GSuniverse_setbackdroptile(false);
        GSuniverse_setbackdrophorizjustify(0);
        GSuniverse_setbackdropvertjustify(0);
        GSuniverse_settriadmode(GStriad_object);
        // Looking from +Z at the origin, world +Y up on the screen.
        GSviewpoint *vp = GSuniverse_getviewpoint();
        float pos[3] = {0, 0, 10}, q[4] = {1, 0, 0, 0};
        GSviewpoint_setposition(vp, pos);
        GSviewpoint_setorientation(vp, q);
        GSviewpoint_setviewangle(vp, 45);
    }

    void TearDown() override
    {
        GSuniverse_changed(0);
        GSuniverse_record().changecount = 0;
        GSuniverse_record().force = false;
    }

    // Draws frames until the universe goes idle; returns how many were drawn.
    int frames_until_idle()
    {
        int frames = 0;
        while (GSuniverse_redraw() && frames < 100)
            ++frames;
        return frames;
    }

    Rgb at(int x, int y) const { return rgb(surface->pixel(x, y)); }

    std::unique_ptr<kiv::platform::GlSurface> surface;
};

} // namespace kivtest
