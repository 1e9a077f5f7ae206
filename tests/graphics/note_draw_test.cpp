// Notes and name labels as drawn on OSMesa, and note picking.
#include "baseline.h"
#include "render_fixture.h"

#include "graphics/gs_object.h"
#include "graphics/render_context.h"

#include <kivctrl/gs_bitmap.h>
#include <kivctrl/gs_note.h>
#include <kivctrl/gsobject.h>

#include <cmath>
#include <vector>

namespace {

using kivtest::Rgb;

// A square of half size h facing the camera at (x, y, z), in colour (r, g, b).
GSobject *square(float h, float x, float y, float z, float r, float g, float b)
{
    GSobject *obj = GSobject_begin(4);
    const float corners[4][2] = {{-h, -h}, {h, -h}, {h, h}, {-h, h}};
    float n[3] = {0, 0, 1};
    for (const auto &c : corners) {
        float p[3] = {c[0], c[1], 0};
        GSvertex v = GSvertex_new(p);
        GSvertex_setnormal(&v, n);
        GSobject_addvertex(obj, &v);
    }
    GSpoly *poly = GSpoly_begin(obj);
    for (int i = 0; i < 4; ++i)
        GSpoly_addvertex(poly, i);
    GSpoly_close(poly);
    GSobject_close(obj, 0.0f);
    GSobject_setcolor(obj, r, g, b, 100);
    GSobject_setspecular(obj, 0, 0, 0, 100);
    GSobject_add(obj);
    const float at[3] = {x, y, z};
    GSobject_setposition(obj, at);
    return obj;
}

// A bitmap of w x h of one depth, every pixel set (1 bit) or of one value per byte.
GSbitmap filled(int w, int h, int depth, std::vector<unsigned char> pixel = {255})
{
    GSbitmap b(w, h, depth);
    if (depth == 1) {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x)
                b.row(y)[x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
        }
        return b;
    }
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            for (size_t c = 0; c < pixel.size(); ++c)
                b.row(y)[x * pixel.size() + c] = pixel[c];
        }
    }
    return b;
}

class NoteDrawTest : public kivtest::UniverseTest {
public:
    static constexpr float kPx = kHeight / (20.0f * 0.41421356f); // pixels per unit at z = 0

    void SetUp() override
    {
        UniverseTest::SetUp();
        GSuniverse_setbgcolor(0, 0, 0);
        GSuniverse_setdrawtextcolor(1, 1, 0);
        GSlight_setambient(1.0f);
    }
    void TearDown() override
    {
        for (GSobject *o : made)
            GSobject_delete(o);
        GSlight_setambient(0.3f);
        GSuniverse_setdrawtextcolor(1, 1, 1);
        UniverseTest::TearDown();
    }
    GSobject *keep(GSobject *o)
    {
        made.push_back(o);
        return o;
    }
    // A note with bitmap b attached to obj at offset (x, y).
    GSnote *note(GSobject *obj, const GSbitmap &b, float x, float y)
    {
        GSnote *n = GSnote_new();
        GSnote_setbitmap(n, &b);
        GSnote_setoffset(n, x, y);
        EXPECT_GE(GSobject_noteattach(obj, n), 0);
        return n;
    }
    void draw()
    {
        GSuniverse_changed(1);
        frames_until_idle();
    }
    // Counts pixels of colour c within the rectangle [x0, x1) x [y0, y1) (y from the top).
    int count(Rgb c, int x0, int y0, int x1, int y1) const
    {
        int n = 0;
        for (int y = std::max(y0, 0); y < std::min(y1, kHeight); ++y) {
            for (int x = std::max(x0, 0); x < std::min(x1, kWidth); ++x) {
                const Rgb p = at(x, y);
                n += p.r == c.r && p.g == c.g && p.b == c.b;
            }
        }
        return n;
    }
    int count_all(Rgb c) const { return count(c, 0, 0, kWidth, kHeight); }

    std::vector<GSobject *> made;
};

constexpr Rgb kYellow{255, 255, 0}, kBlack{0, 0, 0}, kBlue{0, 0, 255}, kRed{255, 0, 0};

TEST_F(NoteDrawTest, OneBitNoteInTheTextColourCentredOrOffsetByRadii)
{
    // Hidden object: only the note and its leader show. Radius of a square of half size 2:
    // its half diagonal.
    GSobject *o = keep(square(2, 0, 0, 0, 0, 0, 1));
    GSobject_setvisibility(o, false);
    GSnote *n = note(o, filled(6, 4, 1), 0, 0);
    draw();
    // 6 x 4 pixels of text colour around the window centre, nothing else.
    EXPECT_EQ(count(kYellow, kWidth / 2 - 3, kHeight / 2 - 2, kWidth / 2 + 3, kHeight / 2 + 2), 24);
    EXPECT_EQ(count_all(kYellow), 24) << "no leader while the centre lies inside the note";
    // Offset (1, 1): one radius right and up.
    GSnote_setleader(n, false);
    GSnote_setoffset(n, 1, 1);
    draw();
    const float r = std::sqrt(8.0f) * kPx;
    const int cx = kWidth / 2 + static_cast<int>(std::lround(r)), cy = kHeight / 2 - static_cast<int>(std::lround(r));
    EXPECT_EQ(count(kYellow, cx - 3, cy - 2, cx + 3, cy + 2), 24);
    EXPECT_EQ(count_all(kYellow), 24);
    // The object's own text colour wins over the universe's.
    GSobject_setdrawtextcolor(o, 0, 1, 1);
    draw();
    EXPECT_EQ(count_all(Rgb{0, 255, 255}), 24);
    GSnote_setvisible(n, false);
    draw();
    EXPECT_EQ(count_all(Rgb{0, 255, 255}), 0);
}

TEST_F(NoteDrawTest, ALeaderJoinsTheCentreToANoteThatDoesNotCoverIt)
{
    GSobject *o = keep(square(2, 0, 0, 0, 0, 0, 1));
    GSobject_setvisibility(o, false);
    note(o, filled(6, 4, 1), 1.2f, 0);
    draw();
    // The note is right of the centre; the leader runs left from its edge to the centre row.
    const int noteleft = kWidth / 2 + static_cast<int>(std::lround(1.2f * std::sqrt(8.0f) * kPx)) - 3;
    EXPECT_EQ(count(kYellow, noteleft, kHeight / 2 - 2, noteleft + 6, kHeight / 2 + 2), 24);
    const int leader = count(kYellow, kWidth / 2, kHeight / 2 - 2, noteleft, kHeight / 2 + 2);
    EXPECT_GE(leader, noteleft - kWidth / 2 - 1);
    EXPECT_LE(leader, noteleft - kWidth / 2 + 1);
    EXPECT_EQ(count(kYellow, 0, 0, kWidth / 2 - 1, kHeight), 0) << "nothing beyond the centre";
}

TEST_F(NoteDrawTest, ForegroundNotesShowThroughNearerGeometry)
{
    GSobject *o = keep(square(1, 0, 0, 0, 0, 0, 1));
    GSnote *n = note(o, filled(6, 4, 1), 0, 0);
    GSnote_setleader(n, false);
    keep(square(3, 0, 0, 2, 1, 0, 0)); // nearer, covering the note
    draw();
    EXPECT_EQ(count_all(kYellow), 0);
    GSnote_setforeground(n, true);
    draw();
    EXPECT_EQ(count_all(kYellow), 24);
}

TEST_F(NoteDrawTest, PixelNotesShowTheirPixelsAndClipAtTheWindowEdge)
{
    // 24-bit columns: red, green, blue, repeating, 9 pixels wide, 3 high.
    GSbitmap b(9, 3, 24);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 9; ++x)
            b.row(y)[3 * x + x % 3] = 255;
    }
    GSobject *o = keep(square(1, 0, 0, 0, 0, 0, 1));
    GSobject_setvisibility(o, false);
    GSnote *n = note(o, b, 0, 0);
    GSnote_setleader(n, false);
    // Move the object so that the note's centre sits on the window's left edge.
    const float x = -(kWidth / 2) / kPx;
    const float place[3] = {x, 0, 0};
    GSobject_setposition(o, place);
    draw();
    // Columns 0..3 are off the window; column 4 (green) lands on x = 0, then 5 (blue) ...
    const int row = kHeight / 2;
    EXPECT_EQ(at(0, row).g, 255);
    EXPECT_EQ(at(1, row).b, 255);
    EXPECT_EQ(at(2, row).r, 255);
    EXPECT_EQ(at(4, row).r + at(4, row).g + at(4, row).b, 255);
    EXPECT_EQ(at(5, row).r + at(5, row).g + at(5, row).b, 0) << "no wrap";
    EXPECT_EQ(at(kWidth - 1, row).r + at(kWidth - 1, row).g + at(kWidth - 1, row).b, 0) << "no wrap";
}

TEST_F(NoteDrawTest, NotesWithAlphaBlendAfterOpaqueGeometry)
{
    GSobject *o = keep(square(1, 0, 0, 1, 0, 0, 0));
    GSobject_setvisibility(o, false);
    GSnote *n = note(o, filled(8, 8, 32, {255, 0, 0, 128}), 0, 0);
    GSnote_setleader(n, false);
    keep(square(3, 0, 0, 0, 0, 0, 1)); // drawn after the note's object, behind the note
    draw();
    const Rgb c = at(kWidth / 2, kHeight / 2);
    EXPECT_NEAR(c.r, 128, 1);
    EXPECT_NEAR(c.b, 127, 1);
    // Without transparency the note is drawn in the opaque pass, as it is.
    GSuniverse_settransparencyenable(false);
    draw();
    EXPECT_EQ(at(kWidth / 2, kHeight / 2).r, 255);
    EXPECT_EQ(at(kWidth / 2, kHeight / 2).b, 0);
    GSuniverse_settransparencyenable(true);
    // Grey and grey-alpha notes too.
    const GSbitmap grey = filled(8, 8, 8, {200}), greyalpha = filled(8, 8, 16, {200, 0});
    GSnote_setbitmap(n, &grey);
    draw();
    EXPECT_EQ(at(kWidth / 2, kHeight / 2).g, 200);
    GSnote_setbitmap(n, &greyalpha);
    draw();
    EXPECT_EQ(at(kWidth / 2, kHeight / 2).b, 255) << "alpha 0: the square behind";
}

TEST_F(NoteDrawTest, NotesOfNestedObjectsReachTheTransparentPass)
{
    GSobject *parent = keep(square(1, 0, 0, -5, 0, 0, 0));
    GSobject *child = square(1, 0, 0, 1, 0, 0, 0);
    GSobject_attach(parent, child);
    GSobject_setvisibility(child, false);
    GSnote *n = note(child, filled(8, 8, 32, {255, 0, 0, 128}), 0, 0);
    GSnote_setleader(n, false);
    keep(square(3, 0, 0, 0, 0, 0, 1));
    draw();
    EXPECT_NEAR(at(kWidth / 2, kHeight / 2).r, 128, 1);
}

TEST_F(NoteDrawTest, NamesAreLabelledBesideTheirObjects)
{
    GSobject *o = keep(square(1, 0, 0, 0, 0, 0, 1));
    GSobject_setvisibility(o, false);
    GSobject_setname(o, "Hb");
    GSobject_setdrawtext(o, true);
    draw();
    // The label starts one radius right and up; its leader starts at a corner of the square.
    const int r = static_cast<int>(std::lround(std::sqrt(2.0f) * kPx));
    const int x0 = kWidth / 2 + r, y0 = kHeight / 2 - r;
    EXPECT_GT(count(kYellow, x0, 0, kWidth, y0 + 1), 15) << "glyph ink above and right of the label point";
    EXPECT_EQ(count(kYellow, 0, kHeight / 2 + 7, kWidth, kHeight), 0) << "nothing below the square";
    EXPECT_EQ(count(kYellow, 0, 0, kWidth / 2, kHeight), 0) << "nothing left of the centre";
    EXPECT_EQ(GScurrentcontext().fonts.built(), 1);
    // Another FreeType's hinting moves a few ink pixels (mean well below 1); a missing or
    // misplaced label or leader moves all of its ink (mean above 1).
    kivtest::expect_baseline(*surface, "note_label", 255, 0.5);
}

TEST_F(NoteDrawTest, CharactersBeyondTheFirstBlockBuildTheirBlocks)
{
    GSuniverse_updatefont();
    ASSERT_EQ(GScurrentcontext().fonts.built(), 1);
    GSobject *o = keep(square(0.5f, -6, -3, 0, 0, 0, 1));
    GSobject_setvisibility(o, false);
    GSobject_setname(o, "\xCE\xA9\xE6\xBC\xA2\xF0\x9F\x98\x80"); // Omega, a CJK ideograph, an emoji
    GSobject_setdrawtext(o, true);
    draw();
    auto &fonts = GScurrentcontext().fonts;
    EXPECT_NE(fonts.block(0x03), 0u);
    EXPECT_NE(fonts.block(0x6F), 0u);
    EXPECT_NE(fonts.block(0xFF), 0u) << "the emoji shows as U+FFFD";
    EXPECT_EQ(fonts.built(), 4);
    EXPECT_GT(count_all(kYellow), 20);
    // Blocks take their own list numbers: none overlaps another.
    for (unsigned a : {0x00u, 0x03u, 0x6Fu, 0xFFu}) {
        for (unsigned b : {0x00u, 0x03u, 0x6Fu, 0xFFu}) {
            if (a < b) {
                EXPECT_TRUE(fonts.block(a) + 256 <= fonts.block(b) || fonts.block(b) + 256 <= fonts.block(a));
            }
        }
    }
    GSuniverse_updatefont();
    EXPECT_EQ(fonts.built(), 1);
    EXPECT_NE(fonts.block(0), 0u);
}

TEST_F(NoteDrawTest, PickingFindsTheNoteWithinTwoPixels)
{
    GSobject *o = keep(square(1, 0, 0, 0, 0, 0, 1));
    GSobject *other = keep(square(1, 0, 0, 0, 0, 0, 1));
    note(o, filled(6, 4, 1), 0, 0);
    // The note spans x 29..35 and y 22..26 (from the top) around the centre (32, 24).
    struct Case {
        float x, y;
        bool hit;
    };
    for (Case c : {Case{32, 24, true}, Case{27.5f, 24, true}, Case{26.5f, 24, false}, Case{36.5f, 24, true},
                   Case{37.5f, 24, false}, Case{32, 20.5f, true}, Case{32, 19.5f, false}, Case{32, 28.5f, false}}) {
        float xy[2] = {c.x, c.y};
        EXPECT_EQ(GSuniverse_picknote(xy), c.hit ? o : nullptr) << c.x << "," << c.y;
    }
    // The nearer of two overlapping notes wins.
    note(other, filled(6, 4, 1), 0, 0);
    const float near[3] = {0, 0, 2};
    GSobject_setposition(other, near);
    float centre[2] = {32, 24};
    EXPECT_EQ(GSuniverse_picknote(centre), other);
    // Behind the eye: a note that projects under the cursor through the mirror is not picked.
    const float behind[3] = {0, 0, 20};
    GSobject_setposition(other, behind);
    EXPECT_EQ(GSuniverse_picknote(centre), o);
}

} // namespace
