// Framing by numbers: the fitting rule, what it refuses, and the clipping distances.
#include "tests/environment/framing_fixture.h"

#include <kivctrl/placement.h>

#include "tests/environment/placement_fixture.h"

#include <string>

namespace {

struct FitCase {
    const char *name;
    int w, h;
    float distance;  // behind the centre along the viewing axis
};

class FitRule : public FramingTest, public ::testing::WithParamInterface<FitCase> {};

// A part of own radius 1 at the origin, view angle 45 degrees.
TEST_P(FitRule, StandsWhereTheSphereFitsTheNarrowerField)
{
    sphere_part("p", {0, 0, 0}, 1.0f / std::sqrt(3.0f));
    env_set_winsize(GetParam().w, GetParam().h);
    EXPECT_EQ(VE_zoom_extents(assy), 0);
    EXPECT_TRUE(near3(eye(), {0, 0, GetParam().distance}, 2e-3f));
    QEL_VECT3 pos;
    QEL_QUAT q;
    obj_get_orient(vp, q, FRAME_WORLD);
    ASSERT_EQ(VE_calc_extents(pos, q, 45.0f), 1);
    EXPECT_TRUE(near3(pos, {0, 0, GetParam().distance}, 2e-3f));
}

INSTANTIATE_TEST_SUITE_P(Table, FitRule,
                         ::testing::Values(FitCase{"Wide400x300", 400, 300, 2.6131f},
                                           FitCase{"Tall300x400", 300, 400, 3.3710f}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(FramingTest, NothingToFitLeavesTheViewpointAlone)
{
    _object *p = sphere_part("p", {1, 2, 3}, 1.0f);
    obj_set_pos(vp, {0, 0, 7}, FRAME_WORLD);
    QEL_VECT3 pos(9, 9, 9);
    QEL_QUAT q;
    q.init();
    // No window size yet, as in a headless host before its first resize.
    EXPECT_EQ(VE_calc_extents(pos, q, 45.0f), 0);
    VE_zoom_extents();
    VE_zoom_object(p);
    VE_zoom_window(assy, {0, 0}, {10, 10});
    EXPECT_TRUE(near3(eye(), {0, 0, 7}));

    env_set_winsize(400, 300);
    p->vis = 0;  // hidden parts have no radius
    EXPECT_EQ(VE_calc_extents(pos, q, 45.0f), 0);
    EXPECT_TRUE(near3(pos, {9, 9, 9}));
    VE_zoom_extents(assy);
    EXPECT_TRUE(near3(eye(), {0, 0, 7}));
    p->vis = 1;

    obj_set_viewangle(vp, 0.0f);  // fits nothing, and must not put a NaN anywhere
    VE_zoom_extents(assy);
    VE_zoom_object(p);
    EXPECT_TRUE(near3(eye(), {0, 0, 7}));

    EXPECT_EQ(VE_zoom_extents(nullptr), 0);
    EXPECT_EQ(VE_zoom_object(nullptr), 0);
    EXPECT_EQ(VE_zoom_window(nullptr, {0, 0}, {1, 1}), 0);
}

TEST_F(FramingTest, ZoomExtentsFramesTheGivenAssemblysTree)
{
    sphere_part("p", {0, 0, 0}, 1.0f / std::sqrt(3.0f));
    env_set_winsize(400, 300);
    KivAssembly *other = db_new_assembly("other");  // now the current root
    VE_build_tree(other->GetRoot());
    VE_zoom_extents(assy);
    EXPECT_TRUE(near3(eye(), {0, 0, 2.6131f}, 2e-3f));
    db_delete_assembly(other);
}

TEST_F(FramingTest, ZoomObjectFramesOnePartAndKeepsItBeyondTheNearPlane)
{
    env_set_winsize(400, 300);
    _object *small = sphere_part("small", {30, 5, 0}, 0.5f / std::sqrt(3.0f));
    VE_zoom_object(small);
    // Fitted distance 1.3066 for radius 0.5, well beyond the near plane.
    EXPECT_TRUE(near3(eye(), {30, 5, 1.3066f}, 2e-3f));

    // Among large parts, with the eye inside the scene's sphere, the near plane lies beyond
    // that distance: the part is fitted again with the near distance as its radius.
    sphere_part("big", {-20, 0, 0}, 10.0f);
    VE_zoom_object(small);
    float near_dist = 0, far_dist = 0;
    env_clip_distances(near_dist, far_dist);
    EXPECT_GT(near_dist, 1.3066f);
    // (near as it was before the second move, which changed it a little)
    EXPECT_NEAR(eye().z, near_dist / std::sin(22.5f * 3.14159265f / 180.0f), 0.2f);
    EXPECT_NEAR(eye().x, 30.0f, 1e-3f);
    EXPECT_NEAR(eye().y, 5.0f, 1e-3f);
    EXPECT_GE(eye().z - 0.5f, near_dist);
}

TEST_F(FramingTest, ClipDistancesFollowTheRootSphere)
{
    float near_dist = 0, far_dist = 0;
    // A root of group radius 10 centred at the origin, seen from 50 away.
    sphere_part("a", {0, 0, 0}, 10.0f / std::sqrt(3.0f));
    ASSERT_NEAR(obj_get_grpradius(root), 10.0f, 1e-3f);
    obj_set_pos(vp, {0, 0, 50}, FRAME_WORLD);
    env_clip_distances(near_dist, far_dist);
    EXPECT_NEAR(far_dist, 91.0f, 1e-3f);
    EXPECT_NEAR(near_dist, 1.9009f, 1e-3f);

    // Ratio 1 would put near beyond far.
    env_set_clip(1.0f, 0);
    env_clip_distances(near_dist, far_dist);
    EXPECT_NEAR(near_dist, 91.0f * 0.99f, 1e-3f);
}

TEST_F(FramingTest, AFiveCentimetrePartSeenFromCloseByIsNotClipped)
{
    env_set_winsize(400, 300);
    _object *p = sphere_part("p", {0, 0, 0}, 0.025f);
    VE_zoom_object(p);
    float near_dist = 0, far_dist = 0;
    env_clip_distances(near_dist, far_dist);
    const float nearest = eye().z - 0.025f;
    EXPECT_GT(nearest, 0.0f);
    EXPECT_LT(near_dist, nearest);
    EXPECT_GT(far_dist, eye().z + 0.025f);
    EXPECT_GT(near_dist, 0.0f);
}

TEST(StandardViews, OneTableForEveryCaller)
{
    QEL_VECT3 e;
    ASSERT_TRUE(VE_standard_view("iso", e));
    EXPECT_TRUE(near3(e, {120, -30, -45}));
    ASSERT_TRUE(VE_standard_view("front", e));
    EXPECT_TRUE(near3(e, {0, 180, 180}));
    EXPECT_FALSE(VE_standard_view("Front", e));
    EXPECT_FALSE(VE_standard_view(nullptr, e));
}

}  // namespace
