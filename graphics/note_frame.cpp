#include "graphics/note_frame.h"

#include "graphics/gs_object.h"
#include "graphics/universe.h"
#include "graphics/viewpoint.h"

namespace {

void transform(const double m[16], const double p[3], double out[4])
{
    for (int r = 0; r < 4; ++r)
        out[r] = m[r] * p[0] + m[4 + r] * p[1] + m[8 + r] * p[2] + m[12 + r];
}

} // namespace

GSnoteframe GSnoteframe::of(GSobject *obj, const GSaffine &world)
{
    GSnoteframe f{};
    GSviewpoint_viewmatrix(f.view_);
    GSviewpoint_projectionmatrix(f.projection);
    const GSuniverserecord &u = GSuniverse_record();
    f.width = u.width;
    f.height = u.height;
    const GSpolylist *list = obj->polylist();
    f.r = list->radius;
    if (f.r == 0.0f) {
        if (const ADT_Object *o = obj->placed())
            f.r = o->userradius * 0.8f;
    }
    double mid[3] = {list->midpoint[0], list->midpoint[1], list->midpoint[2]}, w[3], eye[4];
    world.apply(mid, w);
    transform(f.view_, w, eye);
    f.centre[0] = eye[0], f.centre[1] = eye[1], f.centre[2] = eye[2];
    return f;
}

bool GSnoteframe::window(double x, double y, double out[3]) const
{
    const double eye[3] = {centre[0] + x, centre[1] - y, centre[2]};
    double clip[4];
    transform(projection, eye, clip);
    if (clip[3] <= 0.0)
        return false;
    out[0] = (clip[0] / clip[3] + 1.0) * 0.5 * width;
    out[1] = (clip[1] / clip[3] + 1.0) * 0.5 * height;
    out[2] = (clip[2] / clip[3] + 1.0) * 0.5;
    return true;
}

void GSnoteframe::from_world(const double p[3], double out[3]) const
{
    double eye[4];
    transform(view_, p, eye);
    out[0] = eye[0] - centre[0];
    out[1] = -(eye[1] - centre[1]);
    out[2] = -(eye[2] - centre[2]);
}
