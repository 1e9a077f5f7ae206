// The environment: process-wide viewing settings that belong to no one object, read and
// written by the control, the assembly reader and playback. Settings the graphics system
// needs are pushed into it as they change.
#pragma once

#include <kivctrl/obj_attr.h>

// Stored only; playback speed comes from the control's timer.
void env_set_framerate(float fps);                 // 7.5 at start
float env_get_framerate();
// The window size in pixels, stored only when both are > 0 (0 x 0 at start).
void env_set_winsize(int w, int h);
void env_get_winsize(int &w, int &h);
void env_set_screensize(int w, int h);             // stored; nothing reads it
// which = 0: the near-clip ratio, clamped to [0, 1] (not a number: 0); 0.01 at start. Every
// call marks the universe changed so that the next redraw recomputes the clipping distances.
void env_set_clip(float v, int which);
// The ratio as a percentage rounded half up (1 at start); the argument is ignored.
int env_get_clip(int which);
float env_get_clip_ratio();
// 1 wire frame, 2 flat, 3 smooth; anything else lets each object render its own way (0).
void env_set_render(int mode);
int env_get_render();
// The universe's display-list switch.
void env_set_graphics_mode(int mode);              // 0 at start
int env_get_graphics_mode();
void env_set_smoothness(int s);                    // clamped to 1..100; 10 at start
int env_get_smoothness();
// The window background while the current root has no colour of its own.
void env_set_bgcolor(float r, float g, float b);   // (0.753, 0.753, 0.753) at start
void env_set_bgcolor(const QEL_COLOR &c);
void env_get_bgcolor(float &r, float &g, float &b);
QEL_COLOR env_get_bgcolor();
// The colour of drawn texts and name labels.
void env_set_textcolor(float r, float g, float b); // white at start
void env_set_textcolor(const QEL_COLOR &c);
void env_get_textcolor(float &r, float &g, float &b);
QEL_COLOR env_get_textcolor();
// The ambient light level, clamped to [0, 1] (not a number: 0).
void env_set_ambient(float a);
float env_get_ambient();
// 0 off, 1 envelopes only while the view moves, 2 also lets the renderer draw envelopes
// instead of geometry in envelopes-only mode; out of range: 2. 1 at start.
void env_set_autohide(int mode);
int env_get_autohide();
void env_set_autohideonselect(int on);             // 0 at start
int env_get_autohideonselect();
// Nesting: each on must be matched by an off; the getter is nonzero while any is on.
void env_set_onlydrawenvelopes(int on);
int env_get_onlydrawenvelopes();
void env_set_drawinvisiblesasboxes(int on);
int env_get_drawinvisiblesasboxes();
void env_set_motionbluractive(int on);
int env_get_motionbluractive();
void env_set_motionblurblend(float blend);
float env_get_motionblurblend();
void env_set_motionblurfade(int on);
int env_get_motionblurfade();
void env_set_motionblurnumfadeframes(int frames);
int env_get_motionblurnumfadeframes();
void env_set_shadowqual(int q);                    // 0 at start
int env_get_shadowqual();
// The main file loaded; null empties it, a longer name is cut to 255 bytes (never inside a
// UTF-8 character). The getter returns null when empty.
void env_set_file(const char *name);
const char *env_get_file();
// Kept for the host.
void env_view_only(int on);                        // 1 at start
int env_get_view_only();
void env_set_constraint_hints(int on);             // 1 at start
int env_get_constraint_hints();
void env_set_visiblelayer(int layer);              // -2 at start
int env_get_visiblelayer();
// Background loading of part geometry after a tree build; off at start.
void env_set_threading(bool on);
bool env_get_threading();

// Near and far clipping distances for the current root's viewpoint: far = eye-to-midpoint
// distance + 4 x the root's group radius + 1, near = far x ratio x 0.99 + 1, except that near
// is kept in front of the model's nearest point and below far. 10000 and the near of that far
// without a current root or viewpoint.
void env_clip_distances(float &near_dist, float &far_dist);
// Draw a frame through the universe when something changed (redraw) or in any case (refresh),
// after giving the viewpoint fresh clipping distances if the scene changed. Nothing without a
// current root or its viewpoint.
void env_redraw();
void env_refresh();
