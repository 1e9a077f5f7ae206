// Material, drawing, light and view records of the current object.
#include "assembly/asf_reading.h"

#include <kivctrl/obj_attr.h>
#include <kivctrl/ve_zoom.h>

namespace kiv::asf {

void read_color(Reading &r)
{
    float c[3];
    if (read_floats(r, c, 3) && r.current)
        obj_set_color(r.current, c[0], c[1], c[2], ATTR_DEFAULT_LEVEL);
}

void read_viewangle(Reading &r)
{
    float v = 0.0f;
    if (read_float(r, v) && r.current)
        obj_set_viewangle(r.current, v);
}

} // namespace kiv::asf
