// The schedule's storage and its priority order.
#include "tasks/schedule.h"

#include <kivctrl/task.h>

namespace {

// Descending priority; SRTDLIST::append keeps arrival order among equals.
int by_priority(void *a, void *b)
{
    const long pa = static_cast<_task *>(a)->prio;
    const long pb = static_cast<_task *>(b)->prio;
    return pb < pa ? -1 : (pb > pa ? 1 : 0);
}

} // namespace

TaskSchedule::TaskSchedule() : active(by_priority) {}

TaskSchedule &task_schedule()
{
    static TaskSchedule schedule;
    return schedule;
}

void schedule_insert(_task *t)
{
    task_schedule().active.append(t);
}

bool schedule_contains(_task *t)
{
    TaskSchedule &s = task_schedule();
    return t && (s.active.find(t) || s.done.find(t) || s.running == t);
}

void _task::priority(int p)
{
    TaskSchedule &s = task_schedule();
    if (s.active.remove(static_cast<void *>(this))) {
        prio = p;
        s.active.append(this);
    } else {
        prio = p;
    }
}
