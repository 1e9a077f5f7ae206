// One frame of a scene of 400 parts with 2 500 lit triangles each (1 M triangles), drawn
// by the universe and, in the same context with the same GL state, drawn raw: once from one
// display list and once with glBegin/glEnd. The universe should stay within 1.15 x the raw
// list time with display lists on and 1.1 x the raw immediate time with them off.
#include "platform/gl_surface.h"

#include <kivctrl/gs_universe.h>
#include <kivctrl/gsobject.h>

#include <GL/gl.h>
#include <GL/glu.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr int kSize = 512;
constexpr int kGrid = 20;    // parts per side
constexpr int kCells = 25;   // quads per patch side along x
constexpr int kRows = 50;    // ... and along y: 25 x 50 x 2 = 2 500 triangles

struct Scene {
    std::unique_ptr<kiv::platform::GlSurface> surface;
    std::vector<GSobject *> parts;
    std::vector<float> corners; // world position and normal per corner, 6 floats
    GLuint rawlist = 0;
};

// A wavy patch of 1 x 1 units, so that every vertex has its own normal.
void patch_point(float u, float v, float p[3], float n[3])
{
    const float k = 6.2831853f;
    p[0] = u, p[1] = v, p[2] = 0.05f * std::sin(k * u) * std::cos(k * v);
    float dx = -0.05f * k * std::cos(k * u) * std::cos(k * v);
    float dy = 0.05f * k * std::sin(k * u) * std::sin(k * v);
    float len = std::sqrt(dx * dx + dy * dy + 1);
    n[0] = dx / len, n[1] = dy / len, n[2] = 1 / len;
}

Scene &scene()
{
    static Scene s = [] {
        Scene s;
        s.surface = kiv::platform::GlSurface::create(kSize, kSize);
        s.surface->make_current();
        GSuniverse_init(kSize, kSize);
        GSviewpoint *vp = GSuniverse_getviewpoint();
        float pos[3] = {0, 0, 26}, q[4] = {1, 0, 0, 0};
        GSviewpoint_setposition(vp, pos);
        GSviewpoint_setorientation(vp, q);
        float dir[3] = {0.3f, 0.4f, -1};
        GSlight *light = GSlight_newdirected(dir, 0.8f);
        GSlight_setdirection(light, dir);
        GSlight_add(light);
        for (int gx = 0; gx < kGrid; ++gx) {
            for (int gy = 0; gy < kGrid; ++gy) {
                GSobject *obj = GSobject_begin((kCells + 1) * (kRows + 1));
                for (int j = 0; j <= kRows; ++j) {
                    for (int i = 0; i <= kCells; ++i) {
                        float p[3], n[3];
                        patch_point(float(i) / kCells, float(j) / kRows, p, n);
                        GSvertex v = GSvertex_new(p);
                        GSvertex_setnormal(&v, n);
                        GSobject_addvertex(obj, &v);
                    }
                }
                GSpoly *poly = GSpoly_begintriangles(obj, kCells * kRows * 2);
                for (int j = 0; j < kRows; ++j) {
                    for (int i = 0; i < kCells; ++i) {
                        const int a = j * (kCells + 1) + i, b = a + kCells + 1;
                        for (int k : {a, a + 1, b, b, a + 1, b + 1})
                            GSpoly_addvertex(poly, k);
                    }
                }
                GSpoly_close(poly);
                GSobject_close(obj, 0.0f);
                GSobject_setcolor(obj, 0.3f + 0.03f * gx, 0.5f, 0.3f + 0.03f * gy, 100);
                GSobject_add(obj);
                const float at[3] = {gx - kGrid / 2.0f + 0.5f, gy - kGrid / 2.0f + 0.5f, 0};
                GSobject_setposition(obj, at);
                s.parts.push_back(obj);
                // The raw copy: the same triangles in world coordinates.
                for (int j = 0; j < kRows; ++j) {
                    for (int i = 0; i < kCells; ++i) {
                        const float uv[6][2] = {{0, 0}, {1, 0}, {0, 1}, {0, 1}, {1, 0}, {1, 1}};
                        for (const auto &c : uv) {
                            float p[3], n[3];
                            patch_point(float(i + c[0]) / kCells, float(j + c[1]) / kRows, p, n);
                            s.corners.insert(s.corners.end(), {p[0] + at[0] - 0.5f, p[1] + at[1] - 0.5f,
                                                               p[2], n[0], n[1], n[2]});
                        }
                    }
                }
            }
        }
        return s;
    }();
    return s;
}

void raw_triangles(const Scene &s)
{
    glColor4f(0.5f, 0.5f, 0.5f, 1);
    glBegin(GL_TRIANGLES);
    for (size_t i = 0; i < s.corners.size(); i += 6) {
        glNormal3fv(&s.corners[i + 3]);
        glVertex3fv(&s.corners[i]);
    }
    glEnd();
}

// The frame around raw drawing: what the universe does before and after its objects.
template <typename Draw>
void raw_frame(Draw draw)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45, 1, 0.5, 1000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0, 0, -26);
    draw();
    glFinish();
}

void BM_UniverseFrame(benchmark::State &state)
{
    Scene &s = scene();
    GSuniverse_usedisplaylists(state.range(0) != 0);
    GSuniverse_repaint(); // compiles the lists outside the timing
    for (auto _ : state)
        GSuniverse_repaint();
    state.counters["triangles"] = double(s.corners.size() / 18);
}
BENCHMARK(BM_UniverseFrame)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

void BM_RawDisplayList(benchmark::State &state)
{
    Scene &s = scene();
    if (!s.rawlist) {
        s.rawlist = glGenLists(1);
        glNewList(s.rawlist, GL_COMPILE);
        raw_triangles(s);
        glEndList();
    }
    for (auto _ : state)
        raw_frame([&] { glCallList(s.rawlist); });
}
BENCHMARK(BM_RawDisplayList)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

void BM_RawImmediate(benchmark::State &state)
{
    Scene &s = scene();
    for (auto _ : state)
        raw_frame([&] { raw_triangles(s); });
}
BENCHMARK(BM_RawImmediate)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

} // namespace
