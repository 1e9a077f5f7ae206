// The light record and the universe's light slots.
#pragma once

#include <kivctrl/gs_universe.h>

#include <vector>

struct GSlight {
    int slot = 0; // OpenGL light index; -1 for the ambient light
    int type = 0; // 0 directed, 1 point, 2 spot
    float ambient[4] = {0, 0, 0, 1};
    float diffuse[4] = {0, 0, 0, 1};
    float specular[4] = {0, 0, 0, 1};
    float position[4] = {0, 0, 1, 0};
    float direction[3] = {0, 0, -1};
    float exponent = 0;
    float cutoff = 180;
    float attenuation[3] = {1, 0, 0};
    float color[3] = {0.3f, 0.3f, 0.3f};
    float intensity = 1;

    GSlight() { recompute(); }
    // Specular follows the colour; ambient and diffuse the colour scaled by the intensity.
    void recompute();
};

// Slot 0 is the ambient light; slots 1 to count drive OpenGL lights 0 to count - 1.
struct GSlightslots {
    GSlight ambient{};
    std::vector<GSlight *> slots; // empty until the universe is first initialised
};

GSlightslots &GSlight_slots();
// Creates the slots for count OpenGL lights (at least 8) and disables them; once.
void GSlight_initslots(int count);
void GSlight_termslots();
// What OpenGL accepts of a spot exponent (0..128) and cutoff (0..90, or 180 for no cone): a
// stored value outside is sent as the nearest one GL takes, so a wide cone lights everything
// instead of leaving the slot with the previous light's value.
float GSlight_glexponent(float exponent);
float GSlight_glcutoff(float cutoff);
// Sends the ambient light and every slot; run once per frame after the view is set.
void GSlight_sendall();
