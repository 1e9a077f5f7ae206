// What attributes look like: inherited colours, the root's background, wire frames,
// half-transparent parts and highlight colours, drawn by the universe.
#include "tests/environment/bind_fixture.h"
#include "tests/graphics/render_fixture.h"

#include "graphics/light.h"

#include <kivctrl/placement.h>
#include <kivctrl/ve_env.h>
#include <kivctrl/obj_attr.h>

#include <GL/gl.h>

#include <cstdlib>

namespace {

// A square of side 2 * half about the origin, two triangles facing +Z.
GSobject *square(float half)
{
    GSobject *g = GSobject_begin();
    float corners[4][3] = {{-half, -half, 0}, {half, -half, 0}, {half, half, 0}, {-half, half, 0}};
    for (auto &c : corners) {
        GSvertex v = GSvertex_new(c);
        GSobject_addvertex(g, &v);
    }
    GSpoly *poly = GSpoly_begintriangles(g, 2);
    for (int i : {0, 1, 2, 0, 2, 3})
        GSpoly_addvertex(poly, i);
    GSpoly_close(poly);
    GSobject_close(g, 0.0f);
    return g;
}

// Two squares side by side under one group, seen from +Z with unlit colours.
class AttrPixels : public kivtest::UniverseTest {
protected:
    void SetUp() override
    {
        kivtest::UniverseTest::SetUp();
        GSlight_setambient(1.0f);
        assy = db_new_assembly("pixels");
        ASSERT_NE(assy, nullptr);
        root = assy->GetRoot();
        group = make(root, OBJ_GROUP, "group");
        left = make(group, OBJ_OBJECT, "left");
        right = make(group, OBJ_OBJECT, "right");
        ASSERT_EQ(give_mesh(left, square(1.5f)), 0);
        ASSERT_EQ(give_mesh(right, square(1.5f)), 0);
        obj_set_active(group, 1);
        obj_set_pos(left, QEL_VECT3(-3.0f, 0.0f, 0.0f), FRAME_PARENT);
        obj_set_pos(right, QEL_VECT3(3.0f, 0.0f, 0.0f), FRAME_PARENT);
        obj_set_color(left, 1.0f, 0.0f, 0.0f, ATTR_DEFAULT_LEVEL);
        obj_set_color(right, 1.0f, 0.0f, 0.0f, ATTR_DEFAULT_LEVEL);
    }
    void TearDown() override
    {
        db_delete_assembly(assy);
        GSlight_setambient(0.3f);
        kivtest::UniverseTest::TearDown();
    }

    _object *make(_object *parent, OBJECT_TYPE t, const char *name)
    {
        _object *o = db_create_obj(parent, t);
        obj_set_name(o, name);
        return o;
    }

    kivtest::Rgb draw_and_read(int x, int y)
    {
        GSuniverse_changed(1);
        frames_until_idle();
        return at(x, y);
    }
    // The centre of each square, 3 units (17 pixels) off the middle of the window.
    kivtest::Rgb left_pixel() { return draw_and_read(kWidth / 2 - 17, kHeight / 2); }
    kivtest::Rgb right_pixel() { return draw_and_read(kWidth / 2 + 17, kHeight / 2); }

    static ::testing::AssertionResult near(kivtest::Rgb p, int r, int g, int b)
    {
        if (std::abs(p.r - r) <= 3 && std::abs(p.g - g) <= 3 && std::abs(p.b - b) <= 3)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "(" << p.r << ", " << p.g << ", " << p.b << ")";
    }

    KivAssembly *assy = nullptr;
    _object *root = nullptr, *group = nullptr, *left = nullptr, *right = nullptr;
};

TEST_F(AttrPixels, AGroupsColourShowsOnPartsWithoutAValueOfTheirOwn)
{
    obj_set_color(group, 0.0f, 1.0f, 0.0f, ATTR_DEFAULT_LEVEL);
    obj_set_color(left, -1.0f, 0.0f, 0.0f, -1);
    obj_set_color(right, 0.0f, 0.0f, 1.0f, ATTR_DEFAULT_LEVEL);
    EXPECT_TRUE(near(left_pixel(), 0, 255, 0));
    EXPECT_TRUE(near(right_pixel(), 0, 0, 255));
    // A negative level takes the part's own value away: the group's shows again.
    obj_set_color(right, 0.0f, 0.0f, 1.0f, -1);
    EXPECT_TRUE(near(right_pixel(), 0, 255, 0));
    // The group without a colour lets the parts show their geometry's (white here).
    obj_set_color(group, -1.0f, 0.0f, 0.0f, ATTR_DEFAULT_LEVEL);
    EXPECT_TRUE(near(right_pixel(), 255, 255, 255));
}

TEST_F(AttrPixels, TheRootsColourIsTheBackgroundUntilItHasNone)
{
    obj_set_color(root, 0.2f, 0.4f, 0.6f, ATTR_DEFAULT_LEVEL);
    EXPECT_TRUE(near(draw_and_read(32, 44), 51, 102, 153));
    obj_set_color(root, -1.0f, 0.0f, 0.0f, ATTR_DEFAULT_LEVEL);
    const QEL_COLOR bg = env_get_bgcolor();
    const int grey = int(bg.r * 255.0f + 0.5f);
    EXPECT_TRUE(near(draw_and_read(32, 44), grey, grey, grey));
}

TEST_F(AttrPixels, AWireFrameLeavesTheInsideEmpty)
{
    auto coloured = [this] {
        int n = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = kWidth / 2; x < kWidth; ++x)
                n += at(x, y).r == 255 && at(x, y).g == 0;
        return n;
    };
    right_pixel();
    const int filled = coloured();
    obj_set_rendering(right, RENDER_WIREFRAME);
    EXPECT_FALSE(near(right_pixel(), 255, 0, 0));
    const int lines = coloured();
    EXPECT_GT(lines, 0);
    EXPECT_LT(lines, filled / 2);
}

TEST_F(AttrPixels, HalfTransparencyBlendsWithTheBackground)
{
    ASSERT_EQ(obj_set_transparency(right, 0.5f, ATTR_DEFAULT_LEVEL), 0);
    EXPECT_TRUE(near(right_pixel(), (255 + 192) / 2, 192 / 2, 192 / 2));
    EXPECT_TRUE(near(left_pixel(), 255, 0, 0));
}

TEST_F(AttrPixels, HighlightsShowTheirSlotsColourUntilRemoved)
{
    ASSERT_EQ(obj_set_highlight(right, 4), 0);
    EXPECT_TRUE(near(right_pixel(), 0, 255, 255));
    ASSERT_EQ(obj_set_highlight(group, 8), 0);
    EXPECT_TRUE(near(left_pixel(), 255, 255, 0));
    ASSERT_EQ(obj_set_highlight(group, 0), 0);
    EXPECT_TRUE(near(right_pixel(), 255, 0, 0));
    EXPECT_TRUE(near(left_pixel(), 255, 0, 0));
}

TEST_F(AttrPixels, SpotValuesBeyondWhatGLTakesAreSentAsTheNearestItDoes)
{
    _object *light = light_add(root, const_cast<char *>("spot"), LIGHT_SPOT);
    ASSERT_NE(light, nullptr);
    obj_set_angle(light, 300.0f);
    obj_set_exponent(light, 500.0f);
    while (glGetError() != GL_NO_ERROR) {
    }
    right_pixel();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(obj_get_angle(light), 300.0f);
    struct Case {
        float in, cutoff, exponent;
    };
    for (const Case c : {Case{100.0f, 180.0f, 100.0f}, Case{90.0f, 90.0f, 90.0f},
                         Case{-1.0f, 0.0f, 0.0f}, Case{200.0f, 180.0f, 128.0f}}) {
        EXPECT_EQ(GSlight_glcutoff(c.in), c.cutoff) << c.in;
        EXPECT_EQ(GSlight_glexponent(c.in), c.exponent) << c.in;
    }
}

}  // namespace
