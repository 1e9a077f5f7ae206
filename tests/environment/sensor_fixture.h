// A displayed scene with the default sensors, a 400 x 300 window and a viewpoint at
// (0, 0, 10) looking down -Z with a 45 degree field, plus helpers that play pointer input
// through the tick.
#pragma once

#include <kivctrl/placement.h>
#include <kivctrl/selection.h>
#include <kivctrl/ve_sensor.h>

#include "tests/environment/framing_fixture.h"
#include "tests/environment/placement_fixture.h"

#include <cmath>

class SensorTest : public FramingTest {
protected:
    void SetUp() override
    {
        FramingTest::SetUp();
        if (has_window())
            env_set_winsize(400, 300);
        setup_sensors();
        pointer = dv_first_sensor();
        ASSERT_NE(pointer, nullptr);
        QEL_QUAT none;
        obj_set_orient(vp, none.init(), FRAME_WORLD);
        obj_set_pos(vp, QEL_VECT3(0.0f, 0.0f, 10.0f), FRAME_WORLD);
        obj_set_viewangle(vp, 45.0f);
        VE_set_sensor(SENSE_EXAMINE);
    }
    void TearDown() override
    {
        release();
        object_deselectall();
        while (_sensor *s = dv_first_sensor())
            dv_delete_sensor(s);
        env_set_mouse_mask(0);
        env_set_mouse_drag_only(0);
        env_set_dominant(0);
        obj_set_dominant(1);
        env_set_select_display(2 * 8);
        env_set_select_display(4 * 8);
        env_set_select_display(1);
        // Singling out x twice frees every degree of freedom.
        for (int i = 0; i < 2 && env_get_anymove_constraint() > 0; ++i)
            env_set_objmove_constraint(DOF_X, CONSTRAINT{0, 0.0f, 0.0f});
        FramingTest::TearDown();
    }

    // Host duties: a press stores the position and sets held and press bits.
    void press(int x, int y, int buttons = SENSOR_LEFT_HELD)
    {
        pointer->input.x = x;
        pointer->input.y = y;
        if (buttons & SENSOR_LEFT_HELD)
            pointer->input.buttons |= SENSOR_LEFT_HELD | SENSOR_LEFT_DOWN;
        if (buttons & SENSOR_RIGHT_HELD)
            pointer->input.buttons |= SENSOR_RIGHT_HELD | SENSOR_RIGHT_DOWN;
        actions();
    }
    void move(int x, int y)
    {
        pointer->input.x = x;
        pointer->input.y = y;
        actions();
    }
    void release()
    {
        if (pointer->input.buttons & SENSOR_LEFT_HELD)
            pointer->input.buttons = (pointer->input.buttons & ~SENSOR_LEFT_HELD) | SENSOR_LEFT_UP;
        if (pointer->input.buttons & SENSOR_RIGHT_HELD)
            pointer->input.buttons = (pointer->input.buttons & ~SENSOR_RIGHT_HELD) | SENSOR_RIGHT_UP;
        actions();
    }
    // A drag from (x, y) by (dx, dy) in one move.
    void drag(int dx, int dy, int buttons = SENSOR_LEFT_HELD, int x = 100, int y = 100)
    {
        press(x, y, buttons);
        move(x + dx, y + dy);
    }

    // Picks o and lets the pointer drag the selection in mode m, as the host does on a click.
    void select_for(_object *o, SENSOR_MODE m)
    {
        object_picked(o);
        VE_set_sensor(m);
    }

    static QEL_VECT3 pos(_object *o)
    {
        QEL_VECT3 p;
        obj_get_pos(o, p, FRAME_WORLD);
        return p;
    }
    static QEL_QUAT orient(_object *o)
    {
        QEL_QUAT q;
        obj_get_orient(o, q, FRAME_WORLD);
        return q;
    }
    static float distance(QEL_VECT3 a, const QEL_VECT3 &b)
    {
        a -= b;
        return a.mag();
    }

    // Pixels to scene units for an object 10 from the eye, 45 degrees, 400 x 300.
    static constexpr float per_pixel = 10.0f * 45.0f * 0.0267f / 400.0f;

    // The window size is kept once set: a process that never sets one tests input without it.
    virtual bool has_window() const { return true; }

    _sensor *pointer = nullptr;
};
