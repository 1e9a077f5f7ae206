// A deleted object's tasks go first, before anything else lets go of it.
#include <kivctrl/db_observer.h>

#include <kivctrl/kiv_db.h>
#include <kivctrl/task.h>

namespace {

class TaskOwners final : public DbObserver {
public:
    TaskOwners() { db_add_observer(this, DB_RANK_TASKS); }
    ~TaskOwners() override { db_remove_observer(this); }

    void deleting(_object *o, DB_DELETE_STAGE stage) override
    {
        if (stage != DB_DELETE_START)
            return;
        while (_task *t = o->tasklist.get(1)) {
            task_delete(o, t);
            // Whatever a task did on its way out, the object must not keep it.
            if (o->tasklist.get(1) == t)
                o->tasklist.remove(1);
        }
    }
};

TaskOwners owners;

}  // namespace
