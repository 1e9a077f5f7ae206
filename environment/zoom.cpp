// Viewpoints: view angle, zoom and framing.
//
// The view angle is held by the graphics viewpoint, which does not exist yet.
#include <kivctrl/ve_zoom.h>

int obj_set_viewangle(_object *, float)
{
    return 0;
}
