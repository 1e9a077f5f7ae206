// The transform chain of graphics objects.
#include "graphics/gs_transform.h"

#include "graphics/gs_object.h"

GSaffine GSaffine::identity()
{
    return {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {0, 0, 0}};
}

void GSaffine::apply(const double in[3], double out[3]) const
{
    double r0[3];
    for (int i = 0; i < 3; ++i) r0[i] = r[i][0] * in[0] + r[i][1] * in[1] + r[i][2] * in[2] + t[i];
    for (int i = 0; i < 3; ++i) out[i] = r0[i];
}

void GSaffine::apply(const float in[3], float out[3]) const
{
    const double d[3] = {in[0], in[1], in[2]};
    double o[3];
    apply(d, o);
    for (int i = 0; i < 3; ++i) out[i] = static_cast<float>(o[i]);
}

GSaffine GSaffine::then(const GSaffine &outer) const
{
    GSaffine c{};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j)
            c.r[i][j] = outer.r[i][0] * r[0][j] + outer.r[i][1] * r[1][j] + outer.r[i][2] * r[2][j];
        c.t[i] = outer.r[i][0] * t[0] + outer.r[i][1] * t[1] + outer.r[i][2] * t[2] + outer.t[i];
    }
    return c;
}

GSaffine gs_local_to_parent(const ADT_Object *obj)
{
    GSaffine a{};
    const float *m = obj->inverseorientation.m;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) a.r[i][j] = m[4 * i + j];
        a.t[i] = double(obj->pivot[i]) + obj->offset[i] -
                 (a.r[i][0] * obj->pivot[0] + a.r[i][1] * obj->pivot[1] + a.r[i][2] * obj->pivot[2]);
    }
    return a;
}

GSaffine gs_local_to_world(const ADT_Object *obj)
{
    GSaffine a = gs_local_to_parent(obj);
    for (const ADT_Object *p = obj->parentobject(); p; p = p->parentobject()) a = a.then(gs_local_to_parent(p));
    return a;
}

void gs_world_to_local(const ADT_Object *obj, const double in[3], double out[3])
{
    double v[3] = {in[0], in[1], in[2]};
    if (const ADT_Object *p = obj->parentobject()) gs_world_to_local(p, in, v);
    // Undo p -> inverseorientation·(p - pivot) + pivot + offset with the orientation itself.
    double d[3];
    for (int i = 0; i < 3; ++i) d[i] = v[i] - obj->pivot[i] - obj->offset[i];
    const float *m = obj->orientation.m;
    for (int i = 0; i < 3; ++i)
        out[i] = m[4 * i] * d[0] + m[4 * i + 1] * d[1] + m[4 * i + 2] * d[2] + obj->pivot[i];
}

ADT_Matrix gs_world_orientation(const ADT_Object *obj)
{
    ADT_Matrix w = obj->orientation;
    for (const ADT_Object *p = obj->parentobject(); p; p = p->parentobject()) w = w * p->orientation;
    return w;
}
