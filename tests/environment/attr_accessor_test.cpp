// Attribute accessors: round trips with levels, the defaults of each object type, clamps and
// refusals, and the error codes of a null object.
#include "tests/environment/bind_fixture.h"

#include "graphics/gs_object.h"
#include "graphics/render_context.h"

#include <kivctrl/gs_universe.h>
#include <kivctrl/obj_attr.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>

namespace {

using AttrTest = DbTest;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// One setter and the getter that reads it back: (value, level) set on a part and on a face,
// then the value and level read back.
struct RoundTrip {
    std::string name;
    std::function<int(_object *, float, int)> set;
    std::function<int(_object *, float &, int &)> get;
};

const RoundTrip kRoundTrips[] = {
    {"color",
     [](_object *o, float v, int l) { return obj_set_color(o, v, 0.25f, 0.75f, l); },
     [](_object *o, float &v, int &l) {
         float g, b;
         return obj_get_color(o, v, g, b, l);
     }},
    {"specular",
     [](_object *o, float v, int l) { return obj_set_specular(o, QEL_COLOR{v, v, v}, l); },
     [](_object *o, float &v, int &l) {
         QEL_COLOR c{};
         const int rc = obj_get_specular(o, c, l);
         if (rc == 0)
             v = c.g;
         return rc;
     }},
    {"emission",
     [](_object *o, float v, int l) { return obj_set_emission(o, v, v, v, l); },
     [](_object *o, float &v, int &l) {
         float r, b;
         return obj_get_emission(o, r, v, b, l);
     }},
    {"shininess", obj_set_shininess,
     [](_object *o, float &v, int &l) { return obj_get_shininess(o, v, l); }},
    {"transparency", obj_set_transparency,
     [](_object *o, float &v, int &l) { return obj_get_transparency(o, v, l); }},
    {"reflectivity", obj_set_reflectivity,
     [](_object *o, float &v, int &l) { return obj_get_reflectivity(o, v, l); }},
    {"ior", obj_set_ior, [](_object *o, float &v, int &l) { return obj_get_ior(o, v, l); }},
    {"roughness", obj_set_roughness,
     [](_object *o, float &v, int &l) { return obj_get_roughness(o, v, l); }},
    {"metallic", [](_object *o, float v, int l) { return obj_set_metallic(o, int(v * 4), l); },
     [](_object *o, float &v, int &l) {
         int m = 0;
         const int rc = obj_get_metallic(o, m, l);
         if (rc == 0)
             v = m / 4.0f;
         return rc;
     }},
    {"shadow", [](_object *o, float v, int l) { return obj_set_shadow(o, int(v * 4), l); },
     [](_object *o, float &v, int &l) {
         int s = 0;
         const int rc = obj_get_shadow(o, s, l);
         if (rc == 0)
             v = s / 4.0f;
         return rc;
     }},
};

void PrintTo(const RoundTrip &t, std::ostream *os)
{
    *os << t.name;
}

class AccessorTest : public AttrTest, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(AccessorTest, StoresValueAndResolvedLevelPerTypeAndRefusesNull)
{
    const RoundTrip &t = GetParam();
    _object *part = make(root, OBJ_OBJECT, "part");
    _object *face = make(part, OBJ_FACE, "face");
    struct Case {
        _object *o;
        int level;
        int expected;
    };
    // The default level is 100 on a part, 200 on a face; explicit levels stay as given.
    const Case cases[] = {{part, ATTR_DEFAULT_LEVEL, 100}, {face, ATTR_DEFAULT_LEVEL, 200},
                          {part, 7, 7},  {face, -3, -3}};
    for (const Case &c : cases) {
        ASSERT_EQ(t.set(c.o, 0.5f, c.level), 0);
        float v = 0.0f;
        int level = 0;
        ASSERT_EQ(t.get(c.o, v, level), 0);
        EXPECT_EQ(v, 0.5f) << c.o->name;
        EXPECT_EQ(level, c.expected) << c.o->name;
    }
    float v = 3.0f;
    int level = 3;
    EXPECT_EQ(t.set(nullptr, 0.5f, 100), 101);
    EXPECT_EQ(t.get(nullptr, v, level), 101);
    EXPECT_EQ(v, 3.0f);
    EXPECT_EQ(level, 3);
}

INSTANTIATE_TEST_SUITE_P(Material, AccessorTest, ::testing::ValuesIn(kRoundTrips),
                         [](const auto &info) { return info.param.name; });

TEST_F(AttrTest, TheColourLevelOfAFaceFollowsItsRedComponent)
{
    _object *part = make(root, OBJ_OBJECT, "part");
    _object *face = make(part, OBJ_FACE, "face");
    struct Case {
        _object *o;
        float red;
        int level;
    };
    const Case cases[] = {{face, -1.0f, -200}, {face, 0.5f, 200}, {part, -1.0f, 100},
                          {part, 0.5f, 100}};
    for (const Case &c : cases) {
        ASSERT_EQ(obj_set_color(c.o, c.red, 0.5f, 0.5f, ATTR_DEFAULT_LEVEL), 0);
        QEL_COLOR col{};
        int level = 0;
        ASSERT_EQ(obj_get_color(c.o, col, level), 0);
        EXPECT_EQ(col.r, c.red);
        EXPECT_EQ(level, c.level) << c.o->name << " red " << c.red;
    }
}

TEST_F(AttrTest, NewObjectsCarryTheDefaults)
{
    _object *part = make(root, OBJ_OBJECT, "part");
    _object *face = make(part, OBJ_FACE, "face");
    int level = 0;
    EXPECT_EQ(obj_get_transparency(part, level), 1.0f);
    EXPECT_EQ(level, 100);
    EXPECT_EQ(obj_get_shininess(face, level), 30.0f);
    EXPECT_EQ(level, -200);
    EXPECT_EQ(obj_get_rendering(part), RENDER_SMOOTH);
    EXPECT_EQ(obj_get_vis(part), 1);
    EXPECT_EQ(obj_get_cull(part), 0);
    EXPECT_EQ(obj_get_name_vis(part), 0);
    EXPECT_EQ(obj_get_geometryvalid(part), 1);
    EXPECT_EQ(obj_get_dominant(), 1);
}

TEST_F(AttrTest, RenderingZeroIsSmoothAndEveryModeReachesTheGeometry)
{
    _object *part = make(root, OBJ_OBJECT, "part");
    ASSERT_EQ(give_mesh(part, make_mesh(1, 1.0f)), 0);
    obj_set_active(part, 1);
    const auto *node = static_cast<ADT_Object *>(part->gsobject);
    struct Case {
        int mode;
        int stored;
        int drawn;  // the graphics object's own numbering: 1 wire, 2 flat, 3 smooth
    };
    const Case cases[] = {{0, 3, 3}, {1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {7, 7, 3}};
    for (const Case &c : cases) {
        ASSERT_EQ(obj_set_rendering(part, static_cast<RENDER_MODE>(c.mode)), 0);
        RENDER_MODE m{};
        ASSERT_EQ(obj_get_rendering(part, m), 0);
        EXPECT_EQ(m, c.stored);
        EXPECT_EQ(node->rendering, c.drawn) << "mode " << c.mode;
    }
}

TEST_F(AttrTest, OutOfRangeValuesAreRefusedAndChangeNothing)
{
    _object *part = make(root, OBJ_OBJECT, "part");
    _object *light = light_add(root, const_cast<char *>("light"), LIGHT_SPOT);
    ASSERT_NE(light, nullptr);
    for (float t : {1.5f, -0.1f, kNaN}) {
        EXPECT_EQ(obj_set_transparency(part, t, 100), 1) << t;
        int level = 0;
        EXPECT_EQ(obj_get_transparency(part, level), 1.0f);
    }
    EXPECT_EQ(obj_set_ltype(light, 7), 1);
    EXPECT_EQ(obj_set_ltype(light, -1), 1);
    EXPECT_EQ(obj_get_ltype(light), LIGHT_SPOT);
    EXPECT_EQ(obj_set_highlight(part, HIGHLIGHT_STYLES), 1);
    EXPECT_EQ(obj_set_highlight(part, -HIGHLIGHT_STYLES), 1);
    EXPECT_EQ(obj_set_angle(light, kNaN), 1);
    EXPECT_EQ(obj_set_exponent(light, kNaN), 1);
    EXPECT_EQ(obj_get_angle(light), 10.0f);
    EXPECT_EQ(obj_get_exponent(light), 50.0f);
}

TEST_F(AttrTest, LightValuesAreClampedAndTypesMapToTheGraphicsCodes)
{
    _object *light = light_add(root, const_cast<char *>("light"), LIGHT_DIRECTED);
    ASSERT_NE(light, nullptr);
    auto *gl = static_cast<GSlight *>(light->gslight);
    struct Intensity {
        float in, out;
    };
    for (const Intensity c : {Intensity{1.7f, 1.0f}, Intensity{-2.0f, 0.0f},
                              Intensity{kNaN, 0.0f}, Intensity{0.4f, 0.4f}}) {
        ASSERT_EQ(obj_set_intensity(light, c.in), 0);
        EXPECT_EQ(obj_get_intensity(light), c.out) << c.in;
        EXPECT_EQ(GSlight_getintensity(gl), c.out);
    }
    struct Angle {
        float in, out;
    };
    for (const Angle c : {Angle{-5.0f, 0.0f}, Angle{400.0f, 360.0f}, Angle{30.0f, 30.0f}}) {
        ASSERT_EQ(obj_set_angle(light, c.in), 0);
        float a = 0.0f;
        ASSERT_EQ(obj_get_angle(light, a), 0);
        EXPECT_EQ(a, c.out) << c.in;
    }
    struct Type {
        int in, stored, graphics;
    };
    for (const Type c : {Type{0, 1, 0}, Type{2, 2, 2}, Type{3, 3, 1}, Type{1, 1, 0}}) {
        ASSERT_EQ(obj_set_ltype(light, c.in), 0);
        EXPECT_EQ(obj_get_ltype(light), c.stored) << c.in;
        EXPECT_EQ(light_get_type(light), c.stored);
        EXPECT_EQ(GSlight_gettype(gl), c.graphics);
    }
    ASSERT_EQ(obj_set_exponent(light, 200.0f), 0);
    EXPECT_EQ(obj_get_exponent(light), 200.0f);
}

TEST_F(AttrTest, LightSettersLeaveOtherObjectsAloneAndTheirGettersSaySo)
{
    _object *group = make(root, OBJ_GROUP, "group");
    EXPECT_EQ(obj_set_intensity(group, 1.7f), 0);
    EXPECT_EQ(obj_set_angle(group, -5.0f), 0);
    EXPECT_EQ(obj_set_exponent(group, 3.0f), 0);
    EXPECT_EQ(obj_set_ltype(group, 2), 0);
    EXPECT_EQ(obj_get_intensity(group), 0.0f);
    float a = 0.0f;
    int t = 0;
    EXPECT_EQ(obj_get_angle(group, a), 101);
    EXPECT_EQ(a, 360.0f);
    EXPECT_EQ(obj_get_ltype(group, t), 101);
    EXPECT_EQ(t, -1);
    EXPECT_EQ(obj_get_ltype(group), -1);
    EXPECT_EQ(obj_get_exponent(group), 0.0f);
}

TEST_F(AttrTest, NullObjectsGive101FromEveryErrorCodeForm)
{
    int i = 0;
    float f = 0.0f;
    RENDER_MODE m{};
    const std::pair<const char *, std::function<int()>> calls[] = {
        {"set_color", [] { return obj_set_color(nullptr, 1, 1, 1, 100); }},
        {"set_rendering", [] { return obj_set_rendering(nullptr, RENDER_FLAT); }},
        {"get_rendering", [&] { return obj_get_rendering(nullptr, m); }},
        {"set_vis", [] { return obj_set_vis(nullptr, 0); }},
        {"get_vis", [&] { return obj_get_vis(nullptr, i); }},
        {"get_active", [&] { return obj_get_active(nullptr, i); }},
        {"set_active", [] { return obj_set_active(nullptr, 1); }},
        {"get_cull", [&] { return obj_get_cull(nullptr, i); }},
        {"set_highlight", [] { return obj_set_highlight(nullptr, 4); }},
        {"set_name_vis", [] { return obj_set_name_vis(nullptr, 1); }},
        {"get_name_vis", [&] { return obj_get_name_vis(nullptr, i); }},
        {"set_intensity", [] { return obj_set_intensity(nullptr, 1); }},
        {"get_intensity", [&] { return obj_get_intensity(nullptr, f); }},
        {"set_exponent", [] { return obj_set_exponent(nullptr, 1); }},
        {"get_exponent", [&] { return obj_get_exponent(nullptr, f); }},
        {"set_angle", [] { return obj_set_angle(nullptr, 1); }},
        {"get_angle", [&] { return obj_get_angle(nullptr, f); }},
        {"set_ltype", [] { return obj_set_ltype(nullptr, 1); }},
        {"get_ltype", [&] { return obj_get_ltype(nullptr, i); }},
        {"set_geometryvalid", [] { return obj_set_geometryvalid(nullptr, 1); }},
        {"get_geometryvalid", [&] { return obj_get_geometryvalid(nullptr, i); }},
        {"get_geometryvalid value", [] { return obj_get_geometryvalid(nullptr); }},
    };
    for (const auto &[name, call] : calls)
        EXPECT_EQ(call(), 101) << name;
}

}  // namespace
