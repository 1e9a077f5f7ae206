// One frame of a scene of 400 parts with 2 500 lit triangles each (1 M triangles), drawn
// by the universe and, in the same context with the same GL state, drawn raw: once from one
// display list and once with glBegin/glEnd. The universe should stay within 1.15 x the raw
// list time with display lists on and 1.1 x the raw immediate time with them off.
#include "platform/gl_surface.h"

#include "bench/graphics/wavy_patch.h"

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
using kivbench::kCells;
using kivbench::kRows;
using kivbench::patch_point;

struct Scene {
    std::unique_ptr<kiv::platform::GlSurface> surface;
    std::vector<GSobject *> parts;
    std::vector<float> corners; // world position and normal per corner, 6 floats
    GLuint rawlist = 0;
};


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
                GSobject *obj = kivbench::wavy_patch();
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
