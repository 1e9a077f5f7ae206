// The viewpoint's part in drawing: projection, view matrix and the level-of-detail test.
#pragma once

#include <kivctrl/gs_universe.h>

// Passes the viewport's aspect ratio to the viewpoint (recomputes the detail factor).
void GSviewpoint_setaspect(double aspect);
// gluPerspective onto the current projection matrix.
void GSviewpoint_applyprojection();
// Modelview mode, push, then load the world-to-camera matrix.
void GSviewpoint_applyview();
// True when a bound of squared radius r2 around world point p projects to at most
// sqrt(t) pixels.
bool GSviewpoint_sizetest(float r2, const float p[3], float t);
// The camera position in world coordinates.
const float *GSviewpoint_position();
// The aspect ratio last passed by the universe.
double GSviewpoint_aspect();
// World to OpenGL eye coordinates, column-major as glLoadMatrixd takes it (the matrix
// GSviewpoint_applyview loads).
void GSviewpoint_viewmatrix(double m[16]);
// The matrix GSviewpoint_applyprojection multiplies on, column-major.
void GSviewpoint_projectionmatrix(double m[16]);
