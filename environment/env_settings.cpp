// The environment settings: defaults, clamps, and what the graphics system is told.
#include <kivctrl/ve_env.h>

#include <kivctrl/gs_universe.h>
#include <kivctrl/kiv_db.h>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <string>

namespace {

struct Settings {
    float framerate = 7.5f;
    int win_w = 0, win_h = 0;
    int screen_w = 800, screen_h = 600;
    float clip = 0.01f;
    int graphics_mode = 0;
    int smoothness = 10;
    QEL_COLOR bg{0.753f, 0.753f, 0.753f};
    QEL_COLOR text{1.0f, 1.0f, 1.0f};
    int autohide = 1;
    int autohideonselect = 0;
    int shadowqual = 0;
    std::string file;
    int view_only = 1;
    int constraint_hints = 1;
    int visiblelayer = -2;
    bool threading = false;
};

std::mutex guard;

Settings &settings()
{
    static Settings s;
    return s;
}

template <class F>
auto locked(F f)
{
    std::lock_guard<std::mutex> lock(guard);
    return f(settings());
}

float unit_clamp(float v)
{
    return std::isnan(v) ? 0.0f : std::clamp(v, 0.0f, 1.0f);
}

// The root's own colour wins; without one the environment's background shows.
void apply_background()
{
    _object *root = db_get_root();
    if (!root)
        return;
    const QEL_COLOR c = root->color.r != -1.0f ? root->color : env_get_bgcolor();
    GSuniverse_setbgcolor(c.r, c.g, c.b);
}

// Cuts s to at most n bytes without splitting a UTF-8 sequence.
std::string cut_utf8(const char *s, std::size_t n)
{
    std::string out(s);
    if (out.size() <= n)
        return out;
    std::size_t end = n;
    while (end > 0 && (static_cast<unsigned char>(out[end]) & 0xC0) == 0x80)
        --end;
    out.resize(end);
    return out;
}

}  // namespace

void env_set_framerate(float fps) { locked([=](Settings &s) { s.framerate = fps; }); }
float env_get_framerate() { return locked([](Settings &s) { return s.framerate; }); }

void env_set_winsize(int w, int h)
{
    if (w > 0 && h > 0)
        locked([=](Settings &s) { s.win_w = w, s.win_h = h; });
}

void env_get_winsize(int &w, int &h)
{
    locked([&](Settings &s) { w = s.win_w, h = s.win_h; });
}

void env_set_screensize(int w, int h)
{
    locked([=](Settings &s) { s.screen_w = w, s.screen_h = h; });
}

void env_set_clip(float v, int which)
{
    if (which == 0)
        locked([=](Settings &s) { s.clip = unit_clamp(v); });
    GSuniverse_changed(1);
}

int env_get_clip(int)
{
    return static_cast<int>(std::floor(env_get_clip_ratio() * 100.0f + 0.5f));
}

float env_get_clip_ratio() { return locked([](Settings &s) { return s.clip; }); }

void env_set_render(int mode)
{
    GSuniverse_setrendering(static_cast<unsigned char>(mode >= 1 && mode <= 3 ? mode - 1 : 3));
}

int env_get_render()
{
    const int m = GSuniverse_getrendering();
    return m <= 2 ? m + 1 : 0;
}

void env_set_graphics_mode(int mode)
{
    locked([=](Settings &s) { s.graphics_mode = mode; });
    GSuniverse_usedisplaylists(mode != 0);
}

int env_get_graphics_mode() { return locked([](Settings &s) { return s.graphics_mode; }); }

void env_set_smoothness(int v)
{
    locked([=](Settings &s) { s.smoothness = std::clamp(v, 1, 100); });
}

int env_get_smoothness() { return locked([](Settings &s) { return s.smoothness; }); }

void env_set_bgcolor(float r, float g, float b)
{
    locked([=](Settings &s) { s.bg = {r, g, b}; });
    apply_background();
}

void env_set_bgcolor(const QEL_COLOR &c) { env_set_bgcolor(c.r, c.g, c.b); }

void env_get_bgcolor(float &r, float &g, float &b)
{
    const QEL_COLOR c = env_get_bgcolor();
    r = c.r, g = c.g, b = c.b;
}

QEL_COLOR env_get_bgcolor() { return locked([](Settings &s) { return s.bg; }); }

void env_set_textcolor(float r, float g, float b)
{
    locked([=](Settings &s) { s.text = {r, g, b}; });
    GSuniverse_setdrawtextcolor(r, g, b);
}

void env_set_textcolor(const QEL_COLOR &c) { env_set_textcolor(c.r, c.g, c.b); }

void env_get_textcolor(float &r, float &g, float &b)
{
    const QEL_COLOR c = env_get_textcolor();
    r = c.r, g = c.g, b = c.b;
}

QEL_COLOR env_get_textcolor() { return locked([](Settings &s) { return s.text; }); }

void env_set_ambient(float a) { GSlight_setambient(unit_clamp(a)); }
float env_get_ambient() { return GSlight_getambient(); }

void env_set_autohide(int mode)
{
    const int m = mode < 0 || mode > 2 ? 2 : mode;
    locked([=](Settings &s) { s.autohide = m; });
    GSuniverse_setautohide(m);
}

int env_get_autohide() { return locked([](Settings &s) { return s.autohide; }); }

void env_set_autohideonselect(int on) { locked([=](Settings &s) { s.autohideonselect = on; }); }
int env_get_autohideonselect() { return locked([](Settings &s) { return s.autohideonselect; }); }

void env_set_onlydrawenvelopes(int on) { GSuniverse_setonlydrawenvelopes(on != 0); }
int env_get_onlydrawenvelopes() { return GSuniverse_getonlydrawenvelopes(); }

void env_set_drawinvisiblesasboxes(int on) { GSuniverse_setdrawinvisiblesasboxes(on != 0); }
int env_get_drawinvisiblesasboxes() { return GSuniverse_getdrawinvisiblesasboxes(); }

void env_set_motionbluractive(int on) { GSuniverse_setmotionbluractive(on != 0); }
int env_get_motionbluractive() { return GSuniverse_getmotionbluractive(); }
void env_set_motionblurblend(float blend) { GSuniverse_setmotionblurblend(blend); }
float env_get_motionblurblend() { return GSuniverse_getmotionblurblend(); }
void env_set_motionblurfade(int on) { GSuniverse_setmotionblurfade(on != 0); }
int env_get_motionblurfade() { return GSuniverse_getmotionblurfade(); }
void env_set_motionblurnumfadeframes(int n) { GSuniverse_setmotionblurnumfadeframes(n); }
int env_get_motionblurnumfadeframes() { return GSuniverse_getmotionblurnumfadeframes(); }

void env_set_shadowqual(int q) { locked([=](Settings &s) { s.shadowqual = q; }); }
int env_get_shadowqual() { return locked([](Settings &s) { return s.shadowqual; }); }

void env_set_file(const char *name)
{
    std::string f = name ? cut_utf8(name, 255) : std::string();
    locked([&](Settings &s) { s.file = std::move(f); });
}

const char *env_get_file()
{
    // The text stays put until the next env_set_file, as for any C string the engine hands out.
    return locked([](Settings &s) { return s.file.empty() ? nullptr : s.file.c_str(); });
}

void env_view_only(int on) { locked([=](Settings &s) { s.view_only = on; }); }
int env_get_view_only() { return locked([](Settings &s) { return s.view_only; }); }
void env_set_constraint_hints(int on) { locked([=](Settings &s) { s.constraint_hints = on; }); }
int env_get_constraint_hints() { return locked([](Settings &s) { return s.constraint_hints; }); }
void env_set_visiblelayer(int layer) { locked([=](Settings &s) { s.visiblelayer = layer; }); }
int env_get_visiblelayer() { return locked([](Settings &s) { return s.visiblelayer; }); }

void env_set_threading(bool on)
{
    locked([=](Settings &s) { s.threading = on; });
    GSuniverse_setthreading(on);
}

bool env_get_threading() { return locked([](Settings &s) { return s.threading; }); }
