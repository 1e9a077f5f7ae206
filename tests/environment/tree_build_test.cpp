// Preparing a freshly read tree: default viewpoint, headlight and group, deferred activation.
#include "tests/environment/bind_fixture.h"

#include <kivctrl/placement.h>
#include <kivctrl/qel_msg.h>
#include <kivctrl/ve_zoom.h>

#include <cmath>

namespace {

using TreeBuildTest = DbTest;

TEST_F(TreeBuildTest, AnEmptyTreeGetsAViewpointWithHeadlightAndAGroup)
{
    MessageLog log({MSG_VIEWPOINT_CREATED, MSG_HEADLIGHT_CREATED, MSG_DEFAULT_GROUP_CREATED});
    EXPECT_EQ(VE_build_tree(root), 0);

    _object *vp = root->viewpoint;
    ASSERT_NE(vp, nullptr);
    EXPECT_STREQ(vp->name, "viewpoint");
    EXPECT_EQ(vp->active, 1);
    EXPECT_EQ(root->children.get(1), vp);
    _object *light = vp->children.get(1);
    ASSERT_NE(light, nullptr);
    EXPECT_STREQ(light->name, "viewpoint light");
    EXPECT_EQ(light_get_type(light), LIGHT_DIRECTED);
    EXPECT_EQ(root->lights.find(light), 1);
    _object *group = root->children.get(2);
    ASSERT_NE(group, nullptr);
    EXPECT_STREQ(group->name, "assembly");
    EXPECT_EQ(group->type, OBJ_GROUP);
    EXPECT_EQ(group->active, 1);
    EXPECT_EQ(log.entries(), (std::vector<Msg>{{MSG_VIEWPOINT_CREATED, vp},
                                             {MSG_HEADLIGHT_CREATED, light},
                                             {MSG_DEFAULT_GROUP_CREATED, root}}));

    // The viewpoint stood at its parent's origin: it is turned half round about x.
    QEL_QUAT q, half;
    obj_get_orient(vp, q, FRAME_PARENT);
    half.from_eang(180.0f, 0.0f, 0.0f);
    EXPECT_NEAR(std::fabs(q.x * half.x + q.y * half.y + q.z * half.z + q.w * half.w), 1, 1e-5);

    // A second build finds everything in place.
    log.clear();
    VE_build_tree(root);
    EXPECT_TRUE(log.entries().empty());
    EXPECT_EQ(root->children.count(), 2);
}

TEST_F(TreeBuildTest, ATreeWithContentGetsNoDefaultGroup)
{
    make(root, OBJ_GROUP, "a");
    make(root, OBJ_GROUP, "b");
    VE_build_tree(root);
    ASSERT_NE(root->viewpoint, nullptr);
    EXPECT_EQ(root->children.count(), 3);
    EXPECT_EQ(name_to_obj("assembly"), nullptr);
}

TEST_F(TreeBuildTest, AViewpointAwayFromTheOriginKeepsItsTurn)
{
    _object *vp = make(root, OBJ_VIEWPOINT, "mine");
    obj_set_active(vp, 1);
    obj_set_pos(vp, QEL_VECT3(0, 0, -4), FRAME_PARENT);
    VE_build_tree(root);
    EXPECT_EQ(root->viewpoint, vp);
    QEL_QUAT q;
    obj_get_orient(vp, q, FRAME_PARENT);
    EXPECT_NEAR(q.w, 1, 1e-6);
}

}  // namespace
