// The screen-aligned frame notes and names are placed in: origin at the object's centre,
// x to the right, y down the screen, in world units, computed without OpenGL.
#pragma once

#include "graphics/gs_transform.h"

class GSobject;

struct GSnoteframe {
    double centre[3]; // the object's world midpoint in eye coordinates
    float r;          // the object's radius (the unit of note offsets)
    double projection[16];
    int width, height; // the viewport

    // The frame for obj, whose local-to-world map is world.
    static GSnoteframe of(GSobject *obj, const GSaffine &world);
    // Window coordinates (y up, z the depth in 0..1) of frame point (x, y) at the centre's
    // depth; false when it lies on or behind the eye plane.
    bool window(double x, double y, double out[3]) const;
    // Frame coordinates of a world point.
    void from_world(const double p[3], double out[3]) const;

private:
    double view_[16];
};
