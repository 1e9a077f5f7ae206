// A tree prepared for display (viewpoint looking along -Z from the origin) with helpers that
// give parts solid meshes.
#pragma once

#include <kivctrl/placement.h>
#include <kivctrl/ve_env.h>
#include <kivctrl/ve_zoom.h>

#include "tests/environment/bind_fixture.h"
#include "tests/environment/solids.h"

#include <cmath>

class FramingTest : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        VE_build_tree(root);
        vp = root->viewpoint;
        ASSERT_NE(vp, nullptr);
    }
    void TearDown() override
    {
        env_set_clip(0.01f, 0);
        DbTest::TearDown();
    }

    // A part at `at` whose mesh is a sphere of radius r about its origin. Its own radius is
    // that of the mesh's bounding box: r times the square root of 3.
    _object *sphere_part(const char *name, QEL_VECT3 at, float r, _object *parent = nullptr)
    {
        _object *p = make(parent ? parent : root, OBJ_OBJECT, name);
        give_mesh(p, make_gsobject(sphere_solid(r, 48, 24)));
        obj_set_active(p, 1);
        obj_set_pos(p, at, FRAME_WORLD);
        return p;
    }

    QEL_VECT3 eye()
    {
        QEL_VECT3 p;
        obj_get_pos(vp, p, FRAME_WORLD);
        return p;
    }

    _object *vp = nullptr;
};
