// The linkage suspension switch.
#include <kivctrl/placement.h>
#include <kivctrl/task.h>

namespace {

int suspend_linkages = 0;

} // namespace

int env_set_global_suspend_linkages(int on)
{
    suspend_linkages = on;
    task_global_suspend(on, 1500, 0);
    return 0;
}

int env_get_global_suspend_linkages()
{
    return suspend_linkages;
}
