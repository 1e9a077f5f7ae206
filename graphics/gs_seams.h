// Services of neighbouring modules that the object layer calls but that may not be linked
// into the engine yet: each is declared weak and skipped while absent.
#pragma once

#include <kivctrl/gs_universe.h>

class GSobject;

[[gnu::weak]] bool env_get_threading();

// Asks for the next frame to be drawn.
inline void gs_mark_changed()
{
    GSuniverse_changed(1);
}

// Whether geometry is loaded in the background (off until the setting exists).
inline bool gs_threading()
{
    return env_get_threading && env_get_threading();
}
