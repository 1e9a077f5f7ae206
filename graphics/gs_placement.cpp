// Measures and placement of graphics objects: extents, positions, orientation and pivot.
#include "graphics/gs_object.h"

#include "graphics/gs_seams.h"
#include "graphics/gs_transform.h"

#include <algorithm>

namespace {

void to_world(const ADT_Object *obj, const float local[3], float out[3])
{
    gs_local_to_world(obj).apply(local, out);
}

// Sets the offset so that the local point lands on the world point p.
void place_local_point(ADT_Object *obj, const float local[3], const float p[3])
{
    const double world[3] = {p[0], p[1], p[2]};
    double target[3] = {p[0], p[1], p[2]};
    if (const ADT_Object *parent = obj->parentobject()) gs_world_to_local(parent, world, target);
    const float *m = obj->inverseorientation.m;
    for (int i = 0; i < 3; ++i) {
        double turned = 0.0;
        for (int j = 0; j < 3; ++j) turned += double(m[4 * i + j]) * (double(local[j]) - obj->pivot[j]);
        obj->offset[i] = static_cast<float>(target[i] - obj->pivot[i] - turned);
    }
    gs_mark_changed();
}

const float kOrigin[3] = {0.0f, 0.0f, 0.0f};

}  // namespace

void GSobject_getextents(GSobject *obj, float out[3])
{
    if (!obj) return std::fill(out, out + 3, 0.0f);
    const GSpolylist *m = obj->polylist();
    for (int i = 0; i < 3; ++i) out[i] = m->bounds[i + 3] - m->bounds[i];
}

void GSobject_getmidpoint(GSobject *obj, float out[3])
{
    if (!obj) return std::fill(out, out + 3, 0.0f);
    const GSpolylist *m = obj->polylist();
    std::copy(m->midpoint, m->midpoint + 3, out);
}

float GSobject_getradius(GSobject *obj)
{
    return obj ? obj->polylist()->radius : 0.0f;
}

void GSobject_getposition(GSobject *obj, float out[3])
{
    const ADT_Object *o = obj ? obj->placed() : nullptr;
    if (o) to_world(o, o->mesh->midpoint, out);
    else std::fill(out, out + 3, 0.0f);
}

void GSobject_setposition(GSobject *obj, const float p[3])
{
    if (obj && obj->kind() == GS_KIND_OBJECT) {
        auto *o = static_cast<ADT_Object *>(obj);
        place_local_point(o, o->mesh->midpoint, p);
    }
}

void GSobject_getorgposition(GSobject *obj, float out[3])
{
    const ADT_Object *o = obj ? obj->placed() : nullptr;
    if (o) to_world(o, kOrigin, out);
    else std::fill(out, out + 3, 0.0f);
}

void GSobject_setorgposition(GSobject *obj, const float p[3])
{
    if (obj && obj->kind() == GS_KIND_OBJECT) place_local_point(static_cast<ADT_Object *>(obj), kOrigin, p);
}

void GSobject_getorientation(GSobject *obj, float q[4])
{
    QEL_QUAT r;
    r.init();
    if (const ADT_Object *o = obj ? obj->placed() : nullptr) gs_world_orientation(o).ToQuat(r);
    r.to4(q);
}

void GSobject_setorientation(GSobject *obj, const float q[4])
{
    if (!obj || obj->kind() != GS_KIND_OBJECT) return;
    auto *o = static_cast<ADT_Object *>(obj);
    std::vector<const ADT_Object *> ancestors;
    for (const ADT_Object *p = o->parentobject(); p; p = p->parentobject()) ancestors.push_back(p);
    ADT_Matrix m;
    m.FromQuat(QEL_QUAT(q));
    // orientation·W(parent) must be W: multiply by each ancestor's inverse, root first.
    for (auto it = ancestors.rbegin(); it != ancestors.rend(); ++it) m = m * (*it)->inverseorientation;
    o->setorientationmatrix(m);
    gs_mark_changed();
}

void GSobject_getpivot(GSobject *obj, float out[3], GSframe frame)
{
    const ADT_Object *o = obj ? obj->placed() : nullptr;
    if (!o) {
        std::fill(out, out + 3, 0.0f);
    } else if (frame == GS_FRAME_WORLD) {
        to_world(o, o->pivot, out);
    } else {
        std::copy(o->pivot, o->pivot + 3, out);
    }
}

void GSobject_setpivot(GSobject *obj, const float p[3], GSframe frame)
{
    if (!obj || obj->kind() != GS_KIND_OBJECT) return;
    auto *o = static_cast<ADT_Object *>(obj);
    float local[3] = {p[0], p[1], p[2]};
    if (frame == GS_FRAME_WORLD) {
        const double world[3] = {p[0], p[1], p[2]};
        double d[3];
        gs_world_to_local(o, world, d);
        for (int i = 0; i < 3; ++i) local[i] = static_cast<float>(d[i]);
    }
    // Turning about a new pivot would move the object: keep its midpoint where it is.
    float position[3];
    GSobject_getposition(o, position);
    std::copy(local, local + 3, o->pivot);
    GSobject_setposition(o, position);
}

void GSobject_cachevertexworldpositions(GSobject *obj)
{
    ADT_Object *o = obj ? obj->placed() : nullptr;
    if (!o) return;
    const std::vector<float> &v = o->mesh->vertices;
    o->cachedworld.resize(v.size());
    const GSaffine a = gs_local_to_world(o);
    for (size_t i = 0; i + 2 < v.size(); i += 3) a.apply(&v[i], &o->cachedworld[i]);
}
