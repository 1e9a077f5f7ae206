// The universe record: the single scene of the graphics system, shared by the frame loop,
// per-object drawing and picking.
#pragma once

#include <kivctrl/gs_universe.h>

#include "graphics/render_context.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

// A backdrop image: RGBA pixels, rows bottom-up as glDrawPixels reads them.
struct GSbackdropimage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
};

struct GSuniverserecord {
    std::string name;
    float bg[3] = {0.753f, 0.753f, 0.753f};
    std::vector<GSobject *> roots;
    std::vector<GSobject *> nonroots;
    int width = 0;
    int height = 0;
    double aspect = 0.0;
    // Marked from any thread: objects are built and changed by the background loader while
    // the window thread draws.
    std::atomic<int> changecount = 0;
    bool motionbluractive = false;
    float motionblurblend = 0.55f;
    bool force = false;
    bool motionblurfade = true;
    int motionblurnumfadeframes = 8;
    GSbackdropimage backdrop; // empty width: none
    bool backdropactive = true;
    bool backdroptile = false;
    int backdrophorizjustify = 0;
    int backdropvertjustify = 0;
    std::atomic<bool> modified = false;
    bool refresh = false;
    bool swapdiscards = true;
    bool swapchecked = false;
    float drawtextcolor[4] = {1, 1, 1, 1};
    GStriadmode triadmode = GStriad_object;
    bool displaylists = false;
    // Settings the environment pushes down. The loading thread attaches faces, so the
    // threading switch is read off the window thread.
    std::atomic<bool> threading{false};
    int autohide = 1;

    bool has_backdrop() const { return backdrop.width > 0 && backdrop.height > 0; }
};

GSuniverserecord &GSuniverse_record();

// Draws the backdrop into the current viewport (projection and modelview are identity).
void GSbackdrop_draw(const GSuniverserecord &u);

// The texturing switch of the current render context, marking the universe changed.
void GSuniverse_settexturingallowed(bool on);
