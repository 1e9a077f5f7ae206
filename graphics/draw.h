// Drawing and picking of graphics objects within a frame.
#pragma once

#include "graphics/gs_transform.h"
#include "graphics/render_context.h"

#include <memory>

class GSobject;
struct GSpolylist;
struct GSmesh;

// The opaque pass of an object and its children; defers what must be blended.
void GSdraw_opaque(GSobject *obj, GSrendercontext &ctx, const GSaffine &parentworld);
// The transparent pass: draws what the opaque pass deferred.
void GSdraw_transparent(GSobject *obj, GSrendercontext &ctx, const GSaffine &parentworld);
// Draws one object without its children (used by picking); returns whether it drew geometry.
void GSdraw_self(GSobject *obj, GSrendercontext &ctx, const GSaffine &world);
// Pushes obj's attribute values onto the context's save stack (after a marker).
void GSdraw_applyattributes(const GSobject *obj, GSrendercontext &ctx);
// Multiplies the object's local-to-parent transform onto the modelview matrix.
void GSdraw_applytransform(const GSobject *obj);
// Draws a polygon list with level of detail; world places its midpoint for the size test.
// With display lists on, a list whose shared mesh record is given as owner is replayed from
// a cached display list.
void GSdraw_mesh(GSpolylist *list, int objecttype, GSrendercontext &ctx, const GSaffine &world,
                 const std::shared_ptr<GSmesh> *owner);
