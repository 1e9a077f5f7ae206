// What selection shows on an object: highlight, triad and name label.
#pragma once

class _object;

namespace kiv::env {

enum : int { SHOW_HIGHLIGHT = 1, SHOW_TRIAD = 2, SHOW_LABEL = 4 };

// Shows the parts of `bits` on o; the first selected object is highlighted apart.
void show_selected(_object *o, int bits);
// Takes them off again; a label stays while the object's own name is shown.
void hide_selected(_object *o, int bits);

}  // namespace kiv::env
