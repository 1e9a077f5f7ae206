// Animation paths of key nodes.
#pragma once

#include <kivctrl/qel_math.h>

class _path;

// Removes the path from its root's path list and frees it with its nodes.
void path_delete(_path *p);
// Re-expresses every node of the path from the coordinates of a parent whose world frame is
// `parent` into world coordinates, and back; both clear the path's cached state.
void path_to_world(_path *p, const QEL_FRAME &parent);
void path_from_world(_path *p, const QEL_FRAME &parent);
