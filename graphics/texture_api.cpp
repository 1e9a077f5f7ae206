// The texture record of a graphics object and its setters; no OpenGL here.
#include "graphics/gs_object.h"
#include "graphics/gs_seams.h"
#include "graphics/render_context.h"
#include "graphics/texture_record.h"

#include <kivctrl/gs_texture.h>
#include <kivctrl/qel_math.h>

#include <algorithm>
#include <cmath>

std::atomic<std::uint64_t> GStexture_destroyed{0};

GStexture::GStexture()
{
    orientation.Identity();
    gridorientation.Identity();
    gridmatrix.Identity();
}

GStexture::~GStexture()
{
    ++GStexture_destroyed;
}

void GStexture::recompute_planes()
{
    ADT_Matrix s, t;
    s.Scale({gridscale[0], gridscale[1], gridscale[2]});
    t.Translate({-gridposition[0], -gridposition[1], -gridposition[2]});
    gridmatrix = s * gridorientation * t;
    const float e = size == 0.0f ? 1.0f : 1.0f / size;
    ADT_Matrix ri;
    ri.Inverse(gridorientation);
    auto plane = [&](ADT_PointD3 axis, float out[4]) {
        const ADT_PointD3 v = ri * axis;
        out[0] = v.x;
        out[1] = v.y;
        out[2] = v.z;
        out[3] = -(v.x * gridposition[0] + v.y * gridposition[1] + v.z * gridposition[2]);
    };
    plane({e, 0.0f, 0.0f}, splane);
    plane({0.0f, e, 0.0f}, tplane);
    changed = true;
    ++gridstamp;
}

namespace {

void remove_texture(GSobject *obj)
{
    obj->setattribute(GS_ATTR_TEXTURE, -1);
    obj->texture.reset();
}

// The record of obj for a setter, or null when there is none; marks the universe changed.
GStexture *record(GSobject *obj)
{
    if (!obj || !obj->texture)
        return nullptr;
    gs_mark_changed();
    return obj->texture.get();
}

} // namespace

bool GSobject_settexture(GSobject *obj, const char *path)
{
    if (!obj)
        return false;
    GStexture *t = obj->texture.get();
    if (t && path && t->path == path)
        return true;
    if (!t && !path)
        return false;
    gs_mark_changed();
    std::shared_ptr<GStextureimage> image = GStextureimage_load(path);
    if (!image) {
        if (t)
            remove_texture(obj);
        return false;
    }
    if (!t) {
        obj->texture = std::make_unique<GStexture>();
        t = obj->texture.get();
        obj->setattribute(GS_ATTR_TEXTURE, 100)->texture = t;
    }
    t->path = path;
    t->image = std::move(image);
    float extents[3];
    GSobject_getextents(obj, extents);
    t->size = std::max({extents[0], extents[1], extents[2], 0.0f});
    t->recompute_planes();
    return true;
}

void GSobject_settexturemethod(GSobject *obj, int method)
{
    if (GStexture *t = record(obj)) {
        t->smethod = method == 1 || method == 2 ? GS_TEX_COMPUTED : GS_TEX_PLANE;
        t->tmethod = method == 2 ? GS_TEX_COMPUTED : GS_TEX_PLANE;
        ++t->gridstamp;
    }
}

void GSobject_settexturequality(GSobject *obj, int quality)
{
    if (GStexture *t = record(obj))
        t->quality = quality == 1 ? 1 : 0;
}

void GSobject_settexturetype(GSobject *obj, int type)
{
    if (GStexture *t = record(obj)) {
        t->type = type == 1 || type == 2 ? type : 0;
        ++t->gridstamp;
    }
}

void GSobject_settexturescale(GSobject *obj, const float s[2])
{
    if (GStexture *t = record(obj)) {
        t->scale[0] = s[0];
        t->scale[1] = s[1];
        t->scale[2] = 1.0f;
    }
}

void GSobject_settexturepos(GSobject *obj, const float p[2])
{
    if (GStexture *t = record(obj)) {
        t->position[0] = p[0];
        t->position[1] = p[1];
        t->position[2] = 0.0f;
    }
}

void GSobject_settextureorient(GSobject *obj, float degrees)
{
    if (GStexture *t = record(obj)) {
        QEL_QUAT q;
        q.from_eang(0.0f, 0.0f, degrees);
        t->orientation.FromQuat(q);
    }
}

void GSobject_settexturegridscale(GSobject *obj, const float s[3])
{
    if (GStexture *t = record(obj)) {
        std::copy(s, s + 3, t->gridscale);
        t->recompute_planes();
    }
}

void GSobject_settexturegridpos(GSobject *obj, const float p[3])
{
    if (GStexture *t = record(obj)) {
        std::copy(p, p + 3, t->gridposition);
        t->recompute_planes();
    }
}

void GSobject_settexturegridorient(GSobject *obj, const float q[4])
{
    if (GStexture *t = record(obj)) {
        t->gridorientation.FromQuat(QEL_QUAT(q));
        t->recompute_planes();
    }
}

void GSobject_settextureactive(GSobject *obj, int active)
{
    if (GStexture *t = record(obj)) {
        const bool inactive = !(active & 1);
        t->changed = inactive != t->inactive;
        t->inactive = inactive;
    }
}

bool GSobject_hastexture(GSobject *obj)
{
    return obj && obj->texture;
}
