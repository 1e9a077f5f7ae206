// Placement in the four frames, constraints, messages 207/208 and change counters.
#include "environment/placement_fixture.h"

#include <kivctrl/placement.h>
#include <kivctrl/qel_msg.h>

#include <limits>

namespace {

const FRAME kFrames[] = {FRAME_LOCAL, FRAME_PARENT, FRAME_VIEWPOINT, FRAME_WORLD};

class FramesTest : public PlacementTest {
protected:
    // The world frame each selector names for P, worked out from the scene's own objects.
    QEL_FRAME frame_for(FRAME f, const QEL_FRAME &p_world)
    {
        switch (f) {
        case FRAME_LOCAL: return p_world;
        case FRAME_PARENT: return world(B);
        case FRAME_VIEWPOINT: return world(V);
        default: return QEL_FRAME().init();
        }
    }
};

TEST_F(FramesTest, SetInEachFrameReadsBackInAllFour)
{
    const QEL_FRAME target(QEL_VECT3(-3.0f, 7.0f, 2.5f), QEL_VECT3(30.0f, -50.0f, 110.0f));
    for (FRAME set_in : kFrames) {
        SCOPED_TRACE(set_in);
        place(P, {5.0f, 2.0f, 0.0f}, axis_turn(1, 1, 0, 40));
        // Orientation first: a local frame is the object's current one, and turning keeps
        // the pivot where it is.
        const QEL_FRAME before = frame_for(set_in, world(P));
        ASSERT_EQ(obj_set_orient(P, compose(target.q, before.q.inverseunit()), set_in), 0);
        const QEL_FRAME now = frame_for(set_in, world(P));
        ASSERT_EQ(obj_set_pos(P, now.invxform(target.p), set_in), 0);

        EXPECT_TRUE(near3(world(P).p, target.p));
        EXPECT_TRUE(same_turn(world(P).q, target.q));
        for (FRAME read_in : kFrames) {
            SCOPED_TRACE(read_in);
            const QEL_FRAME F = frame_for(read_in, target);
            QEL_FRAME got;
            ASSERT_EQ(obj_get_pno(P, got, read_in), 0);
            if (read_in == FRAME_LOCAL) {
                EXPECT_TRUE(near3(got.p, QEL_VECT3(0, 0, 0)));
                EXPECT_TRUE(same_turn(got.q, QEL_QUAT().init()));
                continue;
            }
            EXPECT_TRUE(near3(got.p, F.invxform(target.p)));
            EXPECT_TRUE(same_turn(got.q, compose(target.q, F.q.inverseunit())));
            QEL_VECT3 p;
            QEL_QUAT q;
            EXPECT_EQ(obj_get_pos(P, p, read_in), 0);
            EXPECT_EQ(obj_get_orient(P, q, read_in), 0);
            EXPECT_TRUE(near3(p, got.p));
            EXPECT_TRUE(same_turn(q, got.q));
        }
    }
}

TEST_F(FramesTest, ExplicitFrameOverloadsMatchTheSelectors)
{
    const QEL_FRAME F = world(V);
    const QEL_VECT3 p(1.0f, -2.0f, 3.0f);
    ASSERT_EQ(obj_set_pos(P, p, F), 0);
    QEL_VECT3 back;
    obj_get_pos(P, back, FRAME_VIEWPOINT);
    EXPECT_TRUE(near3(back, p));
    const QEL_QUAT q = axis_turn(1, 2, 3, 77);
    ASSERT_EQ(obj_set_orient(P, q, F), 0);
    QEL_QUAT qb;
    obj_get_orient(P, qb, FRAME_VIEWPOINT);
    EXPECT_TRUE(same_turn(qb, q));
}

TEST_F(FramesTest, ChildKeepsItsParentRelativePlacementWhenAncestorsMoveAndTurn)
{
    QEL_FRAME rel;
    obj_get_pno(P, rel, FRAME_PARENT);
    obj_set_pos(A, {10.0f, 0.0f, -4.0f}, FRAME_WORLD);
    obj_set_relorient(A, axis_turn(0, 1, 0, 35), FRAME_LOCAL);
    obj_set_releangles(B, {0.0f, 0.0f, 25.0f}, FRAME_PARENT);
    QEL_FRAME after;
    obj_get_pno(P, after, FRAME_PARENT);
    EXPECT_TRUE(near3(after.p, rel.p));
    EXPECT_TRUE(same_turn(after.q, rel.q));
}

TEST_F(FramesTest, RelativeMovesAndTurnsFollowTheFramesAxes)
{
    struct Case {
        FRAME f;
        QEL_VECT3 d;
        QEL_QUAT r;
    } cases[] = {
        {FRAME_LOCAL, {1, 0, 0}, axis_turn(0, 0, 1, 30)},
        {FRAME_PARENT, {0, 2, 0}, axis_turn(1, 0, 0, -45)},
        {FRAME_VIEWPOINT, {0, 0, 3}, axis_turn(0, 1, 0, 60)},
        {FRAME_WORLD, {-1, 1, 1}, axis_turn(1, 1, 1, 120)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.f);
        const QEL_FRAME before = world(P);
        const QEL_FRAME F = frame_for(c.f, before);
        ASSERT_EQ(obj_set_relpos(P, c.d, c.f), 0);
        QEL_VECT3 expect = before.p;
        expect += F.q.xform(c.d);
        EXPECT_TRUE(near3(world(P).p, expect));
        // Turning by r about the frame's axes: in that frame the turn comes after the
        // current orientation.
        QEL_QUAT in_frame;
        obj_get_orient(P, in_frame, F);
        ASSERT_EQ(obj_set_relorient(P, c.r, c.f), 0);
        QEL_QUAT now;
        obj_get_orient(P, now, F);
        EXPECT_TRUE(same_turn(now, compose(in_frame, c.r)));
        EXPECT_TRUE(near3(world(P).p, expect));
    }
}

TEST_F(FramesTest, PivotMovesThePositionButNotTheMesh)
{
    float mid_before[3];
    GSobject_getposition(P->gsobject, mid_before);
    ASSERT_EQ(obj_set_pivot(P, {1.0f, 2.0f, 3.0f}, FRAME_PARENT), 0);
    QEL_VECT3 p, mid;
    obj_get_pos(P, p, FRAME_PARENT);
    EXPECT_TRUE(near3(p, QEL_VECT3(1.0f, 2.0f, 3.0f)));
    VE_get_midpoint(P, mid);
    EXPECT_TRUE(near3(mid, QEL_VECT3(mid_before[0], mid_before[1], mid_before[2])));
    // The midpoint read in the object's own frame is the mesh midpoint less the new pivot.
    QEL_VECT3 local;
    obj_get_midpoint(P, local, FRAME_LOCAL);
    EXPECT_TRUE(near3(local, world(P).invxform(mid)));
}

TEST_F(FramesTest, RootAndFacesStayPutAndUnboundObjectsReadAsOrigin)
{
    _object *face = make(P, OBJ_FACE, "f");
    _object *unbound = make(B, OBJ_GROUP, "u");
    // Every object is bound when created: take the node away to see one without.
    kiv::env::delete_node(unbound->gsobject);
    unbound->gsobject = nullptr;
    MessageLog log({MSG_OBJ_POSITION, MSG_OBJ_ORIENTATION});
    for (_object *o : {root, face, unbound}) {
        EXPECT_EQ(VE_set_pos(o, {1, 2, 3}), 0);
        EXPECT_EQ(VE_set_orient(o, axis_turn(1, 0, 0, 10)), 0);
    }
    EXPECT_TRUE(log.entries().empty());
    QEL_VECT3 p;
    QEL_QUAT q;
    EXPECT_EQ(VE_get_pos(root, p), 0);
    EXPECT_EQ(VE_get_orient(root, q), 0);
    EXPECT_EQ(VE_get_pos(unbound, p), 105);
    EXPECT_EQ(VE_get_orient(unbound, q), 105);
    EXPECT_TRUE(near3(p, QEL_VECT3(0, 0, 0)));
    EXPECT_TRUE(same_turn(q, QEL_QUAT().init()));
    EXPECT_EQ(VE_set_pos(nullptr, p), 0);
    EXPECT_EQ(VE_get_pos(nullptr, p), 105);
    EXPECT_EQ(VE_get_orient(nullptr, q), 105);
    EXPECT_EQ(VE_get_radius(nullptr, nullptr), 105);
    EXPECT_EQ(obj_set_pos(nullptr, p, FRAME_PARENT), 101);
    EXPECT_EQ(obj_set_orient(nullptr, q, FRAME_LOCAL), 101);
    EXPECT_EQ(obj_set_relpos(nullptr, p, FRAME_LOCAL), 101);
    EXPECT_EQ(obj_set_releangles(nullptr, p, FRAME_WORLD), 101);
    EXPECT_EQ(obj_set_pivot(nullptr, p, FRAME_WORLD), 101);
}

TEST_F(FramesTest, UnknownTypesAreReported)
{
    MessageLog log({MSG_ERROR});
    const OBJECT_TYPE saved = P->type;
    P->type = static_cast<OBJECT_TYPE>(9);
    QEL_VECT3 p;
    QEL_QUAT q;
    float r = 1.0f;
    EXPECT_EQ(VE_set_pos(P, p.init()), 105);
    EXPECT_EQ(VE_set_orient(P, q.init()), 102);
    EXPECT_EQ(VE_get_orient(P, q), 102);
    EXPECT_EQ(VE_get_pos(P, p), 105);
    EXPECT_EQ(VE_get_radius(P, &r), 105);
    EXPECT_EQ(r, 0.0f);
    P->type = saved;
    EXPECT_EQ(log.entries().size(), 5u);
}

TEST_F(FramesTest, NonFiniteOrZeroPlacementsAreRefused)
{
    const QEL_FRAME before = world(P);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(obj_set_pos(P, {nan, 0, 0}, FRAME_WORLD), 1);
    EXPECT_EQ(obj_set_orient(P, {0, 0, 0, 0}, FRAME_WORLD), 1);
    EXPECT_EQ(obj_set_orient(P, {0, nan, 0, 1}, FRAME_PARENT), 1);
    EXPECT_TRUE(near3(world(P).p, before.p));
    EXPECT_TRUE(same_turn(world(P).q, before.q));
}

// Constraints: limits and locks along the axes of each constraint mode.
struct ConstraintCase {
    const char *name;
    CONSTRAINT_MODE mode;
    int dof;
    unsigned flags;
    float min, max;
    QEL_VECT3 proposed;  // in the constraint frame
    QEL_VECT3 expected;  // in the constraint frame
};

class ConstraintTest : public PlacementTest {
protected:
    QEL_FRAME frame_of_mode(CONSTRAINT_MODE m)
    {
        switch (m) {
        case CONSTRAINT_PARENT: return world(B);
        case CONSTRAINT_LOCAL: return world(P);
        case CONSTRAINT_FRAME: return P->constraint_frame;
        case CONSTRAINT_OBJECT: return world(V);
        default: return QEL_FRAME().init();
        }
    }
};

TEST_F(ConstraintTest, LimitsAndLocksActAlongTheConstraintFramesAxes)
{
    const ConstraintCase cases[] = {
        {"parent max", CONSTRAINT_PARENT, DOF_X, 3, -1, 2, {5, 4, -7}, {2, 4, -7}},
        {"parent min", CONSTRAINT_PARENT, DOF_X, 3, -1, 2, {-4, 1, 1}, {-1, 1, 1}},
        {"parent lock y", CONSTRAINT_PARENT, DOF_Y, 4, 0, 0, {3, 9, 3}, {3, 0.5f, 3}},
        {"local min z", CONSTRAINT_LOCAL, DOF_Z, 1, -0.5f, 0, {1, 1, -3}, {1, 1, -0.5f}},
        {"frame max y", CONSTRAINT_FRAME, DOF_Y, 2, 0, 1.5f, {0, 6, 0}, {0, 1.5f, 0}},
        {"object lock z", CONSTRAINT_OBJECT, DOF_Z, 4, 0, 0, {2, 2, 8}, {2, 2, 0.25f}},
        {"other mode: world", static_cast<CONSTRAINT_MODE>(7), DOF_X, 2, 0, 1, {3, 3, 3}, {1, 3, 3}},
    };
    for (const ConstraintCase &c : cases) {
        SCOPED_TRACE(c.name);
        for (int d = 0; d < 6; ++d)
            obj_set_constrain(P, d, 0, 0, 0);
        P->constraint_frame = QEL_FRAME(QEL_VECT3(1, 2, 3), QEL_VECT3(20, 40, -60));
        P->constraint_object = V;
        ASSERT_EQ(obj_set_constraint_mode(P, c.mode), 0);
        // Start at (0.5, 0.5, 0.25) in the constraint frame, then propose the move.
        const QEL_FRAME K = frame_of_mode(c.mode);
        ASSERT_EQ(obj_set_pos(P, K.xform(QEL_VECT3(0.5f, 0.5f, 0.25f)), FRAME_WORLD), 0);
        const QEL_FRAME K0 = frame_of_mode(c.mode);  // a local frame moved with the object
        ASSERT_EQ(obj_set_constrain(P, c.dof, c.flags, c.min, c.max), 0);
        ASSERT_EQ(obj_set_pos(P, K0.xform(c.proposed), FRAME_WORLD), 0);
        EXPECT_TRUE(near3(K0.invxform(world(P).p), c.expected));
    }
}

TEST_F(ConstraintTest, FullTranslationLockRefusesUntilSuspended)
{
    MessageLog log({MSG_OBJ_POSITION});
    for (int d : {DOF_X, DOF_Y, DOF_Z})
        obj_set_constrain(P, d, 4, 0, 0);
    const QEL_VECT3 start = world(P).p, goal(9, 9, 9);
    EXPECT_EQ(obj_set_pos(P, goal, FRAME_WORLD), 0);
    EXPECT_EQ(obj_set_relpos(P, goal, FRAME_LOCAL), 0);
    EXPECT_TRUE(near3(world(P).p, start));
    EXPECT_TRUE(log.entries().empty());

    obj_suspend_constraints(P);
    obj_suspend_constraints(P);
    obj_resume_constraints(P);
    EXPECT_EQ(obj_set_pos(P, goal, FRAME_WORLD), 0);
    EXPECT_TRUE(near3(world(P).p, goal));
    obj_resume_constraints(P);

    env_set_global_suspend_linkages(1);
    EXPECT_EQ(env_get_global_suspend_linkages(), 1);
    EXPECT_EQ(obj_set_pos(P, start, FRAME_WORLD), 0);
    env_set_global_suspend_linkages(0);
    EXPECT_TRUE(near3(world(P).p, start));
    EXPECT_EQ(log.entries().size(), 2u);
}

TEST_F(ConstraintTest, RotationLocksZeroTheLockedPartsOfTheTurn)
{
    MessageLog log({MSG_OBJ_ORIENTATION});
    obj_set_constraint_mode(P, CONSTRAINT_PARENT);
    obj_set_constrain(P, DOF_RZ, 4, 0, 0);
    const QEL_QUAT start = world(P).q;
    // A turn purely about the parent's z axis is no change at all.
    EXPECT_EQ(obj_set_relorient(P, axis_turn(0, 0, 1, 50), FRAME_PARENT), 0);
    EXPECT_TRUE(same_turn(world(P).q, start));
    // About the parent's x axis the turn goes through whole.
    QEL_QUAT before;
    obj_get_orient(P, before, FRAME_PARENT);
    obj_set_relorient(P, axis_turn(1, 0, 0, 50), FRAME_PARENT);
    QEL_QUAT after;
    obj_get_orient(P, after, FRAME_PARENT);
    EXPECT_TRUE(same_turn(after, compose(before, axis_turn(1, 0, 0, 50))));
    // A mixed turn keeps only its x and y parts, expressed in the parent's axes.
    obj_set_relorient(P, axis_turn(1, 1, 1, 90), FRAME_PARENT);
    QEL_QUAT mixed;
    obj_get_orient(P, mixed, FRAME_PARENT);
    const QEL_QUAT change = compose(after.inverseunit(), mixed);
    EXPECT_NEAR(change.z, 0.0f, 1e-4f);
    EXPECT_GT(std::fabs(change.x), 0.1f);
    EXPECT_EQ(log.entries().size(), 3u);

    for (int d : {DOF_RX, DOF_RY})
        obj_set_constrain(P, d, 4, 0, 0);
    const QEL_QUAT locked = world(P).q;
    EXPECT_EQ(obj_set_orient(P, axis_turn(0, 1, 0, 10), FRAME_WORLD), 0);
    EXPECT_TRUE(same_turn(world(P).q, locked));
    EXPECT_EQ(log.entries().size(), 3u);
}

TEST_F(ConstraintTest, PivotChangeReappliesPositionLimits)
{
    obj_set_constraint_mode(P, CONSTRAINT_PARENT);
    obj_set_pos(P, {0, 0, 0}, FRAME_PARENT);
    obj_set_constrain(P, DOF_X, 2, 0, 1);
    // The new pivot would stand at parent-x 4: the object is pulled back to x 1.
    ASSERT_EQ(obj_set_pivot(P, {4, 0, 0}, FRAME_PARENT), 0);
    QEL_VECT3 p;
    obj_get_pos(P, p, FRAME_PARENT);
    EXPECT_TRUE(near3(p, QEL_VECT3(1, 0, 0)));
}

TEST(ObjMoveConstraint, TogglesOneDegreeOfFreedom)
{
    const CONSTRAINT free_c{0, 0, 0}, limited{3, -1, 1};
    env_set_objmove_constraint(DOF_Z, free_c);
    EXPECT_EQ(env_get_anymove_constraint(), 5);
    EXPECT_EQ(env_get_objmove_constraint(DOF_Z).flags, 0u);
    EXPECT_EQ(env_get_objmove_constraint(DOF_RX).flags, 4u);
    env_set_objmove_constraint(DOF_Z, free_c);
    EXPECT_EQ(env_get_anymove_constraint(), 0);

    env_set_objmove_constraint(DOF_Y, limited);
    env_set_objmove_constraint(DOF_Y, limited);  // not free: stays singled out
    EXPECT_EQ(env_get_anymove_constraint(), 5);
    EXPECT_EQ(env_get_objmove_constraint(DOF_Y).max, 1.0f);
    env_set_objmove_constraint(9, free_c);       // ignored
    EXPECT_EQ(env_get_objmove_constraint(-3).flags, env_get_objmove_constraint(DOF_X).flags);
    env_set_objmove_constraint(DOF_X, free_c);   // another one singled out instead
    env_set_objmove_constraint(DOF_X, free_c);
    EXPECT_EQ(env_get_anymove_constraint(), 0);
}

TEST_F(PlacementTest, MovesAndTurnsAnnounceAndCountOverTheSubtree)
{
    MessageLog log({MSG_OBJ_POSITION, MSG_OBJ_ORIENTATION});
    const unsigned short p0 = P->pos_changes, s0 = S->pos_changes, b0 = B->orient_changes,
                         q0 = P->orient_changes;
    obj_set_pos(B, {1, 1, 1}, FRAME_PARENT);
    obj_set_orient(B, axis_turn(0, 1, 0, 15), FRAME_LOCAL);
    EXPECT_EQ(P->pos_changes, static_cast<unsigned short>(p0 + 1));
    EXPECT_EQ(P->orient_changes, static_cast<unsigned short>(q0 + 1));
    EXPECT_EQ(B->orient_changes, static_cast<unsigned short>(b0 + 1));
    EXPECT_EQ(S->pos_changes, s0);  // a sibling of B's ancestor line stays
    ASSERT_EQ(log.entries().size(), 2u);
    EXPECT_EQ(log.entries()[0], Msg(MSG_OBJ_POSITION, B));
    EXPECT_EQ(log.entries()[1], Msg(MSG_OBJ_ORIENTATION, B));

    P->pos_changes = 0xFFFF;
    obj_set_relpos(A, {0, 0, 1}, FRAME_WORLD);
    EXPECT_EQ(P->pos_changes, 0);
}

}  // namespace
