// Input before the host gave the window a size: nothing may move (the scales divide by it).
#include "tests/environment/sensor_fixture.h"

class NoWindowTest : public SensorTest {
protected:
    bool has_window() const override { return false; }
};

TEST_F(NoWindowTest, NoDeviceMovesAnythingAndNothingBecomesNaN)
{
    int w = -1, h = -1;
    env_get_winsize(w, h);
    ASSERT_EQ(w, 0) << "the window size must never be set in this process";
    _object *p = sphere_part("p", QEL_VECT3(0, 0, 0), 1.0f);

    drag(10, 10);
    drag(5, -8, SENSOR_RIGHT_HELD);
    release();
    VE_set_sensor(SENSE_FLY);
    drag(150, 120);
    release();
    _sensor *relative = dv_next_sensor(pointer);
    relative->input.x = 4;
    actions();
    EXPECT_TRUE(at(pos(vp), 0, 0, 10));
    EXPECT_TRUE(same_turn(orient(vp), QEL_QUAT(0, 0, 0, 1)));

    for (SENSOR_MODE m : {SENSE_OBJ_LOCAL, SENSE_OBJ_VIEW, SENSE_TEXTURE}) {
        select_for(p, m);
        drag(10, 10);
        release();
        object_deselectall();
    }
    EXPECT_TRUE(at(pos(p), 0, 0, 0));
    EXPECT_TRUE(same_turn(orient(p), QEL_QUAT(0, 0, 0, 1)));
}
