#include "graphics/draw.h"

#include "graphics/gs_object.h"
#include "graphics/light.h"
#include "graphics/universe.h"
#include "graphics/viewpoint.h"

#include <GL/glu.h>

#include <array>

namespace {

struct Hit {
    GSobject *object = nullptr;
    GLuint depth = 0;
};

std::array<GLuint, 100> g_select;

// The smallest minimum depth over n hit records (name count, min, max, names...).
bool nearest(GLint n, GLuint &depth)
{
    if (n <= 0)
        return false;
    size_t at = 0;
    bool found = false;
    for (GLint i = 0; i < n && at + 2 < g_select.size(); ++i) {
        const GLuint names = g_select[at];
        if (!found || g_select[at + 1] < depth)
            depth = g_select[at + 1];
        found = true;
        at += 3 + names;
    }
    return found;
}

float opacity_value(const GSobject *obj)
{
    const GSattribute *a = obj->attribute(GS_ATTR_TRANSPARENCY);
    return a ? a->value[0] : 1.0f;
}

Hit pick(GSobject *obj, GSrendercontext &ctx, const GSaffine &parentworld, int calleroverride)
{
    Hit best;
    ADT_Object *o = obj->kind() == GS_KIND_OBJECT ? static_cast<ADT_Object *>(obj) : nullptr;
    if (!o && !static_cast<ADT_Face *>(obj)->active)
        return best;
    glPushMatrix();
    const GSaffine world = o ? gs_local_to_parent(o).then(parentworld) : parentworld;
    if (o) {
        GSdraw_applytransform(o);
        ctx.visible = o->visible;
    }
    GSdraw_applyattributes(obj, ctx);
    const bool drawn = ctx.visible && (opacity_value(obj) != 0.0f || calleroverride != GS_MODE_NONE);
    glRenderMode(GL_SELECT);
    if (drawn) {
        const int saved = ctx.renderoverride;
        ctx.renderoverride = GS_MODE_SMOOTH;
        GSdraw_self(obj, ctx, world);
        ctx.renderoverride = saved;
    }
    GLuint depth = 0;
    const bool hit = nearest(glRenderMode(GL_RENDER), depth);

    const bool visible = ctx.visible;
    Hit child;
    for (GSobject *c : obj->children) {
        ctx.visible = visible;
        Hit h = pick(c, ctx, world, calleroverride);
        if (h.object && (!child.object || h.depth < child.depth))
            child = h;
    }
    ctx.visible = visible;
    glPopMatrix();
    if (hit && (!child.object || depth < child.depth))
        best = {obj, depth};
    else
        best = child;
    ctx.pop_to_marker();
    return best;
}

} // namespace

GSobject *GSuniverse_winpickobject(float xy[2], double w, double h)
{
    GSuniverserecord &u = GSuniverse_record();
    GSrendercontext &ctx = GScurrentcontext();
    const bool transparency = ctx.transparencyenable, backdrop = u.backdropactive;
    const bool blur = u.motionbluractive;
    const int calleroverride = ctx.renderoverride;
    ctx.transparencyenable = false;
    ctx.texturingallowed = false;
    u.backdropactive = false;
    u.motionbluractive = false;
    ctx.begin_frame();

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glSelectBuffer(static_cast<GLsizei>(g_select.size()), g_select.data());
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    gluPickMatrix(xy[0], viewport[3] - xy[1], w, h, viewport);
    GSviewpoint_applyprojection();
    GSviewpoint_applyview();
    GSlight_sendall();

    Hit best;
    for (GSobject *root : u.roots) {
        Hit h = pick(root, ctx, GSaffine::identity(), calleroverride);
        if (h.object && (!best.object || h.depth < best.depth))
            best = h;
    }
    glPopMatrix();
    glFinish();
    ctx.renderoverride = calleroverride;
    u.motionbluractive = blur;
    u.backdropactive = backdrop;
    ctx.transparencyenable = transparency;
    ctx.texturingallowed = true;
    return best.object;
}

GSobject *GSuniverse_pickobject(float xy[2])
{
    return GSuniverse_winpickobject(xy, 2.0, 2.0);
}
