// The factory registry, the two passes of a tick, changes made from inside run(), suspension.
#include "tasks/task_fixture.h"

#include <kivctrl/placement.h>

#include <string>
#include <vector>

using Tags = std::vector<std::string>;

TEST_F(TaskTest, RegisteringANameInAnotherCaseReplacesTheFactory)
{
    ProbeFactory upper("PROBE", 5);
    ProbeTask *old = add(root, "probe", "old");
    const int before = task_count();
    const int old_position = task_get_index(&probe);
    MessageLog log({MSG_TASK_REGISTERED, MSG_TASK_UNREGISTERED});
    task_register(&upper);
    EXPECT_EQ(log.entries(), (std::vector<Msg>{{MSG_TASK_UNREGISTERED, &probe},
                                             {MSG_TASK_REGISTERED, &upper}}));
    EXPECT_EQ(task_count(), before);
    EXPECT_EQ(task_get_index(&probe), 0);
    EXPECT_EQ(task_get_index(&upper), before);
    EXPECT_EQ(task_get_factory("Probe"), &upper);
    EXPECT_EQ(task_get_factory(before), &upper);
    EXPECT_EQ(task_get_factory(before + 1), nullptr);
    EXPECT_EQ(task_get_factory(0), nullptr);
    EXPECT_GE(old_position, 1);

    ProbeTask *t = add(root, "probe", "x");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->priority(), 5);
    // Leaving, a factory takes the tasks it made along; the replaced one's task stays.
    task_unregister(&upper);
    EXPECT_EQ(task_get_factory("probe"), nullptr);
    EXPECT_EQ(task_add(root, "probe", "y"), nullptr);  // unknown kind: nothing happens
    ASSERT_EQ(root->tasklist.count(), 1);
    EXPECT_EQ(root->tasklist.get(1), old);
    task_register(&probe);
}

TEST_F(TaskTest, PassesRunByOwnershipThenPriorityThenArrival)
{
    _object *part = make(root, OBJ_OBJECT, "part");
    add(part, "probe", "part-100-first");
    task_add(nullptr, 50, "probe", "free-50");
    add(root, "internal", "root-10000");
    add(nullptr, "other", "free-1000");
    add(part, "probe", "part-100-second");
    task_add(root, -10000, "other", "root-minus");
    add(nullptr, "internal", "free-10000");

    MessageLog log({MSG_TASKS_FREE_PASS_BEGIN, MSG_TASKS_FREE_PASS_END, MSG_TASKS_OBJECT_PASS_BEGIN,
                    MSG_TASKS_OBJECT_PASS_END, MSG_TASK_BEGIN, MSG_TASK_END});
    tick();
    EXPECT_EQ(probe_log(), (Tags{"free-10000", "free-1000", "free-50", "root-10000",
                                 "part-100-first", "part-100-second", "root-minus"}));
    ASSERT_EQ(log.entries().size(), 2u + 2 * 7 + 2);
    EXPECT_EQ(log.entries().front().first, MSG_TASKS_FREE_PASS_BEGIN);
    EXPECT_EQ(log.entries()[1], Msg(MSG_TASK_BEGIN, task_find(nullptr, "internal")));
    EXPECT_EQ(log.entries()[2], Msg(MSG_TASK_END, task_find(nullptr, "internal")));
    EXPECT_EQ(log.entries()[7].first, MSG_TASKS_FREE_PASS_END);
    EXPECT_EQ(log.entries()[8].first, MSG_TASKS_OBJECT_PASS_BEGIN);
    EXPECT_EQ(log.entries().back().first, MSG_TASKS_OBJECT_PASS_END);

    // A second tick runs the same order again; a priority change reorders.
    probe_log().clear();
    task_find(part, "probe")->priority(20000);
    tick();
    EXPECT_EQ(probe_log(), (Tags{"free-10000", "free-1000", "free-50", "part-100-first",
                                 "root-10000", "part-100-second", "root-minus"}));
}

TEST_F(TaskTest, ATaskDeletingItselfIsDestroyedOnceAfterItsRun)
{
    ProbeTask *self = add(root, "probe", "self");
    add(root, "probe", "after");
    bool alive_after_delete = false;
    self->hook = [&](ProbeTask *t) {
        task_delete(root, t);
        task_delete(root, t);  // a second delete of the same task does nothing
        alive_after_delete = t->tag == "self" && probes_destroyed() == 0;
        EXPECT_EQ(task_find(nullptr, t), nullptr);
    };
    MessageLog log({MSG_TASK_END});
    tick();
    EXPECT_TRUE(alive_after_delete);
    EXPECT_EQ(probes_destroyed(), 1);
    EXPECT_EQ(log.entries().front(), Msg(MSG_TASK_END, self));
    EXPECT_EQ(root->tasklist.count(), 1);
    probe_log().clear();
    tick();
    EXPECT_EQ(probe_log(), Tags{"after"});
}

TEST_F(TaskTest, TasksAddedOrDeletedDuringAPassTakeEffectInThatPass)
{
    _object *part = make(root, OBJ_OBJECT, "part");
    auto *first = static_cast<ProbeTask *>(task_add(part, 5000, "probe", "first"));
    ProbeTask *waiting = add(part, "other", "waiting");  // 1000: would run after first
    auto *done_one = static_cast<ProbeTask *>(task_add(part, 9000, "internal", "done"));
    ASSERT_TRUE(first && waiting && done_one);
    add(nullptr, "probe", "free");
    first->hook = [&](ProbeTask *) {
        task_delete(part, waiting);     // not run yet
        task_delete(part, done_one);    // already ran in this pass
        task_delete(nullptr, "probe");  // the free task, ran in the first pass
        add(part, "probe", "added-low");  // 100: after first
        task_add(part, 20000, "other", "added-high");  // above first: next in line
        first->hook = nullptr;
    };
    tick();
    EXPECT_EQ(probe_log(), (Tags{"free", "done", "first", "added-high", "added-low"}));
    EXPECT_EQ(probes_destroyed(), 3);
    EXPECT_EQ(part->tasklist.count(), 3);
    EXPECT_EQ(task_find(nullptr, "probe"), nullptr);
    probe_log().clear();
    tick();
    EXPECT_EQ(probe_log(), (Tags{"added-high", "first", "added-low"}));
}

TEST_F(TaskTest, DeletingTheOwnerOrThroughTheScheduleRemovesEverywhere)
{
    _object *part = make(root, OBJ_OBJECT, "part");
    ProbeTask *a = add(part, "probe", "a");
    ProbeTask *b = add(part, "other", "b");
    add(root, "probe", "root");
    task_delete(nullptr, b);  // known to the schedule: also leaves its owner's list
    EXPECT_EQ(part->tasklist.count(), 1);
    a->hook = [&](ProbeTask *) { db_delete_obj(part); };  // the owner goes while a runs
    tick();
    tick();
    EXPECT_EQ(probe_log(), (Tags{"a", "root", "root"}));
    EXPECT_EQ(probes_destroyed(), 2);
}

TEST_F(TaskTest, SuspendedTasksStayScheduledButDoNotRun)
{
    _object *part = make(root, OBJ_OBJECT, "part");
    add(part, "probe", "p");
    ProbeTask *hinge = static_cast<ProbeTask *>(task_add(part, 1000, "other", "hinge"));
    add(root, "internal", "animate");
    task_add(root, -10000, "probe", "lod");
    task_suspend(part, "probe");
    tick();
    EXPECT_EQ(probe_log(), (Tags{"animate", "hinge", "lod"}));
    task_resume(part, "probe");

    probe_log().clear();
    env_set_global_suspend_linkages(1);
    EXPECT_EQ(env_get_global_suspend_linkages(), 1);
    tick();
    EXPECT_EQ(probe_log(), (Tags{"animate", "lod"}));
    EXPECT_TRUE(hinge->is_suspended());
    env_set_global_suspend_linkages(0);
    probe_log().clear();
    tick();
    EXPECT_EQ(probe_log(), (Tags{"animate", "hinge", "p", "lod"}));

    // The switch thrown from inside a run also covers the running task.
    hinge->hook = [](ProbeTask *) { task_global_suspend(1, 1500, 0); };
    tick();
    EXPECT_TRUE(hinge->is_suspended());
    task_suspend(root, hinge);  // not the owner's: ignored
    task_resume(part, hinge);
    EXPECT_FALSE(hinge->is_suspended());
}

TEST_F(TaskTest, APassRequestedFromInsideARunDoesNothing)
{
    ProbeTask *outer = add(root, "probe", "outer");
    outer->hook = [](ProbeTask *) { task_run_object_pass(); };
    tick();
    EXPECT_EQ(probe_log(), Tags{"outer"});
}
