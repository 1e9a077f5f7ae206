#include "graphics/triad.h"

#include <GL/gl.h>

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

// Marker and triad drawing leaves every GL value as it found it.
struct SavedState {
    SavedState()
    {
        glPushAttrib(GL_ENABLE_BIT | GL_LINE_BIT | GL_CURRENT_BIT | GL_POLYGON_BIT | GL_LIGHTING_BIT);
        glDisable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
        glLineWidth(1.0f);
    }
    ~SavedState() { glPopAttrib(); }
};

void line(const float a[3], const float b[3])
{
    glVertex3fv(a);
    glVertex3fv(b);
}

// Letter strokes in the plane of axis u and v, centred at c, with half size h.
void letter(char which, const float c[3], const float u[3], const float v[3], float h)
{
    auto at = [&](float du, float dv, float out[3]) {
        for (int i = 0; i < 3; ++i)
            out[i] = c[i] + h * (du * u[i] + dv * v[i]);
    };
    float p[4][3];
    glBegin(GL_LINES);
    switch (which) {
    case 'X':
        at(-1, -1, p[0]), at(1, 1, p[1]), at(-1, 1, p[2]), at(1, -1, p[3]);
        line(p[0], p[1]);
        line(p[2], p[3]);
        break;
    case 'Y':
        at(-1, 1, p[0]), at(0, 0, p[1]), at(1, 1, p[2]), at(0, -1, p[3]);
        line(p[0], p[1]);
        line(p[2], p[1]);
        line(p[1], p[3]);
        break;
    default:
        at(-1, 1, p[0]), at(1, 1, p[1]), at(-1, -1, p[2]), at(1, -1, p[3]);
        line(p[0], p[1]);
        line(p[1], p[2]);
        line(p[2], p[3]);
        break;
    }
    glEnd();
}

// A small filled octahedron, white and smooth shaded.
void bulb(float size)
{
    static const float v[6][3] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    static const int tri[8][3] = {{0, 2, 4}, {2, 1, 4}, {1, 3, 4}, {3, 0, 4},
                                  {2, 0, 5}, {1, 2, 5}, {3, 1, 5}, {0, 3, 5}};
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glShadeModel(GL_SMOOTH);
    glColor3f(1, 1, 1);
    glBegin(GL_TRIANGLES);
    for (const auto &t : tri) {
        for (int k : t) {
            glNormal3fv(v[k]);
            glVertex3f(v[k][0] * size, v[k][1] * size, v[k][2] * size);
        }
    }
    glEnd();
}

// A filled box of half size s around the origin.
void box(float s)
{
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glColor3f(1, 1, 1);
    static const int faces[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1},
                                    {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
    glBegin(GL_QUADS);
    for (const auto &f : faces) {
        for (int k : f)
            glVertex3f(k & 4 ? s : -s, k & 2 ? s : -s, k & 1 ? s : -s);
    }
    glEnd();
}

} // namespace

void GSdraw_triad(float radius)
{
    SavedState saved;
    static const float axes[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    static const char names[3] = {'X', 'Y', 'Z'};
    const float origin[3] = {0, 0, 0};
    for (int a = 0; a < 3; ++a) {
        glColor3fv(axes[a]);
        const float tip[3] = {axes[a][0] * radius, axes[a][1] * radius, axes[a][2] * radius};
        const float tail[3] = {-tip[0], -tip[1], -tip[2]};
        glDisable(GL_LINE_STIPPLE);
        glBegin(GL_LINES);
        line(origin, tip);
        glEnd();
        glEnable(GL_LINE_STIPPLE);
        glLineStipple(1, 0xF0F0);
        glBegin(GL_LINES);
        line(origin, tail);
        glEnd();
        glDisable(GL_LINE_STIPPLE);
        // The letter stands just beyond the tip, drawn in the plane of the next two axes.
        const float centre[3] = {tip[0] * 1.08f, tip[1] * 1.08f, tip[2] * 1.08f};
        const float *u = axes[(a + 1) % 3], *v = axes[(a + 2) % 3];
        letter(names[a], centre, a == 1 ? v : u, a == 1 ? u : v, radius * 0.03f);
    }
}

void GSdraw_marker(int objecttype, float triadradius, float cutoff, double viewangle, double aspect)
{
    if (objecttype < 4 || objecttype > 7)
        return;
    SavedState saved;
    const float s = triadradius * 0.02f;
    const float len = s * 6;
    glBegin(GL_LINES);
    if (objecttype == 4) {
        // An arrow along the light's default direction, -Z.
        glColor3f(1, 1, 0);
        glVertex3f(0, 0, 0), glVertex3f(0, 0, -len);
        glVertex3f(0, 0, -len), glVertex3f(s, 0, -len + 2 * s);
        glVertex3f(0, 0, -len), glVertex3f(-s, 0, -len + 2 * s);
        glVertex3f(0, 0, -len), glVertex3f(0, s, -len + 2 * s);
        glVertex3f(0, 0, -len), glVertex3f(0, -s, -len + 2 * s);
    } else if (objecttype == 5) {
        // The cone of a spot light, opened by its cutoff, along -Z.
        glColor3f(1, 0, 1);
        const double half = std::fmin(cutoff, 89.0) * kPi / 180.0;
        const float r = float(len * std::tan(half));
        for (int k = 0; k < 8; ++k) {
            const double a = 2 * kPi * k / 8, b = 2 * kPi * (k + 1) / 8;
            glVertex3f(0, 0, 0), glVertex3f(r * float(std::cos(a)), r * float(std::sin(a)), -len);
            glVertex3f(r * float(std::cos(a)), r * float(std::sin(a)), -len);
            glVertex3f(r * float(std::cos(b)), r * float(std::sin(b)), -len);
        }
    } else if (objecttype == 7) {
        // The view frustum: the camera looks along its +Z axis.
        glColor3f(1, 0, 1);
        const float h = float(len * std::tan(viewangle * kPi / 360.0));
        const float w = h * float(aspect > 0 ? aspect : 1.0);
        const float c[4][2] = {{-w, -h}, {w, -h}, {w, h}, {-w, h}};
        for (int k = 0; k < 4; ++k) {
            glVertex3f(0, 0, 0), glVertex3f(c[k][0], c[k][1], len);
            glVertex3f(c[k][0], c[k][1], len), glVertex3f(c[(k + 1) % 4][0], c[(k + 1) % 4][1], len);
        }
    }
    glEnd();
    if (objecttype == 5 || objecttype == 6)
        bulb(s);
    else if (objecttype == 7)
        box(s);
}
