// Group radii, their invalidation, and the root's midpoint and extents.
#include "environment/placement_fixture.h"

#include <kivctrl/placement.h>

namespace {

QEL_VECT3 mid(_object *o)
{
    QEL_VECT3 m;
    VE_get_midpoint(o, m);
    return m;
}

float dist(QEL_VECT3 a, const QEL_VECT3 &b)
{
    a -= b;
    return a.mag();
}

const float kPartRadius = std::sqrt(3.0f);  // half the diagonal of the 2x2x2 box

TEST_F(PlacementTest, GroupRadiusEnclosesEveryPartBelow)
{
    float r = 0.0f;
    ASSERT_EQ(obj_get_radius(P, r), 0);
    EXPECT_NEAR(r, kPartRadius, 1e-4f);
    EXPECT_NEAR(obj_get_grpradius(B), kPartRadius, 1e-4f);
    // A spans from P (its first contributing child, through B) out to S.
    const float expected = dist(mid(S), mid(P)) + kPartRadius;
    ASSERT_EQ(obj_get_radius(A, r), 0);
    EXPECT_NEAR(r, expected, 1e-3f);
    EXPECT_NEAR(GSobject_getuserradius(A->gsobject), expected, 1e-3f);
    EXPECT_EQ(obj_get_grpradius(nullptr, r), 101);
    EXPECT_EQ(obj_get_radius(nullptr, r), 101);
}

TEST_F(PlacementTest, MovingAPartInvalidatesOnlyItsAncestors)
{
    obj_get_grpradius(root);
    obj_get_grpradius(S);
    for (_object *o : {root, A, B, P, S})
        ASSERT_EQ(o->grpradius_valid, 1);
    obj_set_relpos(P, {6, 0, 0}, FRAME_WORLD);
    EXPECT_EQ(P->grpradius_valid, 1);
    EXPECT_EQ(S->grpradius_valid, 1);
    EXPECT_EQ(B->grpradius_valid, 0);
    EXPECT_EQ(A->grpradius_valid, 0);
    EXPECT_EQ(root->grpradius_valid, 0);
    EXPECT_NEAR(obj_get_grpradius(A), dist(mid(S), mid(P)) + kPartRadius, 1e-3f);

    obj_get_grpradius(root);
    obj_set_relorient(S, axis_turn(0, 0, 1, 90), FRAME_LOCAL);
    EXPECT_EQ(A->grpradius_valid, 0);
    EXPECT_EQ(B->grpradius_valid, 1);
}

TEST_F(PlacementTest, InvisiblePartsHaveNoRadius)
{
    P->vis = 0;
    float r = 1.0f;
    EXPECT_EQ(VE_get_radius(P, &r), 0);
    EXPECT_EQ(r, 0.0f);
    EXPECT_EQ(VE_get_radius(A, &r), 0);  // groups have no radius of their own
    EXPECT_EQ(r, 0.0f);
}

TEST_F(PlacementTest, RootMidpointAndExtentsSpanTheShownParts)
{
    const QEL_VECT3 p = mid(P), s = mid(S);
    QEL_VECT3 ext, centre;
    ASSERT_EQ(obj_get_extents(root, ext), 0);
    EXPECT_TRUE(near3(ext, QEL_VECT3(std::fabs(p.x - s.x), std::fabs(p.y - s.y),
                                     std::fabs(p.z - s.z))));
    ASSERT_EQ(VE_get_midpoint(root, centre), 0);
    QEL_VECT3 half = p;
    half += s;
    half *= 0.5f;
    EXPECT_TRUE(near3(centre, half));

    QEL_VECT3 part_ext;
    ASSERT_EQ(obj_get_extents(P, part_ext), 0);
    EXPECT_TRUE(near3(part_ext, QEL_VECT3(2, 2, 2)));

    P->active = 0;
    S->vis = 0;
    ASSERT_EQ(obj_get_extents(root, ext), 0);
    EXPECT_TRUE(near3(ext, QEL_VECT3(0, 0, 0)));
    VE_get_midpoint(root, centre);
    EXPECT_TRUE(near3(centre, QEL_VECT3(0, 0, 0)));
    EXPECT_EQ(obj_get_extents(nullptr, ext), 105);
}

}  // namespace
