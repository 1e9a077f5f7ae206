// The note record: a bitmap placed beside its object on the screen.
#pragma once

#include <kivctrl/gs_bitmap.h>

#include <memory>

class GSobject;

struct GSnote {
    std::unique_ptr<GSbitmap> bitmap;
    float offset[2] = {-1.0f, -1.0f}; // centre from the object's centre, in object radii
    bool visible = true;
    bool leader = true;
    bool foreground = false;
    GSobject *owner = nullptr; // the object holding it, if any

    // Drawn blended: visible, with a bitmap of 16 or 32 bits per pixel.
    bool has_alpha() const
    {
        return visible && bitmap && (bitmap->depth() == 16 || bitmap->depth() == 32);
    }
};
