// Resolving the default attribute level, and storing an object's colour.
#pragma once

#include <kivctrl/obj_attr.h>

namespace kiv::db {

// A material level as given, or for ATTR_DEFAULT_LEVEL the default of o's type: 100, or 200
// for a face.
int material_level(const _object *o, int level);
// A colour level as given, or for ATTR_DEFAULT_LEVEL: 100, or for a face 200 when red >= 0
// and -200 otherwise (a face without a colour of its own shows its part's).
int color_level(const _object *o, float red, int level);
// Stores the colour and its resolved level without applying it.
void store_color(_object *o, const QEL_COLOR &c, int level);

}  // namespace kiv::db
