// glWindowPos (OpenGL 1.4) is declared only with the extension prototypes.
#define GL_GLEXT_PROTOTYPES 1

#include "graphics/note_draw.h"

#include "graphics/gs_object.h"
#include "graphics/note_frame.h"
#include "graphics/note_record.h"
#include "graphics/universe.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace {

bool in_pass(const GSnote *n, const GSrendercontext &ctx)
{
    if (!n->visible || !n->bitmap)
        return false;
    const bool blended = ctx.transparencyenable && n->has_alpha();
    return blended == ctx.transparentpass;
}

bool draws_name(const GSobject *obj, const GSrendercontext &ctx)
{
    if (ctx.transparentpass || obj->kind() != GS_KIND_OBJECT || !obj->name || obj->name->empty())
        return false;
    return static_cast<const ADT_Object *>(obj)->drawtext;
}

// The fraction of the way from the centre c to the anchor a where the segment meets the
// note's rectangle (half sizes hw, hh around a); 0 when c lies inside it.
double leader_end(const double c[2], const double a[2], double hw, double hh)
{
    double t = 0.0;
    const double half[2] = {hw, hh};
    for (int k = 0; k < 2; ++k) {
        const double d = a[k] - c[k];
        if (std::fabs(c[k] - a[k]) > half[k] && d != 0.0)
            t = std::max(t, (std::fabs(d) - half[k]) / std::fabs(d));
    }
    return t;
}

void draw_pixels(const GSbitmap &b)
{
    const int w = b.width(), h = b.height();
    switch (b.depth()) {
    case 1:
        glBitmap(w, h, 0.0f, 0.0f, static_cast<float>(w), 0.0f, b.bitmap());
        break;
    case 8:
        glDrawPixels(w, h, GL_LUMINANCE, GL_UNSIGNED_BYTE, b.bitmap());
        break;
    case 16:
        glDrawPixels(w, h, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE, b.bitmap());
        break;
    case 24:
        glDrawPixels(w, h, GL_RGB, GL_UNSIGNED_BYTE, b.bitmap());
        break;
    case 32:
        glDrawPixels(w, h, GL_RGBA, GL_UNSIGNED_BYTE, b.bitmap());
        break;
    default:
        break;
    }
}

void draw_note(const GSnote &n, const GSnoteframe &f)
{
    const GSbitmap &b = *n.bitmap;
    const int w = b.width(), h = b.height();
    if (w <= 0 || h <= 0 || !b.bitmap())
        return;
    const double ax = n.offset[0] * f.r, ay = -n.offset[1] * f.r;
    double anchor[3], centre[3];
    if (!f.window(ax, ay, anchor))
        return;
    // Whole pixels keep bitmaps sharp. A window position needs no clipping: a note partly
    // off the window keeps its place and shows its visible part.
    const double x = std::floor(anchor[0] - w / 2.0 + 0.5), y = std::floor(anchor[1] - h / 2.0 + 0.5);
    if (n.leader && f.window(0.0, 0.0, centre)) {
        const double c[2] = {centre[0], centre[1]}, a[2] = {anchor[0], anchor[1]};
        const double t = leader_end(c, a, w / 2.0, h / 2.0);
        if (t > 0.0) {
            glBegin(GL_LINES);
            glVertex3d(0.0, 0.0, 0.0);
            glVertex3d(t * ax, t * ay, 0.0);
            glEnd();
        }
    }
    glWindowPos3d(x, y, n.foreground ? 0.0 : std::clamp(anchor[2], 0.0, 1.0));
    draw_pixels(b);
}

void draw_name(GSobject *obj, const GSnoteframe &f)
{
    auto *o = static_cast<ADT_Object *>(obj);
    float r = f.r;
    if (r == 0.0f)
        r = o->triadradius * 0.8f;
    // The leader starts at a vertex of the mesh, so it points at the part and not into space.
    double from[3] = {0.0, 0.0, 0.0};
    const GSmesh *mesh = o->mesh.get();
    if (mesh && mesh->vertexcount() > 0) {
        const float *v = mesh->vertices.data() + 3 * (mesh->vertexcount() / 2);
        double p[3] = {v[0], v[1], v[2]}, w[3];
        gs_local_to_world(o).apply(p, w);
        f.from_world(w, from);
    }
    glBegin(GL_LINES);
    glVertex3dv(from);
    glVertex3d(r, -r, 0.0);
    glEnd();
    if (o->drawtextforeground)
        glDepthRange(0.0, 0.0);
    glRasterPos3d(r, -r, 0.0);
    glDepthRange(0.0, 1.0);
    GScurrentcontext().fonts.draw(*obj->name);
}

} // namespace

bool GSdraw_hasblendednotes(const GSobject *obj, const GSrendercontext &ctx)
{
    if (!ctx.transparencyenable)
        return false;
    for (const GSnote *n : obj->notes) {
        if (n->has_alpha())
            return true;
    }
    return false;
}

void GSdraw_annotations(GSobject *obj, GSrendercontext &ctx, const GSaffine &world)
{
    bool any = draws_name(obj, ctx);
    for (const GSnote *n : obj->notes)
        any = any || in_pass(n, ctx);
    if (!any)
        return;
    const GSnoteframe f = GSnoteframe::of(obj, world);
    ctx.end_primitive();
    glPushAttrib(GL_ENABLE_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslated(f.centre[0], f.centre[1], f.centre[2]);
    glScaled(1.0, -1.0, -1.0);
    const float *own = obj->drawtextcolor;
    const float *color = own[0] >= 0.0f ? own : GSuniverse_record().drawtextcolor;
    const float rgba[4] = {color[0], color[1], color[2], 1.0f};
    ctx.send_color(rgba);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (const GSnote *n : obj->notes) {
        if (in_pass(n, ctx))
            draw_note(*n, f);
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    if (draws_name(obj, ctx))
        draw_name(obj, f);
    glPopMatrix();
    glPopAttrib();
    // The object's own colour decision comes next.
    ctx.forget_color();
}
