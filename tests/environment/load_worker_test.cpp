// The background loader: when it runs, what it loads in which order, and how it stops.
#include "tests/environment/loading_fixture.h"

#include <kivctrl/kiv_db.h>
#include <kivctrl/placement.h>

#include <atomic>
#include <future>
#include <map>

namespace {

using kivtest::LoadingTest;
using kivtest::LoadLog;

TEST_F(LoadingTest, WithBackgroundLoadingOffNothingStartsAndTheValuesWait)
{
    _object *a = deferred("a", "a.hpart", 1, QEL_VECT3(0, 0, 0));
    LoadLog log;
    VE_build_tree(root);
    assy->WaitForGeometryLoad();
    EXPECT_TRUE(log.events().empty());
    EXPECT_TRUE(waiting(a));
    EXPECT_EQ(a->active, 0);
}

TEST_F(LoadingTest, TheLoaderActivatesEveryDeferredPartOnItsOwnThread)
{
    _object *on = deferred("on", "on.hpart", 1, QEL_VECT3(0, 0, 0));
    _object *off = deferred("off", "off.hpart", 1, QEL_VECT3(2, 0, 0), 0);
    _object *face = db_create_face_obj(on);
    face->face_index = 0;
    face->vars.add("_ACTIVE", reinterpret_cast<void *>(std::intptr_t{1}));
    LoadLog log;
    build_in_background();
    assy->WaitForGeometryLoad();

    EXPECT_EQ(log.events(), (std::vector<std::string>{"started", "finished"}));
    ASSERT_EQ(log.threads().size(), 2u);
    EXPECT_NE(log.threads()[0], std::this_thread::get_id());
    EXPECT_EQ(log.threads()[0], log.threads()[1]);
    EXPECT_EQ(on->active, 1);
    EXPECT_EQ(face->active, 1);
    EXPECT_EQ(off->active, 0);
    EXPECT_FALSE(waiting(on) || waiting(off) || waiting(face));
    // The placeholder gave way to the file's triangle.
    ASSERT_NE(on->geolist.get(1)->handle, nullptr);
    EXPECT_EQ(on->gsobject, on->geolist.get(1)->handle);
    EXPECT_GT(log.replaced(), 0);
}

TEST_F(LoadingTest, ATreeWithNothingDeferredIsVisitedAndLeftAsItIs)
{
    _object *group = make(root, OBJ_GROUP, "g");
    LoadLog log;
    build_in_background();
    assy->WaitForGeometryLoad();
    EXPECT_EQ(log.events(), (std::vector<std::string>{"started", "finished"}));
    EXPECT_TRUE(log.names().empty());
    EXPECT_EQ(group->parent, root);
}

// The eye is at (0, 0, -50). Parts of equal size load nearest first; a part centred on the eye
// counts as size 0 and waits with the parts that have no extents, in tree order.
TEST_F(LoadingTest, BiggestLookingPartsLoadFirst)
{
    deferred("far", "far.hpart", 1, QEL_VECT3(0, 0, 50));
    deferred("none", "none.hpart", 0, QEL_VECT3(0, 0, 0));
    deferred("near", "near.hpart", 1, QEL_VECT3(0, 0, -40));
    deferred("at eye", "eye.hpart", 1, QEL_VECT3(0, 0, -50));
    deferred("none 2", "none2.hpart", 0, QEL_VECT3(0, 0, 0));
    deferred("big", "big.hpart", 30, QEL_VECT3(0, 0, 50));
    LoadLog log;
    build_in_background();
    assy->WaitForGeometryLoad();
    EXPECT_EQ(log.names(),
              (std::vector<std::string>{"big", "near", "far", "none", "at eye", "none 2"}));
}

TEST_F(LoadingTest, InstancesOfOneFileLoadBackToBack)
{
    deferred("a1", "a.hpart", 8, QEL_VECT3(0, 0, 0));
    deferred("b", "b.hpart", 6, QEL_VECT3(0, 0, 0));
    deferred("a2", "a.hpart", 4, QEL_VECT3(0, 0, 0));
    deferred("c", "c.hpart", 3, QEL_VECT3(0, 0, 0));
    deferred("a3", "a.hpart", 1, QEL_VECT3(0, 0, 0));
    LoadLog log;
    build_in_background();
    assy->WaitForGeometryLoad();
    EXPECT_EQ(log.names(), (std::vector<std::string>{"a1", "a2", "a3", "b", "c"}));
    EXPECT_EQ(parts.reads(), 3);  // the instances came from the cache
}

TEST_F(LoadingTest, MovingTheEyeDuringALoadReordersWhatIsLeft)
{
    deferred("first", "first.hpart", 20, QEL_VECT3(0, 0, 0));
    deferred("left", "left.hpart", 1, QEL_VECT3(-30, 0, -40));
    deferred("right", "right.hpart", 1, QEL_VECT3(30, 0, -45));
    parts.hold_at("first.hpart");
    LoadLog log;
    build_in_background();
    parts.wait_until_held();
    // As a tick would: under the geometry lock.
    ASSERT_TRUE(assy->AccessGeometryWait());
    obj_set_pos(eye, QEL_VECT3(-30, 0, -50), FRAME_WORLD);
    assy->ReleaseGeometry();
    parts.release();
    assy->WaitForGeometryLoad();
    EXPECT_EQ(log.names(), (std::vector<std::string>{"first", "left", "right"}));
}

TEST_F(LoadingTest, WithoutAMoveTheOrderStands)
{
    deferred("first", "first.hpart", 20, QEL_VECT3(0, 0, 0));
    deferred("left", "left.hpart", 1, QEL_VECT3(-30, 0, -40));
    deferred("right", "right.hpart", 1, QEL_VECT3(30, 0, -45));
    LoadLog log;
    build_in_background();
    assy->WaitForGeometryLoad();
    EXPECT_EQ(log.names(), (std::vector<std::string>{"first", "right", "left"}));
}

// Holds the loader inside the activation of one part (under the geometry lock) until the
// assembly's deletion is announced; records what each part still waited for when freed.
struct DeletionWatch : MsgHandlerImp {
    explicit DeletionWatch(std::string part) : part(std::move(part)) { msg_handler_register(this); }
    ~DeletionWatch() override { msg_handler_unregister(this); }
    const char *name() override { return "test deletion watch"; }
    int priority() override { return 1; }  // after the loader's own stop handler
    int handle(short code, void *data, std::intptr_t) override
    {
        std::unique_lock lock(mutex);
        auto *o = static_cast<_object *>(data);
        if (code == MSG_OBJ_ACTIVATED && o->type == OBJ_OBJECT && o->name && o->name == part) {
            inside = true;
            changed.notify_all();
            changed.wait(lock, [this] { return deleting; });
        } else if (code == MSG_ASSEMBLY_DELETING) {
            deleting = true;
            changed.notify_all();
        } else if (code == MSG_LOAD_FINISHED) {
            finished = true;
        } else if (code == MSG_OBJ_FREEING && o->type == OBJ_OBJECT) {
            still_waiting[o] = o->vars.find("_ACTIVE") != 0;
        }
        return 0;
    }
    void wait_inside()
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [this] { return inside; });
    }
    std::string part;
    std::mutex mutex;
    std::condition_variable changed;
    bool inside = false, deleting = false, finished = false;
    std::map<_object *, bool> still_waiting;
};

TEST_F(LoadingTest, DeletingTheAssemblyStopsAfterThePartUnderWay)
{
    _object *first = deferred("first", "first.hpart", 20, QEL_VECT3(0, 0, 0));
    _object *second = deferred("second", "second.hpart", 10, QEL_VECT3(0, 0, 0));
    _object *third = deferred("third", "third.hpart", 5, QEL_VECT3(0, 0, 0));
    DeletionWatch watch("first");
    build_in_background();
    watch.wait_inside();
    db_delete_assembly(assy);
    assy = nullptr;
    // Deletion went on only after the loader had ended.
    EXPECT_TRUE(watch.finished);
    EXPECT_EQ(watch.still_waiting,
              (std::map<_object *, bool>{{first, false}, {second, true}, {third, true}}));
}

TEST_F(LoadingTest, DeletingAnotherAssemblyLetsTheLoadGoOn)
{
    deferred("first", "first.hpart", 20, QEL_VECT3(0, 0, 0));
    deferred("second", "second.hpart", 10, QEL_VECT3(0, 0, 0));
    KivAssembly *other = db_new_assembly("other");
    parts.hold_at("first.hpart");
    LoadLog log;
    build_in_background();
    parts.wait_until_held();
    db_delete_assembly(other);
    parts.release();
    assy->WaitForGeometryLoad();
    EXPECT_EQ(log.names(), (std::vector<std::string>{"first", "second"}));
}

TEST_F(LoadingTest, APartDeletedWhileQueuedIsSkipped)
{
    deferred("first", "first.hpart", 20, QEL_VECT3(0, 0, 0));
    _object *gone = deferred("gone", "gone.hpart", 10, QEL_VECT3(0, 0, 0));
    deferred("last", "last.hpart", 5, QEL_VECT3(0, 0, 0));
    parts.hold_at("first.hpart");
    LoadLog log;
    build_in_background();
    parts.wait_until_held();
    ASSERT_TRUE(assy->AccessGeometryWait());
    EXPECT_EQ(db_delete_obj(gone), 0);
    assy->ReleaseGeometry();
    parts.release();
    assy->WaitForGeometryLoad();
    EXPECT_EQ(log.names(), (std::vector<std::string>{"first", "last"}));
}

TEST_F(LoadingTest, AWaitThatBeginsBeforeTheThreadRunsWaitsForTheLoad)
{
    deferred("first", "first.hpart", 20, QEL_VECT3(0, 0, 0));
    parts.hold_at("first.hpart");
    build_in_background();
    // The event was reset before the thread started: this wait cannot be over yet.
    auto waited = std::async(std::launch::async, [this] { assy->WaitForGeometryLoad(); });
    EXPECT_EQ(waited.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
    parts.release();
    waited.get();
}

TEST_F(LoadingTest, TwoLoadersOnOneAssemblyCompleteTogether)
{
    _object *g1 = make(root, OBJ_GROUP, "g1");
    _object *g2 = make(root, OBJ_GROUP, "g2");
    _object *a = deferred("a", "a.hpart", 1, QEL_VECT3(0, 0, 0), 1, g1);
    _object *b = deferred("b", "b.hpart", 1, QEL_VECT3(0, 0, 0), 1, g2);
    parts.hold_at("b.hpart");
    env_set_threading(true);
    VE_build_tree(g1);
    VE_build_tree(g2);
    parts.wait_until_held();
    // The first loader may be done; the event stays reset while the second runs.
    auto waited = std::async(std::launch::async, [this] { assy->WaitForGeometryLoad(); });
    EXPECT_EQ(waited.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
    parts.release();
    waited.get();
    EXPECT_EQ(a->active, 1);
    EXPECT_EQ(b->active, 1);
}

TEST_F(LoadingTest, SwitchingBackgroundLoadingOffMidwayStillAppliesEverything)
{
    _object *first = deferred("first", "first.hpart", 20, QEL_VECT3(0, 0, 0));
    _object *second = deferred("second", "second.hpart", 10, QEL_VECT3(0, 0, 0));
    parts.hold_at("first.hpart");
    build_in_background();
    parts.wait_until_held();
    env_set_threading(false);
    parts.release();
    assy->WaitForGeometryLoad();
    EXPECT_EQ(first->active, 1);
    EXPECT_EQ(second->active, 1);
    EXPECT_FALSE(waiting(second));
}

}  // namespace
