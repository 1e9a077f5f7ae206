// Playback of the animation list.
//
// Nothing can play yet, so there is nothing to stop.
#include <kivctrl/anim.h>

void traverse_stop() {}

int path_get_autostate()
{
    return 0;
}
