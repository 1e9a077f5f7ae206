// The universe's state as the object layer sees it.
#pragma once

#include <kivctrl/gs_universe.h>

// Asks for the next frame to be drawn.
inline void gs_mark_changed()
{
    GSuniverse_changed(1);
}

// Whether geometry is loaded in the background.
inline bool gs_threading()
{
    return GSuniverse_getthreading();
}
