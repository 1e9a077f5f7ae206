// Dragging a texture: the left button moves it, both buttons scale it (vertically) or turn
// it (horizontally), the right button tilts its grid.
#include "tests/environment/sensor_fixture.h"

#include <kivctrl/obj_attr.h>
#include <kivctrl/placement.h>

#include <memory>

TEST_F(SensorTest, TextureDragOnAnObjectWithoutExtentMovesScalesAndTurnsItsTexture)
{
    // An empty group has no radius: the scale must not divide by it.
    _object *g = make(root, OBJ_GROUP, "empty");
    obj_set_active(g, 1);
    ASSERT_EQ(obj_get_grpradius(g), 0.0f);
    g->texture = std::make_unique<_obj_texture>().release();
    const _obj_texture &tx = *g->texture;
    select_for(g, SENSE_TEXTURE);

    drag(10, 0);
    const float f = (10.0f - 1.0f) * std::tan(22.5f * 3.14159265f / 180.0f) / 300.0f;
    EXPECT_NEAR(tx.position.x, 10 * f, 1e-5f);
    EXPECT_EQ(tx.position.y, 0.0f);
    release();

    drag(0, 20, SENSOR_LEFT_HELD | SENSOR_RIGHT_HELD);
    EXPECT_NEAR(tx.scale.x, 0.95f, 1e-6f);
    EXPECT_NEAR(tx.scale.y, 0.95f, 1e-6f);
    release();

    drag(10, 0, SENSOR_LEFT_HELD | SENSOR_RIGHT_HELD);
    EXPECT_NEAR(tx.angle, 10 * 180.0f / 400.0f, 1e-4f);
    EXPECT_TRUE(same_turn(tx.grid_orientation, QEL_QUAT(0, 0, 0, 1)));
    release();

    drag(0, 10, SENSOR_RIGHT_HELD);
    QEL_QUAT tilt;
    tilt.from_eang(10 * 180.0f / 400.0f, 0.0f, 0.0f);
    EXPECT_TRUE(same_turn(tx.grid_orientation, tilt));
    EXPECT_TRUE(at(pos(g), 0, 0, 0)) << "the object itself stays";
    EXPECT_NEAR(tx.position.x, 10 * f, 1e-5f);
}
