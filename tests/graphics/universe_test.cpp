#include "graphics/light.h"
#include "graphics/viewpoint.h"
#include "render_fixture.h"

#include <cmath>

namespace {

using kivtest::UniverseTest;

TEST_F(UniverseTest, FrameShowsBackgroundThenGoesIdle)
{
    GSuniverse_setbgcolor(0.2f, 0.4f, 0.6f);
    EXPECT_EQ(GSuniverse_waschanged(), 1);
    EXPECT_EQ(GSuniverse_redraw(), 1);
    const kivtest::Rgb c = at(10, 10);
    EXPECT_EQ(c.r, 0x33);
    EXPECT_EQ(c.g, 0x66);
    EXPECT_EQ(c.b, 0x99);
    EXPECT_EQ(GSuniverse_waschanged(), 0);
    EXPECT_EQ(GSuniverse_redraw(), 0);
}

TEST_F(UniverseTest, MotionBlurFadesSevenTrailFramesThenDrawsOneCleanFrame)
{
    GSuniverse_setbgcolor(1, 1, 1);
    frames_until_idle();
    ASSERT_EQ(at(5, 5).r, 255);
    // Change the background without forcing a clean frame, then start a blurred change.
    GSuniverse_record().bg[0] = GSuniverse_record().bg[1] = GSuniverse_record().bg[2] = 0.0f;
    GSuniverse_setmotionbluractive(true);
    GSuniverse_changed(1);
    EXPECT_EQ(GSuniverse_waschanged(), 8);
    double expected = 255.0;
    for (int frame = 0; frame < 7; ++frame) {
        ASSERT_EQ(GSuniverse_redraw(), 1);
        expected *= 1.0 - 0.55;
        EXPECT_NEAR(at(5, 5).r, expected, 2.0) << "trail frame " << frame;
    }
    ASSERT_EQ(GSuniverse_redraw(), 1);
    EXPECT_EQ(at(5, 5).r, 0) << "the last frame is cleared";
    EXPECT_EQ(GSuniverse_redraw(), 0);

    GSuniverse_setmotionblurfade(false);
    GSuniverse_changed(1);
    EXPECT_EQ(frames_until_idle(), 1) << "without fading one change draws one frame";
}

TEST_F(UniverseTest, RenderingOverrideSwitchesExtrasOffForTheFrameOnly)
{
    const unsigned char pixel[4] = {255, 0, 0, 255};
    ASSERT_TRUE(GSuniverse_setbackdropimage(1, 1, pixel));
    GSuniverse_setmotionbluractive(true);
    GSuniverse_setrendering(0);
    EXPECT_EQ(GSuniverse_getrendering(), 0);
    GSuniverse_setmodified(0);
    EXPECT_EQ(GSuniverse_redraw(), 1);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST)) << "wireframe draws without depth test";
    EXPECT_EQ(at(3, 3).r, 192) << "no backdrop under an override";
    EXPECT_EQ(GSuniverse_getmodified(), 1);
    EXPECT_EQ(GSuniverse_waschanged(), 0) << "the frame after is not forced";
    EXPECT_TRUE(GScurrentcontext().transparencyenable);
    EXPECT_TRUE(GScurrentcontext().texturingallowed);
    EXPECT_TRUE(GSuniverse_record().backdropactive);
    EXPECT_TRUE(GSuniverse_getmotionbluractive());

    GSuniverse_setrendering(7);
    EXPECT_EQ(GSuniverse_getrendering(), 3);
    EXPECT_EQ(GSuniverse_waschanged(), 1) << "clearing the override forces a frame";
    GSuniverse_setmotionbluractive(false);
    frames_until_idle();
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(at(3, 3).r, 255) << "the backdrop is back";
}

TEST_F(UniverseTest, SwitchesAndCounters)
{
    struct {
        unsigned char set, get;
    } modes[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {200, 3}};
    for (auto m : modes) {
        GSuniverse_setrendering(m.set);
        EXPECT_EQ(GSuniverse_getrendering(), m.get);
    }
    GSuniverse_setonlydrawenvelopes(true);
    GSuniverse_setonlydrawenvelopes(true);
    GSuniverse_setonlydrawenvelopes(false);
    EXPECT_TRUE(GSuniverse_getonlydrawenvelopes());
    GSuniverse_setonlydrawenvelopes(false);
    GSuniverse_setonlydrawenvelopes(false);
    EXPECT_FALSE(GSuniverse_getonlydrawenvelopes());
    GSuniverse_settriadmode(GStriadmode(9));
    EXPECT_EQ(GSuniverse_gettriadmode(), GStriad_object);
    GSuniverse_settriadmode(GStriad_parent);
    EXPECT_EQ(GSuniverse_gettriadmode(), GStriad_parent);
}

TEST_F(UniverseTest, RefreshShowsTheLastImageAgainWithoutDrawing)
{
    frames_until_idle();
    ASSERT_FALSE(GSuniverse_record().swapdiscards) << "the back buffer keeps what was shown";
    const long shown = surface->presented();
    GSuniverse_refresh();
    EXPECT_EQ(surface->presented(), shown + 1);
    EXPECT_FALSE(GSuniverse_record().refresh);
    EXPECT_EQ(GSuniverse_redraw(), 0);
}

TEST_F(UniverseTest, SecondaryContextsKeepTheirOwnState)
{
    void *secondary = ADT_CreateSecondaryContext();
    ADT_UseSecondaryContext(secondary);
    EXPECT_EQ(&GScurrentcontext(), secondary);
    GSuniverse_setrendering(1);
    EXPECT_EQ(GSuniverse_getrendering(), 1);
    ADT_UseSecondaryContext(nullptr);
    EXPECT_EQ(GSuniverse_getrendering(), 3) << "the default context has no override";
    ADT_DeleteSecondaryContext(secondary);
    EXPECT_NE(&GScurrentcontext(), secondary);
}

struct LightTest : UniverseTest {
    void TearDown() override
    {
        for (GSlight *l : made)
            GSlight_delete(l);
        UniverseTest::TearDown();
    }
    GSlight *point()
    {
        float p[3] = {0, 0, 5};
        made.push_back(GSlight_newpoint(p, 1.0f));
        return made.back();
    }
    std::vector<GSlight *> made;
};

TEST_F(LightTest, SlotsFillInOrderAndOneTooManyStaysUnlit)
{
    const size_t count = GSlight_slots().slots.size();
    ASSERT_GE(count, 8u);
    for (size_t k = 0; k < count; ++k)
        GSlight_add(point());
    GSlight *extra = point();
    extra->slot = -2; // never assigned when no slot is free
    GSlight_add(extra);
    EXPECT_EQ(extra->slot, -2);
    EXPECT_EQ(made[3]->slot, 3);
    GSlight_setintensity(made[2], 0.0f);
    frames_until_idle();
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0 + 1));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT0 + 2)) << "intensity 0 keeps its slot but is off";
    GSlight_remove(made[1]);
    frames_until_idle();
    EXPECT_FALSE(glIsEnabled(GL_LIGHT0 + 1));
    GSlight_add(extra);
    EXPECT_EQ(extra->slot, 1) << "a freed slot is reused";
}

TEST_F(LightTest, RecordValuesAndWhatReachesOpenGL)
{
    float v[3] = {0, 1, 0}, p[3] = {1, 2, 3}, d[3] = {0, -1, 0};
    GSlight *directed = GSlight_newdirected(v, 0.5f);
    made.push_back(directed);
    float dir[3];
    GSlight_getdirection(directed, dir);
    EXPECT_EQ(dir[2], -1.0f) << "a new directed light shines along -Z";
    EXPECT_FLOAT_EQ(directed->diffuse[0], 0.15f);
    EXPECT_FLOAT_EQ(directed->specular[0], 0.3f);
    GSlight_setcolor(directed, 1, 0.5f, 0);
    EXPECT_FLOAT_EQ(directed->ambient[1], 0.25f);
    GSlight_setcolor(nullptr, 1, 1, 1);

    GSlight *spot = GSlight_newspot(p, d, 1.0f, 10.0f, 40.0f);
    made.push_back(spot);
    GSlight_setangle(spot, 60);
    EXPECT_FLOAT_EQ(GSlight_getangle(spot), 60);
    GSlight_settype(spot, 0);
    EXPECT_EQ(spot->position[3], 0.0f);
    GSlight_settype(spot, 2);
    EXPECT_EQ(spot->position[3], 1.0f);
    GSlight_add(spot);
    GSlight_setambient(0.4f);
    EXPECT_FLOAT_EQ(GSlight_getambient(), 0.4f);
    frames_until_idle();
    float cutoff = 0, ambient[4] = {};
    glGetLightfv(GL_LIGHT0 + spot->slot, GL_SPOT_CUTOFF, &cutoff);
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, ambient);
    EXPECT_FLOAT_EQ(cutoff, 30.0f);
    EXPECT_FLOAT_EQ(ambient[0], 0.4f);
    GSlight_setambient(0.3f);
}

TEST_F(UniverseTest, ViewpointOrientationRoundTripsAndDetailFactorFollowsTheViewport)
{
    GSviewpoint *vp = GSuniverse_getviewpoint();
    float q[4] = {0, 0.7071068f, 0, -0.7071068f}, out[4];
    GSviewpoint_setorientation(vp, q);
    GSviewpoint_getorientation(vp, out);
    float same[4] = {0, -0.7071068f, 0, 0.7071068f};
    EXPECT_NEAR(out[1], same[1], 1e-6);
    EXPECT_NEAR(out[3], same[3], 1e-6);
    // At distance 10 with a 45 degree view over 48 pixels, a radius r spans
    // r * 48 / (2 * 10 * tan(22.5 deg)) pixels: radius 1 is about 5.8 pixels.
    const float p[3] = {0, 0, 10 - 10};
    float pos[3] = {0, 0, 10};
    GSviewpoint_setposition(vp, pos);
    EXPECT_TRUE(GSviewpoint_sizetest(1.0f, p, 6.0f * 6.0f));
    EXPECT_FALSE(GSviewpoint_sizetest(1.0f, p, 5.5f * 5.5f));
}

} // namespace
