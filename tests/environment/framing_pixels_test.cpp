// Framing seen in pixels: what the zoom operations leave in the window.
#include "tests/environment/framing_fixture.h"

#include "tests/environment/placement_fixture.h"
#include "platform/gl_surface.h"

#include <kivctrl/gs_universe.h>
#include <kivctrl/placement.h>

#include <algorithm>
#include <memory>

namespace {

constexpr int kW = 160, kH = 120;
const float kHalf = 22.5f * 3.14159265f / 180.0f;  // half the vertical field
const float kFocal = kH * 0.5f / std::tan(kHalf);  // pixels

// The box of the pixels that differ from the (black) background.
struct Footprint {
    int x0 = kW, y0 = kH, x1 = -1, y1 = -1;
    bool empty() const { return x1 < 0; }
    float cx() const { return 0.5f * (x0 + x1 + 1); }
    float cy() const { return 0.5f * (y0 + y1 + 1); }
    int width() const { return x1 - x0 + 1; }
    int height() const { return y1 - y0 + 1; }
};

// The pixel radius of a sphere of radius r at distance d on the viewing axis.
float seen_radius(float r, float d)
{
    return kFocal * std::tan(std::asin(r / d));
}

class FramingPixels : public FramingTest {
protected:
    void SetUp() override
    {
        surface = kiv::platform::GlSurface::create(kW, kH);
        ASSERT_TRUE(surface && surface->make_current());
        GSuniverse_init(kW, kH);
        FramingTest::SetUp();
        env_set_winsize(kW, kH);
        env_set_bgcolor(0.0f, 0.0f, 0.0f);
    }
    void TearDown() override
    {
        FramingTest::TearDown();
        GSuniverse_term();
    }

    Footprint draw()
    {
        dv_obj_sync();
        GSuniverse_changed(1);
        env_refresh();
        Footprint f;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                if ((surface->pixel(x, y) & 0xFFFFFF) != 0) {
                    f.x0 = std::min(f.x0, x), f.x1 = std::max(f.x1, x);
                    f.y0 = std::min(f.y0, y), f.y1 = std::max(f.y1, y);
                }
        return f;
    }

    std::unique_ptr<kiv::platform::GlSurface> surface;
};

TEST_F(FramingPixels, ZoomExtentsFitsTheTreesSphereToTheWindowHeight)
{
    sphere_part("p", {5, -2, 1}, 1.0f);
    obj_set_pos(vp, {40, 40, 40}, FRAME_WORLD);
    VE_zoom_extents(assy);
    const Footprint f = draw();
    ASSERT_FALSE(f.empty());
    // The part's own radius is that of its bounding box, sqrt(3): at the fitted distance
    // that box's sphere spans the window height exactly, and the sphere inside it less.
    const float expected = 2.0f * seen_radius(1.0f, std::sqrt(3.0f) / std::sin(kHalf));
    EXPECT_NEAR(f.height(), expected, 2.0f);
    EXPECT_NEAR(f.width(), expected, 2.0f);
    EXPECT_NEAR(f.cx(), kW / 2, 1.0f);
    EXPECT_NEAR(f.cy(), kH / 2, 1.0f);
}

TEST_F(FramingPixels, ZoomObjectCentresOneSmallPartAmongLargeOnes)
{
    sphere_part("left", {-40, 0, 0}, 10.0f);
    sphere_part("right", {40, 0, 0}, 10.0f);
    _object *small = sphere_part("small", {0, 25, -5}, 0.5f);
    VE_zoom_object(small);
    // Only the small part is in view; its size follows from where the viewpoint stands.
    QEL_VECT3 d = eye();
    d -= QEL_VECT3(0, 25, -5);
    const Footprint f = draw();
    ASSERT_FALSE(f.empty());
    EXPECT_NEAR(f.height(), 2.0f * seen_radius(0.5f, d.mag()), 2.0f);
    EXPECT_NEAR(f.width(), 2.0f * seen_radius(0.5f, d.mag()), 2.0f);
    EXPECT_NEAR(f.cx(), kW / 2, 1.0f);
    EXPECT_NEAR(f.cy(), kH / 2, 1.0f);
}

TEST_F(FramingPixels, AFiveCentimetrePartFramedFromCloseByIsDrawn)
{
    _object *p = sphere_part("p", {0, 0, 0}, 0.025f);
    VE_zoom_object(p);
    const Footprint f = draw();
    ASSERT_FALSE(f.empty());
    EXPECT_GT(f.height(), kH / 2);
}

TEST_F(FramingPixels, ZoomWindowFillsTheViewWithTheRectanglesContent)
{
    sphere_part("p", {2, 1, 0}, 1.0f);
    obj_set_pos(vp, {0, 0, 20}, FRAME_WORLD);
    const Footprint before = draw();
    ASSERT_FALSE(before.empty());
    // A 20-pixel square about the part, given corner by corner in either order.
    const QEL_VECT2 a(before.cx() - 10, before.cy() - 10), b(before.cx() + 10, before.cy() + 10);
    VE_zoom_window(assy, b, a);
    const QEL_VECT3 first = eye();
    const Footprint f = draw();
    // The square's content now fills the window: the part is centred and about six times
    // (120 / 20) as tall as it was.
    EXPECT_NEAR(f.cx(), kW / 2, 2.0f);
    EXPECT_NEAR(f.cy(), kH / 2, 2.0f);
    EXPECT_GT(f.height(), 5.5f * before.height());
    EXPECT_LT(f.height(), kH);

    obj_set_pos(vp, {0, 0, 20}, FRAME_WORLD);
    obj_set_eangles(vp, {180, 0, 0}, FRAME_WORLD);
    draw();
    VE_zoom_window(assy, a, b);
    EXPECT_TRUE(near3(eye(), first, 1e-3f));
}

TEST_F(FramingPixels, ZoomWindowOverNothingOnlyTurns)
{
    sphere_part("p", {0, 0, 0}, 1.0f);
    obj_set_pos(vp, {0, 0, 20}, FRAME_WORLD);
    QEL_QUAT before;
    obj_get_orient(vp, before, FRAME_WORLD);
    VE_zoom_window(assy, {130, 10}, {150, 30});
    EXPECT_TRUE(near3(eye(), {0, 0, 20}));
    QEL_QUAT after;
    obj_get_orient(vp, after, FRAME_WORLD);
    EXPECT_FALSE(same_turn(before, after));
    // The part, seen at the centre before, has moved towards the lower left.
    const Footprint f = draw();
    ASSERT_FALSE(f.empty());
    EXPECT_LT(f.cx(), kW / 2 - 20);
    EXPECT_GT(f.cy(), kH / 2 + 20);
}

}  // namespace

namespace {

// The window background follows the environment while the root has no colour of its own.
TEST(BackgroundPixels, TheEnvironmentColourShowsUnlessTheRootHasOne)
{
    auto surface = kiv::platform::GlSurface::create(kW, kH);
    ASSERT_TRUE(surface && surface->make_current());
    GSuniverse_init(kW, kH);
    env_set_bgcolor(0.0f, 0.0f, 1.0f);  // before any assembly: only stored
    KivAssembly *a = db_new_assembly("bg");
    VE_build_tree(a->GetRoot());
    GSuniverse_refresh();
    EXPECT_EQ(surface->pixel(3, 3) & 0xFFFFFF, 0x0000FFu);

    obj_set_color(a->GetRoot(), 1.0f, 0.0f, 0.0f, ATTR_DEFAULT_LEVEL);
    env_set_bgcolor(0.0f, 1.0f, 0.0f);
    GSuniverse_refresh();
    EXPECT_EQ(surface->pixel(3, 3) & 0xFFFFFF, 0xFF0000u);
    db_delete_assembly(a);
    GSuniverse_term();
}

}  // namespace
