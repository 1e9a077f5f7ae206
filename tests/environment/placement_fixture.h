// A small scene for the placement tests: root -> A -> B -> part P, a sibling part S under A,
// and the assembly's viewpoint V, each with a graphics object whose pivot and mesh midpoint
// differ, so that positions name pivots and not mesh origins.
#pragma once

#include <kivctrl/gsobject.h>
#include <kivctrl/kiv_db.h>
#include <kivctrl/placement.h>

#include "database/db_fixture.h"
#include "environment/geo_data.h"

#include <gtest/gtest.h>

#include <cmath>

inline QEL_QUAT axis_turn(float ax, float ay, float az, float degrees)
{
    QEL_VECT3 a(ax, ay, az);
    a /= a.mag();
    const float h = degrees * 3.14159265f / 360.0f;
    return {a.x * std::sin(h), a.y * std::sin(h), a.z * std::sin(h), std::cos(h)};
}

inline ::testing::AssertionResult near3(const QEL_VECT3 &a, const QEL_VECT3 &b, float tol = 2e-4f)
{
    QEL_VECT3 d = a;
    d -= b;
    if (d.mag() <= tol)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << a.x << ", " << a.y << ", " << a.z << ") vs ("
                                         << b.x << ", " << b.y << ", " << b.z << ")";
}

// The same rotation (q and -q alike).
inline ::testing::AssertionResult same_turn(const QEL_QUAT &a, const QEL_QUAT &b)
{
    const float dot = a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
    if (std::fabs(std::fabs(dot) - 1.0f) <= 2e-4f)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << a.x << ", " << a.y << ", " << a.z << ", " << a.w
                                         << ") vs (" << b.x << ", " << b.y << ", " << b.z << ", "
                                         << b.w << ")";
}

class PlacementTest : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        A = make_placed(root, OBJ_GROUP, "A", {0.5f, -1.0f, 2.0f});
        B = make_placed(A, OBJ_GROUP, "B", {-2.0f, 0.0f, 1.0f});
        P = make_placed(B, OBJ_OBJECT, "P", {1.0f, 1.0f, 0.0f});
        S = make_placed(A, OBJ_OBJECT, "S", {0.0f, 0.0f, 0.0f});
        V = make_placed(root, OBJ_VIEWPOINT, "V", {0.0f, 0.0f, 0.0f});
        root->viewpoint = V;
        // Nested turns about different axes, every frame away from the origin.
        place(A, {3.0f, -2.0f, 1.0f}, axis_turn(0, 0, 1, 90));
        place(B, {4.0f, 1.0f, -3.0f}, compose(axis_turn(1, 0, 0, 90), axis_turn(0, 0, 1, 90)));
        place(P, {5.0f, 2.0f, 0.0f}, axis_turn(1, 1, 0, 40));
        place(V, {0.0f, -10.0f, 5.0f}, axis_turn(0, 1, 1, -70));
    }

    // An object with a box mesh from (0,0,0) to (2,2,2) and its pivot at `pivot` (local).
    _object *make_placed(_object *parent, OBJECT_TYPE t, const char *name, QEL_VECT3 pivot)
    {
        _object *o = make(parent, t, name);
        GSobject *g = GSobject_begin();
        const float pts[4][3] = {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}, {0, 0, 2}};
        for (const auto &p : pts) {
            float q[3] = {p[0], p[1], p[2]};
            GSvertex v = GSvertex_new(q);
            GSobject_addvertex(g, &v);
        }
        GSpoly *tri = GSpoly_begintriangles(g, 2);
        for (int i : {0, 1, 2, 0, 2, 3})
            GSpoly_addvertex(tri, i);
        GSpoly_close(tri);
        GSobject_close(g, 0.0f);
        const float pv[3] = {pivot.x, pivot.y, pivot.z};
        GSobject_setpivot(g, pv, GS_FRAME_LOCAL);
        // The box takes the place of the node the object was bound to.
        GSobject *bound = o->gsobject;
        if (GSobject *p = GSobject_getparent(bound)) {
            GSobject_detach(p, bound);
            GSobject_attach(p, g);
        }
        kiv::env::delete_node(bound);
        kiv::env::attach_geo_data(g, o);
        o->gsobject = g;
        o->active = 1;
        return o;
    }

    static void place(_object *o, const QEL_VECT3 &p, const QEL_QUAT &q)
    {
        ASSERT_EQ(VE_set_orient(o, q), 0);
        ASSERT_EQ(VE_set_pos(o, p), 0);
    }

    static QEL_FRAME world(_object *o)
    {
        QEL_FRAME f;
        VE_get_pos(o, f.p);
        VE_get_orient(o, f.q);
        return f;
    }

    _object *A = nullptr, *B = nullptr, *P = nullptr, *S = nullptr, *V = nullptr;
};
