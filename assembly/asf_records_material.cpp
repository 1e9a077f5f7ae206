// Material and drawing records of the current object that need more than one setter call.
#include "assembly/asf_reading.h"

#include <kivctrl/obj_attr.h>

#include <strings.h>

namespace kiv::asf {

void read_color(Reading &r)
{
    float c[3];
    if (read_floats(r, c, 3) && r.current)
        obj_set_color(r.current, c[0], c[1], c[2], ATTR_DEFAULT_LEVEL);
}

// One grey level for all three components.
void read_specular(Reading &r)
{
    float s = 0.0f;
    if (read_float(r, s) && r.current)
        obj_set_specular(r.current, s, s, s, r.level());
}

void read_emission(Reading &r)
{
    float c[3];
    if (read_floats(r, c, 3) && r.current)
        obj_set_emission(r.current, c[0], c[1], c[2], r.level());
}

// The words name the modes: WIRE a wire frame, FLAT flat shading, any other word smooth.
void read_rendering(Reading &r)
{
    const std::string word = read_string(r);
    if (!r.current)
        return;
    RENDER_MODE m = RENDER_SMOOTH;
    if (strcasecmp(word.c_str(), "WIRE") == 0)
        m = RENDER_WIREFRAME;
    else if (strcasecmp(word.c_str(), "FLAT") == 0)
        m = RENDER_FLAT;
    obj_set_rendering(r.current, m);
}

}  // namespace kiv::asf
