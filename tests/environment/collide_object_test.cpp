// Collision tests between scene objects: pairs, the walk over an assembly, when collision
// data are refreshed, faces, and the messages of a collide watch.
#include <kivctrl/collide.h>
#include <kivctrl/placement.h>
#include <kivctrl/qel_msg.h>

#include "environment/collide_slot.h"
#include "environment/collide_watch.h"
#include "tests/environment/bind_fixture.h"
#include "tests/environment/solids.h"

namespace {

const Solid kCube = box_solid(-0.5f, -0.5f, -0.5f, 0.5f, 0.5f, 0.5f);

class CollideTest : public DbTest {
protected:
    void TearDown() override
    {
        env_set_collide_mode(COLLIDE_OFF);
        DbTest::TearDown();
    }

    // A part showing the solid, active, with its origin at p.
    _object *part(_object *parent, const char *name, const Solid &s, QEL_VECT3 p)
    {
        _object *o = make(parent, OBJ_OBJECT, name);
        EXPECT_EQ(give_mesh(o, make_gsobject(s)), 0);
        EXPECT_EQ(obj_set_active(o, 1), 0);
        EXPECT_EQ(obj_set_pos(o, p, FRAME_WORLD), 0);
        return o;
    }

    static const kiv::env::CollisionShape *data_of(_object *o)
    {
        kiv::env::GeoData *d = kiv::env::geo_data(o->lod_current);
        auto *slot = d ? dynamic_cast<kiv::env::CollisionSlot *>(d->cache[kiv::env::kCollisionSlot].get()) : nullptr;
        return slot ? &slot->shape : nullptr;
    }
};

TEST_F(CollideTest, PairsOfParts)
{
    struct Case {
        const char *name;
        Solid b;
        QEL_VECT3 at;
        int hit;
    };
    const Case cases[] = {
        {"faces in one plane", kCube, {1, 0, 0}, 0},
        {"overlapping", kCube, {0.5f, 0.25f, 0.125f}, 1},
        {"a tenth apart", kCube, {0, 1.1f, 0}, 0},
        {"inside a hollow box", box_solid(-3, -3, -3, 3, 3, 3), {0.2f, 0, 0}, 0},
        {"through the hollow box's wall", box_solid(-3, -3, -3, 3, 3, 3), {2.8f, 0, 0}, 1},
    };
    _object *a = part(root, "a", kCube, {0, 0, 0});
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        _object *b = part(root, "b", c.b, {0, 0, 0});
        // b's origin goes to c.at relative to a.
        ASSERT_EQ(obj_set_pos(b, c.at, FRAME_WORLD), 0);
        EXPECT_EQ(intersect_obj_obj(a, b), c.hit);
        EXPECT_EQ(intersect_obj_obj(b, a), c.hit);
        db_delete_obj(b);
    }
    EXPECT_EQ(intersect_obj_obj(a, a), 0);
    EXPECT_EQ(intersect_obj_obj(a, nullptr), 0);
    _object *empty = make(root, OBJ_GROUP, "group without geometry");
    EXPECT_EQ(intersect_obj_obj(a, empty), 0);
}

TEST_F(CollideTest, DataAreRefreshedOnceAfterEachMove)
{
    _object *g = make(root, OBJ_GROUP, "g");
    _object *a = part(root, "a", kCube, {0, 0, 0});
    _object *b = part(g, "b", kCube, {0.5f, 0, 0});
    ASSERT_EQ(intersect_obj_obj(a, b), 1);
    ASSERT_NE(data_of(a), nullptr);
    ASSERT_NE(data_of(b), nullptr);
    EXPECT_EQ(data_of(a)->placements(), 1u);
    EXPECT_EQ(data_of(b)->placements(), 1u);
    ASSERT_EQ(intersect_obj_obj(b, a), 1);
    EXPECT_EQ(data_of(b)->placements(), 1u);

    ASSERT_EQ(obj_set_pos(b, QEL_VECT3(1.5f, 0, 0), FRAME_WORLD), 0);
    EXPECT_EQ(intersect_obj_obj(a, b), 0);
    EXPECT_EQ(intersect_obj_obj(a, b), 0);
    EXPECT_EQ(data_of(b)->placements(), 2u);
    EXPECT_EQ(data_of(a)->placements(), 1u);

    // Moving the group carries b along: its counters move, its data follow.
    ASSERT_EQ(obj_set_pos(g, QEL_VECT3(-1, 0, 0), FRAME_WORLD), 0);
    EXPECT_EQ(intersect_obj_obj(a, b), 1);
    EXPECT_EQ(data_of(b)->placements(), 3u);
    EXPECT_EQ(data_of(b)->builds(), 1u);
}

TEST_F(CollideTest, WalkOverAnAssembly)
{
    _object *near = make(root, OBJ_GROUP, "near");
    _object *p1 = part(near, "p1", kCube, {0, 0, 0});
    _object *p2 = part(near, "p2", kCube, {1.8f, 0, 0});
    _object *far = make(root, OBJ_GROUP, "far");
    _object *p3 = part(far, "p3", kCube, {40, 0, 0});
    _object *mover = part(root, "mover", kCube, {2.5f, 0.5f, 0});
    // A part carried by the mover touches it but is not an obstacle.
    _object *rider = part(mover, "rider", kCube, {2.5f, 0.9f, 0});

    EXPECT_EQ(intersect_obj_any(mover, nullptr), p2);
    OBJLIST hits;
    ASSERT_EQ(obj_set_pos(mover, QEL_VECT3(0.9f, 0.5f, 0), FRAME_WORLD), 0);
    EXPECT_EQ(intersect_obj_any(mover, &hits), p1);
    ASSERT_EQ(hits.count(), 2);
    EXPECT_EQ(hits.get(1), p1);
    EXPECT_EQ(hits.get(2), p2);
    // Hits already listed are not listed twice.
    intersect_obj_any(mover, &hits);
    EXPECT_EQ(hits.count(), 2);
    // The far group's sphere kept its part from ever being tested.
    EXPECT_EQ(data_of(p3), nullptr);
    // Nor is the mover an obstacle to what it carries.
    OBJLIST rider_hits;
    intersect_obj_any(rider, &rider_hits);
    EXPECT_TRUE(rider_hits.find(p1));
    EXPECT_FALSE(rider_hits.find(mover));

    ASSERT_EQ(obj_set_pos(mover, QEL_VECT3(1, 3, 0), FRAME_WORLD), 0);
    EXPECT_EQ(intersect_obj_any(mover, nullptr), nullptr);
    EXPECT_EQ(intersect_obj_any(nullptr, nullptr), nullptr);

    // A group has no polygons of its own: it runs into things through the parts it carries.
    _object *crate = make(root, OBJ_GROUP, "crate");
    part(crate, "load", kCube, {1.8f, 0.9f, 0});
    EXPECT_EQ(intersect_obj_any(crate, nullptr), p2);
}

// A level of detail other than the placed graphics object is tested where the object is.
TEST_F(CollideTest, ShownLevelFollowsThePlacedObject)
{
    _object *a = part(root, "a", kCube, {0, 0, 0});
    _object *b = part(root, "b", kCube, {3, 0, 0});
    // b shows a coarse stand-in three times as wide, kept apart from the scene.
    GSobject *wide = make_gsobject(box_solid(-1.5f, -0.5f, -0.5f, 1.5f, 0.5f, 0.5f));
    ASSERT_TRUE(kiv::env::attach_geo_data(wide, b));
    GSobject *placed = b->lod_current;
    b->lod_current = wide;
    EXPECT_EQ(intersect_obj_obj(a, b), 0);
    ASSERT_EQ(obj_set_pos(b, QEL_VECT3(1.8f, 0, 0), FRAME_WORLD), 0);
    EXPECT_EQ(intersect_obj_obj(a, b), 1);  // the narrow cube alone would be clear of a
    float p[3];
    GSobject_getposition(wide, p);
    EXPECT_FLOAT_EQ(p[0], 1.8f);
    b->lod_current = placed;
    kiv::env::delete_node(wide);
}

// A face's own counters never move (faces are not placed), yet its data must follow its part.
TEST_F(CollideTest, FaceFollowsItsPart)
{
    _object *p = make(root, OBJ_OBJECT, "p");
    // The cube with its top (+z) in a face group of its own.
    GSobject *mesh = GSobject_begin();
    for (size_t i = 0; i < kCube.vertices.size(); i += 3) {
        float q[3] = {kCube.vertices[i], kCube.vertices[i + 1], kCube.vertices[i + 2]};
        GSvertex v = GSvertex_new(q);
        GSobject_addvertex(mesh, &v);
    }
    GSobject *top = GSface_begin();
    GSface_attach(mesh, top);
    for (const auto &poly : kCube.polys) {
        GSpoly *q = GSpoly_begin(poly[0] == 4 ? top : mesh);
        for (int i : poly)
            GSpoly_addvertex(q, i);
        GSpoly_close(q);
    }
    GSface_close(top);
    GSobject_close(mesh, 0.0f);
    ASSERT_EQ(give_mesh(p, mesh), 0);
    ASSERT_EQ(obj_set_active(p, 1), 0);
    int created = 0;
    _object *face = handle_to_obj(face_group(p->gsobject, 0), &created, true);
    ASSERT_NE(face, nullptr);
    ASSERT_EQ(created, 1);

    // A thin upright plate cutting through the top face.
    _object *plate = part(root, "plate", box_solid(-0.05f, -2, -0.5f, 0.05f, 2, 0.5f), {0, 0, 0.5f});
    EXPECT_EQ(intersect_obj_obj(face, plate), 1);
    ASSERT_EQ(obj_set_pos(p, QEL_VECT3(0, 0, 3), FRAME_WORLD), 0);
    EXPECT_EQ(intersect_obj_obj(face, plate), 0);
    EXPECT_EQ(intersect_obj_obj(p, plate), 0);
}

TEST_F(CollideTest, WatchSendsTheCollisionMessages)
{
    _object *wall = part(root, "wall", kCube, {0, 0, 0});
    _object *mover = part(root, "mover", kCube, {3, 0, 0});
    OBJLIST hits;
    struct Tick {
        const char *name;
        float x;
        COLLIDE_MODE mode;
        std::vector<Msg> expect;
    };
    const std::vector<Tick> ticks = {
        {"free", 3, COLLIDE_DETECT, {{1101, mover}, {1102, mover}}},
        {"first touch", 0.5f, COLLIDE_DETECT, {{1101, mover}, {1103, wall}, {1102, mover}}},
        {"still touching", 0.6f, COLLIDE_BLOCK, {{1101, mover}, {1104, wall}, {1102, mover}}},
        {"switched off", 0.6f, COLLIDE_OFF, {{1101, mover}, {1102, mover}}},
        {"free again", 3, COLLIDE_CONTACT, {{1101, mover}, {1105, wall}, {1102, mover}}},
    };
    for (const Tick &t : ticks) {
        SCOPED_TRACE(t.name);
        ASSERT_EQ(obj_set_pos(mover, QEL_VECT3(t.x, 0, 0), FRAME_WORLD), 0);
        MessageLog log({1101, 1102, 1103, 1104, 1105});
        kiv::env::collide_watch(mover, t.mode, false, hits);
        EXPECT_EQ(log.entries(), t.expect);
    }
}

TEST(CollideMode, ZeroMeansOffAndUnknownModesAreRefused)
{
    EXPECT_EQ(env_get_collide_mode(), COLLIDE_OFF);
    env_set_collide_mode(COLLIDE_CONTACT);
    EXPECT_EQ(env_get_collide_mode(), COLLIDE_CONTACT);
    env_set_collide_mode(static_cast<COLLIDE_MODE>(7));
    EXPECT_EQ(env_get_collide_mode(), COLLIDE_CONTACT);
    env_set_collide_mode(static_cast<COLLIDE_MODE>(0));
    EXPECT_EQ(env_get_collide_mode(), COLLIDE_OFF);
}

}  // namespace
