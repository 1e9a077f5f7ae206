// World frames of objects and of the frames callers and constraints speak in.
#include "environment/frames.h"

#include <kivctrl/kiv_db.h>
#include <kivctrl/placement.h>

namespace kiv::env {

namespace {

QEL_FRAME identity()
{
    QEL_FRAME f;
    return f.init();
}

// The parent's world frame, or the world itself under the root.
QEL_FRAME parent_frame(_object *o)
{
    _object *p = o ? o->parent : nullptr;
    if (!p || p->type == OBJ_ROOT)
        return identity();
    return world_frame(p);
}

}  // namespace

QEL_FRAME world_frame(_object *o)
{
    QEL_FRAME f = identity();
    VE_get_pos(o, f.p);
    VE_get_orient(o, f.q);
    return f;
}

QEL_FRAME selected_frame(_object *o, FRAME f)
{
    switch (f) {
    case FRAME_LOCAL:
        return world_frame(o);
    case FRAME_PARENT:
        return parent_frame(o);
    case FRAME_VIEWPOINT: {
        _object *vp = o ? RootGetViewPoint(GetAssembly(o)) : nullptr;
        return vp ? world_frame(vp) : identity();
    }
    default:
        return identity();
    }
}

QEL_FRAME constraint_frame(_object *o)
{
    switch (o->constraint_mode) {
    case CONSTRAINT_PARENT:
        return parent_frame(o);
    case CONSTRAINT_LOCAL:
        return world_frame(o);
    case CONSTRAINT_FRAME:
        return o->constraint_frame;
    case CONSTRAINT_OBJECT:
        return o->constraint_object ? world_frame(o->constraint_object) : identity();
    default:
        return identity();
    }
}

}  // namespace kiv::env
