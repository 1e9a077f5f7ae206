// The window thread draws while the background loader reads real part files (text parts and
// binary STL, read ahead on threads of their own) and puts them in place.
#include "tests/environment/loading_fixture.h"
#include "support/bus_recorder.h"

#include <kivctrl/gs_part_file.h>
#include <kivctrl/gs_universe.h>

#include "formats/stl_support.h"
#include "graphics/render_fixture.h"

#include <atomic>

namespace {

using kivtest::LoadingTest;

// A square of side s in the plane z = 0 with one corner at the origin.
GSobject *square(float s)
{
    GSobject *g = GSobject_begin();
    const float corners[4][3] = {{0, 0, 0}, {s, 0, 0}, {s, s, 0}, {0, s, 0}};
    for (const auto &c : corners) {
        float p[3] = {c[0], c[1], c[2]};
        GSvertex v = GSvertex_new(p);
        GSobject_addvertex(g, &v);
    }
    GSpoly *t = GSpoly_begintriangles(g, 2);
    for (int i : {0, 1, 2, 0, 2, 3})
        GSpoly_addvertex(t, i);
    GSpoly_close(t);
    GSobject_close(g, 0.0f);
    return g;
}

std::string square_stl(float s)
{
    using F = kivtest::Facet;
    return kivtest::binary_stl("square", {F{{0, 0, 1}, {{{0, 0, 0}, {s, 0, 0}, {s, s, 0}}}},
                                          F{{0, 0, 1}, {{{0, 0, 0}, {s, s, 0}, {0, s, 0}}}}});
}

class LoadDrawTest : public LoadingTest {
protected:
    void SetUp() override
    {
        LoadingTest::SetUp();
        surface = kiv::platform::GlSurface::create(64, 48);
        ASSERT_TRUE(surface && surface->make_current());
        GSuniverse_init(64, 48);
        GSuniverse_setbgcolor(0.753f, 0.753f, 0.753f);
    }
    void TearDown() override
    {
        LoadingTest::TearDown();
        GSuniverse_changed(0);
        GSuniverse_record().changecount = 0;
        surface.reset();
    }
    std::unique_ptr<kiv::platform::GlSurface> surface;
};

TEST_F(LoadDrawTest, FramesAreDrawnOrSkippedWhileRealPartsReplaceTheBoxes)
{
    // Six files, each used by four parts, in a grid around the line of sight.
    for (int f = 0; f < 6; ++f) {
        const std::string name = "part" + std::to_string(f) + (f % 2 ? ".stl" : ".kvg");
        if (f % 2) {
            std::ofstream(dir / name, std::ios::binary) << square_stl(4.0f + f);
        } else {
            GSobject *g = square(4.0f + f);
            ASSERT_TRUE(GSobject_write(g, (dir / name).c_str(), GS_FILE_TEXT));
            GSobject_delete(g);
        }
    }
    std::vector<_object *> all;
    for (int i = 0; i < 24; ++i) {
        const std::string name = "p" + std::to_string(i);
        const std::string file = "part" + std::to_string(i % 6) + (i % 6 % 2 ? ".stl" : ".kvg");
        all.push_back(deferred(name.c_str(), file, 1.0f,
                               QEL_VECT3(6.0f * (i % 6) - 12.0f, 6.0f * (i / 6) - 6.0f, 0)));
    }
    kivtest::BusRecorder finished(MSG_LOAD_FINISHED);
    build_in_background();
    while (finished.count(MSG_LOAD_FINISHED) == 0) {
        // As the window thread's tick and paint: only when the lock is free at once.
        if (assy->AccessGeometry()) {
            dv_obj_sync();
            GSuniverse_redraw();
            assy->ReleaseGeometry();
        }
        std::this_thread::yield();
    }
    assy->WaitForGeometryLoad();
    for (std::size_t i = 0; i < all.size(); ++i) {
        SCOPED_TRACE(all[i]->name);
        EXPECT_EQ(all[i]->active, 1);
        float e[3];
        GSobject_getextents(all[i]->gsobject, e);
        EXPECT_FLOAT_EQ(e[0], 4.0f + static_cast<float>(i % 6));
    }
    dv_obj_sync();
    GSuniverse_changed(1);
    EXPECT_TRUE(GSuniverse_redraw());
    const kivtest::Rgb centre = kivtest::rgb(surface->pixel(32, 24));
    EXPECT_FALSE(centre.r == 192 && centre.g == 192 && centre.b == 192);
}

}  // namespace
