// Whole-time-line edits: inserted and removed frames, mirror, reverse and sort.
#include "animation/anim_fixture.h"

#include <kivctrl/objlist.h>

namespace {

TEST_F(AnimTest, InsertingFramesMovesPlacementsStartingAtOrAfterThePoint)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    _object *q = make(root, OBJ_OBJECT, "q");
    _path *a = line_path(2);
    _path *b = line_path(2);
    anim_add_path(o, a, 10.0, 1);
    anim_add_path(q, b, 9.0, 1);
    std::vector<_object *> changed;
    struct Watch : MsgHandlerImp {
        std::vector<_object *> *out;
        const char *name() override { return "frames inserted"; }
        int handle(short code, void *data, std::intptr_t) override
        {
            if (code == MSG_FRAMES_INSERTED) {
                OBJLIST_ITER it(*static_cast<OBJLIST *>(data));
                while (it.next())
                    out->push_back(it.getdata());
            }
            return 0;
        }
    } watch;
    watch.out = &changed;
    msg_handler_register(&watch);
    anim_insert_frames(assy, 10, 5);
    msg_handler_unregister(&watch);
    EXPECT_EQ(starts(o), std::vector<double>{15.0});
    EXPECT_EQ(starts(q), std::vector<double>{9.0});
    EXPECT_EQ(frames_of(a), range(15, 25));
    EXPECT_EQ(changed, std::vector<_object *>{o});
}

TEST_F(AnimTest, InsertingFramesIgnoresBadArguments)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    anim_add_path(o, line_path(2), 0.0, 1);
    for (auto [at, count] : {std::pair{0, 0}, {12, 5}, {-1, 5}, {0, -3}}) {
        anim_insert_frames(assy, at, count);
        EXPECT_EQ(starts(o), std::vector<double>{0.0}) << at << " " << count;
    }
    anim_insert_frames(nullptr, 0, 5);
}

TEST_F(AnimTest, RemovingFramesDropsPlacementsInsideAndPullsLaterOnesIn)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    _path *inside = make_path("inside", {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}}, 2.0);
    _path *later = line_path(2);
    anim_add_path(o, inside, 2.0, 1);  // 2..8
    anim_add_path(o, later, 12.0, 1);  // 12..22
    anim_remove_frames(assy, 0.0, 10.0);
    EXPECT_EQ(starts(o), std::vector<double>{2.0});
    EXPECT_TRUE(frames_of(inside).empty());
    EXPECT_EQ(frames_of(later), range(2, 12));
    EXPECT_EQ(frames(), 13);
}

TEST_F(AnimTest, RemovingFramesDropsPlacementsThatOverlapTheCut)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    _path *covering = line_path(3);  // 0..20 covers 5..10
    _path *ending = line_path(2);    // ends at 15, inside (10, 15]
    _path *after = line_path(2);     // 30..40
    _object *q = make(root, OBJ_OBJECT, "q");
    anim_add_path(o, covering, 0.0, 1);
    anim_add_path(q, ending, 5.0, 1);
    anim_add_path(q, after, 30.0, 1);
    anim_remove_frames(assy, 5.0, 15.0);
    EXPECT_TRUE(starts(o).empty());
    EXPECT_EQ(starts(q), std::vector<double>{20.0});
    // Bad ranges change nothing.
    for (auto [c, d] : {std::pair{-1.0, 5.0}, {5.0, 5.0}, {6.0, 2.0}, {0.0, 1000.0}}) {
        anim_remove_frames(assy, c, d);
        EXPECT_EQ(starts(q), std::vector<double>{20.0}) << c << " " << d;
    }
}

TEST_F(AnimTest, MirrorAppendsTheTimeLineBackwards)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    _path *p = line_path(3);
    anim_add_path(o, p, 0.0, 1);
    anim_mirror(assy);
    EXPECT_EQ(frames(), 41);
    ASSERT_EQ(starts(o), (std::vector<double>{0.0, 20.0}));
    EXPECT_EQ(anim_find_object(o)->paths[1]->direction, -1);
    EXPECT_EQ(at(40, p)[0].segment, 0);  // the mirror ends where the path began
}

TEST_F(AnimTest, ReversePlaysTheOldEndFirstOverTheSameSpan)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    _object *q = make(root, OBJ_OBJECT, "q");
    _path *early = line_path(2);  // 0..10
    _path *late = line_path(2);   // 10..20 on another object
    anim_add_path(o, early, 0.0, 1);
    anim_add_path(q, late, 10.0, 1);
    anim_reverse(assy);
    EXPECT_EQ(frames(), 21);
    ASSERT_EQ(starts(o), std::vector<double>{10.0});
    ASSERT_EQ(starts(q), std::vector<double>{0.0});
    EXPECT_EQ(anim_find_object(o)->paths[0]->direction, -1);
    EXPECT_EQ(at(0, late)[0].segment, 1);  // the late path's last node comes first
}

TEST_F(AnimTest, SortOrdersObjectsByDistanceFromTheFrame)
{
    _object *far = make(root, OBJ_OBJECT, "far");
    _object *idle = make(root, OBJ_OBJECT, "idle");
    _object *near = make(root, OBJ_OBJECT, "near");
    _object *here = make(root, OBJ_OBJECT, "here");
    anim_add_path(far, line_path(2), 50.0, 1);   // 50..60: distance 30
    anim_add_object(idle);                       // no placements: 1e9
    anim_add_path(near, line_path(2), 0.0, 1);   // 0..10: end + 1 = 11, distance 9
    anim_add_path(here, line_path(2), 15.0, 1);  // covers 20
    anim_add_path(root, line_path(2), 0.0, 1);
    anim_sort(assy, 20);
    std::vector<_object *> order;
    for (const auto &rec : anim()->objects)
        order.push_back(rec->object);
    EXPECT_EQ(order, (std::vector<_object *>{root, here, near, far, idle}));
    anim_sort(assy, -1);
    anim_sort(nullptr, 3);
}

}  // namespace
