#include "graphics/universe.h"

#include "graphics/draw.h"
#include "graphics/gs_object.h"
#include "graphics/light.h"
#include "graphics/viewpoint.h"
#include "platform/gl_surface.h"

#include <GL/gl.h>

#include <chrono>
#include <thread>

namespace {

// Whether the back buffer still holds the shown image after a swap; checked once.
void detect_swap(GSuniverserecord &u)
{
    if (u.swapchecked)
        return;
    u.swapchecked = true;
    u.swapdiscards = true;
    GLubyte pixel[4] = {};
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    kiv::platform::gl_swap_buffers();
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    if (pixel[0] != 255 || pixel[1] != 255 || pixel[2] != 255)
        return;
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    kiv::platform::gl_swap_buffers();
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    if (pixel[0] == 0 && pixel[1] == 0 && pixel[2] == 0)
        u.swapdiscards = false;
}

// Fades the last image towards the background before the next trail frame.
void fade_previous(GSuniverserecord &u, GSrendercontext &ctx)
{
    glEnable(GL_BLEND);
    glDepthMask(GL_FALSE);
    glDisable(GL_LIGHTING);
    const float fade[4] = {u.bg[0], u.bg[1], u.bg[2], u.motionblurblend};
    ctx.send_color(fade);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    if (u.backdropactive && u.has_backdrop()) {
        glPushAttrib(GL_PIXEL_MODE_BIT);
        glPixelTransferi(GL_ALPHA_SCALE, 0);
        glPixelTransferf(GL_ALPHA_BIAS, u.motionblurblend);
        GSbackdrop_draw(u);
        glPopAttrib();
    } else {
        glPushAttrib(GL_POLYGON_BIT);
        glPolygonMode(GL_FRONT, GL_FILL);
        glRecti(-2, -2, 2, 2);
        glPopAttrib();
    }
    glEnable(GL_LIGHTING);
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    ctx.currentmode = -1; // lighting was switched behind the mode mirror
}

} // namespace

int GSuniverse_redraw()
{
    GSuniverserecord &u = GSuniverse_record();
    GSrendercontext &ctx = GScurrentcontext();
    if (!u.force && u.changecount == 0) {
        if (u.refresh && !u.swapdiscards && u.swapchecked) {
            kiv::platform::gl_swap_buffers();
            u.refresh = false;
            GSuniverse_changed(0);
            return 1;
        }
        if (!u.refresh) {
            // Idle: no GL at all, just yield the thread for a while.
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            u.refresh = false;
            GSuniverse_changed(0);
            return 0;
        }
    }
    detect_swap(u);

    // A rendering override shows the bare geometry: no transparency, textures, backdrop or trails.
    const bool overridden = ctx.renderoverride != GS_MODE_NONE;
    const bool saved_transparency = ctx.transparencyenable;
    const bool saved_backdrop = u.backdropactive;
    const bool saved_blur = u.motionbluractive;
    if (overridden) {
        GSuniverse_settransparencyenable(false);
        GSuniverse_settexturingallowed(false);
        u.backdropactive = false;
        u.motionbluractive = false;
        u.force = true;
    }
    const bool trail = !u.force && u.changecount > 1;
    const bool backdrop = u.backdropactive && u.has_backdrop();

    if (ctx.renderoverride == GS_MODE_WIREFRAME)
        glDisable(GL_DEPTH_TEST);
    else
        glEnable(GL_DEPTH_TEST);
    glDrawBuffer(GL_BACK);
    glReadBuffer(GL_BACK);
    glClearColor(u.bg[0], u.bg[1], u.bg[2], 1.0f);
    GLbitfield clear = 0;
    if (ctx.renderoverride != GS_MODE_WIREFRAME)
        clear |= GL_DEPTH_BUFFER_BIT;
    if (!trail && !backdrop)
        clear |= GL_COLOR_BUFFER_BIT;
    if (clear)
        glClear(clear);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    ctx.begin_frame();
    if (trail) {
        fade_previous(u, ctx);
    } else if (backdrop) {
        glDepthMask(GL_FALSE);
        GSbackdrop_draw(u);
        glDepthMask(GL_TRUE);
    }

    glMatrixMode(GL_PROJECTION);
    GSviewpoint_applyprojection();
    GSviewpoint_applyview();
    GSlight_sendall();
    ctx.set_render_mode(ctx.renderoverride);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
    glMatrixMode(GL_MODELVIEW);

    ctx.transparentpass = false;
    const GSaffine world = GSaffine::identity();
    for (GSobject *root : u.roots)
        GSdraw_opaque(root, ctx, world);
    if (ctx.transparencyenable) {
        ctx.transparentpass = true;
        glEnable(GL_BLEND);
        glDepthMask(GL_FALSE);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        for (GSobject *root : u.roots)
            GSdraw_transparent(root, ctx, world);
        glDepthMask(GL_TRUE);
        glDisable(GL_BLEND);
    }
    ctx.transparentpass = false;
    ctx.send_pending();
    glPopMatrix();
    glFinish();

    if (overridden) {
        GSuniverse_settransparencyenable(saved_transparency);
        GSuniverse_settexturingallowed(true);
        u.backdropactive = saved_backdrop;
        u.motionbluractive = saved_blur;
    }
    if (trail) {
        glAccum(GL_LOAD, 1.0f);
        kiv::platform::gl_swap_buffers();
        glAccum(GL_RETURN, 1.0f);
    } else {
        kiv::platform::gl_swap_buffers();
    }
    u.refresh = false;
    GSuniverse_changed(0);
    return 1;
}
