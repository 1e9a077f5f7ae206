// Records for the environment and the root: background, motion blur, ambient light, text
// colour, clipping, units, the colour palette, and the behaviours stored with the assembly.
#include "assembly/asf_reading.h"

#include <kivctrl/obj_attr.h>
#include <kivctrl/task.h>
#include <kivctrl/ve_env.h>

namespace kiv::asf {

// At the top level the current object is the root until the first container: the root's
// colour is the background.
void read_background(Reading &r)
{
    float c[3];
    if (read_floats(r, c, 3) && r.top_level() && r.current)
        obj_set_color(r.current, c[0], c[1], c[2], ATTR_DEFAULT_LEVEL);
}

// Motion blur belongs to the main file's top level; ambient light, text colour and clipping to
// any file.
void read_mbactive(Reading &r)
{
    int v = 0;
    if (read_int(r, v) && r.top_level())
        env_set_motionbluractive(v);
}

void read_mbblend(Reading &r)
{
    float v = 0.0f;
    if (read_float(r, v) && r.top_level())
        env_set_motionblurblend(v);
}

void read_mbfade(Reading &r)
{
    int v = 0;
    if (read_int(r, v) && r.top_level())
        env_set_motionblurfade(v);
}

void read_mbfadeframes(Reading &r)
{
    int v = 0;
    if (read_int(r, v) && r.top_level())
        env_set_motionblurnumfadeframes(v);
}

void read_ambient(Reading &r)
{
    float v = 0.0f;
    if (read_float(r, v))
        env_set_ambient(v);
}

void read_textcolor(Reading &r)
{
    float c[3];
    if (read_floats(r, c, 3))
        env_set_textcolor(c[0], c[1], c[2]);
}

// A percentage.
void read_clippos(Reading &r)
{
    int v = 0;
    if (read_int(r, v))
        env_set_clip(static_cast<float>(v) * 0.01f, 0);
}

void read_units(Reading &r)
{
    int u = 0;
    if (read_int(r, u) && u >= 0 && u <= 4 && r.root)
        RootSetUnits(u, obj_get_assembly(r.root));
}

// Up to sixteen colours, each in its own parentheses: CUSTOMCOLORS ( (r, g, b) (r, g, b) … ).
// The colours end where the next thing is not '(', so a short list never takes the text of
// the records after it; those records are read as the container's.
void read_customcolors(Reading &r)
{
    KivAssembly *a = r.current ? obj_get_assembly(r.current) : nullptr;
    for (int k = 0; k < KivAssembly::NUM_CUSTOM_COLORS && r.in.next_is('('); ++k) {
        float c[3];
        if (scan_floats(r.in.parenthesised(), c, 3) == 3 && a)
            a->SetCustomColor(k, QEL_COLOR{c[0], c[1], c[2]});
    }
    r.open_plain();
}

// The task records are read from the TASKLIST's own body only: whatever they leave unread,
// up to the TASKLIST's ')', is passed over, so a task of an unknown kind costs that record
// and never the records after the list.
void read_tasklist(Reading &r)
{
    std::size_t close = 0;
    const std::size_t after = r.in.body_end(&close);
    r.in.set_limit(close);
    task_read_tasks(&r.in);
    r.in.clear_limit();
    r.in.set_position(after);
}

} // namespace kiv::asf
