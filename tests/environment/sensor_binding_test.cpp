// The sensors and the rest of the engine: selection, deletion, viewpoint changes, the
// selection display, the other devices and the order of one tick.
#include "tests/environment/sensor_fixture.h"

#include "graphics/gs_object.h"

#include <kivctrl/obj_attr.h>
#include <kivctrl/path.h>
#include <kivctrl/placement.h>
#include <kivctrl/qel_msg.h>

namespace {

unsigned highlights(_object *o)
{
    const GSattribute *a = o->gsobject ? o->gsobject->attribute(GS_ATTR_HIGHLIGHT) : nullptr;
    return a ? a->mask : 0u;
}

bool label_shown(_object *o)
{
    return static_cast<ADT_Object *>(o->gsobject)->drawtext;
}

}  // namespace

TEST_F(SensorTest, DeletingASelectedObjectMidDragTakesItOutOfTheSensors)
{
    _object *gone = sphere_part("gone", QEL_VECT3(0, 0, 0), 1.0f);
    _object *kept = sphere_part("kept", QEL_VECT3(0, 0, 0), 1.0f);
    object_picked(gone);
    object_picked(kept);
    VE_set_sensor(SENSE_OBJ_LOCAL);
    drag(10, 0);
    ASSERT_TRUE(at(pos(kept), 10 * per_pixel, 0, 0));

    db_delete_obj(gone);
    EXPECT_EQ(pointer->objects.find(gone), 0);
    EXPECT_EQ(pointer->objects.count(), 1);
    move(120, 100);
    EXPECT_TRUE(near3(pos(kept), QEL_VECT3(20 * per_pixel, 0, 0), 1e-3f));
    EXPECT_TRUE(at(pos(vp), 0, 0, 10)) << "the selection still holds the pointer";
}

TEST_F(SensorTest, SelectionDecidesWhetherThePointerMovesTheViewpoint)
{
    _object *p = sphere_part("p", QEL_VECT3(0, 0, 0), 1.0f);
    _sensor *relative = dv_next_sensor(pointer);
    object_picked(p);
    EXPECT_NE(pointer->objects.find(p), 0);
    EXPECT_EQ(pointer->objects.find(vp), 0);
    EXPECT_NE(relative->objects.find(vp), 0) << "only the pointer lets go";
    EXPECT_EQ(relative->objects.find(p), 0);
    object_deselectall();
    EXPECT_EQ(pointer->objects.find(p), 0);
    EXPECT_NE(pointer->objects.find(vp), 0);
}

TEST_F(SensorTest, AnotherViewpointTakesTheOldOnesPlace)
{
    ASSERT_EQ(env_create_viewpoint("second", assy), 0);
    _object *second = name_to_obj("second");
    ASSERT_NE(second, nullptr);
    obj_set_active(second, 1);
    ASSERT_EQ(root->viewpoint, second);
    for (_sensor *s = dv_first_sensor(); s; s = dv_next_sensor(s)) {
        EXPECT_EQ(s->objects.find(vp), 0);
        EXPECT_NE(s->objects.find(second), 0);
        EXPECT_EQ(s->objects.count(), 1);
    }
}

TEST_F(SensorTest, SelectDisplayHighlightsTheFirstApartAndShowsLabels)
{
    _object *a = sphere_part("a", QEL_VECT3(0, 0, 0), 1.0f);
    _object *b = sphere_part("b", QEL_VECT3(3, 0, 0), 1.0f);
    object_picked(a);
    object_picked(b);
    EXPECT_EQ(highlights(a), 1u << 4);
    EXPECT_EQ(highlights(b), 1u << 1);

    env_set_select_display(4);
    EXPECT_TRUE(label_shown(a));
    EXPECT_TRUE(label_shown(b));
    obj_set_name_vis(b, 1);

    object_picked(a);
    EXPECT_EQ(highlights(a), 0u);
    EXPECT_FALSE(label_shown(a));
    EXPECT_TRUE(highlights(b) & (1u << 4)) << "b is first now";

    env_set_select_display(8);
    env_set_select_display(32);
    EXPECT_EQ(highlights(b), 0u);
    EXPECT_TRUE(label_shown(b)) << "its own name stays";
    object_picked(a);
    EXPECT_EQ(highlights(a), 0u);
}

TEST_F(SensorTest, SelectDisplayShowsTriadsAndSelectionDrawsTheCurrentPath)
{
    _object *a = sphere_part("a", QEL_VECT3(3, 0, 0), 1.0f);
    const QEL_VECT3 points[] = {{3, 0, 0}, {3, 2, 0}};
    _path *p = path_create("p", points, nullptr, 2);
    ASSERT_NE(p, nullptr);
    path_associate(p, a);
    ASSERT_EQ(p->display, nullptr);

    env_set_select_display(2);
    object_picked(a);
    EXPECT_EQ(a->lcs_shown, 1);
    EXPECT_GT(static_cast<ADT_Object *>(a->gsobject)->triadradius, 0.0f);
    EXPECT_NE(p->display, nullptr) << "a selected object shows the path it follows";

    env_set_select_display(16);
    EXPECT_EQ(a->lcs_shown, 0);
    EXPECT_EQ(static_cast<ADT_Object *>(a->gsobject)->triadradius, 0.0f);
    object_picked(a);
    EXPECT_EQ(p->display, nullptr);
}

TEST_F(SensorTest, OneTickRunsTasksSensorsMovesThenObjectTasks)
{
    _object *p = sphere_part("p", QEL_VECT3(0, 0, 0), 1.0f);
    select_for(p, SENSE_OBJ_VIEW);
    press(100, 100);
    MessageLog log({MSG_TASKS_FREE_PASS_BEGIN, MSG_TASKS_FREE_PASS_END, MSG_DRAG_BEGIN,
                    MSG_OBJ_POSITION, MSG_TASKS_OBJECT_PASS_BEGIN, MSG_TASKS_OBJECT_PASS_END});
    move(110, 100);
    std::vector<short> codes;
    for (const Msg &m : log.entries())
        if (codes.empty() || codes.back() != m.first)
            codes.push_back(m.first);
    const std::vector<short> expected{MSG_TASKS_FREE_PASS_BEGIN, MSG_TASKS_FREE_PASS_END,
                                      MSG_DRAG_BEGIN,            MSG_OBJ_POSITION,
                                      MSG_TASKS_OBJECT_PASS_BEGIN, MSG_TASKS_OBJECT_PASS_END};
    EXPECT_EQ(codes, expected);
}

TEST_F(SensorTest, RelativePointerInputCountsOnceAndTwoFlagsMoveNothing)
{
    _sensor *relative = dv_next_sensor(pointer);
    const float d = 10.0f * 1.2f / 400.0f;
    relative->input.x = 10;
    relative->input.flag_b = 1;
    actions();
    EXPECT_TRUE(at(pos(vp), 0, -10 * d, 10)) << "the view pans against the device";
    actions();
    EXPECT_TRUE(at(pos(vp), 0, -10 * d, 10));

    relative->input.y = 20;
    relative->input.flag_a = relative->input.flag_b = 1;
    actions();
    EXPECT_TRUE(at(pos(vp), 0, -10 * d, 10));
    EXPECT_TRUE(same_turn(orient(vp), QEL_QUAT(0, 0, 0, 1)));
}

TEST_F(SensorTest, SixAxisDeviceFliesTheViewWithDominance)
{
    _sensor *six = dv_add_sensor(2, SENSOR_SIXAXIS, 0, USAGE_VIEW);
    six->objects.append(vp);
    six->speed = 2.0f;
    VE_set_sensor(SENSE_FLY);
    six->input.x = 32767;
    six->input.y = -32767;
    actions();
    EXPECT_TRUE(at(pos(vp), 2, 2, 10));

    env_set_dominant(1);
    six->input = {};
    six->input.x = 1000;
    six->input.ry = 20000;
    actions();
    EXPECT_TRUE(at(pos(vp), 2, 2, 10)) << "the larger turn alone";
    QEL_QUAT yaw;
    yaw.from_eang(0.0f, -20000.0f / 32767.0f * 57.29578f, 0.0f);
    EXPECT_TRUE(same_turn(orient(vp), yaw));
}

TEST_F(SensorTest, BadInputIsRefused)
{
    EXPECT_EQ(dv_sensor_get_dsd(nullptr), nullptr);
    EXPECT_EQ(dv_next_sensor(nullptr), nullptr);
    dv_delete_sensor(nullptr);
    EXPECT_EQ(dv_sensor_get_dsd(pointer), &pointer->state);
    VE_set_sensor(SENSOR_MODE(9));
    EXPECT_EQ(env_get_sensor(), SENSE_EXAMINE);

    // Without a scene a drag changes nothing and keeps its edges for later.
    db_delete_assembly(assy);
    assy = nullptr;
    EXPECT_EQ(pointer->objects.count(), 0) << "the deleted viewpoint left";
    press(100, 100);
    move(110, 100);
    EXPECT_TRUE(pointer->input.buttons & SENSOR_LEFT_DOWN);
    pointer->input.buttons = 0;
}

TEST_F(SensorTest, RelativePointerTurnsTheViewAboutTheSelection)
{
    _object *a = sphere_part("a", QEL_VECT3(2, 1, -3), 1.0f);
    sphere_part("b", QEL_VECT3(-4, 0, 0), 1.0f);
    object_picked(a);
    QEL_VECT3 centre;
    ASSERT_EQ(VE_get_midpoint(a, centre), 0);
    QEL_VECT3 seen = centre;
    seen -= pos(vp);
    seen = orient(vp).invxform(seen);

    _sensor *relative = dv_next_sensor(pointer);
    relative->input.x = 5;
    relative->input.y = -7;
    actions();
    EXPECT_FALSE(same_turn(orient(vp), QEL_QUAT(0, 0, 0, 1)));
    QEL_VECT3 now = centre;
    now -= pos(vp);
    EXPECT_TRUE(near3(orient(vp).invxform(now), seen, 1e-3f));
    EXPECT_TRUE(at(pos(a), 2, 1, -3)) << "the pointer holds the selection, not this device";
}
