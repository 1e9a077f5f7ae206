// The time line: placements expanded to frame entries, removal, rippling and refusals.
#include "animation/anim_fixture.h"

namespace {

TEST_F(AnimTest, ForwardPlacementFillsOneEntryPerFrameWithSegmentAndTime)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    _path *p = line_path(3);
    ASSERT_EQ(anim_add_path(o, p, 0.0, 1), 0);
    ASSERT_EQ(frames(), 21);
    for (int k = 0; k <= 20; ++k) {
        const auto a = at(k, p);
        ASSERT_EQ(a.size(), 1u) << k;
        EXPECT_EQ(a[0].object, o);
        EXPECT_EQ(a[0].segment, k / 10) << k;
        EXPECT_DOUBLE_EQ(a[0].time, (k % 10) / 10.0) << k;
    }
}

TEST_F(AnimTest, BackwardPlacementCountsSegmentsFromTheEnd)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    _path *p = line_path(3);
    ASSERT_EQ(anim_add_path(o, p, 0.0, -1), 0);
    ASSERT_EQ(frames(), 21);
    for (int k = 0; k <= 20; ++k) {
        const int expected = k == 0 ? 2 : k <= 10 ? 1 : 0;
        EXPECT_EQ(at(k, p)[0].segment, expected) << k;
    }
    EXPECT_DOUBLE_EQ(at(5, p)[0].time, 0.5);
    EXPECT_DOUBLE_EQ(at(10, p)[0].time, 0.0);
}

TEST_F(AnimTest, PlacementAtFiveSpansFramesFiveToTwentyFive)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    _path *p = line_path(3);
    ASSERT_EQ(anim_add_path(o, p, 5.0, 1), 0);
    EXPECT_EQ(frames(), 26);
    EXPECT_EQ(frames_of(p), range(5, 25));
    EXPECT_EQ(o->pathptr, p);  // placing associates the path with its object
    EXPECT_EQ(p->associated_object, o);
}

TEST_F(AnimTest, SamePlacementTwiceAddsNothing)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    _path *p = line_path(2);
    MessageLog log({MSG_ANIMPATH_CREATED, MSG_ANIM_PATH_ADDED});
    anim_add_path(o, p, 0.0, 1);
    anim_add_path(o, p, 0.0, 1);
    EXPECT_EQ(log.entries().size(), 2u);
    EXPECT_EQ(at(3, p).size(), 1u);
    EXPECT_EQ(starts(o), std::vector<double>{0.0});
}

TEST_F(AnimTest, ListIsDestroyedWithItsLastPlacementAndMadeAgainOnNeed)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    _path *p = line_path(2);
    MessageLog log({MSG_ANIM_CREATED, MSG_ANIM_CLEARED});
    anim_add_path(o, p, 0.0, 1);
    ASSERT_NE(anim(), nullptr);
    anim_remove_path(o, p, 0.0, 1);
    EXPECT_EQ(frames(), 0);
    anim_check_clear();
    EXPECT_EQ(anim(), nullptr);
    anim_add_path(o, p, 0.0, 1);
    ASSERT_EQ(log.entries().size(), 3u);
    EXPECT_EQ(log.entries()[0].first, MSG_ANIM_CREATED);
    EXPECT_EQ(log.entries()[1].first, MSG_ANIM_CLEARED);
    EXPECT_EQ(log.entries()[2].first, MSG_ANIM_CREATED);
}

TEST_F(AnimTest, RemovalMatchesDirectionAndLeavesTheOtherPlacement)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    _path *p = line_path(3);
    anim_add_path(o, p, 0.0, 1);
    anim_add_path(o, p, 0.0, -1);
    anim_remove_path(o, p, 0.0, -1);
    EXPECT_EQ(frames(), 21);
    for (int k = 0; k <= 20; ++k) {
        const auto a = at(k, p);
        ASSERT_EQ(a.size(), 1u) << k;
        EXPECT_EQ(a[0].direction, 1);
        EXPECT_EQ(a[0].segment, k / 10);
    }
}

TEST_F(AnimTest, FractionalStartFillsTheFramesItCoversAndLeavesNothingBehind)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    _path *p = line_path(2);
    ASSERT_EQ(anim_add_path(o, p, 2.5, 1), 0);
    EXPECT_EQ(frames_of(p), range(3, 12));
    EXPECT_DOUBLE_EQ(at(3, p)[0].time, 0.05);
    anim_remove_path(o, p, 2.5, 1);
    EXPECT_TRUE(frames_of(p).empty());
    EXPECT_EQ(frames(), 0);
}

TEST_F(AnimTest, OutOfRangePlacementsAreRefusedAndReported)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    struct Case {
        const char *what;
        double start;
        double steps;
    };
    const Case cases[] = {
        {"negative start", -1.0, 10.0},
        {"zero steps", 0.0, 0.0},
        {"negative steps", 0.0, -2.0},
        {"steps not a number", 0.0, std::nan("")},
        {"start not a number", std::nan(""), 10.0},
        {"infinite start", INFINITY, 10.0},
        {"past the frame cap", ANIM_MAX_FRAMES, 10.0},
        {"huge steps", 0.0, 1e12},
    };
    for (const Case &c : cases) {
        _path *p = line_path(3, c.steps);
        MessageLog log({MSG_ERROR});
        EXPECT_EQ(anim_add_path(o, p, c.start, 1), 1) << c.what;
        EXPECT_EQ(log.entries().size(), 1u) << c.what;
        EXPECT_EQ(frames(), 0) << c.what;
    }
    EXPECT_EQ(anim_add_path(nullptr, line_path(2), 0.0, 1), 1);
    EXPECT_EQ(anim_remove_path(nullptr, nullptr, 0.0, 1), 1);
}

TEST_F(AnimTest, EmptyPathIsPlacedWithoutFrames)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    _path *empty = path_create("empty", nullptr, nullptr, 0);
    empty->steps = 0.5;
    ASSERT_EQ(anim_add_path(o, empty, 0.0, 1), 0);
    EXPECT_EQ(frames(), 0);
    EXPECT_EQ(starts(o), std::vector<double>{0.0});
}

TEST_F(AnimTest, LengtheningAPathPushesLaterPlacementsOfTheSameObjectBack)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    _path *a = line_path(2);  // 0..10
    _path *b = line_path(2);  // 10..20
    _path *c = line_path(2);  // 20..30
    anim_add_path(o, a, 0.0, 1);
    anim_add_path(o, b, 10.0, 1);
    anim_add_path(o, c, 20.0, 1);
    a->appendPathNode(new PathNode);  // a now ends at 20
    EXPECT_EQ(anim_update_path(o, a), 0);
    EXPECT_EQ(starts(o), (std::vector<double>{0.0, 20.0, 30.0}));
    EXPECT_EQ(frames_of(a), range(0, 20));
    EXPECT_EQ(frames_of(b), range(20, 30));
    EXPECT_EQ(frames_of(c), range(30, 40));
    EXPECT_EQ(anim_update_path(o, line_path(2)), 1);
    EXPECT_EQ(anim_update_path(make(root, OBJ_OBJECT, "x"), a), 1);
}

TEST_F(AnimTest, PathFitFindsTheFirstOverlap)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    _path *a = line_path(2);
    _path *b = line_path(2);
    anim_add_path(o, a, 0.0, 1);   // 0..10
    anim_add_path(o, b, 20.0, 1);  // 20..30
    _path *probe = line_path(2);
    EXPECT_EQ(anim_path_fit(o, probe, 5.0)->path, a);
    EXPECT_EQ(anim_path_fit(o, probe, 10.0), nullptr);  // touching is no overlap
    EXPECT_EQ(anim_path_fit(o, probe, 15.0)->path, b);
    EXPECT_EQ(anim_path_fit(o, probe, -1.0), nullptr);
}

TEST_F(AnimTest, RemovingAnObjectRemovesItsPlacementsAndRecord)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    _object *q = make(root, OBJ_OBJECT, "q");
    _path *a = line_path(2);
    _path *b = line_path(3);
    anim_add_path(o, a, 0.0, 1);
    anim_add_path(q, b, 0.0, 1);
    MessageLog log({MSG_ANIMOBJ_DESTROYED});
    EXPECT_EQ(anim_remove_object(o), nullptr);
    EXPECT_EQ(anim_find_object(o), nullptr);
    EXPECT_TRUE(frames_of(a).empty());
    EXPECT_EQ(frames_of(b), range(0, 20));
    EXPECT_EQ(log.entries().size(), 1u);
}

TEST_F(AnimTest, RootRecordComesFirst)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    anim_add_object(o);
    anim_add_object(root);
    ASSERT_EQ(anim()->objects.size(), 2u);
    EXPECT_EQ(anim()->objects[0]->object, root);
    EXPECT_EQ(anim_add_object(o), anim()->objects[1].get());
}

TEST_F(AnimTest, ClearDestroysTheListAndAnnouncesRecordsStillAlive)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    _path *p = line_path(2);
    anim_add_path(o, p, 0.0, 1);
    _anim_struct *list = anim();
    MessageLog log({MSG_ANIMPATH_DESTROYED, MSG_ANIM_PATH_REMOVED, MSG_ANIMOBJ_DESTROYED,
                    MSG_ANIM_CLEARED});
    EXPECT_EQ(anim_clear(), 0);
    EXPECT_EQ(anim(), nullptr);
    ASSERT_EQ(log.entries().size(), 4u);
    EXPECT_EQ(log.entries()[3], Msg(MSG_ANIM_CLEARED, list));
    EXPECT_EQ(p->associated_object, o);  // the path itself stays
}

TEST_F(AnimTest, HighlightAnnouncesEveryPlacement)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    anim_add_path(o, line_path(2), 0.0, 1);
    anim_add_path(o, line_path(2), 10.0, 1);
    MessageLog log({MSG_TRACK_HILITE});
    EXPECT_EQ(anim_hilite_track(o, 1), 1);
    ASSERT_EQ(log.entries().size(), 2u);
    EXPECT_EQ(log.entries()[0].second, anim_find_object(o)->paths[0].get());
}

TEST_F(AnimTest, LargeTimeLineStaysUnderSixtyFourBytesPerObjectFrame)
{
    const int objects = 37;  // an awkward count for any doubling growth
    const int nodes = 101;
    for (int i = 0; i < objects; ++i)
        anim_add_path(make(root, OBJ_OBJECT, "o"), line_path(nodes), 0.0, 1);
    ASSERT_EQ(frames(), (nodes - 1) * 10 + 1);
    const double per = static_cast<double>(anim()->frame_bytes()) / (objects * frames());
    EXPECT_LT(per, 64.0);
}

}  // namespace
