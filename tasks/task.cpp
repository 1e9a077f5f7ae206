// Behaviour tasks attached to objects.
//
// No task kinds exist yet: deleting a task only takes it out of its owner's list.
#include <kivctrl/task.h>

#include <kivctrl/kiv_db.h>

int task_delete(_object *owner, _task *t)
{
    if (owner)
        owner->tasklist.remove(t);
    return 0;
}
