// Binding of scene objects to graphics objects: nodes, back-references, faces, activation
// and geometry replacement.
#include "tests/environment/bind_fixture.h"

#include "graphics/gs_object.h"

#include <kivctrl/gs_universe.h>
#include <kivctrl/placement.h>
#include <kivctrl/qel_msg.h>
#include <kivctrl/selection.h>
#include <kivctrl/ve_env.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

namespace {

using BindTest = DbTest;

TEST_F(BindTest, EveryObjectTypeGetsItsNodeWithABackReference)
{
    _object *group = make(root, OBJ_GROUP, "g");
    _object *part = make(group, OBJ_OBJECT, "p");
    _object *light = make(group, OBJ_LIGHT, "l");
    _object *vp = make(root, OBJ_VIEWPOINT, "v");
    _object *face = make(part, OBJ_FACE, "f");
    struct Case {
        _object *o;
        int kind;
        int type;
        GSobject *parent;
    };
    const Case cases[] = {
        {root, GS_KIND_OBJECT, GS_OBJTYPE_WORLD, nullptr},
        {group, GS_KIND_OBJECT, GS_OBJTYPE_ASSEMBLY, nullptr},  // the root's node holds no one
        {part, GS_KIND_OBJECT, GS_OBJTYPE_GEOMETRY, group->gsobject},
        {light, GS_KIND_OBJECT, GS_OBJTYPE_DIRECTEDLIGHT, group->gsobject},
        {vp, GS_KIND_OBJECT, GS_OBJTYPE_VIEWPOINT, nullptr},
        {face, GS_KIND_FACE, GS_OBJTYPE_ANNOTATION, nullptr},  // a stand-in until bound
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.o->name);
        ASSERT_NE(c.o->gsobject, nullptr);
        EXPECT_EQ(GSobject_kind(c.o->gsobject), c.kind);
        EXPECT_EQ(GSobject_getobjecttype(c.o->gsobject), c.type);
        EXPECT_EQ(GSobject_getparent(c.o->gsobject), c.parent);
        EXPECT_FALSE(GSobject_getvisibility(c.o->gsobject));
        EXPECT_EQ(handle_to_obj(c.o->gsobject, nullptr, false), c.o);
    }
    EXPECT_EQ(vp->gslight, GSuniverse_getviewpoint());
    EXPECT_EQ(handle_to_obj(nullptr, nullptr, true), nullptr);
}

TEST_F(BindTest, ObjectsStartAtTheirParentsOriginAndMoveWithIt)
{
    _object *group = make(root, OBJ_GROUP, "g");
    ASSERT_EQ(obj_set_pos(group, QEL_VECT3(1, 2, 3), FRAME_WORLD), 0);
    _object *part = make(group, OBJ_OBJECT, "p");
    QEL_VECT3 p;
    ASSERT_EQ(obj_get_pos(part, p, FRAME_WORLD), 0);
    EXPECT_TRUE(at(p, 1, 2, 3));
    obj_set_pos(group, QEL_VECT3(0, 0, 0), FRAME_WORLD);
    obj_get_pos(part, p, FRAME_WORLD);
    EXPECT_TRUE(at(p, 0, 0, 0));
    // Re-parenting keeps the world placement and moves the node under the new parent's.
    _object *other = make(root, OBJ_GROUP, "o");
    obj_set_pos(other, QEL_VECT3(5, 0, 0), FRAME_WORLD);
    ASSERT_EQ(db_link(other, part), 0);
    EXPECT_EQ(GSobject_getparent(part->gsobject), other->gsobject);
    obj_get_pos(part, p, FRAME_PARENT);
    EXPECT_TRUE(at(p, -5, 0, 0));
}

TEST_F(BindTest, FacesBindToTheirGroupsAndPickingMakesFacesOnce)
{
    _object *part = make(root, OBJ_OBJECT, "p");
    GSobject *mesh = make_mesh(4, 1.0f);
    ASSERT_EQ(give_mesh(part, mesh), 0);
    EXPECT_EQ(part->gsobject, mesh);
    EXPECT_EQ(handle_to_obj(mesh, nullptr, false), part);

    // A face read from the file knows its index and binds to that group.
    _object *face = db_create_face_obj(part);
    face->face_index = 2;
    ASSERT_EQ(VE_load_face(face), 0);
    EXPECT_EQ(face->gsobject, face_group(mesh, 2));
    ASSERT_EQ(face->geolist.count(), 1);
    EXPECT_EQ(face->geolist.get(1)->handle, face_group(mesh, 2));
    EXPECT_EQ(handle_to_obj(face_group(mesh, 2), nullptr, true), face);

    // An unbound group stands for its part, or becomes a face object when faces are asked.
    int created = -1;
    EXPECT_EQ(handle_to_obj(face_group(mesh, 3), &created, false), part);
    EXPECT_EQ(created, 0);
    MessageLog log({MSG_OBJ_RENAMED});
    _object *picked = handle_to_obj(face_group(mesh, 3), &created, true);
    ASSERT_NE(picked, nullptr);
    EXPECT_EQ(created, 1);
    EXPECT_EQ(picked->type, OBJ_FACE);
    EXPECT_EQ(picked->parent, part);
    EXPECT_STREQ(picked->name, "Face 3");
    EXPECT_EQ(picked->face_index, 3);
    EXPECT_EQ(picked->active, 1);
    EXPECT_EQ(log.entries(), (std::vector<Msg>{{MSG_OBJ_RENAMED, picked}}));
    EXPECT_EQ(handle_to_obj(face_group(mesh, 3), &created, true), picked);
    EXPECT_EQ(created, 0);
    // A node nobody owns, and a node under one nobody owns, lead nowhere.
    GSobject *stray = make_mesh(1, 1.0f);
    EXPECT_EQ(handle_to_obj(face_group(stray, 0), &created, true), nullptr);
    GSobject_delete(stray);
}

TEST_F(BindTest, ActivationShowsLoadsAndReleasesGeometry)
{
    _object *group = make(root, OBJ_GROUP, "g");
    _object *part = make(group, OBJ_OBJECT, "p");
    GSobject *mesh = make_mesh(2, 1.0f);
    give_mesh(part, mesh);
    _object *face = db_create_face_obj(part);
    face->face_index = 1;
    VE_load_face(face);

    MessageLog log({MSG_OBJ_ACTIVATED, MSG_OBJ_DEACTIVATED, MSG_OBJ_ACTIVE_APPLIED});
    EXPECT_EQ(obj_set_active(group, 1), 0);
    EXPECT_EQ(part->active, 1);
    EXPECT_EQ(face->active, 1);
    EXPECT_TRUE(GSobject_getvisibility(part->gsobject));
    EXPECT_EQ(part->lod_current, mesh);
    EXPECT_EQ(log.entries().front(), (Msg{MSG_OBJ_ACTIVATED, group}));

    // Deactivation frees the geometry but keeps an empty node in place, at the same spot.
    obj_set_pos(part, QEL_VECT3(3, 0, 0), FRAME_WORLD);
    log.clear();
    EXPECT_EQ(obj_set_active(part, 0), 0);
    EXPECT_EQ(part->active, 0);
    EXPECT_EQ(face->active, 0);
    EXPECT_NE(part->gsobject, nullptr);
    EXPECT_NE(part->gsobject, mesh);
    EXPECT_EQ(GSobject_getparent(part->gsobject), group->gsobject);
    EXPECT_EQ(part->geolist.get(1)->handle, nullptr);
    EXPECT_EQ(part->lod_current, nullptr);
    EXPECT_EQ(face->gsobject, nullptr);
    EXPECT_FALSE(GSobject_getvisibility(part->gsobject));
    QEL_VECT3 p;
    obj_get_pos(part, p, FRAME_WORLD);
    EXPECT_TRUE(at(p, 3, 0, 0));
    EXPECT_EQ(handle_to_obj(part->gsobject, nullptr, false), part);
    EXPECT_EQ(log.entries().back(), (Msg{MSG_OBJ_DEACTIVATED, face}));

    // Nothing to load again (the level has no file): the part stays inactive.
    EXPECT_NE(obj_set_active(part, 1), 0);
    EXPECT_EQ(part->active, 0);
}

// Geometry that arrives for a selected part (a load in the background, say) is shown as
// selected: drawn in full while only envelopes are drawn, with the select display applied.
TEST_F(BindTest, APartSelectedBeforeItsGeometryArrivesLoadsAsSelected)
{
    _object *part = make(root, OBJ_OBJECT, "p");
    _object *other = make(root, OBJ_OBJECT, "q");
    object_picked(part);
    env_set_onlydrawenvelopes(1);
    MessageLog log({MSG_SEL_APPLY_DISPLAY});
    give_mesh(part, make_mesh(1, 1.0f));
    give_mesh(other, make_mesh(1, 1.0f));
    env_set_onlydrawenvelopes(0);
    EXPECT_EQ(log.entries(), (std::vector<Msg>{{MSG_SEL_APPLY_DISPLAY, part}}));
    EXPECT_TRUE(static_cast<ADT_Object *>(part->gsobject)->overrideenvelope);
    EXPECT_FALSE(static_cast<ADT_Object *>(other->gsobject)->overrideenvelope);
    object_picked(part);
}

TEST_F(BindTest, ReplacingGeometryKeepsThePlacementUnderTheLock)
{
    _object *group = make(root, OBJ_GROUP, "g");
    _object *part = make(group, OBJ_OBJECT, "p");
    _object *child = make(part, OBJ_LIGHT, "child");
    obj_set_pos(group, QEL_VECT3(0, 0, 10), FRAME_WORLD);
    QEL_QUAT turn;
    turn.from_eang(0.0f, 0.0f, 90.0f);
    obj_set_orient(part, turn, FRAME_PARENT);
    obj_set_pos(part, QEL_VECT3(1, 2, 3), FRAME_PARENT);
    QEL_VECT3 child_before;
    obj_get_pos(child, child_before, FRAME_WORLD);

    struct LockProbe : MsgHandlerImp {
        explicit LockProbe(KivAssembly *a) : a(a) { msg_handler_register(this); }
        ~LockProbe() override { msg_handler_unregister(this); }
        const char *name() override { return "lock probe"; }
        int handle(short code, void *data, std::intptr_t) override
        {
            if (code != MSG_OBJ_GSNODE_REPLACED)
                return 0;
            replaced = static_cast<_object *>(data);
            // The replacement still holds the lock: another thread cannot take it.
            std::thread t([this] {
                taken_elsewhere = a->AccessGeometry();
                if (taken_elsewhere)
                    a->ReleaseGeometry();
            });
            t.join();
            return 0;
        }
        KivAssembly *a;
        _object *replaced = nullptr;
        std::atomic<bool> taken_elsewhere{false};
    } probe(assy);

    GSobject *mesh = make_mesh(1, 2.0f, 4.0f);  // midpoint away from the mesh's origin
    ASSERT_EQ(give_mesh(part, mesh), 0);
    EXPECT_EQ(probe.replaced, part);
    EXPECT_FALSE(probe.taken_elsewhere);
    std::thread after([this] {
        EXPECT_TRUE(assy->AccessGeometry());
        assy->ReleaseGeometry();
    });
    after.join();
    EXPECT_EQ(part->gsobject, mesh);
    QEL_VECT3 p, c;
    QEL_QUAT q;
    obj_get_pos(part, p, FRAME_PARENT);
    obj_get_orient(part, q, FRAME_PARENT);
    obj_get_pos(child, c, FRAME_WORLD);
    EXPECT_NEAR(p.x, 1, 1e-5);
    EXPECT_NEAR(p.y, 2, 1e-5);
    EXPECT_NEAR(p.z, 3, 1e-5);
    EXPECT_NEAR(std::fabs(q.x * turn.x + q.y * turn.y + q.z * turn.z + q.w * turn.w), 1, 1e-5);
    EXPECT_NEAR(c.x, child_before.x, 1e-5);
    EXPECT_NEAR(c.z, child_before.z, 1e-5);
    EXPECT_EQ(GSobject_getparent(child->gsobject), mesh);
    EXPECT_EQ(GSobject_getparent(mesh), group->gsobject);
    // The pivot was kept: the new mesh's midpoint lies where the old one's was.
    QEL_VECT3 mid;
    obj_get_midpoint(part, mid, FRAME_WORLD);
    EXPECT_NEAR(mid.x, p.x, 1e-4);
    EXPECT_NEAR(mid.z, 13, 1e-4);
}

TEST_F(BindTest, GeometryWaitsForTheLockHeldByAnotherThread)
{
    _object *part = make(root, OBJ_OBJECT, "p");
    std::atomic<int> stage{0};
    std::thread holder([&] {
        assy->AccessGeometryWait();
        stage = 1;
        while (stage != 2)
            std::this_thread::yield();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        stage = 3;
        assy->ReleaseGeometry();
    });
    while (stage != 1)
        std::this_thread::yield();
    stage = 2;
    give_mesh(part, make_mesh(1, 1.0f));
    // The replacement could only happen after the holder let go.
    EXPECT_EQ(stage, 3);
    holder.join();
}

TEST_F(BindTest, LightsAndTheViewpointFollowTheirObjectsEachTick)
{
    _object *lamp = light_add(root, const_cast<char *>("lamp"), LIGHT_SPOT);
    ASSERT_NE(lamp, nullptr);
    EXPECT_STREQ(lamp->name, "lamp");
    EXPECT_EQ(lamp->active, 1);
    EXPECT_EQ(light_get_type(lamp), LIGHT_SPOT);
    EXPECT_EQ(GSobject_getobjecttype(lamp->gsobject), GS_OBJTYPE_SPOTLIGHT);
    EXPECT_EQ(root->lights.find(lamp), 1);
    EXPECT_FLOAT_EQ(lamp->intensity, 0.8f);
    auto *light = static_cast<GSlight *>(lamp->gslight);
    EXPECT_FLOAT_EQ(GSlight_getintensity(light), 0.8f);

    _object *vp = make(root, OBJ_VIEWPOINT, "cam");
    obj_set_active(vp, 1);
    EXPECT_EQ(root->viewpoint, vp);

    obj_set_pos(lamp, QEL_VECT3(1, 2, 3), FRAME_WORLD);
    QEL_QUAT quarter;
    quarter.from_eang(90.0f, 0.0f, 0.0f);
    obj_set_orient(lamp, quarter, FRAME_WORLD);
    obj_set_pos(vp, QEL_VECT3(0, -5, 0), FRAME_WORLD);
    obj_set_orient(vp, quarter, FRAME_WORLD);
    dv_obj_sync();

    float pos[3], dir[3], expected[3];
    GSlight_getposition(light, pos);
    EXPECT_TRUE(at(QEL_VECT3(pos[0], pos[1], pos[2]), 1, 2, 3));
    GSlight_getdirection(light, dir);
    quarter.todir(expected);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(dir[i], expected[i], 1e-6);
    float vpos[3], vq[4];
    GSviewpoint_getposition(GSuniverse_getviewpoint(), vpos);
    GSviewpoint_getorientation(GSuniverse_getviewpoint(), vq);
    EXPECT_TRUE(at(QEL_VECT3(vpos[0], vpos[1], vpos[2]), 0, -5, 0));
    EXPECT_NEAR(std::fabs(vq[0] * quarter.x + vq[1] * quarter.y + vq[2] * quarter.z +
                          vq[3] * quarter.w),
                1, 1e-6);

    // A tick without moves leaves the graphics side alone.
    GSuniverse_changed(0);
    dv_obj_sync();
    EXPECT_EQ(GSuniverse_waschanged(), 0);

    // Switching the light off takes it out of the tick.
    obj_set_active(lamp, 0);
    EXPECT_EQ(root->lights.find(lamp), 0);
}

TEST_F(BindTest, ActivatingAnotherViewpointDeactivatesTheFirst)
{
    _object *a = make(root, OBJ_VIEWPOINT, "a");
    _object *b = make(root, OBJ_VIEWPOINT, "b");
    obj_set_active(a, 1);
    MessageLog log({MSG_OBJ_DEACTIVATED});
    obj_set_active(b, 1);
    EXPECT_EQ(root->viewpoint, b);
    EXPECT_EQ(a->active, 0);
    EXPECT_EQ(log.entries(), (std::vector<Msg>{{MSG_OBJ_DEACTIVATED, a}}));
}

TEST_F(BindTest, UnknownTypesAreReported)
{
    kivtest::BusRecorder log(MSG_ERROR);
    _object odd(static_cast<OBJECT_TYPE>(9), nullptr);
    EXPECT_EQ(VE_create_geo(&odd), 105);
    EXPECT_EQ(odd.gsobject, nullptr);
    odd.gsobject = make(root, OBJ_GROUP, "g")->gsobject;
    odd.gslight = GSuniverse_getviewpoint();
    EXPECT_EQ(VE_sync_geo(&odd), 102);
    EXPECT_EQ(VE_load_obj(&odd), 0);
    odd.gsobject = nullptr;
    odd.gslight = nullptr;
    EXPECT_EQ(log.error_formats(), (std::vector<std::string>{"Unrecognized type in VE_create_geo",
                                                            "Unrecognized object type in VE_sync_geo",
                                                            "Unrecognized type in VE_create_obj"}));
}

TEST_F(BindTest, SelectedObjectsAreDrawnInFullAndViewMovesRedrawEachTick)
{
    _object *group = make(root, OBJ_GROUP, "g");
    _object *part = make(group, OBJ_OBJECT, "p");
    _object *vp = make(root, OBJ_VIEWPOINT, "cam");
    obj_set_active(vp, 1);
    auto overridden = [](_object *o) {
        return static_cast<ADT_Object *>(o->gsobject)->overrideenvelope;
    };
    msg_send(MSG_SEL_ADDED, group, 0);
    EXPECT_TRUE(overridden(group));
    EXPECT_TRUE(overridden(part));
    msg_send(MSG_SEL_REMOVED, group, 0);
    EXPECT_FALSE(overridden(part));
    // A left button release switches the handler off until the next left press.
    msg_send(MSG_BUTTON_UP, nullptr, 1);
    msg_send(MSG_SEL_ADDED, part, 0);
    EXPECT_FALSE(overridden(part));
    msg_send(MSG_BUTTON_DOWN, nullptr, 1);
    msg_send(MSG_SEL_ADDED, part, 0);
    EXPECT_TRUE(overridden(part));

    dv_obj_sync();
    GSuniverse_changed(0);
    msg_send(MSG_DRAG_BEGIN, nullptr, 0);
    dv_obj_sync();
    EXPECT_NE(GSuniverse_waschanged(), 0);
    msg_send(MSG_DRAG_END, nullptr, 0);
    GSuniverse_changed(0);
    dv_obj_sync();
    EXPECT_EQ(GSuniverse_waschanged(), 0);
}

TEST_F(BindTest, DeletingObjectsReleasesTheirBinding)
{
    _object *lamp = light_add(root, const_cast<char *>("lamp"), LIGHT_POINT);
    _object *vp = make(root, OBJ_VIEWPOINT, "cam");
    obj_set_active(vp, 1);
    _object *part = make(root, OBJ_OBJECT, "p");
    give_mesh(part, make_mesh(2, 1.0f));
    handle_to_obj(face_group(part->gsobject, 1), nullptr, true);
    obj_set_active(part, 1);

    EXPECT_EQ(db_delete_obj(lamp), 0);
    EXPECT_TRUE(root->lights.isempty());
    EXPECT_EQ(db_delete_obj(part), 0);
    EXPECT_EQ(make(root, OBJ_VIEWPOINT, "other") != nullptr, true);
    EXPECT_EQ(db_delete_obj(vp), 1);  // the active one stays
    // The rest goes with the assembly; the sanitizers check nothing leaks or dangles.
}

}  // namespace
