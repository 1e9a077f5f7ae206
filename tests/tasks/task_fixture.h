// Fixture of the task tests: one assembly, probe kinds registered for the test's duration,
// and every task gone afterwards.
#pragma once

#include "database/db_fixture.h"
#include "tasks/probe_task.h"

#include <kivctrl/task.h>

class TaskTest : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        probe_log().clear();
        probes_destroyed() = 0;
        task_register(&probe);
        task_register(&other);
        task_register(&internal);
    }
    void TearDown() override
    {
        for (const char *kind : {"probe", "other", "internal"})
            while (task_find(nullptr, kind))
                task_delete(nullptr, kind);
        DbTest::TearDown();
        task_unregister(&internal);
        task_unregister(&other);
        task_unregister(&probe);
    }

    ProbeTask *add(_object *owner, const char *kind, const char *tag)
    {
        return static_cast<ProbeTask *>(task_add(owner, kind, tag));
    }

    // Both passes of one tick.
    static void tick()
    {
        task_run_global_pass();
        task_run_object_pass();
    }

    ProbeFactory probe{"probe", 100};
    ProbeFactory other{"other", 1000};
    ProbeFactory internal{"internal", 10000, false};
};
