// The registry of task factories, in the order they registered.
#include <kivctrl/qel_msg.h>
#include <kivctrl/task.h>

#include "foundation/factory_registry.h"
#include "tasks/schedule.h"

#include <strings.h>

namespace {

using kiv::foundation::FactoryRegistry;

bool named(TaskFactory *f, const char *name)
{
    const char *own = f->name();
    return own && name && strcasecmp(own, name) == 0;
}

// Never destroyed: factories with static lifetime unregister from their destructors, which may
// run after any other static object is gone.
FactoryRegistry<TaskFactory> &registry()
{
    static auto *list = new FactoryRegistry<TaskFactory>({.named = &named,
                                                          .registered = MSG_TASK_REGISTERED,
                                                          .unregistered = MSG_TASK_UNREGISTERED,
                                                          .factory_in_messages = true});
    return *list;
}

}  // namespace

int task_register(TaskFactory *f)
{
    if (f)
        registry().add(f, f->name());
    return 0;
}

int task_unregister(TaskFactory *f)
{
    registry().remove(f);
    schedule_drop_tasks_of(f);
    return 0;
}

int task_count()
{
    return registry().count();
}
TaskFactory *task_get_factory(int i)
{
    return registry().get(i);
}
TaskFactory *task_get_factory(const char *name)
{
    return name ? registry().get(name) : nullptr;
}
int task_get_index(TaskFactory *f)
{
    return registry().find(f);
}
