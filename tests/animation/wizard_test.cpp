// The path wizard: steps from the largest turn, nodes in the starting world axes, colours,
// fading, names, and its settings record.
#include "animation/anim_fixture.h"

#include <kivctrl/placement.h>

namespace {

class WizardTest : public AnimTest {
protected:
    _path *wizard(_object *o, QEL_VECT3 distance, QEL_VECT3 angles, const char *name = nullptr,
                  QEL_COLOR from = {-1, 0, 0}, QEL_COLOR to = {-1, 0, 0})
    {
        return path_wizard(o, name, distance, angles, 0.0f, 0.0f, from, to);
    }
};

TEST_F(WizardTest, StepsFollowTheLargestTurn)
{
    struct Case {
        QEL_VECT3 angles;
        int nodes;
        double steps;
    };
    const Case cases[] = {
        {{0, 0, 0}, 2, 10},    {{0, 90, 0}, 2, 10},  {{0, 100, 0}, 2, 10},
        {{0, 180, 0}, 3, 5},   {{0, 360, 0}, 6, 2},  {{-720, 0, 0}, 11, 1},
        {{0, 0, 300}, 5, 2},   {{0, 0, 216}, 4, 3},  {{1e9f, 0, 0}, 1001, 1},
    };
    for (const Case &c : cases) {
        _object *o = make(root, OBJ_OBJECT, "o");
        _path *p = wizard(o, {0, 0, 0}, c.angles);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->get_nodecount(), c.nodes) << c.angles.x << " " << c.angles.y << " " << c.angles.z;
        EXPECT_EQ(p->steps, c.steps) << c.angles.x << " " << c.angles.y << " " << c.angles.z;
        db_delete_obj(o);
    }
}

TEST_F(WizardTest, MovesAlongTheStartingAxesWhileTurning)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    const QEL_QUAT quarter{0, 0, std::sin(0.25f * 3.14159265f), std::cos(0.25f * 3.14159265f)};
    obj_set_orient(o, quarter, FRAME_PARENT);
    _path *p = wizard(o, {10, 0, 0}, {0, 0, 180});
    ASSERT_EQ(p->get_nodecount(), 3);
    QEL_VECT3 step1 = p->get_node(1)->position;
    step1 -= p->get_node(0)->position;
    QEL_VECT3 step2 = p->get_node(2)->position;
    step2 -= p->get_node(1)->position;
    // Both halves go the same way although the object turned between them, and that way is
    // the object's starting x axis, a quarter turn off the world's.
    EXPECT_NEAR(step1.mag(), 5.0f, 1e-4f);
    EXPECT_NEAR(step2.x, step1.x, 1e-4f);
    EXPECT_NEAR(step2.y, step1.y, 1e-4f);
    EXPECT_NEAR(step1.x, 0.0f, 1e-4f);
    QEL_VECT3 end;
    obj_get_pos(o, end, FRAME_PARENT);
    EXPECT_NEAR(end.y, p->get_node(2)->position.y, 1e-4f);
    EXPECT_EQ(o->pathptr, p);
    EXPECT_EQ(p->status[0], 0x1Eu);
    EXPECT_EQ(path_get_editing_object(), nullptr);
}

TEST_F(WizardTest, TurnsInEqualStepsAboutFixedAxes)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    _path *p = wizard(o, {0, 0, 0}, {0, 0, 180});
    ASSERT_EQ(p->get_nodecount(), 3);
    const QEL_QUAT q = p->get_node(1)->orientation;  // 90 degrees about z
    EXPECT_NEAR(std::fabs(q.z), std::sqrt(0.5f), 1e-4f);
    EXPECT_NEAR(std::fabs(q.w), std::sqrt(0.5f), 1e-4f);
}

TEST_F(WizardTest, ColoursStepFromStartToEnd)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    _path *p = wizard(o, {0, 0, 0}, {0, 180, 0}, nullptr, {1, 0, 0}, {0, 0, 1});
    ASSERT_EQ(p->get_nodecount(), 3);
    const QEL_COLOR c0 = p->get_node(0)->material.diffuse;
    const QEL_COLOR c1 = p->get_node(1)->material.diffuse;
    const QEL_COLOR c2 = p->get_node(2)->material.diffuse;
    EXPECT_FLOAT_EQ(c0.r, 1.0f);
    EXPECT_FLOAT_EQ(c1.r, 0.5f);
    EXPECT_FLOAT_EQ(c1.b, 0.5f);
    EXPECT_FLOAT_EQ(c2.b, 1.0f);
}

TEST_F(WizardTest, TransparencyFadesFromStartToEnd)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    _path *p = path_wizard(o, nullptr, {0, 0, 0}, {0, 180, 0}, 1.0f, 0.2f, {-1, 0, 0}, {-1, 0, 0});
    ASSERT_EQ(p->get_nodecount(), 3);
    EXPECT_TRUE(p->get_status(PATH_ATTR_TRANSPARENCY));
    const float expected[] = {1.0f, 0.6f, 0.2f};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(p->get_node(i)->material.transparency, expected[i], 1e-6f) << i;
        EXPECT_EQ(p->get_node(i)->material.level[QEL_MATERIAL::TRANSPARENCY], 100) << i;
    }
    int level = 0;
    EXPECT_NEAR(obj_get_transparency(o, level), 0.2f, 1e-6f);
}

TEST_F(WizardTest, AMissingColourAtEitherEndLeavesTheColourAlone)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    obj_set_color(o, 0.2f, 0.3f, 0.4f, ATTR_DEFAULT_LEVEL);
    _path *p = wizard(o, {0, 0, 0}, {0, 180, 0}, nullptr, {-1, 0, 0}, {1, 0, 0});
    for (int i = 0; i < p->get_nodecount(); ++i)
        EXPECT_FLOAT_EQ(p->get_node(i)->material.diffuse.r, 0.2f) << i;
}

TEST_F(WizardTest, NamesAndASecondPath)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    _path *first = wizard(o, {1, 0, 0}, {0, 0, 0});
    EXPECT_EQ(std::string(first->name).rfind("path_", 0), 0u);
    _path *second = wizard(o, {1, 0, 0}, {0, 0, 0}, "slide");
    EXPECT_STREQ(second->name, "slide");
    EXPECT_EQ(o->pathptr, second);
    EXPECT_EQ(o->pathlist.count(), 2);
    EXPECT_NE(o->pathlist.find(first), 0);
    EXPECT_EQ(first->display, nullptr);
}

TEST_F(WizardTest, RefusesWhatItCannotBuild)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    EXPECT_EQ(wizard(nullptr, {1, 0, 0}, {0, 0, 0}), nullptr);
    EXPECT_EQ(wizard(o, {1, 0, 0}, {NAN, 0, 0}), nullptr);
    EXPECT_EQ(wizard(o, {INFINITY, 0, 0}, {0, 0, 0}), nullptr);
    EXPECT_EQ(o->pathlist.count(), 0);
    // While another object is edited the first append only ends that editing.
    _object *q = make(root, OBJ_OBJECT, "q");
    path_edit(nullptr, q, PATH_APPEND_NODE);
    EXPECT_EQ(wizard(o, {1, 0, 0}, {0, 0, 0}), nullptr);
    EXPECT_EQ(path_get_editing_object(), nullptr);
}

TEST(PathWizInfo, DefaultsAndRoundTrip)
{
    PathWizInfo w;
    EXPECT_EQ(w.get_distance().x, 0.0f);
    EXPECT_EQ(w.get_icolor().r, -1.0f);
    EXPECT_EQ(w.get_fcolor().r, -1.0f);
    EXPECT_EQ(w.get_startframe(), 0.0);
    EXPECT_EQ(w.get_units() | w.get_axis() | w.get_fade(), 0);
    EXPECT_EQ(w.get_option1() + w.get_option2() + w.get_option3(), 3);
    w.set_distance({1, 2, 3});
    w.set_angles({4, 5, 6});
    w.set_units(2);
    w.set_axis(1);
    w.set_fade(1);
    w.set_fadefrom(0.25f);
    w.set_fadeto(0.75f);
    w.set_icolor({0.1f, 0.2f, 0.3f});
    w.set_fcolor({0.4f, 0.5f, 0.6f});
    w.set_startframe(12.5);
    w.set_option1(7);
    w.set_option2(8);
    w.set_option3(9);
    EXPECT_EQ(w.get_distance().z, 3.0f);
    EXPECT_EQ(w.get_angles().y, 5.0f);
    EXPECT_EQ(w.get_units(), 2);
    EXPECT_EQ(w.get_axis(), 1);
    EXPECT_EQ(w.get_fade(), 1);
    EXPECT_EQ(w.get_fadefrom(), 0.25f);
    EXPECT_EQ(w.get_fadeto(), 0.75f);
    EXPECT_EQ(w.get_icolor().b, 0.3f);
    EXPECT_EQ(w.get_fcolor().g, 0.5f);
    EXPECT_EQ(w.get_startframe(), 12.5);
    EXPECT_EQ(w.get_option1() * 100 + w.get_option2() * 10 + w.get_option3(), 789);
}

TEST(InstructionInfo, TextsAreCopiedAndCleared)
{
    InstructionInfo i;
    std::string text = "turn the crank";
    i.setText(text.c_str());
    text[0] = 'b';
    EXPECT_STREQ(i.getText(), "turn the crank");
    i.setText(nullptr);
    EXPECT_EQ(i.getText(), nullptr);
    i.setLink("a.html");
    i.setNote("n.bmp");
    EXPECT_STREQ(i.getLink(), "a.html");
    EXPECT_STREQ(i.getNote(), "n.bmp");
    EXPECT_EQ(i.getInt1() | i.getInt2(), 0);
}

}  // namespace
