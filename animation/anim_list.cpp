// The animation list of an assembly.
//
// No animation lists can be made yet: there is nothing to remove or clear.
#include <kivctrl/anim.h>

void *anim_remove_object(_object *)
{
    return nullptr;
}

int anim_check_clear()
{
    return 1;
}

int anim_clear()
{
    return 0;
}
