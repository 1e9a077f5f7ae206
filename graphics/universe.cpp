#include "graphics/universe.h"
#include "graphics/gs_object.h"

#include "graphics/light.h"
#include "graphics/viewpoint.h"

#include <GL/gl.h>

#include <algorithm>

#include <cstring>

GSuniverserecord &GSuniverse_record()
{
    static GSuniverserecord universe;
    return universe;
}

void GSuniverse_changed(int on)
{
    GSuniverserecord &u = GSuniverse_record();
    if (on) {
        u.modified = true;
        u.changecount = u.motionbluractive ? u.motionblurnumfadeframes : 1;
        return;
    }
    if (u.motionbluractive && u.motionblurfade && u.changecount > 1)
        --u.changecount;
    else
        u.changecount = 0;
    u.force = false;
}

int GSuniverse_waschanged()
{
    const GSuniverserecord &u = GSuniverse_record();
    return u.force ? 1 : u.changecount.load();
}

void GSuniverse_setmodified(unsigned char modified)
{
    GSuniverse_record().modified = modified != 0;
}

unsigned char GSuniverse_getmodified()
{
    return GSuniverse_record().modified ? 1 : 0;
}

void GSuniverse_setname(char *name)
{
    GSuniverse_record().name = name ? name : "";
}

void GSuniverse_resize(int width, int height)
{
    GSuniverserecord &u = GSuniverse_record();
    glViewport(0, 0, width, height);
    u.width = width;
    u.height = height;
    u.aspect = height ? double(width) / height : 0.0;
    GSviewpoint_setaspect(u.aspect);
    u.force = true;
}

void GSuniverse_init(int width, int height)
{
    GSrendercontext &ctx = GScurrentcontext();
    ctx.invalidate_gl();
    GLint lights = 8;
    glGetIntegerv(GL_MAX_LIGHTS, &lights);
    GSlight_initslots(lights);
    GSuniverse_resize(width, height);
    glDrawBuffer(GL_BACK);
    glReadBuffer(GL_BACK);
    glClearColor(0, 0, 0, 0);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    // Put GL into a known mode by sending every mode once.
    const int override_mode = ctx.renderoverride;
    ctx.renderoverride = GS_MODE_NONE;
    for (int mode : {GS_MODE_SMOOTH, GS_MODE_WIREFRAME, GS_MODE_FLAT})
        ctx.set_render_mode(mode);
    ctx.renderoverride = override_mode;
    const char *renderer = reinterpret_cast<const char *>(glGetString(GL_RENDERER));
    ctx.oxygenworkaround = !(renderer && std::strncmp(renderer, "Oxygen", 6) == 0);
}

void GSuniverse_term()
{
    GSlight_termslots();
}

void GSuniverse_repaint()
{
    GSuniverse_record().force = true;
    GSuniverse_redraw();
}

void GSuniverse_refresh()
{
    GSuniverse_record().refresh = true;
    GSuniverse_redraw();
}

void GSuniverse_updatefont()
{
    GScurrentcontext().fonts.rebuild();
}

void GSuniverse_vacuum()
{
    GSuniverse_setbackdropimage(0, 0, nullptr);
    GSuniverse_record().motionbluractive = false;
}

namespace {

// Roots are drawn in the order they were added, so leaving keeps the order; the search runs
// from the back, where the objects added last are.
bool erase_root(std::vector<GSobject *> &roots, GSobject *obj)
{
    auto it = std::find(roots.rbegin(), roots.rend(), obj);
    if (it == roots.rend())
        return false;
    roots.erase(std::next(it).base());
    return true;
}

// Non-roots are only ever looked up, never walked in order: the last one takes the place of
// the one leaving, found through its slot.
void push_nonroot(std::vector<GSobject *> &nonroots, GSobject *obj)
{
    obj->nonrootslot = nonroots.size();
    nonroots.push_back(obj);
}

bool erase_nonroot(std::vector<GSobject *> &nonroots, GSobject *obj)
{
    const std::size_t i = obj->nonrootslot;
    if (i >= nonroots.size() || nonroots[i] != obj)
        return false;
    nonroots[i] = nonroots.back();
    nonroots[i]->nonrootslot = i;
    nonroots.pop_back();
    return true;
}

}  // namespace

void GSuniverse_addroot(GSobject *obj)
{
    GSuniverse_unregister(obj);
    GSuniverse_record().roots.push_back(obj);
    GSuniverse_changed(1);
}

void GSuniverse_addnonroot(GSobject *obj)
{
    GSuniverse_unregister(obj);
    push_nonroot(GSuniverse_record().nonroots, obj);
    GSuniverse_changed(1);
}

void GSuniverse_makeroot(GSobject *obj)
{
    GSuniverserecord &u = GSuniverse_record();
    if (erase_nonroot(u.nonroots, obj)) {
        u.roots.push_back(obj);
        GSuniverse_changed(1);
    }
}

void GSuniverse_makenonroot(GSobject *obj)
{
    GSuniverserecord &u = GSuniverse_record();
    if (erase_root(u.roots, obj)) {
        push_nonroot(u.nonroots, obj);
        GSuniverse_changed(1);
    }
}

void GSuniverse_unregister(GSobject *obj)
{
    GSuniverserecord &u = GSuniverse_record();
    if (erase_nonroot(u.nonroots, obj) || erase_root(u.roots, obj))
        GSuniverse_changed(1);
}

void GSuniverse_setbgcolor(float r, float g, float b)
{
    GSuniverserecord &u = GSuniverse_record();
    u.bg[0] = r;
    u.bg[1] = g;
    u.bg[2] = b;
    u.force = true;
}

void GSuniverse_setdrawtextcolor(float r, float g, float b)
{
    GSuniverserecord &u = GSuniverse_record();
    u.drawtextcolor[0] = r;
    u.drawtextcolor[1] = g;
    u.drawtextcolor[2] = b;
    GSuniverse_changed(1);
}

void GSuniverse_setmotionbluractive(bool on)
{
    GSuniverse_record().motionbluractive = on;
}

bool GSuniverse_getmotionbluractive()
{
    return GSuniverse_record().motionbluractive;
}

void GSuniverse_setmotionblurblend(float blend)
{
    GSuniverse_record().motionblurblend = blend;
}

float GSuniverse_getmotionblurblend()
{
    return GSuniverse_record().motionblurblend;
}

void GSuniverse_setmotionblurfade(bool on)
{
    GSuniverse_record().motionblurfade = on;
}

bool GSuniverse_getmotionblurfade()
{
    return GSuniverse_record().motionblurfade;
}

void GSuniverse_setmotionblurnumfadeframes(int frames)
{
    GSuniverse_record().motionblurnumfadeframes = frames;
}

int GSuniverse_getmotionblurnumfadeframes()
{
    return GSuniverse_record().motionblurnumfadeframes;
}

void GSuniverse_setrendering(unsigned char mode)
{
    GSrendercontext &ctx = GScurrentcontext();
    const int before = ctx.renderoverride;
    ctx.renderoverride = mode == 0 ? GS_MODE_WIREFRAME : mode == 1 ? GS_MODE_FLAT
                       : mode == 2 ? GS_MODE_SMOOTH : GS_MODE_NONE;
    if (before != GS_MODE_NONE && ctx.renderoverride == GS_MODE_NONE)
        GSuniverse_record().force = true;
    GSuniverse_changed(1);
}

unsigned char GSuniverse_getrendering()
{
    switch (GScurrentcontext().renderoverride) {
    case GS_MODE_WIREFRAME: return 0;
    case GS_MODE_FLAT: return 1;
    case GS_MODE_SMOOTH: return 2;
    default: return 3;
    }
}

void GSuniverse_settransparencyenable(bool on)
{
    GScurrentcontext().transparencyenable = on;
    GSuniverse_changed(1);
}

void GSuniverse_settexturingallowed(bool on)
{
    GScurrentcontext().texturingallowed = on;
    GSuniverse_changed(1);
}

void GSuniverse_settriadmode(GStriadmode mode)
{
    const int m = static_cast<int>(mode);
    GSuniverse_record().triadmode = (m >= 1 && m <= 3) ? mode : GStriad_object;
    GSuniverse_changed(1);
}

GStriadmode GSuniverse_gettriadmode()
{
    return GSuniverse_record().triadmode;
}

void GSuniverse_setonlydrawenvelopes(bool on)
{
    int &count = GScurrentcontext().onlyenvelopes;
    if (on)
        ++count;
    else if (count > 0)
        --count;
    GSuniverse_changed(1);
}

bool GSuniverse_getonlydrawenvelopes()
{
    return GScurrentcontext().onlyenvelopes > 0;
}

void GSuniverse_setdrawinvisiblesasboxes(bool on)
{
    GScurrentcontext().invisiblesasboxes = on;
    GSuniverse_changed(1);
}

bool GSuniverse_getdrawinvisiblesasboxes()
{
    return GScurrentcontext().invisiblesasboxes;
}

void GSuniverse_usedisplaylists(bool on)
{
    GSuniverserecord &u = GSuniverse_record();
    if (u.displaylists && !on)
        GScurrentcontext().forget_lists(nullptr);
    u.displaylists = on;
    GSuniverse_changed(1);
}

void GSuniverse_setthreading(bool on)
{
    GSuniverse_record().threading = on;
}

bool GSuniverse_getthreading()
{
    return GSuniverse_record().threading;
}

void GSuniverse_setautohide(int mode)
{
    GSuniverse_record().autohide = mode;
}

int GSuniverse_getautohide()
{
    return GSuniverse_record().autohide;
}

void *ADT_CreateSecondaryContext()
{
    return std::make_unique<GSrendercontext>().release(); // freed by ADT_DeleteSecondaryContext
}

void ADT_UseSecondaryContext(void *ctx)
{
    GSsetcurrentcontext(static_cast<GSrendercontext *>(ctx));
}

void ADT_DeleteSecondaryContext(void *ctx)
{
    std::unique_ptr<GSrendercontext> owned(static_cast<GSrendercontext *>(ctx));
}
