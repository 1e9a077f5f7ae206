// Visibility, highlighting and name labels: messages on the bus, and what the graphics
// objects are told.
#include "tests/environment/bind_fixture.h"

#include "graphics/gs_object.h"
#include "graphics/render_context.h"

#include <kivctrl/obj_attr.h>
#include <kivctrl/placement.h>

namespace {

class DisplayTest : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        group = make(root, OBJ_GROUP, "group");
        part = make(group, OBJ_OBJECT, "part");
        ASSERT_EQ(give_mesh(part, make_mesh(2, 1.0f)), 0);
        obj_set_active(part, 1);
        face = make(part, OBJ_FACE, "face");
        face->face_index = 1;
        VE_load_face(face);
        light = make(group, OBJ_LIGHT, "light");
        inner = make(group, OBJ_GROUP, "inner");
        hidden = make(inner, OBJ_OBJECT, "hidden");
        ASSERT_EQ(give_mesh(hidden, make_mesh(1, 1.0f, 5.0f)), 0);
        obj_set_active(hidden, 1);
        obj_set_vis(hidden, 0);
    }

    static unsigned mask(GSobject *g)
    {
        const GSattribute *a = g ? g->attribute(GS_ATTR_HIGHLIGHT) : nullptr;
        return a ? a->mask : 0u;
    }

    _object *group = nullptr, *part = nullptr, *face = nullptr, *light = nullptr,
            *inner = nullptr, *hidden = nullptr;
};

TEST_F(DisplayTest, HidingAGroupAnnouncesEachVisibleObjectBelowItOnce)
{
    MessageLog log({MSG_OBJ_SHOWN, MSG_OBJ_HIDDEN});
    ASSERT_EQ(obj_set_vis(group, 0), 0);
    const std::vector<Msg> entries = log.entries();
    std::multiset<std::pair<short, void *>> got(entries.begin(), entries.end());
    const std::multiset<std::pair<short, void *>> hid{
        {MSG_OBJ_HIDDEN, group}, {MSG_OBJ_HIDDEN, part}, {MSG_OBJ_HIDDEN, face},
        {MSG_OBJ_HIDDEN, inner}};
    EXPECT_EQ(got, hid);
    EXPECT_EQ(log.entries().front(), (Msg{MSG_OBJ_HIDDEN, group}));  // parents first
    EXPECT_EQ(obj_get_vis(light), 1);

    log.clear();
    obj_set_vis(group, 0);
    EXPECT_TRUE(log.entries().empty());

    obj_set_vis(group, 1);
    EXPECT_EQ(log.entries().size(), 5u);  // the part that was hidden on its own shows as well
    log.clear();
    obj_set_vis(part, 1);
    EXPECT_TRUE(log.entries().empty());
}

TEST_F(DisplayTest, AHiddenActivePartShowsItsEnvelopeAndShowingItMakesTheRadiusAgain)
{
    const auto *node = static_cast<ADT_Object *>(part->gsobject);
    obj_set_vis(part, 0);
    EXPECT_FALSE(node->visible);
    EXPECT_TRUE(node->drawenvelope);
    obj_get_grpradius(root);
    ASSERT_TRUE(root->grpradius_valid && group->grpradius_valid);
    obj_set_vis(part, 1);
    EXPECT_TRUE(node->visible);
    EXPECT_FALSE(node->drawenvelope);
    EXPECT_FALSE(part->grpradius_valid || group->grpradius_valid || root->grpradius_valid);
}

TEST_F(DisplayTest, AnActivePartWithoutGraphicsObjectIsReported)
{
    GSobject *node = part->gsobject;
    part->gsobject = nullptr;
    EXPECT_EQ(obj_set_vis(group, 0), 102);
    part->gsobject = node;
}

TEST_F(DisplayTest, HighlightsReachTheWholeSubtreeOfAGroupButOnlyThePartItself)
{
    ASSERT_EQ(obj_set_highlight(part, 1), 0);
    EXPECT_EQ(mask(part->gsobject), 1u << 1);
    EXPECT_EQ(mask(face->gsobject), 0u);

    ASSERT_EQ(obj_set_highlight(group, 4), 0);
    for (_object *o : {group, part, face, inner, hidden})
        EXPECT_TRUE(mask(o->gsobject) & (1u << 4)) << o->name;

    ASSERT_EQ(obj_set_highlight(part, -4), 0);
    EXPECT_EQ(mask(part->gsobject), 1u << 1);
    ASSERT_EQ(obj_set_highlight(root, 0), 0);
    for (_object *o : {group, part, inner, hidden})
        EXPECT_EQ(mask(o->gsobject), 0u) << o->name;
}

TEST_F(DisplayTest, NameLabelsFollowTheFlagInTheEnvironmentsTextColour)
{
    const auto *node = static_cast<ADT_Object *>(part->gsobject);
    GSobject_setdrawtextcolor(part->gsobject, 1.0f, 0.0f, 0.0f);
    ASSERT_EQ(obj_set_name_vis(part, 1), 0);
    EXPECT_EQ(obj_get_name_vis(part), 1);
    EXPECT_TRUE(node->drawtext);
    EXPECT_EQ(node->drawtextcolor[0], -1.0f);
    ASSERT_EQ(obj_set_name_vis(group, 1), 0);
    EXPECT_TRUE(static_cast<ADT_Object *>(group->gsobject)->drawtext);
    obj_set_name_vis(part, 0);
    EXPECT_FALSE(node->drawtext);
}

}  // namespace
