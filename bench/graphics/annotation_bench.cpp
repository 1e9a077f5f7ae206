// Textures and name labels in a frame.
//
// Textures: 100 parts of 2 500 lit triangles, each with its own 256 x 256 planar texture,
// drawn by the universe and, in the same context, raw: one glBindTexture of a ready texture
// object, the same texgen planes and the triangles per part. The universe should stay within
// 1.15 x the raw time.
//
// Labels: the 1 M-triangle scene of 400 parts with 200 of them showing a 14-character name,
// against the same frame without names. The names should cost at most 10 % of the frame.
#include "platform/gl_surface.h"

#include "bench/graphics/wavy_patch.h"

#include <kivctrl/gs_image.h>
#include <kivctrl/gs_texture.h>
#include <kivctrl/gs_universe.h>
#include <kivctrl/gsobject.h>

#include <GL/gl.h>
#include <GL/glu.h>
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kSize = 512;
using kivbench::kCells;
using kivbench::kRows;
using kivbench::patch_point;
constexpr int kImage = 256;

// Checker images made in memory, one per name "<n>.bench".
class Images : public GSimageReaderFactoryImp {
public:
    Images() : GSimageReaderFactoryImp("bench") { image_reader_register(this); }
    const char *name() override { return "Bench images"; }
    GSimageReader *create(const GSimageParams &p) override
    {
        if (p.file.size() < 6 || p.file.compare(p.file.size() - 6, 6, ".bench") != 0)
            return nullptr;
        return std::make_unique<Reader>(p, std::stoi(p.file)).release();
    }

private:
    class Reader : public GSimageReader {
    public:
        Reader(const GSimageParams &p, int n) : GSimageReader(p), n_(n) {}
        int read(GSbitmap **b) override
        {
            auto bitmap = std::make_unique<GSbitmap>(kImage, kImage, 32);
            for (int y = 0; y < kImage; ++y) {
                unsigned char *row = bitmap->row(y);
                for (int x = 0; x < kImage; ++x) {
                    const bool on = ((x + n_) / 16 + y / 16) % 2;
                    row[4 * x] = static_cast<unsigned char>(on ? 255 : n_ * 2);
                    row[4 * x + 1] = static_cast<unsigned char>(on ? 128 : 255 - n_);
                    row[4 * x + 2] = static_cast<unsigned char>(n_ * 7);
                    row[4 * x + 3] = 255;
                }
            }
            *b = bitmap.release();
            return 1;
        }
        int info(GSbitmapInfo *) override { return 1; }

    private:
        int n_;
    };
};


GSobject *patch(float x, float y)
{
    GSobject *obj = kivbench::wavy_patch();
    GSobject_setcolor(obj, 0.8f, 0.7f, 0.6f, 100);
    GSobject_add(obj);
    const float at[3] = {x, y, 0};
    GSobject_setposition(obj, at);
    return obj;
}

struct Scene {
    std::unique_ptr<kiv::platform::GlSurface> surface;
    Images images;
    std::vector<GSobject *> parts;
    std::vector<std::array<float, 2>> origins;
    std::vector<GLuint> rawtextures;
    float zdistance = 0;

    void clear()
    {
        for (GSobject *o : parts)
            GSobject_delete(o);
        parts.clear();
        origins.clear();
    }
};

Scene &base()
{
    static Scene s = [] {
        Scene s;
        s.surface = kiv::platform::GlSurface::create(kSize, kSize);
        s.surface->make_current();
        GSuniverse_init(kSize, kSize);
        float dir[3] = {0.3f, 0.4f, -1};
        GSlight *light = GSlight_newdirected(dir, 0.8f);
        GSlight_setdirection(light, dir);
        GSlight_add(light);
        return s;
    }();
    return s;
}

void look_from(float z)
{
    GSviewpoint *vp = GSuniverse_getviewpoint();
    float pos[3] = {0, 0, z}, q[4] = {1, 0, 0, 0};
    GSviewpoint_setposition(vp, pos);
    GSviewpoint_setorientation(vp, q);
}

// A grid of n x n parts centred on the origin.
Scene &grid(int n)
{
    Scene &s = base();
    if (static_cast<int>(s.parts.size()) != n * n) {
        s.clear();
        for (int gx = 0; gx < n; ++gx) {
            for (int gy = 0; gy < n; ++gy) {
                const float x = gx - n / 2.0f + 0.5f, y = gy - n / 2.0f + 0.5f;
                s.parts.push_back(patch(x, y));
                s.origins.push_back({x - 0.5f, y - 0.5f});
            }
        }
    }
    s.zdistance = n * 1.3f;
    look_from(s.zdistance);
    return s;
}

void textured_frame(benchmark::State &state)
{
    Scene &s = grid(10);
    for (size_t i = 0; i < s.parts.size(); ++i) {
        const std::string name = std::to_string(i) + ".bench";
        GSobject_settexture(s.parts[i], name.c_str());
        GSobject_settexturequality(s.parts[i], 1);
    }
    GSuniverse_usedisplaylists(state.range(0) != 0);
    GSuniverse_repaint(); // uploads outside the timing
    for (auto _ : state)
        GSuniverse_repaint();
    for (GSobject *o : s.parts)
        GSobject_settexture(o, nullptr);
}

void BM_TexturedParts(benchmark::State &state)
{
    textured_frame(state);
}
BENCHMARK(BM_TexturedParts)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

void BM_RawTexturedParts(benchmark::State &state)
{
    Scene &s = grid(10);
    std::vector<unsigned char> pixels(kImage * kImage * 4);
    if (s.rawtextures.empty()) {
        s.rawtextures.resize(s.parts.size());
        glGenTextures(static_cast<GLsizei>(s.rawtextures.size()), s.rawtextures.data());
        for (size_t i = 0; i < s.rawtextures.size(); ++i) {
            GSbitmap *b = nullptr;
            const std::string name = std::to_string(i) + ".bench";
            std::unique_ptr<GSimageReader> r(s.images.create(GSimageParams(name.c_str())));
            r->read(&b);
            std::unique_ptr<GSbitmap> owned(b);
            glBindTexture(GL_TEXTURE_2D, s.rawtextures[i]);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, kImage, kImage, 0, GL_RGBA, GL_UNSIGNED_BYTE, b->bitmap());
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        }
    }
    // The same triangles per part in part coordinates.
    std::vector<float> corners;
    for (int j = 0; j < kRows; ++j) {
        for (int i = 0; i < kCells; ++i) {
            const float uv[6][2] = {{0, 0}, {1, 0}, {0, 1}, {0, 1}, {1, 0}, {1, 1}};
            for (const auto &c : uv) {
                float p[3], n[3];
                patch_point(float(i + c[0]) / kCells, float(j + c[1]) / kRows, p, n);
                corners.insert(corners.end(), {p[0], p[1], p[2], n[0], n[1], n[2]});
            }
        }
    }
    const float splane[4] = {1, 0, 0, 0}, tplane[4] = {0, 1, 0, 0};
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45, 1, 0.5, 1000);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(0, 0, -s.zdistance);
        glEnable(GL_LIGHTING);
        glEnable(GL_TEXTURE_2D);
        glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
        glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
        glTexGenfv(GL_S, GL_OBJECT_PLANE, splane);
        glTexGenfv(GL_T, GL_OBJECT_PLANE, tplane);
        glEnable(GL_TEXTURE_GEN_S);
        glEnable(GL_TEXTURE_GEN_T);
        glColor4f(1, 1, 1, 1);
        for (size_t k = 0; k < s.parts.size(); ++k) {
            glBindTexture(GL_TEXTURE_2D, s.rawtextures[k]);
            glPushMatrix();
            glTranslatef(s.origins[k][0], s.origins[k][1], 0);
            glBegin(GL_TRIANGLES);
            for (size_t i = 0; i < corners.size(); i += 6) {
                glNormal3fv(&corners[i + 3]);
                glVertex3fv(&corners[i]);
            }
            glEnd();
            glPopMatrix();
        }
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
        glDisable(GL_TEXTURE_2D);
        glFinish();
    }
}
BENCHMARK(BM_RawTexturedParts)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

// The 1 M-triangle frame with display lists, with names on every other part (arg 1) or none.
void BM_LabelledFrame(benchmark::State &state)
{
    Scene &s = grid(20);
    for (size_t i = 0; i < s.parts.size(); ++i) {
        GSobject_setname(s.parts[i], ("part-" + std::to_string(100000 + i) + "-x").c_str());
        GSobject_setdrawtext(s.parts[i], state.range(0) != 0 && i % 2 == 0);
    }
    GSuniverse_usedisplaylists(true);
    GSuniverse_repaint(); // lists and glyph blocks built outside the timing
    for (auto _ : state)
        GSuniverse_repaint();
    for (GSobject *o : s.parts)
        GSobject_setdrawtext(o, false);
}
BENCHMARK(BM_LabelledFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

} // namespace
