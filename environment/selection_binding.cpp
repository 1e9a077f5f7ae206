// What selection binds an object to in the virtual environment: selected objects are watched
// for collisions while they move, and lose the path editor's rubber bands when deselected.
#include <kivctrl/selection.h>

#include <kivctrl/kiv_db.h>
#include <kivctrl/task.h>

namespace {

class TaskBinding final : public SelectionBinding {
public:
    TaskBinding() { sel_add_binding(this); }
    ~TaskBinding() override { sel_remove_binding(this); }

    void bind(_object *o) override { task_add(o, "_collide_task", nullptr); }
    void unbind(_object *o) override
    {
        task_delete(o, "_collide_task");
        if (o->pathptr) {
            // The path editor may have left two of them.
            task_delete(o, "_dynline");
            task_delete(o, "_dynline");
        }
    }
};

TaskBinding binding;

}  // namespace
