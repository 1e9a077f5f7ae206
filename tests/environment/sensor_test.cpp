// Pointer navigation through the tick: dragging the selection in each frame, examining and
// flying the viewpoint, dominance and constraints, and the tick's order.
#include "tests/environment/sensor_fixture.h"

#include <kivctrl/gs_universe.h>
#include <kivctrl/placement.h>
#include <kivctrl/qel_msg.h>
#include <kivctrl/task.h>

#include <algorithm>

TEST_F(SensorTest, DefaultSensorsAndModes)
{
    _sensor *relative = dv_next_sensor(pointer);
    ASSERT_NE(relative, nullptr);
    EXPECT_EQ(dv_next_sensor(relative), nullptr);
    EXPECT_EQ(pointer->type, SENSOR_POINTER);
    EXPECT_EQ(pointer->usage, USAGE_VIEW | USAGE_SELECTION);
    EXPECT_EQ(relative->type, SENSOR_RELATIVE);
    EXPECT_EQ(relative->usage, USAGE_VIEW);
    EXPECT_EQ(env_get_sensor(), SENSE_EXAMINE);
    EXPECT_EQ(env_get_objmove(), SENSE_OBJ_LOCAL);
    EXPECT_EQ(env_get_envmove(), SENSE_EXAMINE);
    // Both move the viewpoint while nothing is selected.
    EXPECT_NE(pointer->objects.find(vp), 0);
    EXPECT_NE(relative->objects.find(vp), 0);

    env_set_sensor(SENSE_OBJ_VIEW);
    EXPECT_EQ(GSuniverse_gettriadmode(), GStriad_screen);
    env_set_sensor(SENSE_OBJ_PARENT2);
    EXPECT_EQ(GSuniverse_gettriadmode(), GStriad_parent);
    EXPECT_EQ(env_get_objmove(), SENSE_OBJ_PARENT2);
    env_set_sensor(SENSE_FLY);
    EXPECT_EQ(env_get_envmove(), SENSE_FLY);
    EXPECT_EQ(env_get_objmove(), SENSE_OBJ_PARENT2);
}

TEST_F(SensorTest, SpeedFollowsTheSceneSizeForViewSensorsOnly)
{
    _sensor *six = dv_add_sensor(2, SENSOR_SIXAXIS, 0, USAGE_SELECTION);
    sphere_part("ball", QEL_VECT3(0, 0, 0), 50.0f / std::sqrt(3.0f));
    const float radius = obj_get_grpradius(root);
    ASSERT_NEAR(radius, 50.0f, 0.5f);
    update_sensor_speed();
    _sensor *relative = dv_next_sensor(pointer);
    EXPECT_FLOAT_EQ(relative->speed, 2.0f * radius);
    EXPECT_FLOAT_EQ(relative->turn_speed, 2.0f);
    EXPECT_FLOAT_EQ(pointer->speed, 2.0f * radius);
    EXPECT_FLOAT_EQ(six->speed, 1.0f);
    EXPECT_FLOAT_EQ(six->turn_speed, 1.0f);
}

TEST_F(SensorTest, ViewModeMovesTheSelectionAlongTheScreenByTheWorkedScale)
{
    _object *p = sphere_part("p", QEL_VECT3(0, 0, 0), 1.0f);
    select_for(p, SENSE_OBJ_VIEW);
    // The viewpoint lets go of the pointer while a part is selected.
    EXPECT_EQ(pointer->objects.find(vp), 0);
    MessageLog log({MSG_BUTTON_UP, MSG_BUTTON_DOWN, MSG_DRAG_BEGIN, MSG_DRAG_END});

    press(100, 100);
    EXPECT_TRUE(at(pos(p), 0, 0, 0)) << "a press costs one motionless tick";
    move(110, 100);
    EXPECT_NEAR(pos(p).x, 0.300375f, 1e-5f);
    EXPECT_NEAR(pos(p).y, 0.0f, 1e-6f);
    EXPECT_TRUE(at(pos(vp), 0, 0, 10));
    release();
    move(150, 100);
    EXPECT_NEAR(pos(p).x, 0.300375f, 1e-5f) << "released: no motion";

    const std::vector<Msg> expected{{MSG_BUTTON_DOWN, nullptr}, {MSG_DRAG_BEGIN, nullptr},
                                    {MSG_BUTTON_UP, nullptr}, {MSG_DRAG_END, nullptr}};
    EXPECT_EQ(log.entries(), expected);
}

TEST_F(SensorTest, ObjectModesSnapTheScreenOntoTheObjectsAxes)
{
    // Turned a quarter about z: its own x runs along the world's y.
    _object *local = sphere_part("local", QEL_VECT3(0, 0, 0), 1.0f);
    obj_set_orient(local, QEL_QUAT(0, 0, -0.70710678f, 0.70710678f), FRAME_WORLD);
    select_for(local, SENSE_OBJ_LOCAL);
    drag(10, 0);
    EXPECT_TRUE(at(pos(local), 10 * per_pixel, 0, 0));

    // A right drag turns it about the screen's vertical, the axis of its own nearest to it.
    release();
    const QEL_QUAT before = orient(local);
    press(100, 100, SENSOR_RIGHT_HELD);
    move(90, 100);
    QEL_QUAT yaw;
    yaw.from_eang(0.0f, 10.0f * 360.0f / 400.0f, 0.0f);
    EXPECT_TRUE(same_turn(orient(local), compose(before, yaw)));
}

TEST_F(SensorTest, ParentModeMovesAlongTheParentsAxisNearestTheScreen)
{
    _object *g = make(root, OBJ_GROUP, "g");
    obj_set_active(g, 1);
    obj_set_eangles(g, QEL_VECT3(0, 0, 30), FRAME_WORLD);
    _object *p = sphere_part("p", QEL_VECT3(0, 0, 0), 1.0f, g);
    obj_set_pos(p, QEL_VECT3(0, 0, 0), FRAME_WORLD);
    select_for(p, SENSE_OBJ_PARENT);
    drag(0, 10);
    // Not straight up the screen: along the group's axis 30 degrees off it.
    const QEL_VECT3 d = pos(p);
    EXPECT_NEAR(d.mag(), 10 * per_pixel, 1e-4f);
    EXPECT_NEAR(std::fabs(d.x), 10 * per_pixel * 0.5f, 1e-4f);
    EXPECT_NEAR(d.y, 10 * per_pixel * std::sqrt(0.75f), 1e-4f);
}

TEST_F(SensorTest, ExamineWithNothingSelectedPansAgainstTheDrag)
{
    sphere_part("p", QEL_VECT3(0, 0, 0), 1.0f);
    drag(10, 0);
    EXPECT_TRUE(at(pos(vp), -10 * per_pixel, 0, 10));
    EXPECT_TRUE(same_turn(orient(vp), QEL_QUAT(0, 0, 0, 1)));
}

TEST_F(SensorTest, ExamineOrbitsTheRootMidpointAtConstantDistance)
{
    sphere_part("a", QEL_VECT3(1, 2, 0), 1.0f);
    sphere_part("b", QEL_VECT3(3, 0, -2), 1.0f);
    QEL_VECT3 centre;
    ASSERT_EQ(VE_get_midpoint(root, centre), 0);
    const float before = distance(pos(vp), centre);
    QEL_VECT3 seen = centre;
    seen -= pos(vp);
    seen = orient(vp).invxform(seen);

    press(100, 100, SENSOR_RIGHT_HELD);
    for (int i = 1; i <= 5; ++i)
        move(100 + 8 * i, 100 + 3 * i);
    EXPECT_FALSE(same_turn(orient(vp), QEL_QUAT(0, 0, 0, 1)));
    EXPECT_NEAR(distance(pos(vp), centre), before, 1e-3f);
    QEL_VECT3 now = centre;
    now -= pos(vp);
    EXPECT_TRUE(near3(orient(vp).invxform(now), seen, 1e-3f)) << "the centre stays put on screen";
}

TEST_F(SensorTest, FlyingHasADeadZoneAroundTheCentre)
{
    VE_set_sensor(SENSE_FLY);
    EXPECT_EQ(env_get_envmove(), SENSE_FLY);
    press(200, 150);
    for (auto [x, y] : {std::pair{230, 150}, {170, 175}, {239, 129}})
        move(x, y);
    EXPECT_TRUE(at(pos(vp), 0, 0, 10));
    EXPECT_TRUE(same_turn(orient(vp), QEL_QUAT(0, 0, 0, 1)));

    // Below the dead zone the viewpoint flies forward, without turning for a centred x.
    move(200, 250);
    const float dy = 100.0f * 50.0f / 300.0f;
    EXPECT_TRUE(at(pos(vp), 0, 0, 10 - 10 * 45 * 0.0267f / 400 * dy)) << pos(vp).z;
    EXPECT_TRUE(same_turn(orient(vp), QEL_QUAT(0, 0, 0, 1)));
}

TEST_F(SensorTest, DominanceKeepsTheAxisTheDragStartedAlong)
{
    _object *p = sphere_part("p", QEL_VECT3(0, 0, 0), 1.0f);
    select_for(p, SENSE_OBJ_VIEW);
    press(100, 100);
    move(110, 103);
    move(114, 111);
    EXPECT_TRUE(at(pos(p), 14 * per_pixel, 0, 0));

    // Without it a diagonal drag goes diagonally.
    release();
    obj_set_dominant(0);
    press(100, 100);
    move(110, 105);
    EXPECT_TRUE(near3(pos(p), QEL_VECT3(24 * per_pixel, 5 * per_pixel, 0), 2e-3f));
}

TEST_F(SensorTest, OneFreeRotationTurnsOnlyAboutItWhateverTheDrag)
{
    _object *p = sphere_part("p", QEL_VECT3(0, 0, 0), 1.0f);
    select_for(p, SENSE_OBJ_LOCAL);
    env_set_objmove_constraint(DOF_RZ, CONSTRAINT{0, 0.0f, 0.0f});
    ASSERT_EQ(env_get_anymove_constraint(), 5);
    for (int buttons : {SENSOR_LEFT_HELD, SENSOR_RIGHT_HELD, SENSOR_LEFT_HELD | SENSOR_RIGHT_HELD}) {
        drag(7, -12, buttons);
        release();
    }
    EXPECT_TRUE(at(pos(p), 0, 0, 0));
    const QEL_QUAT q = orient(p);
    EXPECT_NEAR(q.x, 0.0f, 1e-6f);
    EXPECT_NEAR(q.y, 0.0f, 1e-6f);
    EXPECT_GT(std::fabs(q.z), 0.05f) << "it did turn about z";
}

TEST_F(SensorTest, DragOnlyHandsTheTranslationToTheHost)
{
    _object *p = sphere_part("p", QEL_VECT3(0, 0, 0), 1.0f);
    select_for(p, SENSE_OBJ_VIEW);
    env_set_mouse_drag_only(1);
    struct Handed : MsgHandlerImp {
        Handed() { msg_handler_register(this); }
        ~Handed() override { msg_handler_unregister(this); }
        const char *name() override { return "handed"; }
        int handle(short code, void *data, std::intptr_t n) override
        {
            if (code == MSG_DRAG_ONLY) {
                object = static_cast<_object *>(data);
                const float *t = reinterpret_cast<const float *>(n);
                v = QEL_VECT3(t[0], t[1], t[2]);
                ++count;
            }
            return 0;
        }
        _object *object = nullptr;
        QEL_VECT3 v{0, 0, 0};
        int count = 0;
    } handed;
    drag(10, 0);
    EXPECT_EQ(handed.count, 1);
    EXPECT_EQ(handed.object, p);
    EXPECT_TRUE(at(handed.v, 10 * per_pixel, 0, 0));
    EXPECT_TRUE(at(pos(p), 0, 0, 0));
}

// Drags of a selected object that must move nothing.
struct StillCase {
    const char *name;
    void (*arrange)(_object *part, _object *light);
    OBJECT_TYPE selected;
};

class SensorStillTest : public SensorTest, public ::testing::WithParamInterface<StillCase> {};

TEST_P(SensorStillTest, DragMovesNothing)
{
    _object *p = sphere_part("p", QEL_VECT3(0, 0, 0), 1.0f);
    _object *light = make(root, OBJ_LIGHT, "lamp");
    obj_set_active(light, 1);
    _object *o = GetParam().selected == OBJ_LIGHT ? light : p;
    const QEL_VECT3 start = pos(o);
    const QEL_QUAT turn = orient(o);
    select_for(o, SENSE_OBJ_VIEW);
    GetParam().arrange(p, light);
    drag(10, 10);
    release();
    drag(-5, 20, SENSOR_RIGHT_HELD);
    EXPECT_TRUE(at(pos(o), start.x, start.y, start.z));
    EXPECT_TRUE(same_turn(orient(o), turn));
    root->viewpoint = vp;
    EXPECT_TRUE(at(pos(vp), 0, 0, 10));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SensorStillTest,
    ::testing::Values(
        StillCase{"PickMode", [](_object *, _object *) { VE_set_sensor(SENSE_PICK); }, OBJ_OBJECT},
        StillCase{"LightUnderMask", [](_object *, _object *) { env_set_mouse_mask(0x10); }, OBJ_LIGHT},
        StillCase{"PartOnNoLayerUnderMask", [](_object *, _object *) { env_set_mouse_mask(0x80); },
                  OBJ_OBJECT},
        StillCase{"AllDegreesLocked",
                  [](_object *, _object *) {
                      env_set_objmove_constraint(DOF_X, CONSTRAINT{CONSTRAINT::LOCKED, 0, 0});
                  },
                  OBJ_OBJECT},
        // An active viewpoint cannot be deleted; a root can lack one while it is built.
        StillCase{"NoViewpoint", [](_object *, _object *) { db_get_root()->viewpoint = nullptr; },
                  OBJ_OBJECT}),
    [](const auto &info) { return std::string(info.param.name); });
