// Shared helpers of the binding tests: meshes with face groups, and a fixture owning one
// assembly.
#pragma once

#include <kivctrl/gsobject.h>
#include <kivctrl/kiv_db.h>
#include <kivctrl/qel_msg.h>
#include <kivctrl/ve_bind.h>

#include "database/db_fixture.h"

#include <string>
#include <vector>

// A mesh of `faces` face groups, one triangle each, side `size`, starting at x = `x`.
inline GSobject *make_mesh(int faces, float size, float x = 0.0f)
{
    GSobject *g = GSobject_begin();
    for (int k = 0; k < faces; ++k) {
        float pts[3][3] = {{x + k, 0, 0}, {x + k + size, 0, 0}, {x + k, size, 0}};
        for (auto &p : pts) {
            GSvertex v = GSvertex_new(p);
            GSobject_addvertex(g, &v);
        }
    }
    for (int k = 0; k < faces; ++k) {
        GSobject *f = GSface_begin();
        GSface_attach(g, f);
        GSpoly *poly = GSpoly_begintriangles(f, 1);
        for (int i = 0; i < 3; ++i)
            GSpoly_addvertex(poly, 3 * k + i);
        GSpoly_close(poly);
        GSface_close(f);
    }
    GSobject_close(g, 0.0f);
    return g;
}

// The face group numbered i among g's children.
inline GSobject *face_group(GSobject *g, int i)
{
    for (void *l = GSFirstChild(g); l; l = GSNextChild(l)) {
        GSobject *c = GSGetChildObject(l);
        if (GSobject_kind(c) == GS_KIND_FACE && i-- == 0)
            return c;
    }
    return nullptr;
}

// Gives a part the mesh as its only level, as a loader would, and loads it.
inline int give_mesh(_object *part, GSobject *mesh)
{
    _geometry *level = nullptr;
    obj_set_file(part, nullptr, level, 0.0f);
    level->handle = mesh;
    return VE_load_obj(part);
}

// v is (x, y, z) within a small tolerance.
inline ::testing::AssertionResult at(const QEL_VECT3 &v, float x, float y, float z)
{
    QEL_VECT3 d = v;
    d -= QEL_VECT3(x, y, z);
    if (d.mag() <= 1e-4f)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << v.x << ", " << v.y << ", " << v.z << ")";
}

