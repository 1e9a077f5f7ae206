// Placement records: position, orientation and pivot in the parent's frame, and constraints.
// A file places objects where it says, so constraints are suspended around each placement.
#include "assembly/asf_reading.h"

#include <kivctrl/placement.h>

#include <strings.h>

namespace kiv::asf {

namespace {

class ConstraintsSuspended {
public:
    explicit ConstraintsSuspended(_object *o) : o_(o) { obj_suspend_constraints(o_); }
    ~ConstraintsSuspended() { obj_resume_constraints(o_); }
    ConstraintsSuspended(const ConstraintsSuspended &) = delete;
    ConstraintsSuspended &operator=(const ConstraintsSuspended &) = delete;

private:
    _object *o_;
};

} // namespace

void read_location(Reading &r)
{
    float v[3];
    if (!read_floats(r, v, 3) || !r.current)
        return;
    ConstraintsSuspended suspended(r.current);
    obj_set_pos(r.current, QEL_VECT3{v[0], v[1], v[2]}, FRAME_PARENT);
}

void read_orientation(Reading &r)
{
    float v[3];
    if (!read_floats(r, v, 3) || !r.current)
        return;
    ConstraintsSuspended suspended(r.current);
    obj_set_eangles(r.current, QEL_VECT3{v[0], v[1], v[2]}, FRAME_PARENT);
}

// The pivot is the offset back from the object's midpoint; the object stays where it is.
void read_offset(Reading &r)
{
    float v[3];
    if (!read_floats(r, v, 3) || !r.current)
        return;
    _object *o = r.current;
    ConstraintsSuspended suspended(o);
    QEL_VECT3 pos{};
    QEL_VECT3 mid{};
    obj_get_pos(o, pos, FRAME_PARENT);
    obj_get_midpoint(o, mid, FRAME_LOCAL);
    obj_set_pivot(o, QEL_VECT3{mid.x - v[0], mid.y - v[1], mid.z - v[2]}, FRAME_LOCAL);
    obj_set_pos(o, pos, FRAME_PARENT);
}

// SCALE and SELECT: read and ignored.
void read_ignored_value(Reading &r)
{
    r.in.value();
}

// Six flags in the order of the degrees of freedom: non-zero locks, zero frees.
void read_constrain(Reading &r)
{
    int v[6];
    if (scan_ints(r.in.value(), v, 6) < 6 || !r.current)
        return;
    for (int dof = 0; dof < 6; ++dof)
        obj_set_constrain(r.current, dof, v[dof] ? 4u : 0u, 0.0f, 0.0f);
}

void read_constraint_mode(Reading &r)
{
    const std::string word = r.in.value();
    if (!r.current)
        return;
    CONSTRAINT_MODE m = CONSTRAINT_PARENT;
    if (strcasecmp(word.c_str(), "LOCAL") == 0)
        m = CONSTRAINT_LOCAL;
    else if (strcasecmp(word.c_str(), "FRAME") == 0)
        m = CONSTRAINT_FRAME;
    else if (strcasecmp(word.c_str(), "OBJECT") == 0)
        m = CONSTRAINT_OBJECT;
    obj_set_constraint_mode(r.current, m);
}

} // namespace kiv::asf
