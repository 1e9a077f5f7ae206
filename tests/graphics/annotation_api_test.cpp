// Texture records and notes as the object API keeps them, without drawing.
#include "probe_images.h"

#include "graphics/gs_object.h"
#include "graphics/note_record.h"
#include "graphics/texture_coords.h"
#include "graphics/texture_record.h"

#include <kivctrl/gs_note.h>
#include <kivctrl/gs_texture.h>
#include <kivctrl/gsobject.h>

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace {

using kivtest::make_rgba;

// A closed box object from (0, 0, 0) to (sx, sy, sz), made of one triangle fan per corner set.
GSobject *box(float sx, float sy, float sz)
{
    GSobject *obj = GSobject_begin(8);
    for (int k = 0; k < 8; ++k) {
        float p[3] = {k & 1 ? sx : 0, k & 2 ? sy : 0, k & 4 ? sz : 0};
        GSvertex v = GSvertex_new(p);
        GSobject_addvertex(obj, &v);
    }
    GSpoly *poly = GSpoly_begintriangles(obj, 1);
    for (int i : {0, 1, 7})
        GSpoly_addvertex(poly, i);
    GSpoly_close(poly);
    GSobject_close(obj, 0.0f);
    return obj;
}

class TextureApiTest : public ::testing::Test {
public:
    void SetUp() override
    {
        obj = box(2, 4, 1);
        file = probe.add("checker", make_rgba(4, 2, [](int x, int y) {
                             return std::array{x * 60, y * 100, 7, 255};
                         }));
    }
    void TearDown() override { GSobject_delete(obj); }

    GStexture *record() { return obj->texture.get(); }
    bool has_attribute() { return obj->attribute(9) != nullptr; }

    kivtest::ProbeImages probe;
    GSobject *obj = nullptr;
    std::string file;
};

TEST_F(TextureApiTest, AssignmentCreatesTheRecordAndItsAttribute)
{
    ASSERT_TRUE(GSobject_settexture(obj, file.c_str()));
    ASSERT_NE(record(), nullptr);
    ASSERT_TRUE(has_attribute());
    EXPECT_EQ(obj->attribute(9)->priority, 100);
    EXPECT_EQ(obj->attribute(9)->texture, record());
    EXPECT_EQ(record()->path, file);
    EXPECT_FLOAT_EQ(record()->size, 4.0f); // the largest extent
    EXPECT_EQ(record()->image->pixels.width(), 4);
    EXPECT_EQ(record()->image->pixels.depth(), 32);
    // Planes: one texture repeat across the largest extent.
    EXPECT_FLOAT_EQ(record()->splane[0], 0.25f);
    EXPECT_FLOAT_EQ(record()->tplane[1], 0.25f);
}

TEST_F(TextureApiTest, OnePathIsReadOnceWhateverHowManyObjectsShowIt)
{
    GSobject *other = box(1, 1, 1);
    ASSERT_TRUE(GSobject_settexture(obj, file.c_str()));
    ASSERT_TRUE(GSobject_settexture(obj, file.c_str()));
    ASSERT_TRUE(GSobject_settexture(other, file.c_str()));
    EXPECT_EQ(probe.reads("checker"), 1);
    EXPECT_EQ(record()->image, other->texture->image);
    GSobject_delete(other);
    GSobject_settexture(obj, nullptr);
    // Once nobody holds it, the file is read again (it may have changed).
    ASSERT_TRUE(GSobject_settexture(obj, file.c_str()));
    EXPECT_EQ(probe.reads("checker"), 2);
}

TEST_F(TextureApiTest, UnreadableOrEmptyImagesLeaveNoTexture)
{
    probe.add("empty", GSbitmap(0, 5, 32));
    for (const char *path : {"missing.probe", "empty.probe", "/nonexistent/dir/x.bmp", ""}) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(GSobject_settexture(obj, path));
        EXPECT_EQ(record(), nullptr);
        EXPECT_FALSE(has_attribute());
    }
    // A failed replacement removes the texture that was there.
    ASSERT_TRUE(GSobject_settexture(obj, file.c_str()));
    EXPECT_FALSE(GSobject_settexture(obj, "missing.probe"));
    EXPECT_FALSE(GSobject_hastexture(obj));
    EXPECT_FALSE(has_attribute());
    // A null path clears.
    ASSERT_TRUE(GSobject_settexture(obj, file.c_str()));
    EXPECT_FALSE(GSobject_settexture(obj, nullptr));
    EXPECT_FALSE(has_attribute());
    EXPECT_FALSE(GSobject_settexture(nullptr, file.c_str()));
}

TEST_F(TextureApiTest, SettersWithoutARecordDoNothing)
{
    const float v2[2] = {2, 3}, v3[3] = {1, 2, 3}, q[4] = {0, 0, 0, 1};
    GSobject_settexturemethod(obj, 2);
    GSobject_settexturequality(obj, 1);
    GSobject_settexturetype(obj, 1);
    GSobject_settexturescale(obj, v2);
    GSobject_settexturepos(obj, v2);
    GSobject_settextureorient(obj, 30);
    GSobject_settexturegridscale(obj, v3);
    GSobject_settexturegridpos(obj, v3);
    GSobject_settexturegridorient(obj, q);
    GSobject_settextureactive(obj, 0);
    GSobject_settexturemethod(nullptr, 2);
    EXPECT_FALSE(GSobject_hastexture(obj));
    EXPECT_FALSE(has_attribute());
}

TEST_F(TextureApiTest, SettersMapTheirValues)
{
    ASSERT_TRUE(GSobject_settexture(obj, file.c_str()));
    GStexture *t = record();
    struct Method {
        int in, s, t;
    };
    for (Method m : {Method{1, 2, 1}, Method{2, 2, 2}, Method{0, 1, 1}, Method{7, 1, 1}}) {
        GSobject_settexturemethod(obj, m.in);
        EXPECT_EQ(t->smethod, m.s) << m.in;
        EXPECT_EQ(t->tmethod, m.t) << m.in;
    }
    for (auto [in, out] : {std::pair{1, 1}, {2, 0}, {0, 0}, {-1, 0}}) {
        GSobject_settexturequality(obj, in);
        EXPECT_EQ(t->quality, out) << in;
    }
    for (auto [in, out] : {std::pair{1, 1}, {2, 2}, {3, 0}, {-1, 0}, {0, 0}}) {
        GSobject_settexturetype(obj, in);
        EXPECT_EQ(t->type, out) << in;
    }
    const float s[2] = {2, 3}, p[2] = {0.5f, 0.25f};
    GSobject_settexturescale(obj, s);
    GSobject_settexturepos(obj, p);
    EXPECT_EQ((std::array{t->scale[0], t->scale[1], t->scale[2]}), (std::array{2.0f, 3.0f, 1.0f}));
    EXPECT_EQ((std::array{t->position[0], t->position[1], t->position[2]}), (std::array{0.5f, 0.25f, 0.0f}));
    // A quarter turn about z moves the x axis onto the y axis (one way or the other).
    GSobject_settextureorient(obj, 90);
    const ADT_PointD3 x = t->orientation * ADT_PointD3{1, 0, 0};
    EXPECT_NEAR(x.x, 0.0f, 1e-6f);
    EXPECT_NEAR(std::fabs(x.y), 1.0f, 1e-6f);
    EXPECT_NEAR(x.z, 0.0f, 1e-6f);
    // Activity: changed only when the state flips.
    GSobject_settextureactive(obj, 2);
    EXPECT_TRUE(t->inactive);
    EXPECT_TRUE(t->changed);
    GSobject_settextureactive(obj, 0);
    EXPECT_FALSE(t->changed);
    GSobject_settextureactive(obj, 3);
    EXPECT_FALSE(t->inactive);
    EXPECT_TRUE(t->changed);
}

TEST_F(TextureApiTest, GridSettersPlaceThePlanesAndTheGridMatrix)
{
    ASSERT_TRUE(GSobject_settexture(obj, file.c_str()));
    GStexture *t = record();
    const float pos[3] = {1, 2, 3}, scale[3] = {2, 2, 2};
    GSobject_settexturegridpos(obj, pos);
    GSobject_settexturegridscale(obj, scale);
    // The s plane is zero at the grid origin and grows by 1/size per unit of x.
    auto eval = [](const float pl[4], float x, float y, float z) { return pl[0] * x + pl[1] * y + pl[2] * z + pl[3]; };
    EXPECT_NEAR(eval(t->splane, 1, 2, 3), 0.0f, 1e-6f);
    EXPECT_NEAR(eval(t->splane, 5, 2, 3), 1.0f, 1e-6f);
    EXPECT_NEAR(eval(t->tplane, 1, 6, 3), 1.0f, 1e-6f);
    // The grid matrix takes the grid origin to 0 and scales around it.
    const ADT_PointD3 g = t->gridmatrix * ADT_PointD3{2, 2, 3};
    EXPECT_NEAR(g.x, 2.0f, 1e-6f);
    EXPECT_NEAR(g.y, 0.0f, 1e-6f);
    // A quarter turn about z turns the s plane's direction into the y axis (either sense).
    const float q[4] = {0, 0, std::sqrt(0.5f), std::sqrt(0.5f)};
    GSobject_settexturegridorient(obj, q);
    EXPECT_NEAR(std::fabs(t->splane[1]), 0.25f, 1e-6f);
    EXPECT_NEAR(t->splane[0], 0.0f, 1e-6f);
    EXPECT_NEAR(eval(t->splane, 1, 2, 3), 0.0f, 1e-6f);
}

TEST_F(TextureApiTest, UploadSizesArePowersOfTwoWithinTheLimit)
{
    struct Case {
        int w, h, max, uw, uh;
    };
    for (Case c : {Case{300, 200, 16384, 256, 128}, Case{2048, 2048, 16384, 2048, 2048},
                   Case{3000, 200, 16384, 1024, 128}, Case{32768, 16, 16384, 16384, 16},
                   Case{2, 2, 16384, 2, 2}, Case{1, 1, 16384, 1, 1}, Case{512, 3, 256, 256, 2}})
        EXPECT_EQ(GStexture_uploadsize(c.w, c.h, c.max), std::make_pair(c.uw, c.uh)) << c.w << "x" << c.h;
}

TEST(TextureCoords, ComputedCoordinatesFollowTheDirectionAndNeverWrapATriangle)
{
    GStexture t;
    t.recompute_planes();
    struct Case {
        const char *what;
        float p[3][3];
        float st[3][2];
    };
    const float q = 0.125f; // an eighth turn, as u
    const Case cases[] = {
        {"front, equator and above", {{0, 0, 1}, {1, 0, 1}, {0, 1, 1}}, {{0, 0}, {2 * q, 0}, {0, 0.25f}}},
        // Across the seam behind the object: u near +0.5 and -0.5 stay together.
        {"seam", {{0.1f, 0, -1}, {-0.1f, 0, -1}, {0, 1, -1}}, {{-1.031726f, 0}, {-0.968274f, 0}, {-1, 0.25f}}},
        // On the axis: the mean u of the others, and the pole's own side (top +0.5).
        {"top pole", {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}}, {{2 * q, 0.5f}, {4 * q, 0}, {0, 0}}},
        {"bottom pole", {{0, -2, 0}, {1, 0, 0}, {0, 0, 1}}, {{2 * q, -0.5f}, {4 * q, 0}, {0, 0}}},
        {"origin", {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}}, {{2 * q, -0.5f}, {4 * q, 0}, {0, 0}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const float *const p[3] = {c.p[0], c.p[1], c.p[2]};
        float st[3][2];
        GStexture_trianglecoords(t, p, st);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(st[i][0], c.st[i][0], 1e-4f) << "corner " << i;
            EXPECT_NEAR(st[i][1], c.st[i][1], 1e-4f) << "corner " << i;
        }
    }
}

// Notes.

TEST(NoteApi, NewNotesHaveTheirDefaultsAndCopyBitmaps)
{
    GSnote *n = GSnote_new();
    EXPECT_EQ(n->offset[0], -1.0f);
    EXPECT_EQ(n->offset[1], -1.0f);
    EXPECT_TRUE(n->visible);
    EXPECT_TRUE(n->leader);
    EXPECT_FALSE(n->foreground);
    EXPECT_FALSE(n->has_alpha());
    for (int depth : {1, 8, 16, 24, 32}) {
        GSbitmap b(3, 2, depth);
        b.setbyte(0, 0x80);
        GSnote_setbitmap(n, &b);
        b.setbyte(0, 0);
        ASSERT_NE(n->bitmap, nullptr);
        EXPECT_EQ(n->bitmap->depth(), depth);
        EXPECT_EQ(n->bitmap->getbyte(0), 0x80) << "a copy, not the caller's bitmap";
        EXPECT_EQ(n->has_alpha(), depth == 16 || depth == 32);
    }
    GSnote_setvisible(n, false);
    EXPECT_FALSE(n->has_alpha());
    GSnote_setbitmap(n, nullptr);
    EXPECT_EQ(n->bitmap, nullptr);
    GSnote_setoffset(n, 0.5f, 2);
    GSnote_setforeground(n, true);
    GSnote_setleader(n, false);
    EXPECT_EQ(n->offset[1], 2.0f);
    EXPECT_TRUE(n->foreground);
    EXPECT_FALSE(n->leader);
    GSnote_delete(n);
}

TEST(NoteApi, EachNoteHasOneOwner)
{
    GSobject *a = box(1, 1, 1), *b = box(1, 1, 1);
    GSnote *n[3] = {GSnote_new(), GSnote_new(), GSnote_new()};
    EXPECT_EQ(GSobject_noteattach(a, n[0]), 0);
    EXPECT_EQ(GSobject_noteattach(a, n[1]), 1);
    EXPECT_EQ(GSobject_noteattach(a, n[2]), 2);
    EXPECT_EQ(GSobject_noteattach(a, n[1]), 1) << "already held: its index, no second entry";
    EXPECT_EQ(GSobject_noteattach(b, n[1]), -1) << "held elsewhere";
    EXPECT_EQ(GSobject_notecount(a), 3);
    EXPECT_EQ(GSobject_notecount(b), 0);
    EXPECT_EQ(GSobject_notedetach(b, n[1]), 0);
    EXPECT_EQ(GSobject_notecount(a), 3);
    EXPECT_EQ(GSobject_notedetach(a, n[1]), 1);
    EXPECT_EQ(GSobject_noteget(a, 1), n[2]) << "later notes move down";
    EXPECT_EQ(GSobject_noteattach(b, n[1]), 0) << "free again";
    EXPECT_EQ(GSobject_noteget(a, 2), nullptr);
    EXPECT_EQ(GSobject_noteget(a, -1), nullptr);
    // Deleting an attached note detaches it first; the array never dangles.
    GSnote_delete(n[0]);
    EXPECT_EQ(GSobject_notecount(a), 1);
    EXPECT_EQ(GSobject_noteget(a, 0), n[2]);
    GSobject_deletenotes(a);
    EXPECT_EQ(GSobject_notecount(a), 0);
    // Deleting the object frees its notes.
    GSobject_delete(b);
    GSobject_delete(a);
    EXPECT_EQ(GSobject_noteattach(nullptr, n[0]), -1);
    EXPECT_EQ(GSobject_notecount(nullptr), 0);
}

} // namespace
