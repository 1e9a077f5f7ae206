// The clamp of a constrained degree of freedom.
#include <kivctrl/qel_math.h>

#include <cmath>

float constrain_value(CONSTRAINT *c, float current, float proposed)
{
    if (c->flags == 0) return proposed;
    if (c->flags & CONSTRAINT::LOCKED) return current;
    // A non-number never passes an active limit.
    if ((c->flags & CONSTRAINT::LOWER) && (proposed < c->min || std::isnan(proposed))) proposed = c->min;
    if ((c->flags & CONSTRAINT::UPPER) && (proposed > c->max || std::isnan(proposed))) return c->max;
    return proposed;
}
