// Records whose body is one value (or one vector) handed to one setter of the current object,
// so the keyword table names the setter directly.
#pragma once

#include "assembly/asf_reading.h"

#include <kivctrl/qel_math.h>

namespace kiv::asf {

template <int (*Set)(_object *, int)>
void value_int(Reading &r)
{
    int v = 0;
    if (read_int(r, v) && r.current)
        Set(r.current, v);
}

template <int (*Set)(_object *, float)>
void value_float(Reading &r)
{
    float v = 0.0f;
    if (read_float(r, v) && r.current)
        Set(r.current, v);
}

template <int (*Set)(_object *, const QEL_VECT2 &)>
void value_vect2(Reading &r)
{
    float v[2];
    if (read_floats(r, v, 2) && r.current)
        Set(r.current, QEL_VECT2(v[0], v[1]));
}

template <int (*Set)(_object *, const QEL_VECT3 &)>
void value_vect3(Reading &r)
{
    float v[3];
    if (read_floats(r, v, 3) && r.current)
        Set(r.current, QEL_VECT3(v[0], v[1], v[2]));
}

// Material values carry the level of the current object's type.
template <int (*Set)(_object *, float, int)>
void material_float(Reading &r)
{
    float v = 0.0f;
    if (read_float(r, v) && r.current)
        Set(r.current, v, r.level());
}

template <int (*Set)(_object *, int, int)>
void material_int(Reading &r)
{
    int v = 0;
    if (read_int(r, v) && r.current)
        Set(r.current, v, r.level());
}

// The backdrop is the root's texture: its records act only at the main file's top level,
// where the current object is the root until the first container.
template <int (*Set)(_object *, int)>
void backdrop_int(Reading &r)
{
    int v = 0;
    if (read_int(r, v) && r.top_level() && r.current)
        Set(r.current, v);
}

}  // namespace kiv::asf
