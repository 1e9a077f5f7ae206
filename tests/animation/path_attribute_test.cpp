// Every animatable attribute goes from an object into a node and back through the object's
// own setters: a node recorded in one state brings the object back to it from another.
#include "animation/anim_fixture.h"

#include <kivctrl/obj_attr.h>
#include <kivctrl/qel_msg.h>
#include <kivctrl/ve_bind.h>
#include <kivctrl/ve_zoom.h>

#include "animation/path_internal.h"

#include <functional>
#include <string>

namespace {

using Setter = std::function<void(_object *)>;

struct AttributeCase {
    const char *name;
    int bit;
    OBJECT_TYPE type;
    Setter first;   // the state recorded into the node
    Setter second;  // the state the node is played over
};

void with_note(_object *o)
{
    if (!obj_get_notename(o))
        obj_set_notename(o, "note.probe", 0);
}

void with_texture(_object *o)
{
    if (!obj_get_texturename(o))
        obj_set_texturename(o, "texture.probe");
}

const AttributeCase kCases[] = {
    {"Colour", PATH_ATTR_COLOR, OBJ_OBJECT,
     [](_object *o) { obj_set_color(o, 1, 0, 0, ATTR_DEFAULT_LEVEL); },
     [](_object *o) { obj_set_color(o, 0, 0, 1, ATTR_DEFAULT_LEVEL); }},
    {"Transparency", PATH_ATTR_TRANSPARENCY, OBJ_OBJECT,
     [](_object *o) { obj_set_transparency(o, 0.25f, 150); },
     [](_object *o) { obj_set_transparency(o, 1.0f, 100); }},
    {"NameLabel", PATH_ATTR_NAME_VIS, OBJ_OBJECT, [](_object *o) { obj_set_name_vis(o, 1); },
     [](_object *o) { obj_set_name_vis(o, 0); }},
    {"Visibility", PATH_ATTR_VIS, OBJ_OBJECT, [](_object *o) { obj_set_vis(o, 0); },
     [](_object *o) { obj_set_vis(o, 1); }},
    {"Reflectivity", PATH_ATTR_REFLECTIVITY, OBJ_OBJECT,
     [](_object *o) { obj_set_reflectivity(o, 0.7f, 120); },
     [](_object *o) { obj_set_reflectivity(o, 0.1f, 100); }},
    {"Emission", PATH_ATTR_EMISSION, OBJ_OBJECT,
     [](_object *o) { obj_set_emission(o, 0.5f, 0.5f, 0, 100); },
     [](_object *o) { obj_set_emission(o, 0, 0, 0, 100); }},
    {"Specular", PATH_ATTR_SPECULAR, OBJ_OBJECT,
     [](_object *o) { obj_set_specular(o, 0.9f, 0.9f, 0.9f, 100); },
     [](_object *o) { obj_set_specular(o, 0.1f, 0.2f, 0.3f, 100); }},
    {"Shininess", PATH_ATTR_SHININESS, OBJ_OBJECT,
     [](_object *o) { obj_set_shininess(o, 64, 100); },
     [](_object *o) { obj_set_shininess(o, 8, 100); }},
    {"Ambient", PATH_ATTR_AMBIENT, OBJ_FACE,
     [](_object *o) { obj_set_ambient(o, {0.4f, 0.5f, 0.6f}, ATTR_DEFAULT_LEVEL); },
     [](_object *o) { obj_set_ambient(o, {0.0f, 0.0f, 0.0f}, 100); }},
    {"NoteName", PATH_ATTR_NOTE_NAME, OBJ_OBJECT,
     [](_object *o) { obj_set_notename(o, "first.probe", 0); },
     [](_object *o) { obj_set_notename(o, "second.probe", 0); }},
    {"NoteOffset", PATH_ATTR_NOTE_OFFSET, OBJ_OBJECT,
     [](_object *o) {
         with_note(o);
         obj_set_noteoffset(o, {2.0f, -3.0f});
     },
     [](_object *o) { obj_set_noteoffset(o, {0.0f, 0.0f}); }},
    {"NoteLeader", PATH_ATTR_NOTE_LEADER, OBJ_OBJECT,
     [](_object *o) {
         with_note(o);
         obj_set_noteleader(o, 0);
     },
     [](_object *o) { obj_set_noteleader(o, 1); }},
    {"NoteForeground", PATH_ATTR_NOTE_FOREGROUND, OBJ_OBJECT,
     [](_object *o) {
         with_note(o);
         obj_set_noteforeground(o, 1);
     },
     [](_object *o) { obj_set_noteforeground(o, 0); }},
    {"NoteVisible", PATH_ATTR_NOTE_VISIBLE, OBJ_OBJECT,
     [](_object *o) {
         with_note(o);
         obj_set_notevisible(o, 0);
     },
     [](_object *o) { obj_set_notevisible(o, 1); }},
    {"NoteLink", PATH_ATTR_NOTE_LINK, OBJ_OBJECT,
     [](_object *o) {
         with_note(o);
         obj_set_notelink(o, "http://example.com/a");
     },
     [](_object *o) { obj_set_notelink(o, "http://example.com/b"); }},
    {"TextureName", PATH_ATTR_TEXTURE_NAME, OBJ_OBJECT,
     [](_object *o) { obj_set_texturename(o, "first.probe"); },
     [](_object *o) { obj_set_texturename(o, "second.probe"); }},
    {"TextureActive", PATH_ATTR_TEXTURE_ACTIVE, OBJ_OBJECT,
     [](_object *o) {
         with_texture(o);
         obj_set_textureactive(o, 0);
     },
     [](_object *o) { obj_set_textureactive(o, 1); }},
    {"TextureMethod", PATH_ATTR_TEXTURE_METHOD, OBJ_OBJECT,
     [](_object *o) {
         with_texture(o);
         obj_set_texturemethod(o, 2);
     },
     [](_object *o) { obj_set_texturemethod(o, 0); }},
    {"TextureQuality", PATH_ATTR_TEXTURE_QUALITY, OBJ_OBJECT,
     [](_object *o) {
         with_texture(o);
         obj_set_texturequality(o, 1);
     },
     [](_object *o) { obj_set_texturequality(o, 0); }},
    {"TextureType", PATH_ATTR_TEXTURE_TYPE, OBJ_OBJECT,
     [](_object *o) {
         with_texture(o);
         obj_set_texturetype(o, 1);
     },
     [](_object *o) { obj_set_texturetype(o, 0); }},
    {"TextureScale", PATH_ATTR_TEXTURE_SCALE, OBJ_OBJECT,
     [](_object *o) {
         with_texture(o);
         obj_set_texturescale(o, {2.0f, 3.0f});
     },
     [](_object *o) { obj_set_texturescale(o, {1.0f, 1.0f}); }},
    {"TexturePosition", PATH_ATTR_TEXTURE_POSITION, OBJ_OBJECT,
     [](_object *o) {
         with_texture(o);
         obj_set_texturepos(o, {0.5f, 0.25f});
     },
     [](_object *o) { obj_set_texturepos(o, {0.0f, 0.0f}); }},
    {"TextureAngle", PATH_ATTR_TEXTURE_ANGLE, OBJ_OBJECT,
     [](_object *o) {
         with_texture(o);
         obj_set_textureangle(o, 30.0f);
     },
     [](_object *o) { obj_set_textureangle(o, 0.0f); }},
    {"TextureGridPosition", PATH_ATTR_TEXTURE_GRID_POSITION, OBJ_OBJECT,
     [](_object *o) {
         with_texture(o);
         obj_set_texturegridpos(o, {1.0f, 2.0f, 3.0f});
     },
     [](_object *o) { obj_set_texturegridpos(o, {0.0f, 0.0f, 0.0f}); }},
    {"TextureGridOrientation", PATH_ATTR_TEXTURE_GRID_ORIENTATION, OBJ_OBJECT,
     [](_object *o) {
         with_texture(o);
         obj_set_texturegridorient(o, {0.0f, 0.0f, 0.70710677f, 0.70710677f});
     },
     [](_object *o) { obj_set_texturegridorient(o, {0.0f, 0.0f, 0.0f, 1.0f}); }},
    {"TextureGridScale", PATH_ATTR_TEXTURE_GRID_SCALE, OBJ_OBJECT,
     [](_object *o) {
         with_texture(o);
         obj_set_texturegridscale(o, {2.0f, 2.0f, 2.0f});
     },
     [](_object *o) { obj_set_texturegridscale(o, {1.0f, 1.0f, 1.0f}); }},
    {"LightIntensity", PATH_ATTR_INTENSITY, OBJ_LIGHT,
     [](_object *o) { obj_set_intensity(o, 0.25f); },
     [](_object *o) { obj_set_intensity(o, 1.0f); }},
    {"LightExponent", PATH_ATTR_EXPONENT, OBJ_LIGHT, [](_object *o) { obj_set_exponent(o, 20.0f); },
     [](_object *o) { obj_set_exponent(o, 1.0f); }},
    {"LightAngle", PATH_ATTR_LIGHT_ANGLE, OBJ_LIGHT, [](_object *o) { obj_set_angle(o, 30.0f); },
     [](_object *o) { obj_set_angle(o, 90.0f); }},
    {"ViewAngle", PATH_ATTR_VIEW_ANGLE, OBJ_VIEWPOINT,
     [](_object *o) { obj_set_viewangle(o, 30.0f); },
     [](_object *o) { obj_set_viewangle(o, 60.0f); }},
    {"Ior", PATH_ATTR_IOR, OBJ_OBJECT, [](_object *o) { obj_set_ior(o, 1.5f, 100); },
     [](_object *o) { obj_set_ior(o, 1.0f, 100); }},
    {"Roughness", PATH_ATTR_ROUGHNESS, OBJ_OBJECT, [](_object *o) { obj_set_roughness(o, 0.8f, 100); },
     [](_object *o) { obj_set_roughness(o, 0.2f, 100); }},
    {"Metallic", PATH_ATTR_METALLIC, OBJ_OBJECT, [](_object *o) { obj_set_metallic(o, 1, 100); },
     [](_object *o) { obj_set_metallic(o, 0, 100); }},
    {"Shadow", PATH_ATTR_SHADOW, OBJ_OBJECT, [](_object *o) { obj_set_shadow(o, 1, 100); },
     [](_object *o) { obj_set_shadow(o, 0, 100); }},
};

void PrintTo(const AttributeCase &c, std::ostream *os)
{
    *os << c.name;
}

class PathAttributeTest : public AnimTest, public testing::WithParamInterface<AttributeCase> {};

TEST_P(PathAttributeTest, ANodePlaysTheRecordedStateBackThroughTheSetters)
{
    const AttributeCase &c = GetParam();
    // Exponent and cone angle live in the graphics light, which light_add makes.
    _object *o = c.type == OBJ_LIGHT ? light_add(root, const_cast<char *>("o"), LIGHT_SPOT)
                                     : make(root, c.type, "o");
    ASSERT_NE(o, nullptr);
    _path *p = make_path("p", {{0, 0, 0}});
    p->set_status(c.bit, 1);

    c.first(o);
    PathNode recorded;
    pathnode_capture_all(recorded, o);
    c.second(o);
    PathNode other;
    pathnode_capture_all(other, o);
    ASSERT_TRUE(kiv::anim::attribute_differs(recorded, other, c.bit)) << "the two states must differ";

    path_apply_state(p, recorded, o);
    PathNode played;
    pathnode_capture_all(played, o);
    EXPECT_FALSE(kiv::anim::attribute_differs(recorded, played, c.bit));
    // Material values come back at the level they were recorded with.
    for (int slot = 0; slot < QEL_MATERIAL::COUNT; ++slot) {
        if (slot != QEL_MATERIAL::DIFFUSE) {
            EXPECT_EQ(played.material.level[slot], recorded.material.level[slot]) << slot;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryAttribute, PathAttributeTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<AttributeCase> &info) {
                             return std::string(info.param.name);
                         });

TEST_F(AnimTest, TextureAnglesAreKeptInRadiansInNodes)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    obj_set_texturename(o, "texture.probe");
    obj_set_textureangle(o, 90.0f);
    PathNode n;
    pathnode_capture(n, PATH_ATTR_TEXTURE_ANGLE, o);
    ASSERT_NE(n.texture, nullptr);
    EXPECT_NEAR(n.texture->angle, 1.5707964f, 1e-6f);
    obj_set_textureangle(o, 0.0f);
    pathnode_apply(n, PATH_ATTR_TEXTURE_ANGLE, o);
    EXPECT_NEAR(obj_get_textureangle(o), 90.0f, 1e-4f);
}

TEST_F(AnimTest, PlayingVisibilityAnnouncesItOnce)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    _path *p = make_path("p", {{0, 0, 0}});
    p->set_status(PATH_ATTR_VIS, 1);
    PathNode hidden;
    hidden.vis = 0;
    MessageLog log({MSG_OBJ_HIDDEN});
    path_apply_state(p, hidden, o);
    path_apply_state(p, hidden, o);
    EXPECT_EQ(obj_get_vis(o), 0);
    EXPECT_EQ(log.entries(), (std::vector<Msg>{{MSG_OBJ_HIDDEN, o}}));
}

TEST_F(AnimTest, NodesWithoutNoteOrTextureLeaveThemAlone)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    obj_set_notename(o, "kept.probe", 0);
    obj_set_texturename(o, "kept.probe");
    _path *p = make_path("p", {{0, 0, 0}});
    for (int bit = PATH_ATTR_NOTE_NAME; bit <= PATH_ATTR_TEXTURE_GRID_SCALE; ++bit)
        p->set_status(bit, 1);
    path_apply_state(p, PathNode{}, o);
    EXPECT_STREQ(obj_get_notename(o), "kept.probe");
    EXPECT_STREQ(obj_get_texturename(o), "kept.probe");
}

}  // namespace
