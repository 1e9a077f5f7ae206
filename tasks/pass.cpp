// The two task passes of a tick.
#include <kivctrl/qel_msg.h>
#include <kivctrl/task.h>

#include "tasks/schedule.h"

namespace {

// Runs the unsuspended tasks of one kind (with or without owner) in priority order. Every
// task, whether it belongs to the pass or not, goes through the active list once, so tasks
// added meanwhile are reached in the same pass.
void run_pass(bool with_owner)
{
    TaskSchedule &s = task_schedule();
    while (void *t = s.done.get(1)) {
        s.done.remove(1);
        s.active.append(t);
    }
    while (auto *t = static_cast<_task *>(s.active.get(1))) {
        s.active.remove(1);
        s.running = t;
        if ((t->owner != nullptr) == with_owner && !t->is_suspended()) {
            msg_send(MSG_TASK_BEGIN, t, 0);
            t->run();
            msg_send(MSG_TASK_END, t, 0);
        }
        if (s.running == t)
            s.done.append(t);
        else
            schedule_destroy(t);  // deleted while running
        s.running = nullptr;
    }
}

void bracketed_pass(bool with_owner, MSG_CODE begin, MSG_CODE end)
{
    TaskSchedule &s = task_schedule();
    if (s.in_pass)
        return;
    s.in_pass = true;
    msg_send(begin, nullptr, 0);
    run_pass(with_owner);
    msg_send(end, nullptr, 0);
    s.in_pass = false;
}

} // namespace

void task_run_global_pass()
{
    bracketed_pass(false, MSG_TASKS_FREE_PASS_BEGIN, MSG_TASKS_FREE_PASS_END);
}

void task_run_object_pass()
{
    bracketed_pass(true, MSG_TASKS_OBJECT_PASS_BEGIN, MSG_TASKS_OBJECT_PASS_END);
}
