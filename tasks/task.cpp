// Adding, finding, deleting and suspending tasks.
#include <kivctrl/kiv_db.h>
#include <kivctrl/task.h>

#include "tasks/schedule.h"

#include <strings.h>

#include <algorithm>
#include <vector>

namespace {

bool is_kind(_task *t, const char *name)
{
    const char *kind = t ? t->name() : nullptr;
    return kind && name && strcasecmp(kind, name) == 0;
}

_task *first_of_kind(ILIST &list, const char *name, bool without_owner)
{
    ILIST_ITER it(list);
    while (it.next()) {
        auto *t = static_cast<_task *>(it.getdata());
        if ((!without_owner || !t->owner) && is_kind(t, name))
            return t;
    }
    return nullptr;
}

} // namespace

_task *task_add(_object *owner, const char *name, const char *params)
{
    TaskFactory *f = task_get_factory(name);
    if (!f)
        return nullptr;
    _task *t = f->create(owner);
    if (!t)
        return nullptr;
    task_schedule().makers[t] = f;
    if (owner)
        owner->tasklist.append(t);
    schedule_insert(t);
    t->set_params(params);
    return task_find(owner, t);
}

_task *task_add(_object *owner, int priority, const char *name, const char *params)
{
    _task *t = task_add(owner, name, params);
    if (t)
        t->priority(priority);
    return t;
}

_task *task_find(_object *owner, const char *name)
{
    if (owner)
        return first_of_kind(owner->tasklist, name, false);
    TaskSchedule &s = task_schedule();
    if (_task *t = first_of_kind(s.active, name, true))
        return t;
    if (_task *t = first_of_kind(s.done, name, true))
        return t;
    return s.running && !s.running->owner && is_kind(s.running, name) ? s.running : nullptr;
}

_task *task_find(_object *owner, _task *t)
{
    if (!t)
        return nullptr;
    if (owner)
        return owner->tasklist.find(t) ? t : nullptr;
    return schedule_contains(t) ? t : nullptr;
}

int task_delete(_object *owner, _task *t)
{
    // Tasks inside finish(): deleting one again from there must not finish it twice.
    static std::vector<_task *> finishing;
    if (!task_find(owner, t) || std::find(finishing.begin(), finishing.end(), t) != finishing.end())
        return 0;
    finishing.push_back(t);
    t->finish();
    finishing.erase(std::find(finishing.begin(), finishing.end(), t));

    if (owner)
        owner->tasklist.remove(t);
    // Deleted through the schedule (no owner given): its owner must not keep it either.
    if (t->owner && t->owner != owner)
        t->owner->tasklist.remove(t);
    TaskSchedule &s = task_schedule();
    if (s.active.remove(static_cast<void *>(t)) || s.done.remove(static_cast<void *>(t)) ||
        s.running != t)
        schedule_destroy(t);
    else
        s.running = nullptr;  // the pass destroys it once run() has returned
    return 0;
}

int task_delete(_object *owner, const char *name)
{
    return task_delete(owner, task_find(owner, name));
}

int task_suspend(_object *owner, const char *name)
{
    return task_suspend(owner, task_find(owner, name));
}

int task_suspend(_object *owner, _task *t)
{
    if (task_find(owner, t))
        t->suspend(1);
    return 0;
}

int task_resume(_object *owner, const char *name)
{
    return task_resume(owner, task_find(owner, name));
}

int task_resume(_object *owner, _task *t)
{
    if (task_find(owner, t))
        t->suspend(0);
    return 0;
}

void task_global_suspend(int on, int below, int above)
{
    TaskSchedule &s = task_schedule();
    auto apply = [&](_task *t) {
        if (t && above < t->priority() && t->priority() < below)
            t->suspend(on);
    };
    for (ILIST *list : {static_cast<ILIST *>(&s.active), &s.done}) {
        ILIST_ITER it(list);
        while (it.next())
            apply(static_cast<_task *>(it.getdata()));
    }
    // The task that flips the switch from inside run() is covered as well.
    apply(s.running);
}
