#include "graphics/light.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <memory>

void GSlight::recompute()
{
    for (int i = 0; i < 3; ++i) {
        specular[i] = color[i];
        ambient[i] = diffuse[i] = color[i] * intensity;
    }
    specular[3] = ambient[3] = diffuse[3] = 1.0f;
}

GSlightslots &GSlight_slots()
{
    static GSlightslots slots = [] {
        GSlightslots s;
        s.ambient.slot = -1;
        return s;
    }();
    return slots;
}

void GSlight_initslots(int count)
{
    GSlightslots &s = GSlight_slots();
    if (!s.slots.empty())
        return;
    s.slots.assign(static_cast<size_t>(std::max(count, 8)), nullptr);
    for (size_t k = 0; k < s.slots.size(); ++k)
        glDisable(GL_LIGHT0 + static_cast<GLenum>(k));
}

void GSlight_termslots()
{
    GSlight_slots().slots.clear();
}

float GSlight_glexponent(float exponent)
{
    return std::isnan(exponent) ? 0.0f : std::clamp(exponent, 0.0f, 128.0f);
}

float GSlight_glcutoff(float cutoff)
{
    if (std::isnan(cutoff) || cutoff < 0.0f)
        return 0.0f;
    return cutoff > 90.0f ? 180.0f : cutoff;
}

void GSlight_sendall()
{
    GSlightslots &s = GSlight_slots();
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, s.ambient.ambient);
    static const float no_ambient[4] = {0, 0, 0, 1};
    for (size_t k = 0; k < s.slots.size(); ++k) {
        const GLenum id = GL_LIGHT0 + static_cast<GLenum>(k);
        const GSlight *l = s.slots[k];
        if (!l || l->intensity <= 0.0f) {
            glDisable(id);
            continue;
        }
        glEnable(id);
        glLightfv(id, GL_AMBIENT, no_ambient);
        glLightfv(id, GL_SPECULAR, l->specular);
        glLightfv(id, GL_DIFFUSE, l->diffuse);
        if (l->type == 0) {
            const float toward[4] = {-l->direction[0], -l->direction[1], -l->direction[2], 0.0f};
            glLightfv(id, GL_POSITION, toward);
        } else {
            glLightfv(id, GL_POSITION, l->position);
        }
        const float dir[4] = {l->direction[0], l->direction[1], l->direction[2], 0.0f};
        glLightfv(id, GL_SPOT_DIRECTION, dir);
        glLightf(id, GL_SPOT_EXPONENT, GSlight_glexponent(l->exponent));
        glLightf(id, GL_SPOT_CUTOFF, GSlight_glcutoff(l->cutoff));
    }
}

namespace {
GSlight *make(int type, const float *p, float intensity)
{
    auto light = std::make_unique<GSlight>();
    light->type = type;
    light->position[0] = p[0];
    light->position[1] = p[1];
    light->position[2] = p[2];
    light->position[3] = type == 0 ? 0.0f : 1.0f;
    light->intensity = intensity;
    light->recompute();
    GSuniverse_changed(1);
    return light.release(); // owned by the caller until GSlight_delete
}
} // namespace

GSlight *GSlight_newdirected(float v[3], float intensity)
{
    return make(0, v, intensity);
}

GSlight *GSlight_newpoint(float p[3], float intensity)
{
    return make(1, p, intensity);
}

GSlight *GSlight_newspot(float p[3], float dir[3], float intensity, float exponent, float angle)
{
    GSlight *light = make(2, p, intensity);
    std::copy(dir, dir + 3, light->direction);
    light->exponent = exponent;
    light->cutoff = angle / 2.0f;
    return light;
}

void GSlight_add(GSlight *light)
{
    if (!light)
        return;
    auto &slots = GSlight_slots().slots;
    auto held = std::find(slots.begin(), slots.end(), light);
    if (held == slots.end())
        held = std::find(slots.begin(), slots.end(), nullptr);
    if (held == slots.end())
        return; // every slot is taken: the light stays unattached
    *held = light;
    light->slot = static_cast<int>(held - slots.begin());
    glEnable(GL_LIGHT0 + static_cast<GLenum>(light->slot));
    GSuniverse_changed(1);
}

void GSlight_remove(GSlight *light)
{
    auto &slots = GSlight_slots().slots;
    for (size_t k = 0; k < slots.size(); ++k) {
        if (slots[k] == light && light) {
            slots[k] = nullptr;
            glDisable(GL_LIGHT0 + static_cast<GLenum>(k));
        }
    }
    GSuniverse_changed(1);
}

void GSlight_delete(GSlight *light)
{
    if (!light)
        return;
    GSlight_remove(light);
    std::unique_ptr<GSlight> owned(light);
}

void GSlight_setposition(GSlight *light, float p[3])
{
    std::copy(p, p + 3, light->position);
    light->position[3] = 1.0f;
    GSuniverse_changed(1);
}

void GSlight_getposition(GSlight *light, float out[3])
{
    std::copy(light->position, light->position + 3, out);
}

void GSlight_setdirection(GSlight *light, float d[3])
{
    std::copy(d, d + 3, light->direction);
    GSuniverse_changed(1);
}

void GSlight_getdirection(GSlight *light, float out[3])
{
    std::copy(light->direction, light->direction + 3, out);
}

void GSlight_setintensity(GSlight *light, float intensity)
{
    light->intensity = intensity;
    light->recompute();
    GSuniverse_changed(1);
}

float GSlight_getintensity(GSlight *light)
{
    return light->intensity;
}

void GSlight_setcolor(GSlight *light, float r, float g, float b)
{
    if (!light)
        return;
    light->color[0] = r;
    light->color[1] = g;
    light->color[2] = b;
    light->recompute();
    GSuniverse_changed(1);
}

void GSlight_settype(GSlight *light, int type)
{
    light->type = type;
    light->position[3] = type == 0 ? 0.0f : 1.0f;
    GSuniverse_changed(1);
}

int GSlight_gettype(GSlight *light)
{
    return light->type;
}

void GSlight_setexponent(GSlight *light, float exponent)
{
    light->exponent = exponent;
    GSuniverse_changed(1);
}

float GSlight_getexponent(GSlight *light)
{
    return light->exponent;
}

void GSlight_setangle(GSlight *light, float angle)
{
    light->cutoff = angle / 2.0f;
    GSuniverse_changed(1);
}

float GSlight_getangle(GSlight *light)
{
    return light->cutoff * 2.0f;
}

void GSlight_setambient(float a)
{
    GSlight &ambient = GSlight_slots().ambient;
    ambient.ambient[0] = ambient.ambient[1] = ambient.ambient[2] = a;
    ambient.ambient[3] = 1.0f;
    GSuniverse_changed(1);
}

float GSlight_getambient()
{
    return GSlight_slots().ambient.ambient[0];
}
