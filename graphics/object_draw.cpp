#include "graphics/draw.h"

#include "graphics/gs_object.h"
#include "graphics/light.h"
#include "graphics/note_draw.h"
#include "graphics/triad.h"
#include "graphics/universe.h"
#include "graphics/viewpoint.h"

#include <kivctrl/gs_universe.h>

namespace {

constexpr int kViewpointMarker = 7;

ADT_Object *as_object(GSobject *obj)
{
    return obj->kind() == GS_KIND_OBJECT ? static_cast<ADT_Object *>(obj) : nullptr;
}

// Envelope drawing replaces the geometry of this object (its children decide for themselves).
bool envelope_instead(const ADT_Object *obj, const GSrendercontext &ctx)
{
    if (obj->objecttype == 9)
        return false;
    return (obj->drawenvelope && ctx.invisiblesasboxes) ||
           (GSuniverse_getautohide() == 2 && ctx.onlyenvelopes > 0 && !obj->overrideenvelope);
}

// The bounding box as unlit lines, in the object's colour or red.
void envelope(const ADT_Object *obj, GSrendercontext &ctx)
{
    const float *b = obj->mesh->bounds;
    if (b[0] > b[3])
        return;
    const GSattribute *color = obj->attribute(GS_ATTR_COLOR);
    const float rgba[4] = {color ? color->value[0] : 1.0f, color ? color->value[1] : 0.0f,
                           color ? color->value[2] : 0.0f, 1.0f};
    ctx.end_primitive();
    glPushAttrib(GL_ENABLE_BIT | GL_POLYGON_BIT);
    glDisable(GL_LIGHTING);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    ctx.send_color(rgba);
    static const int faces[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1},
                                    {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
    glBegin(GL_QUADS);
    for (const auto &f : faces) {
        for (int k : f)
            glVertex3f(k & 4 ? b[3] : b[0], k & 2 ? b[4] : b[1], k & 1 ? b[5] : b[2]);
    }
    glEnd();
    glPopAttrib();
}

// A triad in world, screen or parent axes at the object's pivot, drawn in its parent's frame.
void placed_triad(const ADT_Object *obj, GStriadmode mode)
{
    glPushMatrix();
    glTranslatef(obj->offset[0] + obj->pivot[0], obj->offset[1] + obj->pivot[1],
                 obj->offset[2] + obj->pivot[2]);
    if (mode == GStriad_world && obj->parentobject()) {
        // World axes seen from the parent frame: W(parent) maps world vectors into it.
        ADT_Matrix t;
        t.Transpose(gs_world_orientation(obj->parentobject()));
        float m[16];
        t.OGLConvert(m);
        glMultMatrixf(m);
    } else if (mode == GStriad_screen) {
        float m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        for (int c = 0; c < 3; ++c) {
            for (int r = 0; r < 3; ++r)
                m[4 * c + r] = c == r ? 1.0f : 0.0f;
        }
        glLoadMatrixf(m);
    }
    GSdraw_triad(obj->triadradius);
    glPopMatrix();
}

void draw_marker(const ADT_Object *obj)
{
    float cutoff = 0.0f;
    if (obj->objecttype == 5 && obj->aux)
        cutoff = static_cast<const GSlight *>(obj->aux)->cutoff;
    GSdraw_marker(obj->objecttype, obj->triadradius, cutoff,
                  GSviewpoint_getviewangle(GSuniverse_getviewpoint()), GSviewpoint_aspect());
}

// Whether combined opacity x lets the object draw in the opaque pass.
bool opaque(const GSrendercontext &ctx)
{
    const float x = ctx.combined_opacity();
    return ctx.transparencyenable ? x == 1.0f : x > 0.0f;
}

void mark_deferred(GSobject *obj, const GSrendercontext &ctx)
{
    obj->deferred = ctx.combined_opacity() > 0.0f;
    if (obj->deferred && obj->parent)
        obj->parent->childdeferred = true;
}

void draw_geometry(GSobject *obj, GSrendercontext &ctx, const GSaffine &world, int rendering,
                   int objecttype)
{
    ctx.send_pending();
    ctx.set_render_mode(rendering);
    const std::shared_ptr<GSmesh> *owner =
        obj->kind() == GS_KIND_OBJECT ? &static_cast<ADT_Object *>(obj)->mesh : nullptr;
    GSdraw_mesh(obj->polylist(), objecttype, ctx, world, owner);
}

GSaffine world_of(const ADT_Object *obj, const GSaffine &parentworld)
{
    return gs_local_to_parent(obj).then(parentworld);
}

void children_opaque(GSobject *obj, GSrendercontext &ctx, const GSaffine &world)
{
    const bool visible = ctx.visible;
    obj->childdeferred = false;
    for (GSobject *child : obj->children) {
        ctx.visible = visible; // faces show with their object
        GSdraw_opaque(child, ctx, world);
    }
    ctx.visible = visible;
    if (obj->childdeferred && obj->parent)
        obj->parent->childdeferred = true;
}

void children_transparent(GSobject *obj, GSrendercontext &ctx, const GSaffine &world)
{
    const bool visible = ctx.visible;
    for (GSobject *child : obj->children) {
        ctx.visible = visible;
        GSdraw_transparent(child, ctx, world);
    }
    ctx.visible = visible;
}

} // namespace

void GSdraw_applyattributes(const GSobject *obj, GSrendercontext &ctx)
{
    ctx.push_marker();
    for (const GSattribute &a : obj->attributes) {
        switch (a.kind) {
        case GS_ATTR_COLOR:
            ctx.install_color(a.value, a.priority);
            break;
        case GS_ATTR_TRANSPARENCY:
            ctx.install_opacity(a.value[0], a.applier, a.priority);
            break;
        case GS_ATTR_SPECULAR:
            ctx.install_specular(a.value, a.priority);
            break;
        case GS_ATTR_SHININESS:
            ctx.install_shininess(a.value[0], a.priority);
            break;
        case GS_ATTR_EMISSION:
            ctx.install_emission(a.value, a.priority);
            break;
        case GS_ATTR_HIGHLIGHT:
            ctx.install_highlight(a.mask, a.priority);
            break;
        case GS_ATTR_TEXTURE:
            ctx.install_texture(a.texture, a.priority);
            break;
        case GS_ATTR_BOTHSIDES:
            ctx.install_bothsides(a.on, a.priority);
            break;
        default:
            break;
        }
    }
}

void GSdraw_applytransform(const GSobject *obj)
{
    if (obj->kind() != GS_KIND_OBJECT)
        return;
    const auto *o = static_cast<const ADT_Object *>(obj);
    float m[16];
    o->orientation.OGLConvert(m);
    glTranslatef(o->offset[0] + o->pivot[0], o->offset[1] + o->pivot[1], o->offset[2] + o->pivot[2]);
    glMultMatrixf(m);
    glTranslatef(-o->pivot[0], -o->pivot[1], -o->pivot[2]);
}

void GSdraw_opaque(GSobject *obj, GSrendercontext &ctx, const GSaffine &parentworld)
{
    ADT_Object *o = as_object(obj);
    if (!o) {
        auto *face = static_cast<ADT_Face *>(obj);
        ADT_Object *owner = face->placed();
        if (!face->active || !owner)
            return;
        GSdraw_applyattributes(face, ctx);
        GSdraw_annotations(face, ctx, parentworld);
        face->deferred = false;
        if (GSdraw_hasblendednotes(face, ctx) && face->parent)
            face->parent->childdeferred = true;
        if (ctx.visible && opaque(ctx))
            draw_geometry(face, ctx, parentworld, owner->rendering, owner->objecttype);
        else if (ctx.visible)
            mark_deferred(face, ctx);
        children_opaque(face, ctx, parentworld);
        ctx.pop_to_marker();
        return;
    }
    const GSuniverserecord &u = GSuniverse_record();
    glPushMatrix();
    if (!ctx.transparentpass && o->triadradius > 0 && u.triadmode != GStriad_object)
        placed_triad(o, u.triadmode);
    const GSaffine world = world_of(o, parentworld);
    GSdraw_annotations(o, ctx, world);
    if (GSdraw_hasblendednotes(o, ctx) && o->parent)
        o->parent->childdeferred = true;
    GSdraw_applytransform(o);
    ctx.visible = o->visible;
    if (envelope_instead(o, ctx)) {
        ctx.visible = false;
        envelope(o, ctx);
    }
    if (o->triadradius > 0 && u.triadmode == GStriad_object) {
        glPushMatrix();
        glTranslatef(o->pivot[0], o->pivot[1], o->pivot[2]);
        GSdraw_triad(o->triadradius);
        glPopMatrix();
    }
    if (o->triadradius > 0 || o->objecttype == kViewpointMarker)
        draw_marker(o);
    GSdraw_applyattributes(o, ctx);
    o->deferred = false;
    if (ctx.visible && opaque(ctx))
        draw_geometry(o, ctx, world, o->rendering, o->objecttype);
    else if (ctx.visible)
        mark_deferred(o, ctx);
    children_opaque(o, ctx, world);
    ctx.pop_to_marker();
    glPopMatrix();
}

void GSdraw_transparent(GSobject *obj, GSrendercontext &ctx, const GSaffine &parentworld)
{
    ADT_Object *o = as_object(obj);
    if (!o) {
        auto *face = static_cast<ADT_Face *>(obj);
        ADT_Object *owner = face->placed();
        if (!face->active || !owner)
            return;
        GSdraw_applyattributes(face, ctx);
        GSdraw_annotations(face, ctx, parentworld);
        if (ctx.visible && face->deferred)
            draw_geometry(face, ctx, parentworld, owner->rendering, owner->objecttype);
        if (face->childdeferred)
            children_transparent(face, ctx, parentworld);
        ctx.pop_to_marker();
        return;
    }
    glPushMatrix();
    const GSaffine world = world_of(o, parentworld);
    GSdraw_annotations(o, ctx, world);
    GSdraw_applytransform(o);
    ctx.visible = o->visible && !envelope_instead(o, ctx);
    GSdraw_applyattributes(o, ctx);
    if (ctx.visible && o->deferred)
        draw_geometry(o, ctx, world, o->rendering, o->objecttype);
    if (o->childdeferred)
        children_transparent(o, ctx, world);
    ctx.pop_to_marker();
    glPopMatrix();
}

void GSdraw_self(GSobject *obj, GSrendercontext &ctx, const GSaffine &world)
{
    ADT_Object *owner = obj->placed();
    if (!owner)
        return;
    ctx.send_pending();
    ctx.set_render_mode(owner->rendering);
    GSdraw_mesh(obj->polylist(), owner->objecttype, ctx, world, nullptr);
}
