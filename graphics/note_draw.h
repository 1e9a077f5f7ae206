// Drawing an object's notes and name beside it, flat on the screen.
#pragma once

#include "graphics/gs_transform.h"
#include "graphics/render_context.h"

class GSobject;

// Draws the notes of obj that belong to the pass under way (blended ones in the transparent
// pass while transparency is on, the others in the opaque pass) and, in the opaque pass, its
// name. world is obj's local-to-world map.
void GSdraw_annotations(GSobject *obj, GSrendercontext &ctx, const GSaffine &world);
// Whether obj has a note for the transparent pass (its parents must then visit it there).
bool GSdraw_hasblendednotes(const GSobject *obj, const GSrendercontext &ctx);
