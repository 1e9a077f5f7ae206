// The schedule's storage and its priority order.
#include "tasks/schedule.h"

#include <kivctrl/task.h>

#include <vector>

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

void schedule_destroy(_task *t)
{
    task_schedule().makers.erase(t);
    delete t;
}

void schedule_drop_tasks_of(TaskFactory *f)
{
    auto &makers = task_schedule().makers;
    std::vector<_task *> doomed;
    for (const auto &[t, maker] : makers)
        if (maker == f)
            doomed.push_back(t);
    for (_task *t : doomed)
        if (makers.count(t))  // an earlier finish() may have deleted it
            task_delete(task_find(t->owner, t) ? t->owner : nullptr, t);
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
