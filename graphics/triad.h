// Axis triads and the markers of light and viewpoint nodes.
#pragma once

// Draws an axis triad of the given radius at the origin of the current modelview axes.
void GSdraw_triad(float radius);

// Draws the marker of a node with internal object type (4 directed light, 5 spot light,
// 6 point light, 7 viewpoint) at the current origin; other types have none. cutoff is a
// spot light's half cone angle; viewangle and aspect open the viewpoint's frustum.
void GSdraw_marker(int objecttype, float triadradius, float cutoff, double viewangle, double aspect);
