// Viewpoints: view angle, zoom and framing.
#pragma once

class _object;

// A viewpoint's field of view in degrees; other types ignore it. Returns 0.
int obj_set_viewangle(_object *o, float degrees);
