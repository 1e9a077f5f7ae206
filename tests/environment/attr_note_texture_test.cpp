// Notes and textures of objects: the records' setters and getters, finding their images
// (and asking for them), and what the graphics objects receive.
#include "tests/environment/bind_fixture.h"
#include "tests/environment/locator.h"
#include "tests/graphics/probe_images.h"

#include "graphics/gs_object.h"
#include "graphics/note_record.h"
#include "graphics/texture_record.h"

#include <kivctrl/gs_note.h>
#include <kivctrl/gs_texture.h>
#include <kivctrl/obj_attr.h>
#include <kivctrl/qel_locate.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <string>

namespace {

using kivtest::Locator;

class NoteTextureTest : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        for (short code : {MSG_LOCATE_TEXTURE, MSG_LOCATE_BACKDROP, MSG_LOCATE_NOTE})
            msg_locate_set_dir(code, nullptr);
        part = make(root, OBJ_OBJECT, "part");
        ASSERT_EQ(give_mesh(part, make_mesh(2, 1.0f)), 0);
        obj_set_active(part, 1);
        const auto red = kivtest::make_rgba(4, 4, [](int, int) { return std::array{255, 0, 0, 255}; });
        picture = images.add("pic", red);
        other = images.add("other", red);
    }

    GSnote *graphics_note() { return part->note ? part->note->gsnote : nullptr; }

    kivtest::ProbeImages images;
    std::string picture, other;
    _object *part = nullptr;
};

TEST_F(NoteTextureTest, ANoteShowsItsImageOnTheObjectWithItsSettings)
{
    ASSERT_EQ(obj_set_notename(part, picture.c_str(), 0), 0);
    GSnote *n = graphics_note();
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(GSobject_notecount(part->gsobject), 1);
    EXPECT_EQ(n->bitmap->width(), 4);
    EXPECT_TRUE(n->visible);
    EXPECT_EQ(n->offset[0], -1.0f);
    EXPECT_EQ(n->offset[1], 1.0f);
    ASSERT_EQ(obj_set_noteoffset(part, QEL_VECT2{0.5f, 0.25f}), 0);
    ASSERT_EQ(obj_set_noteforeground(part, 1), 0);
    ASSERT_EQ(obj_set_noteleader(part, 0), 0);
    EXPECT_EQ(n->offset[0], 0.5f);
    EXPECT_TRUE(n->foreground);
    EXPECT_FALSE(n->leader);
    // Shown only while its flag is set and the object is active and visible.
    obj_set_notevisible(part, 0);
    EXPECT_FALSE(n->visible);
    obj_set_notevisible(part, 1);
    obj_set_vis(part, 0);
    EXPECT_FALSE(n->visible);
    obj_set_vis(part, 1);
    EXPECT_TRUE(n->visible);
    // The object's texts keep following the environment's colour.
    EXPECT_EQ(static_cast<ADT_Object *>(part->gsobject)->drawtextcolor[0], -1.0f);
}

TEST_F(NoteTextureTest, ANoteStaysWithItsObjectWhenTheGeometryComesAndGoes)
{
    ASSERT_EQ(obj_set_notename(part, picture.c_str(), 0), 0);
    GSnote *n = graphics_note();
    obj_set_active(part, 0);
    obj_set_active(part, 1);
    EXPECT_EQ(graphics_note(), n);
    EXPECT_EQ(GSobject_notecount(part->gsobject), 1);
    EXPECT_EQ(GSobject_noteget(part->gsobject, 0), n);
    EXPECT_EQ(obj_set_notename(part, nullptr, 0), 0);
    EXPECT_EQ(GSobject_notecount(part->gsobject), 0);
    EXPECT_EQ(part->note, nullptr);
}

TEST_F(NoteTextureTest, AnUnreadableNoteNameIsCutToItsFileOrLocated)
{
    struct Case {
        const char *given;
        int locate;
        std::string answer;  // of the locate listener; empty: gives up
        std::string stored;
        bool image;
    };
    const std::string in_dir = "/nowhere/" + picture;
    const Case cases[] = {
        {in_dir.c_str(), 0, "", picture, true},           // the file name alone reads
        {"/nowhere/gone.probe", 0, "", "gone.probe", false},
        {"/nowhere/gone.probe", 1, "", "/nowhere/gone.probe", false},
        {"/nowhere/gone.probe", 1, other, other, true},
    };
    for (const Case &c : cases) {
        obj_set_notename(part, nullptr, 0);
        Locator locator(MSG_LOCATE_NOTE, c.answer);
        ASSERT_EQ(obj_set_notename(part, c.given, c.locate), 0);
        EXPECT_EQ(std::string(obj_get_notename(part)), c.stored) << c.given;
        EXPECT_EQ(graphics_note() != nullptr, c.image) << c.given;
        if (c.locate) {
            ASSERT_FALSE(locator.context.empty());
            EXPECT_EQ(locator.context.front(), c.given);  // the note's stored name
        }
        msg_locate_set_dir(MSG_LOCATE_NOTE, nullptr);
    }
}

TEST_F(NoteTextureTest, NoteLinksAndTheRecordsAbsence)
{
    ASSERT_EQ(obj_set_notelink(part, "http://example.com/x"), 0);
    EXPECT_STREQ(obj_get_notelink(part), "http://example.com/x");
    ASSERT_EQ(obj_set_notelink(part, ""), 0);
    EXPECT_EQ(obj_get_notelink(part), nullptr);
    obj_set_notename(part, nullptr, 0);
    int v = 7;
    EXPECT_EQ(obj_set_notelink(part, "x"), 101);
    EXPECT_EQ(obj_set_notevisible(part, 1), 101);
    EXPECT_EQ(obj_get_notevisible(part, v), 101);
    EXPECT_EQ(v, 7);
    EXPECT_EQ(obj_get_notevisible(part), 0);
    EXPECT_EQ(obj_get_notename(part), nullptr);
}

TEST_F(NoteTextureTest, ATextureReachesEveryGeometryNodeWithItsFieldsAfterTheImage)
{
    ASSERT_EQ(obj_set_texturename(part, picture.c_str()), 0);
    const GStexture *t = part->gsobject->texture.get();
    ASSERT_NE(t, nullptr);
    // The grid starts at the object's midpoint, and the graphics record has it too.
    float m[3];
    GSobject_getmidpoint(part->gsobject, m);
    const QEL_VECT3 grid = obj_get_texturegridpos(part);
    EXPECT_EQ(grid.x, m[0]);
    EXPECT_EQ(t->gridposition[0], m[0]);
    EXPECT_EQ(t->gridposition[1], m[1]);

    MessageLog log({MSG_TEX_POSITION, MSG_TEX_ORIENTATION, MSG_TEX_SCALE, MSG_TEX_GRID_POSITION,
                    MSG_TEX_GRID_ORIENTATION, MSG_TEX_GRID_SCALE});
    obj_set_texturepos(part, QEL_VECT2{0.5f, 0.0f});
    obj_set_textureorient(part, std::numbers::pi_v<float> / 2);
    obj_set_texturescale(part, QEL_VECT2{2.0f, 2.0f});
    obj_set_texturegridpos(part, QEL_VECT3(1, 2, 3));
    obj_set_texturegrideangles(part, QEL_VECT3(0, 0, 90));
    obj_set_texturegridscale(part, QEL_VECT3(2, 2, 2));
    const std::vector<Msg> sent{{MSG_TEX_POSITION, part},       {MSG_TEX_ORIENTATION, part},
                                {MSG_TEX_SCALE, part},          {MSG_TEX_GRID_POSITION, part},
                                {MSG_TEX_GRID_ORIENTATION, part}, {MSG_TEX_GRID_SCALE, part}};
    EXPECT_EQ(log.entries(), sent);
    EXPECT_NEAR(obj_get_textureangle(part), 90.0f, 1e-4f);
    EXPECT_NEAR(obj_get_textureorient(part), std::numbers::pi_v<float> / 2, 1e-6f);
    EXPECT_NEAR(obj_get_texturegrideangles(part).z, 90.0f, 1e-3f);
    EXPECT_EQ(t->gridposition[2], 3.0f);
    EXPECT_EQ(t->scale[0], 2.0f);

    obj_set_textureactive(part, 0);
    EXPECT_TRUE(t->inactive);
    obj_set_texturename(part, nullptr);
    EXPECT_FALSE(GSobject_hastexture(part->gsobject));
    EXPECT_EQ(obj_get_texturename(part), nullptr);
    int method = 5;
    EXPECT_EQ(obj_set_texturemethod(part, 1), 101);
    EXPECT_EQ(obj_get_texturemethod(part, method), 101);
    EXPECT_EQ(method, 5);
    EXPECT_EQ(obj_get_textureorient(part), 0.0f);
}

TEST_F(NoteTextureTest, AMissingTextureIsLocatedForTheObjectAndTheBackdropWithoutContext)
{
    Locator textures(MSG_LOCATE_TEXTURE, picture);
    ASSERT_EQ(obj_set_texturename(part, "/nowhere/gone.probe"), 0);
    ASSERT_EQ(textures.context.size(), 1u);
    EXPECT_EQ(textures.context[0], "part");
    EXPECT_EQ(std::string(obj_get_texturename(part)), picture);
    EXPECT_TRUE(GSobject_hastexture(part->gsobject));

    Locator backdrops(MSG_LOCATE_BACKDROP, "");
    ASSERT_EQ(obj_set_texturename(root, "/nowhere/sky.probe"), 0);
    ASSERT_EQ(backdrops.context.size(), 1u);
    EXPECT_EQ(backdrops.context[0], "(null)");
    EXPECT_EQ(std::string(obj_get_texturename(root)), "/nowhere/sky.probe");
}

}  // namespace
