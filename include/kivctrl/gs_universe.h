// The graphics universe: the one scene the graphics system draws, its frame loop,
// appearance switches, lights, viewpoint and picking.
#pragma once

class GSobject;
struct GSlight;
struct GSviewpoint;

// Where an object's axis triad is drawn: 0 own axes, 1 world axes, 2 screen-aligned, 3 parent's axes.
enum GStriadmode { GStriad_object = 0, GStriad_world = 1, GStriad_screen = 2, GStriad_parent = 3 };

// Lifetime and frames. init binds the universe to the current GL context and render context.
void GSuniverse_init(int width, int height);
void GSuniverse_term();
void GSuniverse_resize(int width, int height);
// Draws a frame when something changed; 1 when a frame was shown.
int GSuniverse_redraw();
void GSuniverse_repaint();
void GSuniverse_refresh();
void GSuniverse_changed(int on);
int GSuniverse_waschanged();
void GSuniverse_setmodified(unsigned char modified);
unsigned char GSuniverse_getmodified();
void GSuniverse_updatefont();
void GSuniverse_vacuum();
void GSuniverse_setname(char *name);

// Object registration, driven by the graphics objects themselves: roots are drawn,
// non-roots are reached through their parents.
void GSuniverse_addroot(GSobject *obj);
void GSuniverse_addnonroot(GSobject *obj);
// Moves a registered object to the root list (detached) or the non-root list (attached).
void GSuniverse_makeroot(GSobject *obj);
void GSuniverse_makenonroot(GSobject *obj);
void GSuniverse_unregister(GSobject *obj);

// Appearance.
void GSuniverse_setbgcolor(float r, float g, float b);
void GSuniverse_setdrawtextcolor(float r, float g, float b);
bool GSuniverse_setbackdrop(const char *path);
// Installs a backdrop from width x height RGBA pixels, rows bottom-up (null clears it).
bool GSuniverse_setbackdropimage(int width, int height, const unsigned char *rgba);
void GSuniverse_setbackdropactive(bool on);
void GSuniverse_setbackdrophorizjustify(int justify);
void GSuniverse_setbackdropvertjustify(int justify);
void GSuniverse_setbackdroptile(bool on);
void GSuniverse_setmotionbluractive(bool on);
bool GSuniverse_getmotionbluractive();
void GSuniverse_setmotionblurblend(float blend);
float GSuniverse_getmotionblurblend();
void GSuniverse_setmotionblurfade(bool on);
bool GSuniverse_getmotionblurfade();
void GSuniverse_setmotionblurnumfadeframes(int frames);
int GSuniverse_getmotionblurnumfadeframes();
// 0 wireframe, 1 flat, 2 smooth, anything else: each object's own rendering.
void GSuniverse_setrendering(unsigned char mode);
unsigned char GSuniverse_getrendering();
void GSuniverse_settransparencyenable(bool on);
void GSuniverse_settriadmode(GStriadmode mode);
GStriadmode GSuniverse_gettriadmode();
// A nesting counter: each on must be matched by an off.
void GSuniverse_setonlydrawenvelopes(bool on);
bool GSuniverse_getonlydrawenvelopes();
void GSuniverse_setdrawinvisiblesasboxes(bool on);
bool GSuniverse_getdrawinvisiblesasboxes();
void GSuniverse_usedisplaylists(bool on);
// Background geometry loading (set by the environment): while on, GSobject_attach attaches
// faces too.
void GSuniverse_setthreading(bool on);
bool GSuniverse_getthreading();
// The auto-hide mode (set by the environment, 1 at start): 2 lets envelopes replace geometry
// in envelopes-only mode.
void GSuniverse_setautohide(int mode);
int GSuniverse_getautohide();

// Render contexts for drawing into further GL contexts (null selects the default one).
void *ADT_CreateSecondaryContext();
void ADT_UseSecondaryContext(void *ctx);
void ADT_DeleteSecondaryContext(void *ctx);

// Lights. Every setter marks the universe changed.
GSlight *GSlight_newdirected(float v[3], float intensity);
GSlight *GSlight_newpoint(float p[3], float intensity);
GSlight *GSlight_newspot(float p[3], float dir[3], float intensity, float exponent, float angle);
void GSlight_add(GSlight *light);
void GSlight_remove(GSlight *light);
void GSlight_delete(GSlight *light);
void GSlight_setposition(GSlight *light, float p[3]);
void GSlight_getposition(GSlight *light, float out[3]);
void GSlight_setdirection(GSlight *light, float d[3]);
void GSlight_getdirection(GSlight *light, float out[3]);
void GSlight_setintensity(GSlight *light, float intensity);
float GSlight_getintensity(GSlight *light);
void GSlight_setcolor(GSlight *light, float r, float g, float b);
void GSlight_settype(GSlight *light, int type);
int GSlight_gettype(GSlight *light);
void GSlight_setexponent(GSlight *light, float exponent);
float GSlight_getexponent(GSlight *light);
// The full cone angle in degrees.
void GSlight_setangle(GSlight *light, float angle);
float GSlight_getangle(GSlight *light);
void GSlight_setambient(float a);
float GSlight_getambient();

// The viewpoint (camera).
GSviewpoint *GSuniverse_getviewpoint();
void GSviewpoint_setposition(GSviewpoint *vp, float p[3]);
void GSviewpoint_getposition(GSviewpoint *vp, float out[3]);
void GSviewpoint_setorientation(GSviewpoint *vp, float q[4]);
void GSviewpoint_getorientation(GSviewpoint *vp, float out[4]);
void GSviewpoint_setviewangle(GSviewpoint *vp, double degrees);
double GSviewpoint_getviewangle(GSviewpoint *vp);
void GSviewpoint_sethithervalue(GSviewpoint *vp, float hither);
void GSviewpoint_setyonvalue(GSviewpoint *vp, float yon);

// Picking at a window position (pixels, y from the top); null when nothing is hit.
GSobject *GSuniverse_pickobject(float xy[2]);
GSobject *GSuniverse_winpickobject(float xy[2], double w, double h);
